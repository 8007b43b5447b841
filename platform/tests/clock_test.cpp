#include "platform/clock.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>
#include <thread>

namespace {

using platform::SystemTime;
using std::chrono::milliseconds;
using std::chrono::steady_clock;
using std::chrono::system_clock;

steady_clock::time_point SteadyAt(long long ms) {
    return steady_clock::time_point(milliseconds(ms));
}
system_clock::time_point SystemAt(long long ms) {
    return system_clock::time_point(milliseconds(ms));
}

TEST(TickCount, WrapsAt32BitsAndIntervalsSurviveTheWrap) {
    constexpr long long kWrap = 1LL << 32;
    EXPECT_EQ(platform::TickCountAt(SteadyAt(kWrap - 1)), 0xFFFFFFFFu);
    EXPECT_EQ(platform::TickCountAt(SteadyAt(kWrap + 5)), 5u);
    const std::uint32_t before = platform::TickCountAt(SteadyAt(kWrap - 4));
    const std::uint32_t after = platform::TickCountAt(SteadyAt(kWrap + 6));
    EXPECT_EQ(after - before, 10u);
}

TEST(TickCount, AdvancesWithTime) {
    const std::uint32_t start = platform::TickCount();
    std::this_thread::sleep_for(milliseconds(20));
    EXPECT_GE(platform::TickCount() - start, 20u);
}

TEST(SystemTime, UtcFieldsIncludingWeekdayAndMilliseconds) {
    struct Case {
        long long ms;
        SystemTime expected;  // year, month, dayOfWeek, day, hour, minute, second, ms
    };
    const Case cases[] = {
        {0, {1970, 1, 4, 1, 0, 0, 0, 0}},
        {951782400123, {2000, 2, 2, 29, 0, 0, 0, 123}},  // leap day
        {-1, {1969, 12, 3, 31, 23, 59, 59, 999}},        // before 1970 rounds down
        {2147483648000, {2038, 1, 2, 19, 3, 14, 8, 0}},  // past 32-bit seconds
    };
    for (const Case& c : cases) {
        EXPECT_EQ(platform::ToSystemTimeUtc(SystemAt(c.ms)), c.expected) << c.ms;
    }
}

class ScopedTimeZone {
  public:
    explicit ScopedTimeZone(const char* zone) {
        if (const char* old = std::getenv("TZ")) previous_ = old;
        setenv("TZ", zone, 1);
        tzset();
    }
    ~ScopedTimeZone() {
        if (previous_) {
            setenv("TZ", previous_->c_str(), 1);
        } else {
            unsetenv("TZ");
        }
        tzset();
    }

  private:
    std::optional<std::string> previous_;
};

TEST(SystemTime, LocalFollowsTheTimeZone) {
    const ScopedTimeZone zone("KVT-2:30");  // 2 h 30 min east of UTC
    EXPECT_EQ(platform::ToSystemTimeLocal(SystemAt(-1)),
              (SystemTime{1970, 1, 4, 1, 2, 29, 59, 999}));
}

}  // namespace
