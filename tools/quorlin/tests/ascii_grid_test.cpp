// ASCII grids converted through the Convert command, compared with reviewed
// grids and headers, read back by the flight computer's elevation model and
// checked against GDAL's reading of the same files.
#include "tools/quorlin/ascii_grid.h"

#include <gtest/gtest.h>

#include <chrono>
#include <clocale>
#include <cstdlib>

#include "mapdata/grid_elevation_model.h"
#include "mapdata/grid_header.h"
#include "platform/numbers.h"
#include "platform/settings_store.h"
#include "testing/scratch_folder.h"
#include "tools/quorlin/grid_files.h"
#include "tools/quorlin/quorlin_model.h"
#include "tools/quorlin/tests/quorlin_test_support.h"

namespace quorlin {
namespace {

namespace fs = std::filesystem;
using testing::DataFolder;
using testing::ReadBytes;

class AsciiGridTest : public ::testing::Test {
  protected:
    // Converts a fixture into <scratch>/<stem>.bin; the messages shown.
    std::vector<std::string> Convert(const std::string& fixture, bool replace = false) {
        const fs::path input = scratch_ / fixture;
        fs::copy_file(DataFolder() / "asc" / fixture, input);
        model_.LoadInput(input);
        model_.state.options.replaceMissing = replace;
        model_.state.options.replaceMissingValue = 0;
        model_.OnConvert();
        return ui_.said;
    }

    // Compares with the reviewed files (KV_UPDATE_GOLDENS=1 writes them).
    void ExpectGolden(const fs::path& written, const std::string& golden) {
        const fs::path path = DataFolder() / "golden" / golden;
        if (std::getenv("KV_UPDATE_GOLDENS")) fs::copy_file(written, path, fs::copy_options::overwrite_existing);
        EXPECT_EQ(ReadBytes(written), ReadBytes(path)) << golden;
    }

