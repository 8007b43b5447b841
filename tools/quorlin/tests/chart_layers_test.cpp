// E00 chart layers through Convert: point labels in both precisions, plain
// lines, joined lines and per-value contour files, each compared with its
// golden ".map" and read back by the flight computer's map reader.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "mapdata/map_poly_element.h"
#include "mapdata/map_text_element.h"
#include "mapdata/text_map_reader.h"
#include "platform/settings_store.h"
#include "testing/scratch_folder.h"
#include "tools/quorlin/chart_layers.h"
#include "tools/quorlin/quorlin_model.h"
#include "tools/quorlin/tests/quorlin_test_support.h"

namespace quorlin {
namespace {

namespace fs = std::filesystem;

fs::path Fixture(const std::string& name) { return testing::DataFolder() / "e00" / name; }

class ChartLayerTest : public ::testing::Test {
  protected:
    // The fixture copied under `name` (the name decides the layer kind) and
    // converted inside 6..9 E, 45..48 N.
    void Convert(const std::string& fixture, const std::string& name) {
        fs::copy_file(Fixture(fixture), scratch_.Path() / name);
        model_.LoadInput(scratch_.Path() / name);
        model_.state.outputBounds = {7.0, 46.0, 8.0, 47.0};
        model_.state.resetOutputBounds = false;
        model_.state.mapScale = 86.4;
        model_.OnConvert();
    }
    // A layer chosen without a bounds table: what the choice said is
    // forgotten, and the conversion asks for no corners.
    void Choose(const fs::path& path) {
        model_.LoadInput(path);
        ui_.said.clear();
        ui_.captions.clear();
        model_.state.resetOutputBounds = false;
    }
    std::string Output(const std::string& name) { return testing::ReadBytes(scratch_.Path() / name); }
    // Compares with tests/data/e00/<golden>; KV_UPDATE_GOLDEN=1 rewrites it.
    void ExpectGolden(const std::string& name, const std::string& golden) {
        const std::string text = Output(name);
        if (std::getenv("KV_UPDATE_GOLDEN")) testing::WriteBytes(Fixture(golden), text);
        EXPECT_EQ(text, testing::ReadBytes(Fixture(golden))) << name;
    }
    // The elements the flight computer's reader builds from the map and its includes.
    std::size_t ReadCount(const std::string& name) {
        mapdata::MapReadContext context;
        EXPECT_TRUE(mapdata::ReadMapAt(scratch_.Path() / name, context)) << name;
        return context.general.size() + context.symbols17.size() + context.symbols27.size();
    }

