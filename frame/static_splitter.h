#pragma once
// The main window's splitter: two panes with a fixed 4-pixel gap between
// them, which the user cannot move. On every resize the position page keeps
// its height (portrait) or width (landscape) and the map takes the rest.

#include <wx/window.h>

#include "frame/split_layout.h"

namespace frame {

class CStaticSplitter : public wxWindow {
  public:
    // positionLength: the position page's height (portrait) or width.
    CStaticSplitter(wxWindow* parent, bool portrait, int positionLength);

    // The panes, created as children of this window.
    void SetPanes(wxWindow* map, wxWindow* position);

    // Fixes the lengths along the split (the navigation display layouts);
    // the gap is what the client area leaves between them.
    void SetPaneLengths(int mapLength, int positionLength);

    // The layout for the present client size.
    PaneLayout CurrentLayout() const;
    bool Portrait() const { return portrait_; }

  private:
    void OnSize(wxSizeEvent& event);
    void OnPaint(wxPaintEvent& event);
    void LayoutPanes();

    bool portrait_;
    int positionLength_;
    int mapLength_ = -1;  // -1: the map takes what the position page leaves
    wxWindow* map_ = nullptr;       // child
    wxWindow* position_ = nullptr;  // child
};

}  // namespace frame
