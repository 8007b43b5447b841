#include "fix/process_time.h"

#include <cmath>
#include <utility>

#include "glide/settings_values.h"
#include "platform/settings_store.h"

namespace gps {
namespace {

void WritePerformance(int maxMs, int averageMs) {
    platform::SettingsStore& store = platform::AppSettings();
    store.WriteInt("Performance", "MaxProcessTime", static_cast<std::uint32_t>(maxMs));
    store.WriteInt("Performance", "AvgProcessTime", static_cast<std::uint32_t>(averageMs));
}

}  // namespace

ProcessTimeStatistics::ProcessTimeStatistics(Writer writer)
    : writer_(writer ? std::move(writer) : Writer(WritePerformance)) {}

void ProcessTimeStatistics::Add(double ms, Clock::time_point now) {
    if (!std::isfinite(ms) || ms < 0.0) return;
    const int whole = static_cast<int>(ms);
    if (whole > max_) {
        max_ = whole;
        glide::g_processTimeMax = whole;
        dirty_ = true;
    }
    if (ms < kLongestAveraged) {
        average_ = (average_ * static_cast<double>(count_) + ms) / static_cast<double>(count_ + 1);
        ++count_;
        dirty_ = true;
    }
    if (dirty_ && (!written_ || now - lastWrite_ >= kWriteInterval)) {
        Flush();
        lastWrite_ = now;
        written_ = true;
    }
}

void ProcessTimeStatistics::Flush() {
    if (!dirty_) return;
    writer_(max_, static_cast<int>(average_));
    dirty_ = false;
}

}  // namespace gps
