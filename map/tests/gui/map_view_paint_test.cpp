// The map window's paint under a display: after the first fix the live
// track dot lands on the handed-over frame in its lift colour, and stays
// there through later paints.
#include <gtest/gtest.h>
#include <wx/frame.h>

#include <cmath>
#include <filesystem>

#include "gps/nav_fix.h"
#include "map/map_sprite.h"
#include "map/map_view.h"
#include "map/track_draw.h"
#include "nav/current_position.h"
#include "platform/gui/event_pump.h"
#include "platform/settings_store.h"
#include "services/module_services.h"
#include "services/shared_locks.h"
#include "testing/scratch_folder.h"
#include "testing/units.h"
#include "testing/wx_test_app.h"

namespace map {
namespace {

using namespace std::chrono_literals;

TEST(MapViewPaint, LiveTrackDotShowsInItsLiftColour) {
    test_support::ScratchFolder scratch{"mapviewpaint"};
    platform::gui::ScopedUiBridge bridge;
    platform::SetAppSettings(std::make_unique<platform::SettingsStore>(scratch / "settings.ini"));
    core::g_documentsFolder = scratch.Path().wstring();
    g_mapFileName.Set(L"");
    g_bHaveFix = 0;
    {
        const platform::CriticalSectionLock lock(core::MapLock);
        nav::ResetCurrentPosition(47.0 * test_support::kRadiansPerDegree, 8.0 * test_support::kRadiansPerDegree);
    }
    auto* frame = new wxFrame(nullptr, wxID_ANY, "map", wxDefaultPosition, wxSize(440, 340));
    auto* view = new CGPSmapView(frame, wxPoint(0, 0), wxSize(400, 300));
    frame->Show();
    view->StartupDone();
    view->HandleMessage({platform::kMapViewWindow, platform::WM_USER_MAPFIXCOMMIT, 0, 0, {}});
    ASSERT_EQ(view->Model().mapLoaded, 1);
    platform::gui::ProcessEventsUntil([&] { return view->MapReadDone(); }, 2000ms);
    platform::gui::ProcessEventsFor(200ms);

    gps::ChangeNav([&](gps::NavSnapshot& nav) {
        nav.averageVario = 3.0F;  // climbing 3 kt, rising: colour index 27
        nav.vario = 4.0F;
    });
    view->HandleMessage({platform::kMapViewWindow, platform::WM_USER_MAPNEWFIX, 0, 0, {}});
    platform::gui::ProcessEventsFor(100ms);
    const platform::Point at = ProjectToScreenPoint(view->Model().Published(), nav::CopyMapFix());
    {
        // The aircraft flies on, so that its picture no longer covers the dot.
        const platform::CriticalSectionLock lock(core::MapLock);
        nav::ResetCurrentPosition(47.05 * test_support::kRadiansPerDegree, 8.0 * test_support::kRadiansPerDegree);
    }
    view->HandleMessage({platform::kMapViewWindow, platform::WM_USER_MAPNEWFIX, 0, 0, {}});
    platform::gui::ProcessEventsFor(100ms);
    ASSERT_GT(std::abs(ProjectToScreenPoint(view->Model().Published(), nav::CopyMapFix()).y - at.y), 10);
    view->Refresh();  // a full paint keeps the dot: it is on the frame, not the window
    platform::gui::ProcessEventsFor(100ms);

    wxBitmap bitmap;
    ASSERT_TRUE(view->LastFrame(bitmap));
    const wxImage image = bitmap.ConvertToImage();
    ASSERT_GT(image.GetWidth(), at.x);
    const platform::Colour lift = TrackColour(TrackStyle{}, 27);
    EXPECT_EQ(image.GetRed(at.x, at.y), lift.red);
    EXPECT_EQ(image.GetGreen(at.x, at.y), lift.green);
    EXPECT_EQ(image.GetBlue(at.x, at.y), lift.blue);

    frame->Destroy();
    platform::gui::ProcessEventsFor(20ms);
    platform::SetAppSettings(nullptr);
    gps::ChangeNav([&](gps::NavSnapshot& nav) {
        nav.averageVario = 0.0F;
        nav.vario = 0.0F;
    });
}

}  // namespace
}  // namespace map
