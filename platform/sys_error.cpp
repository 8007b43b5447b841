#include "platform/sys_error.h"

#include <cstring>
#include <cwchar>
#include <string>

namespace platform {
namespace {

std::wstring Widen(const char* text) {
    std::mbstate_t state{};
    std::wstring out;
    const std::size_t length = std::strlen(text);
    const char* p = text;
    const char* const end = text + length;
    while (p < end) {
        wchar_t c = 0;
        const std::size_t n = std::mbrtowc(&c, p, static_cast<std::size_t>(end - p), &state);
        if (n == 0 || n == static_cast<std::size_t>(-1) || n == static_cast<std::size_t>(-2)) {
            out += static_cast<wchar_t>(static_cast<unsigned char>(*p++));
            state = {};
            continue;
        }
        out += c;
        p += n;
    }
    return out;
}

}  // namespace

std::wstring SystemErrorText(int error) {
    char buffer[256];
    // GNU strerror_r returns the text (maybe not in buffer); unknown numbers
    // give "Unknown error N", which we word as the program always did.
    const char* text = strerror_r(error, buffer, sizeof buffer);
    if (text == nullptr || std::strncmp(text, "Unknown error", 13) == 0) {
        return L"unknown error " + std::to_wstring(error);
    }
    return Widen(text);
}

}  // namespace platform
