#pragma once
// MapReadThread: reads the map (and the overlay) on a thread of its own,
// below normal priority, into temporary lists that it splices into the
// window's lists under MapListLock every 40 elements and at the end, and
// posts progress so that the map is shown piece by piece. It never waits
// for the UI: its progress, its end and its errors go out through the
// posting hooks (the window turns them into WM_APP+34 and message boxes).
//
// One read at a time; Start() after Stop() or a finished read. Exit code
// 200. A stopped read posts nothing.

#include <atomic>
#include <filesystem>
#include <functional>
#include <memory>

#include "map/map_lists.h"
#include "mapdata/map_file.h"
#include "platform/worker_thread.h"

namespace map {

struct MapReadHooks {
    // lParam 1: progress; 0: the read ended (not after a stop).
    std::function<void(int lParam)> post;
    // Why a read gave up (out of memory, a binary map too new or damaged);
    // called on the read thread. The window passes ShowMapReadError.
    std::function<void(mapdata::MapReadError)> reportError;
    // The clock that paces the progress posts; empty: the steady clock.
    std::function<mapdata::MapReadContext::Clock::time_point()> clock;
};

// Tells the pilot why the map could not be read: out of memory or a damaged
// binary map (caption 2538, text 2537), a binary map too new (text 3500,
// caption 2008). The box has only an OK button, so a read thread that calls
// it hands the box to the UI thread and goes on without waiting.
void ShowMapReadError(mapdata::MapReadError error);

struct MapReadJob {
    mapdata::CMapFile* mapFile = nullptr;  // the main map, its header read
    std::filesystem::path overlayPath;     // empty: no overlay
    bool overlayOnly = false;
    float horGuardNm = 0.0F;
};

class MapReadThread {
  public:
    MapReadThread(MapLists& lists, MapReadHooks hooks);
    ~MapReadThread();
    MapReadThread(const MapReadThread&) = delete;
    MapReadThread& operator=(const MapReadThread&) = delete;

    // Starts a read (a running one is stopped and joined first).
    void Start(MapReadJob job);
    // Asks the read to end and joins it.
    void Stop();
    bool Finished() const { return !thread_.Running(); }
    int ExitCode() const { return exitCode_.load(); }
    // The read last started went to its end and posted it: it touches the
    // lists no more. An end post that arrives while this is false belongs
    // to an earlier read.
    bool ReadEnded() const { return ended_.load(); }

  private:
    class Context;
    int Run(Context& context, const MapReadJob& job);

    MapLists& lists_;
    MapReadHooks hooks_;
    std::unique_ptr<Context> context_;
    std::atomic<bool> ended_{false};
    std::atomic<int> exitCode_{0};
    platform::WorkerThread thread_;  // last: stopped before the rest goes
};

}  // namespace map
