#pragma once
// CSelectListCtrl: a report list that selects a row, remembers it and
// scrolls it into view. Used with owner data (a virtual list) whose item
// texts come from a function, so it shows any number of rows at once.
// UI thread.

#include <wx/listctrl.h>

#include <functional>

namespace frame {

// The row SelectItem takes: i when the list has such a row, else -1.
int SelectableRow(int i, int count);

class CSelectListCtrl final : public wxListCtrl {
  public:
    using ItemText = std::function<wxString(long item)>;

    // A single-selection virtual report list of one column `heading`.
    CSelectListCtrl(wxWindow* parent, int id, const wxString& heading, ItemText itemText);

    // Selects and focuses row i and scrolls it fully into view; returns i,
    // or -1 (the remembered row unchanged) when there is no row i.
    int SelectItem(int i);
    // The row last selected by SelectItem; -1 before.
    int Selected() const { return selected_; }
    // Follows a selection the user made.
    void NoteSelected(int i) { selected_ = i; }

  private:
    wxString OnGetItemText(long item, long column) const override;

    ItemText itemText_;
    int selected_ = -1;
};

}  // namespace frame
