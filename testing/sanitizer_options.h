#pragma once
// The sanitizer options a program started by a test runs with: the system
// libraries' suppressions (sanitizers/system.*.supp), which the test
// programs have compiled in but a started program reads from these
// variables. Without them a sanitized program reports races and leaks
// inside GTK and fontconfig, and fails.

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace test_support {

// NAME, value pairs for the started program's environment.
inline std::vector<std::pair<std::string, std::string>> SanitizerOptions() {
    const std::filesystem::path lists = std::filesystem::path(KV_SOURCE_DIR) / "testing/sanitizers";
    return {
        {"LSAN_OPTIONS",
         "suppressions=" + (lists / "system.lsan.supp").string() + ":print_suppressions=0"},
        {"TSAN_OPTIONS", "suppressions=" + (lists / "system.tsan.supp").string()},
    };
}

}  // namespace test_support
