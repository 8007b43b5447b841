#pragma once
// The millisecond tick count and the calendar time of the system clock.

#include <chrono>
#include <cstdint>

namespace platform {

// Milliseconds of a steady clock (one that system time changes do not move),
// cut to 32 bits: it wraps to 0 after about 49.7 days, so intervals are
// taken by unsigned subtraction (now - then), which stays right across the
// wrap.
std::uint32_t TickCount();

// The tick count of a point of the steady clock.
std::uint32_t TickCountAt(std::chrono::steady_clock::time_point time);

// A calendar time split into fields. dayOfWeek counts from Sunday = 0.
struct SystemTime {
    std::uint16_t year = 0;
    std::uint16_t month = 0;  // 1..12
    std::uint16_t dayOfWeek = 0;
    std::uint16_t day = 0;  // 1..31
    std::uint16_t hour = 0;
    std::uint16_t minute = 0;
    std::uint16_t second = 0;
    std::uint16_t milliseconds = 0;

    friend bool operator==(const SystemTime&, const SystemTime&) = default;
};

SystemTime SystemTimeUtc();
SystemTime SystemTimeLocal();

// A point of the system clock as UTC or as the local time of the time zone
// in effect (TZ).
SystemTime ToSystemTimeUtc(std::chrono::system_clock::time_point time);
SystemTime ToSystemTimeLocal(std::chrono::system_clock::time_point time);

}  // namespace platform
