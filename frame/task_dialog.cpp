#include "frame/task_dialog.h"

#include <wx/sizer.h>
#include <wx/spinbutt.h>
#include <wx/xrc/xmlres.h>

#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "core/settings_values.h"
#include "frame/dialog_controls.h"
#include "frame/main_frame.h"
#include "frame/new_waypoint_dialog.h"
#include "frame/task_limits_dialog.h"
#include "frame/task_point_dialog.h"
#include "glide/settings_values.h"
#include "nav/current_position.h"
#include "nav/destination_queue.h"
#include "nav/reachable_list.h"
#include "nav/waypoint_entry.h"
#include "nav/waypoint_file_open.h"
#include "nav/waypoint_list.h"
#include "nav/waypoint_loader.h"
#include "platform/critical_section.h"
#include "platform/gui/screen_fit.h"
#include "platform/message_box.h"
#include "platform/settings_store.h"
#include "recorder/logger_library.h"
#include "resources/ids/strings_recorder.h"
#include "resources/ids/strings_task_dialogs.h"
#include "resources/ids/task_dialog.h"
#include "services/flight_log.h"
#include "services/module_services.h"
#include "services/shared_locks.h"
#include "services/string_resources.h"

namespace frame {
namespace {

// Controls.
using xrc::task_dialog::kAddOrEdit;
using xrc::task_dialog::kDeclare;
using xrc::task_dialog::kDelete;
using xrc::task_dialog::kExtraFinish;
using xrc::task_dialog::kExtraStart;
using xrc::task_dialog::kInfoText;
using xrc::task_dialog::kNewOrOk;
using xrc::task_dialog::kNotCounted;
using xrc::task_dialog::kOkOrRevert;
using xrc::task_dialog::kPlaceholder;
using xrc::task_dialog::kStep;
using xrc::task_dialog::kStore;
using xrc::task_dialog::kTaskLandscapeTemplate;
using xrc::task_dialog::kTaskName;
using xrc::task_dialog::kTaskPortraitTemplate;
constexpr int kWaypointListId = 293;
constexpr int kReachableListId = 294;
constexpr int kPointListId = 172;

constexpr int kTimerMs = 6000;
constexpr int kEditorOnly[] = {kStep,        kStore,  kTaskName, kExtraStart,
                               kExtraFinish, kDelete, kDeclare};

std::mutex g_writerMutex;
TaskDeclarationWriter g_declarationWriter;

void WriteTaskDeclaration(const nav::CTask& task) {
    TaskDeclarationWriter writer;
    {
        const std::lock_guard lock(g_writerMutex);
        writer = g_declarationWriter;
    }
    if (writer) writer(task);
}

int Box(wxWindow* owner, unsigned textId, unsigned captionId, unsigned icon) {
    return platform::ShowMessageBox(owner, core::LoadResourceString(textId),
                                    core::LoadResourceString(captionId),
                                    platform::mb::kOk | icon | platform::mb::kTopmost);
}

bool IgcLogOpen() {
    const platform::CriticalSectionLock lock(core::LogFileLock);
    return core::g_logFormat.load() == 1 && core::g_hFlightLog.IsOpen();
}

bool CanDeclare() {
    return IgcLogOpen() || recorder::g_bLoggerLibraryBound.load() != 0;
}

nav::WaypointRecord CurrentPosition() {
    const platform::CriticalSectionLock lock(core::MapLock);
    return nav::g_mapFix;
}

std::wstring TaskListPath() {
    return platform::AppSettings().GetString("Settings", "TaskFileName",
                                             std::wstring_view(nav::kTaskListFileName));
}

void SetLabelFromString(wxWindow& dialog, int id, unsigned stringId) {
    const std::wstring text = core::LoadResourceString(stringId);
    if (!text.empty()) SetControlText(dialog, id, text);
}

}  // namespace

void SetTaskDeclarationWriter(TaskDeclarationWriter writer) {
    const std::lock_guard lock(g_writerMutex);
    g_declarationWriter = std::move(writer);
}

CTaskDialog::CTaskDialog(wxWindow* parent, TaskDialogOptions options)
    : options_(options), timer_(this) {
    const int name = g_bPortrait != 0 ? kTaskPortraitTemplate : kTaskLandscapeTemplate;
    loaded_ = wxXmlResource::Get()->LoadDialog(this, parent, std::to_string(name));
    if (!loaded_) return;
    Bind(wxEVT_INIT_DIALOG, &CTaskDialog::OnInitDialog, this);
    Bind(wxEVT_CHAR_HOOK, &CTaskDialog::OnCharHook, this);
    Bind(wxEVT_BUTTON, &CTaskDialog::OnOkButton, this, kOkOrRevert);
    Bind(wxEVT_BUTTON, &CTaskDialog::OnNewOrOk, this, kNewOrOk);
    Bind(wxEVT_BUTTON, &CTaskDialog::OnAddOrEdit, this, kAddOrEdit);
    Bind(wxEVT_BUTTON, &CTaskDialog::OnDelete, this, kDelete);
    Bind(wxEVT_BUTTON, &CTaskDialog::OnStore, this, kStore);
    Bind(wxEVT_BUTTON, &CTaskDialog::OnDeclare, this, kDeclare);
    Bind(wxEVT_BUTTON, &CTaskDialog::OnCancelButton, this, wxID_CANCEL);
    Bind(wxEVT_CHECKBOX, &CTaskDialog::OnExtraPoints, this, kExtraStart);
    Bind(wxEVT_CHECKBOX, &CTaskDialog::OnExtraPoints, this, kExtraFinish);
    Bind(wxEVT_CHECKBOX, &CTaskDialog::OnNotCounted, this, kNotCounted);
    Bind(wxEVT_SPIN_UP, &CTaskDialog::OnStep, this, kStep);
    Bind(wxEVT_SPIN_DOWN, &CTaskDialog::OnStep, this, kStep);
    Bind(wxEVT_TIMER, &CTaskDialog::OnTimer, this);
}

CTaskDialog::~CTaskDialog() {
    timer_.Stop();
}

int CTaskDialog::DoModal() {
    return loaded_ ? platform::gui::ShowModalOnScreen(*this) : -1;
}

void CTaskDialog::OnInitDialog(wxInitDialogEvent& /*event*/) {
    busy_ = false;
    wxWindow* placeholder = FindWindow(kPlaceholder);
    wxWindow* list = nullptr;
    switch (options_.mode) {
        case TaskDialogMode::kWaypointList:
            waypointList_ = new CSelectListCtrl(this, kWaypointListId, "Name", [](long item) {
                const platform::CriticalSectionLock lock(nav::WaypointListLock);
                const nav::CWaypointEntry* entry = nav::g_waypoints.At(static_cast<int>(item));
                return entry != nullptr ? wxString(std::wstring(entry->record.name.View()))
                                        : wxString();
            });
            Bind(wxEVT_LIST_ITEM_SELECTED, &CTaskDialog::OnListSelected, this, kWaypointListId);
            Bind(wxEVT_LIST_ITEM_ACTIVATED, &CTaskDialog::OnOkButton, this, kWaypointListId);
            list = waypointList_;
            break;
        case TaskDialogMode::kReachable:
            reachableList_ = new CValueListBox(this, kReachableListId);
            Bind(wxEVT_LISTBOX, &CTaskDialog::OnListSelected, this, kReachableListId);
            list = reachableList_;
            break;
        case TaskDialogMode::kEditor:
            pointList_ = new COwnerDrawListBox(this, kPointListId);
            pointList_->Bind(wxEVT_LEFT_DOWN, &CTaskDialog::OnPointDown, this);
            pointList_->Bind(wxEVT_LEFT_UP, &CTaskDialog::OnPointUp, this);
            list = pointList_;
            break;
    }
    wxFont font = GetFont();
    font.SetWeight(wxFONTWEIGHT_HEAVY);
    font.SetPixelSize(wxSize(0, glide::g_baseListSize.load()));
    list->SetFont(font);
    if (placeholder != nullptr && placeholder->GetContainingSizer() != nullptr) {
        placeholder->GetContainingSizer()->Replace(placeholder, list, true);
        placeholder->Hide();
    }
    SetControlText(*this, kInfoText, "\r\n\r\n ");

    const bool editor = options_.mode == TaskDialogMode::kEditor;
    for (const int id : kEditorOnly)
        ShowControl(*this, id, editor);
    if (editor) {
        InitEditor();
    } else {
        InitLists();
    }
    Layout();
    list->SetFocus();
}

void CTaskDialog::InitEditor() {
    SetTitle(core::LoadResourceString(ids::kIdsTaskEditorTitle));
    SetLabelFromString(*this, kNotCounted, ids::kIdsCountPassedOver);
    SetLabelFromString(*this, kOkOrRevert, ids::kIdsRevertButton);
    SetLabelFromString(*this, kNewOrOk, ids::kIdsOkButton);
    SetLabelFromString(*this, wxID_CANCEL, ids::kIdsCancelButton);
    SetLabelFromString(*this, kAddOrEdit, ids::kIdsAddButton);
    ShowControl(*this, kInfoText, false);
    if (auto* spin = dynamic_cast<wxSpinButton*>(FindWindow(kStep))) spin->SetRange(-99, 100);
    ShowControl(*this, kDeclare, !options_.pickOnly && CanDeclare());
    editor_ = std::make_unique<nav::TaskEditor>(nav::g_defaultTask, nav::g_taskList);
    SetControlText(*this, kTaskName, editor_->SuggestedName());
    pointList_->SetTask(&nav::g_defaultTask);
    editor_->LoadLastTask(TaskListPath());
    if (options_.declaration) {
        nav::g_taskExtraStartCheck = 1;
        nav::g_taskExtraFinishCheck = 1;
    }
    editor_->SetExtraPoints(nav::g_taskExtraStartCheck, nav::g_taskExtraFinishCheck);
    ShowEditorChecks();
    if (options_.declaration) {
        EnableControl(*this, kExtraStart, false);
        EnableControl(*this, kExtraFinish, false);
    }
    FillPointList(0);
    EnableControl(*this, kAddOrEdit, !nav::g_waypointLoader.Running());
    timer_.Start(kTimerMs);
}

void CTaskDialog::InitLists() {
    if (options_.mode == TaskDialogMode::kReachable) {
        SetTitle(core::LoadResourceString(ids::kIdsReachableTitle));
    } else if (options_.pickOnly) {
        SetTitle(core::LoadResourceString(ids::kIdsChooseWaypointTitle));
    }
    ShowControl(*this, kNotCounted, options_.notCountedCheck >= 0);
    if (options_.notCountedCheck >= 0) {
        SetLabelFromString(*this, kNotCounted, ids::kIdsNotCounted);
        SetCheck(*this, kNotCounted, options_.notCountedCheck);
    }
    if (waypointList_ != nullptr) {
        int count = 0;
        {
            const platform::CriticalSectionLock lock(nav::WaypointListLock);
            count = nav::g_waypoints.Count();
        }
        waypointList_->SetItemCount(count);
        waypointList_->SelectItem(0);
    } else {
        // The new-waypoint and edit buttons belong to the full list.
        ShowControl(*this, kNewOrOk, false);
        ShowControl(*this, kAddOrEdit, false);
        const nav::WaypointRecord position = CurrentPosition();
        const auto glide = nav::MakeCurrentReachGlide();
        const nav::ReachableOptions reach{
            .metres = core::g_unitAlt.load() != 0,
            .showDifference = glide::g_showAltitudeDifference.load() != 0 &&
                              glide::g_showAltitudeDifferenceInGoto.load() != 0,
            .currentAltitude = position.altitude};
        std::vector<nav::ReachableEntry> entries;
        {
            const platform::CriticalSectionLock lock(nav::WaypointListLock);
            entries = nav::RankReachable(nav::g_waypoints, position, *glide, reach);
        }
        for (const nav::ReachableEntry& entry : entries)
            reachableList_->Append(entry.text, entry.index);
        if (reachableList_->GetCount() > 0) reachableList_->SetSelection(0);
    }
    UpdateInfoText();
}

int CTaskDialog::SelectedRow() const {
    if (waypointList_ != nullptr) return waypointList_->Selected();
    if (reachableList_ != nullptr) return reachableList_->GetSelection();
    if (pointList_ != nullptr) return pointList_->GetSelection();
    return -1;
}

void CTaskDialog::UpdateInfoText() {
    int index = SelectedRow();
    if (reachableList_ != nullptr && index >= 0)
        index = static_cast<int>(reachableList_->GetItemData(index));
    std::optional<nav::WaypointRecord> waypoint;
    if (index >= 0 && pointList_ == nullptr) {
        const platform::CriticalSectionLock lock(nav::WaypointListLock);
        if (const nav::CWaypointEntry* entry = nav::g_waypoints.At(index)) waypoint = entry->record;
    }
    if (!waypoint) {
        SetControlText(*this, kInfoText, wxString());
        return;
    }
    SetControlText(*this, kInfoText,
                   nav::WaypointInfoText(*waypoint, CurrentPosition(), core::g_unitAlt.load() != 0,
                                         core::g_unitDist.load()));
}

void CTaskDialog::OnListSelected(wxCommandEvent& event) {
    if (waypointList_ != nullptr && event.GetId() == kWaypointListId) {
        waypointList_->NoteSelected(static_cast<int>(dynamic_cast<wxListEvent&>(event).GetIndex()));
    }
    UpdateInfoText();
}

void CTaskDialog::OnCharHook(wxKeyEvent& event) {
    // The task name is typed into its own field.
    if (FindFocus() == FindWindow(kTaskName) && event.GetKeyCode() != WXK_ESCAPE) {
        event.Skip();
        return;
    }
    if (!HandleKey(event.GetKeyCode())) event.Skip();
}

bool CTaskDialog::HandleKey(int keyCode) {
    if (busy_) return true;
    switch (keyCode) {
        case WXK_ESCAPE:
            if (editor_) {
                Revert();
            } else {
                EndModal(wxID_CANCEL);
            }
            return true;
        case WXK_LEFT:
        case WXK_UP:
            MoveSelection(-1);
            return true;
        case WXK_RIGHT:
        case WXK_DOWN:
            MoveSelection(1);
            return true;
        case WXK_RETURN:
        case WXK_TAB:
            return false;
        default:
            break;
    }
    if (waypointList_ == nullptr) return false;
    if (keyCode < 32 || keyCode >= WXK_START) return false;
    int found = -1;
    {
        const platform::CriticalSectionLock lock(nav::WaypointListLock);
        const auto letter = static_cast<wchar_t>(keyCode);
        found = nav::g_waypoints.FindFirstLetter(letter);
        // The search stops at the first name not before the letter: only a
        // name that begins with it counts.
        const nav::CWaypointEntry* entry = nav::g_waypoints.At(found);
        const std::wstring_view name =
            entry != nullptr ? entry->record.name.View() : std::wstring_view();
        if (name.empty() || nav::FoldNameCase(name.front()) != nav::FoldNameCase(letter))
            found = -1;
    }
    if (found >= 0) {
        waypointList_->SelectItem(found);
        UpdateInfoText();
    }
    return true;  // other characters are swallowed
}

void CTaskDialog::MoveSelection(int delta) {
    if (waypointList_ != nullptr) {
        const int row = std::max(0, waypointList_->Selected() + delta);
        if (waypointList_->SelectItem(row) >= 0) UpdateInfoText();
        return;
    }
    CValueListBox* box = reachableList_ != nullptr ? reachableList_ : pointList_;
    if (box == nullptr || box->GetCount() == 0) return;
    const int row = std::clamp(box->GetSelection() + delta, 0, box->GetCount() - 1);
    box->SetSelection(row);
    UpdateInfoText();
}

void CTaskDialog::OnOkButton(wxCommandEvent& /*event*/) {
    if (busy_) return;
    if (editor_) {
        Revert();
    } else {
        AcceptList();
    }
}

void CTaskDialog::OnNewOrOk(wxCommandEvent& /*event*/) {
    if (busy_) return;
    if (editor_) {
        AcceptEditor();
        return;
    }
    busy_ = true;
    const int index = RunNewWaypointDialog(this);
    busy_ = false;
    if (index < 0 || waypointList_ == nullptr) return;
    {
        const platform::CriticalSectionLock lock(nav::WaypointListLock);
        waypointList_->SetItemCount(nav::g_waypoints.Count());
    }
    waypointList_->SelectItem(index);
    waypointList_->Refresh();
    UpdateInfoText();
}

void CTaskDialog::AcceptList() {
    int index = SelectedRow();
    if (reachableList_ != nullptr && index >= 0)
        index = static_cast<int>(reachableList_->GetItemData(index));
    {
        const platform::CriticalSectionLock lock(nav::WaypointListLock);
        const nav::CWaypointEntry* entry = index >= 0 ? nav::g_waypoints.At(index) : nullptr;
        if (entry == nullptr) return;
        chosen_ = entry->record;
    }
    chosen_->ComputeUnitVector();
    if (options_.notCountedCheck >= 0) options_.notCountedCheck = CheckOf(*this, kNotCounted);
    if (!options_.pickOnly) nav::GoToWaypoint(*chosen_);
    EndModal(wxID_OK);
}

void CTaskDialog::AcceptEditor() {
    nav::g_taskExtraStartCheck = CheckOf(*this, kExtraStart);
    nav::g_taskExtraFinishCheck = CheckOf(*this, kExtraFinish);
    editor_->SetExtraPoints(nav::g_taskExtraStartCheck, nav::g_taskExtraFinishCheck);
    bool valid = false;
    {
        const platform::CriticalSectionLock lock(core::TaskLock);
        valid = nav::g_defaultTask.IsValid();
    }
    if (!valid) {
        Box(this, ids::kIdsTaskNeedsStartFinish, ids::kIdsTaskCaption, platform::mb::kIconHand);
        return;
    }
    if (Confirm(false)) EndModal(wxID_OK);
}

bool CTaskDialog::Confirm(bool declare) {
    busy_ = true;
    editor_->NumberPoints();
    const bool toLoggerLibrary = declare && recorder::g_bLoggerLibraryBound.load() != 0;
    bool confirmed = RunTaskPointDialog(this, nav::g_defaultTask, !toLoggerLibrary);
    if (confirmed) {
        int triangle = 0;
        {
            const platform::CriticalSectionLock lock(core::TaskLock);
            triangle = nav::g_defaultTask.FindTriangleCorners();
        }
        confirmed = RunTaskLimitsDialog(this, triangle != 0);
    }
    if (confirmed) {
        {
            const platform::CriticalSectionLock lock(core::TaskLock);
            nav::g_defaultTask.ownedCopy = 1;  // activation copies the edited task
        }
        // A task that was not saved is not confirmed: the next start would
        // load an older one.
        confirmed = nav::SaveTaskToFile(nav::g_defaultTask, core::g_documentsFolder).saved;
    }
    busy_ = false;
    FillPointList(pointList_->GetSelection());
    return confirmed;
}

void CTaskDialog::Revert() {
    {
        const platform::CriticalSectionLock lock(core::TaskLock);
        nav::ClearQueueTaskPoints();
    }
    editor_->LoadLastTask(TaskListPath());
    editor_->SetExtraPoints(nav::g_taskExtraStartCheck, nav::g_taskExtraFinishCheck);
    ShowEditorChecks();
    nav::g_taskExtraStartCheck = CheckOf(*this, kExtraStart);
    nav::g_taskExtraFinishCheck = CheckOf(*this, kExtraFinish);
    EndModal(wxID_CANCEL);
}

void CTaskDialog::OnCancelButton(wxCommandEvent& /*event*/) {
    if (busy_) return;
    if (editor_) {
        Revert();
    } else {
        EndModal(wxID_CANCEL);
    }
}

void CTaskDialog::ShowEditorChecks() {
    SetCheck(*this, kExtraStart, editor_->ExtraStart());
    SetCheck(*this, kExtraFinish, editor_->ExtraFinish());
    EnableControl(*this, kExtraFinish, editor_->ExtraStart() != 0 && !options_.declaration);
    SetCheck(*this, kNotCounted, editor_->includeUncounted);
    EnableControl(*this, kNotCounted, editor_->HasUncountedPoint());
}

void CTaskDialog::FillPointList(int select) {
    if (pointList_ == nullptr) return;
    pointList_->Clear();
    for (const std::wstring& name : editor_->ItemNames())
        pointList_->Append(name);
    if (pointList_->GetCount() > 0)
        pointList_->SetSelection(std::clamp(select, 0, pointList_->GetCount() - 1));
    pointList_->Refresh();
}

void CTaskDialog::OnAddOrEdit(wxCommandEvent& /*event*/) {
    if (busy_) return;
    busy_ = true;
    if (!editor_) {
        const int selected = SelectedRow();
        const int index = selected >= 0 ? RunNewWaypointDialog(this, selected) : -1;
        if (index >= 0 && waypointList_ != nullptr) {
            {
                const platform::CriticalSectionLock lock(nav::WaypointListLock);
                waypointList_->SetItemCount(nav::g_waypoints.Count());
            }
            waypointList_->SelectItem(index);
            waypointList_->Refresh();
            UpdateInfoText();
        }
        busy_ = false;
        return;
    }
    if (nav::EnsureWaypointFileOpen()) {
        int notCounted = 0;
        if (const std::optional<nav::WaypointRecord> picked = PickWaypoint(this, &notCounted)) {
            const int index =
                editor_->AddPoint(pointList_->GetSelection(), *picked, notCounted != 0);
            FillPointList(index);
            ShowEditorChecks();
        }
    }
    busy_ = false;
}

void CTaskDialog::OnDelete(wxCommandEvent& /*event*/) {
    if (busy_ || !editor_) return;
    const int selected = pointList_->GetSelection();
    if (!editor_->DeletePoint(selected)) return;
    FillPointList(selected);
    ShowEditorChecks();
}

void CTaskDialog::OnPointDown(wxMouseEvent& event) {
    dragFrom_ = pointList_->VirtualHitTest(event.GetPosition().y);
    event.Skip();
}

void CTaskDialog::OnPointUp(wxMouseEvent& event) {
    const int to = pointList_->VirtualHitTest(event.GetPosition().y);
    const int from = std::exchange(dragFrom_, -1);
    event.Skip();
    if (busy_ || from < 0 || to < 0 || from == to) return;
    FillPointList(editor_->MovePoint(from, to));
}

void CTaskDialog::OnExtraPoints(wxCommandEvent& /*event*/) {
    if (busy_ || !editor_) return;
    editor_->SetExtraPoints(CheckOf(*this, kExtraStart), CheckOf(*this, kExtraFinish));
    ShowEditorChecks();
    pointList_->Refresh();
}

void CTaskDialog::OnNotCounted(wxCommandEvent& /*event*/) {
    if (busy_ || !editor_) return;
    editor_->SetIncludeUncounted(CheckOf(*this, kNotCounted));
    pointList_->Refresh();
}

void CTaskDialog::OnStore(wxCommandEvent& /*event*/) {
    if (busy_ || !editor_ || editor_->Count() == 0) return;
    const std::wstring name = ControlText(*this, kTaskName).ToStdWstring();
    if (editor_->CheckStore(name) == nav::TaskEditor::StoreResult::kDuplicateName) {
        Box(this, ids::kIdsTaskNameTaken, ids::kIdsNameCaption, platform::mb::kIconExclamation);
        return;
    }
    busy_ = true;
    const bool zones = RunTaskPointDialog(this, nav::g_defaultTask, true);
    busy_ = false;
    if (!zones) return;
    editor_->SetExtraPoints(CheckOf(*this, kExtraStart), CheckOf(*this, kExtraFinish));
    if (editor_->Store(name) == nav::TaskEditor::StoreResult::kStored)
        SetControlText(*this, kTaskName, editor_->SuggestedName());
    pointList_->Refresh();
}

void CTaskDialog::OnStep(wxSpinEvent& event) {
    if (busy_ || !editor_) return;
    if (!editor_->Step(event.GetEventType() == wxEVT_SPIN_UP ? 1 : -1)) return;
    SetControlText(*this, kTaskName, std::wstring(editor_->Name()));
    ShowEditorChecks();
    FillPointList(0);
}

void CTaskDialog::OnDeclare(wxCommandEvent& /*event*/) {
    if (busy_ || !editor_) return;
    if (!CanDeclare()) {
        Box(this, ids::kIdsDeclareNeedsLog, ids::kIdsTaskCaption, platform::mb::kIconHand);
        return;
    }
    editor_->SetExtraPoints(CheckOf(*this, kExtraStart), CheckOf(*this, kExtraFinish));
    if (editor_->Count() < 4 || editor_->ExtraStart() == 0 || editor_->ExtraFinish() == 0) {
        Box(this, ids::kIdsTooFew, ids::kIdsTaskCaption, platform::mb::kIconExclamation);
        return;
    }
    if (!Confirm(true)) return;
    busy_ = true;
    WriteTaskDeclaration(nav::g_defaultTask);
    busy_ = false;
    EndModal(wxID_OK);
}

void CTaskDialog::OnTimer(wxTimerEvent& /*event*/) {
    EnableControl(*this, kAddOrEdit, !nav::g_waypointLoader.Running());
}

int RunTaskDialog(wxWindow* parent, const TaskDialogOptions& options) {
    CTaskDialog dialog(parent, options);
    return dialog.DoModal();
}

std::optional<nav::WaypointRecord> PickWaypoint(wxWindow* parent, int* notCounted) {
    TaskDialogOptions options;
    options.pickOnly = true;
    options.notCountedCheck = notCounted != nullptr ? *notCounted : -1;
    CTaskDialog dialog(parent, options);
    if (dialog.DoModal() != wxID_OK) return std::nullopt;
    if (notCounted != nullptr) *notCounted = dialog.NotCountedCheck();
    return dialog.Chosen();
}

}  // namespace frame
