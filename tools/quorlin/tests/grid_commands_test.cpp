// Extract, Create, Insert and Set Output Bounds on small grids made here.
#include <gtest/gtest.h>

#include "mapdata/grid_header.h"
#include "platform/settings_store.h"
#include "testing/scratch_folder.h"
#include "tools/quorlin/grid_files.h"
#include "tools/quorlin/quorlin_model.h"
#include "tools/quorlin/tests/quorlin_test_support.h"

namespace quorlin {
namespace {

namespace fs = std::filesystem;
using testing::ReadBytes;

std::string Samples(const std::vector<std::int16_t>& values, bool littleEndian) {
    std::string out;
    for (std::int16_t v : values) {
        const auto u = static_cast<std::uint16_t>(v);
        const char lo = static_cast<char>(u & 0xFF), hi = static_cast<char>(u >> 8);
        out += littleEndian ? std::string{lo, hi} : std::string{hi, lo};
    }
    return out;
}

std::vector<std::int16_t> Values(const std::string& bytes, bool littleEndian = true) {
    std::vector<std::int16_t> out;
    for (std::uint64_t i = 0; i < bytes.size() / 2; ++i) out.push_back(SampleAt(bytes, i, littleEndian));
    return out;
}

class GridCommandTest : public ::testing::Test {
  protected:
    // A GTOPO30-style big-endian grid of 4 rows x 5 columns, cells of 0.5
    // degree, north-west corner 10 E 50 N; values 100 x row + column, one
    // missing (-9999) at row 1 column 1.
    fs::path BigEndianGrid() {
        std::vector<std::int16_t> v;
        for (int r = 0; r < 4; ++r)
            for (int c = 0; c < 5; ++c) v.push_back(static_cast<std::int16_t>(r == 1 && c == 1 ? -9999 : 100 * r + c));
        scratch_.Write("big.hdr",
                       "BYTEORDER M\nNROWS 4\nNCOLS 5\nNODATA -9999\nULXMAP 10.25\nULYMAP 49.75\nXDIM 0.5\nYDIM 0.5\n");
        return scratch_.Write("big.bin", Samples(v, false));
    }

