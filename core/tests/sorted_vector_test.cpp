#include "core/sorted_vector.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cstddef>
#include <memory>
#include <memory_resource>
#include <random>
#include <string>
#include <vector>

namespace core {
namespace {

// A record ordered by name; CompareKey orders its first letter against a key.
// It counts its deletions when given a counter.
struct Named final : CObjectWithSort {
    explicit Named(std::wstring n, int* deletions = nullptr)
        : name(std::move(n)), deleted(deletions) {}
    ~Named() override {
        if (deleted != nullptr) ++*deleted;
    }
    Named(const Named&) = delete;
    Named& operator=(const Named&) = delete;

    int Compare(const CObjectWithSort& other) const override {
        const int order = name.compare(static_cast<const Named&>(other).name);
        return (order > 0) - (order < 0);
    }
    int CompareKey(wchar_t key) const override {
        const wchar_t first = name.empty() ? L'\0' : name.front();
        return (first > key) - (first < key);
    }

    std::wstring name;
    int* deleted;
};

const std::wstring& NameOf(const CObjectWithSort* item) {
    return static_cast<const Named*>(item)->name;
}

// Owns the records; the vectors under test only point at them.
class Pool {
  public:
    Named* Make(std::wstring name) {
        records_.push_back(std::make_unique<Named>(std::move(name)));
        return records_.back().get();
    }

