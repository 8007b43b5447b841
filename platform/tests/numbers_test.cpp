#include "platform/numbers.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string>
#include <vector>

#include "testing/comma_locale.h"

namespace {

using platform::FormatC;
using platform::kNoWidth;

std::wstring Widen(std::string_view text) {
    return std::wstring(text.begin(), text.end());
}

// A scanner case: text, width, and the value and length, or no number
// (length 0).
template <typename T>
struct ScanCase {
    const char* text;
    T value;
    std::size_t length;
    std::size_t width = kNoWidth;
};

// Runs every case through the narrow and the wide scanner.
template <typename T, typename Scan>
void CheckCases(const std::vector<ScanCase<T>>& cases, Scan scan) {
    for (const ScanCase<T>& c : cases) {
        for (const bool wide : {false, true}) {
            SCOPED_TRACE(std::string(wide ? "wide \"" : "\"") + c.text + "\" width " +
                         std::to_string(c.width));
            const auto got =
                wide ? scan(std::wstring_view(Widen(c.text)), c.width) : scan(c.text, c.width);
            if (c.length == 0) {
                EXPECT_FALSE(got.has_value());
                continue;
            }
            ASSERT_TRUE(got.has_value());
            EXPECT_EQ(got->value, c.value);
            EXPECT_EQ(got->length, c.length);
        }
    }
}

const auto kScanDouble = [](auto text, std::size_t width) {
    return platform::ScanDouble(text, width);
};
const auto kScanFloat = [](auto text, std::size_t width) {
    return platform::ScanFloat(text, width);
};
const auto kScanInt = [](auto text, std::size_t width) { return platform::ScanInt(text, width); };
const auto kScanUnsigned = [](auto text, std::size_t width) {
    return platform::ScanUnsigned(text, width);
};
const auto kScanHex = [](auto text, std::size_t width) { return platform::ScanHex(text, width); };

TEST(ScanDouble, DecimalFieldsAndTheirLength) {
    CheckCases<double>(
        {
            {"1.5", 1.5, 3},
            {"  -2.5e3xyz", -2500.0, 8},
            {"\t\n\v\f\r7", 7.0, 6},
            {"+.5", 0.5, 3},
            {"5.", 5.0, 2},
            {"1E2", 100.0, 3},
            {"1e-2,", 0.01, 4},
            {"1e+2", 100.0, 4},
            {"1e", 1.0, 1},  // an exponent needs a digit
            {"1e+x", 1.0, 1},
            {"1.5.3", 1.5, 3},
            {"1,5", 1.0, 1},    // the decimal point is always '.'
            {"0x1p3", 0.0, 1},  // no hexadecimal floats
            {"00012.50000", 12.5, 11},
            {"-0", -0.0, 2},
            {"1e-400", 0.0, 6},  // too small: zero
            {"0e99999999999999999999", 0.0, 22},
            {"123456789012345678901234567890", 123456789012345678901234567890.0, 30},
            {"  12345", 123.0, 5, 3},  // width counts after the blanks
            {"-1.25", -1.0, 2, 2},
            {"1.5e3", 1.5, 3, 4},  // "1.5e" inside the width: no exponent
        },
        kScanDouble);
}

TEST(ScanDouble, RefusesWhatIsNoFiniteDecimalNumber) {
    CheckCases<double>(
        {
            {"", 0, 0},
            {"   ", 0, 0},
            {"+", 0, 0},
            {"-", 0, 0},
            {".", 0, 0},
            {"-.e5", 0, 0},
            {"e5", 0, 0},
            {"- 1", 0, 0},
            {"inf", 0, 0},
            {"-INF", 0, 0},
            {"infinity", 0, 0},
            {"nan", 0, 0},
            {"NaN(123)", 0, 0},
            {"x1", 0, 0},
            {"1e400", 0, 0},  // beyond double: never infinity
            {"-1e400", 0, 0},
            {"12", 0, 0, 0},
        },
        kScanDouble);
}

TEST(ScanDouble, ReadsExactlyTheShortestRoundTripText) {
    for (const double value :
         {0.1, 1.0 / 3.0, 2.2250738585072014e-308, 1.7976931348623157e308, -123.456, 5e-324}) {
        const std::string text = FormatC("%.17g", value);
        const auto got = platform::ScanDouble(text);
        ASSERT_TRUE(got.has_value()) << text;
        EXPECT_EQ(got->value, value) << text;
        EXPECT_EQ(got->length, text.size());
    }
}

TEST(ScanDouble, WideTextOutsideAsciiIsNoDigit) {
    EXPECT_FALSE(platform::ScanDouble(std::wstring_view(L"\u0661")).has_value());  // Arabic one
    EXPECT_FALSE(
        platform::ScanDouble(std::wstring_view(L"\u00A012")).has_value());  // no-break space
    const auto got = platform::ScanDouble(std::wstring_view(L"2\u00B2"));   // superscript two
    ASSERT_TRUE(got.has_value());
    EXPECT_EQ(got->value, 2.0);
    EXPECT_EQ(got->length, 1u);
    const auto high = platform::ScanDouble(std::wstring_view(L"3\U0001F600"));
    ASSERT_TRUE(high.has_value());
    EXPECT_EQ(high->length, 1u);
}

TEST(ScanFloat, NarrowsAndRefusesWhatFloatCannotHold) {
    CheckCases<float>(
        {
            {"0.1", 0.1f, 3},
            {"-3.4e38", -3.4e38f, 7},
            {"1e-50", 0.0f, 5},
            {"1e39", 0, 0},
            {"-1e39", 0, 0},
            {"nan", 0, 0},
        },
        kScanFloat);
}

TEST(ScanInt, DecimalFieldsSaturateAtThe32BitLimits) {
    constexpr auto kMin = std::numeric_limits<std::int32_t>::min();
    constexpr auto kMax = std::numeric_limits<std::int32_t>::max();
    CheckCases<std::int32_t>(
        {
            {"123", 123, 3},
            {" +7;", 7, 3},
            {"-0", 0, 2},
            {"12abc", 12, 2},
            {"1.9", 1, 1},
            {"0x10", 0, 1},
            {"2147483647", kMax, 10},
            {"2147483648", kMax, 10},
            {"-2147483648", kMin, 11},
            {"-2147483649", kMin, 11},
            {"99999999999999999999999999", kMax, 26},
            {"-99999999999999999999999999", kMin, 27},
            {"-123", -1, 2, 2},
            {"", 0, 0},
            {" - 1", 0, 0},
            {"+", 0, 0},
            {"abc", 0, 0},
        },
        kScanInt);
}

TEST(ScanUnsigned, MinusNegatesModulo2To32) {
    constexpr auto kMax = std::numeric_limits<std::uint32_t>::max();
    CheckCases<std::uint32_t>(
        {
            {"4294967295", kMax, 10},
            {"4294967296", kMax, 10},
            {"-1", kMax, 2},
            {"-0", 0, 2},
            {"-4294967295", 1, 11},
            {"-4294967296", kMax, 11},  // saturated first, as strtoul does
            {"+5 ", 5, 2},
            {"-", 0, 0},
            {"", 0, 0},
        },
        kScanUnsigned);
}

TEST(ScanHex, DigitsWithOptionalPrefix) {
    constexpr auto kMax = std::numeric_limits<std::uint32_t>::max();
    CheckCases<std::uint32_t>(
        {
            {"ff", 0xFF, 2},
            {" 0x1F*", 0x1F, 5},
            {"0X1f", 0x1F, 4},
            {"0xg", 0, 1},  // a bare prefix is not taken
            {"0x", 0, 1},
            {"-1", kMax, 2},
            {"-0x10", 0xFFFFFFF0, 5},
            {"FFFFFFFF", kMax, 8},
            {"1FFFFFFFF", kMax, 9},
            {"DEADbeefz", 0xDEADBEEF, 8},
            {"0x1F", 0, 1, 2},  // the width leaves no digit after the prefix
            {"x1", 0, 0},
            {"g", 0, 0},
            {"", 0, 0},
        },
        kScanHex);
}

TEST(FormatC, PrintfFormats) {
    EXPECT_EQ(FormatC("%d|%5.2f|%s|%05.3lf|%x", -42, 3.14159, "abc", 2.5, 255u),
              "-42| 3.14|abc|2.500|ff");
    EXPECT_EQ(FormatC(L"%d|%.1f|%ls|%lc", 7, 0.25, L"Z\u00FCrich", L'\u00B0'),
              L"7|0.2|Z\u00FCrich|\u00B0");
    // Text arguments cross between UTF-8 and wide text.
    EXPECT_EQ(FormatC("%ls", L"Z\u00FCrich \U0001F600"), "Z\xC3\xBCrich \xF0\x9F\x98\x80");
    EXPECT_EQ(FormatC(L"%s", "Z\xC3\xBCrich"), L"Z\u00FCrich");
}

TEST(FormatC, LongTexts) {
    const std::string narrow = FormatC("%3000d|%s", 1, std::string(5000, 'a').c_str());
    EXPECT_EQ(narrow.size(), 3000u + 1 + 5000);
    EXPECT_EQ(narrow.substr(2995, 7), "    1|a");
    const std::wstring wide = FormatC(L"%3000d|%ls", 1, std::wstring(5000, L'\u00E9').c_str());
    EXPECT_EQ(wide.size(), 3000u + 1 + 5000);
    EXPECT_EQ(wide.substr(2995, 7), L"    1|\u00E9");
}

TEST(FormatC, TextThatDoesNotConvertGivesEmpty) {
    EXPECT_EQ(FormatC(L"%s", "\xFF\xFE"), L"");
}

TEST(Numbers, KeepTheCFormUnderACommaLocale) {
    const test_support::CommaLocale locale;
    if (!locale.Active()) GTEST_SKIP() << "de_DE.UTF-8 is not installed";
    ASSERT_STREQ(std::localeconv()->decimal_point, ",");
    char local[32];
    std::snprintf(local, sizeof local, "%.1f", 1.5);
    ASSERT_STREQ(local, "1,5");  // the locale is in force for the C library

    EXPECT_EQ(FormatC("%f", 1.5), "1.500000");
    EXPECT_EQ(FormatC(L"%.2f", -0.5), L"-0.50");
    EXPECT_EQ(FormatC("%g", 1e-7), "1e-07");
    const auto got = platform::ScanDouble("1.5");
    ASSERT_TRUE(got.has_value());
    EXPECT_EQ(got->value, 1.5);
    EXPECT_EQ(got->length, 3u);
    const auto comma = platform::ScanDouble(std::wstring_view(L"1,5"));
    ASSERT_TRUE(comma.has_value());
    EXPECT_EQ(comma->value, 1.0);
    EXPECT_EQ(comma->length, 1u);
}

}  // namespace

// Plain decimals, as data files are full of them, read bit for bit as the C
// library reads them.
TEST(Numbers, DecimalsReadAsTheCLibraryReadsThem) {
    std::uint64_t seed = 88172645463325252ULL;
    for (int i = 0; i < 5000; ++i) {
        seed ^= seed << 13;
        seed ^= seed >> 7;
        seed ^= seed << 17;
        const int decimals = static_cast<int>(seed % 17);
        const double value =
            static_cast<double>(static_cast<std::int64_t>(seed % 2000000001) - 1000000000) / 97.0;
        // With an exponent too, as the number and the power combine.
        for (const char* format : {"%.*f", "%.*e"}) {
            const std::string text = FormatC(format, decimals, value);
            const auto scanned = platform::ScanDouble(text);
            ASSERT_TRUE(scanned) << text;
            EXPECT_EQ(scanned->length, text.size()) << text;
            EXPECT_EQ(scanned->value, std::strtod(text.c_str(), nullptr)) << text;
        }
    }
}
