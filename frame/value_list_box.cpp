#include "frame/value_list_box.h"

namespace frame {

wxIMPLEMENT_DYNAMIC_CLASS(CValueListBox, wxListBox);

int CValueListBox::AddString(const std::wstring& line) {
    return Append(wxString(line));
}

std::wstring CValueListBox::GetText(int index) const {
    if (index < 0 || static_cast<unsigned>(index) >= GetCount()) return {};
    return GetString(static_cast<unsigned>(index)).ToStdWstring();
}

}  // namespace frame
