#include "tools/brisvel/gui/symbol_art.h"

#include <wx/dcmemory.h>

#include <array>

#include "platform/gui/canvas_bitmap.h"

namespace brisvel {
namespace {

constexpr int kLabelIcon = -5;

// The figure of a built-in symbol: a shape and a colour per slot.
enum class Figure { kCircle, kSquare, kTriangle, kDiamond, kCross };
struct BuiltIn {
    Figure figure;
    wxColour colour;
};

const std::array<BuiltIn, 16>& BuiltIns() {
    static const std::array<BuiltIn, 16> table{{
        {Figure::kCross, *wxBLACK},        {Figure::kTriangle, wxColour(0, 128, 0)},
        {Figure::kCircle, *wxBLUE},        {Figure::kSquare, *wxRED},
        {Figure::kDiamond, wxColour(128, 0, 128)}, {Figure::kTriangle, *wxRED},
        {Figure::kCircle, wxColour(0, 128, 128)},  {Figure::kSquare, *wxBLUE},
        {Figure::kDiamond, wxColour(128, 128, 0)}, {Figure::kCircle, *wxBLACK},
        {Figure::kTriangle, *wxBLUE},      {Figure::kSquare, wxColour(0, 128, 0)},
        {Figure::kDiamond, *wxRED},        {Figure::kCircle, wxColour(255, 0, 255)},
        {Figure::kSquare, *wxBLACK},       {Figure::kTriangle, wxColour(128, 0, 0)},
    }};
    return table;
}

void DrawFigure(wxDC& dc, const BuiltIn& symbol, wxPoint c, int size) {
    const int r = std::max(size / 2 - 3, 3);
    dc.SetPen(wxPen(symbol.colour, 2));
    dc.SetBrush(wxBrush(symbol.colour.ChangeLightness(170)));
    switch (symbol.figure) {
        case Figure::kCircle: dc.DrawCircle(c, r); break;
        case Figure::kSquare: dc.DrawRectangle(c.x - r, c.y - r, 2 * r, 2 * r); break;
        case Figure::kTriangle: {
            const wxPoint points[] = {{c.x, c.y - r}, {c.x + r, c.y + r}, {c.x - r, c.y + r}};
            dc.DrawPolygon(3, points);
            break;
        }
        case Figure::kDiamond: {
            const wxPoint points[] = {{c.x, c.y - r}, {c.x + r, c.y}, {c.x, c.y + r}, {c.x - r, c.y}};
            dc.DrawPolygon(4, points);
            break;
        }
        case Figure::kCross:
            dc.DrawLine(c.x - r, c.y, c.x + r, c.y);
            dc.DrawLine(c.x, c.y - r, c.x, c.y + r);
            break;
    }
}

// The label mark: the letter A, a text without a symbol.
void DrawLabelMark(wxDC& dc, wxPoint c, int size) {
    wxFont font(wxFontInfo(std::max(size / 2, 6)).Bold());
    dc.SetFont(font);
    dc.SetTextForeground(*wxBLACK);
    const wxSize extent = dc.GetTextExtent("A");
    dc.DrawText("A", c.x - extent.x / 2, c.y - extent.y / 2);
}

}  // namespace

SymbolArt::SymbolArt(const std::vector<mapdata::UserSymbol>& users) {
    for (const mapdata::UserSymbol& user : users) {
        wxImage image = platform::gui::ToWxImage(user.bitmap.ToImage());
        if (!image.IsOk()) continue;
        image.SetMaskColour(user.transparent.red, user.transparent.green, user.transparent.blue);
        if (image.GetWidth() != kSymbolSize || image.GetHeight() != kSymbolSize)
            image.Rescale(kSymbolSize, kSymbolSize);
        users_.emplace_back(image);
    }
}

void SymbolArt::Draw(wxDC& dc, int number, wxPoint centre, int size) const {
    if (number == kLabelIcon) {
        DrawLabelMark(dc, centre, size);
        return;
    }
    const mapdata::SymbolChoice choice = mapdata::ResolveSymbol(number, UserCount());
    if (choice.kind == mapdata::SymbolChoice::Kind::kUser) {
        const wxBitmap& bitmap = users_[static_cast<std::size_t>(choice.index)];
        dc.DrawBitmap(bitmap, centre.x - bitmap.GetWidth() / 2, centre.y - bitmap.GetHeight() / 2, true);
        return;
    }
    const int slot = choice.index >= 0 && choice.index < 16 ? choice.index : 0;
    DrawFigure(dc, BuiltIns()[static_cast<std::size_t>(slot)], centre, size);
}

}  // namespace brisvel
