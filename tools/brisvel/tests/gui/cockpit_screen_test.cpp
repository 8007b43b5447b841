// Brisvel's windows on an 800 x 480 screen of the test's own, each shown as
// the program shows it: within the screen, its controls within it, no
// label cut. Screenshots go to <build>/screenshots/layout.
#include <gtest/gtest.h>
#include <wx/app.h>

#include <memory>

#include "platform/gui/bundle_entry_points.h"
#include "platform/gui/file_dialog.h"
#include "platform/gui/resource_bundle.h"
#include "platform/gui/screen_fit.h"
#include "platform/message_box.h"
#include "platform/settings_store.h"
#include "testing/scratch_folder.h"
#include "testing/screen_layout.h"
#include "testing/wx_test_app.h"
#include "tools/brisvel/gui/brisvel_frame.h"
#include "tools/brisvel/gui/set_bounds_dialog.h"
#include "tools/brisvel/tests/brisvel_test_support.h"

namespace brisvel {
namespace {

// Before the toolkit opens its display.
const test_support::ScreenOfTheTest g_screen;

TEST(BrisvelScreenTest, TheWindowWithAFileItsBoundsAndItsFileDialog) {
    ASSERT_TRUE(g_screen.Started()) << "Xvfb did not start";
    test_support::ScratchFolder scratch("kv-brisvel-screen");
    platform::gui::ResourceBundleInstallation resources(
        std::make_shared<const platform::gui::ResourceBundle>(&ResourceXrc, &ResourceString, &ResourceImage));
    platform::SettingsStore store(scratch / "settings");
    platform::ScopedRecordingSink boxes;
    auto* frame = new CBrisvelMainFrame(store, {});
    ASSERT_TRUE(frame->Loaded());
    frame->Show();
    wxYield();  // the window fits itself to the screen once shown
    testing::Fixture areas(scratch / "areas", "polygon");
    areas.Add("10 45 10 46 11 46 11 45 10 45", "Lake");
    ASSERT_TRUE(areas.Ok());
    ASSERT_TRUE(frame->OpenShapefile(areas.Shp()));
    test_support::ExpectFitsCockpitScreen(*frame, "brisvel");

    CSetBoundsDlg bounds(frame, core::GeoBox{-3.25F, -45.5F, 10.0F, 46.0F}, core::GeoBox{-4.0F, -45.5F, 12.0F, 47.5F});
    test_support::ExpectModalFitsCockpitScreen(
        bounds, [&] { return platform::gui::ShowModalOnScreen(bounds); }, "brisvel_set_bounds");
    test_support::ExpectNextModalFitsCockpitScreen("brisvel_file_open");
    platform::gui::FileDialogRequest request;
    request.title = "Open shapefile";
    request.folder = scratch.Path();
    request.wildcard = "Shapefiles (*.shp)|*.shp";
    EXPECT_FALSE(platform::gui::ShowFileDialog(frame, request));

    frame->Close(true);
    wxTheApp->ProcessPendingEvents();
}

}  // namespace
}  // namespace brisvel
