#pragma once
// Records that know how to order themselves, and sorts over arrays of
// pointers to them.
//
// A derived record overrides Compare (its order against another record) and
// CompareKey (its order against a single key character, e.g. a first letter).
// Both answer negative, zero or positive as this record sorts before, with or
// after the other; the base class answers 0 to everything.

#include <span>

namespace core {

class CObjectWithSort {
  public:
    CObjectWithSort() = default;
    // Records are deleted through base pointers (see CSortedVector::DeleteAll).
    virtual ~CObjectWithSort() = default;

    virtual int CompareKey(wchar_t key) const;
    virtual int Compare(const CObjectWithSort& other) const;

    // Sorts items[first..last] (inclusive) ascending. Equal records end up in
    // no particular order. Indexes outside the span are clamped to it.
    static void QuickSort(std::span<CObjectWithSort*> items, int first, int last);
    // Sorts items[first..last] (inclusive) ascending, keeping equal records in
    // their order. Throws std::bad_alloc, leaving the items untouched, when
    // the merge buffer cannot be had.
    static void MergeSort(std::span<CObjectWithSort*> items, int first, int last);
    // Sorts the first `count` items DESCENDING (a heap with the smallest
    // record at the root, emptied from the back).
    static void HeapSort(std::span<CObjectWithSort*> items, int count);
    // Sorts the first `count` items ascending: two heap passes bring the
    // smallest record to the front and the largest to the back, then an
    // insertion sort finishes (it keeps equal records in the order the heap
    // passes left them).
    static void HeapInsertionSort(std::span<CObjectWithSort*> items, int count);
    // Moves items[root] down the heap items[0..count-1] by swapping it with
    // its smaller child while that child sorts before it.
    static void SiftDown(std::span<CObjectWithSort*> items, int root, int count);

  protected:
    // Copying belongs to the derived records; protected here so that a record
    // is never sliced through a base reference.
    CObjectWithSort(const CObjectWithSort&) = default;
    CObjectWithSort& operator=(const CObjectWithSort&) = default;
    CObjectWithSort(CObjectWithSort&&) = default;
    CObjectWithSort& operator=(CObjectWithSort&&) = default;
};

}  // namespace core
