#include "frame/position_altitude_edit.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <mutex>
#include <sstream>

#include "nav/destination_queue.h"
#include "nav/task_file.h"
#include "nav/task_model.h"
#include "nav/tests/task_test_support.h"
#include "platform/utf.h"
#include "services/shared_locks.h"
#include "testing/scratch_folder.h"

namespace {

using frame::AltitudeSetResult;
using nav::testing::At;

std::string Contents(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// A task of three points whose middle one is the destination in queue slot 3.
class AltitudeEditTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const std::scoped_lock lock(core::TaskLock);
        nav::g_taskList.DeleteAll();
        nav::g_taskList.Append(nav::testing::MakeTask(
            {At(47.0, 8.0, L"HOME"), At(47.2, 8.4, L"RIDGE"), At(47.0, 8.8, L"LAKE")}));
        nav::g_waypointQueue = {};
        nav::g_waypointQueue.slots[3].record = At(47.2, 8.4, L"RIDGE");
        nav::g_waypointQueue.current = 3;
        nav::g_destinationValid = 1;
        path_ = folder_.Path() / "tasks.tsk";
        ASSERT_TRUE(nav::SaveTaskFile(platform::FromUtf8(path_.string()), nav::g_taskList));
    }
    void TearDown() override {
        const std::scoped_lock lock(core::TaskLock);
        nav::g_taskList.DeleteAll();
        nav::g_waypointQueue = {};
        nav::g_destinationValid = 0;
    }
    frame::TaskFileTarget File() const { return {platform::FromUtf8(path_.string())}; }
    float StoredRidgeAltitude() const {
        nav::CTaskList list;
        EXPECT_TRUE(nav::LoadTaskFile(File().path, list).opened);
        return list.empty() ? -1.0F : list[0].points[1]->altitude;
    }

    test_support::ScratchFolder folder_;
    std::filesystem::path path_;
};

TEST_F(AltitudeEditTest, TheSetCommandRewritesTheTaskFileInFeetAndMetres) {
    const auto target = frame::CaptureDestinationForEdit();
    ASSERT_TRUE(target.has_value());
    EXPECT_EQ(target->slot, 3);

    EXPECT_EQ(frame::SetEditedAltitude(*target, L" 1234", 0, File()), AltitudeSetResult::kStored);
    EXPECT_FLOAT_EQ(StoredRidgeAltitude(), 1234.0F);
    EXPECT_FLOAT_EQ(nav::g_waypointQueue.slots[3].record.altitude, 1234.0F);
    EXPECT_TRUE(nav::g_waypointQueue.slots[3].record.altitudeKnown);

    // Metres, typed in full-width digits.
    EXPECT_EQ(frame::SetEditedAltitude(*target, L"\xFF15\xFF10\xFF10m", 1, File()),
              AltitudeSetResult::kStored);
    EXPECT_NEAR(StoredRidgeAltitude(), 500.0F * 3.2808F, 0.5F);
    EXPECT_EQ(frame::AltitudeEditText(1640.4F, 1), L"500");
    EXPECT_EQ(frame::AltitudeEditText(1640.4F, 0), L"1640");
}

TEST_F(AltitudeEditTest, NothingIsWrittenWhenTheWaypointHasGoneOrTheTextIsNoNumber) {
    const auto target = frame::CaptureDestinationForEdit();
    ASSERT_TRUE(target.has_value());
    const std::string before = Contents(path_);

    EXPECT_EQ(frame::SetEditedAltitude(*target, L"high", 0, File()), AltitudeSetResult::kNotANumber);
    {
        // The queue moved on while the edit was open.
        const std::scoped_lock lock(core::TaskLock);
        nav::g_waypointQueue.slots[3].record = At(47.5, 9.0, L"OTHER");
    }
    EXPECT_EQ(frame::SetEditedAltitude(*target, L"900", 0, File()), AltitudeSetResult::kWaypointGone);
    EXPECT_EQ(Contents(path_), before);
    EXPECT_NE(nav::g_taskList[0].points[1]->altitude, 900.0F);
}

TEST_F(AltitudeEditTest, AListWhoseReadStoppedAtABrokenTaskIsNotWrittenBack) {
    const auto target = frame::CaptureDestinationForEdit();
    ASSERT_TRUE(target.has_value());
    const std::string before = Contents(path_);
    {
        const std::scoped_lock lock(core::TaskLock);
        nav::g_taskList.SetUnreadText(L"[broken\r\n");
    }
    EXPECT_EQ(frame::SetEditedAltitude(*target, L"700", 0, File()), AltitudeSetResult::kTaskFileKept);
    EXPECT_EQ(Contents(path_), before);
}

TEST(AltitudeEditText, ParsesWhatScanfWouldRead) {
    EXPECT_FLOAT_EQ(*frame::ParseAltitudeEdit(L"  250.5ft", 0), 250.5F);
    EXPECT_FALSE(frame::ParseAltitudeEdit(L"", 0).has_value());
    EXPECT_FALSE(frame::ParseAltitudeEdit(L"ft 250", 0).has_value());
    EXPECT_FALSE(frame::ParseAltitudeEdit(L"nan", 0).has_value());
    EXPECT_FALSE(frame::ParseAltitudeEdit(L"1e30", 0).has_value());
}

}  // namespace
