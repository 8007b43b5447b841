// The small dialogs and controls under a display: the about box with the
// recorder types, the map export options, the declare confirmation that
// Enter cannot close, the pick button's rows and the notes window's clicks.

#include "frame/small_dialogs.h"

#include <gtest/gtest.h>

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/frame.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/uiaction.h>

#include <chrono>
#include <memory>

#include "dialog_test_support.h"
#include "frame/notes_controls.h"
#include "platform/gui/event_pump.h"
#include "platform/gui/resource_bundle.h"
#include "platform/gui/screenshot.h"
#include "platform/message_box.h"
#include "platform/settings_store.h"
#include "platform/ui_post.h"
#include "resources/ids/about_box.h"
#include "resources/ids/frame_dialogs.h"
#include "resources/ids/strings.h"
#include "services/string_resources.h"
#include "testing/scratch_folder.h"
#include "testing/wx_test_app.h"

namespace {

using namespace std::chrono_literals;
namespace about_ids = xrc::about_box;
namespace frame_dialog_ids = xrc::frame_dialogs;

class SmallDialogsTest : public frame::testing::BundleSuite {
  protected:
    void SetUp() override {
        platform::SetAppSettings(std::make_unique<platform::SettingsStore>(scratch_ / "settings"));
    }
    void TearDown() override { platform::SetAppSettings(nullptr); }

    static wxString Label(wxWindow& dialog, int id) {
        wxWindow* control = dialog.FindWindow(id);
        return control != nullptr ? control->GetLabel() : wxString("<none>");
    }

