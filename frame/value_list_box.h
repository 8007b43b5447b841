#pragma once
// CValueListBox: a list box of text lines. Dialogs create it from their XRC
// template (class wxListBox with subclass "CValueListBox") and fill it line
// by line; a selection change comes as wxEVT_LISTBOX. UI thread only.

#include <wx/listbox.h>

#include <string>

namespace frame {

class CValueListBox : public wxListBox {
  public:
    CValueListBox() = default;

    // Appends a line; returns its index.
    int AddString(const std::wstring& line);
    // The text of line index; empty outside the list.
    std::wstring GetText(int index) const;

  private:
    wxDECLARE_DYNAMIC_CLASS(CValueListBox);
};

}  // namespace frame
