#include "map/map_loader.h"

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "map/alarm_zone_options.h"
#include "map/settings_values.h"
#include "map/tests/zones_fixture.h"
#include "mapdata/binary_map_records.h"
#include "mapdata/map_circle_element.h"
#include "mapdata/map_stopwatch.h"
#include "platform/message_box.h"
#include "services/string_resources.h"
#include "testing/scratch_folder.h"
#include "testing/wait_until.h"

namespace map {
namespace {

using namespace std::chrono_literals;

constexpr char kPlainMap[] =
    "48,0,0,-8,0,0,46,0,0,-6,0,0,10N,0\r\n"
    "47,0,0,-7,0,0,-5,Town\r\n";
constexpr char kOverlay[] =
    "48,0,0,-8,0,0,46,0,0,-6,0,0,10N,0\r\n"
    "47,10,0,-7,0,0,-5,Mark\r\n";

// The zones map followed by many labels: a read that runs for a while after
// its zones are in the window's list.
std::string LongZonesMap() {
    std::string map = kZonesMap;
    for (int i = 0; i < 200000; ++i) map += "47,0,0,-7,0,0,-5,Town\r\n";
    return map;
}

class MapLoaderTest : public ::testing::Test {
  protected:
    MapLoaderTest()
        : view(mapFile),
          alarm(lists.zones, Sources()),
          reader(lists, {[this](int lParam) { Posted(lParam); }, ShowMapReadError,
                         [this] { return Now(); }}),
          loader(lists, mapFile, view, alarm, reader, settings,
                 {[this] { ++drawingStops; }, [this](const std::wstring& n) { stored = n; }, {}}) {
        view.client = {424, 300};
    }
    // A read the loader started last may still post: it ends before what
    // it posts into goes.
    ~MapLoaderTest() override {
        reader.Stop();
        alarm.Stop();
    }

    static AlarmSources Sources() {
        AlarmSources s;
        s.haveFix = [] { return false; };
        s.readFix = [] { return AlarmFixInput{}; };
        s.guards = [] { return AlarmGuards{}; };
        s.period = 1ms;
        return s;
    }

    LoadResult Load(const std::string& name, std::string_view text) {
        const auto path = scratch.Write(name, text);
        return loader.LoadMapFile(path.wstring(), true, {});
    }

    // The read's clock: the steady clock, or with fakeClock 50 ms more at
    // every look (the read looks once per splice).
    mapdata::MapReadContext::Clock::time_point Now() {
        if (!fakeClock) return mapdata::MapReadContext::Clock::now();
        const std::lock_guard lock(postsLock);
        fakeNow += 50ms;
        return fakeNow;
    }

    // Progress: the clock's time and the general list's size at each post.
    void Posted(int lParam) {
        if (lParam == 0) {
            ++ends;
            return;
        }
        ++progress;
        std::size_t general = 0;
        {
            const std::lock_guard lock(lists.lock);
            general = lists.general.size();
        }
        const std::lock_guard lock(postsLock);
        progressAt.push_back(fakeNow);
        generalAtProgress.push_back(general);
    }

