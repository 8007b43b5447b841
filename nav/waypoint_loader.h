#pragma once
// Loading a waypoint file into the program's waypoint list, inline or on a
// background thread.
//
// A load reads every record into a list and map elements of its own, sorts
// them by name and only then publishes them: under WaypointListLock the new
// list and elements take the place of g_waypoints and g_waypointMapElements,
// so a reader sees the old list or the whole new one, never a part.

#include <atomic>
#include <cstdint>
#include <memory>
#include <stop_token>
#include <string>

#include "nav/waypoint_file.h"
#include "nav/waypoint_list.h"
#include "nav/waypoint_map_elements.h"
#include "platform/window_messages.h"
#include "platform/worker_thread.h"

namespace nav {

// How a load ended: the lParam of WM_APP_WAYPOINTSLOADED.
enum class LoadResult : int {
    kComplete = 0,
    kListInsertFailed = 1,     // no memory for the list
    kElementFailed = 2,        // the map could not make an element
    kElementAppendFailed = 3,  // no memory for the element list
    kFileUnreadable = 4,       // the loader could not open the file
};

// 0 while a load runs, 1 once its list is published.
inline std::atomic<int> g_waypointsLoaded{0};

struct LoadedWaypoints {
    WaypointList list;
    WaypointMapElements elements;
};

// Reads the records of `file` from its data start into `loaded`, in name
// order (records with equal names in file order), with a map element for
// every record that asks for one. Stops early, keeping what it read, when
// `stop` is requested or something fails (the result says what). Lines too
// long to be records are left out and reported in one box (unless stopped).
LoadResult ReadAllWaypoints(CWaypointFile& file, LoadedWaypoints& loaded,
                            std::stop_token stop = {});

// Swaps `loaded` with the published list and elements under
// WaypointListLock and sets g_waypointsLoaded; `loaded` then holds what was
// published before (free it outside the lock).
void PublishWaypoints(LoadedWaypoints& loaded);

// Publishes an empty list and clears g_waypointsLoaded (a new file opens).
void ClearPublishedWaypoints();

// Reads and publishes `file` on the calling thread.
LoadResult LoadWaypoints(CWaypointFile& file);

// The background loader. It reads the file through a read-only file object
// of its own, at a lower thread priority, and on success or failure
// publishes what it read and posts WM_APP_WAYPOINTSLOADED (lParam: the
// LoadResult) to its window, once. A load that is asked to stop publishes
// and posts nothing.
class WaypointLoader {
  public:
    WaypointLoader();
    ~WaypointLoader();
    WaypointLoader(const WaypointLoader&) = delete;
    WaypointLoader& operator=(const WaypointLoader&) = delete;

    // Stops a running load, then starts loading `path`; `window` 0 posts
    // nothing. False when the earlier load does not stop in time.
    bool Start(std::wstring path, platform::WindowId window = platform::kMainFrameWindow);
    void RequestStop();
    // Waits up to timeoutMs for the load to end by itself; true when no load
    // runs then (it has published and posted).
    bool Wait(std::uint32_t timeoutMs);
    // RequestStop, then waits up to timeoutMs; true when no load runs then.
    bool Stop(std::uint32_t timeoutMs);
    // True from Start until the load has published and posted (or stopped).
    bool Running() const;
    // The result of the last load that ran to its end.
    LoadResult LastResult() const;

  private:
    struct State {
        std::atomic<bool> running{false};
        std::atomic<int> result{0};
    };
    std::shared_ptr<State> state_;
    platform::WorkerThread thread_;
};

// The program's loader.
extern WaypointLoader g_waypointLoader;

}  // namespace nav
