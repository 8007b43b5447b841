// Tandrel's windows on an 800 x 480 screen of the test's own, each shown as
// the program shows it: within the screen, its controls within it, no
// label cut. Screenshots go to <build>/screenshots/layout.
#include <gtest/gtest.h>
#include <wx/button.h>

#include <memory>
#include <set>
#include <string>

#include "platform/gui/bundle_entry_points.h"
#include "platform/gui/file_dialog.h"
#include "platform/gui/resource_bundle.h"
#include "platform/message_box.h"
#include "platform/settings_store.h"
#include "testing/scratch_folder.h"
#include "testing/screen_layout.h"
#include "testing/wx_test_app.h"
#include "tools/tandrel/gui/tandrel_dialog.h"
#include "tools/tandrel/resources/ids/tandrel.h"

namespace tandrel {
namespace {

namespace main_ids = xrc::tandrel::main_dialog;

// Before the toolkit opens its display.
const test_support::ScreenOfTheTest g_screen;

class TandrelScreenTest : public ::testing::Test {
  protected:
    TandrelScreenTest()
        : resources_(std::make_shared<const platform::gui::ResourceBundle>(&ResourceXrc, &ResourceString,
                                                                           &ResourceImage)),
          store_(scratch_ / "settings") {}

    test_support::ScratchFolder scratch_{"kv-tandrel-screen"};
    platform::gui::ResourceBundleInstallation resources_;
    platform::SettingsStore store_;
    platform::ScopedRecordingSink boxes_;
};

TEST_F(TandrelScreenTest, TheDialogItsAboutBoxAndItsChoosers) {
    ASSERT_TRUE(g_screen.Started()) << "Xvfb did not start";
    CTandrelDlg dialog(nullptr, store_, scratch_.Path(), "1.3.3.0");
    ASSERT_TRUE(dialog.Loaded());
    test_support::ExpectModalFitsCockpitScreen(dialog, [&] { return dialog.DoModal(); }, "tandrel");
    test_support::ExpectNextModalFitsCockpitScreen("tandrel_about");
    ShowAboutBox(&dialog, "1.3.3.0");
    test_support::ExpectNextModalFitsCockpitScreen("tandrel_folder");
    EXPECT_FALSE(platform::gui::ShowFolderDialog(&dialog, "Folder of the DAFIF files", scratch_.Path()));
}

// Tandrel's commands are its dialog's buttons: each one that opens a
// window (the About box, the fill colour, the output file) is pressed and
// the window checked. Run and Done act at once (a run, the end).
TEST_F(TandrelScreenTest, EveryButtonsWindowFitsTheScreen) {
    ASSERT_TRUE(g_screen.Started()) << "Xvfb did not start";
    const std::set<int> actions = {main_ids::kRun, main_ids::kDone};
    CTandrelDlg dialog(nullptr, store_, scratch_.Path(), "1.3.3.0");
    ASSERT_TRUE(dialog.Loaded());
    std::size_t walked = 0;
    test_support::ExpectModalFitsCockpitScreen(dialog, [&] { return dialog.DoModal(); }, "tandrel_walk", [&] {
        for (wxButton* button : test_support::ShownButtons(dialog)) {
            if (actions.contains(button->GetId())) continue;
            SCOPED_TRACE(button->GetLabel().utf8_string());
            const test_support::CheckEveryModal check("tandrel_button_" + std::to_string(button->GetId()));
            test_support::Press(*button);
            EXPECT_EQ(check.Checked().size(), 1U);
            ++walked;
        }
    });
    EXPECT_EQ(walked, 3U);
    EXPECT_TRUE(boxes_->Boxes().empty());
}

}  // namespace
}  // namespace tandrel
