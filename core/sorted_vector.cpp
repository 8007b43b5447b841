#include "core/sorted_vector.h"

#include <algorithm>
#include <limits>
#include <new>
#include <utility>

namespace core {
namespace {

// Deletes an element the caller handed over for deletion: DeleteAll and
// DeleteAt make the vector the owner of what they remove.
void Destroy(CObjectWithSort* item) {
    delete item;
}

}  // namespace

CSortedVector::CSortedVector(int initialCapacity, std::pmr::memory_resource* memory)
    : slots_(static_cast<std::size_t>(std::max(initialCapacity, kMinCapacity)), nullptr, memory) {}

CObjectWithSort* CSortedVector::GetAt(int index) const {
    return Valid(index) ? slots_[static_cast<std::size_t>(index)] : nullptr;
}

void CSortedVector::RemoveAll() {
    std::fill(slots_.begin(), slots_.end(), nullptr);
    count_ = 0;
}

void CSortedVector::DeleteAll() {
    for (int i = 0; i < count_; ++i)
        Destroy(std::exchange(slots_[static_cast<std::size_t>(i)], nullptr));
    RemoveAll();
}

int CSortedVector::DeleteAt(int index) {
    if (!Valid(index)) return 1;
    CObjectWithSort* const item = slots_[static_cast<std::size_t>(index)];
    const int result = RemoveAt(index);
    Destroy(item);
    return result;
}

int CSortedVector::RemoveAt(int index) {
    if (!Valid(index)) return 1;
    const auto at = slots_.begin() + index;
    std::move(at + 1, slots_.begin() + count_, at);
    --count_;
    slots_[Size()] = nullptr;
    return 0;
}

int CSortedVector::Grow(int by) {
    const int capacity = GetCapacity();
    if (by == 0) by = capacity / 8;
    by = std::max(by, kMinGrowth);
    if (by > std::numeric_limits<int>::max() - capacity) return 1;
    try {
        // std::vector keeps its contents when the reallocation throws.
        slots_.resize(static_cast<std::size_t>(capacity) + static_cast<std::size_t>(by), nullptr);
    } catch (const std::bad_alloc&) {
        return 1;
    }
    return 0;
}

CSortedVector::Range CSortedVector::ClampRange(int first, int last) const {
    if (first < 0) first = 0;
    if (last < 0 || last >= count_) last = count_ - 1;
    return {std::min(first, count_), last};
}

int CSortedVector::SearchPosition(const CObjectWithSort& item, int first, int last) const {
    auto [lo, hi] = ClampRange(first, last);
    const auto above = [&](int i) {
        return item.Compare(*slots_[static_cast<std::size_t>(i)]) > 0;
    };
    while (lo <= hi) {
        if (lo == hi) return above(lo) ? lo + 1 : lo;
        if (hi == lo + 1) {
            if (!above(lo)) return lo;
            return above(hi) ? hi + 1 : hi;
        }
        const int mid = lo + (hi - lo) / 2;
        const int order = item.Compare(*slots_[static_cast<std::size_t>(mid)]);
        if (order == 0) return mid;
        if (order > 0) {
            lo = mid + 1;
        } else {
            hi = mid - 1;
        }
    }
    return lo;  // an empty vector or an empty range
}

int CSortedVector::Insert(CObjectWithSort* item, int& index, bool search) {
    if (item == nullptr || (!search && index < 0)) {
        index = -1;
        return 1;
    }
    const int position = std::min(search ? SearchPosition(*item) : index, count_);
    if (count_ == GetCapacity() && Grow(0) != 0) {
        index = -1;
        return 1;
    }
    const auto at = slots_.begin() + position;
    std::move_backward(at, slots_.begin() + count_, slots_.begin() + count_ + 1);
    *at = item;
    ++count_;
    index = position;
    return 0;
}

int CSortedVector::FindFrom(wchar_t key, int start) const {
    for (int i = start; Valid(i); ++i) {
        if (slots_[static_cast<std::size_t>(i)]->CompareKey(key) >= 0) return i;
    }
    return -1;
}

CObjectWithSort* CSortedVector::GetNext(int& position) const {
    if (position < 1 || position > count_) {
        position = 0;
        return nullptr;
    }
    CObjectWithSort* const item = slots_[static_cast<std::size_t>(position - 1)];
    position = position < count_ ? position + 1 : 0;
    return item;
}

CObjectWithSort* CSortedVector::GetPrev(int& position) const {
    if (position < 1 || position > count_) {
        position = 0;
        return nullptr;
    }
    CObjectWithSort* const item = slots_[static_cast<std::size_t>(position - 1)];
    --position;
    return item;
}

int CSortedVector::LinearSearchPosition(const CObjectWithSort& item, int first, int last) const {
    const auto [lo, hi] = ClampRange(first, last);
    int position = lo;
    for (int i = lo; i <= hi; ++i) {
        const int order = item.Compare(*slots_[static_cast<std::size_t>(i)]);
        if (order < 0) return i;
        if (order > 0) position = i + 1;
    }
    return position;
}

}  // namespace core
