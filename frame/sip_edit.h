#pragma once
// CSipEdit: an edit field of a dialog. On hand-held screens it raised the
// soft keyboard while it had the focus; on the desktop it is a plain text
// field. Created from XRC templates (class wxTextCtrl with subclass
// "CSipEdit"). UI thread only.

#include <wx/textctrl.h>

namespace frame {

class CSipEdit : public wxTextCtrl {
  public:
    CSipEdit() = default;

  private:
    wxDECLARE_DYNAMIC_CLASS(CSipEdit);
};

}  // namespace frame
