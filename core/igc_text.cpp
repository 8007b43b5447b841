#include "core/igc_text.h"

#include <cstdint>
#include <string_view>

namespace core {
namespace {

// Base letters by code point; '\0' where a character has none.
// U+00C0..U+00FF (the multiplication and division signs and thorn have none).
constexpr std::string_view kLatin1Letters{
    "AAAAAAAC"
    "EEEEIIII"
    "DNOOOOO\0"
    "OUUUUY\0s"
    "aaaaaaac"
    "eeeeiiii"
    "dnooooo\0"
    "ouuuuy\0y",
    64};
// U+0100..U+017E. The letters with no decomposition to an ASCII letter get
// their evident base: the ligature IJ its first letter, kra 'k'.
constexpr std::string_view kLatinExtendedALetters{
    "AaAaAaCcCcCcCcDd"
    "DdEeEeEeEeEeGgGg"
    "GgGgHhHhIiIiIiIi"
    "IiIiJjKkkLlLlLlL"
    "lLlNnNnNnnNnOoOo"
    "OoOoRrRrRrSsSsSs"
    "SsTtTtTtUuUuUuUu"
    "UuUuWwYyYZzZzZz",
    127};

constexpr std::uint32_t kFullWidthFirst = 0xFF01;
constexpr std::uint32_t kFullWidthLast = 0xFF5E;
constexpr std::uint32_t kFullWidthOffset = 0xFF01 - 0x21;

// The base letter of a Latin-1 or Latin Extended-A letter, or '\0'.
char BaseLetter(std::uint32_t code) {
    if (code == 0x8A) return 'S';
    if (code >= 0xC0 && code <= 0xFF) return kLatin1Letters[code - 0xC0];
    if (code >= 0x100 && code < 0x100 + kLatinExtendedALetters.size())
        return kLatinExtendedALetters[code - 0x100];
    return '\0';
}

char FilterByte(unsigned char byte, int mode) {
    if (mode < 0) return static_cast<char>(byte);
    if (byte == '\n' || byte == '\r') return mode > 0 ? static_cast<char>(byte) : ' ';
    if (std::string_view("!$*,\\^~").find(static_cast<char>(byte)) != std::string_view::npos)
        return ' ';
    if (byte < 32 || byte >= 126) return '?';
    return static_cast<char>(byte);
}

}  // namespace

char ToIgcChar(wchar_t c, int mode) {
    // On the code point value; a negative wchar_t is no character at all.
    auto code = static_cast<std::uint32_t>(c);
    if (code == 0) return '\0';
    if (code >= kFullWidthFirst && code <= kFullWidthLast) code -= kFullWidthOffset;
    if (code >= 0x200) return '?';
    if (const char letter = BaseLetter(code); letter != '\0') return letter;
    return FilterByte(static_cast<unsigned char>(code & 0xFF), mode);
}

void MakeIgcText(std::wstring& text) {
    for (wchar_t& c : text)
        c = static_cast<wchar_t>(static_cast<unsigned char>(ToIgcChar(c, 1)));
}

}  // namespace core
