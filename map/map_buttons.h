#pragma once
// The map window's small controls: CIconButton (one icon of the map icon
// table, reporting press and release), CHoldButton (reports a long press)
// CPictureWnd (a picture fitted into a box, reporting a tap) and
// CWaypointPickButton (the goto list of a tap's objects). They
// report to the map window by posting to its window id, as the map's other
// senders do. UI thread only; their timing logic is map_input_logic.h.

#include <wx/bitmap.h>
#include <wx/button.h>
#include <wx/window.h>

#include <functional>
#include <string>
#include <vector>

#include "core/waypoint_record.h"
#include "map/map_input_logic.h"
#include "mapdata/picture_dib.h"
#include "platform/window_messages.h"

namespace map {

// The steady clock in milliseconds; tests put their own in.
using SteadyClock = std::function<SteadyMs()>;
SteadyMs SteadyNow();

class CIconButton : public wxWindow {
  public:
    // The map window's id receives WM_USER_ICONBUTTON (wParam the control
    // id, lParam 1 pressed, 0 released).
    CIconButton(wxWindow* parent, int id, const wxString& caption, int iconIndex, int debounceMs,
                platform::WindowId report, SteadyClock clock = SteadyNow);

    void SetIconIndex(int index);
    int IconIndex() const { return iconIndex_; }
    // An accepted press also asks the map for a full redraw.
    void SetRedrawMapOnPress(std::function<void()> redraw) { redrawMap_ = std::move(redraw); }
    bool DrawnPressed() const { return offsetX_ != 0; }

    // The pointer handlers (public for the synthetic events of tests).
    void OnLeftDown(wxMouseEvent& event);
    void OnLeftUp(wxMouseEvent& event);

  private:
    void OnPaint(wxPaintEvent& event);

    int iconIndex_;
    IconButtonDebounce debounce_;
    platform::WindowId report_;
    SteadyClock clock_;
    std::function<void()> redrawMap_;
    int offsetX_ = 0;
    int offsetY_ = 0;
};

class CHoldButton : public wxButton {
  public:
    // report receives WM_APP_MAPHOLD (wParam reportWParam, lParam the
    // control id) after a press on this button held more than 1500 ms.
    CHoldButton(wxWindow* parent, int id, const wxString& caption, platform::WindowId report,
                int reportWParam, SteadyClock clock = SteadyNow);

    void OnLeftDown(wxMouseEvent& event);
    void OnLeftUp(wxMouseEvent& event);

  private:
    HoldPress hold_;
    platform::WindowId report_;
    int reportWParam_;
    SteadyClock clock_;
};

class CPictureWnd : public wxWindow {
  public:
    static constexpr unsigned kEmptyColour = 0xC0C0C0;
    // A tap posts WM_USER_HIDEPOPUP to report, wParam this window's id.
    CPictureWnd(wxWindow* parent, int id, const wxPoint& position, const wxSize& size,
                platform::WindowId report);

    // 1 when loaded or already shown, 0 when the file could not be read
    // (the picture and its name shown before stay).
    int LoadPicture(const std::wstring& fileName);
    // Fits the window around the picture inside width x height.
    void FitToSize(int width, int height);
    const std::wstring& FileName() const { return fileName_; }
    bool HasPicture() const { return bitmap_.IsOk(); }
    int ReadCount() const { return reads_; }

    void OnLeftUp(wxMouseEvent& event);

  private:
    void OnPaint(wxPaintEvent& event);

    platform::WindowId report_;
    PixelSize wanted_{200, 180};
    PixelSize pictureSize_;
    std::wstring fileName_;
    wxBitmap bitmap_;
    int reads_ = 0;
};

// The goto list: one row per object a tap picked, its value (the arrival)
// and its name; a click posts WM_USER_PICKROW with the row to the map
// window. The button grows with its rows.
class CWaypointPickButton final : public wxWindow {
  public:
    CWaypointPickButton(wxWindow* parent, wxWindowID id, const wxPoint& position, const wxSize& size);
    void AddRow(const nav::WaypointRecord& record, const std::wstring& text);
    void RemoveAllRows();
    int RowCount() const { return static_cast<int>(rows_.size()); }
    const nav::WaypointRecord& Row(int index) const { return rows_.at(static_cast<std::size_t>(index)); }
    const std::wstring& RowText(int index) const { return texts_.at(static_cast<std::size_t>(index)); }
    // The click handling (exposed for tests): the row posted, or -1.
    int ClickAt(int y);

  private:
    void OnPaint(wxPaintEvent& event);
    void OnLeftUp(wxMouseEvent& event);

    int rowHeight_ = kPickRowHeight;
    std::vector<nav::WaypointRecord> rows_;
    std::vector<std::wstring> texts_;
};

}  // namespace map
