#include "core/text_codec.h"

#include <array>
#include <cstdint>
#include <cstring>

namespace core {
namespace {

// Windows-1252 0x80..0x9F; the five unassigned bytes keep their own value.
constexpr std::array<char16_t, 32> kCp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  //
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  //
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  //
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

bool IsContinuation(unsigned char b) {
    return (b & 0xC0) == 0x80;
}

// The allowed range of the second byte after a lead byte (Unicode table 3-7);
// false for bytes that cannot lead a sequence.
bool LeadRange(unsigned char lead, int& length, unsigned char& low, unsigned char& high) {
    low = 0x80;
    high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        return false;
    }
    return true;
}

}  // namespace

wchar_t DecodeCp1252(unsigned char byte) {
    if (byte >= 0x80 && byte < 0xA0) return static_cast<wchar_t>(kCp1252High[byte - 0x80]);
    return static_cast<wchar_t>(byte);
}

unsigned char EncodeCp1252(wchar_t c) {
    const auto value = static_cast<std::uint32_t>(c);
    if (value < 0x80 || (value >= 0xA0 && value <= 0xFF)) return static_cast<unsigned char>(value);
    for (std::size_t i = 0; i < kCp1252High.size(); ++i) {
        if (kCp1252High[i] == value) return static_cast<unsigned char>(0x80 + i);
    }
    return '?';
}

int DecodeUtf8(const unsigned char* p, std::size_t size, char32_t& out) {
    if (size == 0) return 0;
    const unsigned char lead = p[0];
    if (lead < 0x80) {
        out = lead;
        return 1;
    }
    int length = 0;
    unsigned char low = 0;
    unsigned char high = 0;
    if (!LeadRange(lead, length, low, high)) return -1;
    if (size < 2) return 0;
    if (p[1] < low || p[1] > high) return -1;
    char32_t value = lead & (0x7F >> length);
    for (int i = 1; i < length; ++i) {
        if (static_cast<std::size_t>(i) >= size) return 0;
        if (!IsContinuation(p[i])) return -1;
        value = (value << 6) | (p[i] & 0x3F);
    }
    out = value;
    return length;
}

Utf8Check CheckUtf8(const unsigned char* p, std::size_t size) {
    std::size_t i = 0;
    while (i < size) {
        // Runs of ASCII go eight bytes at a time.
        if (size - i >= 8) {
            std::uint64_t word;
            std::memcpy(&word, p + i, sizeof word);
            if ((word & 0x8080808080808080ULL) == 0) {
                i += 8;
                continue;
            }
        }
        char32_t c;
        const int length = DecodeUtf8(p + i, size - i, c);
        if (length < 0) return {i, false};
        if (length == 0) return {i, true};
        i += static_cast<std::size_t>(length);
    }
    return {size, true};
}

bool IsWideSpace(wchar_t c) {
    if (c == 0x20 || (c >= 0x09 && c <= 0x0D)) return true;
    if (c < 0x85) return false;
    switch (c) {
        case 0x85:
        case 0x1680:
        case 0x2028:
        case 0x2029:
        case 0x205F:
        case 0x3000:
            return true;
        default:
            // U+2007 is a no-break space.
            return c >= 0x2000 && c <= 0x200A && c != 0x2007;
    }
}

}  // namespace core
