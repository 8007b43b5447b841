#include "nav/waypoint_loader.h"

#include <new>
#include <utility>
#include <vector>

#include "platform/thread_priority.h"
#include "platform/ui_post.h"
#include "services/file_reports.h"

namespace nav {
namespace {

// How much nicer than the rest of the program the loader runs, so that the
// map and the fix processing keep their pace while a large file loads.
constexpr int kLoaderNiceness = 5;

LoadResult AddElement(WaypointMapHook& hook, const CWaypointEntry& entry,
                      WaypointMapElements& elements) {
    std::unique_ptr<WaypointMapElement> element;
    try {
        element = hook.MakeElement(entry.record, ElementExtension(entry.extension));
    } catch (const std::bad_alloc&) {
        return LoadResult::kElementFailed;
    }
    if (!element) return LoadResult::kElementFailed;
    try {
        elements.push_back(std::move(element));
    } catch (const std::bad_alloc&) {
        return LoadResult::kElementAppendFailed;
    }
    return LoadResult::kComplete;
}

// Publishes unless a stop was asked for; the test and the swap are made
// under the lock, so a load that was asked to stop never overwrites what the
// one who stopped it publishes afterwards.
bool PublishLoaded(LoadedWaypoints& loaded, const std::stop_token& stop) {
    const auto hook = GetWaypointMapHook();
    const platform::CriticalSectionLock lock(WaypointListLock);
    if (stop.stop_requested()) return false;
    if (hook) hook->ElementsReplaced();
    swap(g_waypoints, loaded.list);
    g_waypointMapElements.swap(loaded.elements);
    g_waypointsLoaded = 1;
    return true;
}

}  // namespace

LoadResult ReadAllWaypoints(CWaypointFile& file, LoadedWaypoints& loaded, std::stop_token stop) {
    WaypointListBuilder builder;
    const auto hook = GetWaypointMapHook();
    LoadResult result = LoadResult::kComplete;
    std::uint64_t position = file.DataStart();
    std::size_t records = 0;
    while (!stop.stop_requested()) {
        std::unique_ptr<CWaypointEntry> read;
        try {
            read = std::make_unique<CWaypointEntry>();
        } catch (const std::bad_alloc&) {
            result = LoadResult::kListInsertFailed;
            break;
        }
        if (file.ReadWaypoint(position, read->record, read->lineOffset, &read->extension) !=
            CWaypointFile::kRead) {
            break;
        }
        const CWaypointEntry& entry = *read;
        if (!builder.Add(std::move(read))) {
            result = LoadResult::kListInsertFailed;
            break;
        }
        ++records;
        if (hook && WantsMapElement(entry.extension)) {
            result = AddElement(*hook, entry, loaded.elements);
            if (result != LoadResult::kComplete) break;
        }
    }

    if (stop.stop_requested()) return result;  // nothing of it will be published
    core::ReportLongLines(file.GetFullPath(), file.LongLinesSkipped());
    // An empty file is a new one; one whose lines are all refused is not a
    // waypoint file, and the pilot would otherwise fly without waypoints
    // unawares.
    if (records == 0 && file.LinesNotRecords() > 0) core::ReportNoRecords(file.GetFullPath());
    auto list = builder.Finish();
    if (!list) return LoadResult::kListInsertFailed;
    loaded.list = std::move(*list);
    return result;
}

void PublishWaypoints(LoadedWaypoints& loaded) {
    PublishLoaded(loaded, {});
}

void ClearPublishedWaypoints() {
    LoadedWaypoints empty;
    {
        const auto hook = GetWaypointMapHook();
        const platform::CriticalSectionLock lock(WaypointListLock);
        if (hook) hook->ElementsReplaced();
        swap(g_waypoints, empty.list);
        g_waypointMapElements.swap(empty.elements);
        g_waypointsLoaded = 0;
    }
}

LoadResult LoadWaypoints(CWaypointFile& file) {
    LoadedWaypoints loaded;
    const LoadResult result = ReadAllWaypoints(file, loaded);
    PublishWaypoints(loaded);
    return result;
}

WaypointLoader::WaypointLoader() : state_(std::make_shared<State>()) {}

WaypointLoader::~WaypointLoader() {
    Stop(thread_.StopLimit());
}

bool WaypointLoader::Start(std::wstring path, platform::WindowId window) {
    if (!Stop(thread_.StopLimit())) return false;
    auto state = std::make_shared<State>();
    state->running = true;
    state_ = state;
    const bool started =
        thread_.Start([state, path = std::move(path), window](std::stop_token stop) {
            platform::LowerThisThreadPriority(kLoaderNiceness);
            LoadedWaypoints loaded;
            LoadResult result = LoadResult::kFileUnreadable;
            {
                CWaypointFile file;
                if (file.OpenWaypoints(path, core::OpenMode::kRead, true)) {
                    result = ReadAllWaypoints(file, loaded, stop);
                }
            }
            const bool published = PublishLoaded(loaded, stop);
            state->result = static_cast<int>(result);
            state->running.store(false, std::memory_order_release);
            if (published && window != 0) {
                platform::PostWindowMessage(window, platform::WM_APP_WAYPOINTSLOADED, 0,
                                            static_cast<std::intptr_t>(result));
            }
        });
    if (!started) state->running = false;
    return started;
}

void WaypointLoader::RequestStop() {
    thread_.RequestStop();
}

bool WaypointLoader::Wait(std::uint32_t timeoutMs) {
    return thread_.JoinFor(timeoutMs);
}

bool WaypointLoader::Stop(std::uint32_t timeoutMs) {
    const bool joined = thread_.Stop(timeoutMs);
    if (!joined) return false;
    state_->running = false;
    return true;
}

bool WaypointLoader::Running() const {
    return state_->running.load(std::memory_order_acquire);
}

LoadResult WaypointLoader::LastResult() const {
    return static_cast<LoadResult>(state_->result.load());
}

}  // namespace nav
