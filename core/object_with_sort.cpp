#include "core/object_with_sort.h"

#include <algorithm>
#include <cstddef>
#include <utility>
#include <vector>

namespace core {
namespace {

using Items = std::span<CObjectWithSort*>;

bool Before(const CObjectWithSort* a, const CObjectWithSort* b) {
    return a->Compare(*b) < 0;
}
bool After(const CObjectWithSort* a, const CObjectWithSort* b) {
    return a->Compare(*b) > 0;
}

// The number of items a routine may touch: count, kept within the span.
std::ptrdiff_t Usable(Items items, std::ptrdiff_t count) {
    return std::clamp<std::ptrdiff_t>(count, 0, std::ssize(items));
}

// Sifts slot(root) down a binary heap of `count` slots: it changes places
// with the child that `first` prefers while that child comes before it.
template <class Slot, class First>
void Sift(std::ptrdiff_t root, std::ptrdiff_t count, Slot slot, First first) {
    for (;;) {
        std::ptrdiff_t child = 2 * root + 1;
        if (child >= count) return;
        if (child + 1 < count && first(slot(child + 1), slot(child))) ++child;
        if (!first(slot(child), slot(root))) return;
        std::swap(slot(child), slot(root));
        root = child;
    }
}

void Merge(Items items, std::ptrdiff_t first, std::ptrdiff_t mid, std::ptrdiff_t last,
           std::vector<CObjectWithSort*>& buffer) {
    buffer.assign(items.begin() + first, items.begin() + last + 1);
    const auto left = buffer.begin();
    const auto split = left + (mid - first + 1);
    auto l = left;
    auto r = split;
    auto out = items.begin() + first;
    while (l != split && r != buffer.end()) {
        // Ties take the left record: the sort is stable.
        *out++ = Before(*r, *l) ? *r++ : *l++;
    }
    out = std::copy(l, split, out);
    std::copy(r, buffer.end(), out);
}

void MergeRange(Items items, std::ptrdiff_t first, std::ptrdiff_t last,
                std::vector<CObjectWithSort*>& buffer) {
    if (first >= last) return;
    const std::ptrdiff_t mid = first + (last - first) / 2;
    MergeRange(items, first, mid, buffer);
    MergeRange(items, mid + 1, last, buffer);
    Merge(items, first, mid, last, buffer);
}

}  // namespace

int CObjectWithSort::CompareKey(wchar_t /*key*/) const {
    return 0;
}

int CObjectWithSort::Compare(const CObjectWithSort& /*other*/) const {
    return 0;
}

void CObjectWithSort::QuickSort(Items items, int first, int last) {
    std::ptrdiff_t lo = std::max(first, 0);
    std::ptrdiff_t hi = std::min<std::ptrdiff_t>(last, std::ssize(items) - 1);
    while (lo < hi) {
        // The pivot record is taken once: the swaps below may move other
        // records into its slot.
        const CObjectWithSort* const pivot = items[lo + (hi - lo) / 2];
        std::ptrdiff_t i = lo;
        std::ptrdiff_t j = hi;
        while (i <= j) {
            while (i < hi && Before(items[i], pivot))
                ++i;
            while (j > lo && After(items[j], pivot))
                --j;
            if (i <= j) std::swap(items[i++], items[j--]);
        }
        // Recurse into the smaller part and loop on the larger one, so the
        // stack stays logarithmic whatever the input.
        if (j - lo < hi - i) {
            QuickSort(items, static_cast<int>(lo), static_cast<int>(j));
            lo = i;
        } else {
            QuickSort(items, static_cast<int>(i), static_cast<int>(hi));
            hi = j;
        }
    }
}

void CObjectWithSort::MergeSort(Items items, int first, int last) {
    const std::ptrdiff_t lo = std::max(first, 0);
    const std::ptrdiff_t hi = std::min<std::ptrdiff_t>(last, std::ssize(items) - 1);
    if (lo >= hi) return;
    std::vector<CObjectWithSort*> buffer;
    buffer.reserve(static_cast<std::size_t>(hi - lo + 1));
    MergeRange(items, lo, hi, buffer);
}

void CObjectWithSort::SiftDown(Items items, int root, int count) {
    const std::ptrdiff_t n = Usable(items, count);
    if (root < 0 || root >= n) return;
    Sift(
        root, n, [items](std::ptrdiff_t k) -> CObjectWithSort*& { return items[k]; }, Before);
}

void CObjectWithSort::HeapSort(Items items, int count) {
    const std::ptrdiff_t n = Usable(items, count);
    for (std::ptrdiff_t i = n - 1; i >= 0; --i)
        SiftDown(items, static_cast<int>(i), count);
    for (std::ptrdiff_t end = n - 1; end > 0; --end) {
        std::swap(items[0], items[end]);
        SiftDown(items, 0, static_cast<int>(end));
    }
}

void CObjectWithSort::HeapInsertionSort(Items items, int count) {
    const std::ptrdiff_t n = Usable(items, count);
    // Smallest record to the front...
    for (std::ptrdiff_t i = n - 1; i >= 0; --i)
        SiftDown(items, static_cast<int>(i), count);
    // ...largest to the back, with a heap that grows from the end...
    const auto mirrored = [items, n](std::ptrdiff_t k) -> CObjectWithSort*& {
        return items[n - 1 - k];
    };
    for (std::ptrdiff_t i = n - 1; i >= 0; --i)
        Sift(i, n, mirrored, After);
    // ...then a straight insertion sort, short work on a nearly sorted array.
    for (std::ptrdiff_t i = 1; i < n; ++i) {
        CObjectWithSort* const item = items[i];
        std::ptrdiff_t j = i;
        for (; j > 0 && Before(item, items[j - 1]); --j)
            items[j] = items[j - 1];
        items[j] = item;
    }
}

}  // namespace core
