// Every dialog of the flight computer on an 800 x 480 cockpit screen of the
// test's own, opened as the program opens it (modally, over the main
// window): it lies within the screen, its controls within it, and no label
// is cut. A screenshot of each is kept in <build>/screenshots/layout.

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/combobox.h>
#include <wx/frame.h>
#include <wx/textctrl.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "core/settings_values.h"
#include "frame/glide_settings_dialog.h"
#include "frame/gps_port_dialog.h"
#include "frame/igc_header_dialog.h"
#include "frame/main_frame.h"
#include "frame/new_waypoint_dialog.h"
#include "frame/options/options_page.h"
#include "frame/options/options_sheet.h"
#include "frame/small_dialogs.h"
#include "frame/task_dialog.h"
#include "frame/task_limits_dialog.h"
#include "frame/task_point_dialog.h"
#include "frame/team_dialog.h"
#include "frame/tests/gui/dialog_test_support.h"
#include "frame/wind_dialog.h"
#include "nav/task_model.h"
#include "nav/team_code.h"
#include "nav/waypoint_file_open.h"
#include "nav/waypoint_list.h"
#include "platform/gui/event_pump.h"
#include "platform/gui/file_dialog.h"
#include "platform/gui/message_box_sink.h"
#include "platform/gui/screen_fit.h"
#include "platform/gui/screenshot.h"
#include "platform/gui/ui_bridge.h"
#include "platform/message_box.h"
#include "platform/settings_store.h"
#include "platform/utf.h"
#include "resources/ids/help_dialog.h"
#include "resources/ids/igc_header_dialog.h"
#include "services/module_services.h"
#include "services/string_resources.h"
#include "testing/scratch_folder.h"
#include "testing/screen_layout.h"
#include "testing/wx_test_app.h"

namespace frame {
namespace {

namespace gui = platform::gui;
namespace igc_ids = xrc::igc_header_dialog;

// Before the toolkit opens its display.
const test_support::ScreenOfTheTest g_screen;

constexpr char kWaypoints[] =
    "Alpha Field,46,0,0,-7,0,0,500\r\n"
    "Bravo Long Turnpoint Name,46,30,0,-7,0,0,600\r\n";

class CockpitScreenTest : public testing::BundleSuite {
  protected:
    void SetUp() override {
        ASSERT_TRUE(g_screen.Started()) << "Xvfb did not start";
        platform::SetAppSettings(std::make_unique<platform::SettingsStore>(std::filesystem::path()));
        core::g_documentsFolder = platform::FromUtf8(folder_.Path().string()) + L"/";
        std::wstring path = platform::FromUtf8(folder_.Write("points.dta", kWaypoints).string());
        ASSERT_EQ(nav::OpenWaypointFile(nav::g_waypointFile, path, true, true, false), 1);
        // The main window as the program lays it out on this screen.
        main_ = new wxFrame(nullptr, wxID_ANY, "KOR_VAN", wxPoint(0, 0),
                            wxSize(test_support::kCockpitWidth, test_support::kCockpitHeight));
        main_->Show();
    }
    void TearDown() override {
        main_->Destroy();
        nav::CloseWaypoints(1000);
        platform::SetAppSettings(nullptr);
    }

    // Runs the dialog as the program does and checks it once it shows.
    void Check(wxDialog& dialog, const std::function<int()>& run, const std::string& name,
               const std::function<void()>& before = {}) {
        test_support::ExpectModalFitsCockpitScreen(dialog, run, name, [&] {
            if (before) before();
            EXPECT_TRUE(main_->GetScreenRect().Contains(dialog.GetScreenRect()))
                << name << " is not over the main window";
        });
    }

