#pragma once
// The engine-noise level (ENL) from the sound card: two-second blocks of
// 8-bit mono sound at 8000 Hz, low-pass filtered, the level the spread of
// the filtered signal. Switched on by "ENLset.txt" in the documents folder,
// which may also set the filter and the number of restarts.
//
// The level lives in core::g_enlValue under its own lock; the per-fix
// writer reads it while it holds LogFileLock, so the order is LogFileLock
// before the sensor's lock, and the sensor never takes LogFileLock while it
// holds its own.

#include <atomic>
#include <cstdint>
#include <cstdio>

#include "recorder/engine_noise_level.h"
#include "recorder/wave_recorder.h"

namespace recorder {

class CEngineNoiseSensor final : public CWaveRecorder {
  public:
    // 8000 Hz, filter setting 100, two stages, two restarts.
    CEngineNoiseSensor();
    ~CEngineNoiseSensor() override;
    CEngineNoiseSensor(const CEngineNoiseSensor&) = delete;
    CEngineNoiseSensor& operator=(const CEngineNoiseSensor&) = delete;

    // Reads the settings from the open settingsFile ("ENLset.txt", up to
    // 120 bytes) and starts capturing, showing start errors in a box
    // (except an absent sound device); true when capture began. A stall is
    // posted to the main window (MM_WIM_DATA) when notifyWindow is set.
    bool Start(void* notifyWindow, std::FILE* settingsFile);
    // Closes and reopens the capture while restarts remain. UI thread,
    // never with LogFileLock held.
    void Restart();

    CWaveRecorder& Recorder() { return *this; }
    EnlSettings Settings() const { return settings_; }
    int RestartCount() const { return restartCount_; }
    // While negative, blocks are dropped unmeasured, one per step up.
    void SetDiscardCounter(int counter) { discard_ = counter; }
    // The main window has handled a stall: the next one may be posted.
    void StallHandled() { stallPosted_ = false; }

  protected:
    void OnWaveData() override;
    void OnCaptureStalled() override;

  private:
    void* notify_ = nullptr;
    EnlSettings settings_;
    float k_;
    int restartCount_ = 0;
    std::atomic<int> discard_{0};
    std::atomic<bool> stallPosted_{false};
};

// The program's sensor.
extern CEngineNoiseSensor g_engineNoiseSensor;

// g_engineNoiseSensor.Start: the settings loader sets g_bEnlOn from it.
bool StartEngineNoiseSensor(void* notifyWindow, std::FILE* settingsFile);

// The main window's MM_WIM_DATA handler: for wParam 0 and the sensor in
// lParam while g_bEnlOn, writes "LXKV ENL SENSOR RESET" to an open log
// (digested in an IGC log, flushed), restarts the sensor, and lets the next
// stall be posted; stalls posted meanwhile were never queued.
void OnEngineNoiseStall(std::uintptr_t wParam, std::intptr_t lParam);

}  // namespace recorder
