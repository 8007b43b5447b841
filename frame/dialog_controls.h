#pragma once
// Small helpers the dialogs use on their controls, found by numeric id. A
// control the dialog lacks is left alone (reads give empty or 0). UI thread.

#include <wx/string.h>
#include <wx/window.h>

namespace frame {

// An edit's text (without a change event) or another control's label.
void SetControlText(wxWindow& dialog, int id, const wxString& text);
wxString ControlText(const wxWindow& dialog, int id);
void SetCheck(wxWindow& dialog, int id, int value);
int CheckOf(const wxWindow& dialog, int id);
void ShowControl(wxWindow& dialog, int id, bool show);
void EnableControl(wxWindow& dialog, int id, bool enable);
// Focuses the control, selecting its text when it is an edit.
void FocusControl(wxWindow& dialog, int id);

}  // namespace frame
