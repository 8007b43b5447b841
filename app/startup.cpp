#include "app/startup.h"

#include <fcntl.h>
#include <unistd.h>

#include <wx/display.h>

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>
#include <utility>

#include "app/flarm_binding.h"
#include "app/load_reports.h"
#include "app/map_view_links.h"
#include "app/program_links.h"
#include "app/resource_library.h"
#include "app/serial_settings.h"
#include "app/settings_loader.h"
#include "app/show_queue.h"
#include "app/shutdown.h"
#include "app/test_hooks.h"
#include "core/settings_values.h"
#include "fix/fix_commit.h"
#include "fix/fix_processing_thread.h"
#include "fix/position_texts.h"
#include "fix/waypoint_queue_texts.h"
#include "frame/position_view.h"
#include "glide/final_glide.h"
#include "glide/glide_path.h"
#include "glide/heading_wind.h"
#include "glide/lifecycle.h"
#include "glide/settings_values.h"
#include "glide/wind_history.h"
#include "gps/gps_port.h"
#include "gps/nmea_classify.h"
#include "gps/port_services.h"
#include "gps/settings_values.h"
#include "map/drawing_tables.h"
#include "map/map_module.h"
#include "map/map_view.h"
#include "nav/current_position.h"
#include "nav/destination_queue.h"
#include "nav/lifecycle.h"
#include "nav/olc_settings.h"
#include "nav/task_statistics.h"
#include "nav/team_code.h"
#include "nav/waypoint_file_open.h"
#include "platform/message_box.h"
#include "platform/numbers.h"
#include "platform/settings_store.h"
#include "platform/ui_post.h"
#include "platform/utf.h"
#include "recorder/igc_header.h"
#include "recorder/logger_declaration.h"
#include "recorder/logger_library.h"
#include "recorder/replay.h"
#include "resources/ids/main_frame.h"
#include "resources/ids/strings.h"
#include "services/module_services.h"
#include "services/shared_locks.h"
#include "services/sound_queue.h"
#include "services/string_resources.h"
#include "services/track_cache.h"
#include "texts/display_texts.h"
#include "texts/display_units.h"
#include "texts/team_code_line.h"

