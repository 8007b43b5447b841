#include "platform/text_wrap.h"

#include <gtest/gtest.h>

namespace platform {
namespace {

// Ten pixels a character.
int Measure(std::wstring_view text) { return static_cast<int>(text.size()) * 10; }

TEST(WrapText, BreaksBetweenWordsAndInsideWordsWiderThanTheLine) {
    struct Case {
        const wchar_t* text;
        int width;
        const wchar_t* wrapped;
    };
    for (const Case& c : {
             Case{L"short", 100, L"short"},
             Case{L"keeps  its   spacing", 200, L"keeps  its   spacing"},
             Case{L"one two three four", 100, L"one two\nthree four"},
             Case{L"a /very/long/path/name.map here", 80, L"a\n/very/lo\nng/path/\nname.map\nhere"},
             Case{L"first\r\nsecond line here\n\nafter a gap", 110, L"first\nsecond line\nhere\n\nafter a gap"},
             Case{L"WWW", 5, L"W\nW\nW"},  // at least a character a line
             Case{L"", 100, L""},
         }) {
        EXPECT_EQ(WrapText(c.text, c.width, Measure), c.wrapped) << c.text;
    }
}

}  // namespace
}  // namespace platform
