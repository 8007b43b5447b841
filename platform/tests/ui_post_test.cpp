#include "platform/ui_post.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <thread>
#include <vector>

namespace platform {
namespace {

using Record = RecordingUiPostBackend::Record;

// Clears the stopping flag again however a test ends.
struct StoppingGuard {
    ~StoppingGuard() { SetProgramStopping(false); }
};

TEST(UiPost, WithoutBackendMessagesAreDroppedAndPayloadsFreed) {
    const auto previous = SetUiPostBackend(nullptr);
    auto record = std::make_shared<int>(42);
    EXPECT_FALSE(PostWindowMessage({kMainFrameWindow, WM_APP_WINDESTIMATE, 0, 0, record}));
    EXPECT_EQ(record.use_count(), 1);
    EXPECT_FALSE(SendWindowMessage(kMapViewWindow, WM_USER_MAPNEWFIX).has_value());
    SetUiPostBackend(previous);
}

TEST(UiPost, RecordingBackendKeepsOrderRepliesAndGoneWindows) {
    ScopedRecordingUiPost ui;
    ui->SetReply(WM_USER_MAPNEWFIX, 7);
    ui->SetWindowGone(kPosViewWindow);

    EXPECT_TRUE(PostWindowMessage(kMainFrameWindow, WM_COMMAND, 32811));
    EXPECT_EQ(SendWindowMessage(kMapViewWindow, WM_USER_MAPNEWFIX), 7);
    EXPECT_EQ(SendWindowMessage(kMapViewWindow, WM_USER_MAPFIXCOMMIT), 0);
    EXPECT_FALSE(PostWindowMessage(kPosViewWindow, WM_USER_MAPNEWFIX));
    EXPECT_FALSE(SendWindowMessage(kPosViewWindow, WM_USER_MAPNEWFIX).has_value());

    const std::vector<Record> expected{
        {kMainFrameWindow, WM_COMMAND, 32811, 0, false},
        {kMapViewWindow, WM_USER_MAPNEWFIX, 0, 0, true},
        {kMapViewWindow, WM_USER_MAPFIXCOMMIT, 0, 0, true},
        {kPosViewWindow, WM_USER_MAPNEWFIX, 0, 0, false},
        {kPosViewWindow, WM_USER_MAPNEWFIX, 0, 0, true},
    };
    EXPECT_EQ(ui->Records(), expected);
}

TEST(UiPost, PostsFromManyThreadsAreAllRecorded) {
    ScopedRecordingUiPost ui;
    {
        std::vector<std::jthread> workers;
        for (int t = 0; t < 4; ++t)
            workers.emplace_back([t] {
                for (int n = 0; n < 100; ++n)
                    PostWindowMessage(kMainFrameWindow, WM_APP_LOGWRITEERROR, 0, t * 1000 + n);
            });
    }
    EXPECT_EQ(ui->Records().size(), 400u);
}

TEST(PendingReply, CompletedFromAnotherThreadReleasesTheWaiter) {
    auto reply = std::make_shared<PendingReply>();
    auto waiter = std::async(std::launch::async, [reply] { return reply->Wait(); });
    std::jthread ui([reply] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        reply->Complete(5);
        reply->Complete(6);  // too late: the first answer stands
    });
    EXPECT_EQ(waiter.get(), 5);

    PendingReply abandoned;
    abandoned.Abandon();
    abandoned.Complete(1);
    EXPECT_FALSE(abandoned.Wait().has_value());
}

TEST(PendingReply, StoppingReleasesWaitersAndLaterWaitsReturnAtOnce) {
    StoppingGuard guard;
    auto reply = std::make_shared<PendingReply>();
    auto waiter = std::async(std::launch::async, [reply] { return reply->Wait(); });
    EXPECT_EQ(waiter.wait_for(std::chrono::milliseconds(50)), std::future_status::timeout);

    SetProgramStopping(true);
    EXPECT_TRUE(ProgramStopping());
    ASSERT_EQ(waiter.wait_for(std::chrono::seconds(10)), std::future_status::ready);
    EXPECT_FALSE(waiter.get().has_value());
    EXPECT_FALSE(PendingReply{}.Wait().has_value());

    // An answer that came before still counts.
    PendingReply answered;
    answered.Complete(3);
    EXPECT_EQ(answered.Wait(), 3);
}

}  // namespace
}  // namespace platform