    test_support::ScratchFolder scratch_{"small-dialogs"};
};

TEST_F(SmallDialogsTest, AboutBoxNamesTheRecorderTypeOrLeavesTheLabel) {
    wxString templateLabel;
    {
        frame::CAboutDlg dialog(nullptr, 0);
        ASSERT_TRUE(dialog.Loaded());
        templateLabel = Label(dialog, about_ids::kAboutLogger);
        dialog.InitDialog();
        EXPECT_EQ(Label(dialog, about_ids::kAboutLogger), templateLabel);
        EXPECT_TRUE(Label(dialog, about_ids::kAboutTitle).StartsWith(core::LoadResourceString(ids::kIdsAboutTitle)));
        // The long line is broken to fit the box, not cut.
        wxString what = Label(dialog, about_ids::kAboutWhat);
        what.Replace("\n", " ");
        EXPECT_EQ(what, wxString(core::LoadResourceString(ids::kIdsAboutWhat)));
        EXPECT_EQ(Label(dialog, about_ids::kAboutMaker), wxString(core::LoadResourceString(ids::kIdsAboutMaker)));
    }
    frame::CAboutDlg dialog(nullptr, 7);
    dialog.InitDialog();
    EXPECT_EQ(Label(dialog, about_ids::kAboutLogger), "FAI: ???");
    EXPECT_TRUE(platform::gui::SaveScreenshot(dialog, frame::testing::Screenshot("about_box.png")));
}

TEST_F(SmallDialogsTest, MapExportShowsItsValuesAndRefusesAScaleOutOfRange) {
    platform::ScopedRecordingSink boxes;
    frame::CMapExportDlg dialog(nullptr, {2.0F, 1});
    ASSERT_TRUE(dialog.Loaded());
    const int result = frame::testing::RunModal(dialog, [&] { return dialog.DoModal(); }, [&] {
        auto* scale = dynamic_cast<wxTextCtrl*>(dialog.FindWindow(frame_dialog_ids::kExportScale));
        ASSERT_NE(scale, nullptr);
        EXPECT_EQ(scale->GetValue(), "2");
        EXPECT_TRUE(dynamic_cast<wxCheckBox*>(dialog.FindWindow(frame_dialog_ids::kExportEightBits))->GetValue());
        scale->ChangeValue("0.5");
        wxCommandEvent ok(wxEVT_BUTTON, wxID_OK);
        dialog.GetEventHandler()->ProcessEvent(ok);
        EXPECT_TRUE(dialog.IsModal());  // refused, still open
        EXPECT_EQ(boxes->Boxes().size(), 1U);
        scale->ChangeValue("50");
        dialog.GetEventHandler()->ProcessEvent(ok);
    });
    EXPECT_EQ(result, wxID_OK);
    EXPECT_EQ(dialog.Values().scale, 50.0F);
}

TEST_F(SmallDialogsTest, DeclareConfirmationIgnoresEnter) {
    frame::CDeclareConfirmDlg dialog(nullptr);
    ASSERT_TRUE(dialog.Loaded());
    frame::testing::RunModal(dialog, [&] { return dialog.DoModal(); }, [&] {
        wxKeyEvent enter(wxEVT_CHAR_HOOK);
        enter.m_keyCode = WXK_RETURN;
        dialog.GetEventHandler()->ProcessEvent(enter);
        platform::gui::ProcessEventsFor(50ms);
        EXPECT_TRUE(dialog.IsModal());
        EXPECT_EQ(dialog.m_nResult, 0);
        wxCommandEvent declare(wxEVT_BUTTON, frame_dialog_ids::kConfirmDeclare);
        dialog.GetEventHandler()->ProcessEvent(declare);
    });
    EXPECT_EQ(dialog.m_nResult, 2);

    frame::CDeclareConfirmDlg cancelled(nullptr);
    frame::testing::RunModal(cancelled, [&] { return cancelled.DoModal(); }, [&] {
        wxCommandEvent cancel(wxEVT_BUTTON, wxID_CANCEL);
        cancelled.GetEventHandler()->ProcessEvent(cancel);
    });
    EXPECT_EQ(cancelled.m_nResult, 1);
}

TEST_F(SmallDialogsTest, NotesClicksAboveTheBottomStripAskToHide) {
    platform::ScopedRecordingUiPost posts;
    auto* window = new wxFrame(nullptr, wxID_ANY, "notes", wxDefaultPosition, wxSize(300, 300));
    auto* text = new wxTextCtrl(window, wxID_ANY, "", wxPoint(0, 0), wxSize(200, 100),
                                wxTE_MULTILINE);
    frame::ColorEdit notes(*text, platform::kMainFrameWindow);
    EXPECT_FALSE(text->IsEditable());
    const auto click = [text](int y) {
        wxMouseEvent up(wxEVT_LEFT_UP);
        up.m_y = y;
        text->GetEventHandler()->ProcessEvent(up);
    };
    const int height = text->GetClientSize().y;
    click(height - 5);  // the bottom strip: stays
    EXPECT_TRUE(posts->Records().empty());
    click(10);
    ASSERT_EQ(posts->Records().size(), 1U);
    EXPECT_EQ(posts->Records()[0].message, platform::WM_USER_HIDEPOPUP);
    EXPECT_EQ(posts->Records()[0].wParam, reinterpret_cast<std::uintptr_t>(text));
    window->Destroy();
}

TEST_F(SmallDialogsTest, HistoryComboLimitsItsTextAndKeepsItsEntries) {
    auto* window = new wxFrame(nullptr, wxID_ANY, "history");
    auto* combo = new frame::HistoryComboBox(window, wxID_ANY, 8);
    EXPECT_EQ(combo->LoadHistory("", false), -1);
    platform::AppSettings().WriteString("Hist", "Entry0", std::wstring_view(L"one"));
    EXPECT_EQ(combo->LoadHistory("Hist", true), 1);
    combo->SetValue("two");
    combo->AddCurrentText(true);
    combo->SetValue("ONE");  // already there, in another case
    combo->AddCurrentText(true);
    EXPECT_EQ(combo->GetCount(), 2U);
    combo->SaveHistory();
    EXPECT_EQ(platform::AppSettings().GetString("Hist", "Entry1", L""), L"two");
    combo->SetValue("one");
    combo->DeleteCurrentText(true);
    EXPECT_EQ(combo->GetCount(), 1U);
    window->Destroy();
}

}  // namespace
