// The map file object: headers, coordinates, the projection (checked against
// PROJ's gnomonic projection), default headers, dropped waypoints and
// reading a record at an offset.
#include "mapdata/map_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <numbers>
#include <sstream>

#include "core/waypoint_course.h"
#include "mapdata/binary_map.h"
#include "mapdata/text_map_reader.h"
#include "platform/numbers.h"
#include "platform/utf.h"
#include "testing/comma_locale.h"
#include "testing/scratch_folder.h"
#include "testing/units.h"

namespace mapdata {
namespace {

using test_support::kRadiansPerDegree;


std::string ReadAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::wstring W(const std::filesystem::path& p) { return platform::FromUtf8(p.string()); }

struct HeaderCase {
    const char* header;
    HeaderResult result;
    wchar_t letter;
    float factor;
    float radiusMiles;
    bool scaleIsCornerDistance;
};

TEST(MapFileHeaderTest, HeadersGiveUnitRadiusAndScaleOrAreRefused) {
    const HeaderCase cases[] = {
        {"52,0,0,-5,0,0,51,0,0,-4,0,0,10N,0", HeaderResult::kRead, L'N', 1.852F / 1.609F,
         10.0F * 1.852F / 1.609F, true},
        {"52,0,0,-5,0,0,51,0,0,-4,0,0,12K,0", HeaderResult::kRead, L'K', 1.0F / 1.609F,
         12.0F / 1.609F, true},
        {"52,0,0,-5,0,0,51,0,0,-4,0,0,10M,25.5", HeaderResult::kRead, L'M', 1.0F, 10.0F, false},
        {"52,0,0,-5,0,0,51,0,0,-4,0,0,10X,-3", HeaderResult::kRead, L'M', 1.0F, 10.0F, true},
        {"52,0,0,-5,0,0,51,0,0,-4,0,0,10", HeaderResult::kRead, L'M', 1.0F, 10.0F, true},
        {"52,0,0,-5,0,0,51,0,0,-4,0,0", HeaderResult::kRefused, 0, 0, 0, false},      // 11 commas
        {"52,0,0,-5,0,0,51,0,0,-4,0,0,N,3", HeaderResult::kRefused, 0, 0, 0, false},  // no radius
        {"52,0,0,-5,0,0,52,0,0,-5,0,0,10M,1", HeaderResult::kRefused, 0, 0, 0, false},  // one point
        {"52,0,0,-5,x,0,51,0,0,-4,0,0,10M,1", HeaderResult::kUnreadable, 0, 0, 0, false},
        {"; only a comment", HeaderResult::kUnreadable, 0, 0, 0, false},
    };
    test_support::ScratchFolder folder("mapfile");
    for (const HeaderCase& c : cases) {
        SCOPED_TRACE(c.header);
        const auto path = folder.Write("h.map", std::string(c.header) + "\r\n");
        CMapFile file;
        ASSERT_TRUE(file.Open(W(path), core::OpenMode::kRead));
        ASSERT_EQ(file.ReadHeader(), c.result);
        if (c.result != HeaderResult::kRead) continue;
        EXPECT_EQ(file.UnitLetter(), c.letter);
        EXPECT_FLOAT_EQ(file.UnitFactor(), c.factor);
        EXPECT_FLOAT_EQ(file.HeaderRadius(), c.radiusMiles);
        const nav::WaypointRecord a(52 * kRadiansPerDegree, -5 * kRadiansPerDegree, false);
        const nav::WaypointRecord b(51 * kRadiansPerDegree, -4 * kRadiansPerDegree, false);
        EXPECT_FLOAT_EQ(file.CornerDistance(), nav::CourseAndDistance(a, b) / 1.609F);
        EXPECT_FLOAT_EQ(file.Scale(), c.scaleIsCornerDistance ? file.CornerDistance() : 25.5F);
        // The centre is the mean of the corners' latitudes and longitudes.
        EXPECT_NEAR(file.Centre().latitude, 51.5 * kRadiansPerDegree, 1e-12);
        EXPECT_NEAR(file.Centre().longitude, -4.5 * kRadiansPerDegree, 1e-12);
        EXPECT_TRUE(file.HasScale());
    }
}

TEST(MapFileHeaderTest, TheHeaderTextIsKeptToFiveHundredTenCharacters) {
    test_support::ScratchFolder folder("mapfile");
    const std::string header = "52,0,0,-5,0,0,51,0,0,-4,0,0,10M,1," + std::string(600, 'x');
    CMapFile file;
    ASSERT_TRUE(file.Open(W(folder.Write("h.map", header + "\n")), core::OpenMode::kRead));
    ASSERT_EQ(file.ReadHeader(), HeaderResult::kRead);
    EXPECT_EQ(file.HeaderText().size(), kHeaderTextLimit);
}

struct CoordinateCase {
    const wchar_t* text;
    CoordinateResult result;
    double latDeg;
    double lonWestDeg;
};

TEST(MapFileCoordinatesTest, GroupsReadByTheCoordinateRule) {
    const CoordinateCase cases[] = {
        {L"52,30,0,190,0,0,-1", CoordinateResult::kParsed, 52.5, -170.0},
        {L"-0,30,0,5,15,0,1", CoordinateResult::kParsed, -0.5, 5.25},
        {L"-12,30,0,-0,0,36,1", CoordinateResult::kParsed, -12.5, -0.01},
        {L"52,30,0,10,0,0", CoordinateResult::kParsed, 52.5, 10.0},
        {L"52,x,0,10,0,0,1", CoordinateResult::kNotThreeNumbers, 0, 0},
        {L"52,0,0", CoordinateResult::kTextEnds, 0, 0},
        // UTM: zone -33 is south of the equator; zone 61 means nothing.
        {L"361,0,0,6000000,-33,500000,1", CoordinateResult::kParsed, -36.1447181, -15.0},  // cs2cs
        {L"361,0,0,6000000,61,500000,1", CoordinateResult::kNotThreeNumbers, 0, 0},
    };
    for (const CoordinateCase& c : cases) {
        SCOPED_TRACE(platform::ToUtf8(c.text));
        const ParsedCoordinates p = ParseCoordinates(c.text);
        ASSERT_EQ(p.result, c.result);
        if (c.result != CoordinateResult::kParsed) continue;
        EXPECT_NEAR(p.latitude / kRadiansPerDegree, c.latDeg, 1e-6);
        EXPECT_NEAR(p.lonWest / kRadiansPerDegree, c.lonWestDeg, 1e-9);
    }
}

// (x, y) of PROJ's gnomonic projection on the unit sphere, x east.
std::vector<std::pair<double, double>> ProjGnomonic(double lat0, double lonEast0,
                                                    const std::vector<std::pair<double, double>>& lonLat) {
    test_support::ScratchFolder folder("proj");
    std::string input;
    for (const auto& [lon, lat] : lonLat) input += platform::FormatC("%.15f %.15f\n", lon, lat);
    const auto in = folder.Write("in.txt", input);
    const std::string command = platform::FormatC(
        "proj +proj=gnom +R=1 +lat_0=%.15f +lon_0=%.15f -f %%.17g < %s", lat0, lonEast0,
        in.c_str());
    std::vector<std::pair<double, double>> out;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return out;
    double x = 0.0;
    double y = 0.0;
    while (std::fscanf(pipe, "%lf %lf", &x, &y) == 2) out.emplace_back(x, y);
    ::pclose(pipe);
    return out;
}

TEST(MapFileProjectionTest, GnomonicProjectionAgreesWithProj) {
    if (std::system("command -v proj > /dev/null 2>&1") != 0) GTEST_SKIP() << "proj-bin missing";
    const double centres[][2] = {{51.5, 4.5}, {-33.0, 151.0}, {0.0, -179.5}, {78.0, 15.0}};
    for (const auto& centre : centres) {
        SCOPED_TRACE(centre[0]);
        CMapFile file;
        file.SetCenter(nav::WaypointRecord(centre[0] * kRadiansPerDegree, -centre[1] * kRadiansPerDegree, false));
        std::vector<std::pair<double, double>> points;  // lon east, lat
        for (int i = -3; i <= 3; ++i) {
            for (int j = -3; j <= 3; ++j) points.emplace_back(centre[1] + 1.7 * i, centre[0] + 1.3 * j);
        }
        const auto expected = ProjGnomonic(centre[0], centre[1], points);
        ASSERT_EQ(expected.size(), points.size());
        for (std::size_t n = 0; n < points.size(); ++n) {
            const nav::WaypointRecord p(points[n].second * kRadiansPerDegree, -points[n].first * kRadiansPerDegree, false);
            double x = 0.0;
            double y = 0.0;
            file.ProjectExact(p, x, y);
            // Our x grows westward.
            const double ex = -expected[n].first;
            const double ey = expected[n].second;
            EXPECT_NEAR(x, ex, 1e-9 * std::max(1.0, std::fabs(ex)));
            EXPECT_NEAR(y, ey, 1e-9 * std::max(1.0, std::fabs(ey)));
            float fx = 0.0F;
            float fy = 0.0F;
            file.Project(p, fx, fy);
            EXPECT_NEAR(fx, ex, 1e-6 * std::max(1.0, std::fabs(ex)));
            EXPECT_NEAR(fy, ey, 1e-6 * std::max(1.0, std::fabs(ey)));
        }
    }
}

TEST(MapFileProjectionTest, TheCentreIsTheOriginAndRotationTurnsTheAxes) {
    CMapFile file;
    const nav::WaypointRecord centre(47 * kRadiansPerDegree, -8 * kRadiansPerDegree, false);
    file.SetCenter(centre);
    float x = 1.0F;
    float y = 1.0F;
    file.Project(centre, x, y);
    EXPECT_NEAR(x, 0.0F, 1e-7);
    EXPECT_NEAR(y, 0.0F, 1e-7);
    // A point east of the centre: x < 0 (x grows westward); at 90 degrees
    // the rotation (cos, sin, -sin, cos) carries it to positive y.
    const nav::WaypointRecord east(47 * kRadiansPerDegree, -8.1 * kRadiansPerDegree, false);
    file.Project(east, x, y);
    EXPECT_LT(x, 0.0F);
    EXPECT_NEAR(y, 0.0F, 1e-5);
    file.SetRotation(90.0, true);
    float rx = 0.0F;
    float ry = 0.0F;
    file.Project(east, rx, ry);
    EXPECT_NEAR(rx, 0.0F, 1e-6);
    EXPECT_NEAR(ry, -x, 1e-6);
}

TEST(MapFileProjectionTest, ScreenToUnitVectorInvertsProjectToScreen) {
    for (const double rotation : {0.0, 37.0, 180.0}) {
        SCOPED_TRACE(rotation);
        CMapFile file;
        file.SetCenter(nav::WaypointRecord(46.5 * kRadiansPerDegree, -7.25 * kRadiansPerDegree, false));
        file.SetRotation(rotation, true);
        const MapDrawState state = file.DrawState(240.0F, 320.0F, 3000.0F);
        for (const double dLat : {-0.05, 0.0, 0.07}) {
            for (const double dLon : {-0.08, 0.0, 0.06}) {
                const nav::WaypointRecord p((46.5 + dLat) * kRadiansPerDegree, (-7.25 + dLon) * kRadiansPerDegree, false);
                const UnitVector v{static_cast<float>(p.x), static_cast<float>(p.y),
                                   static_cast<float>(p.z)};
                const ScreenPoint s = ProjectToScreen(state, v);
                // The screen transform is the file's projection, scaled.
                float x = 0.0F;
                float y = 0.0F;
                file.Project(p, x, y);
                EXPECT_NEAR(s.x, 240.0F - 3000.0F * x, 1e-3);
                EXPECT_NEAR(s.y, 320.0F - 3000.0F * y, 1e-3);
                const UnitVector back = ScreenToUnitVector(state, s.x, s.y);
                EXPECT_NEAR(back.x, v.x, 2e-6);
                EXPECT_NEAR(back.y, v.y, 2e-6);
                EXPECT_NEAR(back.z, v.z, 2e-6);
            }
        }
    }
}

TEST(MapFileProjectionTest, BoundsAroundACentreProjectSymmetrically) {
    CMapFile file;
    nav::WaypointRecord corner1;
    nav::WaypointRecord corner2;
    const double angle = 16.0 / 6371.0;
    file.SetBoundsAround(nav::WaypointRecord(52 * kRadiansPerDegree, -5 * kRadiansPerDegree, false), angle, angle, corner1,
                         corner2, true);
    EXPECT_NEAR(file.Corner1X(), -angle, 1e-6);
    EXPECT_NEAR(file.Corner1Y(), -angle, 1e-6);
    EXPECT_NEAR(file.Corner2X(), angle, 1e-6);
    EXPECT_NEAR(file.Corner2Y(), angle, 1e-6);
    // Corner 1 is south and east (x grows westward), corner 2 north and west.
    EXPECT_LT(corner1.latitude, corner2.latitude);
    EXPECT_LT(corner1.longitude, corner2.longitude);
    EXPECT_FLOAT_EQ(file.Scale(), nav::CourseAndDistance(corner1, corner2) / 1.609F);
    EXPECT_FLOAT_EQ(file.HeaderScale(), file.Scale());
}

TEST(MapFileWriteTest, ANewEmptyMapGetsTheDefaultHeaderInTheCLocale) {
    const test_support::CommaLocale comma;
    if (!comma.Active()) GTEST_SKIP() << "de_DE.UTF-8 is not installed";
    test_support::ScratchFolder folder("mapfile");
    MapFileChoice choice;
    choice.haveFix = true;
    choice.position = nav::WaypointRecord(52 * kRadiansPerDegree, -5 * kRadiansPerDegree, false);
    choice.mapRadius = 16.0;
    choice.earthRadiusInUnit = 6371.0;
    const auto path = folder / "new.map";
    CMapFile file;
    ASSERT_EQ(file.ChooseMapFile(W(path), false, choice), ChooseResult::kOpened);
    ASSERT_TRUE(file.WritePointRecord(nav::WaypointRecord(52.01 * kRadiansPerDegree, -5.02 * kRadiansPerDegree, false)));
    file.Close();
    const std::string text = ReadAll(path);
    EXPECT_EQ(text,
              "51.856,0,0,-5.233,0,0,52.144,0,0,-4.766,0,0,10M,28.13\r\n"
              "52.0100000, 0, 0,-5.0200000, 0, 0, -11\r\n");
    CMapFile again;
    ASSERT_TRUE(again.Open(W(path), core::OpenMode::kRead));
    EXPECT_EQ(again.ReadHeader(), HeaderResult::kRead);
}

TEST(MapFileWriteTest, AnEmptyFileWithoutAFixIsDeleted) {
    test_support::ScratchFolder folder("mapfile");
    const auto path = folder.Write("empty.map", "");
    CMapFile file;
    EXPECT_EQ(file.ChooseMapFile(W(path), true, MapFileChoice{}), ChooseResult::kEmptyWithoutFix);
    EXPECT_FALSE(std::filesystem::exists(path));
    MapFileChoice cancel;
    cancel.chooser = [] { return std::optional<std::wstring>(); };
    EXPECT_EQ(file.ChooseMapFile(L"", true, cancel), ChooseResult::kCancelled);
}

TEST(MapFileWriteTest, DroppedWaypointsGetFallingCodesInTheFilesEncoding) {
    test_support::ScratchFolder folder("mapfile");
    const std::string header = "52,0,0,-5,0,0,51,0,0,-4,0,0,10M,1";
    struct EncodingCase {
        const char* name;
        std::string bytes;  // the file before, its last line without a line end
        std::string (*encode)(const std::string&);
    };
    const auto ascii = [](const std::string& s) { return s; };
    const auto utf16le = [](const std::string& s) {
        std::string out;
        for (const char c : s) {
            out += c;
            out += '\0';
        }
        return out;
    };
    const EncodingCase cases[] = {
        {"utf8", header, +ascii},
        {"utf16", std::string("\xFF\xFE", 2) + utf16le(header), +utf16le},
    };
    for (const EncodingCase& c : cases) {
        SCOPED_TRACE(c.name);
        const auto path = folder.Write(std::string(c.name) + ".map", c.bytes);
        CMapFile file;
        ASSERT_EQ(file.ChooseMapFile(W(path), true, MapFileChoice{}), ChooseResult::kOpened);
        ASSERT_EQ(file.ReadHeader(), HeaderResult::kRead);
        for (int i = 0; i < 3; ++i) {
            ASSERT_TRUE(file.WritePointRecord(nav::WaypointRecord(51.5 * kRadiansPerDegree, -4.25 * kRadiansPerDegree, false)));
        }
        EXPECT_EQ(file.NextPointCode(), -13);
        file.Close();
        // The last line had no line end: the first record starts with one.
        EXPECT_EQ(ReadAll(path), c.bytes + c.encode("\r\n51.5000000, 0, 0,-4.2500000, 0, 0, -11\r\n"
                                                    "51.5000000, 0, 0,-4.2500000, 0, 0, -12\r\n"
                                                    "51.5000000, 0, 0,-4.2500000, 0, 0, -13\r\n"));
    }
}

TEST(MapFileWriteTest, AReadOnlyMapOpensButRefusesDroppedWaypoints) {
    test_support::ScratchFolder folder("mapfile");
    std::filesystem::path path = folder.Write("ro.map", "52,0,0,-5,0,0,51,0,0,-4,0,0,10M,1\r\n");
    ::chmod(path.c_str(), 0444);
    if (::geteuid() == 0) {
        // Root writes any file; a read-only kernel attribute refuses it too.
        path = "/sys/kernel/mm/transparent_hugepage/hpage_pmd_size";
        if (::access(path.c_str(), R_OK) != 0) GTEST_SKIP() << "no read-only file for root";
    }
    CMapFile file;
    ASSERT_EQ(file.ChooseMapFile(W(path), true, MapFileChoice{}), ChooseResult::kOpened);
    EXPECT_TRUE(file.IsReadOnly());
    EXPECT_FALSE(file.WritePointRecord(nav::WaypointRecord(51.5 * kRadiansPerDegree, -4.5 * kRadiansPerDegree, false)));
}

TEST(MapFileWriteTest, ABinaryMapTakesDroppedWaypointsBeforeANewEndMarker) {
    test_support::ScratchFolder folder("mapfile");
    const auto path = folder / "m.gpm";
    const ElementList none;
    ASSERT_TRUE(WriteBinaryMap({none, none, none, none}, L"52,0,0,-5,0,0,51,0,0,-4,0,0,10M,1", path));
    CMapFile file;
    ASSERT_EQ(file.ChooseMapFile(W(path), true, MapFileChoice{}), ChooseResult::kOpened);
    ASSERT_EQ(file.ReadHeader(), HeaderResult::kRead);
    ASSERT_TRUE(file.IsBinary());
    // Before a read found the end, nothing is appended (never at offset 0).
    EXPECT_FALSE(file.WritePointRecord(nav::WaypointRecord(51.5 * kRadiansPerDegree, -4.5 * kRadiansPerDegree, false)));
    MapReadContext context;
    ASSERT_TRUE(ParseTextMap(context, file));
    ASSERT_NE(file.recordsEnd.load(), 0U);
    ASSERT_TRUE(file.WritePointRecord(nav::WaypointRecord(51.5 * kRadiansPerDegree, -4.5 * kRadiansPerDegree, false)));
    ASSERT_TRUE(file.WritePointRecord(nav::WaypointRecord(51.6 * kRadiansPerDegree, -4.5 * kRadiansPerDegree, false)));
    file.Close();

    CMapFile back;
    ASSERT_TRUE(back.Open(W(path), core::OpenMode::kRead));
    ASSERT_EQ(back.ReadHeader(), HeaderResult::kRead);
    MapReadContext read;
    ASSERT_TRUE(ParseTextMap(read, back));
    ASSERT_EQ(read.general.size(), 2U);
    const auto& second = static_cast<const CMapTextElement&>(*read.general[1]);
    EXPECT_EQ(second.kindCode, -12);
    EXPECT_NEAR(second.latitude, 51.6 * kRadiansPerDegree, 1e-12);
    EXPECT_EQ(std::filesystem::file_size(path), back.recordsEnd.load() + 4);

    // Written over while open: the reopened object appends to the new file.
    ASSERT_TRUE(WriteBinaryMap({read.general, none, none, none}, back.HeaderText(), path));
    ASSERT_TRUE(back.Reopen());
    EXPECT_EQ(back.recordsEnd.load() + 4, std::filesystem::file_size(path));
}

TEST(MapFileReadTest, ARecordIsReadAtAnOffsetPassingOverScaleAndIncludeLines) {
    test_support::ScratchFolder folder("mapfile");
    const std::string header = "52,0,0,-5,0,0,51,0,0,-4,0,0,10M,1\r\n";
    const std::string body =
        "*1,2\r\n"
        "?other.map\r\n"
        "51,30,0,-4,30,0,-11\r\n"
        "51,31,0,-4,31,0,7,\\Tower \r\n"
        "  the note line  \r\n"
        "51,32,0,-4,32,0,7,Name";
    const auto path = folder.Write("r.map", header + body);
    CMapFile file;
    ASSERT_TRUE(file.Open(W(path), core::OpenMode::kRead));
    ASSERT_EQ(file.ReadHeader(), HeaderResult::kRead);
    auto first = file.ReadRecordAt(file.dataStart);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->code, -11);
    EXPECT_EQ(first->lineStart, header.size() + 18);
    EXPECT_NEAR(first->record.latitude, 51.5 * kRadiansPerDegree, 1e-12);
    auto second = file.ReadRecordAt(first->nextOffset);
    ASSERT_TRUE(second);
    EXPECT_EQ(second->code, 7);
    EXPECT_EQ(second->note, L"  the note line");
    auto third = file.ReadRecordAt(second->nextOffset);
    ASSERT_TRUE(third);  // after the note line
    EXPECT_EQ(third->code, 7);
    EXPECT_TRUE(third->note.empty());
    EXPECT_FALSE(file.ReadRecordAt(third->nextOffset));
}

}  // namespace
}  // namespace mapdata
