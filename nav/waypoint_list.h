#pragma once
// The name-sorted list of waypoint entries, and the program's list of the
// waypoints of the open waypoint file.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "core/sorted_vector.h"
#include "nav/waypoint_entry.h"
#include "platform/critical_section.h"

namespace nav {

// A CSortedVector of CWaypointEntry that owns its entries and keeps them in
// name order (equal names in no particular order).
class WaypointList {
  public:
    explicit WaypointList(int initialCapacity = 100);
    ~WaypointList();
    WaypointList(WaypointList&& other);
    WaypointList& operator=(WaypointList&& other) noexcept;
    WaypointList(const WaypointList&) = delete;
    WaypointList& operator=(const WaypointList&) = delete;

    // A list of the entries in name order; entries with equal names keep
    // their given order. Nothing when the storage cannot be had (the entries
    // are then freed).
    static std::optional<WaypointList> FromEntries(
        std::vector<std::unique_ptr<CWaypointEntry>> entries);

    friend class WaypointListBuilder;

    int Count() const { return vector_->GetCount(); }
    // The entry at index, or null when there is none.
    CWaypointEntry* At(int index) const;

    // Puts the entry at its place in the order: its index, or -1 (the entry
    // freed, the list unchanged) when the list cannot grow.
    int Insert(std::unique_ptr<CWaypointEntry> entry);
    // Takes the entry at index out of the list; null for a bad index.
    std::unique_ptr<CWaypointEntry> Remove(int index);
    // Frees every entry.
    void Clear();

    // The first index from `start` on whose name does not sort before the
    // initial `letter`; -1 when there is none.
    int FindFirstLetter(wchar_t letter, int start = 0) const;

    friend void swap(WaypointList& a, WaypointList& b) noexcept { a.vector_.swap(b.vector_); }

  private:
    std::unique_ptr<core::CSortedVector> vector_;
};

// Collects entries as a file is read and makes the name-ordered list of
// them at the end. Each entry's sort key (the first eight characters of its
// folded name, packed into two words) is made as it is added, while the
// entry is still at hand, so the sort touches the entries themselves only
// where the packed words are equal. One thread at a time.
class WaypointListBuilder {
  public:
    // Takes the entry; false (the entry freed) when there is no memory.
    bool Add(std::unique_ptr<CWaypointEntry> entry);
    std::size_t Count() const { return entries_.size(); }

    // The list of every entry added, as WaypointList::FromEntries makes it;
    // the builder is empty afterwards.
    std::optional<WaypointList> Finish();

  private:
    struct Key {
        std::uint64_t head[2];
        std::uint32_t order;
        CWaypointEntry* entry;
    };
    static Key MakeKey(CWaypointEntry* entry, std::uint32_t order);
    static bool SortsBefore(const Key& a, const Key& b);
    static void SortKeys(std::vector<Key>& keys);

    std::vector<std::unique_ptr<CWaypointEntry>> entries_;
    std::vector<Key> keys_;
};

// Guards g_waypoints and g_waypointMapElements (waypoint_map_elements.h).
// The map and the navigation threads read them while the user interface
// changes single entries and the loader publishes a newly read file.
inline platform::CriticalSection WaypointListLock;

// The waypoints of the open waypoint file. Only under WaypointListLock.
extern WaypointList g_waypoints;

}  // namespace nav
