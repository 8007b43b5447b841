#include "tools/brisvel/gui/symbol_combo.h"

#include <wx/settings.h>

#include "mapdata/map_palette.h"

namespace brisvel {

CSymbolCombo::CSymbolCombo(wxWindow* parent, int id, const SymbolArt& art)
    : wxOwnerDrawnComboBox(parent, id, wxEmptyString, wxDefaultPosition, wxSize(120, -1), 0, nullptr,
                           wxCB_DROPDOWN),
      art_(art) {}

void CSymbolCombo::SetItems(const std::vector<ListItem>& items, bool colourMode) {
    items_ = items;
    colourMode_ = colourMode;
    Clear();
    for (const ListItem& item : items_) Append(wxString::FromUTF8(item.text));
}

void CSymbolCombo::OnDrawItem(wxDC& dc, const wxRect& rect, int item, int flags) const {
    if (item < 0 || item >= static_cast<int>(items_.size())) return;
    const ListItem& entry = items_[static_cast<std::size_t>(item)];
    const int box = std::min(rect.height - 2, kSymbolSize);
    const wxPoint centre(rect.x + 2 + box / 2, rect.y + rect.height / 2);
    if (colourMode_) {
        const mapdata::Rgb rgb = mapdata::RgbFromColorref(static_cast<std::uint32_t>(entry.value));
        dc.SetPen(*wxBLACK_PEN);
        dc.SetBrush(wxBrush(wxColour(rgb.red, rgb.green, rgb.blue)));
        dc.DrawRectangle(rect.x + 2, rect.y + 1, box * 2, rect.height - 2);
    } else {
        art_.Draw(dc, entry.value, centre, box);
    }
    const int textX = rect.x + 6 + (colourMode_ ? box * 2 : box);
    dc.SetTextForeground((flags & wxODCB_PAINTING_SELECTED) ? wxSystemSettings::GetColour(wxSYS_COLOUR_HIGHLIGHTTEXT)
                                                            : GetForegroundColour());
    dc.DrawText(wxString::FromUTF8(entry.text), textX, rect.y + (rect.height - dc.GetCharHeight()) / 2);
    if ((flags & wxODCB_PAINTING_SELECTED) && !(flags & wxODCB_PAINTING_CONTROL)) {
        dc.SetPen(wxPen(*wxBLACK, 1, wxPENSTYLE_DOT));
        dc.SetBrush(*wxTRANSPARENT_BRUSH);
        dc.DrawRectangle(wxRect(rect).Deflate(1));
    }
}

wxCoord CSymbolCombo::OnMeasureItem(size_t /*item*/) const {
    return colourMode_ ? 20 : kSymbolSize + 2;
}

wxCoord CSymbolCombo::OnMeasureItemWidth(size_t /*item*/) const {
    return -1;
}

}  // namespace brisvel
