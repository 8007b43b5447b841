#include "frame/position_view.h"

#include <gtest/gtest.h>

#include <wx/button.h>
#include <wx/frame.h>
#include <wx/textctrl.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <memory>
#include <mutex>

#include "core/elevation_model.h"
#include "core/settings_values.h"
#include "fix/first_fix.h"
#include "fix/fix_commit.h"
#include "frame/glide_info_values.h"
#include "frame/glide_info_window.h"
#include "frame/position_keyboard_edit.h"
#include "frame/position_links.h"
#include "frame/position_spin.h"
#include "glide/current_wind.h"
#include "glide/final_glide.h"
#include "glide/glide_path.h"
#include "glide/settings_values.h"
#include "glide/thermal_drift.h"
#include "gps/nav_fix.h"
#include "nav/current_position.h"
#include "nav/destination_queue.h"
#include "nav/task_activation.h"
#include "nav/tests/task_test_support.h"
#include "platform/canvas.h"
#include "platform/gui/event_pump.h"
#include "platform/gui/screenshot.h"
#include "platform/message_box.h"
#include "platform/settings_store.h"
#include "services/shared_locks.h"
#include "testing/wx_test_app.h"
#include "texts/display_texts.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using frame::CGPSposView;
using frame::PageClock;
using frame::ViewMode;

const fs::path kPositionScreenshots = fs::path(KV_BINARY_DIR) / "screenshots";

// A ridge running north-south 20 km east of the origin, 2500 ft on 500 ft
// ground, 1 km wide.
class RidgeModel final : public core::ElevationModel {
  public:
    std::optional<float> GetElevationAt(double lonWest, double latitude) const override {
        const double eastKm = (kOriginLonWest - lonWest) * 6371.0 * std::cos(latitude);
        return std::fabs(eastKm - 20.0) < 1.0 ? 2500.0F : 500.0F;
    }
    double SampleStepKm() const override { return 0.5; }
    static constexpr double kOriginLonWest = -8.0 * 3.14159265358979 / 180.0;
};

class PositionViewTest : public ::testing::Test {
  protected:
    void SetUp() override {
        platform::SetAppSettings(std::make_unique<platform::SettingsStore>(fs::path()));
        glide::g_altString = 0;
        glide::g_varioString = 0;
        glide::g_lonLatString = 0;
        frame_ = new wxFrame(nullptr, wxID_ANY, "position page", wxDefaultPosition, wxSize(240, 480));
        view_ = new CGPSposView(frame_, wxPoint(0, 0), wxSize(240, 480));
        view_->SetClock([this] { return now_; });
        frame_->Show();
        platform::gui::ProcessEventsFor(50ms);
    }
    void TearDown() override {
        frame_->Destroy();
        platform::gui::ProcessEventsFor(50ms);
        platform::SetAppSettings(nullptr);
        core::SetElevationModel(nullptr);
        core::g_unitDist = 0;
        gps::g_terrainElevation = gps::kUnknownTerrain;
        const std::scoped_lock lock(core::TaskLock);
        nav::g_waypointQueue = {};
        nav::g_destinationValid = 0;
    }
    void Mouse(wxEventType type, wxPoint at) {
        wxMouseEvent event(type);
        event.SetPosition(at);
        event.SetEventObject(view_);
        view_->GetEventHandler()->ProcessEvent(event);
    }
    // A press at `from` and a release at `to`, heldMs apart, ending at `at` ms.
    void Gesture(wxPoint from, wxPoint to, int atMs, int heldMs = 50) {
        now_ = PageClock{atMs - heldMs};
        Mouse(wxEVT_LEFT_DOWN, from);
        now_ = PageClock{atMs};
        Mouse(wxEVT_LEFT_UP, to);
    }
    void SetDestination(const wchar_t* note) {
        const std::scoped_lock lock(core::TaskLock);
        nav::g_waypointQueue.slots[2].record = nav::testing::At(47.0, 8.0, L"RIDGE");
        nav::g_waypointQueue.slots[2].record.altitude = 1500.0F;
        nav::g_waypointQueue.slots[2].record.altitudeKnown = true;
        nav::g_waypointQueue.slots[2].record.attachments.comment = note;
        nav::g_waypointQueue.current = 2;
        nav::g_destinationValid = 1;
    }
    void Shoot(const std::string& name) {
        fs::create_directories(kPositionScreenshots);
        view_->Refresh();
        platform::gui::ProcessEventsFor(50ms);
        EXPECT_TRUE(platform::gui::SaveScreenshot(*frame_, kPositionScreenshots / (name + ".png")));
    }

