#pragma once
// The map window: the moving-map pane of the main window's splitter.
//
// One instance exists while the main window does; the frame owns it and
// hands it on (CMainFrame::MapView()), and start-up gives it to those who
// use it (app/map_view_links.h). Other threads reach
// it only through window messages to platform::kMapViewWindow; its members
// belong to the user-interface thread unless they say otherwise.
//
// It owns the map (map file, element lists), the view model, the read,
// render and alarm threads and the loader, its child controls, and the
// timer whose duties (map_timer_duties.h) keep the aircraft, the zone alarm
// and the warnings current between fixes. Nothing here draws outside the
// paint handler: the render thread draws into a canvas of its own and hands
// it over; the paint composes the last finished one with the overlays, the
// aircraft and the children.

#include <wx/bitmap.h>
#include <wx/font.h>
#include <wx/timer.h>
#include <wx/window.h>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/settings_values.h"
#include "glide/reachable_outline.h"
#include "gps/nav_fix.h"
#include "map/map_buttons.h"
#include "map/map_child_layout.h"
#include "map/map_command_dialogs.h"
#include "map/map_input_logic.h"
#include "map/map_lists.h"
#include "map/map_redraw_state.h"
#include "map/map_timer_duties.h"
#include "map/map_view_model.h"
#include "map/map_view_rules.h"
#include "map/map_view_settings.h"
#include "map/tap_info.h"
#include "mapdata/map_element_draw.h"
#include "platform/gui/ui_bridge.h"

class wxTextCtrl;
class wxButton;

namespace map {

// Lowers the number of track points the map draws to maxPoints when it is
// above it.
void LimitTrackPoints(int maxPoints);
int TrackPointLimit();

// "MapFile" ("Settings"): the map file loaded at start-up.
inline core::SharedText g_mapFileName;
// "OverlayFile" ("Settings").
inline core::SharedText g_overlayFileName;

// "LoadMapAtStartup" ("Options\Miscellaneous"): the map file is read at
// start-up.
inline std::atomic<int> g_loadMapAtStartup{1};
// "mapSimplifyDistance" ("Options\Maps", 4 bytes): kilometres.
inline std::atomic<float> g_mapSimplifyDistance{0.75F};

// The map window's display mode (0..3), for the fix thread to read.
inline std::atomic<int> g_mapDisplayMode{0};

// What WM_APP_MAPFOCUS carries: the point to show and the radius round it.
struct MapFocusRequest {
    nav::WaypointRecord target;
    float radiusKm = 0.0F;
};

// The pilot closed the map's information with its Close button.
inline std::atomic<int> g_infoClosed{0};

// 1 once the map window has handled the first committed fix.
inline std::atomic<int> g_bHaveFix{0};
// The track drawing goes on from where it stopped (cleared when the whole
// map is to be drawn again, and at exit).
inline std::atomic<int> g_bTrackDrawContinue{0};
// The replay waits while the pilot holds the glide-mode button during a
// replay.
inline std::atomic<int> g_replayHold{0};

// What the timer reads of the rest of the program; each may be empty (then
// the duty that needs it stays idle). UI thread.
struct MapTimerSources {
    std::function<SpeedDirectorInput()> speedDirector;
    std::function<bool()> circling;
    // The frame's popup: shown, of which kind; show text as kind; hide.
    std::function<PopupState()> popup;
    std::function<void(const std::wstring&, int)> showPopup;
    std::function<void()> hidePopup;
    // The no-fix mark of the position page: set or cleared.
    std::function<void(bool)> setNoFixMark;
    std::function<bool()> noFixMarkSet;
    // A task is flown (nothing without one); map_timer_inputs.h.
    using TaskState = TaskWarningInput;
    std::function<std::optional<TaskState>()> task;
    // The configured destination sound (empty: none).
    std::function<std::wstring()> destinationSound;
    // The popup text of the alarmed zone (altitude band and note).
    std::function<std::wstring(const mapdata::CMapElement&)> zoneText;
    std::function<std::wstring(const mapdata::CMapElement&)> zoneSound;
    // The OLC's AddOlcPoint.
    std::function<void(const nav::WaypointRecord&)> olcPoint;
    // The first fix: the speed-to-fly text, the OLC worker started.
    std::function<void()> firstFix;
    // A new destination: the speed-to-fly text again, and a running OLC
    // search toward the old one abandoned.
    std::function<void()> destinationChanged;
    // A dropped point joined the waypoint list (the list's window redraws).
    std::function<void()> waypointsChanged;
    // The position page shows the moved task point's values.
    std::function<void()> repaintPositionPage;
};

// Plays a sound file through the sound queue (SoundLock, 3000 ms).
class QueueSoundSink final : public SoundSink {
  public:
    void Play(const std::wstring& fileName) override;
};

struct MapExportSite;

class CGPSmapView : public wxWindow {
  public:
    // Creates the pane in `parent`, reads the map settings, creates the
    // children and starts the timer.
    CGPSmapView(wxWindow* parent, const wxPoint& position, const wxSize& size);
    ~CGPSmapView() override;
    CGPSmapView(const CGPSmapView&) = delete;
    CGPSmapView& operator=(const CGPSmapView&) = delete;