    test_support::ScratchFolder scratch_{"quorlin"};
    platform::SettingsStore settings_{scratch_ / "settings.ini"};
    testing::ScriptedUi ui_;
    QuorlinModel model_{settings_, ui_};
};

TEST_F(AsciiGridTest, FixturesConvertToTheReviewedGridsAndHeaders) {
    for (const std::string stem : {"corner", "centre", "nodata"}) {
        SCOPED_TRACE(stem);
        ui_.said.clear();
        EXPECT_TRUE(Convert(stem + ".asc").empty());
        ExpectGolden(scratch_ / (stem + ".bin"), stem + ".bin");
        ExpectGolden(scratch_ / (stem + ".hdr"), stem + ".hdr");
    }
    // 12.7 12, -5, 40000 cut to 16 bits, missing, and the 16-bit range of
    // what was not missing (-40000 cut gives 25536; the values past rows x
    // columns are not read).
    const std::string corner = ReadBytes(scratch_ / "corner.bin");
    ASSERT_EQ(corner.size(), 24u);
    EXPECT_EQ(SampleAt(corner, 0, true), 12);
    EXPECT_EQ(SampleAt(corner, 1, true), -5);
    EXPECT_EQ(SampleAt(corner, 2, true), static_cast<std::int16_t>(40000 - 65536));
    EXPECT_EQ(SampleAt(corner, 3, true), -9999);
    EXPECT_NE(ReadBytes(scratch_ / "corner.hdr").find("elev_m_min               =-25536\r\n"), std::string::npos);
    EXPECT_NE(ReadBytes(scratch_ / "corner.hdr").find("elev_m_max               =25536\r\n"), std::string::npos);
    // Converting gives a busy dialog once, and progress cleared at the end.
    EXPECT_EQ(ui_.enables, (std::vector<bool>{false, true, false, true, false, true}));
    EXPECT_EQ(ui_.progress.back(), "");
}

TEST_F(AsciiGridTest, ReplacedMissingCellsKeepTheMissingValueInTheHeader) {
    Convert("corner.asc", true);
    const std::string grid = ReadBytes(scratch_ / "corner.bin");
    EXPECT_EQ(SampleAt(grid, 3, true), 0);
    EXPECT_NE(ReadBytes(scratch_ / "corner.hdr").find("elev_m_missing_flag      =-9999\r\n"), std::string::npos);
    EXPECT_EQ(settings_.GetInt("Settings", "replaceMissing", 7), 1u);
}

TEST_F(AsciiGridTest, TheFlightComputerReadsTheGridBack) {
    Convert("centre.asc");
    const auto header = mapdata::ParseGridHeader(ReadBytes(scratch_ / "centre.hdr"));
    ASSERT_TRUE(header);
    EXPECT_EQ(mapdata::GridFilePath(scratch_ / "centre.hdr", *header), scratch_ / "centre.bin");
    const std::string bytes = ReadBytes(scratch_ / "centre.bin");
    std::vector<std::int16_t> samples;
    for (std::uint64_t i = 0; i < 6; ++i) samples.push_back(SampleAt(bytes, i, true));
    const mapdata::GridElevationModel model(header->extent, samples, header->noData);
    const auto at = [&](double lonEast, double lat) {
        return model.GetElevationAt(-lonEast * mapdata::kGridRadiansPerDegree, lat * mapdata::kGridRadiansPerDegree);
    };
    // Cells 0.5 degree wide from 120.5 W, 35 N: north row 1500 1600 -, south row 1700 1800 1900.
    ASSERT_TRUE(at(-120.3, 35.8));
    EXPECT_NEAR(*at(-120.3, 35.8), 1500 * 3.2809, 0.01);
    EXPECT_NEAR(*at(-119.2, 35.1), 1900 * 3.2809, 0.01);
    EXPECT_FALSE(at(-119.2, 35.8));  // missing
    EXPECT_FALSE(at(-118.9, 35.1));  // outside
}

// "name": [x, y] of gdalinfo's JSON.
std::optional<std::pair<double, double>> CornerOf(const std::string& json, const std::string& name) {
    const auto at = json.find("\"" + name + "\"");
    if (at == std::string::npos) return std::nullopt;
    const auto open = json.find('[', at);
    const auto x = platform::ScanDouble(std::string_view(json).substr(open + 1));
    if (!x) return std::nullopt;
    const auto comma = json.find(',', open + 1 + x->length);
    const auto y = platform::ScanDouble(std::string_view(json).substr(comma + 1));
    if (!y) return std::nullopt;
    return std::make_pair(x->value, y->value);
}

bool HaveGdal() { return std::system("command -v gdal_translate >/dev/null 2>&1") == 0; }

TEST_F(AsciiGridTest, GdalReadsTheSameEdgesAndSamples) {
    if (!HaveGdal()) GTEST_SKIP() << "gdal-bin is not installed";
    for (const std::string stem : {"centre", "nodata"}) {
        SCOPED_TRACE(stem);
        Convert(stem + ".asc");
        const fs::path json = scratch_ / (stem + ".json");
        const std::string input = (scratch_ / (stem + ".asc")).string();
        ASSERT_EQ(std::system(("gdalinfo -json '" + input + "' > '" + json.string() + "' 2>/dev/null").c_str()), 0);
        const std::string info = ReadBytes(json);
        const auto corner = CornerOf(info, "upperLeft"), opposite = CornerOf(info, "lowerRight");
        ASSERT_TRUE(corner && opposite);
        const double left = corner->first, upper = corner->second;
        const double right = opposite->first, lower = opposite->second;
        const auto header = mapdata::ParseGridHeader(ReadBytes(scratch_ / (stem + ".hdr")));
        ASSERT_TRUE(header);
        EXPECT_NEAR(header->extent.edges.west, left, 1e-9);
        EXPECT_NEAR(header->extent.edges.east, right, 1e-9);
        EXPECT_NEAR(header->extent.edges.north, upper, 1e-9);
        EXPECT_NEAR(header->extent.edges.south, lower, 1e-9);

        const fs::path gdal = scratch_ / (stem + "_gdal.bil");
        ASSERT_EQ(std::system(("gdal_translate -q -of EHdr -ot Int16 '" + input + "' '" + gdal.string() + "'").c_str()), 0);
        EXPECT_EQ(ReadBytes(gdal), ReadBytes(scratch_ / (stem + ".bin")));
    }
}

TEST_F(AsciiGridTest, ShortFilesAndOverlongTokensEndWithTheHeaderError) {
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Convert("short.asc"),
              std::vector<std::string>{"Error Reading Data file header\n\nFile: short.asc\nIts header claims 3 rows "
                                       "of 4 values, more than the 6 bytes after it hold."});
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    EXPECT_FALSE(fs::exists(scratch_ / "short.bin"));
    EXPECT_FALSE(fs::exists(scratch_ / "short.hdr"));

