// Loads, overlay reloads, guard rebuilds and list walks at random while the
// alarm thread runs over a moving fix and the render thread draws the lists
// at random; then closes during a load. Meant for the
// ThreadSanitizer build: KV_STRESS_SECONDS sets how long it runs (1 s by
// default).
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <mutex>
#include <random>
#include <string>
#include <thread>

#include "map/alarm_zone_check.h"
#include "map/map_loader.h"
#include "map/map_render.h"
#include "testing/scratch_folder.h"

namespace map {
namespace {

using namespace std::chrono_literals;

std::string ZonesMap(int count) {
    std::string text = "48,0,0,-8,0,0,46,0,0,-6,0,0,10N,0\r\n";
    for (int i = 0; i < count; ++i) {
        const std::string lat = "47," + std::to_string(i % 60) + ",0";
        text += lat + ",-7,0,0,-5,Town\r\n";
        text += lat + ",-7,0,0,-7,;5000,1000F\r\n";
        text += lat + ",-7,0,0,1,@3\r\n";
    }
    return text;
}

double StressSeconds() {
    const char* s = std::getenv("KV_STRESS_SECONDS");
    return s != nullptr ? std::atof(s) : 1.0;
}

TEST(MapThreadsStress, EverythingAtOnceWhileTheAlarmRuns) {
    test_support::ScratchFolder scratch("mapstress");
    const auto mapPath = scratch.Write("zones.map", ZonesMap(300));
    platform::SettingsStore settings("");
    MapLists lists;
    mapdata::CMapFile mapFile;
    MapViewModel view(mapFile);
    view.client = {800, 480};

    std::mutex fixLock;  // stands for MapLock
    nav::WaypointRecord fix(47.0, -7.0, true);
    AlarmSources sources;
    sources.haveFix = [] { return true; };
    sources.readFix = [&] {
        const std::lock_guard lock(fixLock);
        return AlarmFixInput{fix, mapdata::kNoTerrain};
    };
    sources.guards = [] { return AlarmGuards{}; };
    sources.period = 1ms;
    AlarmZoneThread alarm(lists.zones, sources);

    std::atomic<int> ends{0};
    MapReadThread reader(lists, {[&](int lParam) { ends += lParam == 0 ? 1 : 0; }, {}, {}});

    // The drawing: the render thread over the lists, stopped around deletes
    // and started again by the redraw requests.
    MapRenderThread render(lists);
    std::atomic<int> frames{0};
    render.onFinished = [&frames] { ++frames; };
    auto startRender = [&] {
        MapRenderInput input;
        input.width = 800;
        input.height = 480;
        input.mapLoaded = view.mapLoaded != 0;
        input.draw.state = view.Published();
        input.draw.clientHeight = 480;
        render.Start(std::move(input));
    };
    MapLoader loader(lists, mapFile, view, alarm, reader, settings,
                     {[&] { render.Stop(); }, {}, startRender});
    loader.overlayPath = scratch.Write("over.map", ZonesMap(20));

    long walked = 0;
    std::mt19937 random(27);
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(StressSeconds());
    int step = 0;
    while (std::chrono::steady_clock::now() < end) {
        {
            const std::lock_guard lock(fixLock);
            fix = nav::WaypointRecord(47.0 + (step % 100) * 0.01, -7.0, true);
        }
        switch (random() % 6) {
            case 0:
                loader.LoadMapFile(mapPath.wstring(), true, {});
                break;
            case 1:
                loader.ReloadOverlay();
                break;
            case 2:
                loader.RebuildEnlargedZones(random() % 2 == 0 ? 0.0F : 1.0F);
                break;
            case 3: {  // a tap: the UI thread walks the zones
                const std::lock_guard lock(lists.lock);
                for (const auto& z : lists.zones) walked += (LoadFlags(*z) & 0x10U) != 0;
                break;
            }
            case 4:
                startRender();
                break;
            default:
                std::this_thread::sleep_for(2ms);
                break;
        }
        // The UI handles the posted end now or later, when another read may
        // have replaced the one that posted it.
        if (random() % 2 == 0 && ends.exchange(0) > 0) loader.OnMapReadDone(0);
        (void)alarm.alarmedZone.load();
        ++step;
    }
    render.Stop();
    reader.Stop();
    alarm.Stop();
    EXPECT_GT(step, 0);
    EXPECT_GT(frames.load(), 0);
}

TEST(MapThreadsStress, CloseDuringALoad) {
    // The window's order: the lists outlive the threads, whose destructors
    // stop and join them while the read splices and the alarm runs.
    test_support::ScratchFolder scratch("mapclose");
    const auto mapPath = scratch.Write("zones.map", ZonesMap(3000));
    platform::SettingsStore settings("");
    for (int delayMs : {0, 1, 3, 10}) {
        MapLists lists;
        mapdata::CMapFile mapFile;
        MapViewModel view(mapFile);
        view.client = {800, 480};
        AlarmSources sources;
        sources.haveFix = [] { return true; };
        sources.readFix = [] { return AlarmFixInput{nav::WaypointRecord(47.0, -7.0, true)}; };
        sources.guards = [] { return AlarmGuards{}; };
        sources.period = 1ms;
        AlarmZoneThread alarm(lists.zones, sources);
        MapReadThread reader(lists, {{}, {}, {}});
        MapRenderThread render(lists);
        MapLoader loader(lists, mapFile, view, alarm, reader, settings, {[&] { render.Stop(); }, {}, {}});
        ASSERT_EQ(loader.LoadMapFile(mapPath.wstring(), true, {}), LoadResult::kStarted);
        render.Start(MapRenderInput{});
        std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
    }
}

}  // namespace
}  // namespace map
