// The task editor without its window: points, stored tasks, numbering, the
// value column of the point list and the task list file.
#include "nav/task_editor.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "nav/task_file.h"
#include "nav/tests/task_test_support.h"
#include "platform/message_box.h"
#include "platform/settings_store.h"
#include "platform/utf.h"
#include "testing/scratch_folder.h"

namespace nav {
namespace {

using testing::At;
using testing::Offset;

const WaypointRecord kHome = At(47.0, 8.0, L"Home");

class TaskEditorTest : public ::testing::Test {
  protected:
    TaskEditorTest() {
        for (const wchar_t* name : {L"A", L"B", L"C", L"D"}) {
            WaypointRecord r = Offset(kHome, 30.0 * static_cast<double>(editor_.Count()), 20.0);
            r.name.Assign(name);
            editor_.AddPoint(editor_.Count() - 1, r, false);
        }
    }
    std::vector<std::wstring> Names() const { return editor_.ItemNames(); }

    CTask task_;
    CTaskList list_;
    TaskEditor editor_{task_, list_};
};

TEST_F(TaskEditorTest, AddDeleteAndMoveKeepTheListAndTheLegsInStep) {
    EXPECT_EQ(Names(), (std::vector<std::wstring>{L"A", L"B", L"C", L"D"}));
    EXPECT_GT(task_.totalDistance, 0.0F);
    EXPECT_EQ(editor_.AddPoint(-1, kHome, false), 0);  // nothing selected: at the top
    EXPECT_EQ(Names().front(), L"Home");
    EXPECT_TRUE(editor_.DeletePoint(0));
    EXPECT_EQ(editor_.AddPoint(1, kHome, true), 2);  // after the selected point
    EXPECT_TRUE(editor_.HasUncountedPoint());
    EXPECT_EQ(task_.points[2]->pointKind, kKindTurnpoint | kKindNotCountedBit);
    EXPECT_TRUE(editor_.DeletePoint(2));
    EXPECT_FALSE(editor_.DeletePoint(4));
    EXPECT_FALSE(editor_.HasUncountedPoint());

    const float before = task_.totalDistance;
    EXPECT_EQ(editor_.MovePoint(0, 2), 2);
    EXPECT_EQ(Names(), (std::vector<std::wstring>{L"B", L"C", L"A", L"D"}));
    EXPECT_NE(task_.totalDistance, before);
    EXPECT_EQ(editor_.MovePoint(3, 0), 0);
    EXPECT_EQ(Names(), (std::vector<std::wstring>{L"D", L"B", L"C", L"A"}));
    EXPECT_EQ(editor_.MovePoint(0, 9), -1);
}

TEST_F(TaskEditorTest, StoringNamesTasksAndRefusesDuplicates) {
    EXPECT_EQ(SuggestedTaskName(3), L"Task D");
    EXPECT_EQ(editor_.SuggestedName(), L"Task A");
    EXPECT_EQ(editor_.Store(L"  "), TaskEditor::StoreResult::kStored);  // blank: "Task A"
    EXPECT_EQ(list_[0].name, L"Task A");
    EXPECT_EQ(list_[0].ownedCopy, 0);
    EXPECT_EQ(editor_.SuggestedName(), L"Task B");
    EXPECT_EQ(editor_.CheckStore(L" Task A "), TaskEditor::StoreResult::kDuplicateName);
    EXPECT_EQ(editor_.Store(L"Task A"), TaskEditor::StoreResult::kDuplicateName);
    EXPECT_EQ(list_.size(), 1U);

    editor_.DeletePoint(0);
    editor_.DeletePoint(0);
    editor_.DeletePoint(0);
    EXPECT_EQ(editor_.Store(L"Short"), TaskEditor::StoreResult::kTooFewPoints);
    EXPECT_EQ(list_.size(), 1U);
}

TEST_F(TaskEditorTest, SteppingLoadsTheStoredTasksInTurn) {
    editor_.Store(L"Four");
    editor_.DeletePoint(3);
    editor_.Store(L"Three");
    EXPECT_TRUE(editor_.Step(1));  // from the last stored, wrapping
    EXPECT_EQ(editor_.Name(), L"Four");
    EXPECT_EQ(editor_.Count(), 4);
    EXPECT_EQ(task_.ownedCopy, 1);
    EXPECT_TRUE(editor_.Step(-1));
    EXPECT_EQ(editor_.Name(), L"Three");
    EXPECT_EQ(editor_.Count(), 3);
    CTaskList none;
    TaskEditor empty(task_, none);
    EXPECT_FALSE(empty.Step(1));
}

TEST_F(TaskEditorTest, NumbersThePointsForTheZoneDialogs) {
    editor_.SetExtraPoints(0, 1);  // finish only with start
    EXPECT_EQ(editor_.ExtraFinish(), 0);
    editor_.SetExtraPoints(1, 1);
    editor_.NumberPoints();
    EXPECT_EQ(task_.points[0]->ordinal, -1);
    EXPECT_EQ(OrdinalNumber(task_.points[1]->ordinal), 0);
    EXPECT_EQ(OrdinalNumber(task_.points[2]->ordinal), 1);
    EXPECT_EQ(OrdinalNumber(task_.points[3]->ordinal), kExtraFinishNumber);
    EXPECT_EQ(OrdinalSlot(task_.points[1]->ordinal), kNoQueueSlot);
}

TEST(TaskLegValueTest, ShowsLegsTheTotalAndNothingOutsideTheCountedPoints) {
    CTask task;
    for (int i = 0; i < 5; ++i)
        task.AddPoint(std::make_unique<CTaskPoint>(kHome));
    task.extraStart = 1;
    task.extraFinish = 1;
    task.legs[0] = 12.34F;
    task.legs[1] = kUncountedLeg;
    task.totalDistance = 1234.0F;
    const std::vector<std::wstring> expected{L"", L"12.3 ", L"--- ", L"1234.0*", L""};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(TaskLegValueText(task, i, 1.0F).text, expected[static_cast<std::size_t>(i)]) << i;
    EXPECT_TRUE(TaskLegValueText(task, 3, 1.0F).wide);
    EXPECT_FALSE(TaskLegValueText(task, 1, 1.0F).wide);
    EXPECT_EQ(TaskLegValueText(task, 1, 0.5F).text, L"6.2 ");

    // Past the leg table: no read beyond it.
    CTask long_task;
    for (int i = 0; i < kLegTableSize + 3; ++i)
        long_task.AddPoint(std::make_unique<CTaskPoint>(kHome));
    EXPECT_EQ(TaskLegValueText(long_task, kLegTableSize + 1, 1.0F).text, L"--- ");
}

class TaskListFileTest : public ::testing::Test {
  protected:
    TaskListFileTest() {
        platform::SetAppSettings(
            std::make_unique<platform::SettingsStore>(std::filesystem::path()));
    }
    ~TaskListFileTest() override { platform::SetAppSettings(nullptr); }

