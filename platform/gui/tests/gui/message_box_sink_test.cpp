#include "platform/gui/message_box_sink.h"

#include <gtest/gtest.h>
#include <wx/dialog.h>
#include <wx/frame.h>
#include <wx/msgdlg.h>
#include <wx/timer.h>

#include <algorithm>
#include <chrono>
#include <future>
#include <thread>
#include <vector>

#include "platform/gui/event_pump.h"
#include "testing/wx_test_app.h"

namespace platform::gui {
namespace {

using namespace std::chrono_literals;

TEST(WxMessageStyle, StylesAndAnswersMap) {
    struct Case {
        unsigned style;
        long wxStyle;
    };
    const Case cases[] = {
        {mb::kOk, wxOK | wxICON_NONE | wxCENTRE},
        {mb::kOk | mb::kIconHand | mb::kTopmost, wxOK | wxICON_ERROR | wxSTAY_ON_TOP | wxCENTRE},
        {mb::kYesNo | mb::kIconQuestion, wxYES_NO | wxICON_QUESTION | wxCENTRE},
        {mb::kOkCancel | mb::kIconExclamation, wxOK | wxCANCEL | wxICON_WARNING | wxCENTRE},
        {mb::kOk | mb::kIconInformation | mb::kTaskModal, wxOK | wxICON_INFORMATION | wxCENTRE},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ToWxMessageStyle(c.style), c.wxStyle) << c.style;

    EXPECT_EQ(FromWxAnswer(wxID_OK), kIdOk);
    EXPECT_EQ(FromWxAnswer(wxID_CANCEL), kIdCancel);
    EXPECT_EQ(FromWxAnswer(wxID_YES), kIdYes);
    EXPECT_EQ(FromWxAnswer(wxID_NO), kIdNo);
}

struct Shown {
    std::wstring text;
    wxWindow* parent;
    bool onUiThread;
};

// The sink with a presenter that records each box and answers answer_.
class SinkTest : public ::testing::Test {
  protected:
    ~SinkTest() override {
        SetMessageBoxSink(previous_);
        SetProgramStopping(false);
    }

    int Present(wxWindow* parent, const wxString& text) {
        ++depth_;
        maxDepth_ = std::max(maxDepth_, depth_);
        shown_.push_back({text.ToStdWstring(), parent, std::this_thread::get_id() == uiThread_});
        // A real box runs a modal loop, in which queued calls go on.
        if (pumpWhileShowing_) ProcessEventsFor(20ms);
        --depth_;
        return answer_;
    }

    static std::future<int> ShowFromWorker(std::wstring text, unsigned style) {
        return std::async(std::launch::async, [text = std::move(text), style] {
            return ShowMessageBox(nullptr, text, L"Test", style);
        });
    }

