#include "app/program_links.h"

#include <wx/thread.h>
#include <wx/weakref.h>

#include <atomic>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <typeinfo>

#include "app/flarm_binding.h"
#include "app/map_view_links.h"
#include "core/waypoint_course.h"
#include "fix/display_links.h"
#include "fix/position_texts.h"
#include "fix/waypoint_queue_texts.h"
#include "frame/frame_commands.h"
#include "frame/main_frame.h"
#include "frame/map_command_target.h"
#include "frame/options/view_link.h"
#include "frame/position_links.h"
#include "glide/final_glide.h"
#include "glide/heading_wind.h"
#include "glide/lifecycle.h"
#include "glide/speed_to_fly_text.h"
#include "glide/wind_history.h"
#include "gps/nav_fix.h"
#include "gps/nmea_classify.h"
#include "map/map_point_link.h"
#include "map/map_timer_duties.h"
#include "map/map_view.h"
#include "nav/current_position.h"
#include "nav/destination_queue.h"
#include "nav/map_point_file.h"
#include "nav/task_map_elements.h"
#include "nav/team_code.h"
#include "nav/waypoint_file_open.h"
#include "nav/waypoint_map_elements.h"
#include "platform/gui/file_dialog.h"
#include "platform/ui_post.h"
#include "platform/window_messages.h"
#include "recorder/flight_log_file.h"
#include "recorder/replay.h"
#include "services/sound_queue.h"
#include "services/track_cache.h"
#include "texts/display_texts.h"
#include "texts/team_code_line.h"