    // Redraws the whole map at once (unless a partial redraw is pending).
    void RequestMapRedraw();

    // Starts reading a map file (`option` 1 at start-up, 0 from the
    // command); 1 when a read started.
    int LoadMapFile(const std::wstring& fileName, int option);
    // Runs the user interface's events in 10 ms steps until the drawing and
    // the map reader are done.
    void WaitForMapReady(bool waitForElements, bool waitForDrawing);
    // No map read runs, nor waits for its end to be handled. Any thread.
    bool MapReadDone() const { return mapReadDone_.load(); }
    // A map was loaded and its read has finished: the map may be used.
    bool MapReady() const { return mapLoaded_ && MapReadDone(); }
    // At exit: cuts a running map read short and waits for it to end (the
    // lists keep what was read); the read counts as done.
    void StopMapRead();

    // (Re)starts the timer; a box over the main window when none can be had.
    void StartMapTimer(int intervalMs);
    // Stops the timer.
    void KillMapTimer();
    bool MapTimerRunning() const { return timerId_ != 0; }
    // The timer's period: "CursorBlinkTime", or what StartMapTimer was given.
    int MapTimerIntervalMs() const { return timerIntervalMs_; }

    // The label font from the font settings ("Family", "baseMapSize",
    // "mapBold"); refreshes the window.
    void CreateLabelFont();
    void SetMapMargin(float fraction);
    // Layout class 2 only: the zoom and centre buttons by the navigation
    // display; then the toolbar button at the bottom left.
    void LayoutButtons(bool showToolbarButton);

    // Display modes 0..3 (1 and 2 refused before the first fix).
    int DisplayMode() const { return model_.displayMode; }
    void SetMapDisplayMode(int mode);
    void ToggleZoomedMap();
    void ZoomMap(bool zoomIn);
    void FlipMap();
    void CenterMapOnFix();
    void ResumeMovingMap();
    // Mode 2 shows target with radiusKm round it; mode 0 follows the
    // aircraft again (the fix thread's zoom near the destination).
    void FocusMapOn(const nav::WaypointRecord& target, float radiusKm, int mode);
    // A track to turn to (track up), or < 0 for the Flip Map button.
    void SetMapRotation(float angle);
    bool MapFileOpen() const;
    // The frame's drop-waypoint command: the point is written to the map
    // file and the map drawn again; false without a loaded, writable map.
    bool AppendWaypointToMap(const nav::WaypointRecord& record);
    // Shows an object's box with the aircraft (mode 3).
    void ShowObjectOnMap(const core::GeoBox& object);
    // The glide-mode button's picture, one of map_view_rules.h's kGlide...
    // values (replay running, polar in use, not used, constant glide speed).
    int GlideModeImage() const { return glideModeImage_; }
    // Makes `image` the glide-mode button's picture and shows it.
    void ShowGlideModeImage(int image);
    // The glide-mode button shows GlideModeImage().
    void RedrawGlideModeButton();
    // Paints the current state at once (replay).
    void PaintNow();
    // Draws the task layer anew for the current transform and repaints.
    void RenderMapToBackBuffer();

    // The map's file commands, with the dialogs the frame gives: the two
    // exports (a loaded map whose read has finished) and the overlay file.
    void ExportBinaryMap(MapCommandDialogs& dialogs);
    void ExportBitmap(MapCommandDialogs& dialogs);
    void ChooseOverlayFile(MapCommandDialogs& dialogs);
    // The overlay's lists (type-27 layer and overlay) hold an element.
    bool OverlayHasElements() const;

    // The end of start-up: the first-fix handler runs from now on.
    void StartupDone() { starting_ = false; }

