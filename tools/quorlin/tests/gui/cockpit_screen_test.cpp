// Quorlin's windows on an 800 x 480 screen of the test's own, each shown
// as the program shows it: within the screen, its controls within it, no
// label cut. Screenshots go to <build>/screenshots/layout.
#include <gtest/gtest.h>
#include <wx/button.h>
#include <wx/menu.h>
#include <wx/xrc/xmlres.h>

#include <memory>
#include <set>
#include <string>

#include "platform/gui/bundle_entry_points.h"
#include "platform/gui/file_dialog.h"
#include "platform/gui/resource_bundle.h"
#include "platform/gui/screen_fit.h"
#include "platform/message_box.h"
#include "platform/settings_store.h"
#include "testing/scratch_folder.h"
#include "testing/screen_layout.h"
#include "testing/wx_test_app.h"
#include "tools/quorlin/gui/quorlin_dialog.h"
#include "tools/quorlin/gui/quorlin_forms.h"
#include "tools/quorlin/resources/ids/quorlin.h"

namespace quorlin {
namespace {

namespace main_ids = xrc::quorlin::main_dialog;

// Before the toolkit opens its display.
const test_support::ScreenOfTheTest g_screen;

class QuorlinScreenTest : public ::testing::Test {
  protected:
    QuorlinScreenTest()
        : resources_(std::make_shared<const platform::gui::ResourceBundle>(&ResourceXrc, &ResourceString,
                                                                           &ResourceImage)),
          store_(scratch_ / "settings") {}

    test_support::ScratchFolder scratch_{"kv-quorlin-screen"};
    platform::gui::ResourceBundleInstallation resources_;
    platform::SettingsStore store_;
    platform::ScopedRecordingSink boxes_;
};

TEST_F(QuorlinScreenTest, TheMainDialogForEachInputAndItsSmallDialogs) {
    ASSERT_TRUE(g_screen.Started()) << "Xvfb did not start";
    CQuorlinDlg dialog(nullptr, store_);
    ASSERT_TRUE(dialog.Loaded());
    const std::filesystem::path inputs[] = {scratch_.Write("alps.bin", std::string(8, '\0')),
                                            scratch_.Write("pic.bmp", ""), scratch_.Write("alps_0150.plt", "")};
    scratch_.Write("alps.hdr", "left_map_x =7\nright_map_x =8\nupper_map_y =47\nlower_map_y =46\n"
                               "number_of_rows =2\nnumber_of_columns =2\nelev_m_min =100\nelev_m_max =200\n");
    test_support::ExpectModalFitsCockpitScreen(dialog, [&] { return dialog.DoModal(); }, "quorlin");
    for (std::size_t i = 0; i < std::size(inputs); ++i) {
        test_support::ExpectModalFitsCockpitScreen(dialog, [&] { return dialog.DoModal(); },
                                                   "quorlin_input" + std::to_string(i + 1),
                                                   [&] { dialog.ChooseInput(inputs[i]); });
    }

    CThresholdsDlg levels(&dialog, store_);
    test_support::ExpectModalFitsCockpitScreen(
        levels, [&] { return platform::gui::ShowModalOnScreen(levels); }, "quorlin_thresholds");
    CInputFormDlg number(&dialog, CInputFormDlg::kNumber, "Enter median altitude for this color");
    test_support::ExpectModalFitsCockpitScreen(
        number, [&] { return platform::gui::ShowModalOnScreen(number); }, "quorlin_input_number");
    CInputFormDlg corner(&dialog, CInputFormDlg::kCoordinates, "\nEnter NORTH-WEST corner coordinates");
    test_support::ExpectModalFitsCockpitScreen(
        corner, [&] { return platform::gui::ShowModalOnScreen(corner); }, "quorlin_input_coordinates");
    QuorlinOptions options;
    COptionsSheet sheet(&dialog, store_, options);
    for (int page = 0; page < 2; ++page) {
        test_support::ExpectModalFitsCockpitScreen(
            sheet, [&] { return platform::gui::ShowModalOnScreen(sheet); },
            "quorlin_options" + std::to_string(page), [&] { sheet.SelectPage(page); });
    }
}

TEST_F(QuorlinScreenTest, TheAboutBoxAndTheFileDialog) {
    ASSERT_TRUE(g_screen.Started()) << "Xvfb did not start";
    test_support::ExpectNextModalFitsCockpitScreen("quorlin_about");
    ShowAboutBox(nullptr);
    test_support::ExpectNextModalFitsCockpitScreen("quorlin_file_open");
    platform::gui::FileDialogRequest request;
    request.title = "Select a file";
    request.folder = scratch_.Path();
    request.wildcard = "Elevation grids (*.bin)|*.bin|All files (*.*)|*.*";
    EXPECT_FALSE(platform::gui::ShowFileDialog(nullptr, request));
}

// Quorlin's commands are the items of its menu (read from its definition)
// and its dialog's buttons: each window one opens is checked, and a command
// that only tells something says so in a box. The buttons that start an
// operation (Convert, Generate Up-Down files, Extract, Create, Insert) and
// Exit act at once; Menu... opens the menu walked item by item.
TEST_F(QuorlinScreenTest, EveryCommandsWindowFitsTheScreen) {
    ASSERT_TRUE(g_screen.Started()) << "Xvfb did not start";
    const std::set<int> actions = {main_ids::kConvert,   main_ids::kUpDownFiles, main_ids::kExtract,
                                   main_ids::kCreate,    main_ids::kInsert,      main_ids::kExit,
                                   main_ids::kMenuButton};
    CQuorlinDlg dialog(nullptr, store_);
    ASSERT_TRUE(dialog.Loaded());
    const std::unique_ptr<wxMenu> menu(
        wxXmlResource::Get()->LoadMenu(std::to_string(main_ids::kMenuButton)));
    ASSERT_NE(menu, nullptr);
    test_support::ExpectModalFitsCockpitScreen(dialog, [&] { return dialog.DoModal(); }, "quorlin_walk", [&] {
        for (const wxMenuItem* item : menu->GetMenuItems()) {
            if (item->IsSeparator()) continue;
            SCOPED_TRACE(item->GetItemLabelText().utf8_string());
            const test_support::CheckEveryModal check("quorlin_menu_" + std::to_string(item->GetId()));
            wxCommandEvent command(wxEVT_MENU, item->GetId());
            command.SetEventObject(&dialog);
            dialog.ProcessWindowEvent(command);
            EXPECT_FALSE(check.Checked().empty());
        }
        for (wxButton* button : test_support::ShownButtons(dialog)) {
            if (actions.contains(button->GetId()) || !button->IsEnabled()) continue;
            SCOPED_TRACE(button->GetLabel().utf8_string());
            const std::size_t told = boxes_->Boxes().size();
            const test_support::CheckEveryModal check("quorlin_button_" + std::to_string(button->GetId()));
            test_support::Press(*button);
            EXPECT_TRUE(!check.Checked().empty() || boxes_->Boxes().size() > told) << "nothing opened";
        }
    });
}

}  // namespace
}  // namespace quorlin
