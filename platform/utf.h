#pragma once
// UTF-8 <-> wide text (UTF-32 wchar_t), independent of the locale.
//
// Valid text converts exactly both ways. What is not valid becomes U+FFFD:
// each byte that does not begin a complete, shortest-form UTF-8 sequence of
// a scalar value, and each wide character that is a surrogate or lies above
// U+10FFFF.

#include <string>
#include <string_view>

namespace platform {

std::string ToUtf8(std::wstring_view text);
std::wstring FromUtf8(std::string_view text);

}  // namespace platform