    static std::wstring Wide(const std::filesystem::path& p) {
        return platform::FromUtf8(p.string());
    }

    test_support::ScratchFolder folder_{"kv-task-list"};
    platform::ScopedRecordingSink boxes_;
};

TEST_F(TaskListFileTest, SavesToTheProgramFolderFirstThenTheDocumentsFolder) {
    const std::wstring documents = Wide(folder_.Path()) + L"/";
    EXPECT_EQ(TaskListFileCandidates(documents)[0], documents + L"KOR_VAN WinCE/^KOR_VN#^.STK");

    auto task = testing::MakeTask({kHome, Offset(kHome, 90.0, 40.0)}, L"Saved");
    // No program folder: the documents folder takes it.
    TaskSaveResult saved = SaveTaskToFile(*task, documents);
    EXPECT_TRUE(saved.saved);
    EXPECT_EQ(saved.path, documents + L"^KOR_VN#^.STK");
    EXPECT_EQ(platform::AppSettings().GetString("Settings", "TaskFileName", std::wstring_view()),
              saved.path);

    std::filesystem::create_directory(folder_ / "KOR_VAN WinCE");
    saved = SaveTaskToFile(*task, documents);
    EXPECT_EQ(saved.path, TaskListFileCandidates(documents)[0]);

    // And it reads back as the last task.
    CTask loaded;
    CTaskList list;
    TaskEditor editor(loaded, list);
    ASSERT_TRUE(editor.LoadLastTask(saved.path));
    EXPECT_EQ(loaded.name, L"Saved");
    EXPECT_EQ(loaded.PointCount(), 2);
    EXPECT_TRUE(boxes_->Boxes().empty());
}

TEST_F(TaskListFileTest, AFailedSaveIsReportedNamingTheLastPath) {
    // No documents folder, and in the working folder a folder in the way of
    // the name alone.
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::create_directory(folder_ / "^KOR_VN#^.STK");
    std::filesystem::current_path(folder_.Path());
    auto task = testing::MakeTask({kHome, Offset(kHome, 90.0, 40.0)});
    const TaskSaveResult result = SaveTaskToFile(*task, Wide(folder_ / "missing"));
    std::filesystem::current_path(before);

    EXPECT_FALSE(result.saved);
    EXPECT_EQ(result.path, L"^KOR_VN#^.STK");
    const auto boxes = boxes_->Boxes();
    ASSERT_FALSE(boxes.empty());
    EXPECT_NE(boxes.back().text.find(L"^KOR_VN#^.STK"), std::wstring::npos);
    EXPECT_EQ(platform::AppSettings().GetString("Settings", "TaskFileName", std::wstring_view()),
              L"");
}

TEST_F(TaskListFileTest, AMissingFileLeavesAnEmptyTask) {
    CTask task;
    CTaskList list;
    TaskEditor editor(task, list);
    task.AddPoint(std::make_unique<CTaskPoint>(kHome));
    EXPECT_FALSE(editor.LoadLastTask(Wide(folder_ / "none.stk")));
    EXPECT_EQ(task.PointCount(), 0);
}

}  // namespace
}  // namespace nav