  private:
    std::vector<std::unique_ptr<Named>> records_;
};

std::vector<std::wstring> Names(const CSortedVector& v) {
    std::vector<std::wstring> out;
    for (const CObjectWithSort* item : v.Items())
        out.push_back(NameOf(item));
    return out;
}

// Inserts the names in the order given, each at its sorted place.
void Fill(CSortedVector& v, Pool& pool, const std::vector<std::wstring>& names) {
    for (const auto& name : names) {
        int index = 0;
        ASSERT_EQ(v.Insert(pool.Make(name), index), 0);
    }
}

TEST(SortedVectorTest, CapacityIsAtLeastTen) {
    for (const auto& [asked, capacity] :
         std::vector<std::pair<int, int>>{{-5, 10}, {0, 10}, {9, 10}, {10, 10}, {11, 11}}) {
        const CSortedVector v(asked);
        EXPECT_EQ(v.GetCapacity(), capacity) << asked;
        EXPECT_EQ(v.GetCount(), 0);
    }
    EXPECT_EQ(CSortedVector().GetCapacity(), 100);
}

TEST(SortedVectorTest, FullVectorGrowsByAnEighthButAtLeastTen) {
    Pool pool;
    for (const auto& [capacity, grown] :
         std::vector<std::pair<int, int>>{{10, 20}, {96, 108}, {200, 225}}) {
        CSortedVector v(capacity);
        for (int i = 0; i < capacity; ++i) {
            int index = i;
            ASSERT_EQ(v.Insert(pool.Make(L"x"), index, false), 0);
        }
        EXPECT_EQ(v.GetCapacity(), capacity);
        int index = 0;
        ASSERT_EQ(v.Insert(pool.Make(L"y"), index), 0);
        EXPECT_EQ(v.GetCapacity(), grown) << capacity;
        EXPECT_EQ(v.GetCount(), capacity + 1);
    }
}

TEST(SortedVectorTest, GrowAddsAtLeastTenSlots) {
    CSortedVector v(100);
    for (const auto& [by, capacity] :
         std::vector<std::pair<int, int>>{{0, 112}, {5, 122}, {-3, 132}, {50, 182}}) {
        EXPECT_EQ(v.Grow(by), 0);
        EXPECT_EQ(v.GetCapacity(), capacity) << by;
    }
    EXPECT_EQ(v.Grow(INT_MAX), 1);
    EXPECT_EQ(v.GetCapacity(), 182);
}

TEST(SortedVectorTest, InsertFailsCleanlyWhenStorageRunsOut) {
    // Room for the first 10 slots only; growing needs more than is left.
    alignas(std::max_align_t) std::array<std::byte, 128> buffer{};
    std::pmr::monotonic_buffer_resource memory(buffer.data(), buffer.size(),
                                               std::pmr::null_memory_resource());
    Pool pool;
    CSortedVector v(10, &memory);
    Fill(v, pool, {L"j", L"i", L"h", L"g", L"f", L"e", L"d", L"c", L"b", L"a"});

    int index = 5;
    EXPECT_EQ(v.Insert(pool.Make(L"k"), index), 1);
    EXPECT_EQ(index, -1);
    EXPECT_EQ(v.Grow(), 1);
    EXPECT_EQ(v.GetCapacity(), 10);
    EXPECT_EQ(Names(v), (std::vector<std::wstring>{L"a", L"b", L"c", L"d", L"e", L"f", L"g", L"h",
                                                   L"i", L"j"}));
}

TEST(SortedVectorTest, RandomInsertsKeepOrderAndEveryElement) {
    std::mt19937 random(7);
    for (int round = 0; round < 50; ++round) {
        Pool pool;
        CSortedVector v(10);
        std::vector<std::wstring> inserted;
        std::uniform_int_distribution<int> letter(0, round % 2 == 0 ? 3 : 25);
        for (int i = 0; i < round * 3; ++i) {
            std::wstring name{static_cast<wchar_t>(L'a' + letter(random)),
                              static_cast<wchar_t>(L'a' + letter(random))};
            int index = -1;
            ASSERT_EQ(v.Insert(pool.Make(name), index), 0);
            ASSERT_EQ(NameOf(v.GetAt(index)), name);
            inserted.push_back(name);
        }
        std::sort(inserted.begin(), inserted.end());
        ASSERT_EQ(Names(v), inserted);
    }
}

TEST(SortedVectorTest, SearchPositionFollowsTheBinaryInsertionRules) {
    Pool pool;
    CSortedVector v;
    EXPECT_EQ(v.SearchPosition(*pool.Make(L"10")), 0);  // empty
    Fill(v, pool, {L"10", L"20", L"30", L"40", L"50"});
    struct Case {
        const wchar_t* item;
        int first, last, position;
    };
    for (const Case& c : std::vector<Case>{
             {L"05", -1, -1, 0},
             {L"10", -1, -1, 0},  // two elements, not above the first
             {L"15", -1, -1, 1},
             {L"20", -1, -1, 1},  // above the first, not above the last
             {L"25", -1, -1, 2},  // above both: after the pair
             {L"30", -1, -1, 2},  // exact match at mid
             {L"45", -1, -1, 4},
             {L"55", -1, -1, 5},
             {L"35", 3, 3, 3},   // one element: not above it
             {L"45", 3, 3, 4},   // one element: above it
             {L"99", 1, 2, 3},   // a sub-range
             {L"99", 2, 99, 5},  // last beyond count means count - 1
             {L"25", 4, 2, 4},   // an empty range gives its first index
         }) {
        EXPECT_EQ(v.SearchPosition(*pool.Make(c.item), c.first, c.last), c.position)
            << c.item << " in " << c.first << ".." << c.last;
    }
}

TEST(SortedVectorTest, InsertAtAGivenIndex) {
    Pool pool;
    CSortedVector v;
    Fill(v, pool, {L"b", L"d"});
    int index = 1;
    EXPECT_EQ(v.Insert(pool.Make(L"z"), index, false), 0);  // not searched: stays put
    EXPECT_EQ(index, 1);
    index = 50;
    EXPECT_EQ(v.Insert(pool.Make(L"a"), index, false), 0);  // beyond count: appended
    EXPECT_EQ(index, 3);
    EXPECT_EQ(Names(v), (std::vector<std::wstring>{L"b", L"z", L"d", L"a"}));

    for (auto [item, at, search] : {std::tuple{pool.Make(L"q"), -1, false},
                                    std::tuple{static_cast<Named*>(nullptr), 0, true}}) {
        index = at;
        EXPECT_EQ(v.Insert(item, index, search), 1);
        EXPECT_EQ(index, -1);
    }
    EXPECT_EQ(v.GetCount(), 4);
}

TEST(SortedVectorTest, RemoveAtClosesTheGapAndRejectsBadIndexes) {
    Pool pool;
    CSortedVector v;
    Fill(v, pool, {L"a", L"b", L"c"});
    for (int bad : {-1, 3, 100})
        EXPECT_EQ(v.RemoveAt(bad), 1);
    EXPECT_EQ(v.RemoveAt(1), 0);
    EXPECT_EQ(Names(v), (std::vector<std::wstring>{L"a", L"c"}));
    EXPECT_EQ(v.GetAt(2), nullptr);
    EXPECT_EQ(v.RemoveAt(1), 0);
    EXPECT_EQ(v.RemoveAt(0), 0);
    EXPECT_EQ(v.GetCount(), 0);
    EXPECT_EQ(v.RemoveAt(0), 1);
}

TEST(SortedVectorTest, DeleteDeletesOnlyWhenAsked) {
    int deletions = 0;
    CSortedVector v;
    for (const wchar_t* name : {L"a", L"b", L"c", L"d"}) {
        int index = 0;
        v.Insert(std::make_unique<Named>(name, &deletions).release(), index);
    }
    EXPECT_EQ(v.DeleteAt(4), 1);
    EXPECT_EQ(v.DeleteAt(-1), 1);
    EXPECT_EQ(deletions, 0);

    EXPECT_EQ(v.DeleteAt(1), 0);
    EXPECT_EQ(deletions, 1);
    EXPECT_EQ(Names(v), (std::vector<std::wstring>{L"a", L"c", L"d"}));

    CObjectWithSort* const kept = v.GetAt(0);
    EXPECT_EQ(v.RemoveAt(0), 0);  // dropped, not deleted
    const std::unique_ptr<CObjectWithSort> owner(kept);
    EXPECT_EQ(deletions, 1);

    v.DeleteAll();
    EXPECT_EQ(deletions, 3);
    EXPECT_EQ(v.GetCount(), 0);
    EXPECT_EQ(v.GetCapacity(), 100);
}

TEST(SortedVectorTest, RemoveAllDropsPointersWithoutDeleting) {
    int deletions = 0;
    std::vector<std::unique_ptr<Named>> owned;
    CSortedVector v;
    for (const wchar_t* name : {L"a", L"b"}) {
        owned.push_back(std::make_unique<Named>(name, &deletions));
        int index = 0;
        v.Insert(owned.back().get(), index);
    }
    v.RemoveAll();
    EXPECT_EQ(v.GetCount(), 0);
    EXPECT_EQ(v.GetAt(0), nullptr);
    EXPECT_EQ(deletions, 0);
}

TEST(SortedVectorTest, GetNextAndGetPrevWalkWithOneBasedPositions) {
    Pool pool;
    CSortedVector v;
    Fill(v, pool, {L"a", L"b", L"c"});

    int position = 1;
    std::vector<std::wstring> forward;
    std::vector<int> positions;
    while (const CObjectWithSort* item = v.GetNext(position)) {
        forward.push_back(NameOf(item));
        positions.push_back(position);
    }
    EXPECT_EQ(forward, (std::vector<std::wstring>{L"a", L"b", L"c"}));
    EXPECT_EQ(positions, (std::vector<int>{2, 3, 0}));

    position = v.GetCount();
    std::vector<std::wstring> backward;
    positions.clear();
    while (const CObjectWithSort* item = v.GetPrev(position)) {
        backward.push_back(NameOf(item));
        positions.push_back(position);
    }
    EXPECT_EQ(backward, (std::vector<std::wstring>{L"c", L"b", L"a"}));
    EXPECT_EQ(positions, (std::vector<int>{2, 1, 0}));

    for (int bad : {0, -2, 4}) {
        position = bad;
        EXPECT_EQ(v.GetNext(position), nullptr);
        EXPECT_EQ(position, 0);
        position = bad;
        EXPECT_EQ(v.GetPrev(position), nullptr);
        EXPECT_EQ(position, 0);
    }
}

TEST(SortedVectorTest, FindFromFindsTheFirstElementNotBeforeTheKey) {
    Pool pool;
    CSortedVector v;
    Fill(v, pool, {L"Alpha", L"Bravo", L"Charlie", L"Delta"});
    struct Case {
        wchar_t key;
        int start, found;
    };
    for (const Case& c : std::vector<Case>{{L'C', 0, 2},
                                           {L'C', 3, 3},
                                           {L'A', 0, 0},
                                           {L'B', 2, 2},
                                           {L'Z', 0, -1},
                                           {L'A', 4, -1},
                                           {L'A', 99, -1},
                                           {L'A', -1, -1}}) {
        EXPECT_EQ(v.FindFrom(c.key, c.start), c.found)
            << std::wstring(1, c.key) << " from " << c.start;
    }
}

TEST(SortedVectorTest, LinearSearchPosition) {
    Pool pool;
    CSortedVector v;
    EXPECT_EQ(v.LinearSearchPosition(*pool.Make(L"10")), 0);
    Fill(v, pool, {L"10", L"20", L"20", L"30"});
    struct Case {
        const wchar_t* item;
        int first, last, position;
    };
    for (const Case& c : std::vector<Case>{
             {L"05", -1, -1, 0},
             {L"20", -1, -1, 3},  // before the first element above it
             {L"25", -1, -1, 3},
             {L"35", -1, -1, 4},  // after the last element below it
             {L"20", 0, 2, 1},    // none above: after the last one below
             {L"20", 1, 2, 1},    // only equals: the range's first index
         }) {
        EXPECT_EQ(v.LinearSearchPosition(*pool.Make(c.item), c.first, c.last), c.position)
            << c.item << " in " << c.first << ".." << c.last;
    }
}

}  // namespace
}  // namespace core
