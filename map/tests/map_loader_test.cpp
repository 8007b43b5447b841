#include "map/map_loader.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

#include "map/alarm_zone_options.h"
#include "map/map_stopwatch.h"
#include "map/settings_values.h"
#include "testing/scratch_folder.h"

namespace map {
namespace {

using namespace std::chrono_literals;

constexpr char kZonesMap[] =
    "48,0,0,-8,0,0,46,0,0,-6,0,0,10N,0\r\n"
    "47,0,0,-7,0,0,-5,Town\r\n"
    "47,0,0,-7,0,0,-7,;5000,1000F\r\n"
    "47,0,0,-7,0,0,1,@3\r\n"
    "47,30,0,-7,0,0,-7,;5000,0F\r\n"
    "47,25,0,-7,5,0,-2,18,255,0,0,3\r\n"
    "47,25,0,-6,55,0,-1\r\n"
    "47,35,0,-6,55,0,-1\r\n"
    "47,25,0,-7,5,0,-1\r\n";
constexpr char kPlainMap[] =
    "48,0,0,-8,0,0,46,0,0,-6,0,0,10N,0\r\n"
    "47,0,0,-7,0,0,-5,Town\r\n";
constexpr char kOverlay[] =
    "48,0,0,-8,0,0,46,0,0,-6,0,0,10N,0\r\n"
    "47,10,0,-7,0,0,-5,Mark\r\n";

class MapLoaderTest : public ::testing::Test {
  protected:
    MapLoaderTest()
        : view(mapFile),
          alarm(lists.zones, Sources()),
          reader(lists, {[this](int lParam) { (lParam == 0 ? ends : progress)++; }, {}}),
          loader(lists, mapFile, view, alarm, reader, settings,
                 {[this] { ++drawingStops; }, [this](const std::wstring& n) { stored = n; }, {}}) {
        view.client = {424, 300};
    }

    static AlarmSources Sources() {
        AlarmSources s;
        s.haveFix = [] { return false; };
        s.readFix = [] { return AlarmFixInput{}; };
        s.guards = [] { return AlarmGuards{}; };
        s.period = 1ms;
        return s;
    }

    LoadResult Load(const std::string& name, const char* text) {
        const auto path = scratch.Write(name, text);
        return loader.LoadMapFile(path.wstring(), true, {});
    }

    // Waits (bounded) for the read's end post and hands it to the loader.
    bool FinishRead() {
        for (int i = 0; i < 5000 && ends.load() == 0; ++i) std::this_thread::sleep_for(1ms);
        if (ends.exchange(0) == 0) return false;
        loader.OnMapReadDone(0);
        return true;
    }

    test_support::ScratchFolder scratch{"maploader"};
    platform::SettingsStore settings{""};
    MapLists lists;
    mapdata::CMapFile mapFile;
    MapViewModel view;
    AlarmZoneThread alarm;
    MapReadThread reader;
    MapLoader loader;
    std::atomic<int> ends{0};
    std::atomic<int> progress{0};
    int drawingStops = 0;
    std::wstring stored;
};

TEST_F(MapLoaderTest, ReadSplicesTheListsAndStartsTheAlarmOnlyWithZones) {
    ASSERT_EQ(Load("zones.map", kZonesMap), LoadResult::kStarted);
    EXPECT_EQ(view.mapLoaded, 1);
    EXPECT_GT(drawingStops, 0);
    EXPECT_EQ(stored, (scratch / "zones.map").wstring());
    ASSERT_TRUE(FinishRead());
    EXPECT_EQ(lists.general.size(), 2U);  // the label and the circle's symbol
    EXPECT_EQ(lists.zones.size(), 2U);
    EXPECT_EQ(reader.ExitCode(), 200);
    EXPECT_FALSE(alarm.Finished());
    EXPECT_TRUE(settings.Get("Performance", "LastMapReadTime_sec").has_value());

    ASSERT_EQ(Load("plain.map", kPlainMap), LoadResult::kStarted);
    EXPECT_TRUE(alarm.Finished());  // stopped before the zones went
    EXPECT_EQ(alarm.alarmedZone.load(), nullptr);
    ASSERT_TRUE(FinishRead());
    EXPECT_TRUE(lists.zones.empty());
    EXPECT_TRUE(alarm.Finished());
}

TEST_F(MapLoaderTest, OverlayReloadLeavesTheMainListsAlone) {
    loader.overlayPath = scratch.Write("over.map", kOverlay);
    ASSERT_EQ(Load("zones.map", kZonesMap), LoadResult::kStarted);
    ASSERT_TRUE(FinishRead());
    ASSERT_EQ(lists.overlay.size(), 1U);
    const mapdata::CMapElement* town = lists.general[0].get();
    const mapdata::CMapElement* zone = lists.zones[0].get();
    loader.ReloadOverlay();
    ASSERT_TRUE(FinishRead());
    EXPECT_EQ(lists.overlay.size(), 1U);
    ASSERT_EQ(lists.general.size(), 2U);
    EXPECT_EQ(lists.general[0].get(), town);
    EXPECT_EQ(lists.zones[0].get(), zone);
    EXPECT_EQ(lists.zones.size(), 2U);
}

TEST_F(MapLoaderTest, UnreadableHeaderKeepsTheOldMap) {
    ASSERT_EQ(Load("zones.map", kZonesMap), LoadResult::kStarted);
    ASSERT_TRUE(FinishRead());
    stored.clear();
    EXPECT_EQ(Load("bad.map", "not a header\r\n"), LoadResult::kHeaderUnreadable);
    EXPECT_TRUE(stored.empty());
    EXPECT_EQ(lists.zones.size(), 2U);
}

TEST_F(MapLoaderTest, StoppedReadPostsNothing) {
    std::string big = "48,0,0,-8,0,0,46,0,0,-6,0,0,10N,0\r\n";
    for (int i = 0; i < 200000; ++i) big += "47,0,0,-7,0,0,-5,Town\r\n";
    ASSERT_EQ(Load("big.map", big.c_str()), LoadResult::kStarted);
    reader.Stop();
    EXPECT_TRUE(reader.Finished());
    EXPECT_EQ(ends.load(), 0);
    EXPECT_TRUE(alarm.Finished());
}

TEST_F(MapLoaderTest, GuardChangeRebuildsTheZonesThroughTheOptionsHook) {
    ASSERT_EQ(Load("zones.map", kZonesMap), LoadResult::kStarted);
    ASSERT_TRUE(FinishRead());
    loader.InstallEnlargedZonesBuilder();
    g_horGuardNm = 1.0F;
    BuildEnlargedZones();
    EXPECT_EQ(lists.zones.size(), 4U);
    EXPECT_EQ(lists.zones[0]->zoneSerial, 1);
    EXPECT_EQ(lists.zones[2]->zoneSerial, 2);
    EXPECT_FALSE(alarm.Finished());  // restarted
    g_horGuardNm = 0.0F;
    BuildEnlargedZones();
    EXPECT_EQ(lists.zones.size(), 2U);
}

TEST(MapStopwatch, CountsTenthsAcrossTheHour) {
    MapStopwatch watch;
    const auto t0 = MapStopwatch::Clock::time_point{} + 59min + 58s;
    watch.Start(t0);
    EXPECT_EQ(watch.Tenths(t0 + 2500ms), 25);
    EXPECT_EQ(watch.Tenths(t0 + 40s), 400);
}

}  // namespace
}  // namespace map