    test_support::ScratchFolder scratch_{"chart"};
    platform::SettingsStore settings_{scratch_.Path() / "settings.ini"};
    testing::ScriptedUi ui_;
    QuorlinModel model_{settings_, ui_};
};

TEST_F(ChartLayerTest, ElevationNotesOnAndBeyondTheBoundsInBothPrecisions) {
    for (const std::string fixture : {"aepoint.e00", "aepoint_double.e00"}) {
        Convert(fixture, "aepoint.e00");
        ASSERT_TRUE(ui_.said.empty()) << ui_.said.front();
        ExpectGolden("aepoint.map", "aepoint.golden.map");
        mapdata::MapReadContext context;
        ASSERT_TRUE(mapdata::ReadMapAt(scratch_.Path() / "aepoint.map", context));
        std::vector<const mapdata::CMapTextElement*> labels;
        for (const mapdata::ElementList* list : {&context.general, &context.symbols17, &context.symbols27}) {
            for (const auto& e : *list) {
                if (const auto* t = dynamic_cast<const mapdata::CMapTextElement*>(e.get())) labels.push_back(t);
            }
        }
        // 7.0 E lies on the bound; 6.999 E is 0.001 beyond it; 8 E 47 N is the corner.
        ASSERT_EQ(labels.size(), 3u);
        EXPECT_EQ(labels[0]->text, L"Some Field");
        EXPECT_TRUE(labels[0]->noteGiven || labels[0]->elevationGiven);
        fs::remove(scratch_.Path() / "aepoint.e00");
    }
}

TEST_F(ChartLayerTest, LabelTexts) {
    CInfoTable table(Fixture("aepoint.e00"), "PAT");
    ASSERT_TRUE(table.Open() && table.ReadRecords());
    int symbol = 0;
    EXPECT_EQ(LabelText(&table, 1, true, 2, symbol), "^1234^Some Field");
    EXPECT_EQ(symbol, 3);
    EXPECT_EQ(LabelText(&table, 1, false, 2, symbol), "Some Field");
    EXPECT_EQ(symbol, 2);
    EXPECT_EQ(LabelText(&table, 2, true, 2, symbol), "^988^  Le Mont-blanc");
    EXPECT_EQ(LabelText(&table, 3, false, 2, symbol), "???");
    EXPECT_EQ(LabelText(&table, 3, true, 2, symbol), "^500^???");
    EXPECT_EQ(LabelText(nullptr, 1, true, 5, symbol), "???");
    EXPECT_EQ(symbol, 5);
    CInfoTable values(Fixture("lines.e00"), "AAT");  // no name item: the value
    ASSERT_TRUE(values.Open() && values.ReadRecords());
    EXPECT_EQ(LabelText(&values, 4, false, 2, symbol), "2000");
    EXPECT_EQ(CapitaliseWords("SOME FIELD\xC9"), "Some Field\xC9");
}

TEST_F(ChartLayerTest, PlainAndJoinedLines) {
    Convert("rdline.e00", "rdline.e00");
    ASSERT_TRUE(ui_.said.empty()) << ui_.said.front();
    ExpectGolden("rdline.map", "rdline.golden.map");
    EXPECT_EQ(ReadCount("rdline.map"), 3u);

    model_.state.drawBorders = true;  // joined: arcs 1 and 2 share node 2 and a value
    fs::remove(scratch_.Path() / "rdline.e00");
    Convert("rdline.e00", "rdline.e00");
    ExpectGolden("rdline.map", "rdline_joined.golden.map");
    EXPECT_EQ(ReadCount("rdline.map"), 2u);
}

TEST_F(ChartLayerTest, ContoursGoToOneFilePerValue) {
    Convert("hynet.e00", "hynet.e00");
    ASSERT_TRUE(ui_.said.empty()) << ui_.said.front();
    ExpectGolden("hynet.map", "hynet.golden.map");
    ExpectGolden("hynet_1000.map", "hynet_1000.golden.map");
    EXPECT_TRUE(fs::exists(scratch_.Path() / "hynet_2000.map"));
    EXPECT_EQ(ReadCount("hynet.map"), 2u);  // through both includes
    EXPECT_EQ(model_.state.texts.lowest, "305");
    EXPECT_EQ(model_.state.texts.highest, "610");
}

TEST_F(ChartLayerTest, ElevationMapInQuadrangleTilesAndAFullMap) {
    model_.state.fillClosed = true;
    Convert("ringhynet.e00", "ringhynet.e00");
    ASSERT_EQ(ui_.said.size(), 1u);
    EXPECT_EQ(ui_.said[0], std::string("? ") + kMapGenerationQuestion);
    ExpectGolden("ringhynet.map", "ringhynet.golden.map");
    ExpectGolden("ringhynet_full.map", "ringhynet_full.golden.map");
    ExpectGolden("ringhynet_1_1.map", "ringhynet_1_1.golden.map");
    // Each ring is named in the progress line as it is built, nested and written.
    std::vector<std::string> rings;
    for (const std::string& p : ui_.progress) {
        if (p.starts_with("Creating") || p.starts_with("Sorting") || p.starts_with("Writing")) rings.push_back(p);
    }
    EXPECT_EQ(rings, (std::vector<std::string>{
                         "Creating polygons - 1 : 2", "Creating polygons - 2 : 3", "Sorting polygons - 1 : 2",
                         "Sorting polygons - 2 : 3", "Writing Data File", "Writing polygons to file - 1 : 2",
                         "Writing polygons to file - 2 : 3", "Writing Data File ...ringhynet_1_1.map",
                         "Writing polygons to file ...ringhynet_1_1.map - 1 : 2",
                         "Writing polygons to file ...ringhynet_1_1.map - 2 : 3",
                         "Writing Data File ...ringhynet_2_1.map",
                         "Writing polygons to file ...ringhynet_2_1.map - 1 : 2",
                         "Writing polygons to file ...ringhynet_2_1.map - 2 : 3"}));
    // Every tile is read through its include line, with its own header.
    mapdata::MapReadContext context;
    ASSERT_TRUE(mapdata::ReadMapAt(scratch_.Path() / "ringhynet.map", context));
    std::vector<const mapdata::CMapPolyElement*> polygons;
    for (const mapdata::ElementList* list : {&context.general, &context.symbols17, &context.symbols27}) {
        for (const auto& e : *list) {
            if (const auto* p = dynamic_cast<const mapdata::CMapPolyElement*>(e.get())) polygons.push_back(p);
        }
    }
    EXPECT_GE(polygons.size(), 3u);
    for (const auto* p : polygons) EXPECT_NE(p->fillStyle, 0);
    EXPECT_EQ(ElevationPen(999), 9);
    EXPECT_EQ(ElevationPen(13999), 4);
    EXPECT_EQ(ElevationPen(14000), 8);
    EXPECT_EQ(ElevationPen(-1), 9);  // truncated toward zero
    EXPECT_EQ(ElevationPen(-1000), 8);
}

// The polygons the flight computer's reader builds from a map.
std::vector<const mapdata::CMapPolyElement*> Polygons(const mapdata::MapReadContext& context) {
    std::vector<const mapdata::CMapPolyElement*> polygons;
    for (const mapdata::ElementList* list : {&context.general, &context.symbols17, &context.symbols27}) {
        for (const auto& e : *list) {
            if (const auto* p = dynamic_cast<const mapdata::CMapPolyElement*>(e.get())) polygons.push_back(p);
        }
    }
    return polygons;
}

TEST_F(ChartLayerTest, LakesWithAnIslandAndTheirRivers) {
    model_.state.fillClosed = true;
    Convert("lakednnet.e00", "lakednnet.e00");
    ASSERT_TRUE(ui_.said.empty()) << ui_.said.front();
    ExpectGolden("lakednnet.map", "lakednnet.golden.map");
    const std::string text = Output("lakednnet.map");
    EXPECT_NE(text.find(",0,0,-2,-6\r\n"), std::string::npos);   // the lake in the lakes colour
    EXPECT_NE(text.find(",0,0,-2,-11\r\n"), std::string::npos);  // the island in the islands colour
    mapdata::MapReadContext context;
    ASSERT_TRUE(mapdata::ReadMapAt(scratch_.Path() / "lakednnet.map", context));
    // Lake, island and the joined river in two runs of at most 0.55 degrees.
    EXPECT_EQ(Polygons(context).size(), 4u);
    EXPECT_TRUE(text.ends_with("46.500000,0,0,-7.950000,0,0,-1,6\r\n46.500000,0,0,-7.950000,0,0,-2\r\n"));
}

TEST_F(ChartLayerTest, CitiesAndLandCover) {
    model_.state.fillClosed = true;
    model_.state.drawBorders = true;
    Convert("townpppoly.e00", "townpppoly.e00");
    ASSERT_TRUE(ui_.said.empty()) << ui_.said.front();
    ExpectGolden("townpppoly.map", "townpppoly.golden.map");
    Convert("landlcpoly.e00", "landlcpoly.e00");
    ASSERT_TRUE(ui_.said.empty()) << ui_.said.front();
    ExpectGolden("landlcpoly.map", "landlcpoly.golden.map");
    mapdata::MapReadContext context;
    ASSERT_TRUE(mapdata::ReadMapAt(scratch_.Path() / "landlcpoly.map", context));
    EXPECT_EQ(Polygons(context).size(), 2u);

    // Arc numbers are not looked up in the polygon table: an arc numbered
    // past the polygons converts as before.
    std::string renumbered = testing::ReadBytes(Fixture("townpppoly.e00"));
    const std::string arc2 = "         2         2         2         2         3";
    renumbered.replace(renumbered.find(arc2), arc2.size(), "         9         2         2         2         3");
    fs::create_directories(scratch_.Path() / "renumbered");
    testing::WriteBytes(scratch_.Path() / "renumbered/townpppoly.e00", renumbered);
    Choose(scratch_.Path() / "renumbered/townpppoly.e00");
    model_.OnConvert();
    EXPECT_TRUE(ui_.said.empty()) << ui_.said.front();
    EXPECT_EQ(Output("renumbered/townpppoly.map"), Output("townpppoly.map"));

    // Without its attribute table the layer is refused in a box.
    ui_.said.clear();
    std::string text = testing::ReadBytes(Fixture("townpppoly.e00"));
    text.resize(text.find("IFO  2"));
    testing::WriteBytes(scratch_.Path() / "bare_pppoly.e00", text);
    Choose(scratch_.Path() / "bare_pppoly.e00");
    model_.OnConvert();
    ASSERT_EQ(ui_.said.size(), 1u);
    EXPECT_EQ(ui_.said[0], "Could not open Cities Data Base");
    EXPECT_FALSE(fs::exists(scratch_.Path() / "bare_pppoly.map"));
}

TEST_F(ChartLayerTest, RefusedInputsAreReportedAndWriteNothing) {
    fs::create_directories(scratch_.Path() / "in");
    const struct {
        const char* text;
        const char* said;
    } cases[] = {
        {"EXP  1 /X.E00\nARC  2\n", "Compressed E00 files cannot be read.\n\nExport the layer uncompressed."},
        {"NOT AN E00\n", "The data file is not an E00 file"},
        {"EXP  0 /X.E00\nARC  2\n", "The data file has no label section"},
    };
    for (const auto& c : cases) {
        testing::WriteBytes(scratch_.Path() / "point.e00", c.text);
        Choose(scratch_.Path() / "point.e00");
        model_.OnConvert();
        ASSERT_EQ(ui_.said.size(), 1u);
        EXPECT_EQ(ui_.said[0], c.said);
        EXPECT_FALSE(fs::exists(scratch_.Path() / "point.map"));
    }
    Choose(scratch_.Path() / "missing_lines.e00");
    model_.OnConvert();
    ASSERT_EQ(ui_.said.size(), 1u);
    EXPECT_EQ(ui_.said[0], "Error opening Data file");
}

TEST_F(ChartLayerTest, AValueThatCannotBeRetrievedStopsTheConversion) {
    std::string text = testing::ReadBytes(Fixture("hynet.e00"));
    const std::string last = "          4         14";  // the record of arc 4 renumbered
    text.replace(text.find(last), last.size(), "          9         14");
    testing::WriteBytes(scratch_.Path() / "hynet.e00", text);
    Choose(scratch_.Path() / "hynet.e00");
    model_.OnConvert();
    ASSERT_EQ(ui_.said.size(), 1u);
    EXPECT_EQ(ui_.said[0], "Error in data retrieval (line 921)");
    EXPECT_EQ(ui_.captions, (std::vector<std::string>{"File Error"}));
    EXPECT_FALSE(fs::exists(scratch_.Path() / "hynet.map"));
}

}  // namespace
}  // namespace quorlin

