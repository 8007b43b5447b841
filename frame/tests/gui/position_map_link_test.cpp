// The position page and the map window side by side in the main window: the
// altitude edit shows its waypoint on the map and hands the map back to the
// glider when it ends; the map's zoomed mode is the page's thermal mode.
#include <gtest/gtest.h>

#include <wx/button.h>

#include <chrono>
#include <memory>
#include <mutex>

#include "frame/main_frame.h"
#include "frame/position_view.h"
#include "map/map_view.h"
#include "map/map_view_model.h"
#include "nav/destination_queue.h"
#include "nav/tests/task_test_support.h"
#include "platform/gui/event_pump.h"
#include "platform/gui/resource_bundle.h"
#include "platform/settings_store.h"
#include "services/shared_locks.h"
#include "services/string_resources.h"
#include "testing/wx_test_app.h"

namespace {

using namespace std::chrono_literals;

class PositionMapLinkTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        auto library = platform::DynamicLibrary::Open(KV_BINARY_DIR "/KOR_VANresDLL.dll");
        ASSERT_TRUE(library.IsOpen()) << library.Error();
        installation_ = std::make_unique<platform::gui::ResourceBundleInstallation>(
            std::make_shared<const platform::gui::ResourceBundle>(std::move(library)));
        core::SetStringProvider(&platform::gui::BundleString);
    }
    static void TearDownTestSuite() {
        core::SetStringProvider(nullptr);
        installation_.reset();
    }
    void SetUp() override {
        frame_ = new frame::CMainFrame;
        ASSERT_TRUE(frame_->LoadFrame({800, 480}));
        frame_->Show();
        platform::gui::ProcessEventsFor(200ms);
        ASSERT_NE(frame::g_pPosView, nullptr);
        ASSERT_NE(frame_->MapView(), nullptr);
    }
    void TearDown() override {
        if (frame_ != nullptr) frame_->Destroy();
        platform::gui::ProcessEventsFor(50ms);
        platform::SetAppSettings(nullptr);
        const std::scoped_lock lock(core::TaskLock);
        nav::g_waypointQueue = {};
        nav::g_destinationValid = 0;
    }

    static inline std::unique_ptr<platform::gui::ResourceBundleInstallation> installation_;
    frame::CMainFrame* frame_ = nullptr;  // owned by wx
};

TEST_F(PositionMapLinkTest, TheAltitudeEditShowsItsWaypointAndGivesTheMapBack) {
    {
        const std::scoped_lock lock(core::TaskLock);
        nav::g_waypointQueue.slots[2].record = nav::testing::At(47.0, 8.0, L"RIDGE");
        nav::g_waypointQueue.current = 2;
        nav::g_destinationValid = 1;
    }
    frame::CGPSposView& page = *frame::g_pPosView;
    page.SetClock([] { return frame::PageClock{500000}; });
    const platform::PixelRect line = page.Model().Layout().destinationLine;
    const auto mouse = [&page](wxEventType type, wxPoint at) {
        wxMouseEvent event(type);
        event.SetPosition(at);
        event.SetEventObject(&page);
        page.GetEventHandler()->ProcessEvent(event);
    };
    // Left to right across the destination line.
    mouse(wxEVT_LEFT_DOWN, {line.left + 10, line.top + 10});
    mouse(wxEVT_LEFT_UP, {line.right - 10, line.top + 10});
    ASSERT_EQ(page.Mode(), frame::ViewMode::kAltitudeEdit);
    EXPECT_EQ(frame_->MapView()->DisplayMode(), map::kFocusObject);

    wxCommandEvent click(wxEVT_BUTTON, frame::kSetButtonId);
    page.FindWindow(frame::kSetButtonId)->GetEventHandler()->ProcessEvent(click);
    EXPECT_EQ(page.Mode(), frame::ViewMode::kFields);
    EXPECT_EQ(frame_->MapView()->DisplayMode(), map::kMovingMap);
}

TEST_F(PositionMapLinkTest, TheMapsZoomedModeIsThePagesThermalMode) {
    frame::CGPSposView& page = *frame::g_pPosView;
    // The thermal mode's top line restarts the drift estimate or takes a
    // wind; outside it a tap steps the line's mode.
    frame_->MapView()->Model().displayMode = map::kZoomedMap;
    page.CycleFieldMode({100, page.Model().Layout().topLine.top + 5});
    EXPECT_EQ(page.Model().Modes().lonLatString, 0);
    frame_->MapView()->Model().displayMode = map::kMovingMap;
    page.CycleFieldMode({100, page.Model().Layout().topLine.top + 5});
    EXPECT_EQ(page.Model().Modes().lonLatString, 1);
}

}  // namespace