    wxFrame* frame_ = nullptr;  // owned by wx
    CGPSposView* view_ = nullptr;
    PageClock now_{100000};
};

TEST_F(PositionViewTest, TapsCycleTheRightCellAndStoreIt) {
    Gesture({200, 30}, {200, 30}, 200000);
    EXPECT_EQ(view_->Model().Modes().altString, 1);
    EXPECT_EQ(platform::AppSettings().GetInt("Settings", "AltString", 99), 1U);
    // A second tap 200 ms later is ignored.
    Gesture({200, 30}, {200, 30}, 200200);
    EXPECT_EQ(view_->Model().Modes().altString, 1);
    Gesture({200, 30}, {200, 30}, 201000);
    EXPECT_EQ(glide::g_altString.load(), 2);
}

TEST_F(PositionViewTest, TheTemperatureIsCycledOnlyOnceAnInstrumentSentOne) {
    const auto tapAt9 = [this](int ms) {
        glide::g_altString = 9;
        auto* view = new CGPSposView(frame_, wxPoint(0, 0), wxSize(240, 480));
        view->SetClock([ms] { return PageClock{ms}; });
        view->CycleFieldMode({200, 30});
        const int index = view->Model().Modes().altString;
        view->Destroy();
        return index;
    };
    EXPECT_EQ(tapAt9(100000), 0);
    {
        const std::scoped_lock lock(gps::FixLock);
        gps::g_currentInstruments.delivered.temperature = true;
    }
    EXPECT_EQ(tapAt9(101000), 10);
    const std::scoped_lock lock(gps::FixLock);
    gps::g_currentInstruments = {};
}

TEST_F(PositionViewTest, TheTopLineFollowsTheMapsThermalMode) {
    // Shared, not captured by reference: the view may paint after the test.
    const auto thermal = std::make_shared<bool>(true);
    const auto mapWindShown = std::make_shared<int>(0);
    frame::PositionMapLink link;
    link.inThermalMode = [thermal] { return *thermal; };
    link.windChanged = [mapWindShown] { ++*mapWindShown; };
    view_->SetMapLink(link);
    // In the thermal mode the top line is the drift line: a tap right of its
    // first 60 pixels takes the drift estimate's wind from the last committed
    // fix (a calm as well) and leaves the line's mode alone.
    glide::SetCurrentWind({});
    glide::DriftText.Reset();
    view_->CycleFieldMode({100, 10});
    EXPECT_FALSE(glide::CurrentWind().valid);  // no wind computed yet
    {
        const std::scoped_lock lock(gps::FixLock);
        gps::CurrentFix.instrumentWind = gps::WindRecord{.direction = 270.0F};
        gps::CurrentFix.valueMask |= gps::value_bit::kInstrumentWind;
    }
    view_->CycleFieldMode({100, 10});
    EXPECT_TRUE(glide::CurrentWind().valid);
    EXPECT_FLOAT_EQ(glide::CurrentWind().speed, 0.0F);
    EXPECT_EQ(glide::DriftText.Get().substr(4, 1), L">");
    EXPECT_EQ(*mapWindShown, 1) << "the map's wind disc shows the adopted wind";
    EXPECT_EQ(view_->Model().Modes().lonLatString, 0);
    {
        const std::scoped_lock lock(gps::FixLock);
        gps::CurrentFix = {};
    }
    glide::SetCurrentWind({});
    *thermal = false;
    view_->CycleFieldMode({100, 10});
    EXPECT_EQ(view_->Model().Modes().lonLatString, 1);
}

