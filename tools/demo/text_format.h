#pragma once
// printf-style formatting in the C locale for the demo's text files.

#include <cstdio>
#include <string>

namespace demo {

template <typename... Args>
std::string Format(const char* format, Args... args) {
    const int size = std::snprintf(nullptr, 0, format, args...);
    std::string text(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
    if (size > 0) std::snprintf(text.data(), text.size() + 1, format, args...);
    return text;
}

}  // namespace demo
