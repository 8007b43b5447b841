#include "map/tap_info.h"

#include <gtest/gtest.h>

#include "mapdata/map_circle_element.h"
#include "mapdata/map_file.h"
#include "mapdata/map_text_element.h"

namespace map {
namespace {

constexpr double kTapRad = 3.14159265358979323846 / 180.0;

// A 400 x 300 view around 47 N 8 W with two named points close together,
// one far away, and a zone around the first.
class TapInfoTest : public ::testing::Test {
  protected:
    TapInfoTest() {
        nav::WaypointRecord centre(47.0, 8.0, true);
        nav::WaypointRecord c1;
        nav::WaypointRecord c2;
        mapFile.SetBoundsAround(centre, 0.002, 0.002, c1, c2, true);
        state = mapFile.DrawState(200.0F, 150.0F, 2000000.0F);
        AddPoint(L"Airfield with a very long name", 47.0, 8.0);
        AddPoint(L"Tower", 47.0001, 8.0001);
        AddPoint(L"Far", 47.05, 8.05);
        auto zone = std::make_unique<mapdata::CMapCircleElement>();
        zone->centre = mapdata::ToUnitVector(8.0 * kTapRad, 47.0 * kTapRad);
        zone->radiusKm = 2.0F;
        zone->fillStyle = 1;
        zone->flags = mapdata::element_flag::kZone;
        zone->lowerAltitude = 1000.0F;
        zone->upperAltitude = 5000.0F;
        zone->note = L"Danger area";
        zone->ComputeBounds();
        lists.zones.push_back(std::move(zone));
    }

    void AddPoint(const wchar_t* name, double latitude, double lonWest) {
        auto point = std::make_unique<mapdata::CMapTextElement>();
        point->text = name;
        point->latitude = latitude * kTapRad;
        point->longitude = lonWest * kTapRad;
        point->position = mapdata::ToUnitVector(point->longitude, point->latitude);
        lists.general.push_back(std::move(point));
    }

    TapQuery At(double latitude, double lonWest) const {
        TapQuery q;
        const mapdata::ScreenPoint p = mapdata::ProjectToScreen(
            state, mapdata::ToUnitVector(lonWest * kTapRad, latitude * kTapRad));
        q.tapX = p.x;
        q.tapY = p.y;
        q.latitude = latitude * kTapRad;
        q.lonWest = lonWest * kTapRad;
        return q;
    }

    mapdata::CMapFile mapFile;
    mapdata::MapDrawState state;
    MapLists lists;
};

TEST_F(TapInfoTest, NamesWithinReachAreCopiedAndTheZoneBandFollows) {
    const TapInfo info = BuildTapInfo(lists, {}, state, At(47.0, 8.0));
    ASSERT_EQ(info.picked.size(), 2U);
    EXPECT_EQ(info.picked[0].name, L"Airfield with a very long name");
    EXPECT_EQ(info.picked[1].name, L"Tower");
    EXPECT_EQ(info.text.substr(0, 47), L"** Airfield with a very\r\n** Tower\r\n** Alt: 1000");
    EXPECT_NE(info.text.find(L"\r\nDanger area"), std::wstring::npos);
}

TEST_F(TapInfoTest, HiddenNotesAndFarTapsFindNothing) {
    lists.zones.front()->flags |= mapdata::element_flag::kNotesHidden;
    const TapInfo info = BuildTapInfo(lists, {}, state, At(47.03, 8.03));
    EXPECT_FALSE(info.Found());
}

TEST_F(TapInfoTest, StopsAtFourPickedObjects) {
    for (int i = 0; i < 5; ++i) AddPoint(L"P", 47.0, 8.0);
    const TapInfo info = BuildTapInfo(lists, {}, state, At(47.0, 8.0));
    EXPECT_EQ(info.picked.size(), 4U);
    EXPECT_EQ(info.text.find(L"Alt:"), std::wstring::npos);
}

// A waypoint's element is picked after the map's points; its row carries
// the waypoint itself (with its altitude) and the arrival over it.
TEST_F(TapInfoTest, WaypointsArePickedWithTheirRecordAndArrival) {
    nav::WaypointRecord field(47.0002, 8.0002, true);
    field.name.Assign(L"Home Field");
    field.altitude = 1200.0F;
    field.altitudeKnown = true;
    mapdata::CMapTextElement element =
        mapdata::CMapTextElement::CreateFromWaypoint(field, {1.0F, 0.0F, 0.0F, 0.0F, 0.0F, 0.0F});
    const TapPoint points[] = {{&element, &field}};
    TapQuery query = At(47.0, 8.0);
    std::vector<float> asked;
    query.arrival = [&asked](const nav::WaypointRecord& to) {
        asked.push_back(to.altitudeKnown ? to.altitude : -1.0F);
        return std::wstring(L"+300ft");
    };
    const TapInfo info = BuildTapInfo(lists, points, state, query);
    ASSERT_EQ(info.picked.size(), 3U);
    EXPECT_EQ(info.picked[2].name, L"Home Field");
    EXPECT_EQ(info.picked[2].position.altitude, 1200.0F);
    EXPECT_EQ(info.picked[2].arrival, L"+300ft");
    EXPECT_EQ(asked, (std::vector<float>{-1.0F, -1.0F, 1200.0F}));
    EXPECT_NE(info.text.find(L"** Home Field  +300ft"), std::wstring::npos);
}

TEST(ArrivalText, SignedInTheAltitudeUnitOrNoGo) {
    struct Case {
        float current;
        float required;
        bool metres;
        const wchar_t* text;
    };
    const Case cases[] = {
        {5200.0F, 2260.0F, false, L"+2940ft"},
        {1000.0F, 1328.08F, true, L"-100m"},
        {5200.0F, -10000.0F, false, L"NOGO"},
    };
    for (const Case& c : cases) EXPECT_EQ(ArrivalText(c.current, c.required, c.metres), c.text) << c.current;
}

}  // namespace
}  // namespace map
