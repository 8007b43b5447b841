#include "frame/position_keyboard_edit.h"

#include <wx/toplevel.h>

namespace frame {

CKeyboardEdit::CKeyboardEdit(wxWindow* parent, int id)
    : wxTextCtrl(parent, id, wxEmptyString, wxDefaultPosition, wxDefaultSize, wxTE_PROCESS_ENTER) {
    Bind(wxEVT_TEXT_ENTER, &CKeyboardEdit::OnEnter, this);
}

void CKeyboardEdit::OnEnter(wxCommandEvent& /*event*/) {
    wxWindow* target = focusTarget_ != nullptr ? focusTarget_ : wxGetTopLevelParent(this);
    if (target != nullptr) target->SetFocus();
}

}  // namespace frame
