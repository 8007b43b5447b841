// The IGC header dialog from the real resource bundle, run modally and
// driven from inside its own event loop.
#include "frame/igc_header_dialog.h"

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/combobox.h>
#include <wx/textctrl.h>

#include <filesystem>
#include <functional>
#include <memory>

#include "core/history_list.h"
#include "frame/tests/gui/dialog_test_support.h"
#include "platform/gui/resource_bundle.h"
#include "platform/gui/screenshot.h"
#include "platform/gui/ui_bridge.h"
#include "platform/message_box.h"
#include "platform/settings_store.h"
#include "recorder/igc_header.h"
#include "resources/ids/igc_header_dialog.h"
#include "testing/wx_test_app.h"

namespace frame {
namespace {

namespace gui = platform::gui;
namespace igc_ids = xrc::igc_header_dialog;
using frame::testing::kBinaryDir;

class IgcHeaderDialogTest : public ::testing::Test {
  protected:
    IgcHeaderDialogTest() {
        platform::SetAppSettings(
            std::make_unique<platform::SettingsStore>(std::filesystem::path()));
        platform::SettingsStore& settings = platform::AppSettings();
        settings.WriteString("IGCHeaders", "PLT", std::wstring_view(L"Anna"));
        settings.WriteString("IGCHeaders", "CID", std::wstring_view(L"XY"));
        settings.WriteString("IGCHeaders\\PilotNames", "Entry0", std::wstring_view(L"Bert"));
    }
    ~IgcHeaderDialogTest() override { platform::SetAppSettings(nullptr); }

    int RunModal(const std::function<void()>& drive) {
        wxTheApp->CallAfter([this, drive] {
            drive();
            if (dialog_->IsModal()) dialog_->EndModal(-2);
        });
        return dialog_->DoModal();
    }
    void Type(int id, const std::wstring& text) const {
        dynamic_cast<wxTextEntry*>(dialog_->FindWindow(id))->ChangeValue(text);
    }
    void ChooseKind(int index) const {
        auto* kinds = dynamic_cast<wxComboBox*>(dialog_->FindWindow(igc_ids::kKindBox));
        kinds->SetSelection(index);
        wxCommandEvent change(wxEVT_COMBOBOX, igc_ids::kKindBox);
        change.SetEventObject(kinds);
        kinds->ProcessWindowEvent(change);
    }
    void Ok() const {
        wxCommandEvent click(wxEVT_BUTTON, wxID_OK);
        dialog_->ProcessWindowEvent(click);
    }

