// The programs' file dialog, driven as a pilot drives it: a name typed into
// its name field and Return, and where the dialog and its siblings go on
// the screen.
#include "platform/gui/file_dialog.h"

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/dialog.h>
#include <wx/textctrl.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>

#include "platform/gui/event_pump.h"
#include "platform/gui/screen_fit.h"
#include "platform/message_box.h"
#include "testing/scratch_folder.h"
#include "testing/wx_test_app.h"

namespace platform::gui {
namespace {

namespace fs = std::filesystem;

TEST(ScreenFit, AWindowIsPlacedOverItsParentWithinTheWorkArea) {
    const wxRect area(0, 0, 800, 480);
    struct Case {
        wxSize size;
        wxRect over;
        wxRect placed;
    };
    for (const Case& c : {
             Case{{400, 200}, {0, 0, 800, 480}, {200, 140, 400, 200}},   // centred
             Case{{1096, 822}, {0, 0, 800, 480}, {0, 0, 800, 480}},      // cut to the area
             Case{{300, 200}, {600, 400, 200, 80}, {500, 280, 300, 200}},  // moved back in
             Case{{300, 200}, {}, {250, 140, 300, 200}},                  // no parent
         }) {
        EXPECT_EQ(PlaceWithin(area, c.size, c.over), c.placed) << c.size.x << "x" << c.size.y;
    }
    EXPECT_EQ(PlaceWithin(wxRect(0, 30, 800, 450), wxSize(200, 500), wxRect()),
              wxRect(300, 30, 200, 450));
}

TEST(FileDialog, ADefaultExtensionGoesOnANameWithoutOne) {
    EXPECT_EQ(WithDefaultExtension("/a/task", L"tsk"), fs::path("/a/task.tsk"));
    EXPECT_EQ(WithDefaultExtension("/a/task.old", L"tsk"), fs::path("/a/task.old"));
    EXPECT_EQ(WithDefaultExtension("/a.b/task", L"tsk"), fs::path("/a.b/task.tsk"));
    EXPECT_EQ(WithDefaultExtension("/a/task", L""), fs::path("/a/task"));
}

class FileDialogTest : public ::testing::Test {
  protected:
    // Shows the dialog; inside its loop `type` goes into the name field and
    // Return is pressed there.
    std::optional<FileDialogAnswer> TypeAndReturn(const FileDialogRequest& request,
                                                  std::optional<wxString> type) {
        wxTheApp->CallAfter([type, this] {
            wxDialog* dialog = nullptr;
            for (wxWindow* window : wxTopLevelWindows)
                if (auto* d = dynamic_cast<wxDialog*>(window); d != nullptr && d->IsModal()) dialog = d;
            ASSERT_NE(dialog, nullptr);
            title_ = dialog->GetTitle();
            wxTextCtrl* name = NameField(*dialog);
            ASSERT_NE(name, nullptr);
            offered_ = name->GetValue();
            // The display hands the focus over in its own time: wait for it.
            focused_ = ProcessEventsUntil([name] { return wxWindow::FindFocus() == name; },
                                          std::chrono::seconds(5));
            if (type) name->ChangeValue(*type);
            wxCommandEvent enter(wxEVT_TEXT_ENTER, name->GetId());
            enter.SetEventObject(name);
            name->ProcessWindowEvent(enter);
            if (dialog->IsModal()) dialog->EndModal(wxID_CANCEL);
        });
        return ShowFileDialog(nullptr, request);
    }

    static wxTextCtrl* NameField(wxWindow& window) {
        for (wxWindow* child : window.GetChildren()) {
            if (auto* text = dynamic_cast<wxTextCtrl*>(child)) return text;
            if (wxTextCtrl* found = NameField(*child)) return found;
        }
        return nullptr;
    }

    FileDialogRequest SaveRequest() const {
        FileDialogRequest request;
        request.title = "GPS Data log";
        request.folder = folder_.Path();
        request.name = "/elsewhere/6CBX0001.igc";  // a whole path offers its name
        request.wildcard = "Text logs (*.gps)|*.gps|IGC logs (*.igc)|*.igc|All files (*.*)|*.*";
        request.filterIndex = 1;
        request.save = true;
        request.defaultExtension = L"igc";
        return request;
    }

    test_support::ScratchFolder folder_{"file-dialog"};
    ScopedRecordingSink boxes_;
    wxString title_, offered_;
    bool focused_ = false;
};

TEST_F(FileDialogTest, ReturnTakesTheOfferedNameInTheGivenFolder) {
    const auto answer = TypeAndReturn(SaveRequest(), std::nullopt);
    ASSERT_TRUE(answer);
    EXPECT_EQ(title_, "GPS Data log");
    EXPECT_EQ(offered_, "6CBX0001.igc");
    EXPECT_TRUE(focused_);
    EXPECT_EQ(answer->path, folder_.Path() / "6CBX0001.igc");
    EXPECT_EQ(answer->filterIndex, 1);
}

TEST_F(FileDialogTest, ATypedNameGetsTheDefaultExtensionAndAReplacementIsAsked) {
    auto answer = TypeAndReturn(SaveRequest(), wxString("evening"));
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->path, folder_.Path() / "evening.igc");
    EXPECT_TRUE(boxes_->Boxes().empty());

    folder_.Write("evening.igc", "old");
    boxes_->QueueAnswer(kIdNo);
    EXPECT_FALSE(TypeAndReturn(SaveRequest(), wxString("evening")));  // kept open, then cancelled
    ASSERT_EQ(boxes_->Boxes().size(), 1U);
    boxes_->QueueAnswer(kIdYes);
    answer = TypeAndReturn(SaveRequest(), wxString("evening"));
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->path, folder_.Path() / "evening.igc");
}

TEST_F(FileDialogTest, OpeningTakesOnlyAFileThatExists) {
    FileDialogRequest request;
    request.title = "Task File";
    request.folder = folder_.Path();
    request.wildcard = "Task Files (*.tsk)|*.tsk|All files  (*.*)|*.*";
    EXPECT_FALSE(TypeAndReturn(request, wxString("missing.tsk")));
    const fs::path task = folder_.Write("mine.tsk", "/*TASK*/\r\n");
    const auto answer = TypeAndReturn(request, wxString("mine.tsk"));
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->path, task);
}

}  // namespace
}  // namespace platform::gui
