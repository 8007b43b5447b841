// The reachable list's ranking and the waypoint information text.
#include "nav/reachable_list.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/settings_values.h"
#include "nav/tests/task_test_support.h"

namespace nav {
namespace {

using testing::At;
using testing::Offset;

const WaypointRecord kHere = At(47.0, 8.0, L"Here");

// Needs 100 ft per whole km; terrain shortfalls by name.
class FakeGlide final : public ReachGlide {
  public:
    float RequiredAltitude(const WaypointRecord&, const WaypointRecord& to, float km,
                           double) override {
        return to.name.View() == L"Unreachable" ? -10000.0F : std::round(km) * 100.0F;
    }
    float TerrainShortfall(const WaypointRecord&, const WaypointRecord& to, float, double,
                           float) override {
        const auto found = shortfalls.find(std::wstring(to.name.View()));
        return found != shortfalls.end() ? found->second : 0.0F;
    }
    std::map<std::wstring, float> shortfalls;
};

WaypointRecord Field(const std::wstring& name, double km, bool marked = true) {
    WaypointRecord r = Offset(kHere, 45.0, km);
    r.name.Assign(name);
    r.altitude = 0.0F;
    r.altitudeKnown = true;
    if (marked) r.flags |= kMarkerFlag;
    return r;
}

WaypointList ListOf(const std::vector<WaypointRecord>& records) {
    std::vector<std::unique_ptr<CWaypointEntry>> entries;
    for (const WaypointRecord& r : records)
        entries.push_back(std::make_unique<CWaypointEntry>(r, 0, MapExtension{}));
    return *WaypointList::FromEntries(std::move(entries));
}

std::vector<std::wstring> Texts(const std::vector<ReachableEntry>& entries) {
    std::vector<std::wstring> texts;
    for (const ReachableEntry& e : entries)
        texts.push_back(e.text);
    return texts;
}

TEST(ReachableListTest, ARidgeInFrontOfTheNearerFieldRanksTheFartherFirst) {
    WaypointRecord unmarked = Field(L"Unmarked", 1.0, false);
    WaypointRecord noAltitude = Field(L"NoAltitude", 1.0);
    noAltitude.altitudeKnown = false;
    const WaypointList list = ListOf({Field(L"Near", 10.0), Field(L"Far", 20.0), unmarked,
                                      noAltitude, Field(L"Unreachable", 5.0)});
    FakeGlide glide;
    glide.shortfalls[L"Near"] = 1500.0F;  // 1000 + 1500 > 2000
    const auto ranked = RankReachable(list, kHere, glide, {.currentAltitude = 5000.0F});
    EXPECT_EQ(Texts(ranked), (std::vector<std::wstring>{L"2000 - Far", L"2500 - Near"}));
    EXPECT_EQ(list.At(ranked[0].index)->record.name.View(), L"Far");

    const auto metres = RankReachable(
        list, kHere, glide, {.metres = true, .showDifference = true, .currentAltitude = 5000.0F});
    EXPECT_EQ(metres[0].text, L"+914 - Far");  // (5000 - 2000) ft in metres
}

TEST(ReachableListTest, KeepsTheBestSixteenAndDropsHighOnesAfterTheEighth) {
    std::vector<WaypointRecord> fields;
    // Listed worst first, so a cut that keeps the first found would fail.
    for (int i = 20; i >= 1; --i)
        fields.push_back(Field(L"F" + std::to_wstring(i), i));
    const WaypointList list = ListOf(fields);
    FakeGlide glide;
    const auto all = RankReachable(list, kHere, glide, {.currentAltitude = 100000.0F});
    ASSERT_EQ(all.size(), kReachableMaxEntries);
    EXPECT_EQ(all.front().text, L" 100 - F1");
    EXPECT_EQ(all.back().text, L"1600 - F16");

    // At 1050 ft: the eight best stay, later ones above 1050 ft go.
    const auto low = RankReachable(list, kHere, glide, {.currentAltitude = 1050.0F});
    ASSERT_EQ(low.size(), 10U);
    EXPECT_EQ(low.back().text, L"1000 - F10");
    const auto ground = RankReachable(list, kHere, glide, {.currentAltitude = 0.0F});
    EXPECT_EQ(ground.size(), kReachableKeptEntries);
}

TEST(WaypointInfoTextTest, ShowsAltitudeDistanceCourseAndComment) {
    core::g_magneticVariation = 0.0;
    WaypointRecord field = Field(L"Field", 18.52);
    field.altitude = 1640.4F;
    field.attachments.comment = L"grass 09/27";
    EXPECT_EQ(WaypointInfoText(field, kHere, /*metres=*/true, /*nautical*/ 1),
              L" Field               \r\n  500m   10.0N    45m\r\ngrass 09/27");
    field.altitudeKnown = false;
    field.attachments.comment.clear();
    EXPECT_EQ(WaypointInfoText(field, kHere, false, 2),
              L" Field               \r\n  ---   18.5km   45m\r\n");
}

}  // namespace
}  // namespace nav
