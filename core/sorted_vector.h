#pragma once
// A growable array of pointers to sortable records, kept in order by
// binary-search insertion.
//
// Ownership: the vector does NOT own its elements. RemoveAll, RemoveAt and
// the destructor only drop pointers. DeleteAll and DeleteAt also delete the
// elements (through the records' virtual destructor): a caller that uses
// them must have put in only records made with new (std::unique_ptr::release)
// and must not keep other owners of them.
//
// Capacity is counted in slots: at least 10, all unused slots null, and a
// full vector grows by an eighth of its capacity (at least 10 slots). Storage
// comes from a std::pmr memory resource, so that tests can make it run out.
//
// Functions that can fail return 0 for success and 1 for failure.

#include <memory_resource>
#include <span>
#include <vector>

#include "core/object_with_sort.h"

namespace core {

class CSortedVector {
  public:
    static constexpr int kMinCapacity = 10;
    static constexpr int kMinGrowth = 10;

    // Allocates max(initialCapacity, 10) null slots (throws std::bad_alloc
    // when it cannot).
    explicit CSortedVector(int initialCapacity = 100,
                           std::pmr::memory_resource* memory = std::pmr::get_default_resource());
    virtual ~CSortedVector() = default;

    CSortedVector(const CSortedVector&) = delete;
    CSortedVector& operator=(const CSortedVector&) = delete;

    int GetCount() const { return count_; }
    int GetCapacity() const { return static_cast<int>(slots_.size()); }
    // The element at index, or null when index is not in 0..count-1.
    CObjectWithSort* GetAt(int index) const;
    // The elements in use, in order.
    std::span<CObjectWithSort* const> Items() const { return {slots_.data(), Size()}; }

    // Drops every pointer (nothing is deleted); the capacity stays.
    void RemoveAll();
    // Deletes every element, then RemoveAll.
    void DeleteAll();
    // Deletes the element at index and closes the gap; 1 for a bad index.
    int DeleteAt(int index);
    // Drops the pointer at index and closes the gap; 1 for a bad index.
    int RemoveAt(int index);
    // Adds `by` slots (0: capacity / 8; never fewer than 10). 1, with nothing
    // changed, when the storage cannot be had.
    int Grow(int by = 0);

    // Where item goes to keep the order, found by binary search over
    // first..last (first < 0: 0; last < 0: count - 1). Among equal elements
    // the item lands wherever the search meets them.
    int SearchPosition(const CObjectWithSort& item, int first = -1, int last = -1) const;
    // Inserts item at its sorted place (search) or at index (not search; a
    // position beyond count appends). On success index holds the position
    // and 0 is returned. 1, index -1 and nothing changed when item is null,
    // index is negative, or the vector is full and cannot grow.
    int Insert(CObjectWithSort* item, int& index, bool search = true);
    // The first index from start upward whose element does not sort before
    // key (CompareKey >= 0); -1 when there is none or start is out of range.
    int FindFrom(wchar_t key, int start) const;

    // Iteration with 1-based positions: a position in 1..count gives that
    // element and moves on (to 0 after the last); any other position gives
    // null and becomes 0. Start GetNext at 1, GetPrev at GetCount().
    CObjectWithSort* GetNext(int& position) const;
    CObjectWithSort* GetPrev(int& position) const;

    // The first index in first..last whose element item sorts before; when
    // there is none, one past the last element item sorts after (first when
    // there is none of those either). Same range defaults as SearchPosition.
    int LinearSearchPosition(const CObjectWithSort& item, int first = -1, int last = -1) const;

  private:
    std::size_t Size() const { return static_cast<std::size_t>(count_); }
    bool Valid(int index) const { return index >= 0 && index < count_; }
    // first..last with the defaults applied and kept within 0..count-1.
    struct Range {
        int first;
        int last;
    };
    Range ClampRange(int first, int last) const;

    std::pmr::vector<CObjectWithSort*> slots_;
    int count_ = 0;
};

}  // namespace core