    test_support::ScratchFolder folder_{"cockpit-screen"};
    gui::ScopedUiBridge bridge_;
    platform::ScopedRecordingSink boxes_;
    wxFrame* main_ = nullptr;
};

TEST_F(CockpitScreenTest, TheSmallDialogs) {
    CAboutDlg about(main_, 0);
    Check(about, [&] { return about.DoModal(); }, "about_box");
    CMapExportDlg export_(main_, {2.0F, 1});
    Check(export_, [&] { return export_.DoModal(); }, "map_export");
    CDeclareConfirmDlg confirm(main_);
    Check(confirm, [&] { return confirm.DoModal(); }, "declare_confirm");
    // The help page shows its text, not only its OK button.
    wxTheApp->CallAfter([] {
        wxDialog* help = testing::TopModal<wxDialog>();
        ASSERT_NE(help, nullptr);
        const wxWindow* page = help->FindWindow(xrc::help_dialog::kHelpText);
        ASSERT_NE(page, nullptr);
        EXPECT_GT(page->GetSize().x, test_support::kCockpitWidth / 2);
        EXPECT_GT(page->GetSize().y, test_support::kCockpitHeight / 2);
        test_support::ExpectFitsCockpitScreen(*help, "help_page");
        help->EndModal(wxID_OK);
    });
    EXPECT_TRUE(ShowHelpPage(main_));
}

TEST_F(CockpitScreenTest, TheIgcHeaderWithEachKindOfHeader) {
    CIGCHeaderDlg header(main_);
    Check(header, [&] { return header.DoModal(); }, "igc_header");
    CIGCHeaderDlg phrase(main_);
    Check(phrase, [&] { return phrase.DoModal(); }, "igc_header_phrase", [&] {
        auto* kinds = dynamic_cast<wxComboBox*>(phrase.FindWindow(igc_ids::kKindBox));
        ASSERT_NE(kinds, nullptr);
        kinds->SetSelection(5);
        wxCommandEvent change(wxEVT_COMBOBOX, igc_ids::kKindBox);
        change.SetEventObject(kinds);
        kinds->ProcessWindowEvent(change);
    });
}

TEST_F(CockpitScreenTest, TheTaskAndWaypointDialogs) {
    for (const auto& [mode, name] : {std::pair{TaskDialogMode::kWaypointList, "waypoint_list"},
                                     std::pair{TaskDialogMode::kReachable, "reachable_list"},
                                     std::pair{TaskDialogMode::kEditor, "task_editor"}}) {
        CTaskDialog dialog(main_, TaskDialogOptions{.mode = mode});
        Check(dialog, [&] { return dialog.DoModal(); }, name);
    }
    CTaskPointDialog points(main_, nav::g_defaultTask);
    Check(points, [&] { return points.DoModal(); }, "task_points");
    CTaskLimitsDialog limits(main_);
    Check(limits, [&] { return limits.DoModal(); }, "task_limits");
    CNewWaypointDialog waypoint(main_);
    Check(waypoint, [&] { return waypoint.DoModal(); }, "new_waypoint");
    CNewWaypointDialog mapPoint(main_, true);
    Check(mapPoint, [&] { return mapPoint.DoModal(); }, "new_map_point");
}

TEST_F(CockpitScreenTest, TheFlightDialogs) {
    CWindDialog wind(main_);
    Check(wind, [&] { return wind.DoModal(); }, "wind");
    CTeamDialog team(main_, nav::TeamDialogModel{});
    Check(team, [&] { return team.DoModal(); }, "team_code");
    CGlideSettingsDlg glide(main_);
    Check(glide, [&] { return glide.DoModal(); }, "glide_settings");
    CGpsPortDialog port(main_);
    port.Model().portName = L"/dev/ttyUSB0";
    Check(port, [&] { return port.DoModal(); }, "gps_port");
}

TEST_F(CockpitScreenTest, EveryPageOfTheOptions) {
    CKOR_VANoptions sheet("KOR_VAN options", main_, 0);
    testing::RunModal(sheet, [&] { return gui::ShowModalOnScreen(sheet); }, [&] {
        for (int i = 0; i < sheet.PageCount(); ++i) {
            sheet.SetActivePage(i);
            wxYield();
            test_support::ExpectFitsCockpitScreen(
                sheet, "options_" + std::to_string(sheet.Page(i)->TemplateId()));
        }
    });
}

// The file dialogs share one dialog; each kind (open, save) once.
TEST_F(CockpitScreenTest, TheFileDialogs) {
    for (const bool save : {true, false}) {
        gui::FileDialogRequest request;
        request.title = save ? "GPS Data log" : "Task File";
        request.folder = folder_.Path();
        request.name = save ? "6CBX0001.igc" : "";
        request.wildcard = "Text logs (*.gps)|*.gps|IGC logs (*.igc)|*.igc|All files (*.*)|*.*";
        request.save = save;
        test_support::ExpectNextModalFitsCockpitScreen(save ? "file_save" : "file_open");
        EXPECT_FALSE(gui::ShowFileDialog(main_, request));
    }
}

// Several lines, and a word longer than any screen is wide.
std::wstring LongText() {
    std::wstring text = L"Airspace ahead\nCTR ALPHA 1500 ft to FL65\n";
    for (int i = 0; i < 4; ++i) text += L"A note about the zone that runs on for more than one line.\n";
    return text + L"/home/pilot/maps/" + std::wstring(120, L'x') + L".map";
}

// The pop-up of the pane in front grows to hold every line of a long text
// (the last character shows without scrolling), within its pane and the
// screen; a short text leaves it at its own size.
void ExpectPopupHolds(CMainFrame& window, const std::string& name) {
    SCOPED_TRACE(name);
    wxTextCtrl* popup = window.PopupText();
    ASSERT_NE(popup, nullptr);
    window.ShowPopup(L"Short", 0);
    const wxSize small = popup->GetSize();
    window.ShowPopup(LongText(), 0);
    platform::gui::ProcessEventsFor(std::chrono::milliseconds(200));
    EXPECT_TRUE(popup->IsShown());
    EXPECT_GT(popup->GetSize().y, small.y);
    EXPECT_TRUE(popup->GetParent()->GetScreenRect().Contains(popup->GetScreenRect()));
    EXPECT_TRUE(wxRect(0, 0, test_support::kCockpitWidth, test_support::kCockpitHeight)
                    .Contains(popup->GetScreenRect()));
    const wxPoint last = popup->PositionToCoords(popup->GetLastPosition());
    EXPECT_NE(last, wxDefaultPosition);
    EXPECT_LE(last.y + popup->GetCharHeight(), popup->GetClientSize().y) << "the last line is cut";
    EXPECT_TRUE(gui::SaveScreenshot(window, test_support::LayoutScreenshot(name)));
    window.HidePopup();
    EXPECT_FALSE(popup->IsShown());
}

TEST_F(CockpitScreenTest, PopupsGrowToALongTextWithinTheScreen) {
    auto* window = new CMainFrame;
    ASSERT_TRUE(window->LoadFrame({test_support::kCockpitWidth, test_support::kCockpitHeight}));
    window->Show();
    gui::ProcessEventsFor(std::chrono::milliseconds(200));
    ExpectPopupHolds(*window, "popup_position_page");
    window->SaveNavDisplay();  // the whole-map layout: the pop-up is the map's
    ExpectPopupHolds(*window, "popup_map");

    // The program's message box breaks the text to the screen and fits it.
    gui::WxMessageBoxSink boxes;
    test_support::ExpectNextModalFitsCockpitScreen("message_box_long_text");
    EXPECT_EQ(boxes.Show(window, LongText(), L"Airspace", platform::mb::kYesNo | platform::mb::kIconExclamation),
              platform::kIdCancel);
    window->Destroy();
    gui::ProcessEventsFor(std::chrono::milliseconds(50));
}

}  // namespace
}  // namespace frame
