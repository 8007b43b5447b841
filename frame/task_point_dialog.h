#pragma once
// The task point dialog (template 240 of the resource bundle): the window
// over nav::TaskZonesModel. The task editor runs it on the edited task;
// OK writes the zones into the task and "Settings\Task". UI thread.

#include <wx/dialog.h>

#include <optional>

#include "nav/task_zones_model.h"
#include "platform/gui/ddx.h"

class wxCommandEvent;
class wxInitDialogEvent;

namespace frame {

class CTaskPointDialog final : public wxDialog {
  public:
    // declaring: the transfer-to-recorder box may be ticked (off when the
    // task goes to a bound logger library by its own way).
    CTaskPointDialog(wxWindow* parent, nav::CTask& task, bool declaring = true);

    nav::TaskZonesModel& Model() { return *model_; }
    bool Loaded() const { return loaded_; }
    int DoModal();

  private:
    void DoDataExchange(platform::gui::CDataExchange* pDX);
    void OnInitDialog(wxInitDialogEvent& event);
    void OnOK(wxCommandEvent& event);
    void OnTurnpointChanged(wxCommandEvent& event);
    void OnSameZoneChanged(wxCommandEvent& event);
    void OnZoneBoxChanged(wxCommandEvent& event);
    // Reads the controls; false when one is refused.
    bool Read();
    void Show(const nav::TurnpointZone& zone);
    void UpdateVisibility();
    void StoreSelected();

    std::optional<nav::TaskZonesModel> model_;
    nav::TurnpointZone shown_;  // what the turnpoint edits show
    int selected_ = 0;
    bool declaring_;
    bool loaded_ = false;
};

// Runs the dialog on `task`; true on OK.
bool RunTaskPointDialog(wxWindow* parent, nav::CTask& task, bool declaring);

}  // namespace frame
