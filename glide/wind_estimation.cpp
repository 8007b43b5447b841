#include "glide/wind_estimation.h"

#include <algorithm>
#include <cmath>
#include <string_view>

#include "core/angles.h"
#include "core/settings_values.h"
#include "glide/current_wind.h"
#include "glide/speed_to_fly_text.h"
#include "glide/wind_history.h"
#include "gps/nav_fix.h"
#include "platform/numbers.h"
#include "platform/thread_priority.h"
#include "platform/ui_post.h"

namespace glide {

CWindEstimator g_windEstimator;

namespace {

constexpr int kMinimumCapacity = 8;
using core::kRadiansPerDegree;
constexpr double kSecondsPerHour = 3600.0;
// A fit runs below the threads that take fixes.
constexpr int kFitPriorityDrop = 2;

bool FiniteSample(const WindSample& s) {
    return std::isfinite(s.tas) && std::isfinite(s.groundSpeed) && std::isfinite(s.track) &&
           std::isfinite(s.altitude) && std::isfinite(s.time) && std::isfinite(s.x) &&
           std::isfinite(s.y) && std::isfinite(s.tasSquared);
}

// The track difference (degrees) counts as a different direction.
bool DifferentTrack(float a, float b, float angleStep) {
    const float difference = std::fabs(a - b);
    return angleStep <= difference && difference <= 360.0F - angleStep;
}

// Seconds from `older` to `newer` (hours) above the settings' span.
bool TooLate(const WindSample& newer, const WindSample& older, int timeSpan) {
    return (double{newer.time} - older.time) * kSecondsPerHour > timeSpan;
}

std::int32_t Hundredths(float value) {
    return static_cast<std::int32_t>(std::trunc(double{value} * 100.0));
}

}  // namespace

CWindEstimator::CWindEstimator(int capacity, platform::WindowId notifyWindow)
    : capacity_(std::max(capacity, kMinimumCapacity)),
      notifyWindow_(notifyWindow),
      ring_(static_cast<std::size_t>(capacity_)),
      kept_(static_cast<std::size_t>(capacity_), false) {
    SetMinPointsInFit(settings_.minPointsInFit);
    SetMinPointsToChange(settings_.minPointsToChange);
    ClearStatistics();
}

CWindEstimator::~CWindEstimator() {
    StopFits();
}

int CWindEstimator::MinPointsInFit() const {
    const std::lock_guard lock(mutex_);
    return settings_.minPointsInFit;
}

int CWindEstimator::MinPointsToChange() const {
    const std::lock_guard lock(mutex_);
    return settings_.minPointsToChange;
}

int CWindEstimator::NewSamples() const {
    const std::lock_guard lock(mutex_);
    return newSamples_;
}

int CWindEstimator::SetMinPointsInFit(int n) {
    const std::lock_guard lock(mutex_);
    settings_.minPointsInFit = std::min(n, capacity_);
    settings_.minPointsToChange = std::min(settings_.minPointsToChange, settings_.minPointsInFit);
    return settings_.minPointsInFit;
}

int CWindEstimator::SetMinPointsToChange(int n) {
    const std::lock_guard lock(mutex_);
    settings_.minPointsToChange = std::min(n, settings_.minPointsInFit);
    return settings_.minPointsToChange;
}

WindEstimatorSettings CWindEstimator::Settings() const {
    const std::lock_guard lock(mutex_);
    return settings_;
}

void CWindEstimator::SetSettings(const WindEstimatorSettings& settings) {
    const std::lock_guard lock(mutex_);
    settings_ = settings;
}

void CWindEstimator::Reset() {
    const std::lock_guard lock(mutex_);
    ResetLocked();
}

void CWindEstimator::ResetLocked() {
    write_ = newest_ = count_ = newSamples_ = 0;
    std::fill(kept_.begin(), kept_.end(), false);
}

void CWindEstimator::ClearStatistics() {
    for (std::atomic<int>& bin : statistics_)
        bin = 0;
}

std::array<int, kWindStatisticsBins> CWindEstimator::Statistics() const {
    std::array<int, kWindStatisticsBins> bins{};
    for (std::size_t i = 0; i < bins.size(); ++i)
        bins[i] = statistics_[i].load();
    return bins;
}

int CWindEstimator::AddWindSample(const WindSample& input, bool precomputed) {
    WindSample sample = input;
    const std::lock_guard lock(mutex_);
    if (!(sample.tas >= settings_.minSpeed)) return 0;
    if (!precomputed) {
        const double track = sample.track * kRadiansPerDegree;
        sample.x = static_cast<float>(sample.groundSpeed * std::cos(track));
        sample.y = static_cast<float>(sample.groundSpeed * std::sin(track));
        sample.tasSquared = sample.tas * sample.tas;
    }
    if (!FiniteSample(sample)) return 0;

    if (count_ == 0) {
        ring_[0] = sample;
        kept_[0] = true;
        count_ = newSamples_ = 1;
        newest_ = 0;
        write_ = 1;
        return 1;
    }
    const WindSample& last = ring_[static_cast<std::size_t>(newest_)];
    const bool newEnough = std::fabs(sample.tas - last.tas) >= settings_.speedStep ||
                           DifferentTrack(sample.track, last.track, settings_.angleStep);
    if (!newEnough) return 0;

    if (std::fabs(sample.altitude - last.altitude) > settings_.altSpan ||
        TooLate(sample, last, settings_.timeSpan)) {
        ring_[static_cast<std::size_t>(newest_)] = sample;
    } else {
        ring_[static_cast<std::size_t>(write_)] = sample;
        kept_[static_cast<std::size_t>(write_)] = true;
        newest_ = write_;
        write_ = (write_ + 1) % capacity_;
    }
    Prune(sample);
    newSamples_ = std::min(newSamples_ + 1, count_);
    return count_;
}

// Drops the older samples that no longer belong with the newest one, then
// closes the kept ones up behind it in their order.
void CWindEstimator::Prune(const WindSample& sample) {
    std::vector<WindSample> stay;
    std::vector<std::size_t> walked;
    for (int back = 1; back < capacity_; ++back) {
        const auto slot = static_cast<std::size_t>((newest_ - back + capacity_) % capacity_);
        if (!kept_[slot]) break;
        walked.push_back(slot);
        const WindSample& older = ring_[slot];
        const bool tooLike = !DifferentTrack(sample.track, older.track, settings_.angleStep) &&
                             std::fabs(sample.tas - older.tas) < settings_.speedStep;
        const bool apart = std::fabs(sample.altitude - older.altitude) > settings_.altSpan ||
                           TooLate(sample, older, settings_.timeSpan);
        if (!tooLike && !apart) stay.push_back(older);
    }
    for (const std::size_t slot : walked)
        kept_[slot] = false;
    for (std::size_t i = 0; i < stay.size(); ++i) {
        const auto slot = static_cast<std::size_t>(
            (newest_ - 1 - static_cast<int>(i) + capacity_) % capacity_);
        ring_[slot] = stay[i];
        kept_[slot] = true;
    }
    count_ = 1 + static_cast<int>(stay.size());
}

std::vector<WindSample> CWindEstimator::KeptSamples() const {
    const std::lock_guard lock(mutex_);
    return KeptLocked();
}

std::vector<WindSample> CWindEstimator::KeptLocked() const {
    std::vector<WindSample> samples;
    if (count_ == 0) return samples;
    for (int back = 0; back < capacity_; ++back) {
        const auto slot = static_cast<std::size_t>((newest_ - back + capacity_) % capacity_);
        if (!kept_[slot]) break;
        samples.push_back(ring_[slot]);
    }
    return samples;
}

void CWindEstimator::StartFit(float x, float y, int reset) {
    std::vector<WindSample> samples;
    {
        const std::lock_guard lock(mutex_);
        if (count_ < 3) return;
        samples = KeptLocked();
        newSamples_ = 0;
        if (reset != 0 || settings_.resetOnCompute != 0) ResetLocked();
    }
    const platform::WindowId window = notifyWindow_.load();
    const std::lock_guard lock(fitsMutex_);
    fits_.remove_if([](platform::WorkerThread& fit) { return fit.JoinFor(0); });
    fits_.emplace_back([this, window, x, y, samples = std::move(samples)](std::stop_token stop) {
        platform::LowerThisThreadPriority(kFitPriorityDrop);
        const WindFitResult result = FitWind(samples, x, y, stop);
        if (!stop.stop_requested()) Deliver(result, window);
    });
}

void CWindEstimator::StopFits(std::uint32_t limitMs) {
    std::list<platform::WorkerThread> fits;
    {
        const std::lock_guard lock(fitsMutex_);
        fits.swap(fits_);
    }
    for (platform::WorkerThread& fit : fits)
        fit.RequestStop();
    for (platform::WorkerThread& fit : fits)
        fit.Stop(limitMs);
}

bool CWindEstimator::Deliver(const WindFitResult& result, platform::WindowId window) {
    if (result.end != WindFitEnd::kConverged || window == 0) return false;
    const float u = result.estimate.uncertainty;
    if (u >= 0.0F) {
        const int bin = u < static_cast<float>(kWindStatisticsBins)
                            ? static_cast<int>(u)
                            : kWindStatisticsBins - 1;
        statistics_[static_cast<std::size_t>(bin)].fetch_add(1);
    }
    platform::WindowMessage message{window, platform::WM_APP_WINDESTIMATE, 0, 0, {}};
    message.payload = result.estimate;
    return platform::PostWindowMessage(std::move(message));
}

void CWindEstimator::LoadSettings(platform::SettingsStore& store) {
    const std::string section = std::string("Settings\\") + kName;
    const auto readInt = [&](std::string_view name, std::int32_t current) {
        return static_cast<std::int32_t>(
            store.GetInt(section, name, static_cast<std::uint32_t>(current)));
    };
    const auto readHundredths = [&](std::string_view name, float current) {
        return static_cast<float>(readInt(name, Hundredths(current)) / 100.0);
    };
    const std::lock_guard lock(mutex_);
    WindEstimatorSettings& s = settings_;
    s.altSpan = readHundredths("altSpanx100", s.altSpan);
    s.speedStep = readHundredths("speedStepx100", s.speedStep);
    s.angleStep = readHundredths("angleStepx100", s.angleStep);
    s.minSpeed = readHundredths("minSpeedx100", s.minSpeed);
    s.minUncertainty = readHundredths("minUncertaintyx100", s.minUncertainty);
    s.maxUncertainty = readHundredths("maxUncertaintyx100", s.maxUncertainty);
    s.uncertaintyFactor = readHundredths("uncertaintyFactorx100", s.uncertaintyFactor);
    s.timeSpan = readInt("timeSpan", s.timeSpan);
    s.minPointsInFit = readInt("minPointsInFit", s.minPointsInFit);
    s.minPointsToChange = readInt("minPointsToChange", s.minPointsToChange);
    s.resetOnCompute = readInt("resetOnCompute", s.resetOnCompute);
}

void CWindEstimator::SaveSettings(platform::SettingsStore& store) const {
    const std::string section = std::string("Settings\\") + kName;
    const WindEstimatorSettings s = Settings();
    const auto write = [&](std::string_view name, std::int32_t value) {
        store.WriteInt(section, name, static_cast<std::uint32_t>(value));
    };
    write("altSpanx100", Hundredths(s.altSpan));
    write("speedStepx100", Hundredths(s.speedStep));
    write("angleStepx100", Hundredths(s.angleStep));
    write("minSpeedx100", Hundredths(s.minSpeed));
    write("minUncertaintyx100", Hundredths(s.minUncertainty));
    write("maxUncertaintyx100", Hundredths(s.maxUncertainty));
    write("uncertaintyFactorx100", Hundredths(s.uncertaintyFactor));
    write("timeSpan", s.timeSpan);
    write("minPointsInFit", s.minPointsInFit);
    write("minPointsToChange", s.minPointsToChange);
    write("resetOnCompute", s.resetOnCompute);
    const std::array<int, kWindStatisticsBins> bins = Statistics();
    for (std::size_t i = 0; i < bins.size(); ++i)
        write(platform::FormatC("confStat_%d", static_cast<int>(i)), bins[i]);
}

bool OnWindEstimate(const WindEstimate& estimate) {
    if (!AcceptWindEstimate(estimate, g_windEstimator.Settings().Acceptance())) return false;
    Wind wind = WindFromVector(estimate.x, estimate.y);
    wind.altitude = estimate.altitude;
    wind.time = gps::CurrentNav()->fixTimeHours;
    SetCurrentWind(wind);
    FormatWindText();
    SpeedToFlyText(core::g_macCready.load());
    return true;
}

}  // namespace glide
