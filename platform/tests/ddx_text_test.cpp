#include "platform/ddx_text.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdint>
#include <optional>
#include <string>

namespace platform {
namespace {

using std::nullopt;
using Opt = std::optional<std::int64_t>;

template <typename T>
Opt Widen(std::optional<T> value) {
    return value ? Opt(*value) : nullopt;
}

TEST(DdxText, FoldsFullWidthRangeOnly) {
    std::wstring text = L"\uFF01\uFF10\uFF21\uFF5E\uFF00\uFF5F\u3000a";
    FoldFullWidth(text);
    EXPECT_EQ(text, L"!0A~\uFF00\uFF5F\u3000a");
}

struct IntegerCase {
    const wchar_t* text;
    Opt asInt, asShort, asUInt, asByte;
};

TEST(DdxText, IntegerFieldsFollowTheExchangeRules) {
    const IntegerCase cases[] = {
        {L"\uFF11\uFF12", 12, 12, 12, 12},  // full-width digits
        {L"\uFF0D\uFF15", -5, -5, nullopt, nullopt},
        {L" 7 ", 7, 7, 7, 7},
        {L"\t7\t", 7, 7, 7, 7},
        {L"0", 0, 0, 0, 0},
        {L"00", 0, 0, 0, 0},
        {L"+5", 5, 5, 5, 5},
        {L"7a", nullopt, nullopt, nullopt, nullopt},
        {L"7 a", nullopt, nullopt, nullopt, nullopt},
        {L"abc", nullopt, nullopt, nullopt, nullopt},
        {L"", nullopt, nullopt, nullopt, nullopt},
        {L"   ", nullopt, nullopt, nullopt, nullopt},
        {L"-0", nullopt, nullopt, nullopt, nullopt},  // zero must begin with '0'
        {L"+0", nullopt, nullopt, nullopt, nullopt},
        {L"0x10", nullopt, nullopt, nullopt, nullopt},
        {L"1.5", nullopt, nullopt, nullopt, nullopt},
        {L"-1", -1, -1, nullopt, nullopt},
        {L"255", 255, 255, 255, 255},
        {L"300", 300, 300, 300, nullopt},
        {L"32767", 32767, 32767, 32767, nullopt},
        {L"-32768", -32768, -32768, nullopt, nullopt},
        {L"40000", 40000, nullopt, 40000, nullopt},
        {L"-32769", -32769, nullopt, nullopt, nullopt},
        {L"2147483647", 2147483647, nullopt, 2147483647, nullopt},
        {L"-2147483648", -2147483648LL, nullopt, nullopt, nullopt},
        // Beyond the 32-bit member: refused, never cut or clamped.
        {L"2147483648", nullopt, nullopt, 2147483648LL, nullopt},
        {L"4294967295", nullopt, nullopt, 4294967295LL, nullopt},
        {L"4294967296", nullopt, nullopt, nullopt, nullopt},
        {L"99999999999999999999", nullopt, nullopt, nullopt, nullopt},
        // Only 31 characters are read: what follows them does not count.
        {L"1                              x", 1, 1, 1, 1},
        {L"1                             x", nullopt, nullopt, nullopt, nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "text \"" << c.text << '"');
        EXPECT_EQ(Widen(ParseFieldInt(c.text)), c.asInt);
        EXPECT_EQ(Widen(ParseFieldShort(c.text)), c.asShort);
        EXPECT_EQ(Widen(ParseFieldUInt(c.text)), c.asUInt);
        EXPECT_EQ(Widen(ParseFieldByte(c.text)), c.asByte);
    }
}

struct RealCase {
    const wchar_t* text;
    std::optional<double> asDouble;
    std::optional<float> asFloat;
};

TEST(DdxText, RealFieldsTakeDecimalFiniteNumbersOnly) {
    const RealCase cases[] = {
        {L"1.5", 1.5, 1.5f},
        {L" 2.5\t", 2.5, 2.5f},
        {L"\uFF11\uFF0E\uFF15", 1.5, 1.5f},
        {L"0", 0.0, 0.0f},
        {L"0.0", 0.0, 0.0f},
        {L".5", 0.5, 0.5f},
        {L"-0.5", -0.5, -0.5f},
        {L"1e3", 1000.0, 1000.0f},
        {L"0.1", 0.1, 0.1f},
        {L".0", nullopt, nullopt},  // zero must begin with '0'
        {L"-0", nullopt, nullopt},
        {L"+0", nullopt, nullopt},
        {L"1e", nullopt, nullopt},
        {L"1,5", nullopt, nullopt},
        {L"abc", nullopt, nullopt},
        {L"", nullopt, nullopt},
        {L"inf", nullopt, nullopt},
        {L"-infinity", nullopt, nullopt},
        {L"nan", nullopt, nullopt},
        {L"0x1p3", nullopt, nullopt},
        {L"1e999", nullopt, nullopt},
        {L"1e39", 1e39, nullopt},  // finite as a double only
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "text \"" << c.text << '"');
        EXPECT_EQ(ParseFieldDouble(c.text), c.asDouble);
        EXPECT_EQ(ParseFieldFloat(c.text), c.asFloat);
    }
}

TEST(DdxText, MembersAreWrittenInTheCForm) {
    EXPECT_EQ(FormatFieldFloat(0.1f), L"0.1");
    EXPECT_EQ(FormatFieldFloat(1.0f / 3.0f), L"0.333333");
    EXPECT_EQ(FormatFieldDouble(0.1), L"0.1");
    EXPECT_EQ(FormatFieldDouble(1.0 / 3.0), L"0.333333333333333");
    EXPECT_EQ(FormatFieldDouble(1e20), L"1e+20");
    EXPECT_EQ(FormatFieldInt(-2147483647 - 1), L"-2147483648");
    EXPECT_EQ(FormatFieldShort(-5), L"-5");
    EXPECT_EQ(FormatFieldUInt(4294967295u), L"4294967295");
}

TEST(DdxText, NumbersKeepTheCFormUnderACommaLocale) {
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr) GTEST_SKIP() << "no de_DE.UTF-8 locale";
    const std::wstring shown = FormatFieldDouble(2.5);
    const auto read = ParseFieldDouble(L"2.5");
    const auto comma = ParseFieldDouble(L"2,5");
    std::setlocale(LC_ALL, previous.c_str());
    EXPECT_EQ(shown, L"2.5");
    EXPECT_EQ(read, 2.5);
    EXPECT_EQ(comma, nullopt);
}

TEST(DdxText, PromptsHaveDefaultsAndTakeTheirArguments) {
    EXPECT_EQ(DefaultPromptText(AFX_IDP_PARSE_INT), L"Please enter an integer.");
    EXPECT_EQ(DefaultPromptText(AFX_IDP_PARSE_UINT), L"Please enter a positive integer.");
    EXPECT_EQ(DefaultPromptText(2002), L"");
    EXPECT_EQ(FormatPrompt(DefaultPromptText(AFX_IDP_PARSE_INT_RANGE), L"-5", L"10"),
              L"Please enter an integer between -5 and 10.");
    EXPECT_EQ(FormatPrompt(L"100% of %1, %3", L"x"), L"100% of x, %3");
}

}  // namespace
}  // namespace platform
