#pragma once
// What the readers of the bundle's sources share: the error they throw and
// the character classes of the names they accept (ASCII only, whatever the
// locale).

#include <string>

#include "tools/bundle_compiler/string_table.h"

namespace bundle_compiler {

[[noreturn]] inline void Fail(const std::string& message) {
    throw BundleError(message);
}

constexpr bool IsUpper(char c) {
    return c >= 'A' && c <= 'Z';
}

constexpr bool IsAlnum(char c) {
    return IsUpper(c) || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

}  // namespace bundle_compiler
