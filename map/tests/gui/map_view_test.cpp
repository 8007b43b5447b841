// The map window under a display: its children, the first fix giving the
// default map around the aircraft, a drag panning, the timer's duties with
// a recorded sound sink and an injected clock, and the start position
// written at close.
#include "map/map_view.h"

#include <gtest/gtest.h>
#include <wx/button.h>
#include <wx/frame.h>
#include <wx/textctrl.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "fix/first_fix.h"
#include "map/map_point_link.h"
#include "mapdata/map_poly_element.h"
#include "mapdata/map_text_element.h"
#include "nav/current_position.h"
#include "nav/destination_queue.h"
#include "nav/settings_values.h"
#include "nav/tests/task_test_support.h"
#include "nav/waypoint_file_open.h"
#include "nav/waypoint_list.h"
#include "platform/gui/event_pump.h"
#include "platform/gui/screenshot.h"
#include "platform/settings_store.h"
#include "services/flarm_library.h"
#include "services/module_services.h"
#include "services/shared_locks.h"
#include "testing/generated_map.h"
#include "testing/scratch_folder.h"
#include "testing/wx_test_app.h"

namespace map {
namespace {

using namespace std::chrono_literals;

class RecordingSink final : public SoundSink {
  public:
    void Play(const std::wstring& fileName) override { played.push_back(fileName); }
    std::vector<std::wstring> played;
};

class MapViewTest : public ::testing::Test {
  protected:
    MapViewTest() {
        platform::SetAppSettings(std::make_unique<platform::SettingsStore>(scratch / "settings.ini"));
        core::g_documentsFolder = scratch.Path().wstring();
        g_mapFileName.Set(L"");
        g_bHaveFix = 0;
        g_fixAgeHours = 0.0;
        g_soundHoldOff = 0;
        {
            const platform::CriticalSectionLock lock(core::MapLock);
            nav::ResetCurrentPosition(47.0 * kRad, 8.0 * kRad);
        }
        frame = new wxFrame(nullptr, wxID_ANY, "map", wxDefaultPosition, wxSize(440, 340));
        view = new CGPSmapView(frame, wxPoint(0, 0), wxSize(400, 300));
        view->SetClock([this] { return now; });
        view->SetSoundSink(&sink);
        frame->Show();
        platform::gui::ProcessEventsFor(50ms);
    }
    ~MapViewTest() override {
        if (frame != nullptr) frame->Destroy();
        platform::gui::ProcessEventsFor(20ms);
        platform::SetAppSettings(nullptr);
    }

    void CloseWindow() {
        frame->Destroy();
        frame = nullptr;
        platform::gui::ProcessEventsFor(20ms);
    }

