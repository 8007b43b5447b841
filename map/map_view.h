#pragma once
// The map window: the moving-map pane of the main window's splitter.
//
// One instance exists while the main window does; g_pMapView points to it
// (set by the frame once the pane is created). Other threads reach it only
// through window messages to platform::kMapViewWindow; its members belong
// to the user-interface thread unless they are atomics.

#include <wx/font.h>
#include <wx/timer.h>
#include <wx/window.h>

#include <array>
#include <atomic>
#include <string>

#include "core/settings_values.h"
#include "glide/reachable_outline.h"
#include "platform/gui/ui_bridge.h"

class wxTextCtrl;

namespace map {

// Creates the map's label font again from "Family", "baseMapSize" and
// "mapBold" (when the map window exists).
void CreateMapFont();

// Lowers the number of track points the map draws to maxPoints when it is
// above it.
void LimitTrackPoints(int maxPoints);
int TrackPointLimit();

// "MapFile" ("Settings"): the map file loaded at start-up.
inline core::SharedText g_mapFileName;

// "LoadMapAtStartup" ("Options\Miscellaneous"): the map file is read at
// start-up.
inline std::atomic<int> g_loadMapAtStartup{1};
// "mapSimplifyDistance" ("Options\Maps", 4 bytes): kilometres.
inline std::atomic<float> g_mapSimplifyDistance{0.75F};

// 1 once the map window has handled the first committed fix.
inline std::atomic<int> g_bHaveFix{0};
// The track drawing goes on from where it stopped (cleared when the whole
// map is to be drawn again, and at exit).
inline std::atomic<int> g_bTrackDrawContinue{0};

class CGPSmapView : public wxWindow {
  public:
    // Creates the pane in `parent` and reads the map settings ("Options\Maps"
    // "CursorBlinkTime", "Settings" "MapFile"); starts the timer.
    CGPSmapView(wxWindow* parent, const wxPoint& position, const wxSize& size);
    ~CGPSmapView() override;
    CGPSmapView(const CGPSmapView&) = delete;
    CGPSmapView& operator=(const CGPSmapView&) = delete;

    // Redraws the whole map at once (unless a partial redraw is pending);
    // 0 when there is no map window.
    static int RequestMapRedraw();

    // Starts reading a map file (`option` 1 at start-up, 0 from the
    // command); the result of the choice of file.
    int LoadMapFile(const std::wstring& fileName, int option);
    // Runs the user interface's events in 10 ms steps until the map reader
    // is done.
    void WaitForMapReady(bool /*waitForElements*/, bool /*waitForDrawing*/);

    // (Re)starts the timer; a box over the main window when none can be had.
    void StartMapTimer(int intervalMs);
    // Stops the timer; its id becomes 0.
    void KillMapTimer();

    // The label font from the font settings; refreshes the window.
    void CreateLabelFont();

    wxTextCtrl& NotesWindow() const { return *notes_; }
    void SetFrame(wxWindow* frame) { frame_ = frame; }
    wxWindow* Frame() const { return frame_; }

    // --- State that start-up, the frame and other panes read or set.
    std::atomic<int> mapReaderStop{0};
    std::atomic<int> mapReaderDone{1};  // no read running
    int timerId = 0;                    // 0: no timer
    int timerIntervalMs = 400;          // "CursorBlinkTime"
    int drawingValid = 0;               // 0: rebuild every layer on the next paint
    int relayout = 0;                   // 1 while the frame changes the map contents
    int partialRedraw = 0;              // a partial redraw is pending
    int fullRedraw = 0;                 // the next paint draws everything
    int redrawState = 0;                // cleared with the first redraw request
    std::array<int, 4> sizeFields{16, 16, 16, 16};
    int glideModeImage = 5;  // 6 polar in use, 7 not used, 8 constant glide speed
    int usableHeight = 0;    // set by the frame after every layout change
    int mapReady = 0;        // a map has been loaded
    glide::CReachableOutline reachableOutline;

  private:
    std::intptr_t OnWindowMessage(const platform::WindowMessage& message);
    void OnPaint(wxPaintEvent& event);
    void OnTimer(wxTimerEvent& event);

    wxWindow* frame_ = nullptr;
    wxTextCtrl* notes_ = nullptr;  // owned by the window
    wxTimer timer_;
    wxFont labelFont_;
    platform::gui::WindowRegistration registration_;
};

// The map window; null before the frame created it and after it is gone.
inline CGPSmapView* g_pMapView = nullptr;

}  // namespace map