    test_support::ScratchFolder scratch_{"quorlin"};
    platform::SettingsStore settings_{scratch_ / "settings.ini"};
    testing::ScriptedUi ui_;
    QuorlinModel model_{settings_, ui_};
};

TEST_F(GridCommandTest, ExtractCutsABigEndianGridIntoALittleEndianOne) {
    model_.LoadInput(BigEndianGrid());
    ASSERT_TRUE(model_.state.grid.complete);
    model_.state.outputPath = scratch_ / "part.bin";
    // North-west corner inside cell (1, 1), the south-east one beyond the grid.
    ui_.corners = {{-10.6, 49.4}, {-14.0, 40.0}};
    model_.OnExtract();
    EXPECT_EQ(Values(ReadBytes(scratch_ / "part.bin")),
              (std::vector<std::int16_t>{-9999, 102, 103, 104, 201, 202, 203, 204, 301, 302, 303, 304}));
    const auto header = mapdata::ParseGridHeader(ReadBytes(scratch_ / "part.hdr"));
    ASSERT_TRUE(header);
    EXPECT_DOUBLE_EQ(header->extent.edges.west, 10.5);
    EXPECT_DOUBLE_EQ(header->extent.edges.north, 49.5);
    EXPECT_DOUBLE_EQ(header->extent.edges.east, 12.5);
    EXPECT_DOUBLE_EQ(header->extent.edges.south, 48.0);
    EXPECT_EQ(header->extent.rows, 3);
    EXPECT_EQ(header->extent.columns, 4);
    EXPECT_EQ(header->lowest, 102);
    EXPECT_EQ(header->highest, 304);
    EXPECT_EQ(header->noData, -9999);
    EXPECT_TRUE(header->littleEndian);
    // The corners offered were the grid's own edges.
    EXPECT_DOUBLE_EQ(ui_.offered[0].longitude, -10.0);
    EXPECT_DOUBLE_EQ(ui_.offered[0].latitude, 50.0);
}

TEST_F(GridCommandTest, ExtractAsksAgainForCornersOutsideTheGrid) {
    model_.LoadInput(BigEndianGrid());
    model_.state.outputPath = scratch_ / "part.bin";
    model_.state.options.replaceMissing = true;
    model_.state.options.replaceMissingValue = 7;
    // A corner south of the grid is refused; one north-west of it starts at
    // the grid's corner; a south-east corner north of it is refused.
    ui_.corners = {{-10.0, 40.0}, {0.0, 60.0}, {-9.0, 51.0}, {-11.0, 49.0}};
    model_.OnExtract();
    EXPECT_EQ(std::count(ui_.said.begin(), ui_.said.end(), "Values too far South or East"), 1);
    EXPECT_EQ(std::count(ui_.said.begin(), ui_.said.end(), "Values too far North or West"), 1);
    EXPECT_EQ(Values(ReadBytes(scratch_ / "part.bin")), (std::vector<std::int16_t>{0, 1, 100, 7}));
}

TEST_F(GridCommandTest, CreateAndTwoInsertsMakeAMosaic) {
    model_.LoadInput(BigEndianGrid());
    model_.state.outputPath = scratch_ / "mosaic.bin";
    ui_.answers = {true};  // high resolution
    ui_.corners = {{-10.0, 50.0}, {-11.0, 49.0}};
    model_.OnCreateEmptyGrid();
    const std::string empty = ReadBytes(scratch_ / "mosaic.bin");
    EXPECT_EQ(empty.size(), 1200u * 1200u * 2u);
    EXPECT_EQ(SampleAt(empty, 0, true), -9999);
    EXPECT_EQ(SampleAt(empty, 1200u * 1200u - 1, true), -9999);

    // Two little tiles of the same resolution, inserted into a 2 x 4 target.
    const auto own = [&](const char* name, double west, double north, int rows, int columns, const std::vector<std::int16_t>& v) {
        ElevationGridHeader h;
        h.west = -west, h.north = north, h.rows = static_cast<std::uint32_t>(rows), h.columns = static_cast<std::uint32_t>(columns);
        h.east = -(west + columns * 0.25), h.south = north - rows * 0.25;
        const fs::path grid = scratch_.Write(name, Samples(v, true));
        EXPECT_FALSE(WriteGridHeader(grid, h, {-5000, -5000, -5000}));
        return grid;
    };
    const fs::path target = own("target.bin", 10.0, 50.0, 2, 4, std::vector<std::int16_t>(8, -5000));
    const fs::path a = own("a.bin", 9.75, 50.25, 2, 2, {1, 2, 3, 4});     // overlaps the north-west cell
    const fs::path b = own("b.bin", 10.5, 50.0, 2, 3, {5, -5000, 6, 7, 8, 9});  // runs past the east edge
    for (const fs::path& input : {a, b}) {
        model_.LoadInput(input);
        model_.state.outputPath = target;
        model_.OnInsert();
    }
    EXPECT_EQ(Values(ReadBytes(target)), (std::vector<std::int16_t>{4, -5000, 5, -5000, -5000, -5000, 7, 8}));
    const auto header = mapdata::ParseGridHeader(ReadBytes(scratch_ / "target.hdr"));
    ASSERT_TRUE(header);
    EXPECT_EQ(header->lowest, 4);
    EXPECT_EQ(header->highest, 8);
    EXPECT_EQ(header->extent.columns, 4);
    // The dialog now describes the grid inserted last.
    EXPECT_EQ(model_.state.grid.columns, 3u);
}

TEST_F(GridCommandTest, InsertKeepsABigEndianTargetReadableAndItsRangeSane) {
    const fs::path target = BigEndianGrid();
    const std::string before = ReadBytes(target);
    scratch_.Write("tile.hdr",
                   "left_map_x =10.5\nright_map_x =11\nupper_map_y =49.5\nlower_map_y =49\n"
                   "number_of_rows =1\nnumber_of_columns =1\nelev_m_min =-9999\nelev_m_max =-9999\n"
                   "elev_m_missing_flag =-9999\ndata_byte_order = little_endian\n");
    const fs::path tile = scratch_.Write("tile.bin", Samples({1234}, true));
    model_.LoadInput(tile);
    model_.state.outputPath = target;
    model_.OnInsert();
    ASSERT_TRUE(ui_.said.empty()) << ui_.said.front();
    std::vector<std::int16_t> expected = Values(before, false);
    expected[6] = 1234;  // row 1, column 1, written big-endian like the rest
    EXPECT_EQ(Values(ReadBytes(target), false), expected);
    // A foreign header is never rewritten.
    EXPECT_EQ(ReadBytes(scratch_ / "big.hdr").substr(0, 11), "BYTEORDER M");

    // An all-missing tile changes neither the samples nor the header's range.
    scratch_.Write("tile.bin", Samples({-9999}, true));
    const fs::path own = scratch_.Write("own.bin", Samples({5, 6}, true));
    ElevationGridHeader h;
    h.west = -10.0, h.east = -11.0, h.north = 50.0, h.south = 49.5, h.rows = 1, h.columns = 2;
    ASSERT_FALSE(WriteGridHeader(own, h, {5, 6, -9999}));
    const std::string ownHeader = ReadBytes(scratch_ / "own.hdr");
    scratch_.Write("tile.hdr",
                   "left_map_x =10\nright_map_x =10.5\nupper_map_y =50\nlower_map_y =49.5\n"
                   "number_of_rows =1\nnumber_of_columns =1\nelev_m_missing_flag =-9999\n");
    model_.LoadInput(tile);
    model_.state.outputPath = own;
    model_.OnInsert();
    EXPECT_EQ(Values(ReadBytes(own)), (std::vector<std::int16_t>{5, 6}));
    EXPECT_EQ(ReadBytes(scratch_ / "own.hdr"), ownHeader);
}

TEST_F(GridCommandTest, InsertRefusesGridsThatDoNotFit) {
    model_.LoadInput(BigEndianGrid());
    model_.state.outputPath = scratch_ / "big.bin";
    model_.OnInsert();
    model_.state.outputPath = scratch_ / "none.bin";
    model_.OnInsert();
    scratch_.Write("east.bin", Samples({1}, true));
    scratch_.Write("east.hdr", "left_map_x =12.5\nright_map_x =13\nupper_map_y =50\nlower_map_y =49.5\n"
                               "number_of_rows =1\nnumber_of_columns =1\n");
    model_.state.outputPath = scratch_ / "east.bin";
    model_.OnInsert();
    scratch_.Write("fine.bin", Samples({1}, true));
    scratch_.Write("fine.hdr", "left_map_x =12\nright_map_x =12.1\nupper_map_y =50\nlower_map_y =49.9\n"
                               "number_of_rows =1\nnumber_of_columns =1\n");
    model_.state.outputPath = scratch_ / "fine.bin";
    model_.OnInsert();
    EXPECT_EQ(ui_.said, (std::vector<std::string>{"Data and Output files have to be different",
                                                  "Output file does not already exists", "Maps do not overlap",
                                                  "Resolution of maps does not match"}));
}

TEST_F(GridCommandTest, OutputBoundsAreClampedToTheFileAndGiveTheScale) {
    model_.LoadInput(BigEndianGrid());
    ui_.corners = {{-9.0, 55.0}, {-12.0, 49.0}};
    ASSERT_TRUE(model_.SetOutputBounds());
    const core::GeoBox& b = model_.state.outputBounds;
    EXPECT_DOUBLE_EQ(b.west, 10.0);
    EXPECT_DOUBLE_EQ(b.north, 50.0);
    EXPECT_DOUBLE_EQ(b.east, 12.0);
    EXPECT_DOUBLE_EQ(b.south, 49.0);
    EXPECT_NEAR(model_.state.mapScale, 113.3, 0.1);  // statute miles from 50 N 10 E to 49 N 12 E
    EXPECT_FALSE(model_.state.resetOutputBounds);
    ui_.corners = {{-11.0, 49.5}};
    EXPECT_FALSE(model_.SetOutputBounds());  // cancelled at the second corner
    EXPECT_DOUBLE_EQ(ui_.offered.back().longitude, -12.0);  // offered the bounds kept
}

}  // namespace
}  // namespace quorlin
