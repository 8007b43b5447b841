#include "core/object_with_sort.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>
#include <utility>
#include <vector>

namespace core {
namespace {

// A record ordered by key; `id` tells equal keys apart to check stability.
struct Record final : CObjectWithSort {
    Record(int k, int i) : key(k), id(i) {}
    int Compare(const CObjectWithSort& other) const override {
        const int otherKey = static_cast<const Record&>(other).key;
        return (key > otherKey) - (key < otherKey);
    }
    int key;
    int id;
};

// Records plus the pointer array the sorts work on.
struct Table {
    explicit Table(const std::vector<int>& keys) {
        for (std::size_t i = 0; i < keys.size(); ++i)
            records.emplace_back(keys[i], static_cast<int>(i));
        for (Record& r : records)
            items.push_back(&r);
    }
    std::vector<std::pair<int, int>> KeysAndIds() const {
        std::vector<std::pair<int, int>> out;
        for (const CObjectWithSort* item : items) {
            const auto& r = static_cast<const Record&>(*item);
            out.emplace_back(r.key, r.id);
        }
        return out;
    }
    std::vector<int> Keys() const {
        std::vector<int> out;
        for (const auto& [key, id] : KeysAndIds())
            out.push_back(key);
        return out;
    }
    int Last() const { return static_cast<int>(items.size()) - 1; }

    std::vector<Record> records;
    std::vector<CObjectWithSort*> items;
};

// Random key arrays of every small size, with many duplicates, plus some
// long sorted, reversed and constant ones.
std::vector<std::vector<int>> Inputs() {
    std::mt19937 random(12345);
    std::vector<std::vector<int>> inputs;
    for (int size = 0; size <= 40; ++size) {
        for (int trial = 0; trial < 60; ++trial) {
            std::uniform_int_distribution<int> key(0, trial % 2 == 0 ? 5 : 1000);
            std::vector<int> keys(static_cast<std::size_t>(size));
            for (int& k : keys)
                k = key(random);
            inputs.push_back(std::move(keys));
        }
    }
    std::vector<int> ramp(5000);
    for (std::size_t i = 0; i < ramp.size(); ++i)
        ramp[i] = static_cast<int>(i);
    inputs.push_back(ramp);
    inputs.emplace_back(ramp.rbegin(), ramp.rend());
    inputs.emplace_back(5000, 7);
    return inputs;
}

std::vector<int> SortedKeys(std::vector<int> keys, bool descending = false) {
    std::sort(keys.begin(), keys.end());
    if (descending) std::reverse(keys.begin(), keys.end());
    return keys;
}

TEST(ObjectWithSortTest, BaseClassComparesEqualToEverything) {
    const CObjectWithSort a;
    const CObjectWithSort b;
    EXPECT_EQ(a.Compare(b), 0);
    EXPECT_EQ(a.CompareKey(L'x'), 0);
}

TEST(ObjectWithSortTest, QuickSortAgreesWithStdSort) {
    for (const auto& keys : Inputs()) {
        Table table(keys);
        CObjectWithSort::QuickSort(table.items, 0, table.Last());
        ASSERT_EQ(table.Keys(), SortedKeys(keys)) << "size " << keys.size();
    }
}

TEST(ObjectWithSortTest, MergeSortIsStable) {
    for (const auto& keys : Inputs()) {
        Table table(keys);
        auto expected = table.KeysAndIds();
        std::stable_sort(expected.begin(), expected.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        CObjectWithSort::MergeSort(table.items, 0, table.Last());
        ASSERT_EQ(table.KeysAndIds(), expected) << "size " << keys.size();
    }
}

TEST(ObjectWithSortTest, HeapSortLeavesDescendingOrder) {
    for (const auto& keys : Inputs()) {
        Table table(keys);
        CObjectWithSort::HeapSort(table.items, static_cast<int>(keys.size()));
        ASSERT_EQ(table.Keys(), SortedKeys(keys, true)) << "size " << keys.size();
    }
}

TEST(ObjectWithSortTest, HeapInsertionSortAgreesWithStdSort) {
    for (const auto& keys : Inputs()) {
        Table table(keys);
        CObjectWithSort::HeapInsertionSort(table.items, static_cast<int>(keys.size()));
        ASSERT_EQ(table.Keys(), SortedKeys(keys)) << "size " << keys.size();
    }
}

TEST(ObjectWithSortTest, RangeSortsTouchOnlyTheirRange) {
    const std::vector<int> keys{9, 8, 7, 6, 5, 4, 3, 2, 1, 0};
    using Sort = std::function<void(std::span<CObjectWithSort*>)>;
    const std::vector<Sort> sorts{
        [](auto items) { CObjectWithSort::QuickSort(items, 2, 6); },
        [](auto items) { CObjectWithSort::MergeSort(items, 2, 6); },
    };
    for (const Sort& sort : sorts) {
        Table table(keys);
        sort(table.items);
        EXPECT_EQ(table.Keys(), (std::vector<int>{9, 8, 3, 4, 5, 6, 7, 2, 1, 0}));
    }
}

TEST(ObjectWithSortTest, CountsAndIndexesBeyondTheArrayAreClamped) {
    const std::vector<int> keys{3, 1, 2};
    Table quick(keys);
    CObjectWithSort::QuickSort(quick.items, -5, 99);
    EXPECT_EQ(quick.Keys(), (std::vector<int>{1, 2, 3}));
    Table merge(keys);
    CObjectWithSort::MergeSort(merge.items, -5, 99);
    EXPECT_EQ(merge.Keys(), (std::vector<int>{1, 2, 3}));
    Table heap(keys);
    CObjectWithSort::HeapSort(heap.items, 99);
    EXPECT_EQ(heap.Keys(), (std::vector<int>{3, 2, 1}));
    Table insertion(keys);
    CObjectWithSort::HeapInsertionSort(insertion.items, 99);
    EXPECT_EQ(insertion.Keys(), (std::vector<int>{1, 2, 3}));
}

TEST(ObjectWithSortTest, SiftDownMovesTheSmallerChildUp) {
    Table table({9, 4, 2, 5, 6, 3, 8});
    CObjectWithSort::SiftDown(table.items, 0, 7);
    EXPECT_EQ(table.Keys(), (std::vector<int>{2, 4, 3, 5, 6, 9, 8}));
}

}  // namespace
}  // namespace core