    // Waits (bounded) for the read's end post and hands it to the loader.
    bool FinishRead() {
        test_support::WaitUntil([this] { return ends.load() != 0; });
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
    bool fakeClock = false;
    std::mutex postsLock;
    mapdata::MapReadContext::Clock::time_point fakeNow{};
    std::vector<mapdata::MapReadContext::Clock::time_point> progressAt;
    std::vector<std::size_t> generalAtProgress;
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

TEST_F(MapLoaderTest, OverlayReloadDuringTheMapReadLeavesTheMapWhole) {
    loader.overlayPath = scratch.Write("over.map", kOverlay);
    ASSERT_EQ(Load("long.map", LongZonesMap()), LoadResult::kStarted);
    loader.ReloadOverlay();
    ASSERT_TRUE(FinishRead());
    EXPECT_EQ(lists.general.size(), 200002U);
    EXPECT_EQ(lists.zones.size(), 2U);
    EXPECT_EQ(lists.overlay.size(), 1U);
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

TEST_F(MapLoaderTest, ReadsEnlargeTheZonesByTheGuardSetAndAGuardChangedDuringAReadFollows) {
    g_horGuardNm = 1.0F;
    ASSERT_EQ(Load("zones.map", kZonesMap), LoadResult::kStarted);
    ASSERT_TRUE(FinishRead());
    EXPECT_EQ(lists.zones.size(), 4U);

    g_horGuardNm = 0.0F;
    ASSERT_EQ(Load("long.map", LongZonesMap()), LoadResult::kStarted);
    g_horGuardNm = 2.0F;
    loader.RebuildEnlargedZones(2.0F);
    ASSERT_TRUE(FinishRead());
    ASSERT_EQ(lists.zones.size(), 4U);
    const auto& copy = static_cast<const mapdata::CMapCircleElement&>(*lists.zones[1]);
    EXPECT_NEAR(copy.radiusKm - static_cast<const mapdata::CMapCircleElement&>(*lists.zones[0]).radiusKm,
                2.0F * 1.852F, 1e-3F);
    EXPECT_FALSE(alarm.Finished());
    g_horGuardNm = 0.0F;
}

TEST_F(MapLoaderTest, TheEndOfAReplacedReadStartsNoAlarmWhileTheNextReads) {
    ASSERT_EQ(Load("zones.map", kZonesMap), LoadResult::kStarted);
    test_support::WaitUntil([this] { return ends.load() != 0; });
    ASSERT_EQ(ends.exchange(0), 1);  // posted, not yet handled
    ASSERT_EQ(Load("long.map", LongZonesMap()), LoadResult::kStarted);
    test_support::WaitUntil([this] {
        const std::lock_guard lock(lists.lock);
        return !lists.zones.empty();
    });
    loader.OnMapReadDone(0);  // the first read's end arrives late
    EXPECT_TRUE(alarm.Finished());
    ASSERT_TRUE(FinishRead());
    EXPECT_FALSE(alarm.Finished());
}

TEST_F(MapLoaderTest, ProgressIsPostedAtDoublingStepsUpToFifteenSeconds) {
    // 800 splices of 41 labels, 50 ms apart: a read of 40 s.
    std::string map = "48,0,0,-8,0,0,46,0,0,-6,0,0,10N,0\r\n";
    for (int i = 0; i < 800 * 41; ++i) map += "47,0,0,-7,0,0,-5,Town\r\n";
    fakeClock = true;
    ASSERT_EQ(Load("long.map", map.c_str()), LoadResult::kStarted);
    ASSERT_TRUE(FinishRead());
    const std::lock_guard lock(postsLock);
    const auto start = mapdata::MapReadContext::Clock::time_point{} + 50ms;
    const double expected[] = {2.5, 7.5, 17.5, 32.5};
    ASSERT_EQ(progressAt.size(), std::size(expected));
    for (std::size_t i = 0; i < progressAt.size(); ++i) {
        // Each step ends at the first splice past it, in whole tenths.
        const double at = std::chrono::duration<double>(progressAt[i] - start).count();
        EXPECT_GT(at, expected[i]);
        EXPECT_LT(at, expected[i] + 0.15 * static_cast<double>(i + 1));
        // Shown piece by piece: what was read is in the window's list.
        EXPECT_EQ(generalAtProgress[i] % 41, 0U);
        EXPECT_GT(generalAtProgress[i], i == 0 ? 0U : generalAtProgress[i - 1]);
    }
    EXPECT_EQ(lists.general.size(), 800U * 41U);
}

TEST_F(MapLoaderTest, AReadThatGivesUpTellsThePilotAndStillEnds) {
    platform::ScopedRecordingSink boxes;
    core::SetStringProvider([](unsigned id) { return std::to_wstring(id); });
    const std::string tooNew = mapdata::BinarySignatureLine(9) +
                               "52,0,0,-5,0,0,51,0,0,-4,0,0,10M,1\r\n" + std::string(4, '\xFF');
    const LoadResult result = Load("new.gpm", tooNew.c_str());
    const bool ended = FinishRead();
    core::SetStringProvider(nullptr);
    ASSERT_EQ(result, LoadResult::kStarted);
    ASSERT_TRUE(ended);
    const auto shown = boxes->Boxes();
    ASSERT_EQ(shown.size(), 1U);
    EXPECT_EQ(shown[0].text, L"3500");
    EXPECT_EQ(shown[0].caption, L"2008");
    // Only an OK button: the read thread never waits for the UI.
    EXPECT_EQ(shown[0].style & platform::mb::kButtonMask, platform::mb::kOk);
    EXPECT_TRUE(lists.general.empty());

    struct Case {
        mapdata::MapReadError error;
        const wchar_t* text;
        const wchar_t* caption;
    };
    const Case cases[] = {{mapdata::MapReadError::kNoMemory, L"2537", L"2538"},
                          {mapdata::MapReadError::kDamaged, L"2537", L"2538"}};
    core::SetStringProvider([](unsigned id) { return std::to_wstring(id); });
    for (const Case& c : cases) {
        boxes->Clear();
        ShowMapReadError(c.error);
        const auto box = boxes->Boxes();
        ASSERT_EQ(box.size(), 1U);
        EXPECT_EQ(box[0].text, c.text);
        EXPECT_EQ(box[0].caption, c.caption);
        EXPECT_EQ(box[0].style & platform::mb::kButtonMask, platform::mb::kOk);
    }
    core::SetStringProvider(nullptr);
}

TEST_F(MapLoaderTest, AnArcTheGeodesyCannotMakeIsToldAndTheReadGoesOn) {
    platform::ScopedRecordingSink boxes;
    // The arc's first point is its centre; the label after it is still read.
    const std::string map = std::string(kPlainMap) +
                            "47,0,0,-7,0,0,-4,$47,0,0,-7,0,0,47,5,0,-7,0,0M\r\n"
                            "47,10,0,-7,0,0,-5,After\r\n";
    ASSERT_EQ(Load("arc.map", map), LoadResult::kStarted);
    ASSERT_TRUE(FinishRead());
    const auto shown = boxes->Boxes();
    ASSERT_EQ(shown.size(), 1U);
    EXPECT_EQ(shown[0].caption, L"Alert");
    EXPECT_EQ(shown[0].style & platform::mb::kButtonMask, platform::mb::kOk);
    EXPECT_EQ(lists.general.size(), 2U);  // the two labels, no arc
}

TEST(MapStopwatch, CountsTenthsAcrossTheHour) {
    mapdata::MapStopwatch watch;
    const auto t0 = mapdata::MapStopwatch::Clock::time_point{} + 59min + 58s;
    watch.Start(t0);
    EXPECT_EQ(watch.Tenths(t0 + 2500ms), 25);
    EXPECT_EQ(watch.Tenths(t0 + 40s), 400);
}

}  // namespace
}  // namespace map
