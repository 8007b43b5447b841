#include "tools/brisvel/gui/brisvel_view.h"

#include <wx/dcbuffer.h>

#include "tools/brisvel/gui/map_object_draw.h"

namespace brisvel {

CBrisvelView::CBrisvelView(wxWindow* parent, const CShapeDocument& document, Mode mode, const SymbolArt& art,
                           const wxFont& labelFont)
    : wxWindow(parent, wxID_ANY, wxDefaultPosition, wxSize(300, 300), wxFULL_REPAINT_ON_RESIZE),
      document_(document),
      mode_(mode),
      art_(art),
      labelFont_(labelFont) {
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    Bind(wxEVT_PAINT, &CBrisvelView::OnPaint, this);
    Bind(wxEVT_SIZE, &CBrisvelView::OnSize, this);
    Fit();
}

void CBrisvelView::Fit() {
    const wxSize size = GetClientSize();
    FitViewTransform(transform_, document_.MinX(), document_.MinY(), document_.MaxX(), document_.MaxY(), size.x,
                     size.y);
}

void CBrisvelView::OnSize(wxSizeEvent& event) {
    Fit();
    Refresh();
    event.Skip();
}

void CBrisvelView::OnPaint(wxPaintEvent& /*event*/) {
    wxAutoBufferedPaintDC dc(this);
    dc.SetBackground(*wxWHITE_BRUSH);
    dc.Clear();
    const ScreenPoint a = LatLonToScreen(document_.MinX(), document_.MaxY(), transform_);
    const ScreenPoint b = LatLonToScreen(document_.MaxX(), document_.MinY(), transform_);
    if (b.x - a.x > 3 && b.y - a.y > 3) {
        dc.SetPen(*wxLIGHT_GREY_PEN);
        dc.SetBrush(*wxTRANSPARENT_BRUSH);
        dc.DrawRectangle(a.x, a.y, b.x - a.x, b.y - a.y);
    }
    const DrawTools tools{&transform_, &art_, labelFont_, *wxWHITE};
    if (mode_ == Mode::kFullMap) {
        for (const auto& object : document_.Added()) DrawMapObject(dc, *object, tools);
    } else if (const CMapObject* current = document_.CurrentObject()) {
        DrawMapObject(dc, *current, tools);
    }
}

}  // namespace brisvel
