#include "frame/sip_edit.h"

namespace frame {

wxIMPLEMENT_DYNAMIC_CLASS(CSipEdit, wxTextCtrl);

}  // namespace frame
