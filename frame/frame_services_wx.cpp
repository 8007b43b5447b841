#include "frame/frame_services_wx.h"

#include <wx/menu.h>
#include <wx/textctrl.h>
#include <wx/utils.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <thread>

#include "core/settings_values.h"
#include "fix/waypoint_queue_texts.h"
#include "frame/flight_log_commands.h"
#include "frame/frame_commands.h"
#include "frame/glide_settings_dialog.h"
#include "frame/gps_port_dialog.h"
#include "frame/main_frame.h"
#include "frame/map_command_target.h"
#include "frame/new_waypoint_dialog.h"
#include "frame/options/options_sheet.h"
#include "frame/position_view.h"
#include "frame/small_dialogs.h"
#include "frame/task_dialog.h"
#include "frame/team_dialog.h"
#include "frame/wind_dialog.h"
#include "glide/polar.h"
#include "glide/settings_values.h"
#include "glide/speed_to_fly_text.h"
#include "glide/wind_estimation.h"
#include "gps/gps_port.h"
#include "gps/nav_fix.h"
#include "gps/port_dialog_model.h"
#include "gps/settings_values.h"
#include "map/alarm_zone_options.h"
#include "map/map_view.h"
#include "nav/destination_queue.h"
#include "nav/waypoint_list.h"
#include "nav/waypoint_map_elements.h"
#include "platform/gui/command_ids.h"
#include "platform/gui/event_pump.h"
#include "platform/gui/file_dialog.h"
#include "platform/message_box.h"
#include "platform/paths.h"
#include "platform/ui_post.h"
#include "recorder/engine_noise_sensor.h"
#include "recorder/flight_log_file.h"
#include "recorder/logger_library.h"
#include "recorder/replay.h"
#include "services/flarm_library.h"
#include "services/flight_log.h"
#include "services/sound_queue.h"
#include "texts/display_texts.h"
#include "texts/display_units.h"

