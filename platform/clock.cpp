#include "platform/clock.h"

#include <ctime>

namespace platform {
namespace {

using std::chrono::duration_cast;
using std::chrono::milliseconds;
using std::chrono::system_clock;

SystemTime FromTm(const std::tm& fields, int millisecond) {
    SystemTime time;
    time.year = static_cast<std::uint16_t>(fields.tm_year + 1900);
    time.month = static_cast<std::uint16_t>(fields.tm_mon + 1);
    time.dayOfWeek = static_cast<std::uint16_t>(fields.tm_wday);
    time.day = static_cast<std::uint16_t>(fields.tm_mday);
    time.hour = static_cast<std::uint16_t>(fields.tm_hour);
    time.minute = static_cast<std::uint16_t>(fields.tm_min);
    // A leap second (60) is shown as the last second of its minute.
    time.second = static_cast<std::uint16_t>(fields.tm_sec > 59 ? 59 : fields.tm_sec);
    time.milliseconds = static_cast<std::uint16_t>(millisecond);
    return time;
}

// Whole seconds (rounded down, also before 1970) and the milliseconds into
// that second.
struct SplitTime {
    std::time_t seconds;
    int milliseconds;
};

SplitTime Split(system_clock::time_point time) {
    const auto sinceEpoch = duration_cast<milliseconds>(time.time_since_epoch()).count();
    auto seconds = sinceEpoch / 1000;
    auto rest = sinceEpoch % 1000;
    if (rest < 0) {
        rest += 1000;
        --seconds;
    }
    return {static_cast<std::time_t>(seconds), static_cast<int>(rest)};
}

}  // namespace

std::uint32_t TickCountAt(std::chrono::steady_clock::time_point time) {
    const auto count = duration_cast<milliseconds>(time.time_since_epoch()).count();
    return static_cast<std::uint32_t>(count);
}

std::uint32_t TickCount() {
    return TickCountAt(std::chrono::steady_clock::now());
}

SystemTime ToSystemTimeUtc(system_clock::time_point time) {
    const SplitTime split = Split(time);
    std::tm fields{};
    gmtime_r(&split.seconds, &fields);
    return FromTm(fields, split.milliseconds);
}

SystemTime ToSystemTimeLocal(system_clock::time_point time) {
    const SplitTime split = Split(time);
    std::tm fields{};
    localtime_r(&split.seconds, &fields);
    return FromTm(fields, split.milliseconds);
}

SystemTime SystemTimeUtc() {
    return ToSystemTimeUtc(system_clock::now());
}

SystemTime SystemTimeLocal() {
    return ToSystemTimeLocal(system_clock::now());
}

}  // namespace platform
