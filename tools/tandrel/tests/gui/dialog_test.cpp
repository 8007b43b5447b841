// Tandrel's dialog under a display: options in and out of its controls, the
// DAFIF folder chooser, validation boxes and a run.
#include "tools/tandrel/gui/tandrel_dialog.h"

#include <gtest/gtest.h>
#include <wx/checkbox.h>
#include <wx/radiobut.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/xrc/xmlres.h>

#include <fstream>
#include <iterator>
#include <memory>

#include "platform/gui/bundle_entry_points.h"
#include "platform/gui/resource_bundle.h"
#include "platform/gui/screenshot.h"
#include "platform/message_box.h"
#include "testing/scratch_folder.h"
#include "testing/wx_test_app.h"
#include "tools/tandrel/resources/ids/tandrel.h"
#include "tools/tandrel/tandrel_settings.h"
#include "tools/tandrel/tests/tandrel_test_support.h"

namespace tandrel {
namespace {

namespace fs = std::filesystem;
namespace main_ids = xrc::tandrel::main_dialog;

class TandrelDialogTest : public ::testing::Test {
  protected:
    TandrelDialogTest()
        : resources_(std::make_shared<const platform::gui::ResourceBundle>(&ResourceXrc, &ResourceString,
                                                                           &ResourceImage)),
          store_(scratch_ / "settings") {}

    std::unique_ptr<CTandrelDlg> Open(const fs::path& folder) {
        auto dialog = std::make_unique<CTandrelDlg>(nullptr, store_, folder, "1.3.3.0");
        EXPECT_TRUE(dialog->Loaded());
        dialog->InitDialog();
        return dialog;
    }

    void Type(wxDialog& dialog, int id, const char* text) {
        auto* edit = dynamic_cast<wxTextCtrl*>(dialog.FindWindow(id));
        ASSERT_NE(edit, nullptr) << id;
        edit->SetValue(text);
    }

    // The fixture files' region: 48 N to 50 N, 8 E to 10 E.
    void EnterFixtureRegion(wxDialog& dialog) {
        Type(dialog, main_ids::kNorth, "50");
        Type(dialog, main_ids::kSouth, "48");
        Type(dialog, main_ids::kEast, "10");
        Type(dialog, main_ids::kWest, "8");
        for (const int east : {main_ids::kEastEW, main_ids::kWestEW}) {
            auto* button = dynamic_cast<wxRadioButton*>(dialog.FindWindow(east));
            ASSERT_NE(button, nullptr) << east;
            button->SetValue(true);
        }
    }

