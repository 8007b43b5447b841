#pragma once
// MapReadContext: what the map readers (text and binary) build into and
// answer to. The map window's read thread owns one per load; tests and tools
// use it as it is, and the map window derives from it to splice the built
// elements into its own lists under its list lock and to post progress.
//
// The readers append to the five target lists, and after each line or
// record call AfterElements(): when more than 40 elements were added since
// the last splice, Splice() is called (the window moves the lists' contents
// into its own); then, unless stopping, progress is reported once the
// stopwatch passes the threshold, which doubles from 2.5 s up to 15 s.
//
// Only the read thread calls the context, except RequestStop(), which any
// thread may call.

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "mapdata/map_element.h"
#include "mapdata/map_stopwatch.h"

namespace mapdata {

using ElementList = std::vector<std::unique_ptr<CMapElement>>;

enum class TargetList { kGeneral, kSymbols17, kSymbols27, kZones, kOverlay };

// Why a read gave up. A message for the pilot is the caller's: out of memory
// (2538/2537), a binary map too new (3500), a damaged binary map.
enum class MapReadError { kNone, kNoMemory, kVersionTooNew, kDamaged };

class MapReadContext {
  public:
    using Clock = MapStopwatch::Clock;

    MapReadContext() = default;
    // The progress pacing reads `clock` (tests drive it by hand).
    explicit MapReadContext(std::function<Clock::time_point()> clock);
    virtual ~MapReadContext() = default;
    MapReadContext(const MapReadContext&) = delete;
    MapReadContext& operator=(const MapReadContext&) = delete;

    // Elements with more than this many since the last splice are spliced.
    static constexpr int kSpliceCount = 40;

    ElementList general;
    ElementList symbols17;
    ElementList symbols27;
    ElementList zones;
    ElementList overlay;

    // Every target is `overlay` while an overlay is read.
    bool overlayOnly = false;
    // Splice at all (the window's list lock exists).
    bool spliceEnabled = false;

    // Settings the readers need, copied in before the read.
    float horGuardNm = 0.0F;  // the horizontal guard distance; 0 none
    // The folder of the map window's main map file, where includes at every
    // depth are looked up; ParseTextMap sets it to its file's folder when
    // empty.
    std::filesystem::path mainFolder;

    // The visible-scale values of the text reader: 1 and 2 for every
    // element, 3 and 4 for the names of symbols. Set by '*' lines, kept
    // across includes.
    std::array<float, 4> scales{};

    // Numbering of zone pairs: 1 at the start of each load.
    std::int32_t zoneCounter = 1;
    // The pattern phase of hatched fills, 0..63: 0 at the start of each file.
    std::int32_t hatchCounter = 0;

    // Why the last read failed.
    MapReadError error = MapReadError::kNone;
    // Lines longer than the reader's piece, skipped (reported once per file).
    std::size_t longLinesSkipped = 0;

    ElementList& Target(TargetList target);
    // Appends an element (never null) to a target and counts it.
    void Add(TargetList target, std::unique_ptr<CMapElement> element);

    void RequestStop() { stop_.store(true); }
    bool StopRequested() const { return stop_.load(); }

    // The splice and progress step (see the top of this header).
    void AfterElements();
    int SinceSplice() const { return sinceSplice_; }

  protected:
    // Moves the target lists' contents to the window's lists; called with
    // more than 40 new elements when splicing is enabled.
    virtual void Splice() {}
    virtual void PostProgress() {}

  private:
    std::function<Clock::time_point()> clock_ = [] { return Clock::now(); };
    std::atomic<bool> stop_{false};
    int sinceSplice_ = 0;
    MapStopwatch stopwatch_;
    long long thresholdTenths_ = 25;
};

}  // namespace mapdata
