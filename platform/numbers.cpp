// FormatC: printf formats in the C locale. The scanners are in number_scan.cpp.
#include "platform/numbers.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <memory>

#include "platform/c_locale.h"

namespace platform {
namespace {

// Most formatted texts are short: they fit this buffer and need one pass.
constexpr std::size_t kShortText = 256;

__attribute__((format(printf, 1, 0))) std::string FormatNarrow(const char* format, va_list args) {
    char buffer[kShortText];
    va_list first;
    va_copy(first, args);
    const int length = std::vsnprintf(buffer, sizeof buffer, format, first);
    va_end(first);
    if (length < 0) return {};
    const auto size = static_cast<std::size_t>(length);
    if (size < sizeof buffer) return std::string(buffer, size);
    std::string out(size, '\0');
    std::vsnprintf(out.data(), size + 1, format, args);
    return out;
}

struct FreeDeleter {
    void operator()(void* memory) const { std::free(memory); }
};
struct StreamCloser {
    void operator()(std::FILE* stream) const { std::fclose(stream); }
};

// vswprintf cannot tell a short buffer from a failed conversion, so long
// texts are written into a growing memory stream instead.
std::wstring FormatWideLong(const wchar_t* format, va_list args) {
    wchar_t* data = nullptr;
    std::size_t size = 0;
    std::unique_ptr<std::FILE, StreamCloser> stream(open_wmemstream(&data, &size));
    if (!stream) return {};
    const int length = std::vfwprintf(stream.get(), format, args);
    stream.reset();  // closing sets data and size
    const std::unique_ptr<wchar_t, FreeDeleter> owned(data);
    if (length < 0 || data == nullptr) return {};
    return std::wstring(data, size);
}

std::wstring FormatWide(const wchar_t* format, va_list args) {
    wchar_t buffer[kShortText];
    va_list first;
    va_copy(first, args);
    const int length = std::vswprintf(buffer, kShortText, format, first);
    va_end(first);
    if (length >= 0) return std::wstring(buffer, static_cast<std::size_t>(length));
    return FormatWideLong(format, args);
}

}  // namespace

std::string FormatC(const char* format, ...) {
    const ScopedCLocale c;
    va_list args;
    va_start(args, format);
    std::string out = FormatNarrow(format, args);
    va_end(args);
    return out;
}

std::wstring FormatC(const wchar_t* format, ...) {
    const ScopedCLocale c;
    va_list args;
    va_start(args, format);
    std::wstring out = FormatWide(format, args);
    va_end(args);
    return out;
}

}  // namespace platform
