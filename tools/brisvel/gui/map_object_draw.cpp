#include "tools/brisvel/gui/map_object_draw.h"

#include <vector>

#include "mapdata/map_palette.h"
#include "tools/brisvel/gui/display_text.h"

namespace brisvel {
namespace {

wxColour FromColorref(std::uint32_t colorref) {
    const mapdata::Rgb rgb = mapdata::RgbFromColorref(colorref);
    return {rgb.red, rgb.green, rgb.blue};
}

void DrawPoly(wxDC& dc, const CPolyObject& poly, const DrawTools& tools) {
    const wxColour colour = FromColorref(poly.colourValue);
    dc.SetPen(wxPen(colour, poly.lineWidth));
    std::vector<wxPoint> points;
    for (int part = 0; part < poly.PartCount(); ++part) {
        points.clear();
        for (int i = poly.PartBegin(part); i < poly.PartEnd(part); ++i) {
            const Vertex& v = poly.Vertices()[static_cast<std::size_t>(i)];
            const ScreenPoint p = LatLonToScreen(v.lon, v.lat, *tools.transform);
            points.emplace_back(p.x, p.y);
        }
        if (points.size() == 1) {
            dc.DrawPoint(points[0]);
        } else if (poly.IsFilled()) {
            dc.SetBrush(wxBrush(poly.RingFlag(part) == kOuterRing ? colour : tools.background));
            dc.DrawPolygon(static_cast<int>(points.size()), points.data());
        } else {
            dc.DrawLines(static_cast<int>(points.size()), points.data());
        }
    }
}

void DrawSymbol(wxDC& dc, const CSymbolObject& symbol, const DrawTools& tools) {
    const ScreenPoint p = LatLonToScreen(symbol.lon, symbol.lat, *tools.transform);
    dc.SetFont(tools.labelFont);
    dc.SetTextForeground(*wxBLACK);
    if (symbol.symbol == CSymbolObject::kLabel) {
        // One line per '\'-separated piece, centred on the point.
        wxArrayString lines = wxSplit(DisplayText(symbol.name), '\\', '\0');
        const int lineHeight = dc.GetCharHeight();
        int y = p.y - lineHeight * static_cast<int>(lines.size()) / 2;
        for (const wxString& line : lines) {
            dc.DrawText(line, p.x - dc.GetTextExtent(line).x / 2, y);
            y += lineHeight;
        }
        return;
    }
    tools.art->Draw(dc, symbol.symbol, {p.x, p.y});
    const wxString name = DisplayText(symbol.name);
    dc.DrawText(name, p.x + kSymbolSize / 2 + 2, p.y - dc.GetCharHeight() / 2);
}

}  // namespace

void DrawMapObject(wxDC& dc, const CMapObject& object, const DrawTools& tools) {
    if (object.GetKind() == CMapObject::Kind::kPoly)
        DrawPoly(dc, static_cast<const CPolyObject&>(object), tools);
    else
        DrawSymbol(dc, static_cast<const CSymbolObject&>(object), tools);
}

}  // namespace brisvel
