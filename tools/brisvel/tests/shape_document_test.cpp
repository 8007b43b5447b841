// The shape document over fixture shapefiles made with the shapelib tools:
// stepping, the objects shapes become, adding, grouping and saving.
#include "tools/brisvel/shape_document.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <sstream>

#include "mapdata/map_poly_element.h"
#include "mapdata/map_text_element.h"
#include "mapdata/text_map_reader.h"
#include "platform/numbers.h"
#include "testing/scratch_folder.h"
#include "tools/brisvel/map_writer.h"
#include "tools/brisvel/tests/brisvel_test_support.h"

namespace brisvel {
namespace {

namespace fs = std::filesystem;
using testing::Fixture;
using testing::ReadText;

constexpr char kOuterAndHole[] =
    "10 45 10 46 11 46 11 45 10 45 + 10.25 45.25 10.75 45.25 10.75 45.75 10.25 45.75 10.25 45.25";

class ShapeDocumentTest : public ::testing::Test {
  protected:
    std::unique_ptr<CShapeDocument> Open(const fs::path& shp) {
        auto document = std::make_unique<CShapeDocument>(frame_, prompts_);
        EXPECT_TRUE(document->OpenShapefile(shp)) << shp;
        return document;
    }

    // A polygon file: outer ring and hole, a null shape, a polygon of three
    // points, a ring with a part of one vertex, a ring with collinear edges
    // and a ring far outside the others.
    fs::path Areas() {
        Fixture areas(scratch_ / "areas", "polygon");
        areas.Add(kOuterAndHole, "Lake")
            .Add("", "")
            .Add("10 45 10 46 11 45", "Tiny")
            .Add("12 45 12 46 13 46 13 45 12 45 + 14 47", "Forest")
            .Add("7.1 46.3 7.1 46.4 7.1 46.5 7.3 46.5 7.5 46.5 7.5 46.3 7.1 46.3", "lake")
            .Add("100 10 100 11 101 11 101 10 100 10", "Far");
        EXPECT_TRUE(areas.Ok());
        return areas.Shp();
    }

