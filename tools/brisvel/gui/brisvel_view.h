#pragma once
// One view of a document: the whole file with every added object, or the
// current object alone, fitted into the window (white background, the
// shapefile's box as a rectangle). UI thread.

#include <wx/font.h>
#include <wx/window.h>

#include "tools/brisvel/gui/symbol_art.h"
#include "tools/brisvel/shape_document.h"
#include "tools/brisvel/view_transform.h"

namespace brisvel {

class CBrisvelView final : public wxWindow {
  public:
    enum class Mode { kFullMap, kCurrentObject };

    CBrisvelView(wxWindow* parent, const CShapeDocument& document, Mode mode, const SymbolArt& art,
                 const wxFont& labelFont);
    Mode GetMode() const { return mode_; }
    const ViewTransform& Transform() const { return transform_; }

  private:
    void OnPaint(wxPaintEvent& event);
    void OnSize(wxSizeEvent& event);
    void Fit();

    const CShapeDocument& document_;
    Mode mode_;
    const SymbolArt& art_;
    const wxFont& labelFont_;
    ViewTransform transform_;
};

}  // namespace brisvel
