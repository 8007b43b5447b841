#pragma once
// The wind estimator: pairs of true airspeed and ground velocity gathered
// as fixes are committed, kept in a small ring of well-spread samples, and
// fitted for the wind on worker threads of their own (glide/wind_fit.h).
// A converged fit posts its WindEstimate as the payload of
// WM_APP_WINDESTIMATE to the notify window (dropped, and freed, when that
// window is gone); the main window hands it to OnWindEstimate.
//
// Threads: AddWindSample and StartFit run on the thread that commits fixes;
// the settings are read and written by the main window (the estimator's own
// lock, a leaf, guards the ring and the settings). The statistics bins are
// atomics. StopFits (the main window's close, before SaveSettings) stops
// and joins every running fit.

#include <array>
#include <atomic>
#include <cstdint>
#include <list>
#include <mutex>
#include <string>
#include <vector>

#include "glide/wind_fit.h"
#include "platform/settings_store.h"
#include "platform/window_messages.h"
#include "platform/worker_thread.h"

namespace glide {

// The estimator's settings, stored under "Settings\<name>".
struct WindEstimatorSettings {
    float altSpan = 500.0F;   // feet: samples further apart do not belong together
    float speedStep = 30.0F;  // knots: a TAS difference that makes a sample new
    float angleStep = 5.0F;   // degrees: a track difference that makes a sample new
    float minSpeed = 35.0F;   // knots: no sample below this TAS
    int timeSpan = 300;       // seconds between the samples of one fit
    int minPointsInFit = 5;
    int minPointsToChange = 3;
    float uncertaintyFactor = 0.5F;
    float minUncertainty = 6.0F;  // knots
    float maxUncertainty = 12.0F;  // knots
    int resetOnCompute = 0;        // empty the ring whenever a fit starts

    WindAcceptance Acceptance() const {
        return {uncertaintyFactor, minUncertainty, maxUncertainty};
    }
};

inline constexpr int kWindStatisticsBins = 30;

class CWindEstimator {
  public:
    // capacity: ring slots, at least 8.
    explicit CWindEstimator(int capacity = 10, platform::WindowId notifyWindow = 0);
    ~CWindEstimator();
    CWindEstimator(const CWindEstimator&) = delete;
    CWindEstimator& operator=(const CWindEstimator&) = delete;

    // Takes a sample whose airspeed, speed, track, altitude and time are
    // filled (x, y and the square are computed unless precomputed); returns
    // the number of samples kept, 0 when the sample is refused.
    int AddWindSample(const WindSample& sample, bool precomputed = false);

    // A fit starts once this many samples are kept and this many were
    // accepted since the last start.
    int MinPointsInFit() const;
    int MinPointsToChange() const;
    int NewSamples() const;
    // Not above the capacity (and lowers MinPointsToChange to it); returns
    // the value set.
    int SetMinPointsInFit(int n);
    // Not above MinPointsInFit; returns the value set.
    int SetMinPointsToChange(int n);

    // Starts a fit of the kept samples (at least 3) from the initial wind
    // (x, y) on a thread of its own; with reset (or resetOnCompute) the ring
    // is emptied afterwards.
    void StartFit(float x, float y, int reset);
    // Asks every running fit to stop and joins it (up to limitMs each).
    void StopFits(std::uint32_t limitMs = 20000);

    // Empties the ring.
    void Reset();
    void ClearStatistics();

    void SetNotifyWindow(platform::WindowId window) { notifyWindow_ = window; }
    WindEstimatorSettings Settings() const;
    void SetSettings(const WindEstimatorSettings& settings);

    // "Settings\defWindFromTASandTrack": values times 100 (truncated) as
    // integers; loading takes the current values as defaults. Saving also
    // writes the statistics as "confStat_0".."confStat_29".
    void LoadSettings(platform::SettingsStore& store);
    void SaveSettings(platform::SettingsStore& store) const;

    // The kept samples, newest first, and the uncertainty histogram.
    std::vector<WindSample> KeptSamples() const;
    std::array<int, kWindStatisticsBins> Statistics() const;
    int Capacity() const { return capacity_; }

    // One finished fit, as its thread ends it: counts the uncertainty in the
    // statistics and posts the estimate, only when there is a notify window.
    // Returns whether it posted.
    bool Deliver(const WindFitResult& result, platform::WindowId window);

    static constexpr const char* kName = "defWindFromTASandTrack";

  private:
    // Under mutex_.
    void ResetLocked();
    std::vector<WindSample> KeptLocked() const;
    void Prune(const WindSample& sample);

    const int capacity_;
    std::atomic<platform::WindowId> notifyWindow_;

    mutable std::mutex mutex_;
    WindEstimatorSettings settings_;
    std::vector<WindSample> ring_;
    std::vector<bool> kept_;
    int write_ = 0;
    int newest_ = 0;
    int count_ = 0;
    int newSamples_ = 0;

    std::array<std::atomic<int>, kWindStatisticsBins> statistics_{};

    std::mutex fitsMutex_;
    std::list<platform::WorkerThread> fits_;
};

// The program's one estimator: ring of 10, no notify window until the main
// window sets it.
extern CWindEstimator g_windEstimator;

// The main window's WM_APP_WINDESTIMATE handler: applies the estimator's
// acceptance rule; an accepted estimate becomes the current wind (its time
// the published fix time), the wind texts and the speed-to-fly text are
// rebuilt. Returns whether it was accepted. UI thread (any thread works).
bool OnWindEstimate(const WindEstimate& estimate);

}  // namespace glide
