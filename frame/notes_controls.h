#pragma once
// The program's small controls: the pop-up notes behaviour of a read-only
// text (ColorEdit) with the shared notes font, and the history combo box
// that keeps its entries in the settings. UI thread only.

#include <wx/combobox.h>
#include <wx/window.h>

#include <string>
#include <vector>

#include "platform/window_messages.h"

class wxTextCtrl;

namespace frame {

// Makes `text` a pop-up notes window: read-only, its colours, the shared
// notes font ("notesBold" in "Options\Fonts"), and a click outside its
// bottom 20 pixels tells `notify` (WM_USER+10, wParam the window) instead
// of selecting text.
class ColorEdit {
  public:
    ColorEdit(wxTextCtrl& text, platform::WindowId notify);
    void SetColours(const wxColour& text, const wxColour& back);

  private:
    wxTextCtrl& text_;
};

// The notes font all notes windows share, rebuilt only when its weight
// changes; selected into `window`.
void SetNotesFont(wxWindow& window, bool bold);

// The history operations on any combo box (dialog layouts make plain
// ones): add the edit's text unless empty or listed (asking unless quiet),
// delete the listed edit text (asking unless quiet), the texts listed, and
// the keys that add and delete (Enter; Ctrl then Backspace), which save
// the list to `section` after a change.
void AddComboHistoryText(wxComboBox& box, bool quiet);
void DeleteComboHistoryText(wxComboBox& box, bool quiet);
std::vector<std::wstring> ComboHistoryEntries(const wxComboBox& box);
void BindHistoryKeys(wxComboBox& box, const std::string& section);

// A combo box whose list is kept in a settings section as "Entry0",
// "Entry1", ...; its edit takes at most `limit` characters.
class HistoryComboBox final : public wxComboBox {
  public:
    HistoryComboBox(wxWindow* parent, wxWindowID id, int limit);
    // -1 without a section; the number of entries read.
    int LoadHistory(const std::string& section, bool clearFirst);
    void SaveHistory();
    // Adds the edit's text when it is new (asking unless quiet).
    void AddCurrentText(bool quiet);
    // Deletes the entry equal to the edit's text (asking unless quiet).
    void DeleteCurrentText(bool quiet);
    void ResetContent() { Clear(); }
    int Limit() const { return limit_; }

  private:
    std::string section_;
    int limit_;
};

}  // namespace frame
