#include "platform/gui/ui_bridge.h"

#include <gtest/gtest.h>
#include <wx/frame.h>

#include <atomic>
#include <chrono>
#include <future>
#include <thread>
#include <vector>

#include "platform/gui/event_pump.h"
#include "testing/wx_test_app.h"

namespace platform::gui {
namespace {

using namespace std::chrono_literals;

struct Received {
    unsigned message;
    std::uintptr_t wParam;
    bool onUiThread;
};

// A top-level window that records the messages it handles.
class BridgeTest : public ::testing::Test {
  protected:
    void SetUp() override {
        frame_ = new wxFrame(nullptr, wxID_ANY, "bridge");  // wx owns top-level windows
        registration_ = Register(*frame_, 40);
    }
    void TearDown() override {
        registration_.Reset();
        if (frame_ != nullptr) frame_->Destroy();
        ProcessEventsFor(20ms);
        SetProgramStopping(false);
    }

    WindowRegistration Register(wxWindow& window, std::intptr_t result) {
        return WindowRegistration(kMapViewWindow, window, [this, result](const WindowMessage& m) {
            received_.push_back({m.message, m.wParam, std::this_thread::get_id() == uiThread_});
            return result;
        });
    }

    ScopedUiBridge bridge_;
    std::thread::id uiThread_ = std::this_thread::get_id();
    wxFrame* frame_ = nullptr;
    WindowRegistration registration_;
    std::vector<Received> received_;  // UI thread only
};

TEST_F(BridgeTest, PostsFromWorkersArriveInOrderOnTheUiThread) {
    {
        std::jthread worker([] {
            for (unsigned n = 0; n < 50; ++n)
                EXPECT_TRUE(PostWindowMessage(kMapViewWindow, WM_USER_MAPNEWFIX, n));
        });
    }
    EXPECT_TRUE(received_.empty());  // nothing runs before the UI thread takes it
    ASSERT_TRUE(ProcessEventsUntil([&] { return received_.size() == 50; }, 5s));
    for (unsigned n = 0; n < 50; ++n) {
        EXPECT_EQ(received_[n].wParam, n);
        EXPECT_TRUE(received_[n].onUiThread);
    }
}

TEST_F(BridgeTest, MessagesForGoneWindowsAreDropped) {
    EXPECT_FALSE(PostWindowMessage(kPosViewWindow, WM_USER_MAPNEWFIX));  // never registered

    // Queued, then the window goes before the UI thread gets to it.
    auto record = std::make_shared<int>(1);
    EXPECT_TRUE(PostWindowMessage({kMapViewWindow, WM_APP_MAPREAD, 1, 0, record}));
    frame_->Destroy();
    frame_ = nullptr;
    ProcessEventsFor(50ms);
    EXPECT_TRUE(received_.empty());
    EXPECT_EQ(record.use_count(), 1);  // the dropped message freed its data
    EXPECT_FALSE(SendWindowMessage(kMapViewWindow, WM_APP_MAPREAD).has_value());
}

TEST_F(BridgeTest, AMessageForAnEarlierWindowDoesNotReachItsSuccessor) {
    EXPECT_TRUE(PostWindowMessage(kMapViewWindow, WM_APP_MAPREAD, 1));
    registration_ = Register(*frame_, 41);  // same id, new registration
    EXPECT_TRUE(PostWindowMessage(kMapViewWindow, WM_APP_MAPREAD, 2));
    ProcessEventsFor(50ms);
    ASSERT_EQ(received_.size(), 1u);
    EXPECT_EQ(received_[0].wParam, 2u);
}

TEST_F(BridgeTest, SendReturnsTheHandlersResult) {
    EXPECT_EQ(SendWindowMessage(kMapViewWindow, WM_USER_MAPFIXCOMMIT), 40);  // UI thread: at once
    ASSERT_EQ(received_.size(), 1u);

    auto answer = std::async(std::launch::async,
                             [] { return SendWindowMessage(kMapViewWindow, WM_USER_MAPNEWFIX); });
    ASSERT_TRUE(
        ProcessEventsUntil([&] { return answer.wait_for(0s) == std::future_status::ready; }, 5s));
    EXPECT_EQ(answer.get(), 40);
    EXPECT_TRUE(received_.back().onUiThread);
}

TEST_F(BridgeTest, SendFromAWorkerGivesUpWhenTheProgramStops) {
    // The UI thread is busy (it runs no events) while the worker waits.
    auto answer = std::async(std::launch::async,
                             [] { return SendWindowMessage(kMapViewWindow, WM_USER_MAPNEWFIX); });
    EXPECT_EQ(answer.wait_for(50ms), std::future_status::timeout);
    SetProgramStopping(true);
    ASSERT_EQ(answer.wait_for(5s), std::future_status::ready);
    EXPECT_FALSE(answer.get().has_value());

    // Stopping: a worker's Send does not even queue.
    auto late = std::async(std::launch::async,
                           [] { return SendWindowMessage(kMapViewWindow, WM_USER_MAPNEWFIX); });
    EXPECT_FALSE(late.get().has_value());
    ProcessEventsFor(20ms);  // the abandoned first Send is still delivered
    EXPECT_EQ(received_.size(), 1u);
}

}  // namespace
}  // namespace platform::gui
