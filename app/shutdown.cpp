#include "app/shutdown.h"

#include "app/flarm_binding.h"
#include "app/program_links.h"
#include "fix/fix_processing_thread.h"
#include "glide/glide_path.h"
#include "glide/lifecycle.h"
#include "gps/gps_port.h"
#include "gps/nav_fix.h"
#include "gps/nmea_classify.h"
#include "gps/port_services.h"
#include "gps/raw_capture.h"
#include "map/drawing_tables.h"
#include "map/map_module.h"
#include "map/map_view.h"
#include "nav/lifecycle.h"
#include "nav/olc_worker.h"
#include "nav/task_activation.h"
#include "nav/waypoint_file_open.h"
#include "nav/waypoint_loader.h"
#include "platform/ui_post.h"
#include "recorder/logger_library.h"
#include "services/sound_queue.h"
#include "services/string_resources.h"
#include "services/track_cache.h"

namespace app {
namespace {

constexpr std::uint32_t kFixThreadStopLimitMs = 20000;
constexpr std::uint32_t kWaypointLoaderStopLimitMs = 20000;
constexpr std::uint32_t kSmallThreadStopLimitMs = 2000;

// Asks every worker to stop, then waits for each; true when all ended.
bool StopWorkers(ProgramState& state) {
    nav::g_waypointLoader.RequestStop();
    nav::StopTaskStatistics();
    gps::g_bReplayRunning = false;
    map::g_bTrackDrawContinue = 0;
    if (gps::GpsPortOpen()) gps::CloseGpsPort();

    bool stopped = gps::StopFixProcessing(kFixThreadStopLimitMs);
    if (state.instanceGuard) {
        stopped = state.instanceGuard->StopServing(kSmallThreadStopLimitMs) && stopped;
    }
    stopped = nav::StopOlcThreadsAndWait(kSmallThreadStopLimitMs) && stopped;
    stopped = core::StopSoundQueue() && stopped;
    stopped = nav::g_waypointLoader.Stop(kWaypointLoaderStopLimitMs) && stopped;
    return stopped;
}

// What the stopped workers used, in the order start-up took it.
void FreeResources(ProgramState& state) {
    glide::FreeWindResults();
    map::FreeMapGdiResources();
    nav::DeleteCopiedCurrentTask();
    nav::ClearTaskZoneElements();
    gps::g_bRawDataCapture = 0;
    gps::OpenRawDataLog();  // closes the capture file
    nav::CloseWaypoints(0);
    core::TrackCacheFree();
    gps::SetPortReaderServices(nullptr);
    gps::SetFlarmTransfer(nullptr);
    core::SetStringProvider(nullptr);
    state.bundle.reset();
    glide::FreeGlidePathBuffers();
    UnbindFlarmLibrary();
    recorder::FreeSensorBoxLibrary();
}

}  // namespace

int ExitInstance(ProgramState& state) {
    platform::SetProgramStopping(true);
    // A window left over from a start-up that ended early goes first.
    delete frame::g_hMainFrameWnd;
    state.frame = nullptr;
    RemoveProgramLinks();
    if (!StopWorkers(state)) {
        state.workersLeftRunning = true;
        return 0;
    }
    FreeResources(state);
    return 0;
}

}  // namespace app