TEST_F(PositionViewTest, ALongPressShowsTheDestinationsNote) {
    SetDestination(L"Landable field on the south side");
    Gesture({120, 60}, {120, 60}, 300000, 600);
    EXPECT_FALSE(view_->NotesWindow().IsShown());
    Gesture({120, 60}, {120, 60}, 302000, 601);
    EXPECT_TRUE(view_->NotesWindow().IsShown());
    EXPECT_EQ(view_->NotesWindow().GetValue(), "Landable field on the south side");
}

TEST_F(PositionViewTest, ASwipeOpensTheGlidePanelWhichStepsAndCloses) {
    frame::g_manualMacCready = 1.0F;
    core::g_autoMacCready = 0;
    Gesture({20, 10}, {160, 30}, 400000, 200);
    frame::CGlideInfoWnd& panel = view_->GlidePanel();
    ASSERT_TRUE(panel.IsShown());
    EXPECT_EQ(panel.Line(), L" MC  1.0");
    panel.StepSelectedValue(1);
    EXPECT_FLOAT_EQ(frame::g_manualMacCready.load(), 1.2F);
    EXPECT_EQ(glide::MacCreadyText.Get(), L" 1.2");
    panel.HandleTap(60, 10);  // the text: the wind next
    EXPECT_EQ(panel.Mode(), 1);
    Shoot("position_glide_panel_compact_240x480");
    view_->SetRowOrigins(frame::kAlternateRows, 1);
    Shoot("position_glide_panel_alternate_240x480");
    view_->ShowSettingsPanel(0);
    EXPECT_FALSE(panel.IsShown());
}

TEST_F(PositionViewTest, TheMacCreadySpinStepsAndReturnsToRest) {
    core::g_autoSetMacCready = 0;
    core::g_unitVario = 0;
    core::g_macCready = 1.0F;  // the page starts its manual value from it
    gps::ChangeNav([&](gps::NavSnapshot& nav) { nav.instrumentMacCreadyKnown = false; });
    glide::g_varioString = 1;
    auto* view = new CGPSposView(frame_, wxPoint(0, 0), wxSize(240, 480));
    view->Refresh();
    view->Update();
    platform::gui::ProcessEventsFor(50ms);
    auto* spin = dynamic_cast<frame::PositionSpin*>(view->FindWindow(frame::kMacCreadySpinId));
    ASSERT_NE(spin, nullptr);
    EXPECT_TRUE(spin->IsShown());
    EXPECT_EQ(spin->GetMin(), 0);
    EXPECT_EQ(spin->GetMax(), 75);
    // Two buttons a finger can press, side by side on the page.
    ASSERT_EQ(spin->GetChildren().size(), 2U);
    for (const wxWindow* button : spin->GetChildren()) {
        EXPECT_GE(button->GetSize().x, 32);
        EXPECT_GE(button->GetSize().y, 32);
    }
    EXPECT_TRUE(wxRect(view->GetClientSize()).Contains(spin->GetRect()));
    spin->Press(true);
    EXPECT_FLOAT_EQ(frame::g_manualMacCready.load(), 1.2F);
    EXPECT_FLOAT_EQ(core::g_macCready.load(), 1.2F);
    EXPECT_EQ(spin->GetValue(), 30);
    view->Destroy();
    glide::g_varioString = 0;
}

