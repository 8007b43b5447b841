#include "map/map_read_thread.h"

#include <iterator>
#include <utility>

#include "map/map_worker.h"
#include "mapdata/text_map_reader.h"
#include "platform/message_box.h"
#include "platform/thread_priority.h"
#include "resources/ids/strings_map.h"
#include "resources/ids/strings_recorder.h"
#include "services/message_services.h"
#include "services/string_resources.h"

namespace map {
namespace {

using ids::kIdsMapCaption;
using ids::kIdsMapReadFailed;
using ids::kIdsMapTooNew;
using ids::kIdsErrorCaption;

std::function<mapdata::MapReadContext::Clock::time_point()> ClockOf(const MapReadHooks& hooks) {
    if (hooks.clock) return hooks.clock;
    return [] { return mapdata::MapReadContext::Clock::now(); };
}

}  // namespace

void ShowMapReadError(mapdata::MapReadError error) {
    switch (error) {
        case mapdata::MapReadError::kNone:
            return;
        case mapdata::MapReadError::kVersionTooNew:
            platform::ShowMessageBox(nullptr, core::LoadResourceString(kIdsMapTooNew),
                                     core::LoadResourceString(kIdsErrorCaption),
                                     platform::mb::kOk | platform::mb::kIconExclamation |
                                         platform::mb::kTopmost);
            return;
        case mapdata::MapReadError::kNoMemory:
        case mapdata::MapReadError::kDamaged:
            core::ShowMessageFromIds(kIdsMapCaption, kIdsMapReadFailed);
            return;
    }
}

void AppendElements(mapdata::ElementList& to, mapdata::ElementList& from) {
    to.insert(to.end(), std::make_move_iterator(from.begin()), std::make_move_iterator(from.end()));
    from.clear();
}

// The read context of one read: its five lists are the temporaries, spliced
// into the window's lists under the lock.
class MapReadThread::Context : public mapdata::MapReadContext {
  public:
    Context(MapLists& lists, MapReadHooks& hooks)
        : MapReadContext(ClockOf(hooks)), lists_(lists), hooks_(hooks) {
        spliceEnabled = true;
    }

    // The end of a file: every list, in the window's order.
    void SpliceAll() {
        const std::lock_guard lock(lists_.lock);
        AppendElements(lists_.zones, zones);
        AppendElements(lists_.general, general);
        AppendElements(lists_.symbols17, symbols17);
        AppendElements(lists_.overlay, overlay);
        AppendElements(lists_.symbols27, symbols27);
    }

  protected:
    void Splice() override {
        const std::lock_guard lock(lists_.lock);
        if (!overlayOnly) {
            AppendElements(lists_.zones, zones);
            AppendElements(lists_.general, general);
            AppendElements(lists_.symbols17, symbols17);
            AppendElements(lists_.symbols27, symbols27);
        }
        AppendElements(lists_.overlay, overlay);
    }
    void PostProgress() override {
        if (hooks_.post) hooks_.post(1);
    }

  private:
    MapLists& lists_;
    MapReadHooks& hooks_;
};

MapReadThread::MapReadThread(MapLists& lists, MapReadHooks hooks)
    : lists_(lists), hooks_(std::move(hooks)) {}

MapReadThread::~MapReadThread() { Stop(); }

void MapReadThread::Start(MapReadJob job) {
    Stop();
    context_ = std::make_unique<Context>(lists_, hooks_);
    context_->horGuardNm = job.horGuardNm;
    context_->zoneCounter = 1;
    ended_ = false;
    thread_.Start([this, job = std::move(job)](std::stop_token stop) {
        platform::LowerThisThreadPriority(5);  // below normal
        // The parsers poll the context's own flag.
        const std::stop_callback forward(stop, [context = context_.get()] { context->RequestStop(); });
        exitCode_ = Run(*context_, job);
    });
}

void MapReadThread::Stop() {
    StopAndWait(thread_);
}

int MapReadThread::Run(Context& context, const MapReadJob& job) {
    bool ok = true;
    if (!job.overlayOnly && job.mapFile != nullptr) {
        ok = mapdata::ParseTextMap(context, *job.mapFile);
        context.SpliceAll();
    }
    if (ok && !context.StopRequested() && !job.overlayPath.empty()) {
        mapdata::CMapFile overlay;
        if (overlay.Open(job.overlayPath.wstring(), core::OpenMode::kRead, true) &&
            overlay.ReadHeader() == mapdata::HeaderResult::kRead) {
            context.overlayOnly = true;
            ok = mapdata::ParseTextMap(context, overlay);
            context.SpliceAll();
        }
    }
    {
        const std::lock_guard lock(lists_.lock);
        lists_.zoneCounter = context.zoneCounter;
    }
    if (!ok && context.error != mapdata::MapReadError::kNone && hooks_.reportError) {
        hooks_.reportError(context.error);
    }
    if (!context.StopRequested()) {
        ended_ = true;
        if (hooks_.post) hooks_.post(0);
    }
    return 200;
}

}  // namespace map
