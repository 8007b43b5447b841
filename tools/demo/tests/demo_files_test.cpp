// The demo data read back through the program's own readers.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "core/settings_values.h"
#include "glide/polar_file.h"
#include "mapdata/grid_header.h"
#include "mapdata/mapped_grid.h"
#include "mapdata/text_map_reader.h"
#include "nav/task_file.h"
#include "nav/task_model.h"
#include "nav/waypoint_file.h"
#include "nav/waypoint_map_elements.h"
#include "platform/utf.h"
#include "testing/scratch_folder.h"
#include "tools/demo/demo_files.h"
#include "tools/demo/demo_region.h"

namespace demo {
namespace {

namespace fs = std::filesystem;
constexpr double kRadPerDeg = 3.14159265358979323846 / 180.0;
constexpr double kGridFeetPerMetre = 3.2809;

// The data set is written once for all tests of this file.
class DemoFiles : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        folder_ = new test_support::ScratchFolder("demo");
        WriteDemoData(folder_->Path());
    }
    static void TearDownTestSuite() {
        delete folder_;
        folder_ = nullptr;
    }
    static fs::path Data(const std::string& name) { return LayoutOf(folder_->Path()).data / name; }
    static std::string Read(const fs::path& path) {
        std::ifstream file(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    }
    static inline test_support::ScratchFolder* folder_ = nullptr;
};

TEST_F(DemoFiles, GridGivesTheRidgeHillsAndSeaThroughTheElevationModel) {
    const auto header = mapdata::ParseGridHeader(Read(Data("demo_terrain.hdr")));
    ASSERT_TRUE(header);
    EXPECT_EQ(header->extent.rows, kGridRows);
    EXPECT_EQ(header->extent.columns, kGridColumns);
    EXPECT_TRUE(header->littleEndian);
    EXPECT_NEAR(header->highest, 1400.0, 2.0);  // the ridge's crest
    const fs::path grid = mapdata::GridFilePath(Data("demo_terrain.hdr"), *header);
    EXPECT_EQ(grid.filename(), "demo_terrain.bin");
    const auto model = mapdata::MappedGrid::Open(grid, *header);
    ASSERT_TRUE(model);
    // About 9 seconds a cell: some 280 m north-south.
    EXPECT_NEAR(model->Geometry().CellHeightKm(), 0.278, 0.01);

    const auto metresAt = [&model](LocalPoint p) {
        const LatLon at = ToLatLon(p);
        const auto feet = model->GetElevationAt(-at.longitude * kRadPerDeg, at.latitude * kRadPerDeg);
        return feet ? *feet / kGridFeetPerMetre : -1.0;
    };
    const Ridge& ridge = TheRidge();
    const LocalPoint middle{(ridge.from.east + ridge.to.east) / 2, (ridge.from.north + ridge.to.north) / 2};
    EXPECT_NEAR(metresAt(middle), 1400.0, 60.0);
    // Along the crest the height falls towards both ends.
    for (const double t : {0.25, 0.75}) {
        const LocalPoint p{ridge.from.east + t * (ridge.to.east - ridge.from.east),
                           ridge.from.north + t * (ridge.to.north - ridge.from.north)};
        EXPECT_GT(metresAt(p), 1100.0);
        EXPECT_LT(metresAt(p), 1400.0);
    }
    for (const Hill& hill : Hills()) {
        EXPECT_GE(metresAt(hill.at), 280.0);
        EXPECT_LE(metresAt(hill.at), 910.0);
    }
    EXPECT_NEAR(metresAt(Airfields().front().at), 40.0, 0.6);
    EXPECT_EQ(metresAt({58.0, 2.0}), 0.0);  // open sea
}

TEST_F(DemoFiles, WaypointsReadBackWithMarkersAndAttachments) {
    core::g_soundFolder.Set(platform::FromUtf8((LayoutOf(folder_->Path()).sounds / "").string()));
    nav::CWaypointFile file;
    ASSERT_TRUE(file.OpenWaypoints(platform::FromUtf8(Data("demo_waypoints.dta").string()),
                                   core::OpenMode::kRead));
    EXPECT_TRUE(file.AltitudesInMetres());
    std::map<std::string, nav::WaypointRecord> records;
    std::map<std::string, nav::MapExtension> symbols;
    std::uint64_t position = file.DataStart();
    std::uint64_t lineStart = 0;
    nav::WaypointRecord record;
    nav::MapExtension extension{};
    int count = 0;
    while (file.ReadWaypoint(position, record, lineStart, &extension) == nav::CWaypointFile::kRead) {
        ++count;
        const std::string name = platform::ToUtf8(std::wstring(record.name.View()));
        EXPECT_TRUE(name.starts_with("Demo ")) << name;
        records[name] = record;
        symbols[name] = extension;
    }
    // Fields and turn points carry a map symbol, so the map draws them;
    // the other points do not.
    const std::pair<const char*, float> drawn[] = {{"Demo Home Field", 1.0F},
                                                   {"Demo North Airfield", 1.0F},
                                                   {"Demo Field Bay", 3.0F},
                                                   {"Demo Turn East", 13.0F},
                                                   {"Demo Turn North", 13.0F},
                                                   {"Demo Buoy 1", 0.0F}};
    for (const auto& [name, symbol] : drawn) {
        EXPECT_EQ(symbols.at(name)[0], symbol) << name;
        EXPECT_EQ(nav::WantsMapElement(symbols.at(name)), symbol > 0.0F) << name;
    }
    EXPECT_EQ(count, WaypointCount());
    EXPECT_EQ(records.size(), static_cast<std::size_t>(count));  // names are unique
    EXPECT_GE(count, 35);

    const nav::WaypointRecord& home = records.at("Demo Home Field");
    EXPECT_TRUE(home.HasMarker());
    EXPECT_NEAR(home.altitude, 40.0 * 3.2808, 0.5);
    EXPECT_NEAR(home.latitude / kRadPerDeg, ToLatLon(Airfields().front().at).latitude, 1e-5);
    EXPECT_NEAR(home.longitude / kRadPerDeg, -ToLatLon(Airfields().front().at).longitude, 1e-5);
    EXPECT_FALSE(records.at("Demo North Airfield").HasMarker());
    int landable = 0;
    for (const auto& [name, r] : records) landable += r.HasMarker() ? 1 : 0;
    EXPECT_EQ(landable, 7);  // home and six outlanding fields

    const auto& lighthouse = records.at("Demo Lighthouse").attachments;
    EXPECT_EQ(lighthouse.comment, L"Demo lighthouse on the home island\r\nwhite tower, red top");
    EXPECT_EQ(lighthouse.image, platform::FromUtf8(kPictureName));
    const auto& bell = records.at("Demo Bell Buoy").attachments;
    EXPECT_EQ(bell.sound, platform::FromUtf8(kSoundName));
    EXPECT_FALSE(bell.comment.empty());
}

TEST_F(DemoFiles, TaskIsATriangleWithStartLineAndCylinders) {
    nav::CTaskList list;
    const nav::TaskFileLoad load =
        nav::LoadTaskFile(platform::FromUtf8(Data("demo_task.tsk").string()), list);
    ASSERT_TRUE(load.opened);
    EXPECT_FALSE(load.stoppedEarly);
    ASSERT_EQ(list.size(), 1U);
    const nav::CTask* task = list.FindByName(platform::FromUtf8(kTaskName));
    ASSERT_NE(task, nullptr);
    ASSERT_EQ(task->points.size(), 4U);
    const auto& p = task->points;
    EXPECT_TRUE(p[0]->IsStartRole());
    EXPECT_NEAR(p[0]->lineHalfWidth, 2.5F, 1e-6);
    EXPECT_NEAR(p[0]->sectorDirection, 120.0F, 0.01);
    for (const int i : {1, 2}) {
        EXPECT_EQ(p[i]->pointKind, nav::kKindTurnpoint);
        EXPECT_EQ(p[i]->hasCylinder, 1);
        EXPECT_NEAR(p[i]->cylinderRadius, 0.5F, 1e-6);
    }
    EXPECT_TRUE(p[3]->IsFinishRole());
    EXPECT_EQ(p[3]->hasCylinder, 1);
    EXPECT_NEAR(p[3]->cylinderRadius, 1.0F, 1e-6);
    EXPECT_EQ(p[0]->name, L"Demo Home Field");
    const LatLon tp1 = ToLatLon(TheTask().turnpoint1);
    EXPECT_NEAR(p[1]->latitude / kRadPerDeg, tp1.latitude, 1e-6);
    EXPECT_NEAR(p[1]->longitude / kRadPerDeg, -tp1.longitude, 1e-6);
    // An FAI triangle of about 100 km: no leg shorter than 28 % of the sum.
    const Task& t = TheTask();
    const double legs[] = {DistanceKm(t.start, t.turnpoint1), DistanceKm(t.turnpoint1, t.turnpoint2),
                           DistanceKm(t.turnpoint2, t.finish)};
    const double sum = legs[0] + legs[1] + legs[2];
    EXPECT_NEAR(sum, 100.0, 6.0);
    for (const double leg : legs) EXPECT_GE(leg / sum, 0.28);
}

TEST_F(DemoFiles, PolarFitsTheGlidersCurve) {
    const auto contents = glide::ParsePolarFile(Read(Data("demo_glider.plr")));
    ASSERT_TRUE(contents);
    EXPECT_EQ(contents->unitSet, 2);
    EXPECT_EQ(contents->points.size(), 12U);
    const auto fit = glide::FitPolarContents(*contents, 40.0F);
    ASSERT_TRUE(fit);
    constexpr double kKmhPerKnot = 1.852, kMsPerKnot = 0.514444;
    for (const double kmh : {80.0, 110.0, 140.0}) {
        const double v = kmh / kKmhPerKnot;
        const double sinkKnots = fit->a + fit->b * v + fit->c * v * v;
        EXPECT_NEAR(sinkKnots * kMsPerKnot, PolarSinkMs(kmh), 0.02) << kmh;
    }
    // A standard-class glider: best glide near 42.
    const double best = fit->bestGlideSpeed;
    const double sink = fit->a + fit->b * best + fit->c * best * best;
    EXPECT_NEAR(best / sink, 42.0, 2.0);
}

// The text map line by line, as its reader takes records: the header's
// corners, radius and scale; each record's six position fields and code.
struct MapRecord {
    double latitude;
    double longitudeWest;
    int code;
    std::string text;
    bool hasText;
};

double FileDegrees(const std::string& d, const std::string& m, const std::string& s) {
    const double deg = std::stod(d);
    const double rest = (std::stod(m) + std::stod(s) / 60.0) / 60.0;
    return deg < 0.0 || d.starts_with("-") ? deg - rest : deg + rest;
}

std::vector<std::string> Split(const std::string& line, std::size_t count) {
    std::vector<std::string> fields;
    std::size_t from = 0;
    while (fields.size() + 1 < count) {
        const std::size_t comma = line.find(',', from);
        if (comma == std::string::npos) break;
        fields.push_back(line.substr(from, comma - from));
        from = comma + 1;
    }
    fields.push_back(line.substr(from));
    return fields;
}

struct MapShape {
    std::string header;
    std::vector<MapRecord> records;
    std::vector<std::string> notes;  // lines read raw after a '\' limits record
    std::vector<std::string> includes;
    int scaleLines = 0;
};

MapShape ReadShape(const std::string& text) {
    MapShape shape;
    std::vector<std::string> lines;
    for (std::size_t from = 0; from < text.size();) {
        const std::size_t end = text.find('\n', from);
        std::string line = text.substr(from, end - from);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
        from = end == std::string::npos ? text.size() : end + 1;
    }
    shape.header = lines.front();
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        if (line.empty() || line[0] == ';') continue;  // the reader skips comments
        if (line[0] == '*') { ++shape.scaleLines; continue; }
        if (line[0] == '?') { shape.includes.push_back(line.substr(1)); continue; }
        const std::vector<std::string> f = Split(line, 8);
        EXPECT_GE(f.size(), 7U) << line;
        if (f.size() < 7) continue;
        MapRecord r{FileDegrees(f[0], f[1], f[2]), FileDegrees(f[3], f[4], f[5]), std::stoi(f[6]),
                    f.size() > 7 ? f[7] : "", f.size() > 7};
        shape.records.push_back(r);
        if (r.code == -7 && r.text.ends_with("\\")) shape.notes.push_back(lines.at(++i));
    }
    return shape;
}

