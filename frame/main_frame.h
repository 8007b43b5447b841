#pragma once
// The main window: menu bar, toolbar and a fixed splitter holding the
// moving map and the position page. Its close stops the program's workers
// in order before the window goes.
//
// Workers reach it through window messages to platform::kMainFrameWindow;
// everything else here belongs to the user-interface thread.

#include <wx/frame.h>

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/settings_values.h"
#include "frame/nav_display_layout.h"
#include "platform/gui/ui_bridge.h"
#include "platform/window_messages.h"

class wxMenu;
class wxTextCtrl;

namespace map {
class CGPSmapView;
}

namespace frame {

class CGPSposView;

class CStaticSplitter;
class FrameCommands;
class ColorEdit;
class ProgramFrameTasks;
class WxFrameServices;

// The screen the window is laid out for.
struct ScreenSize {
    int width = 0;
    int height = 0;
};

// Values the main window sets when it is created.
inline int g_bPortrait = 0;         // 1: the screen is portrait (portrait dialogs too)
inline int g_nPosViewHeight = 100;  // the position page's height, portrait
inline int g_nPosViewWidth = 240;   // the position page's width, landscape
// The navigation display layout (0, 1, 2).
inline int g_nNavDisplay = 0;
// "diskSpaceWarningSize" ("Settings"): the flight log warns below it.
inline std::atomic<int> g_diskSpaceWarningSize{1000};
// "DEMheaderFile" ("Settings"): the elevation model's header file.
inline core::SharedText g_demHeaderFile;

using platform::WM_APP_RAISEFRAME;

// The command the frame inserts into its first menu: simplify the map's
// lines again.
inline constexpr int kCommandResimplifyMap = 32820;

class CMainFrame : public wxFrame {
  public:
    // Reads the start-up values ("diskSpaceWarningSize", "DEMheaderFile",
    // the IGC header texts) and loads the elevation model; a model that
    // cannot be loaded is reported and the program goes on without terrain.
    CMainFrame();
    ~CMainFrame() override;
    CMainFrame(const CMainFrame&) = delete;
    CMainFrame& operator=(const CMainFrame&) = delete;

    // Creates the window for `screen`: sized to it, with the menu bar, the
    // toolbar and the splitter with both panes from the resource bundle.
    // False when the window cannot be made.
    bool LoadFrame(ScreenSize screen);

    // The sub-menu at index of the menu bar; null when there is none.
    wxMenu* GetSubMenuAt(int index) const;
    // Applies (0) or advances (1) the navigation display layout; the state
    // in force before is stored as "lastNavDisplaySetting".
    void RestoreNavDisplay(int fromCommand);
    // The full-map layout; the pop-up moves to the map's notes window.
    void SaveNavDisplay();
    // Command 32811: the next layout, the pop-up following it.
    void OnSwitchNavDisplay();
    // The panes' share of the client area for the layouts.
    NavDisplayArea NavArea() const;
    // Before and after every modal dialog; nothing to do on the desktop.
    void EnableInputPanel(bool /*show*/, int /*flag*/) {}

    // With an FAI logger bound, the GPS port open and a logger of type 4:
    // switches the logger back to NMEA output (about 5 s).
    static void SetLoggerToNmeaMode();

    // Told when the close sequence has run, just before the window goes.
    static void SetCloseListener(std::function<void()> listener);

    wxTextCtrl* PopupText() const { return popupText_; }
    // Shows `text` in the pop-up, grown to hold its lines (never beyond its
    // pane), as content of `contentKind`; hides it again.
    void ShowPopup(const std::wstring& text, int contentKind);
    void HidePopup();
    // The commands and worker messages; null before LoadFrame.
    FrameCommands* Commands() const { return commands_.get(); }
    CStaticSplitter* Splitter() const { return splitter_; }
    // The map pane; null before the client area is made.
    map::CGPSmapView* MapView() const { return mapView_; }

    // Members the commands use.
    std::uint32_t declareState = 0;
    int declareMode = 0;
    std::array<std::uint32_t, 2> replayMenuState{};
    int keyboardMode = 0;
    int toolBarShown = 1;
    // What the pop-up shows (4: the altitude gain); it moves with the pop-up.
    int popupContentKind = 0;
    // The position page's field groups as the layout places them.
    RowOrigins rowOrigins{2, 50};
    PositionFieldRows fieldRows = FieldRowsFor({2, 50});
    int positionLayoutWord = kPageCompact;

  private:
    // The splitter and its panes; publishes the panes and the orientation.
    void CreateClient(ScreenSize screen);
    void CreateBars();
    void BindCommands();
    void ApplyNavLayout(const NavDisplayLayout& layout);
    void InsertResimplifyItem();
    std::intptr_t OnWindowMessage(const platform::WindowMessage& message);
    void OnCharHook(wxKeyEvent& event);
    void OnClose(wxCloseEvent& event);
    void OnDestroyWindow(wxWindowDestroyEvent& event);
    void StopWorkers();

    CStaticSplitter* splitter_ = nullptr;  // child
    map::CGPSmapView* mapView_ = nullptr;  // the splitter's map pane
    wxTextCtrl* popupText_ = nullptr;      // the pane's notes window shown as pop-up
    bool closing_ = false;
    platform::gui::WindowRegistration registration_;
    std::unique_ptr<WxFrameServices> services_;
    std::unique_ptr<ProgramFrameTasks> tasks_;
    std::vector<std::unique_ptr<ColorEdit>> notes_;  // the notes windows' behaviour
    std::unique_ptr<FrameCommands> commands_;
};

// The main window; null before start-up created it and after it is gone.
inline CMainFrame* g_hMainFrameWnd = nullptr;

}  // namespace frame
