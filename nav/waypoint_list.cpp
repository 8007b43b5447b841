#include "nav/waypoint_list.h"

#include <algorithm>
#include <cstdint>
#include <utility>

namespace nav {
namespace {

void DeleteEntries(core::CSortedVector* vector) {
    if (vector != nullptr) vector->DeleteAll();
}

// An entry to sort, with the first eight characters of its folded name packed
// into two words (16 bits each, characters above U+FFFF as U+FFFF, missing
// ones as 0), so that most comparisons never touch the entry itself. Where
// the packed words are equal the names are compared in full, and equal names
// keep their order.
struct SortKey {
    std::uint64_t head[2];
    std::uint32_t order;
    CWaypointEntry* entry;
};

SortKey MakeKey(CWaypointEntry* entry, std::uint32_t order) {
    SortKey key{{0, 0}, order, entry};
    const std::wstring_view name = entry->record.name.View();
    for (std::size_t i = 0; i < 8; ++i) {
        const wchar_t folded = i < name.size() ? FoldNameCase(name[i]) : L'\0';
        const auto unit = static_cast<std::uint64_t>(std::min<wchar_t>(folded, 0xFFFF));
        key.head[i / 4] |= unit << (48 - 16 * (i % 4));
    }
    return key;
}

bool SortsBefore(const SortKey& a, const SortKey& b) {
    if (a.head[0] != b.head[0]) return a.head[0] < b.head[0];
    if (a.head[1] != b.head[1]) return a.head[1] < b.head[1];
    const int order =
        CompareWaypointNames(a.entry->record.name.View(), b.entry->record.name.View());
    return order != 0 ? order < 0 : a.order < b.order;
}

}  // namespace

WaypointList::WaypointList(int initialCapacity)
    : vector_(std::make_unique<core::CSortedVector>(initialCapacity)) {}

WaypointList::~WaypointList() {
    DeleteEntries(vector_.get());
}

// The moved-from list keeps a vector of its own, so it stays usable.
WaypointList::WaypointList(WaypointList&& other) : WaypointList(0) {
    swap(*this, other);
}

WaypointList& WaypointList::operator=(WaypointList&& other) noexcept {
    swap(*this, other);
    return *this;
}

std::optional<WaypointList> WaypointList::FromEntries(
    std::vector<std::unique_ptr<CWaypointEntry>> entries) {
    const auto count = static_cast<int>(entries.size());
    std::optional<WaypointList> list;
    std::vector<SortKey> keys;
    try {
        list.emplace(count + count / 8);
        keys.reserve(entries.size());
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
    for (std::size_t i = 0; i < entries.size(); ++i)
        keys.push_back(MakeKey(entries[i].get(), static_cast<std::uint32_t>(i)));
    std::sort(keys.begin(), keys.end(), SortsBefore);

    for (const SortKey& key : keys) {
        int index = list->Count();
        if (list->vector_->Insert(key.entry, index, false) != 0) {
            list->vector_->RemoveAll();  // the entries still belong to `entries`
            return std::nullopt;
        }
    }
    for (auto& entry : entries)
        static_cast<void>(entry.release());  // the list owns them now
    return list;
}

CWaypointEntry* WaypointList::At(int index) const {
    return static_cast<CWaypointEntry*>(vector_->GetAt(index));
}

int WaypointList::Insert(std::unique_ptr<CWaypointEntry> entry) {
    int index = -1;
    if (vector_->Insert(entry.get(), index) != 0) return -1;
    static_cast<void>(entry.release());  // the list owns it now
    return index;
}

std::unique_ptr<CWaypointEntry> WaypointList::Remove(int index) {
    std::unique_ptr<CWaypointEntry> entry(At(index));
    if (entry) vector_->RemoveAt(index);
    return entry;
}

void WaypointList::Clear() {
    vector_->DeleteAll();
}

int WaypointList::FindFirstLetter(wchar_t letter, int start) const {
    return vector_->FindFrom(letter, start);
}

}  // namespace nav
