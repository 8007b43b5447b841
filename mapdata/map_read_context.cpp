#include "mapdata/map_read_context.h"

#include <algorithm>

namespace mapdata {
namespace {
constexpr std::chrono::milliseconds kLongestProgressStep{15000};
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
    const auto now = std::chrono::steady_clock::now();
    if (now - stopwatch_ > threshold_) {
        threshold_ = std::min(threshold_ * 2, kLongestProgressStep);
        stopwatch_ = now;
        PostProgress();
    }
}

}  // namespace mapdata
