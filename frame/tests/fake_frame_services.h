#pragma once
// Fakes of everything the frame's commands act on: each call is written to
// one log as "Part.Call(args)", and the state the commands read is plain
// fields a test sets.

#include <string>
#include <vector>

#include "frame/frame_services.h"
#include "glide/wind_estimation.h"

namespace frame::testing {

class FakeFrame : public FrameMap,
                        public FramePositionPage,
                        public FrameLog,
                        public FrameClock,
                        public FrameBoxes,
                        public FramePort,
                        public FrameDialogs,
                        public FrameRecorder,
                        public FrameTasks,
                        public FrameGlide,
                        public FrameWindow {
  public:
    FrameServices Services() {
        return {*this, *this, *this, *this, *this, *this, *this, *this, *this, *this, *this};
    }
    void Call(std::string text) { calls.push_back(std::move(text)); }

    std::vector<std::string> calls;

    // --- State read by the commands.
    bool mapReady = true, fileOpen = true, binaryMap = false, overlayElements = true;
    int displayMode = 0, waypointElements = 4, glideImage = 6, positionMode = 0;
    int elementsAfterDialog = 4;
    bool logOpen = false;
    int logFormat = 1;
    std::int64_t now = 1000;
    double fixHours = 10.5;
    bool haveFix = true;
    bool portOpen = true, readerRunning = false;
    PortDialogValues port{0, 0, L"/dev/ttyUSB0", 4800, L"4800"};
    bool portChanged = true;
    int dialogResult = 1;
    std::optional<std::wstring> taskFile = L"/home/p/tasks/a.tsk";
    bool sensorBox = true, flarm = false;
    int flarmClimb = 0, flarmClimbAfter = 0;
    bool waypointFile = true, loaderIdle = true, openWaypointOk = true;
    int queueIndex = 0, queueHighest = 2;
    bool navigation = false, started = false, currentTask = false, adopted = false;
    bool tappable = true, slotHasPoint = false, detectedQualifies = true, targetNextLeg = true;
    bool editedValid = true, taskListEmpty = false;
    bool polarAvailable = true, usePolar = true, constantSpeed = false;
    bool alarmCheck = false;
    float alarmMargin = 100.0F;
    int logInterval = 0, logIntervalAfter = 0;
    bool inMinutes = true;
    int altitudeUnit = 1;
    bool acceptWind = true;
    std::uintptr_t popupHandle = 77;

    // FrameMap.
    bool Ready() const override { return mapReady; }
    bool FileOpen() const override { return fileOpen; }
    bool BinaryMapLoaded() const override { return binaryMap; }
    int DisplayMode() const override { return displayMode; }
    void SetDisplayMode(int mode) override { Call("Map.SetDisplayMode(" + std::to_string(mode) + ")"); }
    void SetRelayout(bool on) override { Call(std::string("Map.SetRelayout(") + (on ? "1)" : "0)")); }
    void InvalidateDrawing(bool relayout) override {
        Call(std::string("Map.InvalidateDrawing(") + (relayout ? "relayout)" : ")"));
    }
    void MarkDrawingValid() override { Call("Map.MarkDrawingValid"); }
    void RequestRedraw() override { Call("Map.RequestRedraw"); }
    void RenderBackBuffer() override { Call("Map.RenderBackBuffer"); }
    void WaitForMapReady(bool e, bool d) override {
        Call("Map.WaitForMapReady(" + std::to_string(e) + "," + std::to_string(d) + ")");
    }
    void LoadMapFile() override { Call("Map.LoadMapFile"); }
    int WaypointElementCount() const override { return waypointElements; }
    int GlideModeImage() const override { return glideImage; }
    void SetGlideModeImage(int image) override {
        glideImage = image;
        Call("Map.SetGlideModeImage(" + std::to_string(image) + ")");
    }
    void RedrawGlideModeButton() override { Call("Map.RedrawGlideModeButton"); }
    void RecomputeReachableOutline() override { Call("Map.RecomputeReachableOutline"); }
    void LayoutButtons() override { Call("Map.LayoutButtons"); }
    void ZoomMap(bool in) override { Call(std::string("Map.ZoomMap(") + (in ? "1)" : "0)")); }
    void SetMapRotation(double r) override { Call("Map.SetMapRotation(" + std::to_string(r) + ")"); }
    void ToggleZoomedMap() override { Call("Map.ToggleZoomedMap"); }
    void CenterOnFix() override { Call("Map.CenterOnFix"); }
    void AppendFixMark() override { Call("Map.AppendFixMark"); }
    void SimplifyElements(double t, double s) override {
        char text[96];
        std::snprintf(text, sizeof text, "Map.SimplifyElements(%.9f,%.10f)", t, s);
        Call(text);
    }
    void ConvertMapRecords() override { Call("Map.ConvertMapRecords"); }
    void ExportBinaryMap() override { Call("Map.ExportBinaryMap"); }
    void ExportBitmap() override { Call("Map.ExportBitmap"); }
    void ChooseElevationModel() override { Call("Map.ChooseElevationModel"); }
    void ChooseOverlayFile() override { Call("Map.ChooseOverlayFile"); }
    bool OverlayHasElements() const override { return overlayElements; }

    // FramePositionPage.
    void Redraw() override { Call("Position.Redraw"); }
    void SetDestinationName(const std::wstring& name) override {
        Call("Position.SetDestinationName(" + Narrow(name) + ")");
    }
    int Mode() const override { return positionMode; }
    bool PopupIs(std::uintptr_t handle) const override { return handle == popupHandle; }
    void HidePopup() override { Call("Position.HidePopup"); }
    void ShowPopup(const std::wstring& text, int kind) override {
        Call("Position.ShowPopup(" + Narrow(text) + "," + std::to_string(kind) + ")");
    }

    // FrameLog.
    bool IsOpen() const override { return logOpen; }
    int Format() const override { return logFormat; }
    void AppendLine(const std::string& line) override {
        Call("Log.AppendLine(" + line.substr(0, line.size() - 2) + ")");
    }

    // FrameClock.
    std::int64_t NowSeconds() const override { return now; }
    double FixTimeHours() const override { return fixHours; }
    bool HaveFix() const override { return haveFix; }
    void SleepMs(int ms) override {
        now += ms / 1000;
        Call("Clock.SleepMs(" + std::to_string(ms) + ")");
    }

    // FrameBoxes.
    int Show(const std::wstring& text, const std::wstring& caption, unsigned style) override {
        Call("Boxes.Show(" + Narrow(text) + "|" + Narrow(caption) + "|" + std::to_string(style) +
             ")");
        return 1;
    }

    // FramePort.
    bool PortOpen() const override { return portOpen; }
    void ClosePort() override {
        portOpen = false;
        Call("Port.Close");
    }
    bool ReaderRunning() const override { return readerRunning; }
    void DispatchPending() override { Call("Port.DispatchPending"); }
    void OpenPort() override { Call("Port.Open"); }
    void Beep() override { Call("Port.Beep"); }
    PortDialogValues InForce() const override { return port; }
    void SetInForce(const PortDialogValues& v) override {
        port = v;
        Call("Port.SetInForce(" + std::to_string(v.nmeaCode) + "," + std::to_string(v.useRxFlag) +
             "," + Narrow(v.port) + ")");
    }

    // FrameDialogs.
    bool PortSettings(PortDialogValues& v) override {
        Call("Dialogs.PortSettings(" + std::to_string(v.nmeaCode) + "," +
             std::to_string(v.useRxFlag) + ")");
        return portChanged;
    }
    int Options(int page) override {
        Call("Dialogs.Options(" + std::to_string(page) + ")");
        logInterval = logIntervalAfter;
        flarmClimb = flarmClimbAfter;
        return dialogResult;
    }
    int TaskList(int mode) override {
        Call("Dialogs.TaskList(" + std::to_string(mode) + ")");
        waypointElements = elementsAfterDialog;
        return dialogResult;
    }
    int TaskEditor(bool declaring) override {
        Call("Dialogs.TaskEditor(" + std::to_string(declaring) + ")");
        return dialogResult;
    }
    int NewWaypoint(bool mapPoint) override {
        Call("Dialogs.NewWaypoint(" + std::to_string(mapPoint) + ")");
        return dialogResult == 1 ? 3 : -1;
    }
    int Wind() override {
        Call("Dialogs.Wind");
        return dialogResult;
    }
    int GlideSettings() override {
        Call("Dialogs.GlideSettings");
        return dialogResult;
    }
    bool TeamCode(bool fix) override {
        Call("Dialogs.TeamCode(" + std::to_string(fix) + ")");
        return dialogResult == 1;
    }
    std::optional<std::wstring> ChooseTaskFile(bool save, const std::wstring& folder,
                                               const std::wstring& file) override {
        Call("Dialogs.ChooseTaskFile(" + std::to_string(save) + "," + Narrow(folder) + "," +
             Narrow(file) + ")");
        return taskFile;
    }

    // FrameRecorder.
    void StartLog() override { Call("Recorder.StartLog"); }
    void WaveInData(std::uintptr_t d, std::intptr_t b) override {
        Call("Recorder.WaveInData(" + std::to_string(d) + "," + std::to_string(b) + ")");
    }
    void ReplayFlight() override { Call("Recorder.ReplayFlight"); }
    void ReplayFinished() override { Call("Recorder.ReplayFinished"); }
    void StopReplay() override { Call("Recorder.StopReplay"); }
    void DeclareTask() override { Call("Recorder.DeclareTask"); }
    bool SensorBoxBound() const override { return sensorBox; }
    bool FlarmBound() const override { return flarm; }
    int FlarmClimbDisplay() const override { return flarmClimb; }

    // FrameTasks.
    bool WaypointFileOpen() const override { return waypointFile; }
    bool EnsureWaypointFileOpen() override {
        Call("Tasks.EnsureWaypointFileOpen");
        return waypointFile;
    }
    bool LoaderIdle() const override { return loaderIdle; }
    void SetLoaderAbort(bool on) override {
        Call("Tasks.SetLoaderAbort(" + std::to_string(on) + ")");
        if (on) loaderIdle = true;
    }
    bool OpenWaypointFile() override {
        Call("Tasks.OpenWaypointFile");
        return openWaypointOk;
    }
    std::wstring WaypointFileName() const override { return L"/home/p/wp.dat"; }
    void WaypointsLoaded() override { Call("Tasks.WaypointsLoaded"); }
    int QueueIndex() const override { return queueIndex; }
    std::wstring StepQueue(int delta) override {
        Call("Tasks.StepQueue(" + std::to_string(delta) + ")");
        return L"Next";
    }
    int QueueHighest() const override { return queueHighest; }
    void SelectQueueSlotOfPoint(std::intptr_t point) override {
        Call("Tasks.SelectQueueSlotOfPoint(" + std::to_string(point) + ")");
    }
    bool NavigationActive() const override { return navigation; }
    bool TaskStarted() const override { return started; }
    bool HasCurrentTask() const override { return currentTask; }
    bool CurrentTaskAdopted() const override { return adopted; }
    bool ActivePointTappable() const override { return tappable; }
    bool SelectedSlotHasTaskPoint() const override { return slotHasPoint; }
    bool DetectedNextQualifies() const override { return detectedQualifies; }
    bool TargetHasNextLeg() const override { return targetNextLeg; }
    bool EditedTaskValid() const override { return editedValid; }
    void ActivateEditedTask() override { Call("Tasks.ActivateEditedTask"); }
    void CancelTaskSelection() override { Call("Tasks.CancelTaskSelection"); }
    bool TaskListEmpty() const override { return taskListEmpty; }
    void SaveTaskFile(const std::wstring& path) override {
        Call("Tasks.SaveTaskFile(" + Narrow(path) + ")");
    }
    void LoadTaskFile(const std::wstring& path) override {
        Call("Tasks.LoadTaskFile(" + Narrow(path) + ")");
    }

    // FrameGlide.
    bool PolarAvailable() const override { return polarAvailable; }
    bool UsePolar() const override { return usePolar; }
    void SetUsePolar(bool on) override {
        usePolar = on;
        Call("Glide.SetUsePolar(" + std::to_string(on) + ")");
    }
    void ResetBestGlide() override { Call("Glide.ResetBestGlide"); }
    bool ConstantGlideSpeed() const override { return constantSpeed; }
    void RequestNavigationValues() override { Call("Glide.RequestNavigationValues"); }
    void ClearDestinationReached() override { Call("Glide.ClearDestinationReached"); }
    void RecomputeSpeedToFlyText() override { Call("Glide.RecomputeSpeedToFlyText"); }
    void SetMacCreadyText() override { Call("Glide.SetMacCreadyText"); }
    void CopyToPrefix() override { Call("Glide.CopyToPrefix"); }
    void SetElapsedTimeText(const std::wstring& text) override {
        Call("Glide.SetElapsedTimeText(" + Narrow(text) + ")");
    }
    bool AlarmZoneCheck() const override { return alarmCheck; }
    float AlarmZoneMargin() const override { return alarmMargin; }
    int LogInterval() const override { return logInterval; }
    bool TimeInMinutes() const override { return inMinutes; }
    int AltitudeUnit() const override { return altitudeUnit; }
    double SpeedFactor() const override { return 1.852; }
    std::wstring SpeedUnitName() const override { return L"km/h"; }
    void PlaySound(const std::wstring& file) override {
        Call("Glide.PlaySound(" + Narrow(file) + ")");
    }
    bool AcceptWindEstimate(const std::any& estimate) override {
        const auto* wind = std::any_cast<glide::WindEstimate>(&estimate);
        Call(std::string("Glide.AcceptWindEstimate(") + (wind != nullptr ? "record" : "none") +
             ")");
        return wind != nullptr && acceptWind;
    }
    void UpdateAutodetectText() override { Call("Glide.UpdateAutodetectText"); }

    // FrameWindow.
    void Post(platform::WindowId window, unsigned message, std::uintptr_t w,
              std::intptr_t l) override {
        char text[96];
        std::snprintf(text, sizeof text, "Window.Post(%d,0x%X,%ju,%jd)", window, message,
                      static_cast<std::uintmax_t>(w), static_cast<std::intmax_t>(l));
        Call(text);
    }
    void SetMenuLabel(int command, const std::wstring& label) override {
        Call("Window.SetMenuLabel(" + std::to_string(command) + "," + Narrow(label) + ")");
    }
    void AddSensorBoxMenu() override { Call("Window.AddSensorBoxMenu"); }
    void SwitchNavDisplay() override { Call("Window.SwitchNavDisplay"); }
    void ShowHelp() override { Call("Window.ShowHelp"); }

    static std::string Narrow(const std::wstring& text) {
        std::string out;
        for (const wchar_t c : text) {
            if (c == L'\r') out += "\\r";
            else if (c == L'\n') out += "\\n";
            else out += static_cast<char>(c < 0x80 ? c : '?');
        }
        return out;
    }
};

}  // namespace frame::testing