TEST_F(DemoFiles, MapHoldsEveryRecordShapeInTheTextMapFormat) {
    const MapShape map = ReadShape(Read(Data("demo_map.map")));
    // Header: two corners, radius 10 km, scale 60.
    EXPECT_EQ(std::count(map.header.begin(), map.header.end(), ','), 13);
    EXPECT_TRUE(map.header.ends_with(",10K,60"));
    EXPECT_EQ(map.scaleLines, 1);
    ASSERT_EQ(map.includes, std::vector<std::string>{kIncludeName});
    EXPECT_TRUE(fs::exists(Data(kIncludeName)));

    std::map<int, int> codes;
    int zoneNames = 0, hidden = 0, type17 = 0, type27 = 0, zoneCircles = 0, elevations = 0;
    for (const MapRecord& r : map.records) {
        ++codes[r.code];
        // Every position lies in the made-up region, south and west.
        const LocalPoint p = ToLocal({r.latitude, -r.longitudeWest});
        EXPECT_GE(p.east, -0.01);
        EXPECT_LE(p.east, kRegionWidthKm + 0.01);
        EXPECT_GE(p.north, -0.01);
        EXPECT_LE(p.north, kRegionHeightKm + 0.01);
        if (r.code != -1 && r.code != -2 && r.code != -3 && r.code > -11) {
            EXPECT_TRUE(r.hasText) << r.code;  // the reader skips these without a text
        }
        if (r.code == -5 && r.text.ends_with("#!")) ++zoneNames;
        if (r.code == -7 && r.text[r.text.find('M') + 1] == 'H') ++hidden;
        if (r.code == -2 && r.text.starts_with("17,")) ++type17;
        if (r.code >= 1 && r.text.find(",27,") != std::string::npos) ++type27;
        if (r.code >= 1 && r.text.starts_with("@-")) ++zoneCircles;
        if (r.code >= 1 && r.text.starts_with("^")) ++elevations;
    }
    EXPECT_EQ(codes[-7], 4);  // four zones, each with its limits ...
    EXPECT_EQ(map.notes.size(), 4U);  // ... and a note
    EXPECT_EQ(hidden, 1);
    EXPECT_EQ(zoneNames, 2);    // the polygon and the one bounded by arcs
    EXPECT_EQ(codes[-6], 2);    // its two arcs
    EXPECT_EQ(zoneCircles, 2);  // two circles
    EXPECT_EQ(type17, 1);
    EXPECT_EQ(type27, 1);
    EXPECT_EQ(codes[-4], 1);
    EXPECT_GE(codes[-5], 1);
    EXPECT_GE(codes[3], 3);
    EXPECT_EQ(elevations, 2);
    EXPECT_GT(codes[-3], 0);  // roads
    EXPECT_GT(codes[-1], 0);  // railway, lake, zone outlines
    for (const std::string& note : map.notes) EXPECT_TRUE(note.starts_with(";Demo ")) << note;

    // The polygon zone's corners are where the region puts them.
    const Zone& alpha = Zones().front();
    const auto first = std::find_if(map.records.begin(), map.records.end(),
                                    [](const MapRecord& r) { return r.code == -7; });
    const LatLon corner = ToLatLon(alpha.outline.front());
    EXPECT_NEAR(first->latitude, corner.latitude, 1e-5);
    EXPECT_NEAR(first->longitudeWest, -corner.longitude, 1e-5);

    for (const char* other : {kIncludeName, "demo_overlay.map"}) {
        const MapShape shape = ReadShape(Read(Data(other)));
        EXPECT_EQ(shape.header, map.header) << other;
        EXPECT_FALSE(shape.records.empty()) << other;
    }
}

