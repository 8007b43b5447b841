// What every map element shares: the bounds, box and scale tests, the
// vertical zone test, the altitude label and the strings.
#include "mapdata/map_element.h"

#include <gtest/gtest.h>

#include <numbers>

#include "mapdata/map_poly_element.h"

namespace mapdata {
namespace {

// A zone of the whole box 0.1..0.2 in both, and its vertical test through a
// square outline.
CMapPolyElement SquareZone() {
    CMapPolyElement zone;
    zone.AddPoint(0.1F, 0.1F, 0, 1);
    zone.AddPoint(0.2F, 0.1F, 0, 1);
    zone.AddPoint(0.2F, 0.2F, 0, 1);
    zone.AddPoint(0.1F, 0.2F, 0, 1);
    zone.ClosePolygon();
    zone.ComputeBounds();
    return zone;
}

nav::WaypointRecord FixAt(double lonWest, double lat, std::optional<float> altitude) {
    nav::WaypointRecord fix(lat, lonWest, false);
    fix.altitudeKnown = altitude.has_value();
    fix.altitude = altitude.value_or(0.0F);
    return fix;
}

TEST(MapElementTest, BoundsAreDegreesEastAndTheirTestsStrict) {
    const CMapPolyElement zone = SquareZone();
    const core::GeoBox& b = zone.bounds;
    // 0.1..0.2 radians west: 11.46 to 5.73 degrees west.
    EXPECT_NEAR(b.west, -0.2 * 180.0 / std::numbers::pi, 1e-4);
    EXPECT_NEAR(b.east, -0.1 * 180.0 / std::numbers::pi, 1e-4);
    EXPECT_NEAR(b.south, 0.1 * 180.0 / std::numbers::pi, 1e-4);
    const core::GeoPoint middle{(b.south + b.north) / 2.0, (b.west + b.east) / 2.0};
    EXPECT_TRUE(zone.ContainsPoint(middle));
    EXPECT_FALSE(zone.ContainsPoint({middle.latitude, b.west}));
    EXPECT_FALSE(zone.ContainsPoint({b.north, middle.longitude}));
    EXPECT_TRUE(zone.IntersectsBox({middle.longitude, middle.latitude, 0.0, 20.0}));
    EXPECT_FALSE(zone.IntersectsBox({b.east, 0.0, 0.0, 20.0}));  // touching only
}

TEST(MapElementTest, EqualScaleValuesAreVisibleAtEveryScale) {
    CMapPolyElement element;
    EXPECT_TRUE(element.IsVisibleAtScale(12345.0F));
    element.scale1 = 2.0F;
    element.scale2 = 8.0F;
    EXPECT_TRUE(element.IsVisibleAtScale(2.0F));
    EXPECT_TRUE(element.IsVisibleAtScale(8.0F));
    EXPECT_FALSE(element.IsVisibleAtScale(8.5F));
}

TEST(MapElementTest, VerticalZoneTest) {
    struct Case {
        const char* what;
        float lower, upper, b, a;
        std::optional<float> altitude;
        float terrain;
        bool inside;
    };
    const Case cases[] = {
        {"no band, no limits: inside at any altitude", 0, 0, -1, -1, 99999.0F, 500.0F, true},
        {"no altitude: horizontal test only", 1000, 2000, -1, -1, std::nullopt, 500, true},
        {"below the band", 1000, 2000, -1, -1, 900.0F, kNoTerrain, false},
        {"in the band", 1000, 2000, -1, -1, 1500.0F, kNoTerrain, true},
        {"above the band", 1000, 2000, -1, -1, 2100.0F, kNoTerrain, false},
        {"floor above ground with terrain known", 1000, 2000, 500, -1, 1200.0F, 800.0F, false},
        {"floor above ground met", 1000, 2000, 500, -1, 1400.0F, 800.0F, true},
        {"floor above ground ignored without terrain", 1000, 2000, 500, -1, 1200.0F, kNoTerrain,
         true},
        {"ceiling above ground exceeded", 0, 0, -1, 1000, 2500.0F, 1000.0F, false},
        {"ceiling above ground met", 0, 0, -1, 1000, 1900.0F, 1000.0F, true},
    };
    CMapPolyElement zone = SquareZone();
    for (const Case& c : cases) {
        zone.lowerAltitude = c.lower;
        zone.upperAltitude = c.upper;
        zone.limitB = c.b;
        zone.limitA = c.a;
        EXPECT_EQ(zone.ZoneTest(FixAt(0.15, 0.15, c.altitude), 0.0F, 0.0F, c.terrain), c.inside)
            << c.what;
    }
    // Margins widen the band.
    zone.lowerAltitude = 1000.0F;
    zone.upperAltitude = 2000.0F;
    zone.limitB = zone.limitA = -1.0F;
    EXPECT_TRUE(zone.ZoneTest(FixAt(0.15, 0.15, 2100.0F), 0.0F, 200.0F, kNoTerrain));
    EXPECT_TRUE(zone.ZoneTest(FixAt(0.15, 0.15, 900.0F), 200.0F, 0.0F, kNoTerrain));
}

TEST(MapElementTest, AltitudeLabels) {
    CMapPolyElement zone;
    zone.lowerAltitude = 3280.8F;
    zone.upperAltitude = 6561.6F;
    const struct {
        float b, a;
        bool metres;
        const wchar_t* text;
    } cases[] = {
        {-1, -1, false, L"Alt: 3281-6562ft"},
        {-1, -1, true, L"Alt: 1000-2000m"},
        {328.08F, 656.16F, true, L"Alt: 1000-2000m (100,200)"},
        {-1, 500, false, L"Alt: 3281-6562ft (--,500)"},
        {300, -1, false, L"Alt: 3281-6562ft (300,--)"},
    };
    for (const auto& c : cases) {
        zone.limitB = c.b;
        zone.limitA = c.a;
        EXPECT_EQ(MapAltitudeLabel(zone, c.metres, false), c.text);
    }
    EXPECT_EQ(MapAltitudeLabel(zone, true, true), L"Alt: 1000-2000m (91,--)\r\n");
}

TEST(MapElementTest, StringsStopAtTheDelimiterAndAt255Characters) {
    CMapPolyElement element;
    EXPECT_EQ(element.SetString(std::wstring_view(L"Name|rest"), L'|', 0), 4u);
    EXPECT_EQ(element.name, L"Name");
    EXPECT_EQ(element.SetString(std::string_view("Caf\xe9"), '|', 1), 4u);
    EXPECT_EQ(element.note, L"Caf\u00e9");
    EXPECT_EQ(element.SetString(std::wstring(300, L'x'), L'|', 0), 255u);
    EXPECT_EQ(element.SetString(std::wstring_view(L"|x"), L'|', 1), 0u);
    EXPECT_TRUE(element.note.empty());
}

TEST(MapElementTest, ZoneDisplayRule) {
    using namespace element_flag;
    CMapPolyElement element;
    const struct {
        std::uint32_t flags;
        bool shownEnlarged, shownPlain;
    } cases[] = {
        {0, true, true},
        {kZone, true, true},
        {kNotTested, false, true},
        {kEnlargedCopy, true, false},
        {kNotDrawn, false, false},
    };
    for (const auto& c : cases) {
        element.flags = c.flags;
        EXPECT_EQ(ShouldDrawZone(element, true), c.shownEnlarged) << c.flags;
        EXPECT_EQ(ShouldDrawZone(element, false), c.shownPlain) << c.flags;
    }
}

}  // namespace
}  // namespace mapdata
