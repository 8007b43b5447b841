// Reading every layout and encoding of the waypoint file (fixtures with their
// expected records), appending in every line form, commenting records out.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "nav/tests/waypoint_test_support.h"
#include "nav/waypoint_file.h"
#include "nav/waypoint_line_parser.h"
#include "platform/numbers.h"
#include "platform/utf.h"

namespace nav {
namespace {

using testing::DataFolder;
using testing::Dump;
using testing::ReadBytes;
using testing::ScratchFolder;
using testing::Wide;

std::string DumpFile(CWaypointFile& file) {
    std::string dump;
    std::uint64_t position = file.DataStart();
    WaypointRecord record;
    std::uint64_t lineStart = 0;
    MapExtension extension{};
    while (file.ReadWaypoint(position, record, lineStart, &extension) == CWaypointFile::kRead) {
        dump += Dump(record, lineStart, extension) + "\n";
    }
    return dump;
}

struct Fixture {
    const char* name;
    bool withTerrain;
};

class WaypointFixtureTest : public ::testing::TestWithParam<Fixture> {};

TEST_P(WaypointFixtureTest, ReadsTheExpectedRecords) {
    const testing::ScopedSoundFolder sounds;
    std::optional<testing::ScopedElevationModel> terrain;
    if (GetParam().withTerrain) terrain.emplace();
    CWaypointFile file;
    ASSERT_TRUE(file.OpenWaypoints(Wide(DataFolder() / GetParam().name), core::OpenMode::kRead));
    EXPECT_EQ(DumpFile(file),
              ReadBytes(DataFolder() / (std::string(GetParam().name) + ".expected")));
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, WaypointFixtureTest,
    ::testing::Values(Fixture{"decimal.dta", false}, Fixture{"altm.dta", false},
                      Fixture{"layouts.tab", false}, Fixture{"alternate.dta", false},
                      Fixture{"utf16le.dta", false}, Fixture{"utf8bom.dta", false},
                      Fixture{"ansi.dta", false}, Fixture{"dem.dta", true}),
    [](const auto& param) {
        std::string name = param.param.name;
        for (char& c : name) {
            if (c == '.') c = '_';
        }
        return name;
    });

TEST(WaypointFileTest, NothingToReadWhenClosedOrEmpty) {
    CWaypointFile file;
    std::uint64_t position = 0;
    std::uint64_t lineStart = 0;
    WaypointRecord record;
    EXPECT_EQ(file.ReadWaypoint(position, record, lineStart), CWaypointFile::kNotOpen);
    EXPECT_FALSE(file.AppendWaypoint(record));

    const ScratchFolder folder;
    const auto path = folder.Write("empty.dta", "");
    ASSERT_TRUE(file.OpenWaypoints(Wide(path)));
    EXPECT_EQ(file.ReadWaypoint(position, record, lineStart), CWaypointFile::kEnd);
}

// A decimal line in full-width digits and punctuation reads as the same line
// in ASCII; only its name keeps the full-width forms.
TEST(WaypointFileTest, FullWidthDigitsAndCommasReadAsAscii) {
    const auto fullWidth = [](const std::string& ascii) {
        std::string text;
        for (const char c : ascii) {
            const unsigned code = 0xFF01 + static_cast<unsigned>(c - '!');
            text += static_cast<char>(0xE0 | (code >> 12));
            text += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            text += static_cast<char>(0x80 | (code & 0x3F));
        }
        return text;
    };
    const std::string numbers = ",47,30,15,-8,5,30,1200M";
    const ScratchFolder folder;
    const auto path = folder.Write(
        "wide.dta", "\xEF\xBB\xBFPlain" + numbers + "\r\nWide" + fullWidth(numbers) + "\r\n");
    CWaypointFile file;
    ASSERT_TRUE(file.OpenWaypoints(Wide(path), core::OpenMode::kRead));
    std::uint64_t position = file.DataStart();
    std::uint64_t lineStart = 0;
    WaypointRecord plain;
    WaypointRecord wide;
    ASSERT_EQ(file.ReadWaypoint(position, plain, lineStart), CWaypointFile::kRead);
    ASSERT_EQ(file.ReadWaypoint(position, wide, lineStart), CWaypointFile::kRead);
    EXPECT_EQ(wide.latitude, plain.latitude);
    EXPECT_EQ(wide.longitude, plain.longitude);
    EXPECT_EQ(wide.altitude, plain.altitude);
    EXPECT_TRUE(wide.altitudeKnown);
    EXPECT_EQ(wide.name.View(), L"Wide");
}

// ---- Appending ----

class AltitudeUnit {
  public:
    explicit AltitudeUnit(int unit) : saved_(core::g_unitAlt.exchange(unit)) {}
    ~AltitudeUnit() { core::g_unitAlt = saved_; }
    AltitudeUnit(const AltitudeUnit&) = delete;
    AltitudeUnit& operator=(const AltitudeUnit&) = delete;