namespace frame {
namespace {

constexpr int kMenuSensorBox = 2;
constexpr int kSensorBoxPosition = 3;
constexpr wchar_t kTaskFileFilter[] = L"Task Files (*.tsk)|*.tsk|All files  (*.*)|*.*";

int DialogResult(int wxResult) { return wxResult == wxID_OK ? 1 : 2; }

}  // namespace

// --- FrameMap.

bool WxFrameServices::Ready() const {
    const map::CGPSmapView* view = frame_.MapView();
    return view != nullptr && view->MapReady();
}
bool WxFrameServices::FileOpen() const { return CurrentMapCommandTarget().FileOpen(); }
bool WxFrameServices::BinaryMapLoaded() const {
    return CurrentMapCommandTarget().BinaryMapLoaded();
}
int WxFrameServices::DisplayMode() const { return CurrentMapCommandTarget().DisplayMode(); }
void WxFrameServices::SetDisplayMode(int mode) { CurrentMapCommandTarget().SetDisplayMode(mode); }
void WxFrameServices::SetRelayout(bool on) {
    map::CGPSmapView* view = frame_.MapView();
    if (view == nullptr) return;
    if (on)
        view->Redraw().BeginContentsChange();
    else
        view->Redraw().EndContentsChange();
}
void WxFrameServices::InvalidateDrawing(bool relayout) {
    map::CGPSmapView* view = frame_.MapView();
    if (view == nullptr) return;
    view->Redraw().Invalidate();
    if (relayout) view->Redraw().EndContentsChange();
}
void WxFrameServices::MarkDrawingValid() {
    if (map::CGPSmapView* view = frame_.MapView()) view->Redraw().Validate();
}
void WxFrameServices::RequestRedraw() {
    if (map::CGPSmapView* view = frame_.MapView()) view->RequestMapRedraw();
}
void WxFrameServices::RenderBackBuffer() { CurrentMapCommandTarget().RenderBackBuffer(); }
void WxFrameServices::WaitForMapReady(bool elements, bool drawing) {
    if (map::CGPSmapView* view = frame_.MapView()) view->WaitForMapReady(elements, drawing);
}
void WxFrameServices::LoadMapFile() {
    if (map::CGPSmapView* view = frame_.MapView()) view->LoadMapFile(map::g_mapFileName.Get(), 0);
}
int WxFrameServices::WaypointElementCount() const {
    const platform::CriticalSectionLock lock(nav::WaypointListLock);
    return static_cast<int>(nav::g_waypointMapElements.size());
}
int WxFrameServices::GlideModeImage() const {
    const map::CGPSmapView* view = frame_.MapView();
    return view != nullptr ? view->GlideModeImage() : 5;
}
void WxFrameServices::SetGlideModeImage(int image) {
    if (map::CGPSmapView* view = frame_.MapView()) view->ShowGlideModeImage(image);
}
void WxFrameServices::RedrawGlideModeButton() { CurrentMapCommandTarget().RedrawGlideModeButton(); }
void WxFrameServices::RecomputeReachableOutline() {
    if (map::CGPSmapView* view = frame_.MapView()) view->RecomputeReachableOutline();
}
void WxFrameServices::LayoutButtons() { CurrentMapCommandTarget().LayoutButtons(0); }
void WxFrameServices::ZoomMap(bool in) { CurrentMapCommandTarget().ZoomMap(in ? 1 : 0); }
void WxFrameServices::SetMapRotation(double rotation) {
    CurrentMapCommandTarget().SetMapRotation(rotation);
}
void WxFrameServices::ToggleZoomedMap() { CurrentMapCommandTarget().ToggleZoomedMap(); }
void WxFrameServices::CenterOnFix() { CurrentMapCommandTarget().CenterMapOnFix(); }
void WxFrameServices::AppendFixMark() { CurrentMapCommandTarget().AppendFixMark(); }
void WxFrameServices::SimplifyElements(double tolerance, double second) {
    CurrentMapCommandTarget().SimplifyElements(tolerance, second);
}
void WxFrameServices::ConvertMapRecords() { CurrentMapCommandTarget().ConvertMapRecords(); }
void WxFrameServices::ExportBinaryMap() { CurrentMapCommandTarget().ExportBinaryMap(); }
void WxFrameServices::ExportBitmap() { CurrentMapCommandTarget().ExportBitmap(); }
void WxFrameServices::ChooseElevationModel() { CurrentMapCommandTarget().ChooseElevationModel(); }
void WxFrameServices::ChooseOverlayFile() { CurrentMapCommandTarget().ChooseOverlayFile(); }
bool WxFrameServices::OverlayHasElements() const {
    return CurrentMapCommandTarget().OverlayHasElements();
}

// --- FramePositionPage.

void WxFrameServices::Redraw() {
    if (g_pPosView == nullptr) return;
    g_pPosView->Refresh();
    g_pPosView->Update();
}
void WxFrameServices::SetDestinationName(const std::wstring& name) {
    glide::DestinationNameText.Set(name);
    if (g_pPosView != nullptr) g_pPosView->Refresh();
}
int WxFrameServices::Mode() const {
    return g_pPosView != nullptr ? static_cast<int>(g_pPosView->Mode()) : 0;
}
bool WxFrameServices::PopupIs(std::uintptr_t handle) const {
    return frame_.PopupText() != nullptr &&
           handle == reinterpret_cast<std::uintptr_t>(frame_.PopupText());
}
void WxFrameServices::HidePopup() { frame_.HidePopup(); }
void WxFrameServices::ShowPopup(const std::wstring& text, int contentKind) {
    frame_.ShowPopup(text, contentKind);
}

// --- FrameLog.

bool WxFrameServices::IsOpen() const { return core::g_hFlightLog.IsOpen(); }
int WxFrameServices::Format() const { return core::g_logFormat.load(); }
void WxFrameServices::AppendLine(const std::string& line) { core::WriteLogLine(line); }

// --- FrameClock.

std::int64_t WxFrameServices::NowSeconds() const { return std::time(nullptr); }
double WxFrameServices::FixTimeHours() const {
    return gps::CurrentNav()->fixTimeHours;
}
bool WxFrameServices::HaveFix() const { return map::g_bHaveFix.load() != 0; }
void WxFrameServices::SleepMs(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

// --- FrameBoxes.

int WxFrameServices::Show(const std::wstring& text, const std::wstring& caption, unsigned style) {
    return platform::ShowMessageBox(&frame_, text, caption, style);
}

// --- FramePort.

bool WxFrameServices::PortOpen() const { return gps::GpsPortOpen(); }
void WxFrameServices::ClosePort() { gps::CloseGpsPort(); }
// Closing the port stops and joins its reader.
bool WxFrameServices::ReaderRunning() const { return gps::GpsPortOpen(); }
void WxFrameServices::DispatchPending() {
    platform::gui::ProcessEventsFor(std::chrono::milliseconds(0));
}
void WxFrameServices::OpenPort() { gps::OpenGpsPort(gps::g_gpsPortName.Get()); }
void WxFrameServices::Beep() { wxBell(); }

PortDialogValues WxFrameServices::InForce() const {
    PortDialogValues values;
    values.nmeaCode = gps::g_nmeaCode.load();
    values.useRxFlag = gps::g_useRxFlag.load();
    values.port = gps::g_gpsPortName.Get();
    values.baudRate = static_cast<int>(gps::g_baudRate.load());
    values.baudText = gps::GpsPortBaudText();
    return values;
}

void WxFrameServices::SetInForce(const PortDialogValues& values) {
    gps::g_checkMsgLength = 1;
    gps::g_useRxFlag = values.useRxFlag;
    gps::g_nmeaCode = values.nmeaCode;
    gps::g_baudRate = static_cast<std::uint32_t>(values.baudRate);
    gps::SetGpsPortBaudText(values.baudText);
    gps::g_gpsPortName.Set(values.port);
}

// --- FrameDialogs.

bool WxFrameServices::PortSettings(PortDialogValues& values) {
    gps::GpsPortDialogModel model;
    model.portName = values.port;
    model.baudRate = values.baudRate;
    model.sentenceSet = values.nmeaCode;
    model.useRxFlag = values.useRxFlag;
    CGpsPortDialog dialog(&frame_, model);
    dialog.DoModal();
    const gps::GpsPortDialogModel& result = dialog.Model();
    if (!result.changed) return false;
    values.port = result.portName;
    values.baudRate = result.baudRate;
    values.baudText = std::to_wstring(result.baudRate);
    values.nmeaCode = result.sentenceSet;
    values.useRxFlag = result.useRxFlag;
    return true;
}

int WxFrameServices::Options(int /*startPage*/) {
    return DialogResult(RunOptionsSheet(&frame_, g_nLastOptionsPage));
}

// Mode 1 (a fix is needed) lists the reachable waypoints; mode 0 the list.
int WxFrameServices::TaskList(int mode) {
    TaskDialogOptions options;
    options.mode = mode == 1 ? TaskDialogMode::kReachable : TaskDialogMode::kWaypointList;
    return DialogResult(RunTaskDialog(&frame_, options));
}

int WxFrameServices::TaskEditor(bool declaring) {
    TaskDialogOptions options;
    options.mode = TaskDialogMode::kEditor;
    options.declaration = declaring;
    return DialogResult(RunTaskDialog(&frame_, options));
}

int WxFrameServices::NewWaypoint(bool mapPoint) {
    return mapPoint ? CurrentMapCommandTarget().NewMapPoint() : RunNewWaypointDialog(&frame_);
}

int WxFrameServices::Wind() {
    RunWindDialog(&frame_);
    return 1;
}

int WxFrameServices::GlideSettings() { return RunGlideSettingsDialog(&frame_); }

bool WxFrameServices::TeamCode(bool haveFix) {
    RunTeamCodeDialog(&frame_, haveFix);
    return true;
}

// The stored "file" is the whole path of the last task file: the dialog
// offers its name, in the stored folder or else its own.
std::optional<std::wstring> WxFrameServices::ChooseTaskFile(bool save, const std::wstring& folder,
                                                            const std::wstring& file) {
    platform::gui::FileDialogRequest dialog;
    dialog.title = L"Task File";
    dialog.name = file;
    dialog.folder = folder;
    if (folder.empty() && !dialog.name.has_parent_path()) dialog.folder = platform::DocumentsFolder();
    dialog.wildcard = kTaskFileFilter;
    dialog.save = save;
    dialog.defaultExtension = L"tsk";
    const auto answer = platform::gui::ShowFileDialog(&frame_, dialog);
    if (!answer) return std::nullopt;
    return answer->path.wstring();
}

// --- FrameRecorder.

void WxFrameServices::StartLog() { recorder::StartFlightLog(0, 0); }
void WxFrameServices::ReplayFlight() { OnReplayFlight(frame_); }
void WxFrameServices::ReplayFinished() { OnReplayFinished(frame_); }
void WxFrameServices::StopReplay() { gps::g_bReplayRunning = false; }
void WxFrameServices::DeclareTask() { OnDeclareTask(frame_); }
bool WxFrameServices::SensorBoxBound() const { return recorder::SensorBoxLoaded(); }
bool WxFrameServices::FlarmBound() const { return FlarmPresent(); }
int WxFrameServices::FlarmClimbDisplay() const { return ::FlarmClimbDisplay(); }
void WxFrameServices::WaveInData(std::uintptr_t device, std::intptr_t buffer) {
    recorder::OnEngineNoiseStall(device, buffer);
}

// --- FrameGlide.

bool WxFrameServices::PolarAvailable() const { return glide::CurrentPolar().valid; }
bool WxFrameServices::UsePolar() const { return glide::CurrentPolar().usePolar; }
void WxFrameServices::SetUsePolar(bool on) {
    glide::ChangePolarSettings([on](glide::PolarSettings& polar) { polar.inUse.usePolar = on; });
}
// The glide computer keeps no cached best-glide values of its own here.
void WxFrameServices::ResetBestGlide() {}
bool WxFrameServices::ConstantGlideSpeed() const {
    return glide::g_useConstantGlideSpeed.load() != 0;
}
void WxFrameServices::RequestNavigationValues() { gps::SignalNewGpsData(nav::kNewDataQueue); }
void WxFrameServices::ClearDestinationReached() { gps::ResetWaypointQueueTexts(); }
void WxFrameServices::RecomputeSpeedToFlyText() { glide::SpeedToFlyText(core::g_macCready.load()); }
void WxFrameServices::SetMacCreadyText() {
    glide::MacCreadyText.Format(L" %0.1f", static_cast<double>(core::g_macCready.load() *
                                                               glide::CurrentClimbUnit().factor));
}
void WxFrameServices::CopyToPrefix() {
    const std::wstring to = glide::ToPrefixText.Get();
    std::wstring prefix = glide::DestinationPrefixText.Get();
    for (std::size_t i = 0; i < 2 && i < to.size(); ++i) {
        if (i < prefix.size()) prefix[i] = to[i];
        else prefix.push_back(to[i]);
    }
    glide::DestinationPrefixText.Set(prefix);
}
void WxFrameServices::SetElapsedTimeText(const std::wstring& text) {
    glide::FlightTimeText.Set(text);
}
bool WxFrameServices::AlarmZoneCheck() const {
    return map::AlarmZoneOptions::FromRunning().exactSuaCheck != 0;
}
float WxFrameServices::AlarmZoneMargin() const {
    return map::AlarmZoneOptions::FromRunning().horGuard;
}
int WxFrameServices::LogInterval() const { return core::g_logInterval.load(); }
bool WxFrameServices::TimeInMinutes() const { return gps::g_timeInMinutes.load() != 0; }
int WxFrameServices::AltitudeUnit() const { return core::g_unitAlt.load() != 0 ? 1 : 0; }
double WxFrameServices::SpeedFactor() const { return glide::CurrentSpeedUnit().factor; }
std::wstring WxFrameServices::SpeedUnitName() const {
    return std::wstring(glide::CurrentSpeedUnit().name);
}
void WxFrameServices::PlaySound(const std::wstring& file) {
    core::PlaySoundAsync(file, core::SND_ASYNC | core::SND_FILENAME, &core::SoundLock, 3000);
}
bool WxFrameServices::AcceptWindEstimate(const std::any& estimate) {
    const auto* wind = std::any_cast<glide::WindEstimate>(&estimate);
    return wind != nullptr && glide::OnWindEstimate(*wind);
}
void WxFrameServices::UpdateAutodetectText() { frame::UpdateAutodetectText(); }

// --- FrameWindow.

void WxFrameServices::Post(platform::WindowId window, unsigned message, std::uintptr_t wParam,
                           std::intptr_t lParam) {
    platform::PostWindowMessage(window, message, wParam, lParam);
}

void WxFrameServices::SetMenuLabel(int command, const std::wstring& label) {
    wxMenuBar* menus = frame_.GetMenuBar();
    const int id = platform::gui::WxIdFromCommand(command);
    if (menus != nullptr && menus->FindItem(id) != nullptr) menus->SetLabel(id, label);
}

void WxFrameServices::AddSensorBoxMenu() {
    wxMenu* menu = frame_.GetSubMenuAt(kMenuSensorBox);
    if (menu == nullptr) return;  // no such menu: nothing to add to
    const int id = platform::gui::WxIdFromCommand(cmd::kSensorBox);
    if (menu->GetMenuItemCount() > kSensorBoxPosition &&
        menu->FindItemByPosition(kSensorBoxPosition)->GetId() == id) {
        return;
    }
    const std::size_t position = std::min<std::size_t>(kSensorBoxPosition, menu->GetMenuItemCount());
    menu->Insert(position, id, L"FSB...");
}

void WxFrameServices::SwitchNavDisplay() { frame_.OnSwitchNavDisplay(); }
void WxFrameServices::ShowHelp() {
    g_bModalDialogOpen = 1;
    ShowHelpPage(&frame_);
    g_bModalDialogOpen = 0;
}

}  // namespace frame
