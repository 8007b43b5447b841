#pragma once
// The position page: the pane of navigation texts beside the moving map,
// with the glide information panel, the terrain profile ahead and the
// waypoint-altitude edit.
//
// The rules live in PositionPageModel (frame/position_page_model.h); this
// window feeds it the pointer with the times of its clock, carries out what
// it answers, and paints: each paint copies the display texts under
// glide::DisplayTextLock, draws them on its canvas and copies the canvas to
// the screen.
//
// One instance exists while the main window does; g_pPosView points to it
// (set by the frame once the pane is created). Other threads reach it only
// through window messages to platform::kPosViewWindow:
//   WM_USER+5   draw the terrain profile (wParam 1: the leg's glide-path
//               profile; 0: along the published track; lParam is not read,
//               its senders give the track in different units); ignored
//               unless the profile is shown
//   WM_USER+10  hide the child whose id is wParam
//   WM_APP+2    glide panel: open the mode after wParam
//   WM_APP+4    circling started (lParam 1) or ended (0; wParam: finish the
//               thermal's climb)
//   WM_APP+5    the altitude tapped on the map (payload: float feet) for
//               the altitude edit
//   WM_APP+6    show the profile
//   WM_APP+7    the main window's key replays (wParam 15, 19)
// Anything else repaints the page (the fix-processing thread's new values).

#include <wx/bitmap.h>
#include <wx/window.h>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "frame/position_altitude_edit.h"
#include "frame/position_page_model.h"
#include "frame/position_painter.h"
#include "frame/position_profile.h"
#include "platform/gui/ui_bridge.h"

class wxButton;
class wxSpinEvent;
class wxTextCtrl;

namespace map {
class CGPSmapView;
}  // namespace map

namespace platform {
class Canvas;
}

namespace frame {

class PositionSpin;

class CGlideInfoWnd;
class CKeyboardEdit;

// Creates the position page's fonts from "baseSize" and "Family" again (at
// start and when the font options change); the page uses them from its
// next paint.
void CreateViewFonts();

// Which cycling values the cycling field steps through (0..10; the rest are
// spare). All on by default; start-up reads "ShowQueue".
inline std::array<int, 16> g_showQueueFlags{1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1};

// Child ids.
inline constexpr int kNotesEditId = 122;
inline constexpr int kMacCreadySpinId = 121;
inline constexpr int kAltitudeEditId = 175;
inline constexpr int kSetButtonId = 174;
inline constexpr int kTeamButtonId = 1468;

// What the page asks of the map window (UI thread): show a waypoint with
// the aircraft while its altitude is edited, follow the glider again
// afterwards, whether the map is in its thermal (zoomed) mode, and show a
// wind the pilot chose on the map's wind disc. The page starts with no map
// behind it (nothing is shown and the map is never in its thermal mode);
// the frame links it to its map window.
struct PositionMapLink {
    std::function<void(const nav::WaypointRecord&)> showObjectOnMap;
    std::function<void()> resumeMovingMap;
    std::function<bool()> inThermalMode;
    // The wind the page set is shown on the map's wind disc.
    std::function<void()> windChanged;
};
PositionMapLink FrameMapLink(map::CGPSmapView& view);

class CGPSposView : public wxWindow {
  public:
    CGPSposView(wxWindow* parent, const wxPoint& position, const wxSize& size);
    ~CGPSposView() override;
    CGPSposView(const CGPSposView&) = delete;
    CGPSposView& operator=(const CGPSposView&) = delete;

    // The pop-up notes window of the page (hidden until something is shown).
    wxTextCtrl& NotesWindow() const { return *notes_; }
    void SetFrame(wxWindow* frame) { frame_ = frame; }
    wxWindow* Frame() const { return frame_; }

