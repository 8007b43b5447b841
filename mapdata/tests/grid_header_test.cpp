// Elevation grid headers: the converter's own form, the GTOPO30 form, and
// the headers that are refused.
#include "mapdata/grid_header.h"

#include <gtest/gtest.h>

#include "testing/scratch_folder.h"

namespace mapdata {
namespace {

// A header as the elevation converter writes it: CR LF line ends, none
// after the last line.
constexpr std::string_view kConverterHeader =
    "file_title               =alps\r\n"
    "data_type                = raster\r\n"
    "grid_cell_registration   = center\r\n"
    "map_projection           = Lat/Lon\r\n"
    "left_map_x               =7.00000000000000\r\n"
    "right_map_x               =10.00000000000000\r\n"
    "upper_map_y              =47.00000000000000\r\n"
    "lower_map_y              =45.00000000000000\r\n"
    "number_of_rows           =2\r\n"
    "number_of_columns        =3\r\n"
    "elev_m_min               =0\r\n"
    "elev_m_max               =4800\r\n"
    "elev_m_missing_flag      =-9999\r\n"
    "data_byte_order          = little_endian";

TEST(GridHeaderTest, TheConvertersHeaderReadsAsLittleEndian) {
    const auto header = ParseGridHeader(kConverterHeader);
    ASSERT_TRUE(header);
    EXPECT_TRUE(header->littleEndian);
    EXPECT_EQ(header->geometryCount, 6);
    EXPECT_EQ(header->extent.rows, 2);
    EXPECT_EQ(header->extent.columns, 3);
    EXPECT_DOUBLE_EQ(header->extent.edges.west, 7.0);
    EXPECT_DOUBLE_EQ(header->extent.edges.east, 10.0);
    EXPECT_DOUBLE_EQ(header->extent.edges.north, 47.0);
    EXPECT_DOUBLE_EQ(header->extent.edges.south, 45.0);
    EXPECT_EQ(header->noData, -9999);
    EXPECT_DOUBLE_EQ(header->highest, 4800.0);
    EXPECT_EQ(header->fileTitle, "alps.bin");
}

TEST(GridHeaderTest, GtopoHeadersPutTheEdgesHalfACellOutsideTheCentres) {
    for (const char* order : {"M", "I"}) {
        const std::string text = std::string("BYTEORDER      ") + order +
                                 "\nLAYOUT         BIL\nNROWS          4\nNCOLS          8\n"
                                 "NBITS          16\nULXMAP         7.05\nULYMAP         46.95\n"
                                 "XDIM           0.1\nYDIM           0.1\nNODATA         -32768\n";
        const auto header = ParseGridHeader(text);
        ASSERT_TRUE(header) << order;
        EXPECT_EQ(header->littleEndian, order[0] == 'I');
        EXPECT_NEAR(header->extent.edges.north, 47.0, 1e-12);
        EXPECT_NEAR(header->extent.edges.west, 7.0, 1e-12);
        EXPECT_NEAR(header->extent.edges.east, 7.8, 1e-12);
        EXPECT_NEAR(header->extent.edges.south, 46.6, 1e-12);
        EXPECT_EQ(header->noData, -32768);
    }
    // Without an explicit byte order a GTOPO30 key means big-endian.
    const auto implicit = ParseGridHeader(
        "NROWS 4\nNCOLS 8\nULXMAP 7.05\nULYMAP 46.95\nXDIM 0.1\nYDIM 0.1\n");
    ASSERT_TRUE(implicit);
    EXPECT_FALSE(implicit->littleEndian);
}

TEST(GridHeaderTest, RefusedHeaders) {
    const struct {
        const char* what;
        std::string_view text;
    } cases[] = {
        {"five geometry values",
         "left_map_x=7\nright_map_x=10\nupper_map_y=47\nlower_map_y=45\nnumber_of_rows=2\n"},
        {"no rows", "left_map_x=7\nright_map_x=10\nupper_map_y=47\nlower_map_y=45\n"
                    "number_of_rows=0\nnumber_of_columns=3\n"},
        {"negative rows and columns",
         "left_map_x=7\nright_map_x=10\nupper_map_y=47\nlower_map_y=45\n"
         "number_of_rows=-10\nnumber_of_columns=-10\n"},
        {"inverted extent", "left_map_x=7\nright_map_x=10\nupper_map_y=45\nlower_map_y=47\n"
                            "number_of_rows=2\nnumber_of_columns=3\n"},
        {"rows beyond an int", "left_map_x=7\nright_map_x=10\nupper_map_y=47\nlower_map_y=45\n"
                               "number_of_rows=1e30\nnumber_of_columns=3\n"},
        {"a value that is no number ends the header",
         "left_map_x=7\nright_map_x=ten\nupper_map_y=47\nlower_map_y=45\n"
         "number_of_rows=2\nnumber_of_columns=3\n"},
        {"a line without '=' or blank ends the header",
         "left_map_x=7\nright_map_x=10\nend\nupper_map_y=47\nlower_map_y=45\n"
         "number_of_rows=2\nnumber_of_columns=3\n"},
        {"empty", ""},
    };
    for (const auto& c : cases) EXPECT_FALSE(ParseGridHeader(c.text)) << c.what;
}

TEST(GridHeaderTest, LineEndsAndKeys) {
    // LF CR and a blank line between lines count as one line end; keys
    // ignore case; the last line counts without a line end; over-long lines
    // are skipped.
    const std::string text = "LEFT_MAP_X=7\n\rright_map_x=10\n\nupper_map_y=47\r\n" +
                             std::string(1100, 'x') + "=1\nlower_map_y=45\nnumber_of_rows=2\n"
                             "number_of_columns=3";
    const auto header = ParseGridHeader(text);
    ASSERT_TRUE(header);
    EXPECT_EQ(header->extent.columns, 3);
    EXPECT_TRUE(header->littleEndian);
}

TEST(GridHeaderTest, TheGridFileIsFoundBesideTheHeader) {
    const test_support::ScratchFolder folder("grid-header");
    const auto header = ParseGridHeader(kConverterHeader);
    ASSERT_TRUE(header);
    EXPECT_EQ(GridFilePath(folder / "x.hdr", *header), folder / "alps.bin");
    folder.Write("ALPS.BIN", "");
    EXPECT_EQ(GridFilePath(folder / "x.hdr", *header), folder / "ALPS.BIN");
    GridHeader untitled = *header;
    untitled.fileTitle.clear();
    EXPECT_EQ(GridFilePath(folder / "terrain.v2.hdr", untitled), folder / "terrain.v2.bin");
    EXPECT_EQ(GridFilePath(folder / "terrain", untitled), folder / "terrain.bin");
}

}  // namespace
}  // namespace mapdata