    // An old output stays as it was when the new conversion fails.
    const std::string header = "ncols 2\nnrows 1\nxllcorner 0\nyllcorner 0\ncellsize 1\nNODATA_value -9\n";
    const fs::path input = scratch_.Write("long.asc", header + "1 " + std::string(2000, '7') + "\n");
    scratch_.Write("long.bin", "old");
    model_.LoadInput(input);
    ui_.said.clear();
    model_.OnConvert();
    EXPECT_EQ(ui_.said, (std::vector<std::string>{"? Output file already exists !!!\n\nAre you sure you want to overwrite it?",
                                                  "Error Reading Data file header\n\nFile: long.asc\nValue 2 is not a "
                                                  "whole number or is longer than 1024 characters."}));
    EXPECT_EQ(ReadBytes(scratch_ / "long.bin"), "old");
}

// Every header value that places the grid is required, the grid must lie
// in degrees on the globe, and its values must fit in the file: otherwise
// the box names the file and the fault, and nothing is written.
TEST_F(AsciiGridTest, HeadersThatCannotPlaceTheGridAreRefusedByName) {
    const std::string kAll = "ncols 2\nnrows 1\nxllcorner 7\nyllcorner 46\ncellsize 0.5\n";
    const auto without = [&](const std::string& line) {
        std::string text = kAll;
        text.erase(text.find(line), line.size());
        return text;
    };
    struct Case {
        std::string header;
        std::string problem;
    } const cases[] = {
        {without("ncols 2\n"), "Its header gives no \"ncols\" value."},
        {without("nrows 1\n"), "Its header gives no \"nrows\" value."},
        {without("xllcorner 7\n") + "NODATA_value -9\n", "Its header gives no \"xllcorner\" value."},
        {without("yllcorner 46\n"), "Its header gives no \"yllcorner\" value."},
        {without("cellsize 0.5\n"), "Its header gives no \"cellsize\" value."},
        {"ncols 2\nnrows 1\nxllcorner 7\nyllcorner 46\ncellsize 0\n", "Its cell size is not a number above 0."},
        {"ncols 2\nnrows 1\nxllcorner 512000\nyllcorner 5100000\ncellsize 100\n",
         "Its corners (512000, 5.1e+06) and (512200, 5.1001e+06) lie outside the longitudes -180 to 180 and "
         "latitudes -90 to 90: only grids in degrees can be converted."},
        {"ncols 2\nnrows 1\nxllcorner 179.5\nyllcorner 46\ncellsize 0.5\n",
         "Its corners (179.5, 46) and (180.5, 46.5) lie outside the longitudes -180 to 180 and latitudes -90 to 90: "
         "only grids in degrees can be converted."},
        {"ncols 999999\nnrows 999999\nxllcorner 7\nyllcorner 46\ncellsize 0.00001\n",
         "Its header claims 999999 rows of 999999 values, more than the 4 bytes after it hold."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.header);
        ui_.said.clear();
        model_.LoadInput(scratch_.Write("bad.asc", c.header + "1 2\n"));
        model_.OnConvert();
        EXPECT_EQ(ui_.said, std::vector<std::string>{"Error Reading Data file header\n\nFile: bad.asc\n" + c.problem});
        EXPECT_FALSE(fs::exists(scratch_ / "bad.bin"));
        EXPECT_FALSE(fs::exists(scratch_ / "bad.hdr"));
    }
    // A grid reaching to the date line and the pole is still on the globe.
    ui_.said.clear();
    model_.LoadInput(scratch_.Write("edge.asc", "ncols 2\nnrows 1\nxllcorner 179\nyllcorner 89.5\ncellsize 0.5\n1 2\n"));
    model_.OnConvert();
    EXPECT_TRUE(ui_.said.empty()) << ui_.said.front();
    EXPECT_EQ(fs::file_size(scratch_ / "edge.bin"), 4u);
}

TEST_F(AsciiGridTest, AFileEndingBeforeItsValuesSaysHowManyItHeld) {
    model_.LoadInput(scratch_.Write("cut.asc", "ncols 3\nnrows 2\nxllcorner 7\nyllcorner 46\ncellsize 1\n1 2 3\n4          \n"));
    model_.OnConvert();
    EXPECT_EQ(ui_.said, std::vector<std::string>{"Error Reading Data file header\n\nFile: cut.asc\nIt ends after 4 of "
                                                 "the 6 values its header claims."});
    EXPECT_FALSE(fs::exists(scratch_ / "cut.bin"));
    EXPECT_FALSE(fs::exists(scratch_ / "cut.hdr"));
}

TEST_F(AsciiGridTest, DataLinesMayBeLongerThanAHeaderLine) {
    std::string text = "ncols 400\nnrows 2\nxllcorner 0\nyllcorner 0\ncellsize 0.1\nNODATA_value -9999\n";
    for (int row = 0; row < 2; ++row) {
        for (int c = 0; c < 400; ++c) text += std::to_string(1000 + c) + " ";
        text += "\n";
    }
    model_.LoadInput(scratch_.Write("wide.asc", text));
    model_.OnConvert();
    EXPECT_TRUE(ui_.said.empty()) << ui_.said.front();
    const std::string grid = ReadBytes(scratch_ / "wide.bin");
    ASSERT_EQ(grid.size(), 1600u);
    EXPECT_EQ(SampleAt(grid, 799, true), 1399);
}

TEST_F(AsciiGridTest, OutputChecksComeFirst) {
    const fs::path input = scratch_.Write("a.asc", "ncols 1\nnrows 1\nxllcorner 0\nyllcorner 0\ncellsize 1\n5\n");
    model_.LoadInput(input);
    model_.state.outputPath = scratch_ / "a.out";
    ui_.answers = {false};
    model_.OnConvert();
    EXPECT_EQ(ui_.said, std::vector<std::string>{"? Output file does not have BIN extension\n\nDo you want to continue?"});
    model_.state.outputPath = scratch_ / "A.ASC";
    fs::copy_file(input, scratch_ / "A.ASC");
    ui_.said.clear();
    model_.OnConvert();
    EXPECT_EQ(ui_.said.back(), "Data and Output files have to be different");
    // Without a '.', the header name is appended.
    model_.state.outputPath = scratch_ / "plain";
    model_.OnConvert();
    EXPECT_TRUE(fs::exists(scratch_ / "plain.hdr"));
    EXPECT_NE(ReadBytes(scratch_ / "plain.hdr").find("file_title               =plain\r\n"), std::string::npos);
}

TEST_F(AsciiGridTest, HeaderNumbersKeepTheCFormUnderAnyLocale) {
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8")) GTEST_SKIP() << "no German locale";
    Convert("corner.asc");
    std::setlocale(LC_ALL, "C");
    ExpectGolden(scratch_ / "corner.hdr", "corner.hdr");
}

}  // namespace
}  // namespace quorlin
