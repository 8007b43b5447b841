#include "frame/frame_commands.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "map/map_view.h"
#include "map/map_view_rules.h"
#include "map/settings_values.h"
#include "nav/destination_queue.h"
#include "platform/message_box.h"
#include "platform/settings_store.h"
#include "platform/sys_error.h"
#include "platform/ui_post.h"
#include "resources/ids/strings.h"
#include "resources/ids/strings_files.h"
#include "resources/ids/strings_frame.h"
#include "resources/ids/strings_recorder.h"
#include "services/string_resources.h"

namespace frame {
namespace {

using ids::kIdsFileCannotBeOpened;
using ids::kIdsWaypointFileCaption;
using ids::kIdsFileTypeCaption;
using ids::kIdsBinaryMapText;
using ids::kIdsSystemErrorCaption;
using ids::kIdsHideOverlay;
using ids::kIdsShowOverlay;
using ids::kIdsAltitudeGain;
using ids::kIdsGpsLost;
using ids::kIdsGpsBack;

constexpr unsigned kErrorBox = platform::mb::kIconHand | platform::mb::kTopmost;

constexpr int kMarkDebounceSeconds = 3;
constexpr int kSystemErrorQuietSeconds = 300;
constexpr int kReopenWaitSeconds = 5;
constexpr int kReopenCloseSleepMs = 1000;
constexpr int kReopenRoundSleepMs = 10;
constexpr int kLoaderPollMs = 100;
constexpr double kEarthRadiusKm = 6371.0;
constexpr double kSimplifySecond = 0.0078480616;
constexpr int kPopupAltitudeGain = 4;
constexpr int kPopupGpsLink = 5;
constexpr std::uintptr_t kTapPassed = 19;
constexpr std::uintptr_t kTapSkipped = 15;

// Glide-mode button pictures.
constexpr int kPictureFixed = map::kGlideReplayRunning;

template <typename... Args>
std::wstring Format(const wchar_t* format, Args... args) {
    wchar_t buffer[128];
    const int n = std::swprintf(buffer, std::size(buffer), format, args...);
    return n < 0 ? std::wstring() : std::wstring(buffer, static_cast<std::size_t>(n));
}

}  // namespace

const std::array<MessageTableEntry, kMessageTableSize> kFrameMessageTable{{
    {EntryKind::kWindow, 0, "OnCreate"},
    {EntryKind::kCommand, cmd::kPortSettings, "OnPortSettings"},
    {EntryKind::kCommand, cmd::kOptions, "OnOptions"},
    {EntryKind::kCommand, cmd::kOpenWaypointFile, "OnOpenWaypointFile"},
    {EntryKind::kCommand, cmd::kTaskDialogMode1, "OnTaskDialogMode1"},
    {EntryKind::kCommand, cmd::kTaskDialogMode0, "OnTaskDialogMode0"},
    {EntryKind::kCommand, cmd::kLoadMap, "OnLoadMap"},
    {EntryKind::kCommand, cmd::kCenterOnFix, "OnCenterOnFix"},
    {EntryKind::kCommand, cmd::kZoomIn, "OnZoomIn"},
    {EntryKind::kCommand, cmd::kZoomOut, "OnZoomOut"},
    {EntryKind::kCommand, cmd::kShiftMap, "OnShiftMap"},
    {EntryKind::kCommand, cmd::kMarkPosition, "OnMarkPosition"},
    {EntryKind::kCommand, cmd::kToggleZoomedMap, "OnToggleZoomedMap"},
    {EntryKind::kCommand, cmd::kReopenPort, "OnReopenPort"},
    {EntryKind::kCommand, cmd::kNewMapPoint, "OnNewWaypoint32800"},
    {EntryKind::kCommand, cmd::kNewWaypoint, "OnNewWaypoint32801"},
    {EntryKind::kCommand, cmd::kSelectTask, "OnSelectTask"},
    {EntryKind::kCommand, cmd::kConvertMapRecords, "OnConvertMapRecords"},
    {EntryKind::kWindow, 0, "OnDestroy"},
    {EntryKind::kCommand, cmd::kReplayFlight, "OnReplayFlight"},
    {EntryKind::kCommand, cmd::kStopReplay, "OnStopReplay"},
    {EntryKind::kWindow, 0, "OnClose"},
    {EntryKind::kCommand, cmd::kDeclareTask, "OnDeclareTask"},
    {EntryKind::kCommand, cmd::kSwitchNavDisplay, "OnSwitchNavDisplay"},
    {EntryKind::kCommand, cmd::kSaveTaskFile, "OnSaveTaskFile"},
    {EntryKind::kCommand, cmd::kLoadTaskFile, "OnLoadTaskFile"},
    {EntryKind::kCommand, cmd::kGlideSettings, "OnGlideSettings"},
    {EntryKind::kCommand, cmd::kExportBinaryMap, "OnExportBinaryMap"},
    {EntryKind::kWindow, 0, "OnMove"},
    {EntryKind::kWindow, 0, "OnKillFocus"},
    {EntryKind::kWindow, 0, "OnSetFocus"},
    {EntryKind::kCommand, cmd::kStartLog, "OnStartLog"},
    {EntryKind::kCommand, cmd::kRestartTimer, "OnRestartTimer"},
    {EntryKind::kCommand, cmd::kNextWaypoint, "OnNextWaypoint"},
    {EntryKind::kCommand, cmd::kPreviousWaypoint, "OnPreviousWaypoint"},
    {EntryKind::kCommand, cmd::kWindDialog, "OnWindDialog"},
    {EntryKind::kCommand, cmd::kNothing, "OnCommand32826"},
    {EntryKind::kCommand, cmd::kHelp, "OnHelp"},
    {EntryKind::kCommand, cmd::kToggleUsePolar, "OnToggleUsePolar"},
    {EntryKind::kCommand, cmd::kElevationModel, "OnElevationModel"},
    {EntryKind::kCommand, cmd::kExportBitmap, "OnExportBitmap"},
    {EntryKind::kUpdate, cmd::kExportBitmap, "OnUpdateMapCommands"},
    {EntryKind::kMessage, msg::kReplayFinished, "OnReplayFinished"},
    {EntryKind::kMessage, msg::kHidePopup, "OnHidePopup"},
    {EntryKind::kCommand, cmd::kSensorBox, "OnCommand32819"},
    {EntryKind::kMessage, msg::kTeamCode, "OnTeamCode"},
    {EntryKind::kCommand, cmd::kRescaleMap, "OnRescaleMapElements"},
    {EntryKind::kUpdate, cmd::kRescaleMap, "OnUpdateMapCommands"},
    {EntryKind::kMessage, msg::kWaypointsLoaded, "OnWaypointsLoaded"},
    {EntryKind::kUpdate, cmd::kToggleUsePolar, "OnUpdateUsePolar"},
    {EntryKind::kUpdate, cmd::kNewWaypoint, "OnUpdateFixCommands"},
    {EntryKind::kUpdate, cmd::kTaskDialogMode1, "OnUpdateFixCommands"},
    {EntryKind::kUpdate, cmd::kTaskDialogMode0, "OnUpdateFixCommands"},
    {EntryKind::kUpdate, cmd::kExportBinaryMap, "OnUpdateMapCommands"},
    {EntryKind::kUpdate, cmd::kConvertMapRecords, "OnUpdateMapCommands"},
    {EntryKind::kUpdate, cmd::kNewMapPoint, "OnUpdateMapCommands"},
    {EntryKind::kUpdate, cmd::kMarkPosition, "OnUpdateMarkPosition"},
    {EntryKind::kMessage, msg::kSensorBox, "OnSensorBoxMessage"},
    {EntryKind::kMessage, msg::kAppMessage8, "OnAppMessage8"},
    {EntryKind::kMessage, msg::kSystemError, "OnShowSystemError"},
    {EntryKind::kMessage, msg::kRedrawMapBuffer, "OnRedrawMapBuffer"},
    {EntryKind::kMessage, msg::kPlaySound, "OnPlaySound"},
    {EntryKind::kMessage, msg::kAltitudeOffset, "OnAltitudeOffset"},
    {EntryKind::kMessage, msg::kWindEstimate, "OnWindEstimate"},
    {EntryKind::kMessage, msg::kAutodetectUpdate, "OnAutodetectUpdate"},
    {EntryKind::kMessage, msg::kWaveInData, "OnWaveInData"},
    {EntryKind::kCommand, cmd::kOverlay, "OnCommand32830"},
    {EntryKind::kCommand, cmd::kOverlayFile, "OnOverlayFile"},
    {EntryKind::kUpdate, cmd::kOverlay, "OnUpdateCommand32830"},
    {EntryKind::kCommand, cmd::kTaskPointTap19, "OnTaskPointTap19"},
    {EntryKind::kUpdate, cmd::kTaskPointTap19, "OnUpdateTaskPointTap19"},
    {EntryKind::kCommand, cmd::kTaskPointTap15, "OnTaskPointTap15"},
    {EntryKind::kUpdate, cmd::kTaskPointTap15, "OnUpdateTaskPointTap15"},
}};

std::wstring FormatElapsed(double hours, bool inMinutes) {
    if (!inMinutes) return Format(L"%04.2fh", hours);
    // Rounded to whole minutes first, so 0.9999 h reads 1h00, never 0h60.
    const long total = std::lround(std::max(hours, 0.0) * 60.0);
    return Format(L"%2ldh%02ld", total / 60, total % 60);
}

int StepQueueIndex(int current, int highest, int delta) {
    int next = current + delta;
    if (next > highest) next = 0;
    if (next < 0) next = highest;
    return next;
}

// Marks a command's modal dialog for its lifetime (the views ignore taps
// meanwhile).
class FrameCommands::ModalScope {
  public:
    explicit ModalScope(FrameCommands& owner) : owner_(owner) { owner_.SetModal(1); }
    ~ModalScope() { owner_.SetModal(0); }
    ModalScope(const ModalScope&) = delete;
    ModalScope& operator=(const ModalScope&) = delete;