TEST_F(PositionViewTest, TheAltitudeEditSurvivesFixesAndSetsTheAltitude) {
    SetDestination(L"");
    core::g_unitAlt = 0;
    // The map shows the edited waypoint and follows the glider again after.
    std::vector<std::wstring> mapCalls;
    frame::PositionMapLink link;
    link.showObjectOnMap = [&mapCalls](const nav::WaypointRecord& record) {
        mapCalls.push_back(L"show " + std::wstring(record.name.View()));
    };
    link.resumeMovingMap = [&mapCalls] { mapCalls.emplace_back(L"resume"); };
    view_->SetMapLink(link);
    Gesture({30, 60}, {200, 60}, 500000, 200);
    ASSERT_EQ(view_->Mode(), ViewMode::kAltitudeEdit);
    EXPECT_TRUE(view_->AltitudeEdit().IsShown());
    EXPECT_EQ(view_->AltitudeEdit().GetValue(), "1500");
    EXPECT_EQ(mapCalls, std::vector<std::wstring>{L"show RIDGE"});
    // The fix thread's WM_USER+5 leaves the edit open.
    view_->OnWindowMessage({platform::kPosViewWindow, platform::WM_USER + 5, 0, 0, {}});
    EXPECT_EQ(view_->Mode(), ViewMode::kAltitudeEdit);
    Shoot("position_mode1_240x480");

    view_->AltitudeEdit().SetValue("1720");
    wxButton* set = dynamic_cast<wxButton*>(view_->FindWindow(frame::kSetButtonId));
    ASSERT_NE(set, nullptr);
    wxCommandEvent click(wxEVT_BUTTON, frame::kSetButtonId);
    click.SetEventObject(set);
    set->GetEventHandler()->ProcessEvent(click);
    EXPECT_EQ(view_->Mode(), ViewMode::kFields);
    EXPECT_EQ(mapCalls, (std::vector<std::wstring>{L"show RIDGE", L"resume"}));
    const std::scoped_lock lock(core::TaskLock);
    EXPECT_FLOAT_EQ(nav::g_waypointQueue.slots[2].record.altitude, 1720.0F);
}

TEST_F(PositionViewTest, MessagesFromOtherThreads) {
    using platform::WindowMessage;
    const auto send = [this](unsigned message, std::uintptr_t wParam, std::intptr_t lParam,
                             std::any payload = {}) {
        view_->OnWindowMessage({platform::kPosViewWindow, message, wParam, lParam, std::move(payload)});
    };
    // Circling shows the chosen second line and gives the stored one back.
    glide::g_showWhileCircling = 2;
    send(platform::WM_APP + 4, 0, 1);
    EXPECT_EQ(view_->Model().Modes().varioString, 2);
    send(platform::WM_APP + 4, 0, 0);
    EXPECT_EQ(view_->Model().Modes().varioString, 0);
    glide::g_showWhileCircling = 0;

    // The glide panel opens the mode after the one given, wrapping.
    send(platform::WM_APP + 2, 4, 0);
    EXPECT_EQ(view_->GlidePanel().Mode(), 0);
    send(platform::WM_APP + 2, 2, 0);
    EXPECT_EQ(view_->GlidePanel().Mode(), 3);

    // An altitude tapped on the map fills the open altitude edit.
    SetDestination(L"");
    core::g_unitAlt = 2;
    Gesture({30, 60}, {200, 60}, 650000, 200);
    ASSERT_EQ(view_->Mode(), ViewMode::kAltitudeEdit);
    send(platform::WM_APP + 5, 0, 0, 3280.8F);
    EXPECT_EQ(view_->AltitudeEdit().GetValue(), "1000");
    core::g_unitAlt = 0;

    // WM_USER+10 hides the child it names.
    view_->NotesWindow().Show();
    send(platform::WM_USER + 10, frame::kNotesEditId, 0);
    EXPECT_FALSE(view_->NotesWindow().IsShown());
}

