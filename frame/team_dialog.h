#pragma once
// The team-code dialog (template 288 of the resource bundle): a teammate's
// code typed with the character buttons or the keyboard, the distance,
// course and terrain of its position on the show button, and the decoded
// waypoint on OK. The logic is nav/team_dialog_model.h; this is its window.
//
// UI thread only.

#include <wx/dialog.h>

#include <optional>

#include "nav/team_dialog_model.h"

class wxCommandEvent;
class wxKeyEvent;

namespace frame {

class CTeamDialog final : public wxDialog {
  public:
    // Loads the template from the installed bundle; without it DoModal
    // returns -1.
    CTeamDialog(wxWindow* parent, nav::TeamDialogModel model);

    bool Loaded() const { return loaded_; }
    nav::TeamDialogModel& Model() { return model_; }
    // wxID_OK with Result() set, or wxID_CANCEL; -1 without a template.
    int DoModal();
    const std::optional<nav::CWaypointEntry>& Result() const { return result_; }

  private:
    void OnCharacter(wxCommandEvent& event);
    void OnBackspace(wxCommandEvent& event);
    void OnShow(wxCommandEvent& event);
    void OnOK(wxCommandEvent& event);
    void OnCharHook(wxKeyEvent& event);
    void ShowCode();
    void SetFonts();

    nav::TeamDialogModel model_;
    std::optional<nav::CWaypointEntry> result_;
    bool loaded_ = false;
};

// The main window's team-code message: runs the dialog from the latest
// published position (when a fix has been received) and makes the decoded
// waypoint, with its terrain elevation, the destination.
void RunTeamCodeDialog(wxWindow* parent, bool haveFix);

}  // namespace frame