  private:
    int saved_;
};

WaypointRecord Record(const wchar_t* name, double latDeg, double lonWestDeg,
                      std::optional<float> feet = std::nullopt) {
    WaypointRecord record(latDeg, lonWestDeg, true);
    record.name.Assign(name);
    record.altitude = feet.value_or(kNoAltitude);
    record.altitudeKnown = feet.has_value();
    record.kind = kKindWaypoint;
    return record;
}

struct AppendCase {
    const char* label;
    WaypointRecord record;
    std::optional<MapExtension> extension;
    int altitudeUnit;
    std::string line;         // what the file gets
    MapExtension readBack{};  // the map values a later read gives
};

std::vector<AppendCase> AppendCases() {
    const MapExtension map{3.0F, 1.5F, 2.5F, 1.0F, 0.5F, 4.5F};
    const MapExtension mapComma{3.0F, 1.5F, 2.5F, 0.0F, 0.5F, 4.5F};
    WaypointRecord marked = Record(L"Marked", 47.5, -8.25, 1500.0F);
    marked.flags = kMarkerFlag;
    WaypointRecord markedNoAltitude = Record(L"MarkedNone", 47.5, -8.25);
    markedNoAltitude.flags = kMarkerFlag;
    WaypointRecord described = Record(L"Described", 12.5, -7.25, 100.0F);
    described.attachments.comment = L"first\r\nsecond\r\n";
    described.attachments.image = L"pic.bmp";
    described.attachments.sound = L"beep.wav";
    return {
        {"plain, no altitude", Record(L"East", 12.5, -7.25), std::nullopt, 0,
         "East,12.5000000,0,0,-7.2500000,0,0\r\n"},
        {"no altitude, map values",
         Record(L"Sym", 12.5, -7.25),
         map,
         0,
         "Sym,12.5000000,0,0,-7.2500000,0,0,-1, 3,1.5,2.5,0.5,4.5\r\n",
         {3.0F, 1.5F, 2.5F, 0.0F, 0.5F, 4.5F}},
        {"metres, map values", Record(L"High", 46.0, 9.0, 3280.8F), map, 1,
         "High,46.0000000,0,0,9.0000000,0,0,1000M, 3^1.5,2.5,0.5,4.5\r\n", map},
        {"metres", Record(L"HighPlain", 46.0, 9.0, 3280.8F), std::nullopt, 1,
         "HighPlain,46.0000000,0,0,9.0000000,0,0,1000M\r\n"},
        {"feet, map values", Record(L"Low", -33.5, 70.25, 1500.0F), mapComma, 0,
         "Low,-33.5000000,0,0,70.2500000,0,0,1500, 3,1.5,2.5,0.5,4.5\r\n", mapComma},
        {"feet", Record(L"LowPlain", -33.5, 70.25, 1500.0F), std::nullopt, 0,
         "LowPlain,-33.5000000,0,0,70.2500000,0,0,1500\r\n"},
        {"marker with altitude", marked, std::nullopt, 0,
         "^Marked,47.5000000,0,0,-8.2500000,0,0,1500\r\n"},
        {"marker without altitude is not written", markedNoAltitude, std::nullopt, 0,
         "MarkedNone,47.5000000,0,0,-8.2500000,0,0\r\n"},
        {"comment and attachments", described, std::nullopt, 0,
         "\\Described,12.5000000,0,0,-7.2500000,0,0,100\r\nfirst\\second\r\n;#ipic.bmp\r\n"
         ";#sbeep.wav\r\n"},
    };
}

void ExpectSameRecord(const WaypointRecord& read, const WaypointRecord& written) {
    EXPECT_EQ(read.name, written.name);
    EXPECT_NEAR(read.latitude, written.latitude, 1e-8);
    EXPECT_NEAR(read.longitude, written.longitude, 1e-8);
    EXPECT_EQ(read.altitudeKnown, written.altitudeKnown);
    if (written.altitudeKnown) {
        EXPECT_NEAR(read.altitude, written.altitude, 0.5);
    }
    EXPECT_EQ(read.HasMarker(), written.HasMarker() && written.altitudeKnown);
    EXPECT_EQ(read.attachments.image, written.attachments.image);
    EXPECT_EQ(read.attachments.sound, written.attachments.sound);
}

TEST(WaypointFileTest, AppendsEachLineFormAndReadsItBack) {
    const testing::ScopedSoundFolder sounds;
    const ScratchFolder folder;
    // The fixture's last line is a record with the '\\' prefix and no line
    // end: the first append ends it and gives it an empty comment line.
    const auto path = folder.Copy("decimal.dta");
    std::string expected = ReadBytes(path) + "\r\n\r\n";
    CWaypointFile file;
    ASSERT_TRUE(file.OpenWaypoints(Wide(path)));

    for (const AppendCase& c : AppendCases()) {
        SCOPED_TRACE(c.label);
        const AltitudeUnit unit(c.altitudeUnit);
        const auto offset = file.AppendWaypoint(c.record, c.extension ? &*c.extension : nullptr);
        ASSERT_TRUE(offset);
        EXPECT_EQ(*offset, expected.size());
        expected += c.line;
        EXPECT_EQ(ReadBytes(path), expected);

        std::uint64_t position = *offset;
        std::uint64_t lineStart = 0;
        WaypointRecord read;
        MapExtension extension{};
        ASSERT_EQ(file.ReadWaypoint(position, read, lineStart, &extension), CWaypointFile::kRead);
        EXPECT_EQ(lineStart, *offset);
        ExpectSameRecord(read, c.record);
        EXPECT_EQ(extension, c.readBack);
    }
    std::uint64_t position = file.DataStart();
    std::uint64_t lineStart = 0;
    WaypointRecord read;
    int records = 0;
    while (file.ReadWaypoint(position, read, lineStart) == CWaypointFile::kRead)
        ++records;
    EXPECT_EQ(records, 16 + static_cast<int>(AppendCases().size()));
}

TEST(WaypointFileTest, CommentReadsBackAsItsLines) {
    const ScratchFolder folder;
    const auto path = folder.Write("comment.dta", "");
    CWaypointFile file;
    ASSERT_TRUE(file.OpenWaypoints(Wide(path)));
    WaypointRecord record = Record(L"Two", 1.0, 2.0, 10.0F);
    record.attachments.comment = L"first\r\nsecond";
    const auto offset = file.AppendWaypoint(record);
    ASSERT_TRUE(offset);
    EXPECT_EQ(*offset, 0U);

    std::uint64_t position = 0;
    std::uint64_t lineStart = 0;
    WaypointRecord read;
    ASSERT_EQ(file.ReadWaypoint(position, read, lineStart), CWaypointFile::kRead);
    EXPECT_EQ(read.attachments.comment, L"first\r\nsecond");
    EXPECT_EQ(position, ReadBytes(path).size());
}

TEST(WaypointFileTest, FeetInAMetresFileKeepTheirUnit) {
    const AltitudeUnit feet(0);
    const ScratchFolder folder;
    const auto path = folder.Copy("altm.dta");
    const std::string original = ReadBytes(path);
    CWaypointFile file;
    ASSERT_TRUE(file.OpenWaypoints(Wide(path)));
    ASSERT_TRUE(file.AltitudesInMetres());

    const MapExtension map{2.0F, 1.0F, 2.0F, 0.0F, 0.0F, 0.0F};
    const auto plain = file.AppendWaypoint(Record(L"Feet", 47.0, -8.0, 1500.0F));
    const auto withMap = file.AppendWaypoint(Record(L"FeetMap", 47.0, -8.0, 1500.0F), &map);
    ASSERT_TRUE(plain && withMap);
    EXPECT_EQ(ReadBytes(path),
              original +
                  "\r\nFeet,47.0000000,0,0,-8.0000000,0,0,1500F\r\n"
                  "FeetMap,47.0000000,0,0,-8.0000000,0,0,1500F, 2,1.0,2.0,0.0,0.0\r\n");

    for (const std::uint64_t offset : {*plain, *withMap}) {
        std::uint64_t position = offset;
        std::uint64_t lineStart = 0;
        WaypointRecord read;
        MapExtension extension{};
        ASSERT_EQ(file.ReadWaypoint(position, read, lineStart, &extension), CWaypointFile::kRead);
        EXPECT_FLOAT_EQ(read.altitude, 1500.0F);
    }
}

// ---- Commenting records out ----

std::string Utf16Le(std::wstring_view text) {
    std::string bytes("\xFF\xFE", 2);
    for (const wchar_t c : text) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>((c >> 8) & 0xFF);
    }
    return bytes;
}

// The second record (a non-ASCII first character) and the third (with a
// comment line beginning with one) are commented out: only the bytes of
// those first characters change.
TEST(WaypointFileTest, DeleteOverwritesOnlyTheFirstCharacters) {
    const std::wstring text =
        L"A,1,0,0,2,0,0,10\r\n\u00D8kern,1,0,0,2,0,0,10\r\n\\C,1,0,0,2,0,0\r\n\u00E9t\u00E9\r\n"
        L"B,1,0,0,2,0,0\r\n";
    struct Case {
        const char* label;
        std::string bytes;
        std::string after;
    };
    const std::vector<Case> cases = {
        {"UTF-8", platform::ToUtf8(text),
         "A,1,0,0,2,0,0,10\r\n;;kern,1,0,0,2,0,0,10\r\n;C,1,0,0,2,0,0\r\n;;t\xC3\xA9\r\n"
         "B,1,0,0,2,0,0\r\n"},
        {"UTF-16", Utf16Le(text),
         Utf16Le(L"A,1,0,0,2,0,0,10\r\n;kern,1,0,0,2,0,0,10\r\n;C,1,0,0,2,0,0\r\n;t\u00E9\r\n"
                 L"B,1,0,0,2,0,0\r\n")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        const ScratchFolder folder;
        const auto path = folder.Write("delete.dta", c.bytes);
        CWaypointFile file;
        ASSERT_TRUE(file.OpenWaypoints(Wide(path)));
        std::uint64_t position = file.DataStart();
        std::uint64_t lineStart = 0;
        WaypointRecord record;
        ASSERT_EQ(file.ReadWaypoint(position, record, lineStart), CWaypointFile::kRead);
        for (int i = 0; i < 2; ++i) {
            ASSERT_EQ(file.ReadWaypoint(position, record, lineStart), CWaypointFile::kRead);
            EXPECT_TRUE(file.DeleteWaypoint(lineStart, record));
        }
        EXPECT_EQ(ReadBytes(path), c.after);

        position = file.DataStart();
        std::wstring names;
        while (file.ReadWaypoint(position, record, lineStart) == CWaypointFile::kRead) {
            names += record.name.View();
        }
        EXPECT_EQ(names, L"AB");
    }
}

}  // namespace
}  // namespace nav
