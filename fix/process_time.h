#pragma once
// How long the position texts take per fix: the longest run and the mean of
// the runs under 200 ms, kept in memory and written to "Performance"
// ("MaxProcessTime", "AvgProcessTime", whole milliseconds) at most once a
// minute and at shut-down, since a settings write replaces the whole file.
//
// Fix-processing thread only (the flush at its end included).

#include <chrono>
#include <functional>

namespace gps {

class ProcessTimeStatistics {
  public:
    using Clock = std::chrono::steady_clock;
    // Stores the two values (the built-in one writes the settings store).
    using Writer = std::function<void(int maxMs, int averageMs)>;

    explicit ProcessTimeStatistics(Writer writer = {});

    // One run of ms milliseconds, ending at now.
    void Add(double ms, Clock::time_point now);
    // Writes what changed since the last write.
    void Flush();

    int MaxMs() const { return max_; }
    double AverageMs() const { return average_; }

  private:
    static constexpr double kLongestAveraged = 200.0;
    static constexpr std::chrono::seconds kWriteInterval{60};

    Writer writer_;
    int max_ = 0;
    double average_ = 0.0;
    long count_ = 0;
    bool dirty_ = false;
    bool written_ = false;
    Clock::time_point lastWrite_{};
};

}  // namespace gps
