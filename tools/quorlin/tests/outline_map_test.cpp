// Chart polylines written as text-map records and cut to rectangles, the
// tile writer, and traced ".plt" outlines converted to a tiled text map,
// from a grid through the threshold to the ".map" file.
#include <gtest/gtest.h>

#include <vector>

#include "mapdata/map_poly_element.h"
#include "mapdata/text_map_reader.h"
#include "platform/numbers.h"
#include "platform/settings_store.h"
#include "testing/scratch_folder.h"
#include "tools/quorlin/e00_polyline.h"
#include "tools/quorlin/map_tiles.h"
#include "tools/quorlin/outline_map.h"
#include "tools/quorlin/quorlin_model.h"
#include "tools/quorlin/threshold_bitmap.h"
#include "tools/quorlin/tests/quorlin_test_support.h"

namespace quorlin {
namespace {

namespace fs = std::filesystem;

CE00Polyline Line(std::vector<std::pair<double, double>> points) {
    CE00Polyline line;
    for (const auto& [x, y] : points) line.AddPoint(x, y);
    line.UpdateBounds();
    line.UpdateClosed();
    line.UpdateOrientation();
    return line;
}

std::size_t Count(const std::string& text, const std::string& what) {
    std::size_t n = 0;
    for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

TEST(MapPolyline, RecordForms) {
    const CE00Polyline ring = Line({{10, 45}, {11, 45}, {11, 46}, {10, 45}});
    const CE00Polyline open = Line({{10, 45}, {11, 45.5}});
    const std::string first = "45.000000,0,0,-10.000000,0,0,-2";
    const std::string rest = "45.000000,0,0,-11.000000,0,0,-1,3\r\n46.000000,0,0,-11.000000,0,0,-1,3\r\n"
                             "45.000000,0,0,-10.000000,0,0,-1,3\r\n45.000000,0,0,-10.000000,0,0,-2\r\n";
    const struct {
        const CE00Polyline* line;
        int fill;
        bool force;
        std::string expected;
    } cases[] = {
        {&ring, 16, false, first + ",16\r\n" + rest},
        {&ring, 17, false, first + ",17,1,2,3\r\n" + rest},
        {&ring, -17, false, first + ",-17,1,2,3\r\n" + rest},
        {&ring, 999, false, first + ",3\r\n" + rest},
        {&ring, 0, false, first + "\r\n" + rest},
        {&open, 17, false, first + "\r\n45.500000,0,0,-11.000000,0,0,-1,3\r\n45.500000,0,0,-11.000000,0,0,-2\r\n"},
        {&open, 5, true, first + ",5\r\n45.500000,0,0,-11.000000,0,0,-1,3\r\n45.500000,0,0,-11.000000,0,0,-2\r\n"},
    };
    for (const auto& c : cases) {
        std::string out;
        EXPECT_TRUE(c.line->WriteMapPolyline(out, 3, c.fill, 257, 2, 3, c.force, 1000.0));
        EXPECT_EQ(out, c.expected) << c.fill;
    }
    // An open line longer than the run is written in runs sharing a point.
    std::string runs;
    Line({{0, 0}, {1, 0}, {2, 0}, {3, 0}}).WriteMapPolyline(runs, 1, 0, 0, 0, 0, false, 1.5);
    EXPECT_EQ(Count(runs, ",-2\r\n"), 4u);  // starts at 0 and 2, ends at 2 and 3
    std::string none;
    EXPECT_FALSE(Line({{0, 0}}).WriteMapPolyline(none, 1, 0, 0, 0, 0, false, 1000.0));
    EXPECT_EQ(none, "");
}

TEST(Polyline, GeometryEdgeCases) {
    EXPECT_EQ(Line({{0, 0}, {1, 0}, {1, 1}, {0, 1}, {0, 0}}).orientation, 1);
    EXPECT_EQ(Line({{0, 0}, {0, 1}, {1, 1}, {1, 0}, {0, 0}}).orientation, -1);
    EXPECT_TRUE(Line({{0, 0}, {1, 0}, {0.008, 0.006}}).closed);
    EXPECT_FALSE(Line({{0, 0}, {1, 0}, {0.009, 0}}).closed);

    const CE00Polyline outer = Line({{0, 0}, {4, 0}, {4, 4}, {0, 4}, {0, 0}});
    const CE00Polyline inner = Line({{1, 1}, {2, 1}, {2, 2}, {1, 1}});
    const CE00Polyline away = Line({{5, 5}, {6, 5}, {6, 6}, {5, 5}});
    EXPECT_EQ(outer.Contains(inner), 1);
    EXPECT_EQ(inner.Contains(outer), -1);
    EXPECT_EQ(outer.Contains(away), 0);
    EXPECT_EQ(outer.Contains(outer), 1);

    // Simplify: three points are left alone; a straight line keeps its ends
    // and its first interior point; tolerance 0 on a straight line ends.
    CE00Polyline simple;
    EXPECT_FALSE(Line({{0, 0}, {1, 0}, {2, 0}}).Simplify(0.1f, 1.0f, 0.0f, simple));
    ASSERT_TRUE(Line({{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}}).Simplify(0.0f, 1.0f, 0.0f, simple));
    EXPECT_EQ(simple.points.size(), 3u);
    EXPECT_EQ(simple.points[1].x, 1.0);
    CE00Polyline junctions = Line({{0, 0}, {1, 0}, {2, 0}, {1, 0}, {4, 0}});
    junctions.MarkSelfJunctions();
    ASSERT_TRUE(junctions.Simplify(0.0f, 1.0f, 0.0f, simple));
    EXPECT_EQ(simple.points.size(), 4u);  // the repeated point survives twice
    EXPECT_EQ(simple.points[1].flags, kJunctionPoint);  // keep bits cleared in the copy

    EXPECT_NEAR(GreatCircleMiles(0, 0, 0, 180), 3959.602237414543 * 3.141592653589793, 1e-6);
    EXPECT_EQ(GreatCircleMiles(45, 10, 45, 10), 0.0);
}

TEST(Polyline, ClipJoinsThroughTheNorthEastCorner) {
    // Clockwise: in from the west, out through the north, in again through
    // the east, out through the south.
    CE00Polyline ring = Line({{-2, 5}, {2, 5}, {5, 12}, {12, 12}, {12, 8}, {8, 8}, {5, -2}, {-2, 5}});
    ASSERT_EQ(ring.orientation, -1);
    std::vector<CE00Polyline> pieces;
    ring.Clip({0, 0, 10, 10}, true, 0.0, pieces);
    ASSERT_EQ(pieces.size(), 1u);
    std::vector<std::pair<double, double>> got;
    for (const E00Point& p : pieces[0].points) got.emplace_back(p.x, p.y);
    const std::vector<std::pair<double, double>> expected = {{0, 5}, {2, 5}, {2 + 15.0 / 7, 10}, {10, 10}, {10, 8},
                                                             {8, 8}, {5.6, 0}, {0, 0}, {0, 5}};
    ASSERT_EQ(got.size(), expected.size());
    for (std::size_t i = 0; i < got.size(); ++i) {
        EXPECT_NEAR(got[i].first, expected[i].first, 1e-9) << i;
        EXPECT_NEAR(got[i].second, expected[i].second, 1e-9) << i;
    }
    EXPECT_TRUE(pieces[0].points[3].flags & kBorderPoint);
    EXPECT_TRUE(pieces[0].closed);

    // A ring round the whole rectangle gives the rectangle; one beside it
    // nothing; an open line its inside runs.
    pieces.clear();
    Line({{-1, -1}, {11, -1}, {11, 11}, {-1, 11}, {-1, -1}}).Clip({0, 0, 10, 10}, true, 0.0, pieces);
    ASSERT_EQ(pieces.size(), 1u);
    EXPECT_EQ(pieces[0].points.size(), 5u);
    pieces.clear();
    Line({{20, 20}, {21, 20}, {21, 21}, {20, 20}}).Clip({0, 0, 10, 10}, true, 0.0, pieces);
    EXPECT_TRUE(pieces.empty());
    Line({{-1, 1}, {1, 1}, {2, 1}, {11, 1}, {3, 2}, {12, 2}}).Clip({0, 0, 10, 10}, true, 0.0, pieces);
    ASSERT_EQ(pieces.size(), 1u);  // the lone inside point is dropped
    EXPECT_EQ(pieces[0].points.size(), 2u);

    // Where a ring touches the edge from outside, the touching point is no
    // ring of its own: one that bows out through the east edge twice keeps
    // one piece, and one round the rectangle gives the rectangle.
    pieces.clear();
    Line({{2, 2}, {10, 2}, {11, 3}, {10, 4}, {11, 5}, {10, 6}, {2, 6}, {2, 2}}).Clip({0, 0, 10, 10}, true, 0.0, pieces);
    ASSERT_EQ(pieces.size(), 1u);
    EXPECT_TRUE(pieces[0].closed);
    pieces.clear();
    Line({{-1, -1}, {12, -1}, {12, 4}, {10, 5}, {12, 6}, {12, 11}, {-1, 11}, {-1, -1}})
        .Clip({0, 0, 10, 10}, true, 0.0, pieces);
    ASSERT_EQ(pieces.size(), 1u);
    EXPECT_EQ(pieces[0].points.size(), 5u);
}

class TilesTest : public ::testing::Test {
  protected:
    test_support::ScratchFolder scratch_{"tiles"};
    testing::ScriptedUi ui_;
    int busy_ = 0;
};

TEST_F(TilesTest, HeaderOverviewAndCutTiles) {
    EXPECT_EQ(MapHeaderLine({10, 45, 12, 46}).rfind("45.000000,0,0,-12.000000,0,0,46.000000,0,0,-10.000000,0,0,5M,", 0), 0u);
    const std::string miles = platform::FormatC("%0.0lf", GreatCircleMiles(45, 10, 46, 12));
    const std::string line = MapHeaderLine({10, 45, 12, 46});
    EXPECT_EQ(line.substr(line.find("5M,") + 3), miles + "\r\n");

    // Empty: the header alone.
    const fs::path out = scratch_.Path() / "dem_0150up.xyz";
    ASSERT_TRUE(WriteMapTiles({}, out, {10, 45, 12, 46}, {10, 45, 12, 46}, 1.0, 0.75, {}, ui_));
    const std::string header = MapHeaderLine({10, 45, 12, 46});
    EXPECT_EQ(testing::ReadBytes(scratch_.Path() / "dem_0150up.map"),
              header + ";\r\n;;; ?dem_0150up_0_0.map\r\n;;; " + header + "\r\n");
    EXPECT_EQ(ui_.progress, (std::vector<std::string>{"Writing Data File ..._0_0.map"}));

    // A large ring is cut into 2 rows x 3 columns, the last ones cut at the bounds.
    const core::GeoBox tiles{10, 45, 12.1, 46.2};
    const std::vector<CE00Polyline> lines = {Line({{10.2, 45.2}, {11.9, 45.2}, {11.9, 46.1}, {10.2, 46.1}, {10.2, 45.2}}),
                                             Line({{10.5, 45.5}, {10.6, 45.5}, {10.6, 45.6}, {10.5, 45.5}})};
    const std::string text = MapTilesText(lines, "t", tiles, tiles, 1.0, 0.75, {2, 17, 1, 2, 3, 0.0f}, ui_);
    EXPECT_EQ(Count(text, ";;; ?t_"), 7u);
    EXPECT_NE(text.find(";;; ?t_2_3.map\r\n;;; " + MapHeaderLine({12, 45.75, 12.1, 46.2})), std::string::npos);
    EXPECT_EQ(text.find("t_3_"), std::string::npos);
    // The small ring in the overview, before the first tile.
    EXPECT_LT(text.find("45.500000,0,0,-10.500000,0,0,-2,17,1,2,3"), text.find(";;; ?t_1_1.map"));
    EXPECT_EQ(Count(text, ",-2,17,1,2,3\r\n"), 1u + 4u);  // the third column misses the ring

    fs::create_directory(scratch_.Path() / "busy.map");
    EXPECT_FALSE(WriteMapTiles({}, scratch_.Path() / "busy.map", tiles, tiles, 1.0, 0.75, {}, ui_));
    EXPECT_EQ(ui_.said, (std::vector<std::string>{"Could not open output file"}));
}

TEST(TracedOutlines, FrameMapsOntoTheGridBounds) {
    const std::string plt =
        "LT;\r\nPU0 100;\r\nPD0 0;\r\nPD200 0;\r\nPD200 100;\r\nPD0 100;\r\n"
        "LT;\r\nPU100 50;\r\nPD100 40;\r\nPD110 40;\r\nPD100 50;\r\n"
        "LT;\r\nPU1 1;\r\nPD2 2;\r\n"  // two points: dropped
        "LT;\r\nPU0 0;\r\nPD1 0;\r\nPD1 1;\r\nPD0 0;\r\n";
    const TracedOutlines t = ReadTracedOutlines(plt, {10, 45, 12, 46});
    ASSERT_EQ(t.polylines.size(), 2u);
    EXPECT_DOUBLE_EQ(t.polylines[0].points[0].x, 11.0);
    EXPECT_DOUBLE_EQ(t.polylines[0].points[0].y, 45.5);
    EXPECT_EQ(t.polylines[1].coverageId, 1);
    EXPECT_TRUE(t.polylines[0].closed);
    EXPECT_EQ(t.polylines[0].orientation, 1);

    const TracedOutlines column = ReadTracedOutlines("PU5 0;\nPD5 10;\nPU5 5;\nPD5 6;\nPD5 7;\n", {10, 45, 12, 46});
    EXPECT_EQ(column.xScale, 1.0);
    ASSERT_EQ(column.polylines.size(), 1u);
    EXPECT_DOUBLE_EQ(column.polylines[0].points[0].x, 10.0);

    EXPECT_EQ(TileSize(1, {10, 44.5, 14, 45.5}), (std::pair<double, double>{1.0, 0.75}));
    EXPECT_EQ(TileSize(1, {10, 44.5, 10.5, 45}), (std::pair<double, double>{0.5, 0.5}));
}

// A 12 x 10 grid on 10-12 E, 45-46 N: a plateau of 300 m with a lake.
void WriteGrid(const fs::path& folder) {
    std::string bytes;
    for (int r = 0; r < 10; ++r) {
        for (int c = 0; c < 12; ++c) {
            int v = 50;
            if (r >= 2 && r <= 7 && c >= 2 && c <= 9) v = 300;
            if (r >= 4 && r <= 5 && c >= 4 && c <= 6) v = 100;
            bytes += static_cast<char>(v & 0xFF);
            bytes += static_cast<char>(v >> 8 & 0xFF);
        }
    }
    testing::WriteBytes(folder / "dem.bin", bytes);
    testing::WriteBytes(folder / "dem.hdr",
                        "left_map_x =10.0\nright_map_x =12.0\nupper_map_y =46.0\nlower_map_y =45.0\n"
                        "number_of_rows =10\nnumber_of_columns =12\nelev_m_min =0\nelev_m_max =300\n"
                        "elev_m_missing_flag =-32768\ndata_byte_order = little_endian\n");
}

class ChainTest : public ::testing::Test {
  protected:
    test_support::ScratchFolder scratch_{"chain"};
    platform::SettingsStore settings_{scratch_.Path() / "settings.ini"};
    testing::ScriptedUi ui_;
    QuorlinModel model_{settings_, ui_};
};

TEST_F(ChainTest, GridToThresholdToMap) {
    WriteGrid(scratch_.Path());
    model_.LoadInput(scratch_.Path() / "dem.bin");
    model_.state.deleteBitmaps = false;
    model_.OnThresholdChange("150");
    model_.OnThresholdCheck(true);
    EXPECT_EQ(model_.state.outputPath, scratch_.Path() / "dem_0150.bmp");
    model_.OnConvert();
    ASSERT_TRUE(ui_.said.empty()) << ui_.said.front();
    for (const char* name : {"dem_0150.bmp", "dem_0150down.bmp", "dem_0150down.plt", "dem_0150up.bmp", "dem_0150up.plt"}) {
        EXPECT_TRUE(fs::exists(scratch_.Path() / name)) << name;
    }

    model_.LoadInput(scratch_.Path() / "dem_0150up.plt");
    ASSERT_TRUE(model_.state.headerLoaded);
    model_.state.drawBorders = true;
    model_.state.options.e00.quadSize = 2;  // tiles of 1.5 degrees: no tiling
    model_.OnConvert();
    ASSERT_TRUE(ui_.said.empty()) << ui_.said.front();
    const std::string map = testing::ReadBytes(scratch_.Path() / "dem_0150up.map");
    EXPECT_EQ(map.rfind(MapHeaderLine({-model_.state.grid.west, 45, -model_.state.grid.east, 46}), 0), 0u);
    EXPECT_EQ(Count(map, ",-2,17,"), 2u);  // the plateau and the frame's hole around it
    EXPECT_NE(std::find(ui_.progress.begin(), ui_.progress.end(), "Converting to MAP File"), ui_.progress.end());

    ui_.answers = {true};
    model_.state.drawBorders = false;
    model_.OnConvert();
    EXPECT_EQ(Count(testing::ReadBytes(scratch_.Path() / "dem_0150up.map"), ",-2,-17,"), 2u);
    EXPECT_EQ(ui_.said.back(), "? Output file already exists !!!\n\nAre you sure you want to overwrite it?");

    model_.state.headerLoaded = false;
    model_.OnConvert();
    EXPECT_EQ(ui_.said.back(), "No header data available");
}

// Outline files the tracer cannot have written are refused by name and
// write nothing; one cut short becomes a map only when the user says Yes.
TEST_F(ChainTest, DamagedOutlineFilesAreToldBeforeAnythingIsWritten) {
    WriteGrid(scratch_.Path());
    const std::string frame = "LT;\r\nPU0 100;\r\nPD0 0;\r\nPD200 0;\r\nPD200 100;\r\nPD0 100;\r\n";
    const std::string sound = frame + "LT;\r\nPU100 50;\r\nPD100 40;\r\nPD110 40;\r\nPD100 50;\r\n";
    const std::string refused = "\n\nNo output file was written.";
    const std::string partial =
        "\n\nThe map would hold only what was read before that. Do you want to write this partial map?";
    struct Case {
        std::string text;
        std::string said;  // a question when it starts with "? "
    } const cases[] = {
        {sound, ""},
        {sound.substr(0, sound.size() - 5), "? File: dem_0150up.plt\nIt ends in the middle of line 11: it is cut short." + partial},
        {sound.substr(0, sound.size() - 11),
         "? File: dem_0150up.plt\nIts last outline does not come back to its start: the file is cut short." + partial},
        {std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16),
         "File: dem_0150up.plt\nLine 1 is not a plotter move: it is no outline file." + refused},
        {frame + "LT;\r\nPU100 50;\r\nPD1e300 40;\r\nPD100 50;\r\n",
         "File: dem_0150up.plt\nLine 9 moves to (1e+300, 40), outside the picture's 0 to 65535." + refused},
        {frame + "LT;\r\nPU100 50;\r\nPDnan 40;\r\nPD100 50;\r\n",
         "File: dem_0150up.plt\nLine 9 is not a plotter move: it is no outline file." + refused},
        {frame + "LT;\r\nPU100 50;\r\nPD-3 40;\r\nPD100 50;\r\n",
         "File: dem_0150up.plt\nLine 9 moves to (-3, 40), outside the picture's 0 to 65535." + refused},
        {frame, "File: dem_0150up.plt\nIt holds no outline besides the picture's frame." + refused},
        {"", "File: dem_0150up.plt\nIt holds no plotter move: it is no outline file." + refused},
    };
    const fs::path map = scratch_.Path() / "dem_0150up.map";
    for (const Case& c : cases) {
        for (const bool keep : {false, true}) {
            SCOPED_TRACE(c.said + (keep ? " (Yes)" : " (No)"));
            fs::remove(map);
            testing::WriteBytes(scratch_.Path() / "dem_0150up.plt", c.text);
            model_.LoadInput(scratch_.Path() / "dem_0150up.plt");
            ASSERT_TRUE(model_.state.headerLoaded);
            ui_.said.clear();
            ui_.answers = {keep};
            model_.OnConvert();
            if (c.said.empty()) {
                EXPECT_TRUE(ui_.said.empty()) << ui_.said.front();
                EXPECT_TRUE(fs::exists(map));
                continue;
            }
            ASSERT_FALSE(ui_.said.empty());
            EXPECT_EQ(ui_.said.front(), c.said);
            const bool question = c.said.starts_with("? ");
            EXPECT_EQ(fs::exists(map), question && keep);
        }
    }
}

// The flight computer's text-map reader loads the converted map: two filled
// polygons, both on the grid's place.
TEST_F(ChainTest, TheFlightComputersReaderLoadsTheConvertedMap) {
    WriteGrid(scratch_.Path());
    model_.LoadInput(scratch_.Path() / "dem.bin");
    model_.state.deleteBitmaps = false;
    model_.OnThresholdChange("150");
    model_.OnThresholdCheck(true);
    model_.OnConvert();
    model_.LoadInput(scratch_.Path() / "dem_0150up.plt");
    model_.state.drawBorders = true;
    model_.state.options.e00.quadSize = 2;
    model_.OnConvert();
    ASSERT_TRUE(ui_.said.empty()) << ui_.said.front();

    mapdata::MapReadContext context;
    ASSERT_TRUE(mapdata::ReadMapAt(scratch_.Path() / "dem_0150up.map", context));
    std::vector<const mapdata::CMapPolyElement*> polygons;
    for (const mapdata::ElementList* list : {&context.general, &context.symbols17, &context.symbols27}) {
        for (const auto& element : *list) {
            if (const auto* poly = dynamic_cast<const mapdata::CMapPolyElement*>(element.get()))
                polygons.push_back(poly);
        }
    }
    ASSERT_EQ(polygons.size(), 2u);
    constexpr double kTolerance = 6e-4;  // degrees: the stored single precision
    for (const mapdata::CMapPolyElement* poly : polygons) {
        EXPECT_EQ(poly->type, 17);
        EXPECT_NE(poly->fillStyle, 0);
        // Within the grid's 10..12 E, 45..46 N.
        EXPECT_GE(poly->bounds.west, 10.0 - kTolerance);
        EXPECT_LE(poly->bounds.east, 12.0 + kTolerance);
        EXPECT_GE(poly->bounds.south, 45.0 - kTolerance);
        EXPECT_LE(poly->bounds.north, 46.0 + kTolerance);
    }
}

}  // namespace
}  // namespace quorlin
