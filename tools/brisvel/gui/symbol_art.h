#pragma once
// The pictures of map symbols as Brisvel draws them: the built-in symbols
// 0 to 15 and the label mark (-5, icon 229) drawn as small figures, and the
// user symbols' bitmaps at 32 x 32 with their transparent colour masked.
// A number above 15 + the user symbols (100 among them) draws built-in
// symbol 0, as the flight computer draws it. UI thread.

#include <wx/bitmap.h>
#include <wx/dc.h>

#include <vector>

#include "mapdata/map_symbols.h"

namespace brisvel {

inline constexpr int kSymbolSize = 32;

class SymbolArt {
  public:
    SymbolArt() = default;
    explicit SymbolArt(const std::vector<mapdata::UserSymbol>& users);

    int UserCount() const { return static_cast<int>(users_.size()); }
    // Draws symbol `number` centred on `centre`, at most `size` pixels wide.
    void Draw(wxDC& dc, int number, wxPoint centre, int size = kSymbolSize) const;

  private:
    std::vector<wxBitmap> users_;
};

}  // namespace brisvel
