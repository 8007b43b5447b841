// Reading fields the way the sentence formats were laid out for scanf.
#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <string>
#include <string_view>

#include "gps/nmea_comma_fields.h"
#include "gps/nmea_number.h"
#include "gps/nmea_scanner.h"
#include "platform/numbers.h"

namespace gps {
namespace {

TEST(NmeaScannerTest, WidthsSplitTimeAndPosition) {
    std::int32_t h = 0, m = 0;
    float s = 0;
    double degrees = 0, minutes = 0;
    char letter = 0;
    NmeaScanner scanner("134749.60,00705.83929,E");
    scanner.Int(h, 2).Int(m, 2).Float(s).Skip().Double(degrees, 3).Double(minutes).Skip();
    EXPECT_EQ(scanner.Char(letter).Count(), 6);
    EXPECT_EQ(h, 13);
    EXPECT_EQ(m, 47);
    EXPECT_FLOAT_EQ(s, 49.6F);
    EXPECT_DOUBLE_EQ(degrees, 7.0);
    EXPECT_DOUBLE_EQ(minutes, 5.83929);
    EXPECT_EQ(letter, 'E');
}

TEST(NmeaScannerTest, NumbersStopAtAnEmptyFieldCharactersDoNot) {
    float a = 0, b = 7;
    char c = 0;
    // "%f%*c%f" stops at the empty field and leaves b alone.
    EXPECT_EQ(NmeaScanner("1.5,,2").Float(a).Skip().Float(b).Count(), 1);
    EXPECT_FLOAT_EQ(b, 7.0F);
    // "%f%*c%c" reads the ',' that ends an empty field.
    EXPECT_EQ(NmeaScanner("1.5,,N").Float(a).Skip().Char(c).Count(), 2);
    EXPECT_EQ(c, ',');
    // A character conversion fails only at the end of the text.
    EXPECT_EQ(NmeaScanner("1.5,").Float(a).Skip().Char(c).Count(), 1);
    EXPECT_EQ(NmeaScanner("").Float(a).Count(), 0);
}

TEST(NmeaScannerTest, NumbersSkipBlanksAndTheBlankDirectiveMatchesNone) {
    float a = 0;
    char c = 0;
    EXPECT_EQ(NmeaScanner("  2.5,M").Float(a).Blanks().Skip().Char(c).Count(), 2);
    EXPECT_FLOAT_EQ(a, 2.5F);
    EXPECT_EQ(c, 'M');
    EXPECT_EQ(NmeaScanner(" \t X").Blanks().Char(c).Count(), 1);
    EXPECT_EQ(c, 'X');
}

TEST(NmeaScannerTest, AbsurdAndNonNumbersAreUnreadable) {
    float a = 0;
    double d = 0;
    for (const char* text : {"1e30", "-2000000", "inf", "nan", "0x1p3x", "abc", "1e400"}) {
        a = 0;
        const int count = NmeaScanner(text).Float(a).Count();
        if (std::string(text) == "0x1p3x") {
            EXPECT_EQ(count, 1);  // reads the "0" only, as the C runtime does
            EXPECT_EQ(a, 0.0F);
        } else {
            EXPECT_EQ(count, 0) << text;
        }
    }
    EXPECT_EQ(NmeaScanner("1000000").Double(d).Count(), 1);
    EXPECT_EQ(NmeaScanner("1000000.1").Double(d).Count(), 0);
}

TEST(NmeaScannerTest, HexIsSixteenBitsSigned) {
    std::int16_t value = 0;
    EXPECT_EQ(NmeaScanner("0FC2,FFF6").Skip().SkipHex().Skip().Hex16(value).Count(), 1);
    EXPECT_EQ(value, -10);
    EXPECT_EQ(NmeaScanner("1ABCD").Hex16(value).Count(), 1);
    EXPECT_EQ(value, static_cast<std::int16_t>(0xABCD));
}

TEST(NmeaScannerTest, RefuseTakesBackValuesAndStops) {
    double a = 0, b = 0;
    char c = 0;
    NmeaScanner scanner("9530.0,N");
    scanner.Double(a, 2).Double(b).Refuse(true, 2).Skip().Char(c);
    EXPECT_EQ(scanner.Count(), 0);
    EXPECT_EQ(c, 0);
    NmeaScanner kept("4530.0,N");
    kept.Double(a, 2).Double(b).Refuse(false, 2).Skip().Char(c);
    EXPECT_EQ(kept.Count(), 3);
}

// Numbers built while scanning read exactly as the general reader reads
// them: the same value to the bit, the same characters taken, the same
// failures; fields that are not plain (blanks, '+', exponents, long digit
// runs) go to the general reader.
TEST(NmeaScannerTest, NumbersReadAsTheGeneralReaderReadsThem) {
    const char* const texts[] = {
        "4807.038", "01131.000", "-0.5", "-0", "0.000", ".5", "5.", "-.25", "123456789012345",
        "1234567890123456", "0.1234567890123456789", "000000000000000000012.5", "1e3",
        "1.5E-2,", "1e", "2ex", " 7.5", "+3.25", "-", ".", "-.", ",", "", "999999.99",
        "1000000", "1000000.5", "-999999", "12,34", "0x1A", "987654321", "9876543210",
        "-2147483649", "5-3", "1..2"};
    for (const char* text : texts) {
        for (const std::size_t width : {platform::kNoWidth, std::size_t{0}, std::size_t{2},
                                        std::size_t{3}, std::size_t{5}}) {
            SCOPED_TRACE(::testing::Message() << '"' << text << "\" width " << width);
            double real = -7.0;
            char after = 0;
            const int realCount = NmeaScanner(text).Double(real, width).Char(after).Count();
            const auto general = ScanWireNumber(text, width);
            ASSERT_EQ(realCount >= 1, general.has_value());
            if (general) {
                EXPECT_EQ(std::bit_cast<std::uint64_t>(real),
                          std::bit_cast<std::uint64_t>(general->value));
                const std::string_view rest = std::string_view(text).substr(general->length);
                EXPECT_EQ(realCount, rest.empty() ? 1 : 2);
                if (!rest.empty()) {
                    EXPECT_EQ(after, rest.front());
                }
            }
            std::int32_t integer = -7;
            const int intCount = NmeaScanner(text).Int(integer, width).Char(after).Count();
            const auto generalInt = platform::ScanInt(text, width);
            ASSERT_EQ(intCount >= 1, generalInt.has_value());
            if (generalInt) {
                EXPECT_EQ(integer, generalInt->value);
                const std::string_view rest = std::string_view(text).substr(generalInt->length);
                if (!rest.empty()) {
                    EXPECT_EQ(after, rest.front());
                }
            }
        }
        float single = 0;
        const auto general = ScanWireNumber(text);
        EXPECT_EQ(NmeaScanner(text).Float(single).Count(), general ? 1 : 0);
        if (general) {
            EXPECT_EQ(single, static_cast<float>(general->value));
        }
    }
}

TEST(CommaFieldsTest, FieldsAreReadOneByOne) {
    const CommaFields fields("Y,222.3,,abc,1.5x,,239,174,10.1");
    EXPECT_EQ(fields.Size(), 9U);
    EXPECT_EQ(fields.Char(0), 'Y');
    EXPECT_FLOAT_EQ(*fields.Float(1), 222.3F);
    EXPECT_FALSE(fields.Float(2));  // empty
    EXPECT_FALSE(fields.Float(3));  // unreadable
    EXPECT_FLOAT_EQ(*fields.Float(4), 1.5F);
    EXPECT_FALSE(fields.Char(5));
    EXPECT_FLOAT_EQ(*fields.Float(8), 10.1F);
    EXPECT_FALSE(fields.Float(9));  // beyond the last field
    EXPECT_EQ(CommaFields("").Size(), 1U);
}

}  // namespace
}  // namespace gps