namespace app {
namespace {

// The map's own sounds hold off this many timer ticks while a destination's
// sound plays.
constexpr int kDestinationSoundHoldOff = 20;
constexpr std::uint32_t kDestinationSoundWaitMs = 3000;

// The destination changed (a list choice, a go-to, a task activated, a
// queue slot chosen): its name is shown, the queue texts start over, the
// fix-processing thread computes the new values and the destination's
// sound plays. Any thread: nothing here touches a window directly.
class ProgramDestinationListener final : public nav::DestinationListener {
  public:
    void DestinationNamed(std::wstring_view name) override {
        glide::DestinationNameText.Set(std::wstring(name));
        frame::InvalidatePositionPage();
    }
    void QueueTextsReset() override { gps::ResetWaypointQueueTexts(); }
    void NewDataRequested(int reason) override { gps::SignalNewGpsData(reason); }
    void PlaySound(const std::filesystem::path& file) override {
        map::g_soundHoldOff = kDestinationSoundHoldOff;
        core::PlaySoundAsync(file.wstring(), core::SND_FILENAME | core::SND_ASYNC, &core::SoundLock,
                             kDestinationSoundWaitMs);
    }
};

// Where the glider is going: from the present position to the destination,
// once the map has had its first fix. Detected waypoints are not kept by
// the navigation, so the courses are never those of auto-detect mode.
std::optional<glide::SpeedToFlyCourses> SpeedToFlyCoursesNow() {
    if (map::g_bHaveFix.load() == 0) return std::nullopt;
    glide::SpeedToFlyCourses courses;
    if (nav::g_destinationValid.load() != 0) {
        nav::CourseResult course;
        nav::CourseAndDistance(nav::CopyMapFix(), nav::CopyDestination(), &course);
        courses.course = course.trueCourseRad;
    }
    return courses;
}

// The waypoint file dialog ("Turnpoint Data"): open (a missing file is
// created by the open) or save as, starting at the present file. A dialog
// belongs to the UI thread; elsewhere the choice is cancelled.
std::optional<std::wstring> ChooseWaypointFile(bool openMode, const std::wstring& current) {
    if (!wxIsMainThread()) return std::nullopt;
    platform::gui::FileDialogRequest dialog;
    dialog.title = nav::kWaypointDialogTitle;
    dialog.name = current;
    dialog.wildcard = openMode ? nav::kWaypointOpenFilter : nav::kWaypointSaveFilter;
    dialog.save = !openMode;
    dialog.mustExist = false;
    dialog.overwritePrompt = false;
    dialog.defaultExtension = nav::kWaypointDefaultExtension;
    frame::g_bModalDialogOpen = 1;
    const auto answer = platform::gui::ShowFileDialog(frame::g_hMainFrameWnd, dialog);
    frame::g_bModalDialogOpen = 0;
    if (!answer) return std::nullopt;
    return platform::gui::WithDefaultExtension(answer->path, nav::kWaypointDefaultExtension).wstring();
}

// A full drawing of the map: after each replayed fix, after a new wind (its
// indicator), after the flight log's dialogs (1 while they run, then the
// caller's mode).
void RedrawMap() {
    platform::PostWindowMessage(platform::kMapViewWindow, platform::WM_APP_MAPREDRAW, 0, 0);
}

// After each replayed fix the map is drawn anew. A replay gives fixes
// faster than a loaded machine draws the map, so one drawing waits at a
// time: its message clears the mark as it is freed (handled or dropped),
// and the window's queue never fills with drawings that would hold back the
// pilot's taps and commands (the stop of the replay among them).
std::atomic<bool> g_replayRedrawWaiting{false};

struct ReplayRedrawMark {
    ReplayRedrawMark() = default;
    ReplayRedrawMark(const ReplayRedrawMark&) = delete;
    ReplayRedrawMark& operator=(const ReplayRedrawMark&) = delete;
    ~ReplayRedrawMark() { g_replayRedrawWaiting = false; }
};

void RedrawMapAfterReplayedFix() {
    if (g_replayRedrawWaiting.exchange(true)) return;
    platform::PostWindowMessage({platform::kMapViewWindow, platform::WM_APP_MAPREDRAW, 0, 0,
                                 std::make_shared<const ReplayRedrawMark>()});
}

// The replay pauses while the pilot holds the map's replay button, redraws
// the map after each fix and does not start while the map shows an object.
recorder::ReplayMapHooks ReplayHooks() {
    recorder::ReplayMapHooks hooks;
    hooks.paused = [] { return map::g_replayHold.load() != 0; };
    hooks.redraw = &RedrawMapAfterReplayedFix;
    hooks.refusesReplay = [] { return map::g_mapDisplayMode.load() == map::kFocusObject; };
    return hooks;
}

// A replay starts from empty navigation texts, final glide, wind history
// and track, and leaves the heading method's lines and the track of the
// replayed flight behind (the trail would otherwise join two flights). The
// map's glide-mode button shows the replay while it runs.
void AddReplaySteps(map::CGPSmapView* mapView) {
    recorder::AddReplayStartStep([view = wxWeakRef<map::CGPSmapView>(mapView)] {
        core::TrackCacheReset();
        glide::InitDisplayTexts();
        gps::ResetPositionTexts();
        gps::ResetWaypointQueueTexts();
        glide::ResetFinalGlide();
        glide::ClearWindHistory();
        ShowGlideModeButton(view.get(), true);
    });
    recorder::AddReplayEndStep([view = wxWeakRef<map::CGPSmapView>(mapView)] {
        core::TrackCacheReset();
        glide::ClearWindHistory();
        glide::ResetHeadingWind();
        ShowGlideModeButton(view.get(), false);
    });
}

std::optional<std::wstring> OwnTeamCode(double lonWest, double latitude) {
    const auto coder = nav::CurrentTeamCoder();
    if (coder->Settings().enable == 0) return std::nullopt;
    return coder->Encode(lonWest, latitude);
}

}  // namespace

void InstallProgramLinks(gps::PortReaderServices& portServices, map::CGPSmapView* mapView) {
    InstallMapViewLinks(mapView);
    gps::SetPortReaderServices(&portServices);
    gps::SetFlarmTransfer(&TransferToFlarm);
    glide::SetOwnTeamCodeEncoder(&OwnTeamCode);
    AddReplaySteps(mapView);
    nav::SetDestinationListener(std::make_shared<ProgramDestinationListener>());
    glide::SetSpeedToFlyCourseSource(&SpeedToFlyCoursesNow);
    nav::SetWaypointFileChooser(&ChooseWaypointFile);
    recorder::SetReplayMapHooks(ReplayHooks());
    recorder::SetMapPaintModeHook([](int mode) {
        if (mode != 1) RedrawMap();
    });
    glide::SetWindIndicatorRedraw(&RedrawMap);
}

void RemoveProgramLinks() {
    glide::SetWindIndicatorRedraw(nullptr);
    recorder::SetMapPaintModeHook(nullptr);
    recorder::SetReplayMapHooks({});
    nav::SetWaypointFileChooser(nullptr);
    glide::SetSpeedToFlyCourseSource(nullptr);
    nav::SetDestinationListener(nullptr);
    RemoveMapViewLinks();
}

std::vector<LinkState> ProgramLinkStates() {
    const recorder::ReplayMapHooks replay = recorder::CurrentReplayMapHooks();
    // The built-in links are the base classes themselves.
    const std::shared_ptr<gps::DisplayLinks> displayLinks = gps::CurrentDisplayLinks();
    const frame::MapCommandTarget& mapCommands = frame::CurrentMapCommandTarget();
    const frame::ViewLink& views = frame::Views();
    return {
        {"fix display links", typeid(*displayLinks) != typeid(gps::DisplayLinks)},
        {"map commands", typeid(mapCommands) != typeid(frame::MapCommandTarget)},
        {"options view link", typeid(views) != typeid(frame::ViewLink)},
        {"map point file", nav::GetMapPointFile() != nullptr},
        {"task map hook", nav::GetTaskMapHook() != nullptr},
        {"destination listener", nav::InstalledDestinationListener() != nullptr},
        {"speed-to-fly courses", glide::SpeedToFlyCourseSourceInstalled()},
        {"waypoint file chooser", nav::WaypointFileChooserInstalled()},
        {"waypoint map hook", nav::GetWaypointMapHook() != nullptr},
        {"replay map hooks", replay.paused && replay.redraw && replay.refusesReplay},
        {"map paint mode", recorder::MapPaintModeHookInstalled()},
        {"wind indicator redraw", glide::WindIndicatorRedrawInstalled()},
    };
}

}  // namespace app