    std::shared_ptr<const gui::ResourceBundle> bundle_ = [] {
        platform::DynamicLibrary library =
            platform::DynamicLibrary::Open((kBinaryDir / gui::kResourceBundleFile).string());
        return library ? std::make_shared<const gui::ResourceBundle>(std::move(library)) : nullptr;
    }();
    gui::ResourceBundleInstallation installation_{bundle_};
    gui::ScopedUiBridge bridge_;
    platform::ScopedRecordingSink boxes_;
    std::unique_ptr<CIGCHeaderDlg> dialog_;
};

TEST_F(IgcHeaderDialogTest, OkStoresTheValuesAndMakesTheHeaderLines) {
    ASSERT_TRUE(installation_.XrcLoaded());
    dialog_ = std::make_unique<CIGCHeaderDlg>(nullptr);
    const int result = RunModal([this] {
        auto* pilot = dynamic_cast<wxComboBox*>(dialog_->FindWindow(igc_ids::kPilotBox));
        ASSERT_NE(pilot, nullptr);
        EXPECT_EQ(pilot->GetValue(), "Anna");
        EXPECT_EQ(pilot->GetCount(), 1U);
        // The phrase and its "Again" appear only with the security phrase,
        // the phrase in the value's place.
        for (const int id :
             {igc_ids::kPhraseEdit, igc_ids::kConfirmationEdit, igc_ids::kConfirmationLabel})
            EXPECT_FALSE(dialog_->FindWindow(id)->IsShown()) << id;
        ChooseKind(2);  // CID
        EXPECT_EQ(dynamic_cast<wxComboBox*>(dialog_->FindWindow(igc_ids::kValueBox))->GetValue(),
                  "XY");
        Type(igc_ids::kValueBox, L"ABC");
        ChooseKind(5);  // SEC: the phrase edits; "ABC" joins the CID history (asked)
        ASSERT_EQ(boxes_->Boxes().size(), 1U);
        for (const int id :
             {igc_ids::kPhraseEdit, igc_ids::kConfirmationEdit, igc_ids::kConfirmationLabel})
            EXPECT_TRUE(dialog_->FindWindow(id)->IsShown()) << id;
        for (const int id :
             {igc_ids::kFxaLabel, igc_ids::kFxaEdit, igc_ids::kValueBox, igc_ids::kValueEdit})
            EXPECT_FALSE(dialog_->FindWindow(id)->IsShown()) << id;
        const auto middle = [this](int id) {
            const wxRect rect = dialog_->FindWindow(id)->GetRect();
            return rect.y + rect.height / 2;
        };
        EXPECT_NEAR(middle(igc_ids::kPhraseEdit), middle(igc_ids::kKindLabel), 2)
            << "the phrase stands beside its label";
        EXPECT_NEAR(middle(igc_ids::kConfirmationEdit), middle(igc_ids::kConfirmationLabel), 2);
        Type(igc_ids::kPhraseEdit, L"seven  ");
        Type(igc_ids::kConfirmationEdit, L"seven  ");
        gui::SaveScreenshot(*dialog_, kBinaryDir / "screenshots" / "igc_header_dialog.png");
        Ok();  // refused: too short
        ASSERT_TRUE(dialog_->IsModal());
        EXPECT_EQ(boxes_->Boxes().size(), 2U);
        Type(igc_ids::kPhraseEdit, L"eight ch");
        Type(igc_ids::kConfirmationEdit, L"eight ch");
        Ok();
    });
    ASSERT_EQ(result, wxID_OK);
    const std::vector<std::wstring>& lines = dialog_->Lines();
    ASSERT_EQ(lines.size(), 6U);
    EXPECT_EQ(lines[0], L"");
    EXPECT_EQ(lines[1], L"HFPRSPRESSALTSENSOR: None\r\n");
    EXPECT_EQ(lines[2], L"HFCIDCOMPETITION ID: ABC\r\n");
    EXPECT_TRUE(lines[5].starts_with(L"HFSECOOSECURITYPHRASE: 16"));
    const platform::SettingsStore& settings = platform::AppSettings();
    EXPECT_EQ(settings.GetString("IGCHeaders", "CID", std::wstring_view()), L"ABC");
    EXPECT_EQ(settings.GetString("IGCHeaders\\CompIDs", "Entry0", std::wstring_view()), L"ABC");
    // A new pilot name is added after the remembered ones (asked first).
    EXPECT_EQ(core::LoadHistory(settings, "IGCHeaders\\PilotNames"),
              (std::vector<std::wstring>{L"Bert", L"Anna"}));
    EXPECT_EQ(recorder::g_igcHeaderTexts[recorder::kIgcCompetitionId].Get(), L"ABC");
}

TEST_F(IgcHeaderDialogTest, EnterAddsToAHistoryAndCtrlBackspaceDeletesFromIt) {
    ASSERT_TRUE(installation_.XrcLoaded());
    dialog_ = std::make_unique<CIGCHeaderDlg>(nullptr);
    RunModal([this] {
        auto* pilot = dynamic_cast<wxComboBox*>(dialog_->FindWindow(igc_ids::kPilotBox));
        ASSERT_NE(pilot, nullptr);
        const auto press = [pilot](int code) {
            wxKeyEvent key(wxEVT_KEY_DOWN);
            key.m_keyCode = code;
            key.SetEventObject(pilot);
            pilot->ProcessWindowEvent(key);
        };
        pilot->ChangeValue("Carla");
        press(WXK_RETURN);
        EXPECT_EQ(core::LoadHistory(platform::AppSettings(), "IGCHeaders\\PilotNames"),
                  (std::vector<std::wstring>{L"Bert", L"Carla"}));
        pilot->ChangeValue("Bert");
        press(WXK_BACK);  // without Ctrl: an ordinary key
        EXPECT_EQ(pilot->GetCount(), 2U);
        press(WXK_CONTROL);
        press(WXK_BACK);
        EXPECT_EQ(core::LoadHistory(platform::AppSettings(), "IGCHeaders\\PilotNames"),
                  std::vector<std::wstring>{L"Carla"});
        EXPECT_EQ(boxes_->Boxes().size(), 2U);  // each change asked first
    });
}

}  // namespace
}  // namespace frame
