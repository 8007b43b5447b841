#pragma once
// MapStopwatch: tenths of a second since it was started, on the steady
// clock, so that it keeps counting across the hour and clock changes. The
// map read paces its progress posts with it.

#include <chrono>

namespace mapdata {

class MapStopwatch {
  public:
    using Clock = std::chrono::steady_clock;

    void Start(Clock::time_point now = Clock::now()) { start_ = now; }
    long long Tenths(Clock::time_point now = Clock::now()) const {
        return std::chrono::duration_cast<std::chrono::milliseconds>(now - start_).count() / 100;
    }

  private:
    Clock::time_point start_ = Clock::now();
};

}  // namespace mapdata
