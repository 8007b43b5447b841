#pragma once
// What the task editor does without its window: the points of the edited
// task (g_defaultTask) in list order, adding, deleting and moving points,
// the extra start and finish points, storing the task in the task list and
// stepping through the stored tasks, numbering the points for the zone
// dialogs, and the task list file that keeps the last task between runs.
//
// Every change of the edited task is made under core::TaskLock (the task may
// be the one being flown when activation adopted it). UI thread.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "nav/task_model.h"

namespace nav {

// The file that keeps the last task, and where it is looked for first.
inline constexpr std::wstring_view kTaskListFileName = L"^KOR_VN#^.STK";
inline constexpr std::wstring_view kProgramDocumentsFolder = L"KOR_VAN WinCE/";

// The extra-start (1183) and extra-finish (1184) boxes as the pilot left
// them, kept between dialogs.
inline int g_taskExtraStartCheck = 0;
inline int g_taskExtraFinishCheck = 0;

// "Task " and the letter after the last stored task ('A' with none).
std::wstring SuggestedTaskName(std::size_t storedTasks);

// Where the task is saved: `documents` + "KOR_VAN WinCE/" + the name, then
// `documents` + the name, then the name alone.
std::vector<std::wstring> TaskListFileCandidates(std::wstring_view documents);

struct TaskSaveResult {
    bool saved = false;
    std::wstring path;  // the file written, or the last one tried
};

// Writes the task alone to the first candidate that takes it (through
// SaveTaskFile, which replaces a file only once the new one is complete)
// and stores that path in "Settings" "TaskFileName". When none takes it,
// the pilot is told, naming the last path tried.
TaskSaveResult SaveTaskToFile(const CTask& task, std::wstring_view documents);

// The text of one task-list item: the value column (see TaskLegValue) is
// drawn apart from the name.
struct TaskLegValue {
    std::wstring text;  // empty: no value
    bool wide = false;  // 1000 or more: the columns widen
};
// Item i of a task's point list: none for an extra start point, the total
// with '*' for the finish, the leg for the points before it ("--- " for a
// leg that is not counted or lies beyond the leg table), none after it.
// distanceFactor: the distance unit per km.
TaskLegValue TaskLegValueText(const CTask& task, int item, float distanceFactor);

class TaskEditor {
  public:
    // Edits `task` (the program's g_defaultTask), storing into `list`.
    TaskEditor(CTask& task, CTaskList& list);

    CTask& Task() const { return task_; }
    int Count() const { return task_.PointCount(); }
    std::vector<std::wstring> ItemNames() const;

    // The "include points that are not counted" option (1185) given to
    // every leg computation, and whether the box may be changed (only while
    // the task has a point that is not counted).
    int includeUncounted = 1;
    bool HasUncountedPoint() const;
    void SetIncludeUncounted(int on);

    // Puts a point made from the record after the selected item (at the top
    // with none selected); the new item's index.
    int AddPoint(int selected, const WaypointRecord& record, bool notCounted);
    // False for an index out of range.
    bool DeletePoint(int index);
    // Moves the point at `from` to `to`, the points between shifting by
    // one; the moved point's new index, or -1.
    int MovePoint(int from, int to);
    // The extra start and finish boxes; finish only with start.
    void SetExtraPoints(int start, int finish);
    int ExtraStart() const { return task_.extraStart; }
    int ExtraFinish() const { return task_.extraFinish; }

    // Storing under a name (trimmed; empty gives "Task A"): refused when the
    // list holds the name already.
    enum class StoreResult { kStored, kDuplicateName, kTooFewPoints, kEmpty };
    StoreResult CheckStore(std::wstring_view name) const;
    // Appends a copy of the task named `name` when it has at least 2
    // points; it becomes the editor's current stored task.
    StoreResult Store(std::wstring_view name);
    std::wstring SuggestedName() const { return SuggestedTaskName(list_.size()); }

    // Loads the stored task `delta` steps from the current one (wrapping).
    // False when the list is empty.
    bool Step(int delta);
    CTask* CurrentStored() const { return current_; }
    std::wstring_view Name() const { return name_; }

    // Numbers the points for the zone dialogs: each point's leg number is
    // its index counted from the first counted point; an extra start point
    // has -1 in both halves of its ordinal, an extra finish point leg -2.
    void NumberPoints();

    // Reads the first task of the task list file into the task (its points
    // deleted first); false when the file cannot be opened or holds none.
    bool LoadLastTask(const std::wstring& path);

    // Recomputes the legs with the option.
    void Recompute();

  private:
    void UpdateOptionAfterLoad();

    CTask& task_;
    CTaskList& list_;
    CTask* current_ = nullptr;  // the stored task last loaded or stored
    std::ptrdiff_t currentIndex_ = -1;
    std::wstring name_;
};

}  // namespace nav