    std::thread::id uiThread_ = std::this_thread::get_id();
    int answer_ = kIdOk;
    bool pumpWhileShowing_ = false;
    int depth_ = 0;
    int maxDepth_ = 0;
    std::vector<Shown> shown_;  // UI thread only
    std::shared_ptr<WxMessageBoxSink> sink_ = std::make_shared<WxMessageBoxSink>(
        [this](wxWindow* parent, const wxString& text, const wxString&, unsigned) {
            return Present(parent, text);
        });
    std::shared_ptr<MessageBoxSink> previous_ = SetMessageBoxSink(sink_);
};

TEST_F(SinkTest, OnTheUiThreadABoxIsShownAtOnceOverItsOwner) {
    auto* frame = new wxFrame(nullptr, wxID_ANY, "owner");  // wx owns top-level windows
    answer_ = kIdNo;
    EXPECT_EQ(ShowMessageBox(frame, L"Go on?", L"", mb::kYesNo), kIdNo);
    ASSERT_EQ(shown_.size(), 1u);
    EXPECT_EQ(shown_[0].parent, frame);
    EXPECT_TRUE(shown_[0].onUiThread);
    frame->Destroy();
}

TEST_F(SinkTest, AWorkerDoesNotWaitForAnOkBox) {
    EXPECT_EQ(ShowFromWorker(L"Port write failed", mb::kOk | mb::kIconHand).get(), kIdOk);
    EXPECT_EQ(ShowFromWorker(L"Port write failed", mb::kOk | mb::kIconHand).get(), kIdOk);
    EXPECT_EQ(ShowFromWorker(L"Log write failed", mb::kOk).get(), kIdOk);
    EXPECT_TRUE(shown_.empty());  // nothing shown before the UI thread runs

    ProcessEventsFor(50ms);
    // The identical box still waiting was not queued twice.
    ASSERT_EQ(shown_.size(), 2u);
    EXPECT_EQ(shown_[0].text, L"Port write failed");
    EXPECT_EQ(shown_[1].text, L"Log write failed");
    EXPECT_TRUE(shown_[0].onUiThread && shown_[1].onUiThread);
    EXPECT_EQ(shown_[0].parent, nullptr);
}

TEST_F(SinkTest, AWorkerWaitsForTheAnswerToAQuestion) {
    answer_ = kIdNo;
    auto answer = ShowFromWorker(L"Continue?", mb::kYesNo | mb::kIconQuestion);
    EXPECT_EQ(answer.wait_for(50ms), std::future_status::timeout);
    ASSERT_TRUE(
        ProcessEventsUntil([&] { return answer.wait_for(0s) == std::future_status::ready; }, 5s));
    EXPECT_EQ(answer.get(), kIdNo);
    ASSERT_EQ(shown_.size(), 1u);
    EXPECT_TRUE(shown_[0].onUiThread);
}

TEST_F(SinkTest, QueuedBoxesAreShownOneAfterAnotherNeverStacked) {
    pumpWhileShowing_ = true;
    std::vector<std::future<int>> boxes;
    for (int n = 0; n < 4; ++n)
        boxes.push_back(ShowFromWorker(std::to_wstring(n), mb::kOk));
    boxes.push_back(ShowFromWorker(L"question", mb::kOkCancel));
    ASSERT_TRUE(ProcessEventsUntil([&] { return shown_.size() == 5; }, 5s));
    EXPECT_EQ(maxDepth_, 1);
    for (auto& box : boxes)
        EXPECT_EQ(box.get(), kIdOk);
}

TEST_F(SinkTest, StoppingReleasesWaitingWorkersWithTheDefaultAnswer) {
    answer_ = kIdNo;
    auto answer = ShowFromWorker(L"Continue?", mb::kYesNo);
    EXPECT_EQ(answer.wait_for(50ms), std::future_status::timeout);
    SetProgramStopping(true);
    ASSERT_EQ(answer.wait_for(5s), std::future_status::ready);
    EXPECT_EQ(answer.get(), kIdYes);

    EXPECT_EQ(ShowFromWorker(L"late", mb::kOk).get(), kIdOk);
    ProcessEventsFor(50ms);
    EXPECT_TRUE(shown_.empty());  // nothing from workers is shown while stopping
}

TEST(WxMessageBoxSinkDialog, AWorkersQuestionIsAnsweredInARealDialog) {
    const auto previous = SetMessageBoxSink(std::make_shared<WxMessageBoxSink>());
    // Presses No once the dialog is up.
    wxTimer answerNo;
    answerNo.Bind(wxEVT_TIMER, [](wxTimerEvent&) {
        for (wxWindow* window : wxTopLevelWindows) {
            auto* dialog = dynamic_cast<wxDialog*>(window);
            wxWindow* no = dialog != nullptr && dialog->IsModal() ? dialog->FindWindow(wxID_NO) : nullptr;
            if (no == nullptr) continue;
            wxCommandEvent press(wxEVT_BUTTON, wxID_NO);
            press.SetEventObject(no);
            no->ProcessWindowEvent(press);
        }
    });
    answerNo.Start(100);

    auto answer = std::async(std::launch::async, [] {
        return ShowMessageBox(nullptr, L"Start without GPS data?", L"GPS port",
                              mb::kYesNo | mb::kIconHand | mb::kTopmost);
    });
    const bool answered =
        ProcessEventsUntil([&] { return answer.wait_for(0s) == std::future_status::ready; }, 10s);
    answerNo.Stop();
    if (!answered) SetProgramStopping(true);  // release the worker, then fail
    answer.wait();
    SetProgramStopping(false);
    SetMessageBoxSink(previous);
    ASSERT_TRUE(answered);
    EXPECT_EQ(answer.get(), kIdNo);
}

}  // namespace
}  // namespace platform::gui