namespace quorlin {
namespace {

// A layer cut short, or with an arc claiming more points than the file
// holds, is told by name: No writes nothing, Yes writes what was read. A
// layer in projected metres, or without arcs or labels, writes nothing.
TEST_F(ChartLayerTest, DamagedLayersAreToldBeforeAnythingIsWritten) {
    const std::string lines = testing::ReadBytes(Fixture("rdline.e00"));
    const std::string points = testing::ReadBytes(Fixture("aepoint.e00"));
    const std::string towns = testing::ReadBytes(Fixture("townpppoly.e00"));
    const auto upTo = [](const std::string& text, const std::string& line) { return text.substr(0, text.find(line)); };
    std::string huge = lines;
    const std::string head = "         2        12         2         3         0         0         2";
    huge.replace(huge.find(head), head.size(), "         2        12         2         3         0         0 999999999");
    const std::string refused = "\n\nNo output file was written.";
    struct Case {
        std::string name, text;
        std::string said;  // a question when it starts with "? "
    } const cases[] = {
        {"rdline.e00", upTo(lines, "         3        13"),
         "? File: rdline.e00\nIts arc section breaks off in arc 3, before its end line: the file is cut short or "
         "damaged."},
        {"rdline.e00", huge, "? File: rdline.e00\nArc 2 claims 999999999 points, more than the rest of the file holds."},
        {"rdline.e00", upTo(lines, "          6          7"),
         "? File: rdline.e00\nIts table RDLINE.AAT breaks off after 3 of its 4 records."},
        {"townpppoly.e00", upTo(towns, " 0.0000000E+00 0.0000000E+00          3"),
         "? File: townpppoly.e00\nIts table TOWNPPPOLY.PAT breaks off after 2 of its 3 records."},
        {"aepoint.e00", upTo(points, "         4         0 6.999"),
         "? File: aepoint.e00\nIts label section breaks off after 3 labels, before its end line."},
        {"rdline.e00",
         "EXP  0 /X.E00\nARC  2\n 1 1 1 2 0 0 2\n 5.1200000E+05 5.1000000E+06 5.1300000E+05 5.1010000E+06\n"
         " -1 0 0 0 0 0 0\nEOS\n",
         "File: rdline.e00\nIt holds the position x = 512000, y = 5.1e+06, outside the longitudes -180 to 180 and "
         "latitudes -90 to 90: its coordinates are not degrees (a projected layer?). Only layers in degrees can be "
         "converted." + refused},
        {"rdline.e00", "EXP  0 /X.E00\nARC  2\n -1 0 0 0 0 0 0\nEOS\n", "File: rdline.e00\nIt holds no arc." + refused},
        {"aepoint.e00", "EXP  0 /X.E00\nLAB  2\n -1 0 0.0 0.0\nEOS\n",
         "File: aepoint.e00\nIts label section holds no label." + refused},
    };
    const std::string partial =
        "\n\nThe map would hold only what was read before that. Do you want to write this partial map?";
    for (const Case& c : cases) {
        for (const bool keep : {false, true}) {
            SCOPED_TRACE(c.said + (keep ? " (Yes)" : " (No)"));
            const fs::path input = scratch_.Path() / c.name;
            const fs::path map = fs::path(input).replace_extension(".map");
            fs::remove(map);
            testing::WriteBytes(input, c.text);
            Choose(input);
            model_.state.outputBounds = {7.0, 46.0, 8.0, 47.0};
            ui_.answers = {keep};
            model_.OnConvert();
            const bool question = c.said.starts_with("? ");
            ASSERT_EQ(ui_.said.size(), 1u) << ui_.said.back();
            EXPECT_EQ(ui_.said[0], question ? c.said + partial : c.said);
            EXPECT_EQ(fs::exists(map), question && keep);
            if (question && keep) {
                EXPECT_GT(ReadCount(map.filename().string()), 0u);
            }
        }
    }
    // Output bounds in metres, from a projected layer's bounds table, are
    // refused the same way.
    testing::WriteBytes(scratch_.Path() / "rdline.e00", lines);
    Choose(scratch_.Path() / "rdline.e00");
    model_.state.outputBounds = {512000.0, 5100000.0, 513000.0, 5101000.0};
    model_.OnConvert();
    ASSERT_EQ(ui_.said.size(), 1u);
    EXPECT_TRUE(ui_.said[0].starts_with("File: rdline.e00\nIts output bounds (south 5.1e+06, north 5.101e+06, west "
                                        "512000, east 513000) lie outside"))
        << ui_.said[0];
    EXPECT_FALSE(fs::exists(scratch_.Path() / "rdline.map"));
}

}  // namespace
}  // namespace quorlin
