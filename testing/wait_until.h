#pragma once
// Waits for another thread's work where the test has no signal to wait on:
// polls the condition until it holds or the limit passes. Polls start
// 50 µs apart, for tests that wait once per fix of a whole flight, and
// back off to a millisecond. The default limit is generous because
// sanitizer builds on a busy machine run many times slower; a passing test
// never waits for it.

#include <algorithm>
#include <chrono>
#include <thread>

namespace test_support {

template <class Condition>
bool WaitUntil(Condition&& condition,
               std::chrono::steady_clock::duration limit = std::chrono::seconds(30)) {
    const auto end = std::chrono::steady_clock::now() + limit;
    std::chrono::microseconds pause{50};
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= end) return condition();
        std::this_thread::sleep_for(pause);
        pause = std::min(pause * 2, std::chrono::microseconds{1000});
    }
    return true;
}

}  // namespace test_support