    test_support::ScratchFolder scratch_{"kv-tandrel-gui"};
    platform::gui::ResourceBundleInstallation resources_;
    platform::SettingsStore store_;
    platform::ScopedRecordingSink boxes_;
};

TEST_F(TandrelDialogTest, DefaultBoundariesAreRefusedAndNothingIsWritten) {
    auto dialog = Open(testing::FixtureFolder());
    ASSERT_TRUE(dialog->OpenDafifFiles({}));
    dialog->SetOutputFile(scratch_ / "out.map");
    dialog->RunConversion();
    ASSERT_EQ(boxes_->Boxes().size(), 1U);
    EXPECT_EQ(boxes_->Boxes()[0].text, L"Incompatible east-west boundaries");
    EXPECT_EQ(boxes_->Boxes()[0].caption, L"Input Error");
    EXPECT_FALSE(fs::exists(scratch_ / "out.map"));
    fs::create_directories(KV_BINARY_DIR "/screenshots");
    EXPECT_TRUE(platform::gui::SaveScreenshot(*dialog, KV_BINARY_DIR "/screenshots/tandrel_dialog.png"));
}

TEST_F(TandrelDialogTest, AMissingFileAsksForAnotherFolderAndRemembersIt) {
    auto dialog = Open(scratch_ / "no-dafif-here");
    int asked = 0;
    EXPECT_TRUE(dialog->OpenDafifFiles([&]() -> std::optional<fs::path> {
        ++asked;
        return testing::FixtureFolder();
    }));
    EXPECT_EQ(asked, 1);
    ASSERT_EQ(boxes_->Boxes().size(), 1U);
    EXPECT_EQ(boxes_->Boxes()[0].text, L"File BDRY_PAR.TXT\r\nCannot be opened");
    EXPECT_EQ(boxes_->Boxes()[0].caption, L"Bad File");
    EXPECT_EQ(LoadDafifFolder(store_), testing::FixtureFolder());

    // Cancelling the chooser gives up.
    auto second = Open(scratch_ / "elsewhere");
    platform::SettingsStore empty(scratch_ / "other-settings");
    CTandrelDlg third(nullptr, empty, scratch_ / "elsewhere", "1");
    EXPECT_FALSE(third.OpenDafifFiles([] { return std::optional<fs::path>(); }));
}

TEST_F(TandrelDialogTest, ARunWritesTheMapAndKeepsTheOptions) {
    auto dialog = Open(testing::FixtureFolder());
    ASSERT_TRUE(dialog->OpenDafifFiles({}));
    EnterFixtureRegion(*dialog);
    Type(*dialog, main_ids::kCountryEdit, " ed ");
    // Class D, the control zones' type and restricted areas.
    for (int id : {main_ids::kFirstClassBox + 3, main_ids::kFirstTypeBox + 6,
                   main_ids::kFirstSpecialBox + 4})
        dynamic_cast<wxCheckBox*>(dialog->FindWindow(id))->SetValue(true);
    const fs::path output = scratch_ / "a-rather-long-folder-name" / "alps.map";
    fs::create_directories(output.parent_path());
    dialog->SetOutputFile(output);
    const wxString shown = dialog->FindWindow(main_ids::kOutputName)->GetLabel();
    EXPECT_TRUE(shown.StartsWith("...")) << shown;
    EXPECT_EQ(shown.length(), 33U);

    dialog->RunConversion();
    EXPECT_TRUE(boxes_->Boxes().empty()) << boxes_->Boxes()[0].text;
    std::ifstream in(output, std::ios::binary);
    const std::string map{std::istreambuf_iterator<char>(in), {}};
    EXPECT_NE(map.find(";EDCTR01:"), std::string::npos);   // class D, CTLZ type, ED
    EXPECT_NE(map.find(";ED-R1:"), std::string::npos);     // restricted, ED
    EXPECT_EQ(map.find(";EDTMA04:"), std::string::npos);   // class C
    EXPECT_FALSE(dialog->Running());
    EXPECT_EQ(dialog->FindWindow(main_ids::kRunningName)->GetLabel(), "-----");

    TandrelOptions stored;
    LoadOptions(store_, stored);
    EXPECT_EQ(stored.north, 50.0);
    EXPECT_EQ(stored.eastEW, 0);
    EXPECT_EQ(stored.country, "ED");
    EXPECT_EQ(store_.GetString("Boundaries", "North", std::string()), "50.000000");
}

// A folder of empty DAFIF files is named before the run; No writes nothing.
TEST_F(TandrelDialogTest, EmptyFilesAreToldAndNoWritesNothing) {
    const fs::path folder = scratch_ / "empty";
    fs::create_directories(folder);
    for (const char* name : {"BDRY_PAR.TXT", "SUAS_PAR.TXT", "BDRY.TXT", "SUAS.TXT", "BDRY_CTRY.TXT", "SUAS_CTRY.TXT"})
        std::ofstream(folder / name) << "";
    auto dialog = Open(folder);
    ASSERT_TRUE(dialog->OpenDafifFiles({}));
    EnterFixtureRegion(*dialog);
    dynamic_cast<wxCheckBox*>(dialog->FindWindow(main_ids::kFirstSpecialBox + 4))->SetValue(true);
    const fs::path output = scratch_ / "empty.map";
    dialog->SetOutputFile(output);
    boxes_->QueueAnswer(platform::kIdNo);
    dialog->RunConversion();
    ASSERT_EQ(boxes_->Boxes().size(), 1U);
    EXPECT_EQ(boxes_->Boxes()[0].caption, L"Damaged DAFIF files");
    EXPECT_EQ(boxes_->Boxes()[0].text.substr(0, 68),
              L"File SUAS_PAR.TXT holds no records.\r\nFile SUAS.TXT holds no records.");
    EXPECT_FALSE(fs::exists(output));
    EXPECT_FALSE(dialog->Running());
}

TEST_F(TandrelDialogTest, ColourZeroWithoutFillFocusesTheColour) {
    auto dialog = Open(testing::FixtureFolder());
    ASSERT_TRUE(dialog->OpenDafifFiles({}));
    Type(*dialog, main_ids::kNorth, "50");
    Type(*dialog, main_ids::kWest, "12");  // 12 W .. 0 W
    Type(*dialog, main_ids::kBorderColourEdit, "0");
    EXPECT_FALSE(dialog->FindWindow(main_ids::kBorderSwatch)->IsShown());  // no swatch for colour 0
    dialog->RunConversion();
    ASSERT_EQ(boxes_->Boxes().size(), 1U);
    EXPECT_EQ(boxes_->Boxes()[0].text, L"If you do not fill shapes, you cannot use line color 0");
    Type(*dialog, main_ids::kBorderColourEdit, "6");
    EXPECT_TRUE(dialog->FindWindow(main_ids::kBorderSwatch)->IsShown());
}

}  // namespace
}  // namespace tandrel
