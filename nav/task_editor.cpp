#include "nav/task_editor.h"

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <utility>

#include "nav/task_file.h"
#include "platform/critical_section.h"
#include "platform/message_box.h"
#include "platform/numbers.h"
#include "platform/settings_store.h"
#include "platform/utf.h"
#include "resources/ids/strings_recorder.h"
#include "resources/ids/strings_task_dialogs.h"
#include "services/shared_locks.h"
#include "services/string_resources.h"

namespace nav {
namespace {

using ids::kIdsTaskCaption;
using ids::kIdsTaskSaveFailed;

std::wstring_view TrimEditorText(std::wstring_view text) {
    const auto first = text.find_first_not_of(L" \t");
    if (first == std::wstring_view::npos) return {};
    const auto last = text.find_last_not_of(L" \t");
    return text.substr(first, last - first + 1);
}

// A folder the file could be created in (the file name may carry none).
bool FolderTakesFiles(const std::wstring& path) {
    std::filesystem::path folder = std::filesystem::path(platform::ToUtf8(path)).parent_path();
    if (folder.empty()) folder = ".";
    return ::access(folder.c_str(), W_OK | X_OK) == 0;
}

}  // namespace

std::wstring SuggestedTaskName(std::size_t storedTasks) {
    return L"Task " + std::wstring(1, static_cast<wchar_t>(L'A' + storedTasks));
}

std::vector<std::wstring> TaskListFileCandidates(std::wstring_view documents) {
    const std::wstring name(kTaskListFileName);
    std::wstring folder(documents);
    if (!folder.empty() && folder.back() != L'/') folder += L'/';
    return {folder + std::wstring(kProgramDocumentsFolder) + name, folder + name, name};
}

TaskSaveResult SaveTaskToFile(const CTask& task, std::wstring_view documents) {
    CTaskList single;
    single.Append(std::make_unique<CTask>(task));
    TaskSaveResult result;
    for (const std::wstring& path : TaskListFileCandidates(documents)) {
        result.path = path;
        // A folder that is missing or closed is passed over without a box.
        if (!FolderTakesFiles(path)) continue;
        if (SaveTaskFile(path, single)) {
            result.saved = true;
            platform::AppSettings().WriteString("Settings", "TaskFileName", path);
            return result;
        }
    }
    std::wstring text = core::LoadResourceString(kIdsTaskSaveFailed);
    if (text.empty()) text = L"The task could not be saved.";
    platform::ShowMessageBox(nullptr, text + L"\n" + result.path,
                             core::LoadResourceString(kIdsTaskCaption),
                             platform::mb::kOk | platform::mb::kIconHand | platform::mb::kTopmost);
    return result;
}

TaskLegValue TaskLegValueText(const CTask& task, int item, float distanceFactor) {
    const int k = item - (task.extraStart != 0 ? 1 : 0);
    const int last = task.PointCount() - 1 - (task.extraFinish != 0 ? 1 : 0);
    if (k < 0 || item > last || item < 0) return {};
    float value = 0.0F;
    std::wstring text;
    if (item == last) {
        value = task.totalDistance * distanceFactor;
        text = platform::FormatC(L"%.1f*", static_cast<double>(value));
    } else if (k >= kLegTableSize || task.legs[static_cast<std::size_t>(k)] < 0.0F) {
        return {L"--- ", false};
    } else {
        value = task.legs[static_cast<std::size_t>(k)] * distanceFactor;
        text = platform::FormatC(L"%.1f ", static_cast<double>(value));
    }
    return {std::move(text), value >= 1000.0F};
}

TaskEditor::TaskEditor(CTask& task, CTaskList& list) : task_(task), list_(list) {}

std::vector<std::wstring> TaskEditor::ItemNames() const {
    const platform::CriticalSectionLock lock(core::TaskLock);
    std::vector<std::wstring> names;
    for (const auto& point : task_.points)
        names.push_back(point->name);
    return names;
}

bool TaskEditor::HasUncountedPoint() const {
    const platform::CriticalSectionLock lock(core::TaskLock);
    return std::any_of(task_.points.begin(), task_.points.end(),
                       [](const auto& point) { return point->notCounted != 0; });
}

void TaskEditor::SetIncludeUncounted(int on) {
    includeUncounted = on != 0 ? 1 : 0;
    Recompute();
}

void TaskEditor::Recompute() {
    ComputeTaskLegs(task_, includeUncounted != 0, false, false);
}

int TaskEditor::AddPoint(int selected, const WaypointRecord& record, bool notCounted) {
    auto point = std::make_unique<CTaskPoint>(record);
    point->working = point->target;
    if (notCounted) {
        point->notCounted = 1;
        point->pointKind = kKindTurnpoint | kKindNotCountedBit;
    }
    int index = 0;
    {
        const platform::CriticalSectionLock lock(core::TaskLock);
        index = selected >= 0 && selected < Count() ? selected + 1 : 0;
        task_.points.insert(task_.points.begin() + index, std::move(point));
    }
    Recompute();
    return index;
}

bool TaskEditor::DeletePoint(int index) {
    {
        const platform::CriticalSectionLock lock(core::TaskLock);
        if (index < 0 || index >= Count()) return false;
        task_.points.erase(task_.points.begin() + index);
        task_.triangle = 0;
        task_.corners = {};
    }
    Recompute();
    return true;
}

int TaskEditor::MovePoint(int from, int to) {
    {
        const platform::CriticalSectionLock lock(core::TaskLock);
        if (from < 0 || from >= Count() || to < 0 || to >= Count()) return -1;
        auto first = task_.points.begin();
        if (from < to) {
            std::rotate(first + from, first + from + 1, first + to + 1);
        } else {
            std::rotate(first + to, first + from, first + from + 1);
        }
    }
    Recompute();
    return to;
}

void TaskEditor::SetExtraPoints(int start, int finish) {
    {
        const platform::CriticalSectionLock lock(core::TaskLock);
        task_.extraStart = start != 0 ? 1 : 0;
        task_.extraFinish = start != 0 && finish != 0 ? 1 : 0;
    }
    Recompute();
}

TaskEditor::StoreResult TaskEditor::CheckStore(std::wstring_view name) const {
    if (Count() == 0) return StoreResult::kEmpty;
    std::wstring trimmed(TrimEditorText(name));
    if (trimmed.empty()) trimmed = L"Task A";
    if (list_.FindByName(trimmed) != nullptr) return StoreResult::kDuplicateName;
    return StoreResult::kStored;
}

TaskEditor::StoreResult TaskEditor::Store(std::wstring_view name) {
    const StoreResult check = CheckStore(name);
    if (check != StoreResult::kStored) return check;
    std::wstring trimmed(TrimEditorText(name));
    if (trimmed.empty()) trimmed = L"Task A";
    std::unique_ptr<CTask> stored;
    {
        const platform::CriticalSectionLock lock(core::TaskLock);
        if (task_.PointCount() < 2) return StoreResult::kTooFewPoints;
        stored = std::make_unique<CTask>(task_);
    }
    stored->name = trimmed;
    stored->ownedCopy = 0;
    current_ = stored.get();
    list_.Append(std::move(stored));
    currentIndex_ = static_cast<std::ptrdiff_t>(list_.size()) - 1;
    name_ = trimmed;
    return StoreResult::kStored;
}

bool TaskEditor::Step(int delta) {
    if (list_.empty()) return false;
    const auto count = static_cast<std::ptrdiff_t>(list_.size());
    std::ptrdiff_t index = currentIndex_ < 0 ? (delta >= 0 ? -1 : 0) : currentIndex_;
    index = ((index + delta) % count + count) % count;
    CTask& stored = list_[static_cast<std::size_t>(index)];
    {
        const platform::CriticalSectionLock lock(core::TaskLock);
        task_ = stored;
        task_.ownedCopy = 1;  // the editor's task is never flown itself
    }
    currentIndex_ = index;
    current_ = &stored;
    name_ = stored.name;
    UpdateOptionAfterLoad();
    return true;
}

void TaskEditor::NumberPoints() {
    const platform::CriticalSectionLock lock(core::TaskLock);
    const int first = task_.extraStart != 0 ? 1 : 0;
    for (int i = 0; i < Count(); ++i) {
        CTaskPoint& point = *task_.points[static_cast<std::size_t>(i)];
        if (task_.extraStart != 0 && i == 0) {
            point.ordinal = MakeOrdinal(kExtraStartNumber, kNoQueueSlot);  // -1 in both halves
        } else if (task_.extraFinish != 0 && i == Count() - 1) {
            point.ordinal = MakeOrdinal(kExtraFinishNumber, kNoQueueSlot);
        } else {
            point.ordinal = MakeOrdinal(i - first, kNoQueueSlot);
        }
    }
}

bool TaskEditor::LoadLastTask(const std::wstring& path) {
    {
        const platform::CriticalSectionLock lock(core::TaskLock);
        task_.DeletePoints();
    }
    current_ = nullptr;
    currentIndex_ = -1;
    CTaskFile file;
    bool read = false;
    if (!path.empty() && file.Open(path, core::OpenMode::kRead, /*quiet=*/true)) {
        CTask loaded;
        if (file.ReadTask(loaded) == 0) {
            const platform::CriticalSectionLock lock(core::TaskLock);
            task_ = loaded;
            task_.ownedCopy = 1;
            read = true;
        }
        file.Close();
    }
    name_.clear();
    UpdateOptionAfterLoad();
    return read;
}

// A task with points that are not counted starts with the option off (so
// its legs skip them), any other with it on and the box unchangeable.
void TaskEditor::UpdateOptionAfterLoad() {
    includeUncounted = HasUncountedPoint() ? 0 : 1;
    Recompute();
}

}  // namespace nav
