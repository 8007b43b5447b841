#pragma once
// The waypoint and task dialog (template 203 on a portrait screen, 213
// otherwise): one window in three modes, chosen before it runs.
//
//   waypoint list  every waypoint of the list in a virtual list; OK makes the
//                  chosen one the destination, or, pick-only, just returns
//                  it; new and edit waypoint; a typed letter jumps to the
//                  first name beginning with it.
//   reachable      the marked waypoints that can be glided to, best first.
//   task editor    the points of g_defaultTask: add, delete, drag to move,
//                  extra start and finish points, store under a name, step
//                  through the stored tasks, declare; OK runs the zone and
//                  limit dialogs and saves the task before the caller
//                  activates it.
//
// The logic lives in nav::TaskEditor, nav::RankReachable and
// nav::WaypointInfoText; this is their window. UI thread.

#include <wx/dialog.h>
#include <wx/timer.h>

#include <functional>
#include <memory>
#include <optional>

#include "core/waypoint_record.h"
#include "frame/select_list_ctrl.h"
#include "frame/value_list_box.h"
#include "nav/task_editor.h"

class wxCommandEvent;
class wxInitDialogEvent;
class wxKeyEvent;
class wxMouseEvent;
class wxSpinEvent;
class wxTimerEvent;

namespace frame {

enum class TaskDialogMode { kWaypointList, kReachable, kEditor };

struct TaskDialogOptions {
    TaskDialogMode mode = TaskDialogMode::kWaypointList;
    // OK returns the choice without making it the destination.
    bool pickOnly = false;
    // The "not counted" box of the list modes: shown with this state when 0
    // or 1, hidden when -1.
    int notCountedCheck = -1;
    // The editor is opened for an FAI declaration: both extra-point boxes
    // are set and fixed.
    bool declaration = false;
};

// Writing a declared task to the recorder. The recorder's frame side
// installs it; without one a declaration writes nothing.
using TaskDeclarationWriter = std::function<void(const nav::CTask& task)>;
void SetTaskDeclarationWriter(TaskDeclarationWriter writer);

class CTaskDialog final : public wxDialog {
  public:
    CTaskDialog(wxWindow* parent, TaskDialogOptions options);
    ~CTaskDialog() override;
    CTaskDialog(const CTaskDialog&) = delete;
    CTaskDialog& operator=(const CTaskDialog&) = delete;

    bool Loaded() const { return loaded_; }
    // wxID_OK or wxID_CANCEL; -1 without the template.
    int DoModal();

    // After OK in a list mode: the chosen waypoint and the box's state.
    const std::optional<nav::WaypointRecord>& Chosen() const { return chosen_; }
    int NotCountedCheck() const { return options_.notCountedCheck; }

    // The list of the mode, and the editor (editor mode only).
    CSelectListCtrl* WaypointList() const { return waypointList_; }
    CValueListBox* ReachableList() const { return reachableList_; }
    COwnerDrawListBox* PointList() const { return pointList_; }
    nav::TaskEditor* Editor() const { return editor_.get(); }

    // The key handling of the dialog (exposed for tests): Escape cancels,
    // arrows move the selection, a typed character jumps in the waypoint
    // list. True when the key was used.
    bool HandleKey(int keyCode);
    // The information text of the waypoint selected in a list mode.
    void UpdateInfoText();

  private:
    void OnInitDialog(wxInitDialogEvent& event);
    void InitEditor();
    void InitLists();
    void OnCharHook(wxKeyEvent& event);
    void OnOkButton(wxCommandEvent& event);
    void OnNewOrOk(wxCommandEvent& event);
    void OnAddOrEdit(wxCommandEvent& event);
    void OnDelete(wxCommandEvent& event);
    void OnExtraPoints(wxCommandEvent& event);
    void OnNotCounted(wxCommandEvent& event);
    void OnStore(wxCommandEvent& event);
    void OnStep(wxSpinEvent& event);
    void OnDeclare(wxCommandEvent& event);
    void OnCancelButton(wxCommandEvent& event);
    void OnTimer(wxTimerEvent& event);
    void OnListSelected(wxCommandEvent& event);
    void OnPointDown(wxMouseEvent& event);
    void OnPointUp(wxMouseEvent& event);

    void AcceptList();
    void AcceptEditor();
    void Revert();
    bool Confirm(bool declare);
    void FillPointList(int select);
    void ShowEditorChecks();
    int SelectedRow() const;
    void MoveSelection(int delta);

    TaskDialogOptions options_;
    std::unique_ptr<nav::TaskEditor> editor_;
    CSelectListCtrl* waypointList_ = nullptr;
    CValueListBox* reachableList_ = nullptr;
    COwnerDrawListBox* pointList_ = nullptr;
    std::optional<nav::WaypointRecord> chosen_;
    wxTimer timer_;
    int dragFrom_ = -1;
    bool busy_ = false;
    bool loaded_ = false;
};

// Runs the dialog over `parent` (the frame's commands); its result.
int RunTaskDialog(wxWindow* parent, const TaskDialogOptions& options);

// The pick-only waypoint list: the chosen waypoint, or nothing when
// cancelled. notCounted, when given, shows the "not counted" box with its
// state and returns the pilot's choice.
std::optional<nav::WaypointRecord> PickWaypoint(wxWindow* parent, int* notCounted = nullptr);

}  // namespace frame
