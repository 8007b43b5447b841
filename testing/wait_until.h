#pragma once
// Waits for another thread's work where the test has no signal to wait on:
// polls the condition every millisecond until it holds or the limit
// passes. The default limit is generous because sanitizer builds on a busy
// machine run many times slower; a passing test never waits for it.

#include <chrono>
#include <thread>

namespace test_support {

template <class Condition>
bool WaitUntil(Condition&& condition,
               std::chrono::steady_clock::duration limit = std::chrono::seconds(30)) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= end) return condition();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

}  // namespace test_support