  private:
    FrameCommands& owner_;
};

FrameCommands::FrameCommands(FrameServices services, platform::SettingsStore& settings)
    : s_(services), settings_(settings) {}

void FrameCommands::SetModal(int open) {
    modalDialogOpen_ = open;
    g_bModalDialogOpen = open;
}

bool FrameCommands::Execute(int command) {
    switch (command) {
        case cmd::kPortSettings: OnPortSettings(); break;
        case cmd::kOptions: OnOptions(); break;
        case cmd::kOpenWaypointFile: OnOpenWaypointFile(); break;
        case cmd::kTaskDialogMode1: OnTaskDialog(1); break;
        case cmd::kTaskDialogMode0: OnTaskDialog(0); break;
        case cmd::kLoadMap: OnLoadMap(); break;
        case cmd::kCenterOnFix: s_.map.CenterOnFix(); break;
        case cmd::kZoomIn: s_.map.ZoomMap(true); break;
        case cmd::kZoomOut: s_.map.ZoomMap(false); break;
        case cmd::kShiftMap: s_.map.SetMapRotation(-1.0); break;
        case cmd::kMarkPosition: OnMarkPosition(); break;
        case cmd::kToggleZoomedMap: s_.map.ToggleZoomedMap(); break;
        case cmd::kReopenPort: ReopenGpsPort(); break;
        case cmd::kNewMapPoint: OnNewMapPoint(); break;
        case cmd::kNewWaypoint: OnNewWaypoint(); break;
        case cmd::kSelectTask: SelectTask(true); break;
        case cmd::kConvertMapRecords: s_.map.ConvertMapRecords(); break;
        case cmd::kReplayFlight: s_.recorder.ReplayFlight(); break;
        case cmd::kStopReplay: OnStopReplay(); break;
        case cmd::kDeclareTask: s_.recorder.DeclareTask(); break;
        case cmd::kSwitchNavDisplay: s_.window.SwitchNavDisplay(); break;
        case cmd::kSaveTaskFile: OnSaveTaskFile(); break;
        case cmd::kLoadTaskFile: OnLoadTaskFile(); break;
        case cmd::kGlideSettings: OnGlideSettings(); break;
        case cmd::kExportBinaryMap: s_.map.ExportBinaryMap(); break;
        case cmd::kStartLog: s_.recorder.StartLog(); break;
        case cmd::kRestartTimer: OnRestartTimer(); break;
        case cmd::kNextWaypoint: OnStepWaypoint(+1); break;
        case cmd::kPreviousWaypoint: OnStepWaypoint(-1); break;
        case cmd::kWindDialog: OnWindDialog(); break;
        case cmd::kNothing: break;
        case cmd::kHelp: s_.window.ShowHelp(); break;
        case cmd::kToggleUsePolar: OnToggleUsePolar(); break;
        case cmd::kElevationModel: s_.map.ChooseElevationModel(); break;
        case cmd::kExportBitmap: s_.map.ExportBitmap(); break;
        case cmd::kSensorBox: break;
        case cmd::kRescaleMap: OnRescaleMap(); break;
        case cmd::kOverlay: OnOverlay(); break;
        case cmd::kOverlayFile: s_.map.ChooseOverlayFile(); break;
        case cmd::kTaskPointTap19:
        case cmd::kTaskPointTap15: OnTaskPointTap(command); break;
        default: return false;
    }
    return true;
}

UiState FrameCommands::Update(int command) const {
    switch (command) {
        case cmd::kExportBitmap:
        case cmd::kRescaleMap:
        case cmd::kExportBinaryMap:
        case cmd::kConvertMapRecords:
        case cmd::kNewMapPoint:
            return {s_.map.Ready(), false};
        case cmd::kMarkPosition:
            return {s_.map.Ready() && s_.tasks.LoaderIdle(), false};
        case cmd::kNewWaypoint:
        case cmd::kTaskDialogMode1:
        case cmd::kTaskDialogMode0:
            return {s_.tasks.WaypointFileOpen() && s_.tasks.LoaderIdle(), false};
        case cmd::kToggleUsePolar: {
            const bool available = s_.glide.PolarAvailable();
            return {available, available && s_.glide.UsePolar()};
        }
        case cmd::kOverlay:
            return {s_.map.OverlayHasElements(), false};
        case cmd::kTaskPointTap19:
        case cmd::kTaskPointTap15:
            return {TapEnabled(command), false};
        default:
            return {};
    }
}

// --- Dialog commands.

void FrameCommands::OnPortSettings() {
    PortDialogValues values = s_.port.InForce();
    // With the receive-flag input the dialog shows the stored flag, which
    // that input switches off while it runs.
    if (values.nmeaCode == 3) {
        values.useRxFlag = static_cast<int>(settings_.GetInt("NMEA", "UseRxFlag", 0));
    }
    bool changed = false;
    {
        ModalScope modal(*this);
        changed = s_.dialogs.PortSettings(values);
    }
    if (changed) {
        settings_.WriteInt("NMEA", "CheckMsgLength", 1);
        settings_.WriteInt("NMEA", "UseRxFlag", static_cast<std::uint32_t>(values.useRxFlag));
        PortDialogValues inForce = values;
        if (values.nmeaCode == 3) inForce.useRxFlag = 0;
        settings_.WriteInt("NMEA", "NMEA_code", static_cast<std::uint32_t>(values.nmeaCode));
        settings_.WriteString("NMEA", "Baud_RateStr", std::wstring_view(values.baudText));
        settings_.WriteString("NMEA", "Port", std::wstring_view(values.port));
        s_.port.SetInForce(inForce);
        ReopenGpsPort();
    }
    s_.map.RequestRedraw();
}

void FrameCommands::OnOptions() {
    const bool alarmCheck = s_.glide.AlarmZoneCheck();
    const float alarmMargin = s_.glide.AlarmZoneMargin();
    const int logInterval = s_.glide.LogInterval();
    const bool flarm = s_.recorder.FlarmBound();
    const int climbDisplay = flarm ? s_.recorder.FlarmClimbDisplay() : 0;
    {
        ModalScope modal(*this);
        s_.dialogs.Options(lastOptionsPage);
    }
    s_.glide.SetMacCreadyText();
    s_.position.Redraw();
    const bool alarmNow = s_.glide.AlarmZoneCheck();
    if (alarmNow != alarmCheck || (alarmNow && s_.glide.AlarmZoneMargin() != alarmMargin)) {
        s_.map.InvalidateDrawing(false);
    }
    s_.map.RequestRedraw();
    if (!s_.log.IsOpen() && logInterval == 0 && s_.glide.LogInterval() >= 1) {
        s_.window.Post(platform::kMainFrameWindow, platform::WM_COMMAND, cmd::kStartLog, 0);
    }
    if (flarm) {
        const int climbNow = s_.recorder.FlarmClimbDisplay();
        if (climbNow != climbDisplay && s_.log.IsOpen() && s_.log.Format() == 1) {
            s_.log.AppendLine(climbNow != 0 ? "LXKV FLARM CLIMB RATE DISPLAY ENABLED\r\n"
                                            : "LXKV FLARM CLIMB RATE DISPLAY DISABLED\r\n");
        }
    }
}

void FrameCommands::OnOpenWaypointFile() {
    if (!s_.tasks.LoaderIdle()) {
        s_.tasks.SetLoaderAbort(true);
        while (!s_.tasks.LoaderIdle()) s_.clock.SleepMs(kLoaderPollMs);
        s_.tasks.SetLoaderAbort(false);
    }
    bool open = false;
    {
        ModalScope modal(*this);
        open = s_.tasks.OpenWaypointFile();
    }
    if (!open) {
        s_.boxes.Show(core::LoadResourceString(kIdsFileCannotBeOpened),
                      core::LoadResourceString(kIdsWaypointFileCaption), kErrorBox);
    }
    settings_.WriteString("Settings", "WaypointFile",
                          std::wstring_view(s_.tasks.WaypointFileName()));
    s_.map.RequestRedraw();
}

void FrameCommands::OnTaskDialog(int mode) {
    if (mode == 1 && !s_.clock.HaveFix()) {
        s_.map.RequestRedraw();
        return;
    }
    if (s_.tasks.EnsureWaypointFileOpen()) {
        const int elementsBefore = s_.map.WaypointElementCount();
        {
            ModalScope modal(*this);
            s_.dialogs.TaskList(mode);
        }
        if (mode == 0 && s_.map.WaypointElementCount() != elementsBefore) {
            s_.map.InvalidateDrawing(true);
        }
        s_.glide.ClearDestinationReached();
        s_.glide.RequestNavigationValues();
    }
    s_.map.RequestRedraw();
}

void FrameCommands::OnNewMapPoint() {
    if (!s_.map.Ready()) return;
    if (s_.map.BinaryMapLoaded()) {
        s_.boxes.Show(core::LoadResourceString(kIdsBinaryMapText),
                      core::LoadResourceString(kIdsFileTypeCaption), kErrorBox);
        return;
    }
    s_.map.SetRelayout(true);
    s_.map.WaitForMapReady(true, true);
    {
        ModalScope modal(*this);
        s_.dialogs.NewWaypoint(true);
    }
    s_.map.InvalidateDrawing(true);
    s_.map.RequestRedraw();
}

void FrameCommands::OnNewWaypoint() {
    if (s_.tasks.EnsureWaypointFileOpen()) {
        int added = -1;
        {
            ModalScope modal(*this);
            added = s_.dialogs.NewWaypoint(false);
        }
        if (added >= 0) s_.map.InvalidateDrawing(true);
    }
    s_.map.RequestRedraw();
}

void FrameCommands::OnWindDialog() {
    {
        ModalScope modal(*this);
        s_.dialogs.Wind();
    }
    s_.glide.RequestNavigationValues();
    s_.map.RecomputeReachableOutline();
    s_.map.RequestRedraw();
}

void FrameCommands::OnGlideSettings() {
    s_.map.MarkDrawingValid();
    {
        ModalScope modal(*this);
        s_.dialogs.GlideSettings();
    }
    s_.glide.RequestNavigationValues();
    if (s_.map.GlideModeImage() != kPictureFixed) {
        s_.map.SetGlideModeImage(GlideModePicture());
        s_.map.RedrawGlideModeButton();
    }
    s_.map.RequestRedraw();
}

std::intptr_t FrameCommands::OnTeamCode() {
    {
        ModalScope modal(*this);
        s_.dialogs.TeamCode(s_.clock.HaveFix());
    }
    s_.glide.ClearDestinationReached();
    s_.glide.RequestNavigationValues();
    s_.map.RequestRedraw();
    return 0;
}

int FrameCommands::SelectTask(bool clearOnCancel) {
    if (s_.map.DisplayMode() == 3) return 2;
    const bool navigationBefore = s_.tasks.NavigationActive();
    SetModal(1);
    const int result = s_.dialogs.TaskEditor(declareMode != 0);
    const bool ok = result == 1;
    if (ok && s_.tasks.EditedTaskValid()) {
        s_.tasks.ActivateEditedTask();
    } else if (clearOnCancel) {
        s_.tasks.CancelTaskSelection();
    }
    if (ok || s_.tasks.NavigationActive() != navigationBefore) s_.map.InvalidateDrawing(false);
    s_.map.RenderBackBuffer();
    s_.map.RequestRedraw();
    SetModal(0);
    return result;
}

// --- Queue stepping.

void FrameCommands::OnStepWaypoint(int delta) {
    if (s_.tasks.QueueIndex() < 0) return;
    if (s_.tasks.NavigationActive() &&
        (nav::g_bAutodetectPrevPrompt.load() != 0 || nav::g_bAutodetectNextPrompt.load() != 0)) {
        return;
    }
    s_.glide.ClearDestinationReached();
    s_.glide.CopyToPrefix();
    const std::wstring name = s_.tasks.StepQueue(delta);
    s_.position.SetDestinationName(name);
    s_.glide.RequestNavigationValues();
    if (s_.tasks.QueueHighest() > 0) {
        s_.window.Post(platform::kMapViewWindow, platform::WM_USER_DESTINATION_CHANGED, 2, 0);
    }
}

// --- Other commands.

void FrameCommands::OnLoadMap() {
    if (s_.map.DisplayMode() != 0) s_.map.SetDisplayMode(0);
    s_.map.SetRelayout(true);
    s_.map.LoadMapFile();
    s_.map.SetRelayout(false);
    s_.map.InvalidateDrawing(false);
    s_.map.RequestRedraw();
}

void FrameCommands::OnMarkPosition() {
    const std::int64_t now = s_.clock.NowSeconds();
    if (now - lastMarkTime_ < kMarkDebounceSeconds) return;
    lastMarkTime_ = now;
    if (!s_.clock.HaveFix()) return;
    s_.map.AppendFixMark();
}

void FrameCommands::ReopenGpsPort() {
    // A reopen runs the pending events while it waits; a reopen asked for
    // meanwhile would fight it for the exclusive port.
    if (reopening_) return;
    reopening_ = true;
    if (s_.port.PortOpen()) {
        s_.port.ClosePort();
        s_.clock.SleepMs(kReopenCloseSleepMs);
        const std::int64_t until = s_.clock.NowSeconds() + kReopenWaitSeconds;
        while (s_.port.ReaderRunning() && s_.clock.NowSeconds() < until) {
            s_.port.DispatchPending();
            s_.clock.SleepMs(kReopenRoundSleepMs);
        }
    }
    s_.port.OpenPort();
    s_.port.Beep();
    reopening_ = false;
}

int FrameCommands::GlideModePicture() const {
    return map::GlideModePicture(s_.glide.UsePolar(), s_.glide.ConstantGlideSpeed());
}

void FrameCommands::OnStopReplay() {
    s_.recorder.StopReplay();
    s_.map.SetGlideModeImage(GlideModePicture());
    s_.map.RedrawGlideModeButton();
}

void FrameCommands::OnToggleUsePolar() {
    if (!s_.glide.PolarAvailable()) return;
    const bool on = !s_.glide.UsePolar();
    s_.glide.SetUsePolar(on);
    const bool fixedPicture = s_.map.GlideModeImage() == kPictureFixed;
    if (!on) s_.glide.ResetBestGlide();
    if (!fixedPicture) s_.map.SetGlideModeImage(GlideModePicture());
    s_.glide.RequestNavigationValues();
    s_.map.RecomputeReachableOutline();
    settings_.WriteInt("Settings\\Polars", "UsePolar", on ? 1 : 0);
    if (!fixedPicture) s_.map.RedrawGlideModeButton();
    s_.glide.RecomputeSpeedToFlyText();
}

void FrameCommands::OnRescaleMap() {
    s_.map.SetRelayout(true);
    s_.map.WaitForMapReady(true, false);
    const double distanceKm = map::g_mapSimplifyDistance.load();
    s_.map.SimplifyElements(distanceKm / kEarthRadiusKm, kSimplifySecond);
    s_.map.SetRelayout(false);
    s_.map.InvalidateDrawing(false);
    s_.map.RequestRedraw();
}

void FrameCommands::OnRestartTimer() {
    if (timer_.start < 0.0) return;
    timer_.start = timer_.mark = s_.clock.FixTimeHours();
    timer_.elapsed = 0.0;
    s_.glide.SetElapsedTimeText(FormatElapsed(timer_.elapsed, s_.glide.TimeInMinutes()));
    s_.position.Redraw();
}

std::wstring FrameCommands::FormatTimeToGo() {
    if (timer_.start < 0.0) return {};
    const double now = s_.clock.FixTimeHours();
    if (timer_.mark == timer_.start) {
        timer_.mark = now;
        timer_.elapsed = 0.0;
    } else {
        timer_.mark = timer_.start;
        timer_.elapsed = now - timer_.start;
    }
    std::wstring text = FormatElapsed(timer_.elapsed, s_.glide.TimeInMinutes());
    s_.glide.SetElapsedTimeText(text);
    return text;
}

void FrameCommands::OnOverlay() {
    const bool wasShown = overlayShown_;
    overlayShown_ = !overlayShown_;
    map::g_bOverlayShown = overlayShown_ ? 1 : 0;
    s_.window.SetMenuLabel(cmd::kOverlay,
                           core::LoadResourceString(wasShown ? kIdsShowOverlay : kIdsHideOverlay));
    s_.window.Post(platform::kMapViewWindow, platform::WM_APP_MAPREDRAW, 0, 1);
}

bool FrameCommands::TapEnabled(int command) const {
    if (!s_.tasks.NavigationActive() || !s_.tasks.HasCurrentTask()) return false;
    if (command == cmd::kTaskPointTap19) {
        return s_.tasks.ActivePointTappable() && s_.position.Mode() != 1;
    }
    return !s_.tasks.SelectedSlotHasTaskPoint();
}

void FrameCommands::OnTaskPointTap(int command) {
    if (!TapEnabled(command)) return;
    s_.window.Post(platform::kPosViewWindow, platform::WM_APP_REPLAYTAP,
                   command == cmd::kTaskPointTap19 ? kTapPassed : kTapSkipped, 0);
}

void FrameCommands::OnSaveTaskFile() {
    if (s_.tasks.TaskListEmpty()) return;
    const std::wstring folder = settings_.GetString("Options\\TaskFiles", "Directory", L"");
    const std::wstring file = settings_.GetString("Options\\TaskFiles", "file", L"ListOfTasks");
    std::optional<std::wstring> path;
    {
        ModalScope modal(*this);
        path = s_.dialogs.ChooseTaskFile(true, folder, file);
    }
    if (!path) return;
    s_.tasks.SaveTaskFile(*path);
    settings_.WriteString("Options\\TaskFiles", "Directory",
                          std::wstring_view(path->substr(0, path->rfind(L'/') + 1)));
    settings_.WriteString("Options\\TaskFiles", "file", std::wstring_view(*path));
    s_.map.RequestRedraw();
}

void FrameCommands::OnLoadTaskFile() {
    if (s_.tasks.CurrentTaskAdopted()) return;
    const std::wstring folder = settings_.GetString("Options\\TaskFiles", "Directory", L"");
    const std::wstring file = settings_.GetString("Options\\TaskFiles", "file", L"ListOfTasks");
    std::optional<std::wstring> path;
    {
        ModalScope modal(*this);
        path = s_.dialogs.ChooseTaskFile(false, folder, file);
    }
    if (!path) return;
    s_.tasks.LoadTaskFile(*path);
    settings_.WriteString("Options\\TaskFiles", "Directory",
                          std::wstring_view(path->substr(0, path->rfind(L'/') + 1)));
    settings_.WriteString("Options\\TaskFiles", "file", std::wstring_view(*path));
    s_.map.RequestRedraw();
}

// --- Worker messages.

std::intptr_t FrameCommands::OnMessage(const platform::WindowMessage& message) {
    switch (message.message) {
        case msg::kHidePopup: return OnHidePopup(message.wParam);
        case msg::kReplayFinished: s_.recorder.ReplayFinished(); return 0;
        case msg::kWaypointsLoaded: return OnWaypointsLoaded();
        case msg::kSensorBox:
            if (s_.recorder.SensorBoxBound() && message.wParam == 0) s_.window.AddSensorBoxMenu();
            return 1;
        case msg::kAppMessage8: return 1;
        case msg::kSystemError: return OnShowSystemError(static_cast<int>(message.lParam));
        case msg::kRedrawMapBuffer:
            if ((message.lParam & 1) != 0) {
                s_.map.RenderBackBuffer();
                s_.map.RequestRedraw();
            }
            return 1;
        case msg::kPlaySound:
            if (const auto* file = std::any_cast<std::wstring>(&message.payload)) {
                s_.glide.PlaySound(*file);
            }
            return 1;
        case msg::kAltitudeOffset: {
            // The sound travels with the message when the sender names one.
            const auto* sound = std::any_cast<std::wstring>(&message.payload);
            return OnAltitudeOffset(message.wParam, message.lParam,
                                    sound != nullptr ? *sound : altitudeGainSound);
        }
        case msg::kWindEstimate: return s_.glide.AcceptWindEstimate(message.payload) ? 1 : 0;
        case msg::kAutodetectUpdate: return OnAutodetectUpdate(message.wParam, message.lParam);
        case msg::kTeamCode: return OnTeamCode();
        case msg::kWaveInData: s_.recorder.WaveInData(message.wParam, message.lParam); return 1;
        case platform::WM_APP_GPSLINK: return OnGpsLink(message.lParam);
        case platform::WM_COMMAND: Execute(static_cast<int>(message.wParam)); return 0;
        default: return 0;
    }
}

std::intptr_t FrameCommands::OnHidePopup(std::uintptr_t handle) {
    if (s_.position.PopupIs(handle)) s_.position.HidePopup();
    return 0;
}

std::intptr_t FrameCommands::OnWaypointsLoaded() {
    s_.tasks.WaypointsLoaded();
    if (s_.map.WaypointElementCount() > 0) s_.map.InvalidateDrawing(true);
    s_.map.RequestRedraw();
    return 1;
}

std::intptr_t FrameCommands::OnShowSystemError(int error) {
    const std::int64_t now = s_.clock.NowSeconds();
    // The time is taken before the box shows, so reports that arrive while
    // it is open do not stack further boxes.
    if (systemErrorShown_ && now - lastSystemErrorTime_ <= kSystemErrorQuietSeconds) return 0;
    systemErrorShown_ = true;
    lastSystemErrorTime_ = now;
    s_.boxes.Show(platform::SystemErrorText(error),
                  core::LoadResourceString(kIdsSystemErrorCaption), kErrorBox);
    return 1;
}

std::intptr_t FrameCommands::OnGpsLink(std::intptr_t link) {
    // Shown on the main screen, whatever page is up: no fix arrives while
    // the port is lost.
    s_.position.ShowPopup(core::LoadResourceString(link == 1 ? kIdsGpsLost : kIdsGpsBack),
                          kPopupGpsLink);
    return 1;
}

std::intptr_t FrameCommands::OnAltitudeOffset(std::uintptr_t speedTenths, std::intptr_t gainFeet,
                                              const std::wstring& sound) {
    if (!sound.empty()) s_.glide.PlaySound(sound);
    std::wstring text = core::LoadResourceString(kIdsAltitudeGain) + L"\r\n";
    if (gainFeet != 0) {
        // One rounding: "%.0f" of the metres.
        text += s_.glide.AltitudeUnit() == 1
                    ? Format(L" +%.0fm ", static_cast<double>(gainFeet) / 3.2808)
                    : Format(L" +%dft ", static_cast<int>(gainFeet));
    }
    if (speedTenths != 0) {
        text += Format(L" +%0.1f%ls ",
                       static_cast<double>(speedTenths) / 10.0 * s_.glide.SpeedFactor(),
                       s_.glide.SpeedUnitName().c_str());
    }
    s_.position.ShowPopup(text, kPopupAltitudeGain);
    return 1;
}

std::intptr_t FrameCommands::OnAutodetectUpdate(std::uintptr_t which, std::intptr_t point) {
    auto& prev = nav::g_bAutodetectPrevPrompt;
    auto& next = nav::g_bAutodetectNextPrompt;
    switch (which) {
        case 0:
            if (s_.tasks.NavigationActive() && s_.tasks.DetectedNextQualifies()) {
                next = next.load() != 0 ? 0 : 1;
                if (next.load() != 0) {
                    prev = 0;
                    g_bAutodetectNumbered = 1;
                    s_.glide.UpdateAutodetectText();
                }
                s_.position.Redraw();
            } else {
                next = 0;
            }
            return 0;
        case 1:
            if (s_.tasks.TaskStarted() && s_.tasks.NavigationActive()) {
                prev = prev.load() != 0 ? 0 : 1;
                if (prev.load() != 0) {
                    next = 0;
                    if (s_.tasks.TargetHasNextLeg()) g_bAutodetectNumbered = 1;
                    s_.glide.UpdateAutodetectText();
                }
                s_.position.Redraw();
            } else {
                prev = 0;
            }
            return 0;
        case 2:
            if (prev.load() == 0 && next.load() == 0) return 0;
            prev = 0;
            next = 0;
            s_.tasks.SelectQueueSlotOfPoint(point);
            s_.position.Redraw();
            return 0;
        default:
            return 0;
    }
}

}  // namespace frame