TEST_F(PositionViewTest, TheNextPointQuestionIsAnsweredThroughTheSink) {
    platform::ScopedRecordingSink sink;
    auto task = nav::testing::MakeTask(
        {nav::testing::At(47.0, 8.0, L"HOME"), nav::testing::At(47.2, 8.4, L"RIDGE"),
         nav::testing::At(47.0, 8.8, L"LAKE")});
    {
        const std::scoped_lock lock(core::TaskLock);
        nav::LinkTaskPoints(*task);
        nav::LoadTaskIntoQueue(*task);
        nav::g_taskTargetPoint = task->points[1].get();
        nav::g_taskNavigationActive = 1;
        nav::g_destinationValid = 1;
    }
    const int lakeSlot = task->points[2]->QueueSlot();
    sink->QueueAnswer(platform::kIdNo);
    Gesture({200, 60}, {50, 60}, 600000, 200);
    ASSERT_EQ(sink->Boxes().size(), 1U);
    EXPECT_EQ(sink->Boxes()[0].caption, L"KOR_VAN Win32");
    EXPECT_NE(nav::g_waypointQueue.current, lakeSlot);
    sink->QueueAnswer(platform::kIdYes);
    Gesture({200, 60}, {50, 60}, 601000, 200);
    EXPECT_EQ(sink->Boxes().size(), 2U);
    EXPECT_EQ(nav::g_waypointQueue.current, lakeSlot);

    const std::scoped_lock lock(core::TaskLock);
    nav::ClearQueueTaskPoints();
    nav::g_taskTargetPoint = nullptr;
    nav::g_taskStartPoint = nullptr;
    nav::g_taskFinishPoint = nullptr;
    nav::g_taskBeforeFinishPoint = nullptr;
    nav::g_taskDisplayPoint = nullptr;
    nav::g_taskNavigationActive = 0;
}

TEST_F(PositionViewTest, TheRequiredMacCreadyQuestionSetsTheManualValue) {
    platform::ScopedRecordingSink sink;
    glide::g_glideDisplayMode = 1;
    glide::FinalGlideResults results;
    results.macCready = {2.0F, 2.0F};
    glide::SetFinalGlide(results);
    auto* view = new CGPSposView(frame_, wxPoint(0, 0), wxSize(240, 480));
    view->SetClock([this] { return now_; });
    frame::g_manualMacCready = 1.0F;
    sink->QueueAnswer(platform::kIdYes);
    view->CycleFieldMode({30, 85});
    ASSERT_EQ(sink->Boxes().size(), 1U);
    EXPECT_NE(sink->Boxes()[0].text.find(L" 2.0"), std::wstring::npos);
    EXPECT_FLOAT_EQ(frame::g_manualMacCready.load(), 2.0F);
    EXPECT_FLOAT_EQ(core::g_macCready.load(), 2.0F);
    EXPECT_EQ(glide::MacCreadyText.Get(), L" 2.0");
    view->Destroy();
    glide::ResetFinalGlide();
    glide::g_glideDisplayMode = 0;
}

TEST_F(PositionViewTest, TheLegProfileDrawsThePlannedGlides) {
    gps::g_terrainElevation = 500.0F;
    gps::ChangeNav([&](gps::NavSnapshot& nav) {
        nav.gpsAltitude = 3000.0F;
        nav.gpsAltitudeValid = 1;
    });
    {
        const std::scoped_lock lock(glide::GlidePathLock);
        glide::ProfileCopy& copy = glide::GlidePathProfile;
        copy.samples.assign(41, 500.0F);
        copy.samples[20] = 2500.0F;
        copy.lowest = 500.0F;
        copy.highest = 2500.0F;
        copy.distanceKm = copy.legKm = 40.0F;
        copy.margins = {1500.0F, 0.0F};
        copy.finalGlideMargins.reset();
        copy.ready = true;
    }
    core::g_unitDist = 2;
    glide::g_driftValid = 1;  // the profile request asks for the leg's
    view_->OnProfileRequest();
    platform::gui::ProcessEventsFor(50ms);
    ASSERT_EQ(view_->Mode(), ViewMode::kProfile);
    // The fix thread's leg profile replaces the track's.
    view_->OnWindowMessage({platform::kPosViewWindow, platform::WM_USER + 5, 1, 0, {}});
    ASSERT_TRUE(view_->HasProfile());
    const frame::ProfileDrawing& drawing = *view_->Profile();
    ASSERT_EQ(drawing.lines.size(), 1U);
    // From 3000 ft at the left to 1500 ft at the route's end, 48 pixels for
    // the 2500 ft above the lowest ground.
    EXPECT_EQ(drawing.lines[0].from, (platform::Point{24, 50}));
    EXPECT_EQ(drawing.lines[0].to, (platform::Point{240, 98 - 19}));
    // Ticks every 10 km over the 40 km route.
    EXPECT_EQ(drawing.ticks.size(), 3U);
    glide::g_driftValid = 0;
    const std::scoped_lock lock(glide::GlidePathLock);
    glide::GlidePathProfile = {};
}

