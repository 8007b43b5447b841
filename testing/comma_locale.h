#pragma once
// Test helper: a decimal-comma locale for the scope of a test.

#include <clocale>
#include <string>

namespace test_support {

// Sets de_DE.UTF-8 (which writes "1,5") for the whole process and restores
// the previous locale afterwards. Active() is false when the system lacks it;
// the test then skips.
class CommaLocale {
  public:
    CommaLocale() : previous_(std::setlocale(LC_ALL, nullptr)) {
        active_ = std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr;
    }
    ~CommaLocale() { std::setlocale(LC_ALL, previous_.c_str()); }
    CommaLocale(const CommaLocale&) = delete;
    CommaLocale& operator=(const CommaLocale&) = delete;

    bool Active() const { return active_; }

  private:
    std::string previous_;
    bool active_ = false;
};

}  // namespace test_support
