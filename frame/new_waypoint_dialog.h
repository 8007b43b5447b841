#pragma once
// The new-waypoint dialog (template 205 of the resource bundle): the window
// over nav::NewWaypointModel, in waypoint mode (a waypoint appended to the
// waypoint file and listed, or the start-up position) or map-point mode (a
// point appended to the map file). UI thread.

#include <wx/dialog.h>

#include "nav/new_waypoint_model.h"
#include "platform/gui/ddx.h"

class wxCommandEvent;
class wxInitDialogEvent;
class wxSpinEvent;

namespace frame {

class CNewWaypointDialog final : public wxDialog {
  public:
    CNewWaypointDialog(wxWindow* parent, bool mapPointMode = false);

    nav::NewWaypointModel& Model() { return model_; }
    // The hemisphere radios keep the model's values instead of the stored
    // ones (the caller filled the fields).
    bool presetHemispheres = false;
    // What OK did (kRefused while not confirmed).
    const nav::NewWaypointResult& Result() const { return result_; }
    bool NewFileChosen() const { return newFileChosen_; }

    bool Loaded() const { return loaded_; }
    int DoModal();

  private:
    void DoDataExchange(platform::gui::CDataExchange* pDX);
    void OnInitDialog(wxInitDialogEvent& event);
    void OnOK(wxCommandEvent& event);
    void OnFileOrPick(wxCommandEvent& event);
    void OnCodeSpin(wxSpinEvent& event);
    void OnPenSpin(wxSpinEvent& event);
    void ShowModeControls();
    void UpdatePreviews();

    nav::NewWaypointModel model_;
    nav::NewWaypointResult result_;
    bool newFileChosen_ = false;
    bool loaded_ = false;
};

// Runs the dialog for a new waypoint (editIndex -1) or for the list entry
// editIndex; the new entry's index when a waypoint was written, else -1.
int RunNewWaypointDialog(wxWindow* parent, int editIndex = -1);

}  // namespace frame
