#include "frame/static_splitter.h"

#include <wx/dcclient.h>
#include <wx/settings.h>

namespace frame {
namespace {

void Place(wxWindow* pane, const platform::PixelRect& rect) {
    if (pane != nullptr) pane->SetSize(rect.left, rect.top, rect.Width(), rect.Height());
}

}  // namespace

CStaticSplitter::CStaticSplitter(wxWindow* parent, bool portrait, int positionLength)
    : wxWindow(parent, wxID_ANY), portrait_(portrait), positionLength_(positionLength) {
    SetBackgroundColour(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNFACE));
    Bind(wxEVT_SIZE, &CStaticSplitter::OnSize, this);
    Bind(wxEVT_PAINT, &CStaticSplitter::OnPaint, this);
}

void CStaticSplitter::SetPanes(wxWindow* map, wxWindow* position) {
    map_ = map;
    position_ = position;
    LayoutPanes();
}

void CStaticSplitter::SetPaneLengths(int mapLength, int positionLength) {
    mapLength_ = mapLength;
    positionLength_ = positionLength;
    LayoutPanes();
}

PaneLayout CStaticSplitter::CurrentLayout() const {
    const wxSize client = GetClientSize();
    if (mapLength_ < 0) {
        return SplitClientArea(portrait_, client.x, client.y, positionLength_, positionLength_);
    }
    return FixedSplit(portrait_, client.x, client.y, mapLength_, positionLength_);
}

void CStaticSplitter::OnSize(wxSizeEvent& event) {
    LayoutPanes();
    event.Skip();
}

void CStaticSplitter::OnPaint(wxPaintEvent& /*event*/) {
    // The gap shows the window's face colour (its background).
    wxPaintDC dc(this);
}

void CStaticSplitter::LayoutPanes() {
    const PaneLayout layout = CurrentLayout();
    Place(map_, layout.map);
    Place(position_, layout.position);
}

}  // namespace frame
