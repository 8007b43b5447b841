// The IGC log's own records as text: names, header, closing G records,
// C records, the logger id and the security line.
#include "recorder/igc_records.h"

#include <gtest/gtest.h>

#include <numbers>

#include "recorder/igc_header.h"
#include "recorder/log_file_name.h"
#include "testing/scratch_folder.h"
#include "testing/units.h"

namespace recorder {
namespace {

using test_support::kRadiansPerDegree;


TEST(LogFileNameTest, ProposedNamesFollowTheFilesOfTheFolder) {
    const platform::SystemTime day{2025, 12, 1, 8, 10, 0, 0, 0};
    EXPECT_EQ(IgcLogNamePrefix(day, L"Q7Z"), "5C8XQ7Z");
    EXPECT_EQ(TextLogNamePrefix(day), "251208-");
    EXPECT_EQ(IgcLogNamePrefix({2019, 10, 0, 31, 0, 0, 0, 0}, L"000"), "9AVX000");

    struct Case {
        std::vector<std::string> files;
        std::string proposed;
    };
    std::vector<std::string> nine;
    for (int i = 1; i <= 9; ++i)
        nine.push_back("5C8XQ7Z" + std::to_string(i) + ".igc");
    const Case cases[] = {
        {{}, "5C8XQ7Z1"},
        {{"5C8XQ7Z1.igc", "5C8XQ7Z2.igc"}, "5C8XQ7Z3"},
        {{"5C8XQ7Z3.igc"}, "5C8XQ7Z2"},
        {{"5c8xq7z1.IGC"}, "5C8XQ7Z2"},  // names compare without case
        {{"5C8XQ7Z1", "5C8XQ7Z2.txt"}, "5C8XQ7Z3"},
        {nine, "5C8XQ7ZA"},
    };
    for (const Case& c : cases) {
        const test_support::ScratchFolder folder("kv-names");
        for (const std::string& file : c.files)
            folder.Write(file, "");
        EXPECT_EQ(ProposeLogName(folder.Path(), "5C8XQ7Z"), c.proposed) << c.files.size();
    }
    const test_support::ScratchFolder empty("kv-names");
    EXPECT_EQ(ProposeLogName(empty.Path(), "251208-"), "251208-1");
}

TEST(LogFileNameTest, TheIndexStopsAtZ) {
    EXPECT_EQ(LogIndexCharacter(9), '9');
    EXPECT_EQ(LogIndexCharacter(10), 'A');
    EXPECT_EQ(LogIndexCharacter(35), 'Z');
    EXPECT_EQ(LogIndexCharacter(36), 'Z');
    const test_support::ScratchFolder folder("kv-names");
    for (int i = 1; i <= 40; ++i)
        folder.Write("P" + std::to_string(i) + "-" + std::string(1, LogIndexCharacter(i)), "");
    EXPECT_EQ(ProposeLogName(folder.Path(), "P"), "PZ");
}

TEST(LogFileNameTest, TheLogsExtensionFollowsItsFormatUnlessTyped) {
    struct Case {
        const char* chosen;
        bool igc;
        const char* path;
    };
    // Offered: "5C8XQ7Z1.igc".
    for (const Case& c : {Case{"/f/5C8XQ7Z1.igc", true, "/f/5C8XQ7Z1.igc"},
                          Case{"/f/5C8XQ7Z1.igc", false, "/f/5C8XQ7Z1.gps"},
                          Case{"/f/mine", true, "/f/mine.igc"},
                          Case{"/f/mine", false, "/f/mine.gps"},
                          Case{"/f/mine.gps", true, "/f/mine.gps"},
                          Case{"/f/mine.txt", true, "/f/mine.txt"},
                          Case{"/f.d/mine", true, "/f.d/mine.igc"}}) {
        EXPECT_EQ(LogPathForFormat(c.chosen, "5C8XQ7Z1.igc", c.igc), std::filesystem::path(c.path))
            << c.chosen;
    }
}

TEST(IgcRecordsTest, TheDigestExampleGivesItsGRecords) {
    core::IgcDigest digest;
    digest.Start(0);
    digest.Fold("abc\r\n");
    const auto lines = IgcSecurityLines(digest);
    EXPECT_EQ(lines[0], "G17>D@AAAABDEFHJLNQSNIDHKOSOKHMQNLIOMKIONLKKJIIIIIJJKLMOPJLFHKNPKOJN\r\n");
    EXPECT_EQ(lines[1], "G@ABBN@X@XV:DTJFHP>RLLR>PHFJTD:VX@NB<<BN@XV:DTJFHP>RLLR>PHFJTD:VX@NB\r\n");
    // The second line carries the seed.
    digest.Start(249);
    EXPECT_EQ(IgcSecurityLines(digest)[1].substr(0, 3), "GOJ");
}

TEST(IgcRecordsTest, HeaderValuesAreFilteredButTheFixedTextsKeepTheirComma) {
    IgcHeaderValues values;
    values.pilot = L"Jos\u00e9 M\uff41ller,*";
    values.programVersion = L"1.3.3.0";
    const std::vector<std::string> block = IgcHeaderBlock(values);
    ASSERT_EQ(block.size(), 10U);
    EXPECT_EQ(block[0], "HFFXA010\r\n");
    EXPECT_EQ(block[1], "HFPLTPILOT: Jose Maller  \r\n");
    EXPECT_EQ(block[4], "HFDTM100GPSDATUM: WGS-84\r\n");
    EXPECT_EQ(block[5], "HFRFWFIRMWARE VERSION: KOR_VAN WinCE 1.3.3.0\r\n");
    EXPECT_EQ(block[7], "HFFTYFRTYPE: TarnwellAvionics,KOR_VAN WinCE\r\n");
    EXPECT_EQ(block[9], "HFPRSPRESSALTSENSOR: UNKNOWN\r\n");
    EXPECT_EQ(IgcARecord(L"Q7Z"), "AXKVQ7Z KOR_VAN_WinCE\r\n");
    EXPECT_EQ(IgcDateHeader(8, 12, 2025), "HFDTE081225\r\n");
    EXPECT_EQ(IgcIRecord(false), "I013638FXA\r\n");
    EXPECT_EQ(IgcIRecord(true), "I023638FXA3941ENL\r\n");
}

DeclaredPoint Point(const wchar_t* name, double latDeg, double lonWestDeg) {
    DeclaredPoint point;
    point.name = name;
    point.latitude = latDeg * kRadiansPerDegree;
    point.lonWest = lonWestDeg * kRadiansPerDegree;
    return point;
}

TEST(IgcRecordsTest, TheCBlockCountsThePointsItWrites) {
    const platform::SystemTime utc{2025, 12, 1, 8, 9, 5, 7, 0};
    std::vector<DeclaredPoint> points = {
        Point(L"Home", 47.5, -8.25),
        Point(L"Start", -33.0 - 59.9999 / 60.0, 70.0),  // minutes that round to 60
        Point(L"Left out", 47.0, -8.0),
        Point(L"TP, one", 47.25, -9.0),
        Point(L"Home", 47.5, -8.25),
    };
    points[2].notDeclared = true;
    points[3].area = true;
    points[3].hasSector = true;
    points[3].sectorRadiusKm = 20.0;
    points[3].innerRadiusKm = 5.0;
    points[3].sectorDirectionDeg = 10.0;
    points[3].sectorAngleDeg = 90.0;
    const std::vector<std::string> lines = IgcCRecords(points, utc, 3);
    const std::vector<std::string> expected = {
        "C081225090507000000000300\r\n",
        "C4730000N00815000E Home - takeoff site\r\n",
        "C3400000S07000000W Start\r\n",
        "C4715000N00900000E00050000020000325000055000 TP  one AREA\r\n",
        "C4730000N00815000E Home - landing site\r\n",
    };
    EXPECT_EQ(lines, expected);

    points[3].hasSector = false;
    points[3].cylinderRadiusKm = 0.5;
    points[3].name = L"A name far longer than twenty-six";
    EXPECT_EQ(IgcCRecords(points, utc, 1)[3],
              "C4715000N00900000E00000000000500000000360000 A name far longer than twe AREA\r\n");

    points[0].notDeclared = true;  // three lines left: no block
    EXPECT_TRUE(IgcCRecords(points, utc, 1).empty());
    EXPECT_TRUE(IgcCRecords({points[1], points[3], points[4]}, utc, 1).empty());
}

TEST(IgcHeaderTest, LoggerIdFromOwnerBytes) {
    struct Case {
        std::vector<std::uint8_t> owner;
        const wchar_t* id;
    };
    const Case cases[] = {
        {{}, L"000"},
        {{'A', 0, 'B', 0}, L"000"},  // two letters: part 0
        // Parts of two bytes whose XOR is 0, 57, 205; then 206, 255, 1.
        {{1, 1, 56, 1, 204, 1}, L"0AZ"},
        {{207, 1, 254, 1, 3, 2}, L"0Y0"},
        // UTF-16 "ABCDEF": zero bytes go; parts "AB", "CD", "EF".
        {{'A', 0, 'B', 0, 'C', 0, 'D', 0, 'E', 0, 'F', 0}, L"010"},
        {{'x', 'y', 'z'}, L"LLL"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(LoggerIdFromOwnerBytes(c.owner), c.id) << c.owner.size();
}

TEST(IgcHeaderTest, KindLinesAndTheSecurityPhrase) {
    EXPECT_EQ(KindHeaderLine(HeaderKind::kCid, L"ABC", L"COMPETITION ID"),
              L"HFCIDCOMPETITION ID: ABC\r\n");
    EXPECT_EQ(KindHeaderLine(HeaderKind::kCid, L"", L"COMPETITION ID"), L"");
    EXPECT_EQ(KindHeaderLine(HeaderKind::kGps, L"uBlox", std::nullopt), L"HFGPS: uBlox\r\n");
    EXPECT_EQ(KindHeaderLine(HeaderKind::kSit, L"Here", std::nullopt), L"HFSITUNKNOWN: Here\r\n");

    EXPECT_EQ(CheckSecurityPhrase(L"abcdefg  ", L"abcdefg  "), PhraseCheck::kTooShort);
    EXPECT_EQ(CheckSecurityPhrase(L"abcdefgh", L"abcdefgh"), PhraseCheck::kAccepted);
    EXPECT_EQ(CheckSecurityPhrase(L"abcdefgh", L"abcdefgi"), PhraseCheck::kMismatch);
    EXPECT_EQ(CheckSecurityPhrase(L"", L""), PhraseCheck::kAccepted);

    const std::wstring line = SecurityLine(L"abcdefgh", 0);
    EXPECT_EQ(line.substr(0, 27), L"HFSECOOSECURITYPHRASE: 16@A");
    EXPECT_EQ(line.size(), 27U + 23U + 2U);
    // An 8-character phrase repeats to 25: the same as typing it repeated.
    EXPECT_EQ(line, SecurityLine(L"abcdefghabcdefghabcdefgha", 0));
    EXPECT_EQ(SecurityLine(L"", 500), L"");
}

}  // namespace
}  // namespace recorder
