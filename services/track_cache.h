#pragma once
// The ring of recent positions the map draws the flown trail from.
//
// The fix-processing thread appends the position after every fix, thinned by
// "TrackCacheSaveInterval"; the map's track thread reads the ring back,
// newest first; a replay empties it when it starts and when it ends. The
// ring is allocated once at start-up and freed at exit.
//
// Every operation takes the cache's own lock, so any thread may call any of
// them at any time. Before TrackCacheAlloc() has succeeded, and after
// TrackCacheFree(), the cache is off and every operation answers -1.
//
// The attribute word and the read cursor belong to the calling thread: the
// fix thread sets its g_trackAttribute before it appends, and a reader finds
// the word of each record it reads in its own g_trackAttribute. So reading
// never changes what the writer stores, and two readers never move each
// other's place.

#include <cstddef>
#include <cstdint>
#include <memory>

namespace core {

// One stored position.
struct TrackCacheRecord {
    // The unit vector of the position, the same three numbers a waypoint
    // keeps after its longitude and latitude.
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
    // The climb class and flag the fix thread stores with the point.
    std::uint32_t attribute = 0;
    std::uint32_t unused = 0;
};
static_assert(sizeof(TrackCacheRecord) == 32);

// The length used when "TrackCacheLength" is not a usable count (0 or less,
// or more than the map options allow).
inline constexpr int kTrackCacheDefaultLength = 8000;
inline constexpr int kTrackCacheMaxLength = 100000;
// The interval used when "TrackCacheSaveInterval" is negative.
inline constexpr int kTrackCacheDefaultSaveInterval = 3;

// A track point's colour index, 0..41, the attribute word the fix thread
// stores and the map's track draws by: 2 x clamp(floor(v + 0.5) + 10, 0, 20)
// for the filtered climb v (knots), plus 1 when the instantaneous climb is
// greater. The colour is the track colour table's entry index / 2.
int TrackColourIndex(float filteredClimbKt, float instantClimbKt);

// This thread's attribute word: what the next append of this thread stores,
// and the word of the record this thread read last.
inline thread_local std::uint32_t g_trackAttribute = 0;

// Allocates the ring for g_trackCacheLength records, halving the count while
// the allocation fails and the half is still above 4; g_trackCacheLength
// becomes the count allocated. Replaces an earlier ring. 1 on success, 0 when
// no memory could be had (the cache is then off).
int TrackCacheAlloc();

// Stores position's x, y, z with this thread's g_trackAttribute when due: the
// first position and then every interval-th one. 1 when stored, 0 when not
// due or when the save interval is 0, -1 when the cache is off.
int TrackCacheAppend(const TrackCacheRecord& position);

// Starts this thread's reading: direction -1 at the newest record going
// backwards, +1 at the oldest going forwards, and reads the first record as
// TrackCacheNext() does. -1 when the cache is off or empty or direction is 0.
int TrackCacheFirst(TrackCacheRecord& out, int direction);

// Copies the record at this thread's cursor into out (attribute included)
// and g_trackAttribute, then moves the cursor by step records, wrapping.
// 1 when more records follow in that direction, 0 when this was the last one
// or nothing was left to copy (also after the ring was emptied or replaced
// since TrackCacheFirst), -1 when the cache is off or step is 0. One reading
// yields each stored record at most once, however fast the writer appends.
int TrackCacheNext(TrackCacheRecord& out, int step);

// Empties the ring (replay start and end).
void TrackCacheReset();

// Frees the ring; the cache is off until the next TrackCacheAlloc().
void TrackCacheFree();

// The number of records allocated (0 while the cache is off). The map
// options compare a new length with it.
std::size_t TrackCacheAllocatedCount();

// Makes the room for count records, or returns null when it cannot.
using TrackCacheAllocator = std::unique_ptr<TrackCacheRecord[]> (*)(std::size_t count);

// Installs the allocation TrackCacheAlloc() uses (tests make it fail);
// null restores the normal one.
void SetTrackCacheAllocator(TrackCacheAllocator allocator);

}  // namespace core