TEST_F(PositionViewTest, TheTrackProfileReachesPastALongFirstLeg) {
    core::SetElevationModel(std::make_shared<RidgeModel>());
    gps::g_terrainElevation = 500.0F;
    gps::ChangeNav([&](gps::NavSnapshot& nav) { nav.trackRad = 3.14159265358979 / 2.0; });
    core::g_unitDist = 2;
    {
        const std::scoped_lock lock(core::MapLock);
        nav::g_mapFix = nav::testing::At(47.0, 8.0);
    }
    struct Case {
        float firstLegKm;
        std::size_t ticks;  // every 10 km
    };
    for (const Case c : {Case{-1.0F, 4U}, Case{30.0F, 4U}, Case{98.0F, 9U}, Case{250.0F, 4U}}) {
        glide::QueueRouteFirstLegKm = c.firstLegKm;
        view_->OnProfileRequest();
        platform::gui::ProcessEventsFor(50ms);
        ASSERT_TRUE(view_->HasProfile()) << c.firstLegKm;
        EXPECT_EQ(view_->Profile()->ticks.size(), c.ticks) << c.firstLegKm;
    }
    glide::QueueRouteFirstLegKm = -1.0F;
}

TEST_F(PositionViewTest, TheRidgeComesNearerAsTheGliderFliesTowardsIt) {
    core::SetElevationModel(std::make_shared<RidgeModel>());
    gps::g_terrainElevation = 500.0F;
    gps::ChangeNav([&](gps::NavSnapshot& nav) {
        nav.gpsAltitude = 3000.0F;
        nav.gpsAltitudeValid = 1;
        nav.trackRad = 3.14159265358979 / 2.0;  // east, at the ridge
    });
    const double kmPerDegree = 6371.0 * std::cos(47.0 * 3.14159265358979 / 180.0) * 3.14159265358979 / 180.0;
    view_->OnProfileRequest();
    platform::gui::ProcessEventsFor(50ms);
    for (const double flown : {0.0, 5.0, 12.0}) {
        {
            const std::scoped_lock lock(core::MapLock);
            nav::g_mapFix = nav::testing::At(47.0, 8.0 + flown / kmPerDegree);
        }
        // The fix thread's straight-flight message redraws the open profile.
        view_->OnWindowMessage({platform::kPosViewWindow, platform::WM_USER + 5, 0, 0, {}});
        ASSERT_TRUE(view_->HasProfile());
        const std::vector<platform::Point>& ground = view_->Profile()->ground;
        const auto top = std::min_element(ground.begin(), ground.end(),
                                          [](platform::Point a, platform::Point b) { return a.y < b.y; });
        // The ridge's middle at (20 km - flown) of the 50 km over 240 - 24 pixels.
        const double expected = 24.0 + (20.0 - flown) / 50.0 * 216.0;
        EXPECT_NEAR(top->x, expected, 6.0) << flown;
    }
}