    // Lays the children out again for the frame's screen-layout class (0 to
    // 2) and the text buttons' width (64, 68 or 70 by language).
    void LayChildren(int screenLayoutClass, int textButtonWidth);
    // The FLARM traffic window (id 1300), or null without FLARM.
    wxWindow* FlarmWindow() const { return flarmWindow_; }

    // --- The frame's map commands.
    // Simplifies the type-17 and the general elements (rescale): with the
    // drawing stopped, under MapListLock, and only when the read finished.
    // False when the read is still running.
    bool SimplifyElements(double tolerance, double maxGap);
    // The map file is a binary map.
    bool BinaryMapLoaded() const;
    // The map file's point records, for the conversion to waypoints.
    mapdata::CMapFile& MapFile() { return mapFile_; }
    // The new-waypoint dialog's map points: a text map that may be written
    // takes their lines; the point (a symbol of code 1 and up, a label of
    // -5) is drawn at once.
    bool MapPointsWritable() const;
    bool AppendMapPointLines(std::wstring_view lines);
    void AddMapPoint(const nav::WaypointRecord& record, int code);
    // The point records of the map (dropped points and markers, codes -11
    // and below) for their conversion to map points: a text map's records
    // in file order, a binary map's marker elements in list order.
    struct PointRecord {
        nav::WaypointRecord position;
        std::int32_t code = 0;
        std::optional<std::uint64_t> lineStart;  // text maps
    };
    std::vector<PointRecord> PointRecords();
    // The record's element is on the map (same code, position within 1e-8).
    bool HasPointElement(const PointRecord& record);
    // Takes the record off the map: its element is removed and a text
    // map's line commented out. False when either could not be done.
    bool RemovePointRecord(const PointRecord& record);
    // A binary map written again from the lists (after a conversion).
    bool RewriteBinaryMap();
    // Runs `change` on the element lists under MapListLock with the drawing
    // stopped (the read must have finished); then draws the map anew.
    bool ChangeElements(const std::function<void(MapLists&)>& change);

    // --- Test and tool hooks.
    void SetClock(SteadyClock clock) { clock_ = std::move(clock); }
    void SetSoundSink(SoundSink* sink) { sound_ = sink != nullptr ? sink : &queueSound_; }
    MapTimerSources& TimerSources() { return sources_; }
    // One tick of the timer's duties.
    void TimerTick();
    // A stylus press and release at client points.
    void PointerDown(wxPoint at);
    void PointerUp(wxPoint at);
    std::intptr_t HandleMessage(const platform::WindowMessage& message) { return OnWindowMessage(message); }
    MapViewModel& Model() { return model_; }
    wxWindow* Child(int id) const { return FindWindow(id); }
    const std::vector<PickedObject>& Picked() const { return picked_; }
    // The flags of the zone the alarm thread reports (0 without one).
    std::uint32_t ZoneFlagsOfAlarm() const;
    // The window's last paint, as pixels (for screenshots).
    bool LastFrame(wxBitmap& bitmap) const;

    wxTextCtrl& NotesWindow() const { return *notes_; }
    // What the next paint has to draw.
    MapRedrawState& Redraw() { return redraw_; }
    void SetFrame(wxWindow* frame) { frame_ = frame; }
    wxWindow* Frame() const { return frame_; }

    // --- Settings.
    // What the window was made with ("Options\Maps" and the like), as the
    // options pages changed it since.
    const MapViewSettings& Settings() const { return settings_; }
    // The options pages' changes: the window draws with them from its next
    // drawing, its zoom factor and zoomed view included.
    void ApplySettings(const MapViewSettings& changed);

    // --- The reachable outline drawn over the map.
    // Start-up wires its fix source, projector and window to this one.
    glide::CReachableOutline& ReachableOutline() { return reachableOutline_; }
    bool ReachableOutlineShown() const { return reachableOutline_.Shown(); }
    void ShowReachableOutline(bool shown) { reachableOutline_.SetShown(shown); }
    // The glide figures changed: the outline is computed anew.
    void RecomputeReachableOutline() { reachableOutline_.Restart(); }
    // At exit: asks its worker to stop and waits up to timeoutSeconds.
    void StopReachableOutline(int timeoutSeconds) { reachableOutline_.StopThread(timeoutSeconds); }

  private:
    struct Engine;

