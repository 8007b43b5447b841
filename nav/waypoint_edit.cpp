#include "nav/waypoint_edit.h"

#include <memory>
#include <new>
#include <utility>

#include "nav/waypoint_list.h"
#include "nav/waypoint_loader.h"
#include "nav/waypoint_map_elements.h"

namespace nav {
namespace {

bool Usable(const CWaypointFile& file) {
    return file.IsOpen() && !g_waypointLoader.Running();
}

// Appends the record and reads it back from its new line. Null when the
// write failed or the line does not read back as a record (it is then
// commented out), so that the file reads as before.
std::unique_ptr<CWaypointEntry> AppendAndReadBack(CWaypointFile& file, const WaypointRecord& record,
                                                  const MapExtension* extension) {
    const auto offset = file.AppendWaypoint(record, extension);
    if (!offset) return nullptr;
    auto entry = std::make_unique<CWaypointEntry>();
    std::uint64_t position = *offset;
    const bool readBack = file.ReadWaypoint(position, entry->record, entry->lineOffset,
                                            &entry->extension) == CWaypointFile::kRead;
    if (readBack && entry->lineOffset == *offset) return entry;
    file.PutCharAt(*offset, ';');
    return nullptr;
}

// The map element of a new entry, when it asks for one and the map makes it.
std::unique_ptr<WaypointMapElement> ElementFor(const CWaypointEntry& entry) {
    const auto hook = GetWaypointMapHook();
    if (!hook || !WantsMapElement(entry.extension)) return nullptr;
    try {
        return hook->MakeElement(entry.record, ElementExtension(entry.extension));
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

void PublishElement(std::unique_ptr<WaypointMapElement> element) {
    if (!element) return;
    try {
        g_waypointMapElements.push_back(std::move(element));
    } catch (const std::bad_alloc&) {
        // The waypoint is listed; only its map symbol is missing.
    }
}

}  // namespace

std::optional<int> AddWaypoint(CWaypointFile& file, const WaypointRecord& record,
                               const MapExtension* extension) {
    if (!Usable(file)) return std::nullopt;
    auto entry = AppendAndReadBack(file, record, extension);
    if (!entry) return std::nullopt;
    const std::uint64_t line = entry->lineOffset;
    const WaypointRecord written = entry->record;
    auto element = ElementFor(*entry);

    const platform::CriticalSectionLock lock(WaypointListLock);
    const int index = g_waypoints.Insert(std::move(entry));
    if (index < 0) {
        file.DeleteWaypoint(line, written);
        return std::nullopt;
    }
    PublishElement(std::move(element));
    return index;
}

bool DeleteWaypointEntry(CWaypointFile& file, int index) {
    if (!Usable(file)) return false;
    std::unique_ptr<CWaypointEntry> removed;
    const platform::CriticalSectionLock lock(WaypointListLock);
    const CWaypointEntry* entry = g_waypoints.At(index);
    if (entry == nullptr || !file.DeleteWaypoint(entry->lineOffset, entry->record)) return false;
    removed = g_waypoints.Remove(index);
    return true;
}

std::optional<int> EditWaypoint(CWaypointFile& file, int index, const WaypointRecord& record,
                                const MapExtension* extension) {
    if (!Usable(file)) return std::nullopt;
    std::uint64_t oldLine = 0;
    WaypointRecord old;
    {
        const platform::CriticalSectionLock lock(WaypointListLock);
        const CWaypointEntry* entry = g_waypoints.At(index);
        if (entry == nullptr) return std::nullopt;
        oldLine = entry->lineOffset;
        old = entry->record;
    }

    auto entry = AppendAndReadBack(file, record, extension);
    if (!entry) return std::nullopt;
    if (!file.DeleteWaypoint(oldLine, old)) {
        file.DeleteWaypoint(entry->lineOffset, entry->record);
        return std::nullopt;
    }
    auto element = ElementFor(*entry);

    std::unique_ptr<CWaypointEntry> removed;
    const platform::CriticalSectionLock lock(WaypointListLock);
    removed = g_waypoints.Remove(index);
    // The list just shrank, so the insertion needs no room and cannot fail.
    const int newIndex = g_waypoints.Insert(std::move(entry));
    PublishElement(std::move(element));
    return newIndex;
}

}  // namespace nav
