#include "platform/message_box.h"

#include <gtest/gtest.h>

#include <thread>

namespace platform {
namespace {

TEST(MessageBox, RecordingSinkRecordsAndAnswersInOrder) {
    ScopedRecordingSink sink;
    SetDefaultCaption(L"KOR_VAN WinCE");
    sink->QueueAnswer(kIdNo);

    EXPECT_EQ(ShowMessageBox(nullptr, L"Go on?", L"", mb::kYesNo | mb::kIconQuestion), kIdNo);
    // The queue is empty now: a question defaults to Yes, anything else to OK.
    EXPECT_EQ(ShowMessageBox(nullptr, L"Again?", L"Alert", mb::kYesNo), kIdYes);
    EXPECT_EQ(ShowMessageBox(nullptr, L"Done", L"Alert", mb::kOk), kIdOk);

    const auto boxes = sink->Boxes();
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_EQ(boxes[0].caption, L"KOR_VAN WinCE");
    EXPECT_EQ(boxes[0].text, L"Go on?");
    EXPECT_EQ(boxes[1].caption, L"Alert");
}

TEST(MessageBox, BoxesFromWorkerThreadsAreAllRecorded) {
    ScopedRecordingSink sink;
    std::vector<std::jthread> workers;
    for (int i = 0; i < 4; ++i)
        workers.emplace_back([] {
            for (int n = 0; n < 50; ++n)
                ShowMessageBox(nullptr, L"x", L"c", mb::kOk);
        });
    workers.clear();
    EXPECT_EQ(sink->Boxes().size(), 200u);
}

TEST(MessageBox, WithoutSinkTheDefaultAnswerIsReturned) {
    const auto previous = SetMessageBoxSink(nullptr);
    EXPECT_EQ(ShowMessageBox(nullptr, L"no window here", L"Test", mb::kYesNo), kIdYes);
    SetMessageBoxSink(previous);
}

TEST(MessageBox, BoxesRaisedBeforeTheSinkStandsAreShownWhenReleased) {
    const auto previous = SetMessageBoxSink(nullptr);
    ShowMessageBox(nullptr, L"not held", L"Test", mb::kOk);
    HoldMessageBoxes();
    EXPECT_EQ(ShowMessageBox(nullptr, L"first", L"Early", mb::kIconHand), kIdOk);
    EXPECT_EQ(ShowMessageBox(nullptr, L"second", L"", mb::kYesNo), kIdYes);
    {
        const ScopedRecordingSink sink;
        ReleaseHeldMessageBoxes();
        const auto boxes = sink->Boxes();
        ASSERT_EQ(boxes.size(), 2u);
        EXPECT_EQ(boxes[0].text, L"first");
        EXPECT_EQ(boxes[0].caption, L"Early");
        EXPECT_EQ(boxes[0].style, mb::kIconHand);
        EXPECT_EQ(boxes[1].text, L"second");
        ReleaseHeldMessageBoxes();  // nothing more
        EXPECT_EQ(sink->Boxes().size(), 2u);
    }
    ShowMessageBox(nullptr, L"after the release", L"Test", mb::kOk);  // not held any more
    const ScopedRecordingSink sink;
    ReleaseHeldMessageBoxes();
    EXPECT_TRUE(sink->Boxes().empty());
    SetMessageBoxSink(previous);
}

}  // namespace
}  // namespace platform
