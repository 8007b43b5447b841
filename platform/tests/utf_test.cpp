#include "platform/utf.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>

namespace {

using platform::FromUtf8;
using platform::ToUtf8;

TEST(Utf, ValidTextConvertsExactlyBothWays) {
    const std::wstring wide = L"a\u00E9\u20AC\U0001F600\u007F\u0080\u07FF\u0800\uFFFF\U0010FFFF";
    const std::string utf8 =
        "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80\x7F\xC2\x80\xDF\xBF\xE0\xA0\x80\xEF\xBF\xBF"
        "\xF4\x8F\xBF\xBF";
    EXPECT_EQ(ToUtf8(wide), utf8);
    EXPECT_EQ(FromUtf8(utf8), wide);
    EXPECT_EQ(FromUtf8(std::string("a\0b", 3)), std::wstring(L"a\0b", 3));
}

TEST(Utf, InvalidInputBecomesReplacementCharacters) {
    struct Case {
        std::string utf8;
        std::wstring wide;
    };
    const Case cases[] = {
        {"\xFF", L"\uFFFD"},
        {"\x80x", L"\uFFFDx"},                              // lone continuation byte
        {"\xC3", L"\uFFFD"},                                // cut short
        {"\xE2\x82", L"\uFFFD\uFFFD"},                      // each byte of a cut sequence
        {"\xC0\xAF", L"\uFFFD\uFFFD"},                      // overlong '/'
        {"\xE0\x80\xAF", L"\uFFFD\uFFFD\uFFFD"},            // overlong
        {"\xED\xA0\x80", L"\uFFFD\uFFFD\uFFFD"},            // surrogate
        {"\xF4\x90\x80\x80", L"\uFFFD\uFFFD\uFFFD\uFFFD"},  // above U+10FFFF
        {"\xC3(", L"\uFFFD("},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FromUtf8(c.utf8), c.wide) << c.utf8.size();
    EXPECT_EQ(ToUtf8(std::wstring{static_cast<wchar_t>(0xD800), static_cast<wchar_t>(0x110000),
                                  static_cast<wchar_t>(-1)}),
              "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD");
}

TEST(Utf, DoesNotDependOnTheLocale) {
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    std::setlocale(LC_ALL, "C");
    EXPECT_EQ(FromUtf8("\xC3\xA9"), L"\u00E9");
    EXPECT_EQ(ToUtf8(L"\u00E9"), "\xC3\xA9");
    std::setlocale(LC_ALL, previous.c_str());
}

}  // namespace
