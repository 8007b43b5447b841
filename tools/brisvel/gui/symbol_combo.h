#pragma once
// The shape bar's symbol and colour list: an owner-drawn list whose items
// carry a number, drawn as the symbol's picture (symbol mode) or as a
// swatch of the map palette (colour mode), with the number beside it. The
// selected item gets a frame. Numbers can also be typed. UI thread.

#include <wx/odcombo.h>

#include <vector>

#include "tools/brisvel/gui/symbol_art.h"
#include "tools/brisvel/shape_bar_model.h"

namespace brisvel {

class CSymbolCombo final : public wxOwnerDrawnComboBox {
  public:
    CSymbolCombo(wxWindow* parent, int id, const SymbolArt& art);

    // Fills the list; colourMode draws item values as colours (0x00BBGGRR).
    void SetItems(const std::vector<ListItem>& items, bool colourMode);
    bool ColourMode() const { return colourMode_; }

  private:
    void OnDrawItem(wxDC& dc, const wxRect& rect, int item, int flags) const override;
    wxCoord OnMeasureItem(size_t item) const override;
    wxCoord OnMeasureItemWidth(size_t item) const override;

    const SymbolArt& art_;
    std::vector<ListItem> items_;
    bool colourMode_ = false;
};

}  // namespace brisvel
