#include "frame/dialog_controls.h"

#include <wx/checkbox.h>
#include <wx/textentry.h>

namespace frame {

void SetControlText(wxWindow& dialog, int id, const wxString& text) {
    wxWindow* control = dialog.FindWindow(id);
    if (auto* entry = dynamic_cast<wxTextEntry*>(control)) {
        entry->ChangeValue(text);
    } else if (control != nullptr) {
        control->SetLabel(text);
    }
}

wxString ControlText(const wxWindow& dialog, int id) {
    const wxWindow* control = dialog.FindWindow(id);
    if (const auto* entry = dynamic_cast<const wxTextEntry*>(control)) return entry->GetValue();
    return control != nullptr ? control->GetLabel() : wxString();
}

void SetCheck(wxWindow& dialog, int id, int value) {
    if (auto* box = dynamic_cast<wxCheckBox*>(dialog.FindWindow(id))) box->SetValue(value != 0);
}

int CheckOf(const wxWindow& dialog, int id) {
    const auto* box = dynamic_cast<const wxCheckBox*>(dialog.FindWindow(id));
    return box != nullptr && box->GetValue() ? 1 : 0;
}

void ShowControl(wxWindow& dialog, int id, bool show) {
    if (wxWindow* control = dialog.FindWindow(id)) control->Show(show);
}

void EnableControl(wxWindow& dialog, int id, bool enable) {
    if (wxWindow* control = dialog.FindWindow(id)) control->Enable(enable);
}

void FocusControl(wxWindow& dialog, int id) {
    wxWindow* control = dialog.FindWindow(id);
    if (control == nullptr) return;
    control->SetFocus();
    if (auto* entry = dynamic_cast<wxTextEntry*>(control)) entry->SelectAll();
}

}  // namespace frame
