// Whole conversions of the fixture DAFIF folder, compared with reviewed maps,
// and the checks that stop a run.
#include "tools/tandrel/conversion.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "testing/scratch_folder.h"
#include "tools/tandrel/tests/tandrel_test_support.h"

namespace tandrel {
namespace {

namespace fs = std::filesystem;
using testing::ScriptedPrompts;

std::string Read(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// The fixture folder copied with fixed file times.
class ConversionTest : public ::testing::Test {
  protected:
    ConversionTest() {
        fs::create_directories(scratch_ / "DAFIF");
        int day = 0;
        for (const auto& entry : fs::directory_iterator(testing::FixtureFolder())) {
            const fs::path copy = scratch_ / "DAFIF" / entry.path().filename();
            fs::copy_file(entry.path(), copy);
            // 1 to 6 March 2024, 12:00 UTC.
            const auto when = std::chrono::sys_days{std::chrono::March / 1 / 2024} +
                              std::chrono::days(day++ % 6) + std::chrono::hours(12);
            fs::last_write_time(copy, std::chrono::file_clock::from_sys(std::chrono::sys_seconds(when)));
        }
        opening_ = OpenDafifFolder(scratch_ / "DAFIF");
    }

    // Every box on, the fixture's box (48..50 N, 8..10 E), written to out.map.
    TandrelOptions Everything() const {
        TandrelOptions o;
        o.north = 50;
        o.south = 48;
        o.east = 10;
        o.west = 8;
        o.eastEW = o.westEW = 0;
        for (int id = kFirstClassBox; id <= kLastSpecialBox; ++id) o.SetBox(id, true);
        o.output = scratch_ / "out.map";
        return o;
    }

    std::string Convert(const TandrelOptions& o, ScriptedPrompts& prompts) {
        const ConversionResult result = RunConversion(o, {&opening_.files, "1.3.3.0"}, prompts);
        return result.ran ? Read(o.output) : std::string();
    }

    // Compares with tests/data/golden/<name>.map; KV_UPDATE_GOLDEN=1 rewrites it.
    void ExpectGolden(const std::string& map, const std::string& name) {
        const fs::path golden = fs::path(KV_SOURCE_DIR) / "tools/tandrel/tests/data/golden" / (name + ".map");
        if (std::getenv("KV_UPDATE_GOLDEN") != nullptr) std::ofstream(golden, std::ios::binary) << map;
        EXPECT_EQ(map, Read(golden)) << name;
    }

    test_support::ScratchFolder scratch_{"kv-tandrel"};
    DafifOpening opening_;
};

TEST_F(ConversionTest, MapsOfTheFixtureFolderMatchTheReviewedOnes) {
    struct Variant {
        const char* name;
        void (*change)(TandrelOptions&);
    };
    const Variant variants[] = {
        {"strict", [](TandrelOptions& o) { o.strict = true; }},
        {"two_passes", [](TandrelOptions&) {}},
        {"or_class_d", [](TandrelOptions& o) {
             o.useAnd = false;
             for (int id = kFirstClassBox; id <= kLastSpecialBox; ++id) o.SetBox(id, false);
             o.SetBox(kFirstClassBox + 3, true);
         }},
        {"zero_agl_only", [](TandrelOptions& o) { o.zeroAgl = ZeroAgl::kOnly; }},
        {"zero_agl_exclude", [](TandrelOptions& o) { o.zeroAgl = ZeroAgl::kExclude; }},
        {"skip_high", [](TandrelOptions& o) { o.maxBottom = 1500; }},
        {"country_wide_filled", [](TandrelOptions& o) {
             o.country = "ED";
             o.fill = true;
             o.borderColour = 0;
             o.wideBorder = true;
             o.units = 2;
             o.noNotes = true;
             o.topOffset = 500;
             o.bottomOffset = -200;
             o.exceptionRemarks = false;
         }},
    };
    for (const auto& v : variants) {
        SCOPED_TRACE(v.name);
        TandrelOptions o = Everything();
        v.change(o);
        ScriptedPrompts prompts;
        ExpectGolden(Convert(o, prompts), v.name);
    }
}

TEST_F(ConversionTest, UnreadableLimitsAreNamedOnceAfterTheRun) {
    ScriptedPrompts prompts;
    const std::string map = Convert(Everything(), prompts);
    ASSERT_FALSE(map.empty());
    ASSERT_EQ(prompts.said.size(), 1U);
    EXPECT_NE(prompts.said[0].find("EDNOTAM"), std::string::npos) << prompts.said[0];
    EXPECT_NE(map.find("; EDNOTAM: a limit could not be read"), std::string::npos);
    EXPECT_NE(map.find(";100000,0,,-1,-1\r\n"), std::string::npos);  // never -1 ft
    // Progress names every airspace of both kinds, pass by pass.
    EXPECT_EQ(prompts.progress.front(), "EDCTR01");
}

TEST_F(ConversionTest, ChecksStopARunWithTheirMessages) {
    struct Case {
        const char* name;
        void (*change)(TandrelOptions&);
        std::vector<bool> answers;
        const char* said;
    };
    const Case cases[] = {
        {"one-letter country", [](TandrelOptions& o) { o.country = "X"; }, {},
         "Name error: Country code has to have none or more than one character"},
        {"nothing chosen", [](TandrelOptions& o) { o.boxes = {}; }, {},
         "Selection error: You need to choose air spaces to write"},
        {"type without class",
         [](TandrelOptions& o) {
             o.boxes = {};
             o.SetBox(kFirstTypeBox, true);
         },
         {false}, "Selection problem? You selected a TYPE , but not CLASS"},
        {"class without type",
         [](TandrelOptions& o) {
             o.boxes = {};
             o.SetBox(kFirstClassBox, true);
         },
         {false}, "Selection problem? You selected a CLASS , but not TYPE"},
        {"no output", [](TandrelOptions& o) { o.output.clear(); }, {},
         "Name error: Output file name has not been set"},
        {"output unwritable", [](TandrelOptions& o) { o.output = "/proc/kv-no/out.map"; }, {},
         "Bad Output File: Cannot open file /proc/kv-no/out.map"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TandrelOptions o = Everything();
        c.change(o);
        ScriptedPrompts prompts(c.answers);
        const ConversionResult result = RunConversion(o, {&opening_.files, "1"}, prompts);
        EXPECT_FALSE(result.ran);
        ASSERT_FALSE(prompts.said.empty());
        EXPECT_TRUE(prompts.said.front().starts_with(c.said)) << prompts.said.front();
    }
}

TEST_F(ConversionTest, AnExistingOutputIsReplacedOnlyOnYes) {
    TandrelOptions o = Everything();
    std::ofstream(o.output) << "keep me";
    ScriptedPrompts no({false});
    EXPECT_FALSE(RunConversion(o, {&opening_.files, "1"}, no).ran);
    EXPECT_EQ(Read(o.output), "keep me");
    EXPECT_EQ(no.said.front(), "File exists? Output file already exists.\r\n Do you want to OVERWRITE it?");
    ScriptedPrompts yes({true});
    EXPECT_TRUE(RunConversion(o, {&opening_.files, "1"}, yes).ran);
    EXPECT_NE(Read(o.output), "keep me");
}

TEST_F(ConversionTest, ACountryFilterWithoutItsFileAsksFirst) {
    DafifFiles files = std::move(opening_.files);
    files.specialCountries.reset();
    TandrelOptions o = Everything();
    o.country = "ED";
    ScriptedPrompts no({false});
    EXPECT_FALSE(RunConversion(o, {&files, "1"}, no).ran);
    EXPECT_TRUE(no.said.front().starts_with("Selection problem? You selected country code but"));
}

// Damaged DAFIF files are named before the run: No writes nothing, Yes
// writes what can be read; a run that writes no airspace leaves no file.
TEST_F(ConversionTest, DamagedFilesAreToldBeforeTheRun) {
    const fs::path folder = scratch_ / "DAFIF";
    const auto text = [](int lines) {
        std::string t;
        for (int i = 0; i < lines; ++i) t += "\x7fGIF89a garbage " + std::to_string(i) + "\r\n";
        return t;
    };
    const std::string kQuestion =
        "\r\n\r\nThe map would miss the airspaces of these files or lines.\r\n Do you want to continue?";
    const std::string bdry = Read(folder / "BDRY.TXT");
    struct Case {
        std::vector<std::pair<const char*, std::string>> files;
        std::string problems;
        bool writesOnYes;
    } const cases[] = {
        {{{"BDRY.TXT", bdry.substr(0, bdry.size() - 3)}},
         "File BDRY.TXT ends in the middle of a line: it is cut short.",
         true},
        {{{"SUAS.TXT", text(6)}},
         "File SUAS.TXT: 5 of its 5 records are damaged (record 1 has 1 of the 21 fields read from it).",
         true},
        {{{"BDRY_PAR.TXT", text(4)}},
         "File BDRY_PAR.TXT: 3 of its 3 records are damaged (record 1 has 1 of the 16 fields read from it).",
         true},
        {{{"BDRY_PAR.TXT", ""}, {"BDRY.TXT", ""}},
         "File BDRY_PAR.TXT holds no records.\r\nFile BDRY.TXT holds no records.",
         true},
        {{{"BDRY_PAR.TXT", ""}, {"BDRY.TXT", ""}, {"SUAS_PAR.TXT", ""}, {"SUAS.TXT", ""}, {"BDRY_CTRY.TXT", ""},
          {"SUAS_CTRY.TXT", ""}},
         "File BDRY_PAR.TXT holds no records.\r\nFile BDRY.TXT holds no records.\r\nFile SUAS_PAR.TXT holds no "
         "records.\r\nFile SUAS.TXT holds no records.",
         false},
    };
    const TandrelOptions o = Everything();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.problems);
        std::vector<std::pair<fs::path, std::string>> kept;
        for (const auto& [name, bytes] : c.files) {
            kept.emplace_back(folder / name, Read(folder / name));
            std::ofstream(folder / name, std::ios::binary | std::ios::trunc) << bytes;
        }
        opening_ = OpenDafifFolder(folder);
        ASSERT_TRUE(opening_.missing.empty());
        fs::remove(o.output);
        ScriptedPrompts no({false});
        EXPECT_FALSE(RunConversion(o, {&opening_.files, "1"}, no).ran);
        EXPECT_EQ(no.said, std::vector<std::string>{"Damaged DAFIF files? " + c.problems + kQuestion});
        EXPECT_FALSE(fs::exists(o.output));

        ScriptedPrompts yes({true});
        const ConversionResult result = RunConversion(o, {&opening_.files, "1"}, yes);
        EXPECT_EQ(result.ran, c.writesOnYes);
        EXPECT_EQ(fs::exists(o.output), c.writesOnYes);
        if (!c.writesOnYes) {
            ASSERT_EQ(yes.said.size(), 2u);
            EXPECT_EQ(yes.said[1], "Nothing to write: No airspace that you selected lies within the boundaries.\r\n"
                                   "No map was written to " + o.output.string());
        }
        for (const auto& [path, bytes] : kept) std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
    }
}

TEST_F(ConversionTest, AnAirspaceLeftOutIsNamedWithTheUnsafeOnes) {
    ScriptedPrompts prompts;
    const ConversionResult result = RunConversion(Everything(), {&opening_.files, "1"}, prompts);
    ASSERT_TRUE(result.ran);
    EXPECT_EQ(result.dropped, std::vector<std::string>{"EDNOSEG"});
    ASSERT_EQ(prompts.said.size(), 1U);
    EXPECT_TRUE(prompts.said[0].ends_with(
        "\r\n\r\nThese airspaces were left out: their outline could not be read:\r\nEDNOSEG"))
        << prompts.said[0];
}

TEST(ValidateOptions, BoundariesAndColoursInTheirOrder) {
    TandrelOptions o;  // every boundary 0
    auto error = ValidateOptions(o);
    ASSERT_TRUE(error);
    EXPECT_EQ(error->text, "Incompatible east-west boundaries");
    EXPECT_EQ(error->caption, "Input Error");

    o.east = 10;  // 10 W is west of 0 W? no: signed east -10 < west 0
    o.west = 12;  // 12 W < 10 W
    EXPECT_EQ(ValidateOptions(o)->text, "Incompatible north-south boundaries");
    o.north = 50;
    o.south = 48;
    o.borderColour = 0;
    error = ValidateOptions(o);
    EXPECT_EQ(error->text, "If you do not fill shapes, you cannot use line color 0");
    EXPECT_EQ(error->focus, kBorderColourEdit);
    o.fill = true;
    o.country = "  ed ";
    EXPECT_FALSE(ValidateOptions(o));
    EXPECT_EQ(o.country, "ED");
    EXPECT_DOUBLE_EQ(o.SignedEast(), -10.0);
}

TEST(ShortenedPath, LongPathsKeepTheirLastThirtyCharacters) {
    const std::string forty = "/home/pilot/maps/airspace/alps-2024.map";  // 39
    EXPECT_EQ(ShortenedPath(forty + "x"), "..." + (forty + "x").substr(10));
    EXPECT_EQ(ShortenedPath("/short.map"), "/short.map");
    EXPECT_EQ(ShortenedPath(std::string(33, 'a')), std::string(33, 'a'));
    EXPECT_EQ(FileDate(0), "01-Jan-1970");
}

}  // namespace
}  // namespace tandrel
