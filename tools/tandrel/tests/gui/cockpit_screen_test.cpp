// Tandrel's windows on an 800 x 480 screen of the test's own, each shown as
// the program shows it: within the screen, its controls within it, no
// label cut. Screenshots go to <build>/screenshots/layout.
#include <gtest/gtest.h>

#include <memory>

#include "platform/gui/bundle_entry_points.h"
#include "platform/gui/file_dialog.h"
#include "platform/gui/resource_bundle.h"
#include "platform/message_box.h"
#include "platform/settings_store.h"
#include "testing/scratch_folder.h"
#include "testing/screen_layout.h"
#include "testing/wx_test_app.h"
#include "tools/tandrel/gui/tandrel_dialog.h"

namespace tandrel {
namespace {

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

}  // namespace
}  // namespace tandrel
