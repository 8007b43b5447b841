#include "services/track_cache.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <mutex>
#include <new>
#include <utility>

#include "core/settings_values.h"

namespace core {
namespace {

constexpr unsigned kCounterStart = std::numeric_limits<unsigned>::max();

// The ring and its positions, as slot indices. Guarded by g_lock.
struct Ring {
    std::unique_ptr<TrackCacheRecord[]> slots;
    std::size_t count = 0;    // records allocated; 0 while the cache is off
    std::size_t highest = 0;  // the highest slot in use
    std::size_t write = 0;    // the slot the next record goes to
    bool wrapped = false;
    // Counts positions up to the save interval; starts at its maximum so
    // that the first position is stored.
    unsigned saveCounter = kCounterStart;
    // Changes whenever the ring is emptied, replaced or freed, so a reader
    // never goes on from a place that no longer means what it did.
    std::uint64_t generation = 1;

    bool Off() const { return count == 0; }
    bool Empty() const { return !wrapped && write == 0; }
    std::size_t Last() const { return count - 1; }
    std::size_t Stored() const { return wrapped ? count : write; }
    std::size_t Newest() const { return write == 0 ? highest : write - 1; }
    std::size_t Oldest() const { return wrapped ? write : 0; }
};

// A reader's place in the ring.
struct ReadCursor {
    std::size_t slot = 0;
    std::size_t remaining = 0;  // records this reading may still yield
    std::uint64_t generation = 0;
};

std::mutex g_lock;
Ring g_ring;
thread_local ReadCursor t_cursor;
std::atomic<TrackCacheAllocator> g_allocator{nullptr};

std::unique_ptr<TrackCacheRecord[]> AllocateRecords(std::size_t count) {
    try {
        return std::make_unique<TrackCacheRecord[]>(count);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

std::size_t WantedLength() {
    const int length = g_trackCacheLength;
    if (length <= 0 || length > kTrackCacheMaxLength) return kTrackCacheDefaultLength;
    return static_cast<std::size_t>(length);
}

unsigned SaveInterval() {
    const int interval = g_trackCacheSaveInterval;
    return static_cast<unsigned>(interval < 0 ? kTrackCacheDefaultSaveInterval : interval);
}

// True when a record is due now.
bool CountPosition(Ring& ring, unsigned interval) {
    ++ring.saveCounter;
    if (ring.saveCounter >= interval) ring.saveCounter = 0;
    return ring.saveCounter == 0;
}

void Store(Ring& ring, const TrackCacheRecord& position) {
    if (!ring.wrapped) ring.highest = ring.write;
    ring.slots[ring.write] = {position.x, position.y, position.z, g_trackAttribute, 0};
    if (++ring.write > ring.Last()) {
        ring.wrapped = true;
        ring.write = 0;
    }
}

// Whether another record follows the one at slot when reading in the
// direction of step.
bool MoreFollow(const Ring& ring, std::size_t slot, int step) {
    if (step > 0) return slot != ring.Newest();
    return slot != ring.Oldest();
}

std::size_t Moved(const Ring& ring, std::size_t slot, int step) {
    const auto distance = static_cast<std::size_t>(std::llabs(step));
    if (step > 0) return slot + distance > ring.Last() ? 0 : slot + distance;
    return slot < distance ? ring.highest : slot - distance;
}

int ReadNext(const Ring& ring, ReadCursor& cursor, TrackCacheRecord& out, int step) {
    if (ring.Off() || step == 0) return -1;
    if (cursor.generation != ring.generation || cursor.remaining == 0) return 0;
    // In a ring that has not wrapped the write position holds nothing yet;
    // once wrapped it holds the oldest record, which is read like any other.
    if (!ring.wrapped && cursor.slot == ring.write) return 0;
    const bool more = MoreFollow(ring, cursor.slot, step) && cursor.remaining > 1;
    const TrackCacheRecord& record = ring.slots[cursor.slot];
    out.x = record.x;
    out.y = record.y;
    out.z = record.z;
    out.attribute = record.attribute;
    g_trackAttribute = record.attribute;
    --cursor.remaining;
    cursor.slot = Moved(ring, cursor.slot, step);
    return more ? 1 : 0;
}

// Puts fresh in place of the ring and hands back the old one, for the caller
// to free outside the lock.
Ring ReplaceRing(Ring fresh) {
    const std::lock_guard lock(g_lock);
    fresh.generation = g_ring.generation + 1;
    return std::exchange(g_ring, std::move(fresh));
}

}  // namespace

int TrackCacheAlloc() {
    const TrackCacheAllocator custom = g_allocator;
    const TrackCacheAllocator allocate = custom != nullptr ? custom : AllocateRecords;
    std::size_t count = WantedLength();
    auto slots = allocate(count);
    while (!slots && count / 2 > 4) {
        count /= 2;
        slots = allocate(count);
    }
    const bool allocated = slots != nullptr;
    Ring fresh;
    if (allocated) {
        fresh.slots = std::move(slots);
        fresh.count = count;
        g_trackCacheLength = static_cast<int>(count);
    }
    ReplaceRing(std::move(fresh));
    return allocated ? 1 : 0;
}

int TrackCacheAppend(const TrackCacheRecord& position) {
    const unsigned interval = SaveInterval();
    const std::lock_guard lock(g_lock);
    if (g_ring.Off()) return -1;
    if (interval == 0) {
        g_ring.saveCounter = kCounterStart;
        return 0;
    }
    if (!CountPosition(g_ring, interval)) return 0;
    Store(g_ring, position);
    return 1;
}

int TrackCacheFirst(TrackCacheRecord& out, int direction) {
    const std::lock_guard lock(g_lock);
    if (g_ring.Off() || g_ring.Empty() || direction == 0) return -1;
    t_cursor.slot = direction < 0 ? g_ring.Newest() : g_ring.Oldest();
    t_cursor.remaining = g_ring.Stored();
    t_cursor.generation = g_ring.generation;
    return ReadNext(g_ring, t_cursor, out, direction);
}

int TrackCacheNext(TrackCacheRecord& out, int step) {
    const std::lock_guard lock(g_lock);
    return ReadNext(g_ring, t_cursor, out, step);
}

void TrackCacheReset() {
    const std::lock_guard lock(g_lock);
    if (g_ring.Off()) return;
    g_ring.wrapped = false;
    g_ring.write = 0;
    g_ring.highest = 0;
    ++g_ring.generation;
}

void TrackCacheFree() {
    ReplaceRing(Ring{});
}

std::size_t TrackCacheAllocatedCount() {
    const std::lock_guard lock(g_lock);
    return g_ring.count;
}

void SetTrackCacheAllocator(TrackCacheAllocator allocator) {
    g_allocator = allocator;
}

int TrackColourIndex(float filteredClimbKt, float instantClimbKt) {
    if (!std::isfinite(filteredClimbKt)) filteredClimbKt = 0.0F;
    const double step = std::clamp(std::floor(filteredClimbKt + 0.5) + 10.0, 0.0, 20.0);
    return 2 * static_cast<int>(step) + (instantClimbKt > filteredClimbKt ? 1 : 0);
}

}  // namespace core
