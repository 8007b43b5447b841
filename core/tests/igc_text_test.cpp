#include "core/igc_text.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

namespace core {
namespace {

struct IgcTextCase {
    wchar_t c;
    int mode;
    char expected;
};

TEST(IgcTextTest, FoldsSingleCharacters) {
    for (const IgcTextCase& k : std::vector<IgcTextCase>{
             {L'\0', 1, '\0'},        {L'\u00E9', 1, 'e'},
             {L'\u0142', 1, 'l'},     {L'\uFF21', 1, 'A'},  // full-width A
             {L'\uFF04', 1, ' '},                           // full-width $ is still reserved
             {L'\uFF5E', -1, '~'},                          // the last full-width form
             {L'\uFF5F', 1, '?'},                           // past the full-width forms
             {L'$', 0, ' '},          {L'$', 1, ' '},
             {L'$', -1, '$'},         {L'\r', 0, ' '},
             {L'\r', 1, '\r'},        {L'\n', 0, ' '},
             {L'\n', 2, '\n'},        {L'\t', 1, '?'},
             {L'\x7F', 1, '?'},       {L'}', 1, '}'},
             {L'a', 0, 'a'},          {L'\u00A9', 1, '?'},
             {L'\u00A9', -1, '\xA9'}, {L'\u0410', 1, '?'},
             {L'\u0410', -1, '?'},  // from U+0200 up whatever the mode
             {L'\U0001F600', 1, '?'}, {L'\u008A', 1, 'S'},
             {L'\u009A', 1, '?'},  // only U+008A has a letter below U+00C0
             {L'\u00D7', 1, '?'},  // multiplication sign
             {L'\u00DE', 1, '?'},  // thorn
             {L'\u00F7', 1, '?'},  // division sign
             {L'\u00FE', 1, '?'},     {L'\u00FE', -1, '\xFE'},
             {L'\u017F', 1, '?'},  // long s: past the table, low byte 0x7F
             {L'\u0180', 1, '?'},     {L'\u0180', -1, '\x80'},
         }) {
        EXPECT_EQ(ToIgcChar(k.c, k.mode), k.expected)
            << std::hex << static_cast<unsigned>(k.c) << " mode " << k.mode;
    }
}

TEST(IgcTextTest, ReservedCharactersBecomeBlanks) {
    for (const char c : std::string_view("!$*,\\^~")) {
        EXPECT_EQ(ToIgcChar(static_cast<wchar_t>(c), 0), ' ') << c;
        EXPECT_EQ(ToIgcChar(static_cast<wchar_t>(c), 1), ' ') << c;
    }
}

// The base-letter tables, written as letter: code points (Latin-1) or low
// bytes of U+01xx (Latin Extended-A).
struct Letters {
    char letter;
    std::vector<unsigned> codes;
};

void ExpectLetters(const std::vector<Letters>& table, unsigned base) {
    for (const Letters& row : table) {
        for (const unsigned code : row.codes) {
            const auto c = static_cast<wchar_t>(base + code);
            EXPECT_EQ(ToIgcChar(c, 1), row.letter) << std::hex << base + code;
            EXPECT_EQ(ToIgcChar(c, -1), row.letter) << std::hex << base + code;
        }
    }
}

TEST(IgcTextTest, Latin1LettersBecomeBaseLetters) {
    ExpectLetters({{'A', {0xC0, 0xC1, 0xC2, 0xC3, 0xC4, 0xC5, 0xC6}},
                   {'C', {0xC7}},
                   {'E', {0xC8, 0xC9, 0xCA, 0xCB}},
                   {'I', {0xCC, 0xCD, 0xCE, 0xCF}},
                   {'D', {0xD0}},
                   {'N', {0xD1}},
                   {'O', {0xD2, 0xD3, 0xD4, 0xD5, 0xD6, 0xD8}},
                   {'U', {0xD9, 0xDA, 0xDB, 0xDC}},
                   {'Y', {0xDD}},
                   {'s', {0xDF}},
                   {'a', {0xE0, 0xE1, 0xE2, 0xE3, 0xE4, 0xE5, 0xE6}},
                   {'c', {0xE7}},
                   {'e', {0xE8, 0xE9, 0xEA, 0xEB}},
                   {'i', {0xEC, 0xED, 0xEE, 0xEF}},
                   {'d', {0xF0}},
                   {'n', {0xF1}},
                   {'o', {0xF2, 0xF3, 0xF4, 0xF5, 0xF6, 0xF8}},
                   {'u', {0xF9, 0xFA, 0xFB, 0xFC}},
                   {'y', {0xFD, 0xFF}}},
                  0);
}

TEST(IgcTextTest, LatinExtendedALettersBecomeBaseLetters) {
    ExpectLetters({{'A', {0x00, 0x02, 0x04}},
                   {'a', {0x01, 0x03, 0x05}},
                   {'C', {0x06, 0x08, 0x0A, 0x0C}},
                   {'c', {0x07, 0x09, 0x0B, 0x0D}},
                   {'D', {0x0E, 0x10}},
                   {'d', {0x0F, 0x11}},
                   {'E', {0x12, 0x14, 0x16, 0x18, 0x1A}},
                   {'e', {0x13, 0x15, 0x17, 0x19, 0x1B}},
                   {'L', {0x39, 0x3B, 0x3D, 0x3F, 0x41}},
                   {'l', {0x3A, 0x3C, 0x3E, 0x40, 0x42}},
                   {'N', {0x43, 0x45, 0x47, 0x4A}},
                   {'n', {0x44, 0x46, 0x48, 0x49, 0x4B}},
                   {'O', {0x4C, 0x4E, 0x50, 0x52}},
                   {'o', {0x4D, 0x4F, 0x51, 0x53}},
                   {'S', {0x5A, 0x5C, 0x5E, 0x60}},
                   {'s', {0x5B, 0x5D, 0x5F, 0x61}},
                   {'U', {0x68, 0x6A, 0x6C, 0x6E, 0x70, 0x72}},
                   {'u', {0x69, 0x6B, 0x6D, 0x6F, 0x71, 0x73}},
                   {'Y', {0x76, 0x78}},
                   {'y', {0x77}},
                   {'Z', {0x79, 0x7B, 0x7D}},
                   {'z', {0x7A, 0x7C, 0x7E}},
                   // Letters without an ASCII decomposition get their evident base.
                   {'G', {0x1C, 0x1E, 0x20, 0x22}},
                   {'g', {0x1D, 0x1F, 0x21, 0x23}},
                   {'H', {0x24, 0x26}},
                   {'h', {0x25, 0x27}},
                   {'I', {0x28, 0x2A, 0x2C, 0x2E, 0x30, 0x32}},
                   {'i', {0x29, 0x2B, 0x2D, 0x2F, 0x31, 0x33}},
                   {'J', {0x34}},
                   {'j', {0x35}},
                   {'K', {0x36}},
                   {'k', {0x37, 0x38}},
                   {'R', {0x54, 0x56, 0x58}},
                   {'r', {0x55, 0x57, 0x59}},
                   {'T', {0x62, 0x64, 0x66}},
                   {'t', {0x63, 0x65, 0x67}},
                   {'W', {0x74}},
                   {'w', {0x75}}},
                  0x100);
}

TEST(IgcTextTest, EveryCharacterBecomesAnAllowedByte) {
    const std::string_view reserved("!$*,\\^~");
    for (int mode : {0, 1}) {
        for (unsigned code = 1; code < 0x20000; ++code) {
            const char byte = ToIgcChar(static_cast<wchar_t>(code), mode);
            const bool lineEnd = mode == 1 && (byte == '\r' || byte == '\n');
            ASSERT_TRUE(lineEnd || (byte >= ' ' && byte < '~' &&
                                    reserved.find(byte) == std::string_view::npos))
                << std::hex << code << " mode " << mode << " gives " << static_cast<int>(byte);
        }
    }
}

TEST(IgcTextTest, MakeIgcTextFoldsInModeOne) {
    std::wstring text = L"Žilina $1\r\n\uFF33\u00FC\u00DF \u4E2D";
    MakeIgcText(text);
    EXPECT_EQ(text, L"Zilina  1\r\nSus ?");
}

}  // namespace
}  // namespace core