namespace app {
namespace {

constexpr std::string_view kStartupSettingsSection = "Settings";
constexpr std::string_view kStartupMiscSection = "Options\\Miscellaneous";
constexpr std::string_view kStartupMapsSection = "Options\\Maps";
using ids::kIdsPortQuestion;
using ids::kIdsPortCaption;

constexpr int kHighestNavDisplay = 2;

platform::SettingsStore& Settings() {
    return platform::AppSettings();
}

std::int32_t ReadInt(std::string_view section, std::string_view name, std::int32_t defaultValue) {
    return static_cast<std::int32_t>(
        Settings().GetInt(section, name, static_cast<std::uint32_t>(defaultValue)));
}

// The settings store, the screen values and the resource bundle.
bool OpenSettingsAndBundle(ProgramState& state) {
    platform::SetAppSettings(std::make_unique<platform::SettingsStore>(
        platform::SettingsStore::DefaultPath(kApplicationName)));
    ApplyScreenResolution();

    auto library = LoadResourceLibrary();
    if (!library) return false;
    state.bundle = std::make_unique<platform::gui::ResourceBundleInstallation>(
        std::make_shared<const platform::gui::ResourceBundle>(std::move(*library)));
    core::SetStringProvider(&platform::gui::BundleString);
    return true;
}

// One instance per user; a later one asks this one to come to the front.
bool TakeInstanceGuard(ProgramState& state) {
    state.instanceGuard = std::make_unique<InstanceGuard>(
        kInstanceGuardName, platform::SettingsStore::DefaultPath(kApplicationName).parent_path());
    if (SingleInstanceGuard(*state.instanceGuard) != 0) return false;
    state.instanceGuard->ServeRaiseRequests([] {
        const bool raised =
            platform::SendWindowMessage(platform::kMainFrameWindow, frame::WM_APP_RAISEFRAME)
                .value_or(0) == 1;
        if (raised) test_hooks::Record("raised");
        return raised;
    });
    return true;
}

// Team code, destination, display cycle, display texts, folders, the map's
// drawing tables and the FLARM library. The shared locks are objects of
// static lifetime and need no start.
void PrepareSubsystems() {
    nav::LoadTeamSettings();
    {
        const platform::CriticalSectionLock lock(core::TaskLock);
        nav::g_destination.attachments.Clear();
        nav::g_activeTaskPoint = nullptr;
    }
    LoadShowQueue(Settings(), frame::g_showQueueFlags);
    core::g_allowRotationToTog =
        ReadInt(kStartupMapsSection, "AllowRotationToTOG", core::g_allowRotationToTog);
    glide::InitDisplayTexts();
    core::InitDocumentsFolder();
    map::CreateMapGdiResources(platform::gui::BundleImage, core::g_documentsFolder);
    BindFlarmLibrary();
}

bool CreateMainFrame(ProgramState& state, frame::ScreenSize screen) {
    auto window = std::make_unique<frame::CMainFrame>();
    if (!window->LoadFrame(screen)) return false;
    state.frame = window.release();  // wx owns the window from here
    return true;
}

// The program's folder, the glide and contest tables, the logger and the
// fix records. The track cache exists before any thread that appends to it.
void PrepareGpsInput(ProgramState& state) {
    Settings().WriteString(kStartupSettingsSection, "PathToExe", core::GetExeFolder());
    glide::InitGlidePathBuffers();
    nav::LoadOlcSettings(Settings());
    // A logger that declares with the port open is told the bundle's revision.
    if (const auto bundle = platform::gui::InstalledBundle(); bundle && bundle->Version())
        recorder::g_loggerBundleRevision = bundle->Version()->revision;
    recorder::g_bLoggerLibraryBound = recorder::BindLoggerLibrary(state.frame);
    gps::InitGpsData();
    core::TrackCacheAlloc();
    LoadSerialSettings(Settings());

    recorder::BindSensorBoxLibrary(state.frame);
}

// The port and the two GPS threads, once the settings are in force: a
// sentence read before them would be taken with the built-in values (a
// magnetic variation of -999 degrees among them) and kept.
bool StartGpsInput(ProgramState& state) {
    if (!gps::OpenGpsPort(gps::g_gpsPortName.Get())) {
        const int answer = platform::ShowMessageBox(
            state.frame, core::LoadResourceString(kIdsPortQuestion),
            core::LoadResourceString(kIdsPortCaption),
            platform::mb::kYesNo | platform::mb::kIconHand | platform::mb::kTopmost);
        if (answer == platform::kIdNo) return false;
    }
    gps::StartFixProcessing();
    return true;
}

// The task file used last. Task activation and navigation steer the task
// statistics worker through its link, which is there before any task is.
void ReadLastTaskFile() {
    nav::InstallTaskStatistics();
    const std::wstring file =
        Settings().GetString("Options\\TaskFiles", "file", std::wstring_view());
    if (!file.empty()) ReportTaskFileProblem(file, nav::ReadTaskFile(file));
}

// The settings, the last tasks, the glide-mode picture and the MacCready text.
void LoadProgramSettings(ProgramState& state) {
    LoadSettings(state.frame);
    if (map::CGPSmapView* view = state.frame->MapView()) view->CreateLabelFont();
    map::g_loadMapAtStartup = ReadInt(kStartupMiscSection, "LoadMapAtStartup", 1);
    glide::g_showMcrWhileCircling = ReadInt(kStartupMiscSection, "ShowMCRwhileCircling", 0);
    ReadLastTaskFile();
    ShowGlideModeButton(state.frame->MapView(), false);
    const float macCready = core::g_macCready.load() * glide::CurrentClimbUnit().factor;
    glide::MacCreadyText.Set(platform::FormatC(L" %0.1f", static_cast<double>(macCready)));
}

// The map file is read by the map reader when it can be opened; a missing
// one is never created here.
void LoadMapAtStartup(map::CGPSmapView* view) {
    if (map::g_loadMapAtStartup.load() == 0 || view == nullptr) return;
    const std::wstring name = map::g_mapFileName.Get();
    const std::string path = platform::ToUtf8(name);
    if (path.empty()) return;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return;
    ::close(fd);
    view->LoadMapFile(name, 1);
}

// A stored simplification distance counts only as a 4-byte float.
void ReadMapSimplifyDistance() {
    const auto stored = Settings().GetBinary(kStartupMapsSection, "mapSimplifyDistance");
    if (!stored || stored->size() != sizeof(float)) return;
    float distance = 0.0F;
    std::memcpy(&distance, stored->data(), sizeof distance);
    map::g_mapSimplifyDistance = distance;
}

// The navigation display as it was when "stickyNavDisplay" is on.
void RestoreNavigationDisplay(ProgramState& state) {
    const std::int32_t sticky = ReadInt(kStartupSettingsSection, "stickyNavDisplay", 0);
    const std::int32_t last =
        ReadInt(kStartupSettingsSection, "lastNavDisplaySetting", frame::g_nNavDisplay);
    state.frame->RestoreNavDisplay(1);
    if (sticky == 0 || last == 0) return;
    frame::g_nNavDisplay = std::min(last, kHighestNavDisplay);
    if (frame::g_nNavDisplay > 0) {
        platform::PostWindowMessage(platform::kMainFrameWindow, platform::WM_COMMAND,
                                    xrc::main_frame::kSwitchNavDisplay);
    }
}

// The waypoint file, loaded in the background.
void OpenLastWaypointFile() {
    std::wstring path =
        Settings().GetString(kStartupSettingsSection, "WaypointFile", std::wstring_view());
    nav::g_waypointFileName.Set(path);
    if (!path.empty()) nav::OpenWaypointFile(nav::g_waypointFile, path, false, true, true);
}

// The first redraw draws the whole map.
void RequestFirstRedraw(map::CGPSmapView* view) {
    if (view == nullptr) return;
    view->Redraw().Forget();
    view->RequestMapRedraw();
}

// The window shown, then what needs it: the map, the sound queue, the
// navigation display, the waypoints, the flight log and the first redraw.
void ShowAndFinish(ProgramState& state) {
    state.frame->Show();
    state.frame->Update();
    map::CGPSmapView* view = state.frame->MapView();
    LoadMapAtStartup(view);
    recorder::g_strLoggerId.Set(recorder::MakeLoggerIdFromOwner());
    core::InitSoundQueue();
    ReadMapSimplifyDistance();
    RestoreNavigationDisplay(state);
    OpenLastWaypointFile();
    if (core::g_logInterval.load() > 0) {
        platform::PostWindowMessage(platform::kMainFrameWindow, platform::WM_COMMAND,
                                    xrc::main_frame::kStartLog);
    }
    RequestFirstRedraw(view);
    // From here the map handles committed fixes.
    if (view != nullptr) view->StartupDone();
}

}  // namespace

frame::ScreenSize MainScreenSize() {
    const wxRect screen = wxDisplay(0U).GetGeometry();
    return {screen.width, screen.height};
}

void ApplyScreenResolution() {
    ReadInt(kStartupSettingsSection, "Resolution", 1);
    map::g_screenResolution = 0;
    map::OrderMapDrawingSizes(map::g_mapDrawingSizes);
}

bool InitInstance(ProgramState& state, frame::ScreenSize screen) {
    platform::SetProgramStopping(false);
    platform::SetDefaultCaption(platform::FromUtf8(kApplicationName));
    if (!OpenSettingsAndBundle(state)) return false;
    const auto abandon = [&state] {
        ExitInstance(state);
        return false;
    };
    if (!TakeInstanceGuard(state)) return abandon();
    ReportSettingsProblem(Settings());
    PrepareSubsystems();
    if (!CreateMainFrame(state, screen)) return abandon();
    InstallProgramLinks(state.portServices, state.frame->MapView());
    PrepareGpsInput(state);
    LoadProgramSettings(state);
    if (!StartGpsInput(state)) return abandon();
    ShowAndFinish(state);
    return true;
}

}  // namespace app
