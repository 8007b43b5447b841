#pragma once
// Drawing map objects on a view: poly objects with a pen of their colour
// and width (filled rings with their colour, holes with the background),
// symbols as their picture with the name beside it, labels as their lines
// centred on the point. UI thread.

#include <wx/dc.h>
#include <wx/font.h>

#include "tools/brisvel/gui/symbol_art.h"
#include "tools/brisvel/map_objects.h"
#include "tools/brisvel/view_transform.h"

namespace brisvel {

struct DrawTools {
    const ViewTransform* transform = nullptr;
    const SymbolArt* art = nullptr;
    wxFont labelFont;
    wxColour background = *wxWHITE;
};

void DrawMapObject(wxDC& dc, const CMapObject& object, const DrawTools& tools);

}  // namespace brisvel