    static constexpr double kRad = 3.14159265358979323846 / 180.0;
    test_support::ScratchFolder scratch{"mapview"};
    platform::gui::ScopedUiBridge bridge;
    wxFrame* frame = nullptr;
    CGPSmapView* view = nullptr;
    RecordingSink sink;
    SteadyMs now = 1000000;
};

TEST_F(MapViewTest, ChildrenWithTheirIdsCaptionsAndPlaces) {
    struct Child {
        int id;
        const char* caption;
        wxRect rect;
        bool shown;
    };
    const Child children[] = {
        {kFlipId, "Flip Map", {0, 1, 24, 24}, true},
        {kExpandId, "Expand Map", {0, 28, 24, 25}, true},
        {kShrinkId, "Shrink Map", {0, 55, 24, 25}, true},
        {kCenterId, "Center Map", {0, 81, 24, 25}, true},
        {kZoomId, "Zoom Map", {0, 107, 24, 25}, true},
        {kReplayId, "ReplayFile", {0, 135, 24, 18}, true},
        {kToolbarId, "ShowToolBar", {3, 192, 18, 18}, false},
        {kGotoId, "GoTo", {35, 6, 139, 24}, false},
    };
    for (const Child& c : children) {
        wxWindow* child = view->Child(c.id);
        ASSERT_NE(child, nullptr) << c.id;
        EXPECT_EQ(child->GetLabel(), c.caption);
        EXPECT_EQ(child->GetRect(), c.rect) << c.id;
        EXPECT_EQ(child->IsShown(), c.shown) << c.id;
    }
    for (int hidden : {kPickListId, kBackId, kAlarmAckId, kCloseId, kInfoBoxId, kPictureId})
        EXPECT_FALSE(view->Child(hidden)->IsShown()) << hidden;
    EXPECT_TRUE(view->MapTimerRunning());
    EXPECT_EQ(view->MapTimerIntervalMs(), 400);
}

TEST_F(MapViewTest, FirstFixGivesTheDefaultMapAroundTheAircraftAndADragPans) {
    view->HandleMessage({platform::kMapViewWindow, platform::WM_USER_MAPFIXCOMMIT, 0, 0, {}});
    EXPECT_EQ(g_bHaveFix.load(), 0) << "ignored while starting";
    view->StartupDone();
    view->HandleMessage({platform::kMapViewWindow, platform::WM_USER_MAPFIXCOMMIT, 0, 0, {}});
    EXPECT_EQ(g_bHaveFix.load(), 1);
    const auto mapPath = scratch / "KOR_VAN WinCE" / "!!!def##.map";
    EXPECT_TRUE(std::filesystem::exists(mapPath));
    ASSERT_EQ(view->Model().mapLoaded, 1);
    EXPECT_EQ(view->Model().centredOnAircraft, 1);
    platform::gui::ProcessEventsUntil([this] { return view->MapReadDone(); }, 2000ms);
    platform::gui::ProcessEventsFor(100ms);
    EXPECT_TRUE(platform::gui::SaveScreenshot(*frame, std::filesystem::path(KV_BINARY_DIR) /
                                                          "screenshots" / "map_view_first_fix.png"));

    const mapdata::Vector3 before = view->Model().Published().centre;
    view->PointerDown({200, 150});
    view->PointerUp({210, 160});  // squared distance 200: a tap
    EXPECT_EQ(view->Model().centredOnAircraft, 1);
    view->PointerDown({200, 150});
    view->PointerUp({170, 190});
    EXPECT_EQ(view->Model().centredOnAircraft, 0);
    const mapdata::Vector3 after = view->Model().Published().centre;
    EXPECT_TRUE(before.x != after.x || before.y != after.y || before.z != after.z);

    // Zoom in and out by the buttons' messages: back to the same bounds.
    view->HandleMessage({platform::kMapViewWindow, platform::WM_USER_ICONBUTTON, kExpandId, 1, {}});
    const float zoomedWidth = view->Model().bounds.x1 - view->Model().bounds.x2;
    view->HandleMessage({platform::kMapViewWindow, platform::WM_USER_ICONBUTTON, kShrinkId, 1, {}});
    const float width = view->Model().bounds.x1 - view->Model().bounds.x2;
    EXPECT_NEAR(width / zoomedWidth, 1.6F, 1e-3F);

    // A dropped waypoint goes into the default map as the first point code.
    ASSERT_TRUE(platform::gui::ProcessEventsUntil([this] { return view->MapReadDone(); }, 2000ms));
    EXPECT_TRUE(view->AppendWaypointToMap(nav::CopyMapFix()));
    std::ifstream map(mapPath);
    std::string header;
    std::string point;
    std::getline(map, header);
    std::getline(map, point);
    EXPECT_NE(point.find(", -11"), std::string::npos) << point;

    // Modes 1 and 2 are taken now that a fix was seen.
    // The first zoom shows a real view around the aircraft, not an empty slot.
    view->SetMapDisplayMode(kZoomedMap);
    EXPECT_EQ(view->DisplayMode(), kZoomedMap);
    EXPECT_GT(view->Model().scale, 0.0F);
    EXPECT_GT(view->Model().bounds.x1 - view->Model().bounds.x2, 0.0F);
    EXPECT_GT(view->Model().pixelsPerMile, 0.0F);
    view->ToggleZoomedMap();
    EXPECT_EQ(view->DisplayMode(), kMovingMap);
}

// The fix thread's zoom near the destination: onto the point, onto a
// second point while the first is shown, and back to the moving map.
TEST_F(MapViewTest, AFocusRequestZoomsOntoThePointAndBack) {
    const auto focus = [this](int mode, double latitude, double longitude, float radiusKm) {
        const nav::WaypointRecord target(latitude * kRad, longitude * kRad, false);
        view->HandleMessage({platform::kMapViewWindow, platform::WM_APP_MAPFOCUS,
                             static_cast<std::uintptr_t>(mode), 0, MapFocusRequest{target, radiusKm}});
    };
    focus(kFocusPoint, 47.0, 8.0, 2.0F);
    EXPECT_EQ(view->DisplayMode(), kMovingMap) << "refused before the first fix";
    view->StartupDone();
    view->HandleMessage({platform::kMapViewWindow, platform::WM_USER_MAPFIXCOMMIT, 0, 0, {}});
    ASSERT_TRUE(platform::gui::ProcessEventsUntil([this] { return view->MapReadDone(); }, 2000ms));
    const float movingRadius = view->Model().mapRadius;

    const nav::WaypointRecord fix = nav::CopyMapFix();
    focus(kFocusPoint, fix.latitude / kRad + 0.05, fix.longitude / kRad, 2.0F);
    EXPECT_EQ(view->DisplayMode(), kFocusPoint);
    EXPECT_EQ(g_mapDisplayMode.load(), kFocusPoint);
    EXPECT_LT(view->Model().mapRadius, movingRadius);
    const double firstCentre = view->Model().Published().centre.z;
    focus(kFocusPoint, fix.latitude / kRad - 0.05, fix.longitude / kRad, 2.0F);
    EXPECT_EQ(view->DisplayMode(), kFocusPoint);
    EXPECT_NE(view->Model().Published().centre.z, firstCentre) << "the second point is shown";
    focus(kMovingMap, 0.0, 0.0, 0.0F);
    EXPECT_EQ(view->DisplayMode(), kMovingMap);
    EXPECT_EQ(view->Model().mapRadius, movingRadius);

    // The next task point as destination: the focus on the point left
    // behind ends (the fix thread never reports leaving it).
    nav::g_taskNavigationActive = 1;
    focus(kFocusPoint, fix.latitude / kRad + 0.05, fix.longitude / kRad, 2.0F);
    ASSERT_EQ(view->DisplayMode(), kFocusPoint);
    view->HandleMessage({platform::kMapViewWindow, platform::WM_USER_DESTINATION_CHANGED, 0, 0, {}});
    EXPECT_EQ(view->DisplayMode(), kMovingMap);
    EXPECT_EQ(view->Model().mapRadius, movingRadius);
    // The thermal view stays while the task is flown.
    view->ToggleZoomedMap();
    view->HandleMessage({platform::kMapViewWindow, platform::WM_USER_DESTINATION_CHANGED, 0, 0, {}});
    EXPECT_EQ(view->DisplayMode(), kZoomedMap);
    nav::g_taskNavigationActive = 0;
}

TEST_F(MapViewTest, TimerPlaysTheSpeedDirectorAndMarksAnOldFix) {
    bool mark = false;
    view->TimerSources().speedDirector = [] {
        return SpeedDirectorInput{.enabled = true, .circling = false, .polarFitted = true,
                                  .tolerance = 2.0F, .airspeed = 62.0F, .speedToFly = 70.0F,
                                  .groundSpeedKnots = 40.0F};
    };
    view->TimerSources().setNoFixMark = [&mark](bool set) { mark = set; };
    view->TimerSources().noFixMarkSet = [&mark] { return mark; };
    view->KillMapTimer();  // the test drives the ticks
    for (int tick = 0; tick < 13; ++tick) view->TimerTick();
    EXPECT_EQ(sink.played, (std::vector<std::wstring>{kFlyFasterSound, kFlyFasterSound}));
    EXPECT_FALSE(mark);
    g_fixAgeHours = 0.0109;
    view->TimerTick();
    EXPECT_TRUE(mark);
    // The back button gives the fix 0.056 h more.
    wxCommandEvent back(wxEVT_BUTTON, kBackId);
    view->GetEventHandler()->ProcessEvent(back);
    EXPECT_DOUBLE_EQ(g_fixAgeHours.load(), kBackButtonAgeHours);
    view->TimerTick();
    EXPECT_FALSE(mark);
}

TEST_F(MapViewTest, GlideModeButtonTogglesThePolarOrHoldsTheReplay) {
    auto recorder = std::make_shared<platform::RecordingUiPostBackend>();
    auto previous = platform::SetUiPostBackend(recorder);
    const auto button = [this](bool pressed) {
        view->HandleMessage({platform::kMapViewWindow, platform::WM_USER_ICONBUTTON, kReplayId,
                             pressed ? 1 : 0, {}});
    };
    view->ShowGlideModeImage(kGlidePolar);
    EXPECT_EQ(dynamic_cast<CIconButton*>(view->Child(kReplayId))->IconIndex(), kGlidePolar);
    button(true);
    EXPECT_TRUE(recorder->Records().empty());
    button(false);
    using R = platform::RecordingUiPostBackend::Record;
    EXPECT_EQ(recorder->Records(),
              (std::vector<R>{{platform::kMainFrameWindow, platform::WM_COMMAND, 32816, 0, false}}));

    recorder->Clear();
    view->ShowGlideModeImage(kGlideReplayRunning);
    button(true);
    EXPECT_EQ(g_replayHold.load(), 1);
    button(false);
    EXPECT_EQ(g_replayHold.load(), 0);
    EXPECT_TRUE(recorder->Records().empty());
    platform::SetUiPostBackend(previous);
}

// A map with a zone from the ground to 5000 ft around 47 30 N 7 E.
constexpr char kZonesMap[] =
    "48,0,0,-8,0,0,46,0,0,-6,0,0,10N,0\r\n"
    "47,30,0,-7,0,0,-7,;5000,0F\r\n"
    "47,25,0,-7,5,0,-2,18,255,0,0,3\r\n"
    "47,25,0,-6,55,0,-1\r\n"
    "47,35,0,-6,55,0,-1\r\n"
    "47,25,0,-7,5,0,-1\r\n";

TEST_F(MapViewTest, ZoneEntryAnnouncesWithSoundPopupAndHoldAndALongHoldAcknowledges) {
    std::vector<std::pair<std::wstring, int>> popups;
    view->TimerSources().showPopup = [&popups](const std::wstring& text, int kind) {
        popups.emplace_back(text, kind);
    };
    view->KillMapTimer();
    {
        const platform::CriticalSectionLock lock(core::MapLock);
        nav::ResetCurrentPosition(47.5 * kRad, -7.0 * kRad);
        nav::g_mapFix.altitude = 3000.0F;
        nav::g_mapFix.altitudeKnown = true;
    }
    const auto mapPath = scratch.Write("zones.map", kZonesMap);
    view->StartupDone();
    ASSERT_EQ(view->LoadMapFile(mapPath.wstring(), 1), 1);
    view->HandleMessage({platform::kMapViewWindow, platform::WM_USER_MAPFIXCOMMIT, 0, 0, {}});
    const bool announced = platform::gui::ProcessEventsUntil(
        [&] {
            view->TimerTick();
            now += 400;
            return !sink.played.empty();
        },
        3000ms);
    ASSERT_TRUE(announced);
    EXPECT_EQ(sink.played.front(), kZoneAlarmSound);
    ASSERT_EQ(popups.size(), 1U);
    EXPECT_EQ(popups[0].second, 1);
    EXPECT_EQ(popups[0].first.substr(0, 10), L"Alt: 0-500");
    wxWindow* hold = view->Child(kAlarmAckId);
    EXPECT_TRUE(hold->IsShown());

    // The hold button's report: a press held 1.6 s acknowledges the zone.
    view->HandleMessage({platform::kMapViewWindow, platform::WM_APP_MAPHOLD, 1, kAlarmAckId, {}});
    platform::gui::ProcessEventsFor(50ms);
    EXPECT_TRUE(view->ZoneFlagsOfAlarm() & 0x08U);
}

// At exit the frame stops a running read: it ends without waiting for its
// end to be handled, and the map keeps what was read.
TEST_F(MapViewTest, StopMapReadEndsARunningReadAndCountsItDone) {
    view->KillMapTimer();
    const auto mapPath = scratch.Write("large.map", test_support::GeneratedMapText(20000));
    ASSERT_EQ(view->LoadMapFile(mapPath.wstring(), 1), 1);
    EXPECT_FALSE(view->MapReadDone());
    EXPECT_FALSE(view->MapReady());

    view->StopMapRead();
    EXPECT_TRUE(view->MapReadDone());
    EXPECT_TRUE(view->MapReady());
    platform::gui::ProcessEventsFor(50ms);
    EXPECT_TRUE(view->MapReadDone());
}

TEST_F(MapViewTest, ATapOnAPointOffersItAndPickingItSetsTheDestination) {
    std::vector<std::pair<std::wstring, int>> popups;
    view->TimerSources().showPopup = [&popups](const std::wstring& text, int kind) {
        popups.emplace_back(text, kind);
    };
    view->KillMapTimer();
    const auto mapPath = scratch.Write("town.map", "48,0,0,-8,0,0,46,0,0,-6,0,0,10N,0\r\n"
                                                   "47,0,0,-7,0,0,-5,Town\r\n");
    ASSERT_EQ(view->LoadMapFile(mapPath.wstring(), 1), 1);
    ASSERT_TRUE(platform::gui::ProcessEventsUntil([this] { return view->MapReadDone(); }, 2000ms));
    const mapdata::ScreenPoint p = mapdata::ProjectToScreen(
        view->Model().Published(), mapdata::ToUnitVector(-7.0 * kRad, 47.0 * kRad));
    const wxPoint at(static_cast<int>(p.x) + 5, static_cast<int>(p.y) - 5);
    view->PointerDown(at);
    view->PointerUp(at);
    ASSERT_EQ(view->Picked().size(), 1U);
    EXPECT_EQ(view->Picked()[0].name, L"Town");
    ASSERT_EQ(popups.size(), 1U);
    EXPECT_EQ(popups[0], (std::pair<std::wstring, int>{L"** Town", 8}));
    EXPECT_TRUE(view->Child(kGotoId)->IsShown());
    EXPECT_TRUE(view->Child(kPickListId)->IsShown());

    nav::g_taskNavigationActive = 1;
    view->HandleMessage({platform::kMapViewWindow, platform::WM_USER_PICKROW, 0, 0, {}});
    EXPECT_EQ(nav::CopyDestination().name.View(), L"Town");
    EXPECT_EQ(nav::g_taskNavigationActive.load(), 0) << "the picked object ends the task";
    EXPECT_FALSE(view->Child(kGotoId)->IsShown());
    EXPECT_TRUE(view->Picked().empty());
    // A row past the list changes nothing.
    view->HandleMessage({platform::kMapViewWindow, platform::WM_USER_PICKROW, 3, 0, {}});
    EXPECT_EQ(nav::CopyDestination().name.View(), L"Town");
}

TEST_F(MapViewTest, ADroppedPointShowsAtOnceAndJoinsTheWaypointsWhenAskedTo) {
    view->KillMapTimer();
    const auto mapPath = scratch.Write("drop.map", "48,0,0,-8,0,0,46,0,0,-6,0,0,10N,0\r\n"
                                                   "47,0,0,-7,0,0,-5,Town\r\n");
    const auto waypointPath = scratch.Write("points.dta", "");
    ASSERT_TRUE(nav::g_waypointFile.OpenWaypoints(waypointPath.wstring()));
    ASSERT_EQ(view->LoadMapFile(mapPath.wstring(), 1), 1);
    ASSERT_TRUE(platform::gui::ProcessEventsUntil([this] { return view->MapReadDone(); }, 2000ms));
    const auto markers = [this] {
        std::vector<std::int32_t> codes;
        view->ChangeElements([&codes](MapLists& lists) {
            for (const auto& element : lists.general) {
                if (const auto* text = dynamic_cast<const mapdata::CMapTextElement*>(element.get()))
                    codes.push_back(text->kindCode);
            }
        });
        return codes;
    };
    ASSERT_EQ(markers(), std::vector<std::int32_t>{-5});

    gps::g_terrainElevation = 1500.0F;
    nav::WaypointRecord point(47.1, -7.1, true);
    point.altitude = 1500.0F;
    point.altitudeKnown = true;
    ASSERT_TRUE(view->AppendWaypointToMap(point));
    EXPECT_EQ(markers(), (std::vector<std::int32_t>{-5, -11})) << "drawn without reading the map again";
    nav::g_saveDroppedWpts = 0;
    ASSERT_TRUE(view->AppendWaypointToMap(point));
    EXPECT_EQ(markers(), (std::vector<std::int32_t>{-5, -11, -12}));
    nav::g_saveDroppedWpts = 1;
    gps::g_terrainElevation = gps::kUnknownTerrain;
    nav::g_waypointFile.Close();

    {
        const platform::CriticalSectionLock lock(nav::WaypointListLock);
        ASSERT_EQ(nav::g_waypoints.Count(), 1) << "only the first, while SaveDroppedWpts was on";
        const nav::CWaypointEntry& entry = *nav::g_waypoints.At(0);
        EXPECT_EQ(entry.record.name.View(), L"Waypoint    1");
        EXPECT_NE(entry.record.attachments.comment.find(L"  GL"), std::wstring::npos)
            << "the altitude is the known terrain's";
        nav::g_waypoints.Clear();
    }
    std::ifstream waypoints(waypointPath);
    const std::string text((std::istreambuf_iterator<char>(waypoints)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("Waypoint    1"), std::string::npos) << text;
}

TEST_F(MapViewTest, ANewMapPointIsWrittenToTheTextMapAndDrawn) {
    view->KillMapTimer();
    const std::shared_ptr<nav::MapPointFile> link = MakeMapPointLink(*view);
    EXPECT_FALSE(link->Writable()) << "no map yet";
    // The last record has no line end: the point must not join it.
    const auto mapPath = scratch.Write("points.map", "48,0,0,-8,0,0,46,0,0,-6,0,0,10N,0\r\n"
                                                     "47,0,0,-7,0,0,-5,Town");
    ASSERT_EQ(view->LoadMapFile(mapPath.wstring(), 1), 1);
    ASSERT_TRUE(platform::gui::ProcessEventsUntil([this] { return view->MapReadDone(); }, 2000ms));
    ASSERT_TRUE(link->Writable());
    EXPECT_GT(link->SymbolCount(), 0);
    ASSERT_TRUE(link->Append(L"47.1, 0, 0,7.1, 0, 0, 3,Hut\r\n"));
    nav::WaypointRecord hut(47.1, 7.1, true);
    hut.name.Assign(L"Hut");
    link->MakeElement(hut, 3, 0);
    std::vector<std::wstring> names;
    view->ChangeElements([&names](MapLists& lists) {
        for (const auto& element : lists.general) {
            if (const auto* text = dynamic_cast<const mapdata::CMapTextElement*>(element.get()))
                names.push_back(text->text);
        }
    });
    EXPECT_EQ(names, (std::vector<std::wstring>{L"Town", L"Hut"}));
    std::ifstream map(mapPath);
    const std::string text((std::istreambuf_iterator<char>(map)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("-5,Town\r\n47.1, 0, 0,7.1, 0, 0, 3,Hut\r\n"), std::string::npos) << text;
}

TEST_F(MapViewTest, ADroppedPointRecordIsOfferedAndTakenOffTheMap) {
    view->KillMapTimer();
    const auto mapPath = scratch.Write("marks.map", "48,0,0,-8,0,0,46,0,0,-6,0,0,10N,0\r\n"
                                                    "47,0,0,-7,0,0,-5,Town\r\n"
                                                    "47,6,0,-7,6,0,-11\r\n");
    ASSERT_EQ(view->LoadMapFile(mapPath.wstring(), 1), 1);
    ASSERT_TRUE(platform::gui::ProcessEventsUntil([this] { return view->MapReadDone(); }, 2000ms));
    const auto records = view->PointRecords();
    ASSERT_EQ(records.size(), 1U) << "only the dropped point, not the label";
    EXPECT_EQ(records[0].code, -11);
    ASSERT_TRUE(view->HasPointElement(records[0]));
    ASSERT_TRUE(view->RemovePointRecord(records[0]));
    EXPECT_FALSE(view->HasPointElement(records[0]));
    EXPECT_FALSE(view->RemovePointRecord(records[0])) << "its element is gone";
    std::ifstream map(mapPath);
    const std::string text((std::istreambuf_iterator<char>(map)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("\r\n;7,6,0,-7,6,0,-11"), std::string::npos) << text;
}

TEST_F(MapViewTest, InModeThreeATapInTheZoneMovesTheTaskPointTarget) {
    view->KillMapTimer();
    const auto mapPath = scratch.Write("task.map", "48,0,0,-8,0,0,46,0,0,-6,0,0,10N,0\r\n"
                                                   "47,0,0,-7,0,0,-5,Town\r\n");
    ASSERT_EQ(view->LoadMapFile(mapPath.wstring(), 1), 1);
    ASSERT_TRUE(platform::gui::ProcessEventsUntil([this] { return view->MapReadDone(); }, 2000ms));

    using namespace nav::testing;
    const nav::WaypointRecord turn = At(47.0, 7.0, L"Turn");
    auto task = MakeTask({At(46.5, 6.5, L"Start"), turn, At(47.5, 7.5, L"Finish")});
    const TaskStateScope scope;
    auto stats = std::make_shared<RecordingStatisticsLink>();
    nav::SetTaskStatisticsLink(stats);
    nav::CTaskPoint* point = task->points[1].get();
    MakeCylinder(*point, nav::kRoleOrdinary, 20.0F);
    nav::g_currentTask = task.get();
    nav::g_taskNavigationActive = 1;
    nav::g_activeTaskPoint = point;

    view->ShowObjectOnMap({6.8, 46.8, 7.2, 47.2});
    ASSERT_EQ(view->DisplayMode(), kFocusObject);
    EXPECT_EQ(stats->stops.load(), 1) << "showing the object restarts the task statistics";
    EXPECT_EQ(stats->starts.load(), 1);
    const auto tapAt = [this](const nav::WaypointRecord& where) {
        const mapdata::ScreenPoint p = mapdata::ProjectToScreen(
            view->Model().Published(), mapdata::ToUnitVector(where.longitude, where.latitude));
        const wxPoint at(static_cast<int>(p.x), static_cast<int>(p.y));
        view->PointerDown(at);
        view->PointerUp(at);
    };
    tapAt(Offset(turn, 0.0, 60.0));  // outside the 20 km cylinder
    EXPECT_TRUE(point->target.IsSamePosition(turn));
    EXPECT_EQ(stats->starts.load(), 1);
    const nav::WaypointRecord inside = Offset(turn, 90.0, 8.0);
    tapAt(inside);
    EXPECT_NEAR(point->target.latitude, inside.latitude, 2e-4);
    EXPECT_NEAR(point->target.longitude, inside.longitude, 2e-4);
    EXPECT_EQ(stats->stops.load(), 2);
    EXPECT_EQ(stats->starts.load(), 2);
    EXPECT_TRUE(view->Picked().empty()) << "no object information in mode 3";
    nav::g_activeTaskPoint = nullptr;
    nav::g_currentTask = nullptr;
}

TEST_F(MapViewTest, RescaleSimplifiesTheLoadedLines) {
    view->KillMapTimer();
    // A line of three points on one meridian: the middle one adds nothing.
    const auto mapPath = scratch.Write("line.map", "48,0,0,-8,0,0,46,0,0,-6,0,0,10N,0\r\n"
                                                   "47,0,0,-7,0,0,-2\r\n"
                                                   "47,0,0,-7,0,0,-1\r\n"
                                                   "47,10,0,-7,0,0,-1\r\n"
                                                   "47,20,0,-7,0,0,-1\r\n"
                                                   "47,20,0,-7,0,0,-2\r\n");
    ASSERT_EQ(view->LoadMapFile(mapPath.wstring(), 1), 1);
    ASSERT_TRUE(platform::gui::ProcessEventsUntil([this] { return view->MapReadDone(); }, 2000ms));
    const auto points = [this] {
        std::size_t n = 0;
        view->ChangeElements([&n](MapLists& lists) {
            for (const auto& element : lists.general) {
                if (const auto* poly = dynamic_cast<const mapdata::CMapPolyElement*>(element.get()))
                    n += poly->PointCount();
            }
        });
        return n;
    };
    const std::size_t before = points();
    ASSERT_GE(before, 3U);
    EXPECT_TRUE(view->SimplifyElements(0.75 / 6371.0, 50.0 / 6371.0));
    EXPECT_EQ(points(), before - 1);
}

TEST_F(MapViewTest, LayoutClassTwoAndWideTextButtons) {
    view->LayChildren(2, 70);
    EXPECT_EQ(view->Child(kCenterId)->GetRect(), wxRect(0, 135, 24, 18));
    EXPECT_EQ(view->Child(kReplayId)->GetRect(), wxRect(0, 81, 24, 25));
    EXPECT_EQ(view->Child(kBackId)->GetRect(), wxRect(24, 15, 70, 24));
    EXPECT_EQ(view->Child(kAlarmAckId)->GetRect(), wxRect(24, 54, 70, 24));
    EXPECT_EQ(view->Child(kCloseId)->GetRect(), wxRect(24, 80, 70, 24));
    EXPECT_EQ(view->Child(kPickListId)->GetRect(), wxRect(172, 1, 54, 24));
    // A width no language has falls back to the usual one.
    view->LayChildren(0, 90);
    EXPECT_EQ(view->Child(kBackId)->GetRect(), wxRect(24, 20, 64, 24));
    EXPECT_EQ(view->Child(kCenterId)->GetRect(), wxRect(0, 81, 24, 25));
}

// A FLARM library whose traffic window is a plain child of the map.
struct FakeFlarm {
    static void* Create(CFLARMobject* /*object*/, void* parent, unsigned id) {
        ++created;
        return new wxWindow(static_cast<wxWindow*>(parent), static_cast<int>(id));
    }
    static void Close(CFLARMobject* /*object*/) { ++closed; }
    static inline int created = 0;
    static inline int closed = 0;
};

TEST_F(MapViewTest, FlarmTrafficWindowSitsInTheTopRightCornerAndIsClosedWithTheMap) {
    EXPECT_EQ(view->FlarmWindow(), nullptr) << "none without FLARM";
    CloseWindow();

    CFLARMobject object{};
    g_pFlarmObject = &object;
    core::g_flarm.createTcasWindow = &FakeFlarm::Create;
    core::g_flarm.closeWindow = &FakeFlarm::Close;
    frame = new wxFrame(nullptr, wxID_ANY, "map", wxDefaultPosition, wxSize(440, 340));
    view = new CGPSmapView(frame, wxPoint(0, 0), wxSize(400, 300));
    frame->Show();
    platform::gui::ProcessEventsFor(50ms);
    ASSERT_NE(view->FlarmWindow(), nullptr);
    EXPECT_EQ(view->FlarmWindow()->GetId(), kFlarmWindowId);
    wxSize told;
    view->FlarmWindow()->Bind(wxEVT_SIZE, [&told](wxSizeEvent& event) {
        told = event.GetSize();
        event.Skip();
    });

    struct Case {
        wxSize client;
        int side;
    };
    for (const Case& c : {Case{{350, 300}, 128}, Case{{210, 280}, 90}}) {
        view->SetClientSize(c.client);
        platform::gui::ProcessEventsFor(30ms);
        const wxSize client = view->GetClientSize();
        ASSERT_EQ(client, c.client);
        EXPECT_EQ(view->FlarmWindow()->GetRect(), wxRect(c.client.x - c.side, 0, c.side, c.side));
        EXPECT_EQ(told, wxSize(c.side, c.side));
    }
    CloseWindow();
    EXPECT_EQ(FakeFlarm::closed, 1);
    g_pFlarmObject = nullptr;
    core::g_flarm = {};
}

TEST_F(MapViewTest, StartPositionWrittenAtCloseOnlyAfterAFix) {
    CloseWindow();
    EXPECT_FALSE(platform::AppSettings().Get("Options\\Miscellaneous", "InitLatitude"));

    frame = new wxFrame(nullptr, wxID_ANY, "map");
    view = new CGPSmapView(frame, wxPoint(0, 0), wxSize(400, 300));
    view->StartupDone();
    view->HandleMessage({platform::kMapViewWindow, platform::WM_USER_MAPFIXCOMMIT, 0, 0, {}});
    CloseWindow();
    EXPECT_EQ(platform::AppSettings().GetString("Options\\Miscellaneous", "InitLatitude", ""), "47.000000");
    EXPECT_EQ(platform::AppSettings().GetString("Options\\Miscellaneous", "InitLongitude", ""), "8.000000");
}

}  // namespace
}  // namespace map
