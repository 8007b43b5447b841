// The frame's commands through the real window: menu events reach them,
// update events set the items, the navigation layouts size the real
// splitter, and the glide settings dialog shows and refuses its values.

#include <gtest/gtest.h>

#include <wx/button.h>
#include <wx/menu.h>
#include <wx/textctrl.h>

#include <chrono>
#include <memory>

#include "core/settings_values.h"
#include "dialog_test_support.h"
#include "frame/frame_commands.h"
#include "frame/glide_settings_dialog.h"
#include "frame/main_frame.h"
#include "frame/position_view.h"
#include "frame/static_splitter.h"
#include "glide/settings_values.h"
#include "map/map_view.h"
#include "map/settings_values.h"
#include "platform/gui/command_ids.h"
#include "platform/gui/event_pump.h"
#include "platform/gui/resource_bundle.h"
#include "platform/gui/screenshot.h"
#include "platform/message_box.h"
#include "platform/settings_store.h"
#include "resources/ids/frame_dialogs.h"
#include "resources/ids/strings.h"
#include "services/string_resources.h"
#include "testing/scratch_folder.h"
#include "testing/wx_test_app.h"

namespace {

using namespace std::chrono_literals;
using frame::CMainFrame;
namespace frame_dialog_ids = xrc::frame_dialogs;

class FrameCommandsGuiTest : public frame::testing::BundleSuite {
  protected:
    void SetUp() override {
        platform::SetAppSettings(std::make_unique<platform::SettingsStore>(scratch_ / "settings"));
        frame::g_nNavDisplay = 0;
    }
    void TearDown() override {
        if (frame_ != nullptr) frame_->Destroy();
        platform::gui::ProcessEventsFor(50ms);
        platform::SetProgramStopping(false);
        platform::SetAppSettings(nullptr);
    }

    CMainFrame& Open(frame::ScreenSize screen) {
        frame_ = new CMainFrame;
        EXPECT_TRUE(frame_->LoadFrame(screen));
        frame_->Show();
        platform::gui::ProcessEventsFor(200ms);
        return *frame_;
    }

    void Menu(int command) {
        wxCommandEvent event(wxEVT_MENU, platform::gui::WxIdFromCommand(command));
        event.SetEventObject(frame_);
        frame_->GetEventHandler()->ProcessEvent(event);
        platform::gui::ProcessEventsFor(50ms);
    }

    // The panes as the table gives them for the frame's present state.
    void ExpectPanes(const frame::NavDisplayLayout& layout) {
        const bool portrait = frame::g_bPortrait != 0;
        const wxSize mapSize = frame_->MapView()->GetSize();
        const wxSize pageSize = frame::g_pPosView->GetSize();
        EXPECT_EQ(portrait ? mapSize.y : mapSize.x, layout.mapLength) << layout.state;
        EXPECT_EQ(portrait ? pageSize.y : pageSize.x, layout.positionLength) << layout.state;
        EXPECT_EQ(frame::g_nNavDisplay, layout.state);
        EXPECT_EQ(platform::AppSettings().GetInt("Settings", "lastNavDisplaySetting", 9),
                  static_cast<std::uint32_t>(layout.stored));
        EXPECT_EQ(frame_->positionLayoutWord, layout.layoutWord);
    }