// The flight computer's map reader takes the demo map with its include:
// the four zones, the type-17 and type-27 elements, and the rest in the
// general list; the overlay reads too.
TEST_F(DemoFiles, TheFlightComputersReaderLoadsTheMaps) {
    mapdata::MapReadContext map;
    ASSERT_TRUE(mapdata::ReadMapAt(Data("demo_map.map"), map));
    EXPECT_EQ(map.longLinesSkipped, 0U);
    EXPECT_EQ(map.zones.size(), 4U);
    EXPECT_EQ(map.symbols17.size(), 1U);
    EXPECT_EQ(map.symbols27.size(), 1U);
    EXPECT_GT(map.general.size(), 10U);
    mapdata::MapReadContext overlay;
    ASSERT_TRUE(mapdata::ReadMapAt(Data("demo_overlay.map"), overlay));
    EXPECT_FALSE(overlay.general.empty() && overlay.zones.empty());
}

TEST_F(DemoFiles, SoundsAndPictureAreWellFormed) {
    const fs::path sounds = LayoutOf(folder_->Path()).sounds;
    for (const char* name : {"korvn!lt.wav", "korvn!fs.wav", "korvn!sl.wav", kSoundName}) {
        const std::string wav = Read(sounds / name);
        ASSERT_GT(wav.size(), 44U) << name;
        EXPECT_EQ(wav.substr(0, 4), "RIFF");
        EXPECT_EQ(wav.substr(8, 8), "WAVEfmt ");
        const auto le32 = [&wav](std::size_t at) {
            return static_cast<unsigned char>(wav[at]) | static_cast<unsigned char>(wav[at + 1]) << 8 |
                   static_cast<unsigned char>(wav[at + 2]) << 16 |
                   static_cast<unsigned>(static_cast<unsigned char>(wav[at + 3])) << 24;
        };
        EXPECT_EQ(le32(4), wav.size() - 8);
        EXPECT_EQ(le32(40), wav.size() - 44);
    }
    const std::string bmp = Read(sounds / kPictureName);
    EXPECT_EQ(bmp.substr(0, 2), "BM");
    EXPECT_EQ(bmp.size(), 54U + 64 * 48 * 3);
}

TEST_F(DemoFiles, WritingAgainGivesTheSameBytes) {
    const test_support::ScratchFolder again("demo-again");
    WriteDemoData(again.Path());
    for (const char* name : {"demo_terrain.bin", "demo_map.map", "demo_flight.nmea", "demo_task.tsk"})
        EXPECT_EQ(Read(LayoutOf(again.Path()).data / name), Read(Data(name))) << name;
}

}  // namespace
}  // namespace demo
