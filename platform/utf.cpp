#include "platform/utf.h"

#include <cstddef>
#include <cstdint>

namespace platform {
namespace {

static_assert(sizeof(wchar_t) == 4, "wide text is UTF-32 here");

constexpr char32_t kReplacement = 0xFFFD;

bool IsScalarValue(char32_t c) {
    return c <= 0x10FFFF && (c < 0xD800 || c > 0xDFFF);
}

void AppendUtf8(std::string& out, char32_t c) {
    if (!IsScalarValue(c)) c = kReplacement;
    const auto put = [&out](std::uint32_t byte) { out += static_cast<char>(byte); };
    if (c < 0x80) {
        put(c);
    } else if (c < 0x800) {
        put(0xC0 | (c >> 6));
        put(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        put(0xE0 | (c >> 12));
        put(0x80 | ((c >> 6) & 0x3F));
        put(0x80 | (c & 0x3F));
    } else {
        put(0xF0 | (c >> 18));
        put(0x80 | ((c >> 12) & 0x3F));
        put(0x80 | ((c >> 6) & 0x3F));
        put(0x80 | (c & 0x3F));
    }
}

struct Decoded {
    char32_t value;
    std::size_t length;  // 0: no valid sequence starts here
};

// Lead byte patterns of the multi-byte forms.
struct Form {
    unsigned char mask;
    unsigned char bits;
    std::size_t length;
    char32_t minimum;  // smaller values have a shorter form
};
constexpr Form kForms[] = {{0xE0, 0xC0, 2, 0x80}, {0xF0, 0xE0, 3, 0x800}, {0xF8, 0xF0, 4, 0x10000}};

// The sequence starting at text[0], checked for length, continuation bytes,
// shortest form and range.
Decoded DecodeOne(std::string_view text) {
    const auto byte = [&text](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80) return {lead, 1};
    for (const Form& form : kForms) {
        if ((lead & form.mask) != form.bits) continue;
        if (text.size() < form.length) return {0, 0};
        char32_t value = lead & static_cast<unsigned char>(~form.mask);
        for (std::size_t i = 1; i < form.length; ++i) {
            if ((byte(i) & 0xC0) != 0x80) return {0, 0};
            value = (value << 6) | (byte(i) & 0x3F);
        }
        if (value < form.minimum || !IsScalarValue(value)) return {0, 0};
        return {value, form.length};
    }
    return {0, 0};
}

}  // namespace

std::string ToUtf8(std::wstring_view text) {
    std::string out;
    out.reserve(text.size());
    for (const wchar_t c : text)
        AppendUtf8(out, static_cast<char32_t>(c));
    return out;
}

std::wstring FromUtf8(std::string_view text) {
    std::wstring out;
    out.reserve(text.size());
    while (!text.empty()) {
        const Decoded d = DecodeOne(text);
        out += static_cast<wchar_t>(d.length == 0 ? kReplacement : d.value);
        text.remove_prefix(d.length == 0 ? 1 : d.length);
    }
    return out;
}

}  // namespace platform
