// Point elements made from waypoints, and their inclusive box test.
#include "mapdata/map_text_element.h"

#include <gtest/gtest.h>

namespace mapdata {
namespace {

nav::WaypointRecord Waypoint(bool altitudeKnown, bool marker) {
    nav::WaypointRecord w(46.5, -7.25, true);
    w.name.Assign(L"Thun");
    w.altitude = 1840.0F;
    w.altitudeKnown = altitudeKnown;
    w.flags = marker ? nav::kMarkerFlag : 0;
    w.attachments.sound = L"thun.wav";
    w.attachments.comment = L"own comment";
    return w;
}

TEST(MapTextElementTest, WaypointElementsTakeTheirValues) {
    const CMapTextElement e = CMapTextElement::CreateFromWaypoint(
        Waypoint(true, false), {7.9F, 1.0F, 2.0F, 0.0F, 3.0F, 4.0F});
    EXPECT_EQ(e.Kind(), ElementKind::kText);
    EXPECT_EQ(e.kindCode, 7);
    EXPECT_EQ(e.scale1, 1.0F);
    EXPECT_EQ(e.scale2, 2.0F);
    EXPECT_EQ(e.scale3, 3.0F);
    EXPECT_EQ(e.scale4, 4.0F);
    EXPECT_EQ(e.text, L"Thun");
    EXPECT_FLOAT_EQ(static_cast<float>(e.latitude), static_cast<float>(46.5 * 0.017453292519943295));
    EXPECT_EQ(e.attachments.sound, L"thun.wav");
    EXPECT_TRUE(e.noteGiven);
}

TEST(MapTextElementTest, ElevationShownByMarkerOrThreshold) {
    const struct {
        bool known, marker;
        float threshold;
        bool given;
    } cases[] = {
        {true, false, 0.0F, false}, {true, true, 0.0F, true}, {true, false, 1.0F, true},
        {false, true, 1.0F, false},
    };
    for (const auto& c : cases) {
        const CMapTextElement e = CMapTextElement::CreateFromWaypoint(
            Waypoint(c.known, c.marker), {1.0F, 0, 0, c.threshold, 0, 0});
        EXPECT_EQ(e.elevationGiven, c.given);
        EXPECT_EQ(e.elevation, c.given ? 1840.0F : 0.0F);
    }
}

TEST(MapTextElementTest, AGivenCommentReplacesTheWaypointsOwn) {
    nav::WaypointRecord plain = Waypoint(false, false);
    plain.attachments.comment.clear();
    EXPECT_FALSE(CMapTextElement::CreateFromWaypoint(plain, {}).noteGiven);
    const CMapTextElement e =
        CMapTextElement::CreateFromWaypoint(plain, {}, std::wstring_view(L"from the file"));
    EXPECT_EQ(e.attachments.comment, L"from the file");
    EXPECT_TRUE(e.noteGiven);
    // A code no integer holds is no code.
    EXPECT_EQ(CMapTextElement::CreateFromWaypoint(plain, {1e20F, 0, 0, 0, 0, 0}).kindCode, 0);
}

TEST(MapTextElementTest, APointOnTheBoxEdgeIsInside) {
    CMapTextElement e;
    e.longitude = 0.1F;  // radians west
    e.latitude = 0.2F;
    const core::GeoPoint p = core::FromRadiansWest(e.latitude, e.longitude);
    EXPECT_TRUE(e.IntersectsBox({p.longitude - 1.0, p.latitude, p.longitude, p.latitude + 1.0}));
    EXPECT_FALSE(
        e.IntersectsBox({p.longitude - 1.0, p.latitude + 0.01, p.longitude, p.latitude + 1.0}));
    EXPECT_FALSE(e.IntersectsBox(
        {-p.longitude - 1.0, p.latitude - 1.0, -p.longitude + 1.0, p.latitude + 1.0}))
        << "east is not west";
}

}  // namespace
}  // namespace mapdata
