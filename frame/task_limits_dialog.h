#pragma once
// The task limits dialog (template 239 of the resource bundle): the window
// over nav::TaskLimitsModel. OK stores the limits in "Settings\Task" and
// publishes them. UI thread.

#include <wx/dialog.h>

#include "nav/task_limits.h"
#include "platform/gui/ddx.h"

class wxCommandEvent;
class wxInitDialogEvent;

namespace frame {

class CTaskLimitsDialog final : public wxDialog {
  public:
    // Reads the stored limits; the units in force.
    explicit CTaskLimitsDialog(wxWindow* parent);

    nav::TaskLimitsModel& Model() { return model_; }
    // Shows control 1396 (the triangle note) when set before DoModal.
    bool showTriangleNote = false;

    bool Loaded() const { return loaded_; }
    // wxID_OK or wxID_CANCEL; -1 without the template.
    int DoModal();

  private:
    void DoDataExchange(platform::gui::CDataExchange* pDX);
    void OnInitDialog(wxInitDialogEvent& event);
    void OnOK(wxCommandEvent& event);

    nav::TaskLimitsModel model_;
    bool loaded_ = false;
};

// Runs the dialog over `parent`; true on OK.
bool RunTaskLimitsDialog(wxWindow* parent, bool triangle);

}  // namespace frame
