#include "nav/waypoint_list.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <new>
#include <string_view>
#include <utility>

namespace nav {
namespace {

void DeleteEntries(core::CSortedVector* vector) {
    if (vector != nullptr) vector->DeleteAll();
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
    WaypointListBuilder builder;
    for (auto& entry : entries) {
        if (!builder.Add(std::move(entry))) return std::nullopt;
    }
    return builder.Finish();
}

// The first eight characters of the folded name packed into two words (16
// bits each, characters above U+FFFF as U+FFFF, missing ones as 0), so that
// most comparisons never touch the entry itself. Where the packed words are
// equal the names are compared in full, and equal names keep their order.
WaypointListBuilder::Key WaypointListBuilder::MakeKey(CWaypointEntry* entry,
                                                      std::uint32_t order) {
    Key key{{0, 0}, order, entry};
    const std::wstring_view name = entry->record.name.View();
    for (std::size_t i = 0; i < 8; ++i) {
        const wchar_t folded = i < name.size() ? FoldNameCase(name[i]) : L'\0';
        const auto unit = static_cast<std::uint64_t>(std::min<wchar_t>(folded, 0xFFFF));
        key.head[i / 4] |= unit << (48 - 16 * (i % 4));
    }
    return key;
}

bool WaypointListBuilder::SortsBefore(const Key& a, const Key& b) {
    if (a.head[0] != b.head[0]) return a.head[0] < b.head[0];
    if (a.head[1] != b.head[1]) return a.head[1] < b.head[1];
    const int order =
        CompareWaypointNames(a.entry->record.name.View(), b.entry->record.name.View());
    return order != 0 ? order < 0 : a.order < b.order;
}

// The order SortsBefore gives. A list this short is sorted by comparison;
// a longer one first by its packed words, least significant byte first and
// stably, so that keys whose words are all equal stay in the order they were
// added and only those runs are compared in full. A byte that is the same in
// every key (the high bytes of ASCII names) costs no pass.
void WaypointListBuilder::SortKeys(std::vector<Key>& keys) {
    constexpr std::size_t kComparisonSortBelow = 256;
    constexpr std::size_t kBytes = 16;
    const auto bySortOrder = [](const Key& a, const Key& b) { return SortsBefore(a, b); };
    if (keys.size() < kComparisonSortBelow) {
        std::sort(keys.begin(), keys.end(), bySortOrder);
        return;
    }
    // Byte 0 is the lowest of head[1], byte 15 the highest of head[0].
    const auto byteOf = [](const Key& key, std::size_t byte) {
        const std::uint64_t word = byte < 8 ? key.head[1] : key.head[0];
        return static_cast<std::size_t>((word >> (8 * (byte % 8))) & 0xFF);
    };
    std::array<std::array<std::uint32_t, 256>, kBytes> counts{};
    for (const Key& key : keys) {
        for (std::size_t byte = 0; byte < kBytes; ++byte)
            ++counts[byte][byteOf(key, byte)];
    }
    std::vector<Key> scratch(keys.size());
    for (std::size_t byte = 0; byte < kBytes; ++byte) {
        auto& count = counts[byte];
        if (count[byteOf(keys.front(), byte)] == keys.size()) continue;
        std::array<std::uint32_t, 256> next{};
        for (std::size_t value = 1; value < next.size(); ++value)
            next[value] = next[value - 1] + count[value - 1];
        for (const Key& key : keys)
            scratch[next[byteOf(key, byte)]++] = key;
        keys.swap(scratch);
    }
    for (auto run = keys.begin(); run != keys.end();) {
        const auto end = std::find_if(run + 1, keys.end(), [&](const Key& key) {
            return key.head[0] != run->head[0] || key.head[1] != run->head[1];
        });
        if (end - run > 1) std::sort(run, end, bySortOrder);
        run = end;
    }
}

bool WaypointListBuilder::Add(std::unique_ptr<CWaypointEntry> entry) {
    try {
        keys_.push_back(MakeKey(entry.get(), static_cast<std::uint32_t>(entries_.size())));
        entries_.push_back(std::move(entry));
    } catch (const std::bad_alloc&) {
        if (keys_.size() > entries_.size()) keys_.pop_back();
        return false;
    }
    return true;
}

std::optional<WaypointList> WaypointListBuilder::Finish() {
    auto entries = std::move(entries_);
    auto keys = std::move(keys_);
    entries_.clear();
    keys_.clear();
    const auto count = static_cast<int>(entries.size());
    std::optional<WaypointList> list;
    try {
        list.emplace(count + count / 8);
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
    try {
        SortKeys(keys);
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
    for (const Key& key : keys) {
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
