#pragma once
// Environment variables set for a scope: each variable's first value is
// kept and put back (or the variable removed again) when the scope ends.

#include <cstdlib>
#include <map>
#include <optional>
#include <string>

namespace test_support {

class ScopedEnvironment {
  public:
    ScopedEnvironment() = default;
    ScopedEnvironment(const char* name, const char* value) { Set(name, value); }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;
    ~ScopedEnvironment() {
        for (const auto& [name, value] : saved_)
            value ? ::setenv(name.c_str(), value->c_str(), 1) : ::unsetenv(name.c_str());
    }

    // A null value removes the variable.
    void Set(const char* name, const char* value) {
        if (!saved_.contains(name)) {
            const char* old = std::getenv(name);
            saved_[name] = old != nullptr ? std::optional<std::string>(old) : std::nullopt;
        }
        value != nullptr ? ::setenv(name, value, 1) : ::unsetenv(name);
    }

  private:
    std::map<std::string, std::optional<std::string>> saved_;
};

}  // namespace test_support