    std::intptr_t OnWindowMessage(const platform::WindowMessage& message);
    void CreateChildren();
    void CreateFlarmWindow();
    void CloseFlarmWindow();
    // The file dialog "Map File" of the map choice ("extIndex").
    std::optional<std::wstring> ChooseMapFileName();
    void OnPaint(wxPaintEvent& event);
    void OnTimer(wxTimerEvent& event);
    void OnSize(wxSizeEvent& event);
    void OnDestroy(wxWindowDestroyEvent& event);
    void OnLeftDown(wxMouseEvent& event);
    void OnLeftUp(wxMouseEvent& event);
    void OnButton(wxCommandEvent& event);
    void OnIconButton(int id, bool pressed);
    void OnFixCommitted();
    // The default map around the aircraft, after the first fix.
    bool OpenDefaultMap();
    // Fills the zoomed view's slot from the moving map once a map is loaded.
    void PrepareZoomedSlot();
    void OnNewNavValues(std::uintptr_t wParam, std::intptr_t lParam);
    void OnAlarmHold(std::uintptr_t wParam);
    // A row of the goto list: that object becomes the destination.
    void OnPickRow(std::size_t row);
    void HidePickList();
    void OnCirclingChanged(bool zoomIn);
    void RecentreOnAircraft(const nav::WaypointRecord& fix);
    void OnDestinationChanged();
    void OnMapKey(int key, std::intptr_t lParam);
    void TapAt(wxPoint at);
    void MoveTaskTargetTo(const nav::WaypointRecord& tapped);
    void StartRender();
    // Runs an export command on this window's finished map, then redraws.
    void RunExport(void (*command)(MapExportSite&, MapCommandDialogs&), MapCommandDialogs& dialogs);
    void MapChanged();
    void StopThreads();
    void UpdateAircraftSprite();
    // The live track: the newest point on the finished frame.
    void DrawNewestTrackPoint();
    void ZoneAlarmDuty(SteadyMs now, bool& soundStarted);
    void TaskWarningDuty(SteadyMs now);

    wxWindow* frame_ = nullptr;
    wxTextCtrl* notes_ = nullptr;  // owned by the window (infoBox, 122)
    CIconButton* flip_ = nullptr;
    CIconButton* zoom_ = nullptr;
    CIconButton* center_ = nullptr;
    CIconButton* replay_ = nullptr;
    CIconButton* toolbar_ = nullptr;
    CHoldButton* alarmAck_ = nullptr;
    wxButton* pickList_ = nullptr;
    CWaypointPickButton* goto_ = nullptr;
    wxButton* back_ = nullptr;
    wxButton* close_ = nullptr;
    CPictureWnd* picture_ = nullptr;
    wxWindow* flarmWindow_ = nullptr;  // the FLARM library's, a child of this
    wxTimer timer_;
    wxFont labelFont_;
    platform::gui::WindowRegistration registration_;

    mapdata::CMapFile mapFile_;
    MapViewModel model_{mapFile_};
    std::unique_ptr<Engine> engine_;
    wxBitmap frameBitmap_;
    MapRedrawState redraw_;
    bool starting_ = true;
    bool destroyed_ = false;
    PixelPoint downPoint_ = kNoPress;
    glide::CReachableOutline reachableOutline_;
    MapViewSettings settings_;
    std::atomic<bool> mapReadDone_{true};
    bool mapLoaded_ = false;  // a map read was started
    int timerId_ = 0;         // 0: no timer
    int timerIntervalMs_ = 400;
    int glideModeImage_ = 5;
    int layoutClass_ = 0;  // the frame's screen-layout class, 0..2 (LayChildren)
    // The frame's navigation display (0 full, 1 and 2 the alternates), which
    // places the zoom and centre buttons and the wind disc in layout class
    // 2. Nothing hands the frame's state on yet, so it stays 0.
    int navDisplay_ = 0;
    int labelBottom_ = 190;  // the scale text's bottom line

    SteadyClock clock_ = SteadyNow;
    QueueSoundSink queueSound_;
    SoundSink* sound_ = &queueSound_;
    MapTimerSources sources_;
    ZoneAlarmAnnouncer zoneAlarm_;
    DestinationSound destinationSound_;
    TaskAltitudeWarning taskWarning_;
    OlcFeed olcFeed_;
    std::uintptr_t zoneSeen_ = 0;
    // The objects of the last tap, as copies.
    std::vector<PickedObject> picked_;
};

// The fix age in hours.
using gps::g_fixAgeHours;

}  // namespace map
