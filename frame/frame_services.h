#pragma once
// What the main window's commands and worker-message handlers act on, as
// small interfaces: the map view, the position page, the flight log, the
// clocks, message boxes, the GPS port, the modal dialogs, the recorder, the
// task and queue state, the glide computer and the frame window itself.
//
// FrameCommands holds only these; the wx frame gives it the real ones
// (frame_services_wx.h) and tests give it fakes that record every call.
// All calls come from the user-interface thread.

#include <any>
#include <cstdint>
#include <optional>
#include <string>

#include "platform/window_messages.h"

namespace frame {

// The map view. The first group is the state and drawing control the frame
// needs; the second group is the map's own commands, which the map code
// carries out.
class FrameMap {
  public:
    virtual ~FrameMap() = default;
    // The map-ready and the map-read-done flags are both set.
    virtual bool Ready() const = 0;
    virtual bool FileOpen() const = 0;
    virtual bool BinaryMapLoaded() const = 0;
    virtual int DisplayMode() const = 0;
    virtual void SetDisplayMode(int mode) = 0;
    virtual void SetRelayout(bool on) = 0;
    // Clears the drawing-valid flag (and, with relayout, the re-layout flag).
    virtual void InvalidateDrawing(bool relayout) = 0;
    virtual void MarkDrawingValid() = 0;
    virtual void RequestRedraw() = 0;
    virtual void RenderBackBuffer() = 0;
    virtual void WaitForMapReady(bool elements, bool drawing) = 0;
    virtual void LoadMapFile() = 0;
    virtual int WaypointElementCount() const = 0;
    virtual int GlideModeImage() const = 0;
    virtual void SetGlideModeImage(int image) = 0;
    virtual void RedrawGlideModeButton() = 0;
    virtual void RecomputeReachableOutline() = 0;
    virtual void LayoutButtons() = 0;

    // --- The map's commands.
    virtual void ZoomMap(bool in) = 0;
    virtual void SetMapRotation(double rotation) = 0;
    virtual void ToggleZoomedMap() = 0;
    // Centres on g_mapFix (copied under the map lock).
    virtual void CenterOnFix() = 0;
    // Appends g_mapFix (copied under the map lock) as a mark, with the
    // terrain elevation as its altitude where known.
    virtual void AppendFixMark() = 0;
    // Simplifies the third and then the first element list.
    virtual void SimplifyElements(double tolerance, double second) = 0;
    virtual void ConvertMapRecords() = 0;
    virtual void ExportBinaryMap() = 0;
    virtual void ExportBitmap() = 0;
    virtual void ChooseElevationModel() = 0;
    virtual void ChooseOverlayFile() = 0;
    // The fourth and fifth element lists together hold an element.
    virtual bool OverlayHasElements() const = 0;
};

// The position page and the pop-up notes window.
class FramePositionPage {
  public:
    virtual ~FramePositionPage() = default;
    virtual void Redraw() = 0;
    virtual void SetDestinationName(const std::wstring& name) = 0;
    virtual int Mode() const = 0;
    // The pop-up notes window in force.
    virtual bool PopupIs(std::uintptr_t handle) const = 0;
    virtual void HidePopup() = 0;
    virtual void ShowPopup(const std::wstring& text, int contentKind) = 0;
};

// The flight log.
class FrameLog {
  public:
    virtual ~FrameLog() = default;
    virtual bool IsOpen() const = 0;
    virtual int Format() const = 0;  // 1: IGC
    // Under the log lock, into the digest; a failed write is reported.
    virtual void AppendLine(const std::string& line) = 0;
};

// Calendar time and the published fix.
class FrameClock {
  public:
    virtual ~FrameClock() = default;
    virtual std::int64_t NowSeconds() const = 0;
    virtual double FixTimeHours() const = 0;
    virtual bool HaveFix() const = 0;
    virtual void SleepMs(int ms) = 0;
};

class FrameBoxes {
  public:
    virtual ~FrameBoxes() = default;
    virtual int Show(const std::wstring& text, const std::wstring& caption, unsigned style) = 0;
};

// The GPS port dialog's values.
struct PortDialogValues {
    int nmeaCode = 0;
    int useRxFlag = 0;
    std::wstring port;
    int baudRate = 0;
    std::wstring baudText;
};

class FramePort {
  public:
    virtual ~FramePort() = default;
    virtual bool PortOpen() const = 0;
    virtual void ClosePort() = 0;
    virtual bool ReaderRunning() const = 0;
    // Runs the user interface's pending events once.
    virtual void DispatchPending() = 0;
    virtual void OpenPort() = 0;
    virtual void Beep() = 0;
    // The port settings in force, and changing them.
    virtual PortDialogValues InForce() const = 0;
    virtual void SetInForce(const PortDialogValues& values) = 0;
};

// The modal dialogs the commands run; each returns its dialog result
// (1 OK, 2 Cancel) unless said otherwise.
class FrameDialogs {
  public:
    virtual ~FrameDialogs() = default;
    // Fills from and writes back to values; true when changed.
    virtual bool PortSettings(PortDialogValues& values) = 0;
    virtual int Options(int startPage) = 0;
    // The waypoint list (mode 0) or the reachable list (mode 1).
    virtual int TaskList(int mode) = 0;
    virtual int TaskEditor(bool declaring) = 0;
    // The new entry's index, or -1.
    virtual int NewWaypoint(bool mapPoint) = 0;
    virtual int Wind() = 0;
    virtual int GlideSettings() = 0;
    // True when OK gave a position to fly to (already flown to).
    virtual bool TeamCode(bool haveFix) = 0;
    // The task file chosen to save to or load from.
    virtual std::optional<std::wstring> ChooseTaskFile(bool save, const std::wstring& folder,
                                                       const std::wstring& file) = 0;
};

class FrameRecorder {
  public:
    virtual ~FrameRecorder() = default;
    virtual void StartLog() = 0;
    virtual void ReplayFlight() = 0;
    virtual void ReplayFinished() = 0;
    virtual void StopReplay() = 0;
    virtual void DeclareTask() = 0;
    virtual bool SensorBoxBound() const = 0;
    virtual bool FlarmBound() const = 0;
    virtual int FlarmClimbDisplay() const = 0;
    // The engine-noise capture's stall report: the reset line, then the
    // capture restarted.
    virtual void WaveInData(std::uintptr_t device, std::intptr_t buffer) = 0;
};

// The waypoint file, the queue and the task.
class FrameTasks {
  public:
    virtual ~FrameTasks() = default;
    virtual bool WaypointFileOpen() const = 0;
    virtual bool EnsureWaypointFileOpen() = 0;
    virtual bool LoaderIdle() const = 0;
    virtual void SetLoaderAbort(bool on) = 0;
    // Chooses and loads a waypoint file; false when none is open after.
    virtual bool OpenWaypointFile() = 0;
    virtual std::wstring WaypointFileName() const = 0;
    virtual void WaypointsLoaded() = 0;