    // --- What the main window calls.
    // 1: hide the team button and the altitude edit and open the glide
    // panel in its current mode; 0: close the panel. Ignored in the
    // altitude edit.
    void ShowSettingsPanel(int flag);
    // A tap on the fields at `at` (the main window's keys pass x = 8).
    void CycleFieldMode(wxPoint at);
    // The navigation layout: the two row origins and the layout word
    // (0 compact, 1 alternate, 2 hidden behind the full map).
    void SetRowOrigins(PositionRowOrigins rows, int layoutWord);
    int LayoutWord() const { return layoutWord_; }
    // The profile's source as WM_USER+5 gives it.
    void DrawTerrainProfile(bool legProfile, float trackRadians);
    void OnProfileRequest();
    // Clears the main window's pending-key state (installed by the frame).
    void SetPendingKeyReset(std::function<void()> reset);
    // Switches the flight-time format (the main window's FormatTimeToGo),
    // installed by the frame.
    std::function<void()> onFlightTimeFormat;

    ViewMode Mode() const { return model_.Mode(); }
    const PositionPageModel& Model() const { return model_; }
    CGlideInfoWnd& GlidePanel() const { return *glidePanel_; }
    CKeyboardEdit& AltitudeEdit() const { return *altitudeEdit_; }
    bool HasProfile() const { return profile_.has_value(); }
    const std::optional<ProfileDrawing>& Profile() const { return profile_; }

    void SetMapLink(PositionMapLink link) { mapLink_ = std::move(link); }

    // The pointer with the page's clock (tests install a clock of their own).
    void SetClock(std::function<PageClock()> clock) { clock_ = std::move(clock); }

    // The whole page as the next paint shows it (tests, screenshots, the
    // benchmark).
    platform::Canvas& Render();

    std::intptr_t OnWindowMessage(const platform::WindowMessage& message);

  private:
    // What the rules look at now (the stored modes others change taken over).
    PageConditions Conditions();
    void CreateChildren();
    void PlaceChildren();
    void OnPaint(wxPaintEvent& event);
    void OnLeftDown(wxMouseEvent& event);
    void OnLeftUp(wxMouseEvent& event);
    void OnLeftDoubleClick(wxMouseEvent& event);
    void OnSpin(wxSpinEvent& event);
    void Carry(Gesture gesture, platform::Point at);
    void Carry(FieldAction action);
    void OnShowPanel(int afterMode);
    void OnHideChild(int id);
    void OnCirclingChange(bool started, bool finishThermal);
    void OnShowAltitude(float feet);
    void OnReplayTap(int key);
    void OnSetValueFromEdit();
    void OnTeamCode();
    void OpenAltitudeEdit();
    void AskRequiredMacCready();
    void AskNextPoint();
    void ShowAttachments();
    void StepWindHistory(int step);
    void AdoptComputedWind();
    void RewriteTrackText();
    void RewriteTaskText();
    void StepMacCready(int steps);
    PositionTextRequest TextRequest() const;
    PositionPaint PaintState(const PageConditions& conditions);

    PositionPageModel model_;
    wxWindow* frame_ = nullptr;
    int layoutWord_ = 0;
    std::function<PageClock()> clock_;
    std::function<void()> pendingKeyReset_;
    PositionMapLink mapLink_;

    // Children, owned by the window.
    wxTextCtrl* notes_ = nullptr;
    CGlideInfoWnd* glidePanel_ = nullptr;
    CKeyboardEdit* altitudeEdit_ = nullptr;
    wxButton* setButton_ = nullptr;
    wxButton* teamButton_ = nullptr;
    PositionSpin* spin_ = nullptr;

    // The altitude edit's waypoint and what it saved of MacCready.
    std::optional<AltitudeEditTarget> editTarget_;
    float savedManualMacCready_ = 1.0F;
    int savedAutoSetMacCready_ = 0;

    // The terrain profile: the point buffer and the last layout.
    std::vector<float> profileBuffer_;
    std::optional<ProfileDrawing> profile_;
    std::wstring profileLabel_;

    std::unique_ptr<platform::Canvas> canvas_;
    wxBitmap bitmap_;
    platform::gui::WindowRegistration registration_;
};

// The position page; null before the frame created it and after it is gone.
inline CGPSposView* g_pPosView = nullptr;

}  // namespace frame
