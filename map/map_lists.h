#pragma once
// The map window's five element lists and MapListLock, which guards them.
//
// general: polylines, labels, symbols and everything not below; zones: the
// airspace zones, each source zone followed by its enlarged copy when there
// is one (the only list the alarm thread reads); symbols17 and symbols27:
// the type-17 and type-27 layers; overlay: every element of the overlay
// file.
//
// The read thread takes the lock only while splicing, the render thread for
// its element pass, the UI thread for every walk. Elements are deleted,
// simplified or re-linked only on the UI thread with the drawing threads
// and the read joined (and the alarm thread for zones), under the lock.

#include <cstdint>
#include <mutex>

#include "mapdata/map_read_context.h"

namespace map {

struct MapLists {
    mapdata::ElementList general;
    mapdata::ElementList zones;
    mapdata::ElementList symbols17;
    mapdata::ElementList overlay;
    mapdata::ElementList symbols27;
    std::mutex lock;  // MapListLock
    // Zone serials: 1 at the start of every read; the read and
    // BuildEnlargedZones number zone pairs from it (UI thread after a read).
    std::int32_t zoneCounter = 1;
};

// Moves every element of from to the end of to.
void AppendElements(mapdata::ElementList& to, mapdata::ElementList& from);

}  // namespace map