    // The queue: current index (-1: none) and highest index used.
    virtual int QueueIndex() const = 0;
    // Under the task lock: steps the current index by delta with wrap-around,
    // makes that slot the destination and its task point the active one;
    // the new destination's name.
    virtual std::wstring StepQueue(int delta) = 0;
    virtual int QueueHighest() const = 0;
    virtual void SelectQueueSlotOfPoint(std::intptr_t point) = 0;

    virtual bool NavigationActive() const = 0;
    virtual bool TaskStarted() const = 0;
    virtual bool HasCurrentTask() const = 0;
    virtual bool CurrentTaskAdopted() const = 0;
    // An active task point that is neither start nor finish and has not
    // bit 6 of its flags set.
    virtual bool ActivePointTappable() const = 0;
    virtual bool SelectedSlotHasTaskPoint() const = 0;
    // A detected next point exists, is not the start and qualifies.
    virtual bool DetectedNextQualifies() const = 0;
    // The target point has a following leg.
    virtual bool TargetHasNextLeg() const = 0;

    // After the editor's OK: the edited task is valid.
    virtual bool EditedTaskValid() const = 0;
    // Activates the edited task (ClearQueueTaskPoints under the lock first).
    virtual void ActivateEditedTask() = 0;
    // Stops the statistics worker, then clears and forgets the flown task.
    virtual void CancelTaskSelection() = 0;

    virtual bool TaskListEmpty() const = 0;
    virtual void SaveTaskFile(const std::wstring& path) = 0;
    virtual void LoadTaskFile(const std::wstring& path) = 0;
};

// The glide computer's values the commands change.
class FrameGlide {
  public:
    virtual ~FrameGlide() = default;
    virtual bool PolarAvailable() const = 0;
    virtual bool UsePolar() const = 0;
    virtual void SetUsePolar(bool on) = 0;
    virtual void ResetBestGlide() = 0;
    virtual bool ConstantGlideSpeed() const = 0;
    virtual void RequestNavigationValues() = 0;
    virtual void ClearDestinationReached() = 0;
    virtual void RecomputeSpeedToFlyText() = 0;
    virtual void SetMacCreadyText() = 0;
    // The prefix letters of the "To" text over the destination's.
    virtual void CopyToPrefix() = 0;
    // The elapsed-time display text.
    virtual void SetElapsedTimeText(const std::wstring& text) = 0;
    virtual bool AlarmZoneCheck() const = 0;
    virtual float AlarmZoneMargin() const = 0;
    virtual int LogInterval() const = 0;
    virtual bool TimeInMinutes() const = 0;
    virtual int AltitudeUnit() const = 0;  // 1: metres
    // The speed in knots as the display shows it: factor and unit name.
    virtual double SpeedFactor() const = 0;
    virtual std::wstring SpeedUnitName() const = 0;
    virtual void PlaySound(const std::wstring& file) = 0;
    virtual bool AcceptWindEstimate(const std::any& estimate) = 0;
    // Rebuilds the auto-detect text; false when its point was missing.
    virtual void UpdateAutodetectText() = 0;
};

// The main window itself.
class FrameWindow {
  public:
    virtual ~FrameWindow() = default;
    virtual void Post(platform::WindowId window, unsigned message, std::uintptr_t wParam,
                      std::intptr_t lParam) = 0;
    virtual void SetMenuLabel(int command, const std::wstring& label) = 0;
    // Inserts "FSB..." (32819) at position 3 of sub-menu 2 unless it is there.
    virtual void AddSensorBoxMenu() = 0;
    virtual void SwitchNavDisplay() = 0;
    virtual void ShowHelp() = 0;
};

// Everything at once; the parts may be one object.
struct FrameServices {
    FrameMap& map;
    FramePositionPage& position;
    FrameLog& log;
    FrameClock& clock;
    FrameBoxes& boxes;
    FramePort& port;
    FrameDialogs& dialogs;
    FrameRecorder& recorder;
    FrameTasks& tasks;
    FrameGlide& glide;
    FrameWindow& window;
};

}  // namespace frame