    test_support::ScratchFolder scratch_{"frame-gui"};
    CMainFrame* frame_ = nullptr;  // owned by wx
};

TEST_F(FrameCommandsGuiTest, SwitchCommandCyclesThePortraitLayouts) {
    CMainFrame& window = Open({480, 800});
    window.RestoreNavDisplay(1);  // as start-up does: state 0 -> 1
    const frame::NavDisplayArea area = window.NavArea();
    ExpectPanes(frame::RestoreNavLayout(area, 0, true));

    window.PopupText()->SetValue(L"notes");
    window.PopupText()->Show();
    Menu(frame::cmd::kSwitchNavDisplay);  // 1 -> 2
    ExpectPanes(frame::SwitchNavLayout(area, 1));
    EXPECT_TRUE(platform::gui::SaveScreenshot(window, frame::testing::Screenshot("nav_portrait_2.png")));

    Menu(frame::cmd::kSwitchNavDisplay);  // 2 -> full map; the pop-up follows
    ExpectPanes(frame::SwitchNavLayout(area, 2));
    EXPECT_EQ(window.PopupText(), &frame_->MapView()->NotesWindow());
    EXPECT_EQ(window.PopupText()->GetValue(), "notes");
    EXPECT_TRUE(window.PopupText()->IsShown());

    Menu(frame::cmd::kSwitchNavDisplay);  // full map -> 1; back to the page
    ExpectPanes(frame::SwitchNavLayout(area, 0));
    EXPECT_EQ(window.PopupText(), &frame::g_pPosView->NotesWindow());
    EXPECT_EQ(window.PopupText()->GetValue(), "notes");
    EXPECT_TRUE(window.PopupText()->IsShown());
    EXPECT_FALSE(frame_->MapView()->NotesWindow().IsShown());
}

TEST_F(FrameCommandsGuiTest, LandscapeAlternatesAndTheStateHoldsAfterARestart) {
    CMainFrame& window = Open({800, 480});
    window.RestoreNavDisplay(1);
    const frame::NavDisplayArea area = window.NavArea();
    ExpectPanes(frame::RestoreNavLayout(area, 0, true));
    Menu(frame::cmd::kSwitchNavDisplay);
    ExpectPanes(frame::SwitchNavLayout(area, 2));
    EXPECT_EQ(frame::g_nNavDisplay, 0);

    // A restart as start-up makes it: apply, then one switch from the
    // stored state.
    window.Destroy();
    platform::gui::ProcessEventsFor(50ms);
    frame::g_nNavDisplay = 0;
    CMainFrame& again = Open({800, 480});
    const int stored =
        static_cast<int>(platform::AppSettings().GetInt("Settings", "lastNavDisplaySetting", 0));
    again.RestoreNavDisplay(1);
    frame::g_nNavDisplay = stored;
    if (stored > 0) Menu(frame::cmd::kSwitchNavDisplay);
    EXPECT_EQ(frame::g_nNavDisplay, 0);
    EXPECT_EQ(frame_->MapView()->GetSize().x, again.NavArea().width);
}

TEST_F(FrameCommandsGuiTest, MenuCommandsAndUpdatesReachTheCommands) {
    CMainFrame& window = Open({800, 480});
    wxMenuBar* menus = window.GetMenuBar();
    const int overlay = platform::gui::WxIdFromCommand(frame::cmd::kOverlay);
    // An overlay is shown from the start, and the item says what it does.
    EXPECT_TRUE(window.Commands()->OverlayShown());
    EXPECT_EQ(menus->GetLabel(overlay), wxString(core::LoadResourceString(ids::kIdsHideOverlay)));
    Menu(frame::cmd::kOverlay);
    EXPECT_FALSE(window.Commands()->OverlayShown());
    EXPECT_EQ(map::g_bOverlayShown.load(), 0);
    EXPECT_EQ(menus->GetLabel(overlay), wxString(core::LoadResourceString(ids::kIdsShowOverlay)));
    Menu(frame::cmd::kOverlay);
    EXPECT_TRUE(window.Commands()->OverlayShown());
    EXPECT_EQ(map::g_bOverlayShown.load(), 1);
    EXPECT_EQ(menus->GetLabel(overlay), wxString(core::LoadResourceString(ids::kIdsHideOverlay)));

    // No overlay, no map and no polar: their items are off; the replay item
    // (no update handler) stays on.
    window.UpdateWindowUI(wxUPDATE_UI_RECURSE);
    menus->UpdateMenus();
    EXPECT_FALSE(menus->IsEnabled(overlay));
    EXPECT_FALSE(menus->IsEnabled(platform::gui::WxIdFromCommand(frame::cmd::kExportBitmap)));
    EXPECT_FALSE(menus->IsEnabled(platform::gui::WxIdFromCommand(frame::cmd::kToggleUsePolar)));
    EXPECT_TRUE(menus->IsEnabled(platform::gui::WxIdFromCommand(frame::cmd::kReplayFlight)));

    // A posted command arrives as a menu event.
    frame::g_bModalDialogOpen = 0;
    window.Commands()->Timer().start = window.Commands()->Timer().mark = 1.0;
    platform::PostWindowMessage(platform::kMainFrameWindow, platform::WM_COMMAND,
                                frame::cmd::kRestartTimer);
    platform::gui::ProcessEventsFor(100ms);
    EXPECT_EQ(window.Commands()->Timer().elapsed, 0.0);
}

TEST_F(FrameCommandsGuiTest, GlideSettingsShowConvertAndRefuseTheRadius) {
    platform::ScopedRecordingSink boxes;
    struct Case {
        int unit;
        float km;
        const char* shown;
        const char* typed;
        bool accepted;
        std::uint32_t stored;
    };
    for (const Case& c : {Case{2, 1.25F, "1.25", "1.25", true, 125},
                          Case{0, 1.25F, "0.78", "0.78", true, 126},
                          Case{0, 1.25F, "0.78", "0.0", true, 0},
                          Case{2, 1.25F, "1.25", "0.0", true, 0},
                          Case{2, 1.25F, "1.25", "12", false, 999},
                          Case{0, 1.25F, "0.78", "0.02", false, 999}}) {
        core::g_unitDist = c.unit;
        glide::g_autodetectRadius = c.km;
        platform::AppSettings().WriteInt("Settings", "AutodetectRadius", 999);
        frame::CGlideSettingsDlg dialog(nullptr);
        ASSERT_TRUE(dialog.Loaded());
        dialog.InitDialog();
        auto* radius = dynamic_cast<wxTextCtrl*>(dialog.FindWindow(frame_dialog_ids::kRadius));
        ASSERT_NE(radius, nullptr);
        EXPECT_EQ(radius->GetValue(), c.shown);
        radius->ChangeValue(c.typed);
        wxCommandEvent ok(wxEVT_BUTTON, wxID_OK);
        ok.SetEventObject(dialog.FindWindow(wxID_OK));
        dialog.GetEventHandler()->ProcessEvent(ok);
        EXPECT_EQ(platform::AppSettings().GetInt("Settings", "AutodetectRadius", 0), c.stored)
            << c.typed;
        EXPECT_EQ(boxes->Boxes().empty(), c.accepted) << c.typed;
        boxes->Clear();
    }
}

}  // namespace
