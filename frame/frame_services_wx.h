#pragma once
// The real subsystems behind the frame's commands: the map window (with the
// map's own commands through MapCommandTarget), the position page, the
// flight log, the GPS port, the dialogs of this program, the recorder, the
// waypoint file, queue and task, and the glide computer. UI thread only.

#include "frame/frame_services.h"


namespace frame {

class CMainFrame;

class WxFrameServices final : public FrameMap,
                              public FramePositionPage,
                              public FrameLog,
                              public FrameClock,
                              public FrameBoxes,
                              public FramePort,
                              public FrameDialogs,
                              public FrameRecorder,
                              public FrameGlide,
                              public FrameWindow {
  public:
    explicit WxFrameServices(CMainFrame& frame) : frame_(frame) {}

    // With the program's waypoint, queue and task state.
    FrameServices Services(FrameTasks& tasks) {
        return {*this, *this, *this, *this, *this, *this, *this, *this, tasks, *this, *this};
    }

    // FrameMap.
    bool Ready() const override;
    bool FileOpen() const override;
    bool BinaryMapLoaded() const override;
    int DisplayMode() const override;
    void SetDisplayMode(int mode) override;
    void SetRelayout(bool on) override;
    void InvalidateDrawing(bool relayout) override;
    void MarkDrawingValid() override;
    void RequestRedraw() override;
    void RenderBackBuffer() override;
    void WaitForMapReady(bool elements, bool drawing) override;
    void LoadMapFile() override;
    int WaypointElementCount() const override;
    int GlideModeImage() const override;
    void SetGlideModeImage(int image) override;
    void RedrawGlideModeButton() override;
    void RecomputeReachableOutline() override;
    void LayoutButtons() override;
    void ZoomMap(bool in) override;
    void SetMapRotation(double rotation) override;
    void ToggleZoomedMap() override;
    void CenterOnFix() override;
    void AppendFixMark() override;
    void SimplifyElements(double tolerance, double second) override;
    void ConvertMapRecords() override;
    void ExportBinaryMap() override;
    void ExportBitmap() override;
    void ChooseElevationModel() override;
    void ChooseOverlayFile() override;
    bool OverlayHasElements() const override;

    // FramePositionPage.
    void Redraw() override;
    void SetDestinationName(const std::wstring& name) override;
    int Mode() const override;
    bool PopupIs(std::uintptr_t handle) const override;
    void HidePopup() override;
    void ShowPopup(const std::wstring& text, int contentKind) override;

    // FrameLog.
    bool IsOpen() const override;
    int Format() const override;
    void AppendLine(const std::string& line) override;

    // FrameClock.
    std::int64_t NowSeconds() const override;
    double FixTimeHours() const override;
    bool HaveFix() const override;
    void SleepMs(int ms) override;

    // FrameBoxes.
    int Show(const std::wstring& text, const std::wstring& caption, unsigned style) override;

    // FramePort.
    bool PortOpen() const override;
    void ClosePort() override;
    bool ReaderRunning() const override;
    void DispatchPending() override;
    void OpenPort() override;
    void Beep() override;
    PortDialogValues InForce() const override;
    void SetInForce(const PortDialogValues& values) override;

    // FrameDialogs.
    bool PortSettings(PortDialogValues& values) override;
    int Options(int startPage) override;
    int TaskList(int mode) override;
    int TaskEditor(bool declaring) override;
    int NewWaypoint(bool mapPoint) override;
    int Wind() override;
    int GlideSettings() override;
    bool TeamCode(bool haveFix) override;
    std::optional<std::wstring> ChooseTaskFile(bool save, const std::wstring& folder,
                                               const std::wstring& file) override;

    // FrameRecorder.
    void StartLog() override;
    void ReplayFlight() override;
    void ReplayFinished() override;
    void StopReplay() override;
    void DeclareTask() override;
    bool SensorBoxBound() const override;
    bool FlarmBound() const override;
    int FlarmClimbDisplay() const override;
    void WaveInData(std::uintptr_t device, std::intptr_t buffer) override;

    // FrameGlide.
    bool PolarAvailable() const override;
    bool UsePolar() const override;
    void SetUsePolar(bool on) override;
    void ResetBestGlide() override;
    bool ConstantGlideSpeed() const override;
    void RequestNavigationValues() override;
    void ClearDestinationReached() override;
    void RecomputeSpeedToFlyText() override;
    void SetMacCreadyText() override;
    void CopyToPrefix() override;
    void SetElapsedTimeText(const std::wstring& text) override;
    bool AlarmZoneCheck() const override;
    float AlarmZoneMargin() const override;
    int LogInterval() const override;
    bool TimeInMinutes() const override;
    int AltitudeUnit() const override;
    double SpeedFactor() const override;
    std::wstring SpeedUnitName() const override;
    void PlaySound(const std::wstring& file) override;
    bool AcceptWindEstimate(const std::any& estimate) override;
    void UpdateAutodetectText() override;

    // FrameWindow.
    void Post(platform::WindowId window, unsigned message, std::uintptr_t wParam,
              std::intptr_t lParam) override;
    void SetMenuLabel(int command, const std::wstring& label) override;
    void AddSensorBoxMenu() override;
    void SwitchNavDisplay() override;
    void ShowHelp() override;

  private:
    CMainFrame& frame_;
};

}  // namespace frame