    test_support::ScratchFolder scratch_{"kv-brisvel-doc"};
    FrameBounds frame_;
    testing::ScriptedPrompts prompts_;
};

TEST_F(ShapeDocumentTest, SteppingPassesOverNullAndDegenerateShapesAndStopsAtTheEnd) {
    auto document = Open(Areas());
    EXPECT_EQ(document->ShapeCount(), 6);
    EXPECT_EQ(document->Kind(), ShapeKind::kPolygon);
    std::vector<int> visited;
    while (document->BuildMapObjects({})) visited.push_back(document->CurrentIndex());
    EXPECT_EQ(visited, (std::vector<int>{0, 3, 4, 5}));
    EXPECT_EQ(document->SkippedCount(), 1);  // the polygon of three points
    // The end leaves the last object current.
    EXPECT_EQ(document->CurrentIndex(), 5);
    ASSERT_NE(document->CurrentObject(), nullptr);
    EXPECT_EQ(document->CurrentText(), "Far");
    document->Rewind();
    ASSERT_NE(document->BuildMapObjects({}), nullptr);
    EXPECT_EQ(document->CurrentIndex(), 0);
}

TEST_F(ShapeDocumentTest, PartsOfOneVertexAreLeftOutAndRingsGetTheirOrientation) {
    auto document = Open(Areas());
    const auto* lake = dynamic_cast<const CPolyObject*>(document->BuildMapObjects({}));
    ASSERT_NE(lake, nullptr);
    ASSERT_EQ(lake->PartCount(), 2);
    EXPECT_EQ(lake->RingFlag(0), kOuterRing);
    EXPECT_EQ(lake->RingFlag(1), kHole);
    const auto* forest = dynamic_cast<const CPolyObject*>(document->BuildMapObjects({}));
    ASSERT_NE(forest, nullptr);
    EXPECT_EQ(forest->PartCount(), 1);
    EXPECT_EQ(forest->VertexCount(), 5);
    const auto* collinear = dynamic_cast<const CPolyObject*>(document->BuildMapObjects({}));
    ASSERT_NE(collinear, nullptr);
    EXPECT_EQ(collinear->RingFlag(0), kOuterRing);
}

TEST_F(ShapeDocumentTest, AMultipointBecomesOneLineAndOneVertexLinesAreSkipped) {
    Fixture points(scratch_ / "multi", "multipoint");
    points.Add("1 1 2 2 3 3 4 4 5 5", "Five");
    Fixture lines(scratch_ / "lines", "arc");
    lines.Add("1 1 2 2", "A").Add("3 3", "Dot").Add("4 4 5 5 6 4", "B");
    ASSERT_TRUE(points.Ok() && lines.Ok());
    auto multi = Open(points.Shp());
    const auto* five = dynamic_cast<const CPolyObject*>(multi->BuildMapObjects({}));
    ASSERT_NE(five, nullptr);
    EXPECT_EQ(five->PartCount(), 1);
    EXPECT_EQ(five->VertexCount(), 5);
    EXPECT_FALSE(five->IsPolygon());
    auto line = Open(lines.Shp());
    ASSERT_NE(line->BuildMapObjects({}), nullptr);
    ASSERT_NE(line->BuildMapObjects({}), nullptr);
    EXPECT_EQ(line->CurrentText(), "B");
    EXPECT_EQ(line->SkippedCount(), 1);
}

TEST_F(ShapeDocumentTest, UnsupportedTypesAreRefused) {
    const fs::path patch = scratch_ / "patch";
    SHPClose(SHPCreate(patch.c_str(), SHPT_MULTIPATCH));
    CShapeDocument document(frame_, prompts_);
    EXPECT_FALSE(document.OpenShapefile(patch.string() + ".shp"));
    EXPECT_EQ(prompts_.said, (std::vector<std::string>{"File Type Error: Sorry this shape type is not supported"}));
    EXPECT_FALSE(document.OpenShapefile(scratch_ / "missing.shp"));
}

TEST_F(ShapeDocumentTest, BoundsComeFromTheFrameOrElseFromTheFile) {
    auto first = Open(Areas());
    EXPECT_EQ(first->WriteBounds(), (core::GeoBox{7.1F, 10.0F, 101.0F, 47.0F}));
    EXPECT_EQ(frame_.bounds, first->WriteBounds());
    frame_.bounds = {50.0F, 40.0F, 20.0F, 5.0F};
    auto second = Open(Areas());
    EXPECT_EQ(second->WriteBounds(), frame_.bounds);
}

TEST_F(ShapeDocumentTest, SavedMapsGroupObjectsByNameAndLeaveOutThoseOutsideTheBounds) {
    auto document = Open(Areas());
    ObjectStyle style;
    style.colourIndex = 4;  // colour 5
    ASSERT_NE(document->BuildMapObjects(style), nullptr);
    while (document->CurrentObject()) document->AddCurrent(style);
    ASSERT_EQ(document->Added().size(), 4U);
    // "Lake" and "lake" share a group.
    EXPECT_EQ(document->Groups(), (std::vector<std::string>{"Lake", "Forest", "Far"}));
    document->SetModified();
    prompts_.mapName = scratch_ / "areas.map";
    prompts_.bounds = core::GeoBox{5.0F, 44.0F, 15.0F, 48.0F};
    ASSERT_TRUE(document->SaveMapFile(std::nullopt));
    EXPECT_FALSE(document->IsModified());
    EXPECT_EQ(prompts_.shownBounds, (core::GeoBox{7.1F, 10.0F, 101.0F, 47.0F}));
    EXPECT_EQ(frame_.bounds, *prompts_.bounds);
    const std::string map = ReadText(scratch_ / "areas.map");
    EXPECT_EQ(map.substr(0, map.find("\r\n")),
              "44.000000,0,0,-15.000000,0,0,48.000000,0,0,-5.000000,0,0,10M," +
                  platform::FormatC("%.1f", CornerDistanceMiles(44, 15, 48, 5)));
    EXPECT_NE(map.find(";\r\n;GROUP: Lake\r\n;\r\n45.000000,0,0,-10.000000,0,0,-2,-5\r\n"
                       "46.000000,0,0,-10.000000,0,0,-1,5\r\n"),
              std::string::npos);
    EXPECT_NE(map.find("45.250000,0,0,-10.250000,0,0,-2,-1\r\n45.250000,0,0,-10.750000,0,0,-1,5\r\n"),
              std::string::npos);
    // The ring with collinear edges follows in the group of the same name.
    EXPECT_NE(map.find("46.299999,0,0,-7.100000,0,0,-2,-5\r\n"), std::string::npos);
    EXPECT_LT(map.find("GROUP: Forest"), map.find("GROUP: Far"));
    EXPECT_EQ(map.find("-100.000000"), std::string::npos);
    EXPECT_TRUE(map.ends_with(";\r\n;GROUP: Far\r\n;\r\n"));

    // The flight computer's reader makes one area of every ring written.
    mapdata::MapReadContext read;
    ASSERT_TRUE(mapdata::ReadMapAt(scratch_ / "areas.map", read));
    EXPECT_EQ(read.longLinesSkipped, 0U);
    std::size_t rings = 0;
    for (std::size_t at = map.find(",0,0,-2,"); at != std::string::npos; at = map.find(",0,0,-2,", at + 1))
        ++rings;
    std::size_t areas = 0;
    for (const mapdata::ElementList* list : {&read.general, &read.symbols17, &read.symbols27})
        for (const auto& element : *list)
            areas += dynamic_cast<const mapdata::CMapPolyElement*>(element.get()) != nullptr;
    EXPECT_GT(rings, 0U);
    EXPECT_EQ(areas, rings);
}

TEST_F(ShapeDocumentTest, APointZMapCarriesSymbolsElevationsInFeetAndNames) {
    Fixture peaks(scratch_ / "peaks", "pointz");
    peaks.Add("-z 7.25 46.5 1000", "Peak").Add("", "").Add("-z 8 47 -3", "Hut");
    ASSERT_TRUE(peaks.Ok());
    auto document = Open(peaks.Shp());
    ObjectStyle style;
    style.symbol = 17;
    ASSERT_NE(document->BuildMapObjects(style), nullptr);
    document->AddCurrent(style);
    document->AddCurrent(style);
    prompts_.mapName = scratch_ / "peaks.map";
    ASSERT_TRUE(document->SaveMapFile(std::nullopt));
    const std::string map = ReadText(scratch_ / "peaks.map");
    EXPECT_NE(map.find(";GROUP: Peak\r\n;\r\n46.500000,0,0,-7.250000,0,0,17,^3280^Peak\r\n"), std::string::npos);
    EXPECT_NE(map.find("47.000000,0,0,-8.000000,0,0,17,^-9^Hut\r\n"), std::string::npos);

    // The flight computer's reader shows both as symbol 17 with their names.
    mapdata::MapReadContext read;
    ASSERT_TRUE(mapdata::ReadMapAt(scratch_ / "peaks.map", read));
    std::vector<std::wstring> names;
    for (const mapdata::ElementList* list : {&read.general, &read.symbols17, &read.symbols27})
        for (const auto& element : *list)
            if (const auto* text = dynamic_cast<const mapdata::CMapTextElement*>(element.get()))
                names.push_back(text->text);
    EXPECT_EQ(names.size(), 2U);
}

TEST_F(ShapeDocumentTest, ValuesBeyondAnyMapAreNotWritten) {
    Fixture peaks(scratch_ / "huge", "pointz");
    peaks.Add("-z 7 46 1e400", "Sky").Add("-z 1e400 46 10", "Nowhere").Add("-z 8 47 10", "Hut");
    ASSERT_TRUE(peaks.Ok());
    auto document = Open(peaks.Shp());
    const auto* sky = dynamic_cast<const CSymbolObject*>(document->BuildMapObjects({}));
    ASSERT_NE(sky, nullptr);
    EXPECT_FALSE(sky->hasElevation);
    ASSERT_NE(document->BuildMapObjects({}), nullptr);
    EXPECT_EQ(document->CurrentText(), "Hut");
    EXPECT_EQ(document->SkippedCount(), 1);
}

TEST_F(ShapeDocumentTest, AShapeIsAddedOnceHoweverOftenItIsStepped) {
    auto document = Open(Areas());
    ASSERT_NE(document->BuildMapObjects({}), nullptr);
    EXPECT_TRUE(document->AddCurrent({}));
    document->Rewind();
    document->BuildMapObjects({});
    EXPECT_FALSE(document->AddCurrent({}));
    EXPECT_EQ(document->Added().size(), 1U);
    EXPECT_EQ(document->CurrentIndex(), 3);
}

TEST_F(ShapeDocumentTest, MoreThanTwentyNamesAreWrittenInOrderWithNamesAsComments) {
    Fixture lines(scratch_ / "many", "arc");
    for (int i = 0; i < 24; ++i)
        lines.Add(platform::FormatC("%d 1 %d 2", i, i), i == 3 ? "" : platform::FormatC("Road %d", i));
    ASSERT_TRUE(lines.Ok());
    auto document = Open(lines.Shp());
    document->BuildMapObjects({});
    while (document->CurrentObject()) document->AddCurrent({});
    EXPECT_EQ(document->Groups().size(), kMaxGroupNames);
    EXPECT_EQ(document->Groups()[3], "NONAME");
    prompts_.mapName = scratch_ / "many.map";
    ASSERT_TRUE(document->SaveMapFile(std::nullopt));
    EXPECT_EQ(prompts_.said.back(), "File formatting? Do you want to write object names as comments");
    const std::string map = ReadText(scratch_ / "many.map");
    EXPECT_EQ(map.find("GROUP"), std::string::npos);
    EXPECT_NE(map.find("\r\n;Road 0\r\n1.000000,0,0,-0.000000,0,0,-2\r\n"), std::string::npos);
    EXPECT_NE(map.find("\r\n;\r\n1.000000,0,0,-3.000000,0,0,-2\r\n"), std::string::npos);
    EXPECT_NE(map.find(";Road 23\r\n"), std::string::npos);
}

TEST_F(ShapeDocumentTest, SavingAsksBeforeOverwritingAndStopsWhenToldTo) {
    const fs::path map = scratch_.Write("old.map", "old");
    auto document = Open(Areas());
    document->BuildMapObjects({});
    document->AddCurrent({});
    prompts_.answers = {false};
    EXPECT_FALSE(document->SaveMapFile(map));
    EXPECT_EQ(prompts_.said.back(),
              "File exists? File " + map.string() +
                  " already EXISTS.\nContinuing will OVERWRITE this file.\nDo you want to OVERWRITE this file?");
    prompts_.acceptBounds = false;
    EXPECT_FALSE(document->SaveMapFile(map));
    EXPECT_EQ(ReadText(map), "old");
    prompts_.acceptBounds = true;
    ASSERT_TRUE(document->SaveMapFile(map));
    EXPECT_NE(ReadText(map), "old");
    // The name is kept: a plain save asks nothing more.
    prompts_.said.clear();
    ASSERT_TRUE(document->SaveMapFile(std::nullopt));
    EXPECT_TRUE(prompts_.said.empty());
    EXPECT_EQ(prompts_.namesAsked, 0);
}

TEST_F(ShapeDocumentTest, AMapThatCannotBeWrittenIsReportedAndNothingIsLost) {
    const fs::path folder = scratch_ / "taken.map";
    fs::create_directories(folder / "inside");
    auto document = Open(Areas());
    document->BuildMapObjects({});
    document->AddCurrent({});
    document->SetModified();
    prompts_.answers = {true};
    EXPECT_FALSE(document->SaveMapFile(folder));
    EXPECT_EQ(prompts_.said.back(), "File error: File: " + folder.string() + "\n\ncould NOT be opened");
    EXPECT_TRUE(fs::is_directory(folder / "inside"));
    EXPECT_TRUE(document->IsModified());
    EXPECT_EQ(document->Added().size(), 1U);
}

TEST_F(ShapeDocumentTest, ClosingWithUnsavedAdditionsOffersToSave) {
    auto document = Open(Areas());
    document->BuildMapObjects({});
    document->AddCurrent({});
    document->SetModified();
    prompts_.mapName = scratch_ / "closing.map";
    document->CloseShapefile();
    ASSERT_GE(prompts_.said.size(), 1U);
    EXPECT_EQ(prompts_.said[0],
              "Save file?? File: areas.shp\n\nYou have added to your map since you last saved it.\n"
              "Do you want to save changes to file");
    EXPECT_TRUE(fs::exists(scratch_ / "closing.map"));
    EXPECT_TRUE(document->Added().empty());
    EXPECT_FALSE(document->IsModified());

    auto declined = Open(Areas());
    declined->BuildMapObjects({});
    declined->AddCurrent({});
    declined->SetModified();
    prompts_.answers = {false};
    prompts_.mapName = scratch_ / "declined.map";
    declined->CloseShapefile();
    EXPECT_FALSE(fs::exists(scratch_ / "declined.map"));
}

TEST_F(ShapeDocumentTest, NamesAreWrittenAsTheTableHoldsThem) {
    Fixture points(scratch_ / "names", "point");
    points.Add("1 1", "\xC9" "cole").Add("2 2", "\xC3\x89" "cole");
    ASSERT_TRUE(points.Ok());
    auto document = Open(points.Shp());
    document->BuildMapObjects({});
    EXPECT_EQ(document->CurrentText(), "\xC9" "cole");
    while (document->CurrentObject()) document->AddCurrent({});
    prompts_.mapName = scratch_ / "names.map";
    ASSERT_TRUE(document->SaveMapFile(std::nullopt));
    const std::string map = ReadText(scratch_ / "names.map");
    EXPECT_NE(map.find(",100,\xC9" "cole\r\n"), std::string::npos);
    EXPECT_NE(map.find(",100,\xC3\x89" "cole\r\n"), std::string::npos);
}

// The coordinates written agree with those an independent reader (ogrinfo)
// finds in the same file.
TEST_F(ShapeDocumentTest, WrittenCoordinatesMatchAnIndependentReader) {
    Fixture lines(scratch_ / "check", "arc");
    lines.Add("7.123456 46.654321 -122.5 37.75 + 151.209 -33.868 2.3522 48.8566", "Way");
    ASSERT_TRUE(lines.Ok());
    std::string text = testing::Output("ogrinfo -al -q " + testing::Quote(lines.Shp().string()));
    const auto start = text.find("LINESTRING");
    ASSERT_NE(start, std::string::npos) << text;
    text = text.substr(start + 10);
    std::ranges::replace_if(text, [](char c) { return c == '(' || c == ')' || c == ','; }, ' ');
    std::istringstream words(text);
    std::vector<double> expected;
    double x = 0, y = 0;
    while (words >> x >> y) {
        expected.push_back(y);   // latitude
        expected.push_back(-x);  // minus the longitude
    }
    auto document = Open(lines.Shp());
    document->BuildMapObjects({});
    std::string records;
    document->CurrentObject()->WriteMap(records);
    std::vector<double> written;
    std::istringstream in(records);
    std::string line;
    while (std::getline(in, line)) {
        double lat = 0, lon = 0;
        ASSERT_EQ(std::sscanf(line.c_str(), "%lf,0,0,%lf", &lat, &lon), 2);
        if (line.find(",-2") != std::string::npos && !written.empty() &&
            written[written.size() - 2] == lat && written.back() == lon)
            continue;  // the closing record repeats the part's last vertex
        written.push_back(lat);
        written.push_back(lon);
    }
    ASSERT_EQ(written.size(), expected.size()) << records;
    for (std::size_t i = 0; i < written.size(); ++i) EXPECT_NEAR(written[i], expected[i], 1e-5) << i;
}

}  // namespace
}  // namespace brisvel

