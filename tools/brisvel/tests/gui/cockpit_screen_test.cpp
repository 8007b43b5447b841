// Brisvel's windows on an 800 x 480 screen of the test's own, each shown as
// the program shows it: within the screen, its controls within it, no
// label cut. Screenshots go to <build>/screenshots/layout.
#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/menu.h>
#include <wx/toolbar.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "platform/gui/bundle_entry_points.h"
#include "platform/gui/command_ids.h"
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
#include "tools/brisvel/gui/shape_bar.h"
#include "tools/brisvel/resources/ids/brisvel.h"
#include "tools/brisvel/tests/brisvel_test_support.h"

namespace brisvel {
namespace {

// Before the toolkit opens its display.
const test_support::ScreenOfTheTest g_screen;

// The window on the screen with a shapefile of one lake open.
class BrisvelScreenTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(g_screen.Started()) << "Xvfb did not start";
        frame_ = new CBrisvelMainFrame(store_, {});
        ASSERT_TRUE(frame_->Loaded());
        frame_->Show();
        wxYield();  // the window fits itself to the screen once shown
        areas_.Add("10 45 10 46 11 46 11 45 10 45", "Lake");
        ASSERT_TRUE(areas_.Ok());
        ASSERT_TRUE(frame_->OpenShapefile(areas_.Shp()));
    }
    void TearDown() override {
        if (frame_ != nullptr) frame_->Close(true);
        wxTheApp->ProcessPendingEvents();
    }

    test_support::ScratchFolder scratch_{"kv-brisvel-screen"};
    platform::gui::ResourceBundleInstallation resources_{
        std::make_shared<const platform::gui::ResourceBundle>(&ResourceXrc, &ResourceString, &ResourceImage)};
    platform::SettingsStore store_{scratch_ / "settings"};
    platform::ScopedRecordingSink boxes_;
    testing::Fixture areas_{scratch_ / "areas", "polygon"};
    CBrisvelMainFrame* frame_ = nullptr;  // owned by wx
};

TEST_F(BrisvelScreenTest, TheWindowWithAFileItsBoundsAndItsFileDialog) {
    test_support::ExpectFitsCockpitScreen(*frame_, "brisvel");

    CSetBoundsDlg bounds(frame_, core::GeoBox{-3.25F, -45.5F, 10.0F, 46.0F}, core::GeoBox{-4.0F, -45.5F, 12.0F, 47.5F});
    test_support::ExpectModalFitsCockpitScreen(
        bounds, [&] { return platform::gui::ShowModalOnScreen(bounds); }, "brisvel_set_bounds");
    test_support::ExpectNextModalFitsCockpitScreen("brisvel_file_open");
    platform::gui::FileDialogRequest request;
    request.title = "Open shapefile";
    request.folder = scratch_.Path();
    request.wildcard = "Shapefiles (*.shp)|*.shp";
    EXPECT_FALSE(platform::gui::ShowFileDialog(frame_, request));
}

// The commands of the window's menu bar and toolbar, as their definitions
// made them, each once.
std::vector<int> Commands(const wxFrame& frame) {
    std::vector<int> commands;
    const auto add = [&commands](int id) {
        if (id != wxID_SEPARATOR && std::find(commands.begin(), commands.end(), id) == commands.end())
            commands.push_back(id);
    };
    const wxMenuBar* menus = frame.GetMenuBar();
    for (std::size_t m = 0; menus != nullptr && m < menus->GetMenuCount(); ++m)
        for (const wxMenuItem* item : menus->GetMenu(m)->GetMenuItems())
            add(item->GetId());
    const wxToolBar* tools = frame.GetToolBar();
    for (int t = 0; tools != nullptr && t < static_cast<int>(tools->GetToolsCount()); ++t)
        add(tools->GetToolByPos(t)->GetId());
    return commands;
}

// Each command, with the shapefile open, and the shape bar's font: every
// window it opens fits the screen. Close acts at once; Exit is left out.
TEST_F(BrisvelScreenTest, EveryCommandsWindowFitsTheScreen) {
    const std::vector<int> commands = Commands(*frame_);
    ASSERT_GE(commands.size(), 4U);
    for (const int command : commands) {
        if (command == wxID_EXIT) continue;
        SCOPED_TRACE(command);
        if (frame_->DocumentCount() == 0) {
            ASSERT_TRUE(frame_->OpenShapefile(areas_.Shp()));
        }
        const test_support::CheckEveryModal check("brisvel_menu_" + std::to_string(command));
        wxCommandEvent menu(wxEVT_MENU, command);
        menu.SetEventObject(frame_);
        frame_->ProcessWindowEvent(menu);
        wxYield();
        EXPECT_EQ(check.Checked().empty(), command == platform::gui::WxIdFromCommand(kFileClose));
    }
    if (frame_->DocumentCount() == 0) {
        ASSERT_TRUE(frame_->OpenShapefile(areas_.Shp()));
    }
    const test_support::CheckEveryModal check("brisvel_font");
    wxCommandEvent setFont(wxEVT_BUTTON, xrc::brisvel::kSetFont);
    frame_->Bar().ProcessWindowEvent(setFont);
    EXPECT_EQ(check.Checked().size(), 1U);
}

}  // namespace
}  // namespace brisvel
