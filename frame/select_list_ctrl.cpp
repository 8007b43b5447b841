#include "frame/select_list_ctrl.h"

#include <utility>

namespace frame {

int SelectableRow(int i, int count) {
    return i >= 0 && i < count ? i : -1;
}

CSelectListCtrl::CSelectListCtrl(wxWindow* parent, int id, const wxString& heading,
                                 ItemText itemText)
    : wxListCtrl(parent, id, wxDefaultPosition, wxDefaultSize,
                 wxLC_REPORT | wxLC_VIRTUAL | wxLC_SINGLE_SEL),
      itemText_(std::move(itemText)) {
    AppendColumn(heading, wxLIST_FORMAT_LEFT, 200);
    // The one column takes the whole width.
    Bind(wxEVT_SIZE, [this](wxSizeEvent& event) {
        SetColumnWidth(0, GetClientSize().x);
        event.Skip();
    });
}

int CSelectListCtrl::SelectItem(int i) {
    const int row = SelectableRow(i, GetItemCount());
    if (row < 0) return -1;
    constexpr long kState = wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED;
    if (!SetItemState(row, kState, kState)) return -1;
    selected_ = row;
    EnsureVisible(row);
    return row;
}

wxString CSelectListCtrl::OnGetItemText(long item, long /*column*/) const {
    return itemText_ ? itemText_(item) : wxString();
}

}  // namespace frame