namespace brisvel {
namespace {

// Why a shapefile cannot be opened is told; a damaged one (cut short, a
// record whose counts overrun it, a missing or damaged table) is told and
// opened only on Yes.
void WriteBytes(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

std::string Garbage(std::size_t size) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 7919 + 13) % 251);
    return bytes;
}

TEST_F(ShapeDocumentTest, DamagedShapefilesAreToldBeforeTheyAreOpened) {
    struct Case {
        const char* name;
        void (*damage)(const std::string& base);
        std::string said;  // a question when it starts with "Damaged shapefile? "
    } const cases[] = {
        {"cut_shp", [](const std::string& base) { WriteBytes(base + ".shp", ReadText(base + ".shp").substr(0, 300)); },
         "Damaged shapefile? File: cut_shp.shp\nIt holds 300 of the 452 bytes its header claims: it is cut short.\n"
         "Shape 3 lies beyond the end of the file.\nShape 4 lies beyond the end of the file.\n"},
        {"huge_counts",
         [](const std::string& base) {
             std::string shp = ReadText(base + ".shp");
             shp.replace(100 + 8 + 36, 4, std::string("\xFF\xFF\xFF\x7F", 4));  // the parts of shape 1
             WriteBytes(base + ".shp", shp);
         },
         "Damaged shapefile? File: huge_counts.shp\nShape 1 claims 2147483647 parts and 2 points, more than its 80 "
         "bytes hold.\n"},
        {"no_table", [](const std::string& base) { fs::remove(base + ".dbf"); },
         "Damaged shapefile? File: no_table.shp\nIts table no_table.dbf is missing: every name will be empty.\n"},
        {"bad_table", [](const std::string& base) { WriteBytes(base + ".dbf", Garbage(500)); },
         "Damaged shapefile? File: bad_table.shp\nIts table bad_table.dbf is damaged: every name will be empty.\n"},
        {"bad_shp", [](const std::string& base) { WriteBytes(base + ".shp", Garbage(999)); },
         "File Error: File: bad_shp.shp\nIt is not a shapefile: its header is damaged.\n\nThe shapefile cannot be "
         "opened."},
        {"bad_shx", [](const std::string& base) { WriteBytes(base + ".shx", Garbage(300)); },
         "File Error: File: bad_shx.shp\nIts index file bad_shx.shx is damaged or cut short.\n\nThe shapefile cannot "
         "be opened."},
        {"no_shx", [](const std::string& base) { fs::remove(base + ".shx"); },
         "File Error: File: no_shx.shp\nIts index file no_shx.shx is missing.\n\nThe shapefile cannot be opened."},
        {"no_shp", [](const std::string& base) { fs::remove(base + ".shp"); },
         "File Error: File: no_shp.shp\nIt cannot be read.\n\nThe shapefile cannot be opened."},
    };
    const std::string question =
        "\nShapes that are damaged are left out of the map. Do you want to open it all the same?";
    for (const Case& c : cases) {
        const fs::path base = scratch_ / c.name;
        Fixture roads(base, "arc");
        roads.Add("7 46 7.5 46.5", "A").Add("8 46 8.5 46.5", "B").Add("9 46 9.5 46.5", "C").Add("6 46 6.5 46.5", "D");
        ASSERT_TRUE(roads.Ok());
        c.damage(base.string());
        const bool asks = c.said.starts_with("Damaged shapefile? ");
        for (const bool yes : {false, true}) {
            SCOPED_TRACE(std::string(c.name) + (yes ? " (Yes)" : " (No)"));
            prompts_.said.clear();
            prompts_.answers = {yes};
            CShapeDocument document(frame_, prompts_);
            EXPECT_EQ(document.OpenShapefile(roads.Shp()), asks && yes);
            ASSERT_EQ(prompts_.said.size(), 1u);
            EXPECT_EQ(prompts_.said[0], asks ? c.said + question : c.said);
            if (asks && yes) {
                // What opens steps through its sound shapes; names come only from a sound table.
                ASSERT_NE(document.BuildMapObjects({}), nullptr);
                const bool named = std::string(c.name) != "no_table" && std::string(c.name) != "bad_table";
                EXPECT_EQ(document.CurrentText().empty(), !named);
            }
        }
    }
}

}  // namespace
}  // namespace brisvel
