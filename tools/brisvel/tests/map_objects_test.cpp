// Map objects: building poly objects, the turning direction of rings and
// the records each object writes.
#include "tools/brisvel/map_objects.h"

#include <gtest/gtest.h>

#include <vector>

namespace brisvel {
namespace {

std::vector<Vertex> Ring(std::initializer_list<Vertex> vertices) { return vertices; }

CPolyObject Polygon(const std::vector<std::vector<Vertex>>& parts, bool polygon = true) {
    std::size_t points = 0;
    for (const auto& part : parts) points += part.size();
    CPolyObject poly(polygon);
    EXPECT_TRUE(poly.AllocateParts(static_cast<int>(parts.size()), static_cast<int>(points), false));
    for (const auto& part : parts)
        for (std::size_t i = 0; i < part.size(); ++i) EXPECT_TRUE(poly.AddVertex(part[i].lon, part[i].lat, i == 0));
    poly.ComputeRingOrientations();
    return poly;
}

TEST(RingOrientation, ClockwiseRingsAreOuterAndCounterClockwiseRingsHoles) {
    const auto clockwise = Ring({{10, 45}, {10, 46}, {11, 46}, {11, 45}, {10, 45}});
    const auto counter = Ring({{10, 45}, {11, 45}, {11, 46}, {10, 46}, {10, 45}});
    EXPECT_EQ(RingOrientation(clockwise.data(), clockwise.data() + clockwise.size()), kOuterRing);
    EXPECT_EQ(RingOrientation(counter.data(), counter.data() + counter.size()), kHole);
}

TEST(RingOrientation, CollinearAndRepeatedVerticesKeepAnOuterRingOuter) {
    // Collinear edges give a cosine that rounds above 1 in single precision;
    // the repeated vertex gives an edge too short to have a direction.
    const auto ring = Ring({{7.1F, 46.3F}, {7.1F, 46.4F}, {7.1F, 46.5F}, {7.1F, 46.5F},
                            {7.3F, 46.5F}, {7.5F, 46.5F}, {7.5F, 46.3F}, {7.1F, 46.3F}});
    EXPECT_EQ(RingOrientation(ring.data(), ring.data() + ring.size()), kOuterRing);
}

TEST(PolyObject, AllocationRefusesShapesThatMakeNoObject) {
    struct Case {
        bool polygon;
        int parts, points;
        bool multipoint, ok;
    };
    for (const Case c : {Case{true, 1, 3, false, false}, Case{true, 1, 4, false, true},
                         Case{false, 1, 1, false, false}, Case{false, 1, 2, false, true},
                         Case{false, 1, 1, true, true}, Case{false, -1, 5, false, false},
                         Case{false, 1, 0, true, false}}) {
        CPolyObject poly(c.polygon);
        EXPECT_EQ(poly.AllocateParts(c.parts, c.points, c.multipoint), c.ok)
            << c.polygon << " " << c.parts << " " << c.points << " " << c.multipoint;
    }
    CPolyObject twice(false);
    ASSERT_TRUE(twice.AllocateParts(1, 2, false));
    EXPECT_FALSE(twice.AllocateParts(1, 2, false));
}

TEST(PolyObject, VerticesBeyondTheRoomMadeAreRefused) {
    CPolyObject poly(false);
    ASSERT_TRUE(poly.AllocateParts(1, 3, false));
    EXPECT_TRUE(poly.AddVertex(1, 1, true));
    EXPECT_TRUE(poly.AddVertex(2, 2, false));
    EXPECT_FALSE(poly.AddVertex(3, 3, true));  // a second part: no room
    EXPECT_TRUE(poly.AddVertex(3, 3, false));
    EXPECT_FALSE(poly.AddVertex(4, 4, false));
    EXPECT_EQ(poly.PartCount(), 1);
    EXPECT_EQ(poly.box.east, 3);
    EXPECT_EQ(poly.box.south, 1);
}

TEST(PolyObject, AFilledOuterRingAndHoleWriteTheirFillsAndLineCodes) {
    CPolyObject poly = Polygon({{{10, 45}, {10, 46}, {11, 46}, {11, 45}, {10, 45}},
                                {{10.25F, 45.25F}, {10.75F, 45.25F}, {10.75F, 45.75F}, {10.25F, 45.25F}}});
    poly.colourNumber = 5;
    std::string out;
    poly.WriteMap(out);
    EXPECT_EQ(out,
              "45.000000,0,0,-10.000000,0,0,-2,-5\r\n"
              "46.000000,0,0,-10.000000,0,0,-1,5\r\n"
              "46.000000,0,0,-11.000000,0,0,-1,5\r\n"
              "45.000000,0,0,-11.000000,0,0,-1,5\r\n"
              "45.000000,0,0,-10.000000,0,0,-1,5\r\n"
              "45.000000,0,0,-10.000000,0,0,-2\r\n"
              "45.250000,0,0,-10.250000,0,0,-2,-1\r\n"
              "45.250000,0,0,-10.750000,0,0,-1,5\r\n"
              "45.750000,0,0,-10.750000,0,0,-1,5\r\n"
              "45.250000,0,0,-10.250000,0,0,-1,5\r\n"
              "45.250000,0,0,-10.250000,0,0,-2\r\n");
}

TEST(PolyObject, UnfilledObjectsStartPartsWithoutAFillAndWideLinesUseMinusThree) {
    CPolyObject line = Polygon({{{10, 45}, {11, 46}}}, false);
    line.colourNumber = 14;
    line.lineWidth = 3;
    std::string out;
    line.WriteMap(out);
    EXPECT_EQ(out,
              "45.000000,0,0,-10.000000,0,0,-2\r\n"
              "46.000000,0,0,-11.000000,0,0,-3,14\r\n"
              "46.000000,0,0,-11.000000,0,0,-2\r\n");
    CPolyObject unfilled = Polygon({{{10, 45}, {10, 46}, {11, 46}, {10, 45}}});
    unfilled.noFill = true;
    out.clear();
    unfilled.WriteMap(out);
    EXPECT_EQ(out.substr(0, out.find("\r\n")), "45.000000,0,0,-10.000000,0,0,-2");
}

TEST(PolyObject, ASinglePointIsWrittenAsOneRecordWithItsName) {
    CPolyObject point(false);
    ASSERT_TRUE(point.AllocateParts(1, 1, true));
    ASSERT_TRUE(point.AddVertex(-3.5F, 52.25F, true));
    point.colourNumber = 6;
    point.name = "Mast\r\nTall";
    std::string out;
    point.WriteMap(out);
    EXPECT_EQ(out, "52.250000,0,0,3.500000,0,0,6,Mast  Tall\r\n");
}

TEST(SymbolObject, RecordsCarryElevationNoteAndName) {
    struct Case {
        int symbol;
        bool hasElevation;
        float elevation;
        const char* name;
        const char* note;
        const char* expected;
    };
    const Case cases[] = {
        {17, true, 1000.0F, "Peak", "", "46.500000,0,0,-7.250000,0,0,17,^3280^Peak\r\n"},
        {100, false, 0.0F, "Hut", "  ", "46.500000,0,0,-7.250000,0,0,100,Hut\r\n"},
        {3, true, 10.0F, "Hut", "open\\summer\r\nonly",
         "46.500000,0,0,-7.250000,0,0,3,\\^32^Hut\r\nopen\\summer \\only\r\n"},
        {-5, true, 1000.0F, "Lake\nBig", "deep\\cold",
         "46.500000,0,0,-7.250000,0,0,-5,Lake Big\\deep\\cold\r\n"},
        {5, false, 0.0F, "\\odd", "", "46.500000,0,0,-7.250000,0,0,5, \\odd\r\n"},
    };
    for (const Case& c : cases) {
        CSymbolObject symbol;
        symbol.lon = 7.25F;
        symbol.lat = 46.5F;
        symbol.symbol = c.symbol;
        symbol.hasElevation = c.hasElevation;
        symbol.elevation = c.elevation;
        symbol.name = c.name;
        symbol.note = c.note;
        std::string out;
        symbol.WriteMap(out);
        EXPECT_EQ(out, c.expected);
    }
}

}  // namespace
}  // namespace brisvel
