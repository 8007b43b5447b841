// Grid headers of every kind the converter reads, as one table, and the
// input files that find their header beside them.
#include "tools/quorlin/grid_record.h"

#include <gtest/gtest.h>

#include "platform/settings_store.h"
#include "testing/scratch_folder.h"
#include "tools/quorlin/quorlin_model.h"
#include "tools/quorlin/tests/quorlin_test_support.h"

namespace quorlin {
namespace {

constexpr char kOwn[] =
    "file_title               =alps\r\ndata_type                = raster\r\n"
    "grid_cell_registration   = center\r\nmap_projection           = Lat/Lon\r\n"
    "left_map_x               =7.00000000000000\r\nright_map_x               =8.00000000000000\r\n"
    "upper_map_y              =47.00000000000000\r\nlower_map_y              =46.00000000000000\r\n"
    "number_of_rows           =120\r\nnumber_of_columns        =240\r\nelev_m_min               =193\r\n"
    "elev_m_max               =4634\r\nelev_m_missing_flag      =-5000\r\n"
    "data_byte_order          = little_endian";
constexpr char kGtopo[] =
    "BYTEORDER      M\nLAYOUT       BIL\nNROWS         6000\nNCOLS         4800\nNBANDS        1\n"
    "NBITS         16\nBANDROWBYTES         9600\nTOTALROWBYTES        9600\nBANDGAPBYTES         0\n"
    "NODATA        -9999\nULXMAP        -19.99583333333333\nULYMAP        89.99583333333333\n"
    "XDIM          0.00833333333333\nYDIM          0.00833333333333\n";
constexpr char kGtopoIntel[] =
    "BYTEORDER I\r\nNROWS 10\r\nNCOLS 20\r\nULXMAP 10.05\r\nULYMAP 49.95\r\nXDIM 0.1\r\nYDIM 0.1\r\n";
constexpr char kLowerCase[] =
    "nrows 10\nncols 20\nulxmap 10.05\nulymap 49.95\nxdim 0.1\nydim 0.1\nnodata -32768\n";
constexpr char kAscCorner[] =
    "ncols 4\nnrows 3\nxllcorner 7\nyllcorner 46\ncellsize 0.5\nNODATA_value -9999\n1 2 3 4\n";
constexpr char kAscCentre[] =
    "NCOLS 4\r\nNROWS 3\r\nXLLCENTER 7.25\r\nYLLCENTER 46.25\r\nCELLSIZE 0.5\r\nNODATA_VALUE -1\r\n1 2 3 4\r\n";
constexpr char kAscNoNoData[] = "ncols 4\nnrows 3\nxllcorner -7\nyllcorner -46\ncellsize 0.5\n5 2 3 4\n";
constexpr char kOwnNoOrder[] =
    "left_map_x =7\nright_map_x =8\nupper_map_y =47\nlower_map_y =46\nnumber_of_rows =10\n"
    "number_of_columns =10\n";
constexpr char kOwnWithBigEndianKey[] =
    "left_map_x =7\nright_map_x =8\nupper_map_y =47\nlower_map_y =46\nnumber_of_rows =10\n"
    "number_of_columns =10\ndata_byte_order = big_endian\n";

struct HeaderCase {
    const char* name;
    const char* text;
    int type;
    bool hgt;
    // Expected edges, longitudes east positive.
    double west, east, south, north;
    std::uint32_t rows, columns;
    bool littleEndian, complete;
    std::int16_t missing;
    bool editsEnabled;
};

TEST(ReadGridHeader, ReadsEveryHeaderKind) {
    const HeaderCase cases[] = {
        {"own", kOwn, kElevationGrid, false, 7, 8, 46, 47, 120, 240, true, true, -5000, false},
        {"GTOPO30 big-endian", kGtopo, kElevationGrid, false, -20, 20, 40, 90, 6000, 4800, false, true, -9999, false},
        {"GTOPO30 Intel order", kGtopoIntel, kElevationGrid, false, 10, 12, 49, 50, 10, 20, true, true, -5000, false},
        {"lower-case keys", kLowerCase, kElevationGrid, false, 10, 12, 49, 50, 10, 20, false, true, -32768, false},
        {"hgt with an own header", kOwnNoOrder, kElevationGrid, true, 7, 8, 46, 47, 10, 10, false, true, -5000, false},
        {"own header without order", kOwnNoOrder, kElevationGrid, false, 7, 8, 46, 47, 10, 10, true, true, -5000, false},
        {"explicit byte order wins", kOwnWithBigEndianKey, kElevationGrid, false, 7, 8, 46, 47, 10, 10, false, true, -5000, false},
        {"ASCII corners", kAscCorner, kAsciiGrid, false, 7, 9, 46, 47.5, 3, 4, false, true, -9999, false},
        {"ASCII centres", kAscCentre, kAsciiGrid, false, 7, 9, 46, 47.5, 3, 4, false, true, -1, false},
        {"ASCII without NODATA_value", kAscNoNoData, kAsciiGrid, false, -7, -5, -46, -44.5, 3, 4, false, false, -9999, false},
        {"no rows or columns", "left_map_x =7\nright_map_x =8\n", kElevationGrid, false, 7, 8, 0, 0, 0, 0, true, false, -5000, true},
    };
    for (const HeaderCase& c : cases) {
        SCOPED_TRACE(c.name);
        const HeaderReading r = ReadGridHeader(c.text, c.type, c.hgt);
        const ElevationGridHeader& h = r.header;
        EXPECT_NEAR(-h.west, c.west, 1e-9);
        EXPECT_NEAR(-h.east, c.east, 1e-9);
        EXPECT_NEAR(h.south, c.south, 1e-9);
        EXPECT_NEAR(h.north, c.north, 1e-9);
        EXPECT_EQ(h.rows, c.rows);
        EXPECT_EQ(h.columns, c.columns);
        EXPECT_EQ(h.littleEndian, c.littleEndian);
        EXPECT_EQ(h.complete, c.complete);
        EXPECT_EQ(h.missing, c.missing);
        EXPECT_EQ(r.rowColumnEditsEnabled, c.editsEnabled);
        if (h.complete && h.columns > 0) {
            EXPECT_NEAR(h.cellWidth, (c.east - c.west) / c.columns, 1e-9);
        }
    }
}

TEST(ReadGridHeader, AsciiHeaderEndsAtItsFirstDataLineAndWithoutCellSizeIsUnplaced) {
    const auto r = ReadGridHeader("ncols 2\nnrows 2\n5 starts the data\ncellsize 1\n", kAsciiGrid);
    EXPECT_FALSE(r.header.cellSizeGiven);
    EXPECT_EQ(r.header.columns, 2u);
}

TEST(ReadGridHeader, TextsShowHemispheresAndUnknownElevations) {
    ElevationGridHeader h = ReadGridHeader(kGtopo, kElevationGrid).header;
    const HeaderTexts t = TextsOf(h);
    EXPECT_EQ(t.west, "20.000W");
    EXPECT_EQ(t.east, "20.000E");
    EXPECT_EQ(t.south, "40.000N");
    EXPECT_EQ(t.north, "90.000N");
    EXPECT_EQ(t.lowest, "-5000");  // the header gave no range
    h.lowest = h.missing;
    EXPECT_EQ(TextsOf(h).lowest, "??");
}

class InputFileTest : public ::testing::Test {
  protected:
    test_support::ScratchFolder scratch_{"quorlin"};
    platform::SettingsStore settings_{scratch_ / "settings.ini"};
    testing::ScriptedUi ui_;
    QuorlinModel model_{settings_, ui_};
};

TEST_F(InputFileTest, FindsTheHeaderBesideTheGridIgnoringCase) {
    scratch_.Write("W020N90.HDR", kGtopo);
    const auto grid = scratch_.Write("W020N90.DEM", "");
    model_.LoadInput(grid);
    EXPECT_EQ(model_.state.inputType, kElevationGrid);
    EXPECT_EQ(model_.state.grid.rows, 6000u);
    EXPECT_FALSE(model_.state.grid.littleEndian);
    EXPECT_EQ(model_.state.outputPath, scratch_ / "W020N90.bmp");
    EXPECT_TRUE(ui_.said.empty());
}

TEST_F(InputFileTest, HgtTilesAreDescribedFromTheirNameWithoutAHeader) {
    const auto tile = scratch_.Write("S12W077.hgt", std::string(1201u * 1201u * 2u, '\0'));
    model_.LoadInput(tile);
    const ElevationGridHeader& h = model_.state.grid;
    EXPECT_TRUE(ui_.said.empty());
    EXPECT_EQ(h.rows, 1201u);
    EXPECT_FALSE(h.littleEndian);
    EXPECT_EQ(h.missing, -32768);
    const double half = 0.5 / 1200;
    EXPECT_NEAR(h.south, -12 - half, 1e-12);
    EXPECT_NEAR(h.north, -11 + half, 1e-12);
    EXPECT_NEAR(h.west, 77 + half, 1e-12);  // west positive
    EXPECT_NEAR(h.east, 76 - half, 1e-12);
    EXPECT_NEAR(h.cellWidth, 1.0 / 1200, 1e-12);

    scratch_.Write("N46E007.hgt", "short");
    model_.LoadInput(scratch_ / "N46E007.hgt");
    EXPECT_EQ(ui_.said, std::vector<std::string>{"Information file unavailable"});
}

TEST_F(InputFileTest, OutlineFilesTakeTheirColourAndHeaderFromTheirName) {
    scratch_.Write("dem.hdr", kOwn);
    model_.LoadInput(scratch_.Write("dem_0150down.plt", ""));
    EXPECT_EQ(model_.state.inputType, kOutlines);
    EXPECT_EQ(model_.state.mapColourIndex, 1);  // level of 150, less one for "down"
    EXPECT_EQ(model_.state.grid.rows, 120u);
    EXPECT_EQ(model_.state.outputPath, scratch_ / "dem_0150down.map");
}

TEST_F(InputFileTest, ChartLayersAreKnownByTheEndOfTheirName) {
    model_.LoadInput(scratch_ / "europe_hynet.E00");
    EXPECT_EQ(model_.state.inputType, kChartLayer);
    EXPECT_TRUE(model_.state.layer.hynet);
    EXPECT_TRUE(model_.state.layer.net);
    EXPECT_TRUE(model_.state.layer.polyline);
    EXPECT_FALSE(model_.state.layer.point);
    EXPECT_EQ(model_.state.outputPath, scratch_ / "europe_hynet.map");
}

TEST_F(InputFileTest, GetDataFileRemembersTheFilter) {
    ui_.files.push_back({scratch_.Write("x.asc", kAscCorner), 1});
    model_.OnGetDataFile();
    EXPECT_EQ(settings_.GetInt("Settings", "inputType", 0), 1u);
    EXPECT_EQ(model_.state.outputPath, scratch_ / "x.bin");
    ui_.files.push_back({scratch_ / "y.e00", 3});
    model_.OnGetDataFile();
    model_.OnGetDataFile();  // cancelled: nothing changes
    EXPECT_EQ(ui_.choices.back().filterIndex, 3);
    EXPECT_EQ(model_.state.inputType, kChartLayer);
}

}  // namespace
}  // namespace quorlin
