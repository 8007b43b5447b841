// DAFIF lines, fields and the airspaces read from them by key.
#include <gtest/gtest.h>

#include <string>

#include "tools/tandrel/airspace_reader.h"
#include "tools/tandrel/dafif_file.h"
#include "tools/tandrel/tests/tandrel_test_support.h"

namespace tandrel {
namespace {

TEST(DafifFile, LinesAreWhatTheLineBufferHolds) {
    const std::string longLine(1500, 'x');
    const DafifFile file =
        DafifFile::FromText("HEADER\r\na\tb\r\r\n\n" + longLine + std::string("\nc\0d\ne", 6));
    ASSERT_EQ(file.RecordCount(), 4U);
    EXPECT_EQ(file.Record(0), "a\tb");
    EXPECT_EQ(file.Record(1), std::string(1023, 'x'));  // cut, not spilled into the next line
    EXPECT_EQ(file.Record(2), "c");                     // a NUL ends the text
    EXPECT_EQ(file.Record(3), "e");                     // the last line needs no line end
    EXPECT_EQ(DafifFile::FromText("").RecordCount(), 0U);
}

TEST(DafifFile, FieldsAreSplitAtTabsToAFixedCount) {
    const auto fields = SplitFields("a\t\tc\td\te", 4);
    ASSERT_EQ(fields.size(), 4U);
    EXPECT_EQ(fields[0], "a");
    EXPECT_EQ(fields[1], "");
    EXPECT_EQ(fields[2], "c");
    EXPECT_EQ(fields[3], "d");  // the rest belongs to no field
    EXPECT_EQ(SplitFields("a\t", 3), (std::vector<std::string_view>{"a", "", ""}));
    EXPECT_EQ(Kept("ABCDEFGHIJKLMNOPQRS", 15), "ABCDEFGHIJKLMNO");
}

class FixtureReaders : public ::testing::Test {
  protected:
    FixtureReaders() : opening_(OpenDafifFolder(testing::FixtureFolder())) {}

    AirspaceReader Control(bool countries) const {
        const DafifFiles& f = opening_.files;
        return {AirspaceKind::kControl, *f.controlParents, *f.controlSegments,
                countries ? &*f.controlCountries : nullptr};
    }
    AirspaceReader Special(bool countries) const {
        const DafifFiles& f = opening_.files;
        return {AirspaceKind::kSpecialUse, *f.specialParents, *f.specialSegments,
                countries ? &*f.specialCountries : nullptr};
    }

    DafifOpening opening_;
};

TEST_F(FixtureReaders, EveryAirspaceFindsItsOwnLinesWhateverStandsBetween) {
    ASSERT_TRUE(opening_.missing.empty()) << opening_.missing;
    const AirspaceReader control = Control(false);
    ASSERT_EQ(control.Count(), 9U);
    // Parent order; an airspace without segments hides nothing after it, and
    // the last airspace's lines are found even though they stand earlier.
    const std::size_t segments[] = {4, 1, 0, 4, 5, 4, 3, 4, 4};
    for (std::size_t i = 0; i < control.Count(); ++i) {
        SCOPED_TRACE(control.Identifier(i));
        EXPECT_EQ(control.Read(i, {}).Segments().size(), segments[i]);
    }
    // Special use: the key is identifier and sector.
    const AirspaceReader special = Special(false);
    ASSERT_EQ(special.Count(), 4U);
    const CAirspace warning = special.Read(3, {});
    EXPECT_EQ(warning.Segments().size(), 4U);
    EXPECT_GT(warning.Box().south, 49.0);
}

TEST_F(FixtureReaders, LabelsFollowTheirKind) {
    const AirspaceReader control = Control(false);
    EXPECT_EQ(control.Read(0, {}).label,
              "ALPHA CONTROL ZONE \\(CLASS D) 118.500 121.750\\CLASS E WHEN INACTIVE");
    EXPECT_EQ(control.Read(0, {"", false}).label, "ALPHA CONTROL ZONE \\(CLASS D) 118.500 121.750");
    EXPECT_EQ(control.Read(1, {}).label, "EDCTA02 \\(CLASS ?) 124.100");  // no name, no class
    EXPECT_EQ(control.Read(3, {}).label, "BRAVO TMA \\(CLASS C) 119.200");  // "MON-FRI" is no number
    EXPECT_EQ(control.Read(5, {}).typeCode, 12);                          // no type number

    const AirspaceReader special = Special(false);
    EXPECT_EQ(special.Read(0, {}).label, "RESTRICTED ONE\\RESTRICTED 123.450\\ACTIVE MON-FRI");
    EXPECT_EQ(special.Read(1, {}).label, "DANGER TWO\\DANGER 133.000");
    EXPECT_EQ(special.Read(2, {}).label, "ED-T3\\TEMPORARY");
    EXPECT_EQ(special.Read(3, {}).label, "WARNING FOUR\\WARNING");
}

TEST_F(FixtureReaders, CountryCodesMatchUpToTheFirstEmptyField) {
    const AirspaceReader control = Control(true);
    const auto matches = [&](std::size_t i, const char* code) {
        return control.Read(i, {code, true}).countryMatch;
    };
    EXPECT_TRUE(matches(1, "ED"));
    EXPECT_FALSE(matches(1, "XX"));  // after the empty field
    EXPECT_TRUE(matches(3, "LS"));
    EXPECT_FALSE(matches(4, "ED"));
    EXPECT_FALSE(matches(5, "ED"));  // no country line at all...
    EXPECT_TRUE(matches(8, "ED"));   // ...hides nothing after it
    const AirspaceReader special = Special(true);
    EXPECT_TRUE(special.Read(3, {"ED", true}).countryMatch);
    EXPECT_FALSE(special.Read(2, {"ED", true}).countryMatch);
}

TEST(DafifFolder, NamesMatchIgnoringCaseAndTheFirstMissingRequiredFileIsNamed) {
    const DafifOpening fixture = OpenDafifFolder(testing::FixtureFolder());
    EXPECT_TRUE(fixture.missing.empty());
    EXPECT_TRUE(fixture.files.controlCountries.has_value());
    const DafifOpening none = OpenDafifFolder(testing::FixtureFolder() / "nowhere");
    EXPECT_EQ(none.missing, "BDRY_PAR.TXT");
    EXPECT_EQ(CannotOpenText(none.missing), "File BDRY_PAR.TXT\r\nCannot be opened");
}

}  // namespace
}  // namespace tandrel