TEST_F(PositionViewTest, TheProfileShowsTheRidgeAhead) {
    core::SetElevationModel(std::make_shared<RidgeModel>());
    gps::g_terrainElevation = 500.0F;
    gps::ChangeNav([&](gps::NavSnapshot& nav) {
        nav.gpsAltitude = 3000.0F;
        nav.gpsAltitudeValid = 1;
    });
    {
        const std::scoped_lock lock(core::MapLock);
        nav::g_mapFix = nav::testing::At(47.0, 8.0);
    }
    Shoot("position_mode0_240x480");
    // A vertical swipe from the glide line opens the profile along the track (east).
    gps::ChangeNav([&](gps::NavSnapshot& nav) { nav.trackRad = 3.14159265358979 / 2.0; });
    Gesture({100, 90}, {100, 40}, 700000, 200);
    platform::gui::ProcessEventsFor(100ms);
    ASSERT_EQ(view_->Mode(), ViewMode::kProfile);
    ASSERT_TRUE(view_->HasProfile());
    EXPECT_TRUE(frame::PositionPageShowsProfile());
    platform::Canvas& canvas = view_->Render();
    // The ridge at 20 of 50 km: x = 24 + 0.4 (240 - 24) = 110, above the flat ground.
    EXPECT_NE(canvas.GetPixel({110, 85}), platform::kWhite);
    EXPECT_EQ(canvas.GetPixel({60, 85}), platform::kWhite);
    Shoot("position_mode2_240x480");
    // A tap closes it.
    Gesture({60, 60}, {60, 60}, 800000);
    EXPECT_EQ(view_->Mode(), ViewMode::kFields);
    view_->Render();
    EXPECT_FALSE(frame::PositionPageShowsProfile());
}

}  // namespace

namespace {

// Screenshots of the page in the panes the two screen shapes give it: right
// of the map on 800 x 480, and below it on 480 x 800 in the compact and the
// alternate layouts (build/test/screenshots, for review).
TEST_F(PositionViewTest, ScreenshotsOfEveryModeInEveryLayout) {
    struct Pane {
        const char* name;
        wxSize size;
        frame::PositionRowOrigins rows;
        int word;
    };
    core::SetElevationModel(std::make_shared<RidgeModel>());
    gps::g_terrainElevation = 500.0F;
    gps::ChangeNav([&](gps::NavSnapshot& nav) {
        nav.gpsAltitude = 3000.0F;
        nav.gpsAltitudeValid = 1;
        nav.trackRad = 3.14159265358979 / 2.0;
        nav.indicatedAirspeed = 55.0F;  // a glide line at the fixed glide ratio
    });
    {
        const std::scoped_lock lock(core::MapLock);
        nav::g_mapFix = nav::testing::At(47.0, 8.0);
    }
    SetDestination(L"");
    int ms = 900000;
    for (const Pane& pane : {Pane{"800x480", {240, 480}, frame::kCompactRows, 0},
                             Pane{"480x800_compact", {480, 125}, frame::kCompactRows, 0},
                             Pane{"480x800_alternate", {480, 79}, frame::kAlternateRows, 1}}) {
        frame_->SetClientSize(pane.size);
        view_->SetSize(pane.size);
        view_->SetRowOrigins(pane.rows, pane.word);
        const std::string name(pane.name);
        Shoot("position_" + name + "_mode0");
        view_->ShowSettingsPanel(1);
        Shoot("position_" + name + "_glide_panel");
        view_->ShowSettingsPanel(0);

        view_->OnProfileRequest();
        platform::gui::ProcessEventsFor(50ms);
        EXPECT_EQ(view_->Mode(), ViewMode::kProfile) << name;
        Shoot("position_" + name + "_mode2");
        const platform::PixelRect line = view_->Model().Layout().destinationLine;
        const wxPoint inside(line.left + 10, line.top + 10);
        Gesture(inside, inside, ms += 1000);
        ASSERT_EQ(view_->Mode(), ViewMode::kFields) << name;

        Gesture(inside, wxPoint(line.right - 10, line.top + 10), ms += 1000, 200);
        ASSERT_EQ(view_->Mode(), ViewMode::kAltitudeEdit) << name;
        Shoot("position_" + name + "_mode1");
        view_->AltitudeEdit().SetValue("1500");
        wxCommandEvent click(wxEVT_BUTTON, frame::kSetButtonId);
        view_->FindWindow(frame::kSetButtonId)->GetEventHandler()->ProcessEvent(click);
        ASSERT_EQ(view_->Mode(), ViewMode::kFields) << name;
    }
    gps::ChangeNav([&](gps::NavSnapshot& nav) { nav.indicatedAirspeed = 0.0F; });
}

}  // namespace
