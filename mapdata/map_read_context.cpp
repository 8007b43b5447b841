#include "mapdata/map_read_context.h"

#include <algorithm>
#include <utility>

namespace mapdata {
namespace {
constexpr long long kLongestProgressStepTenths = 150;
}

MapReadContext::MapReadContext(std::function<Clock::time_point()> clock)
    : clock_(std::move(clock)) {
    stopwatch_.Start(clock_());
}

ElementList& MapReadContext::Target(TargetList target) {
    if (overlayOnly) return overlay;
    switch (target) {
        case TargetList::kGeneral:
            return general;
        case TargetList::kSymbols17:
            return symbols17;
        case TargetList::kSymbols27:
            return symbols27;
        case TargetList::kZones:
            return zones;
        case TargetList::kOverlay:
            break;
    }
    return overlay;
}

void MapReadContext::Add(TargetList target, std::unique_ptr<CMapElement> element) {
    Target(target).push_back(std::move(element));
    ++sinceSplice_;
}

void MapReadContext::AfterElements() {
    if (!spliceEnabled || sinceSplice_ <= kSpliceCount) return;
    sinceSplice_ = 0;
    Splice();
    if (StopRequested()) return;
    const Clock::time_point now = clock_();
    if (stopwatch_.Tenths(now) > thresholdTenths_) {
        thresholdTenths_ = std::min(thresholdTenths_ * 2, kLongestProgressStepTenths);
        stopwatch_.Start(now);
        PostProgress();
    }
}

}  // namespace mapdata
