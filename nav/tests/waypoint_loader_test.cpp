// Loading: the name order and its first-letter search, the background loader
// with its single completion message, stop requests, map elements, and
// readers that watch the published list while files load (run this one
// under ThreadSanitizer too).
#include <gtest/gtest.h>

#include <atomic>
#include <algorithm>
#include <chrono>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "nav/tests/waypoint_test_support.h"
#include "nav/waypoint_file_open.h"
#include "nav/waypoint_list.h"
#include "nav/waypoint_loader.h"
#include "platform/message_box.h"
#include "platform/ui_post.h"

namespace nav {
namespace {

using testing::ScratchFolder;
using testing::Wide;

std::vector<std::wstring> ListNames() {
    const platform::CriticalSectionLock lock(WaypointListLock);
    std::vector<std::wstring> names;
    for (int i = 0; i < g_waypoints.Count(); ++i) {
        names.emplace_back(g_waypoints.At(i)->record.name.View());
    }
    return names;
}

std::string Records(int count, int firstAltitude = 0) {
    std::string text;
    for (int i = 0; i < count; ++i) {
        text += "WP" + std::to_string(i) + ",47," + std::to_string(i % 60) + ",0,-8,0,0," +
                std::to_string(firstAltitude + i) + "\r\n";
    }
    return text;
}

bool WaitUntilIdle(WaypointLoader& loader) {
    return loader.Wait(10000) && !loader.Running();
}

std::vector<platform::RecordingUiPostBackend::Record> LoadedMessages(
    const platform::RecordingUiPostBackend& backend) {
    std::vector<platform::RecordingUiPostBackend::Record> loaded;
    for (const auto& record : backend.Records()) {
        if (record.message == platform::WM_APP_WAYPOINTSLOADED) loaded.push_back(record);
    }
    return loaded;
}

class WaypointLoaderTest : public ::testing::Test {
  protected:
    void TearDown() override { CloseWaypoints(5000); }

    std::wstring Write(const std::string& bytes) {
        return Wide(folder_.Write("load" + std::to_string(files_++) + ".dta", bytes));
    }

    ScratchFolder folder_;
    int files_ = 0;
};

TEST_F(WaypointLoaderTest, SortsByNameIgnoringCaseAndKeepsDuplicates) {
    std::wstring path = Write(
        "beta,1,0,0,1,0,0,10\r\nAlpha,1,0,0,1,0,0,20\r\nBETA,1,0,0,1,0,0,30\r\n"
        "alpha2,1,0,0,1,0,0\r\n[x,1,0,0,1,0,0\r\n_y,1,0,0,1,0,0\r\nZed,1,0,0,1,0,0\r\n"
        "\xC3\x89t\xC3\xA9,1,0,0,1,0,0\r\n"
        "\xC3\xA9"
        "cole,1,0,0,1,0,0\r\n");
    ASSERT_EQ(OpenWaypointFile(g_waypointFile, path, true, true, false), 1);
    EXPECT_EQ(ListNames(),
              (std::vector<std::wstring>{L"[x", L"_y", L"Alpha", L"alpha2", L"beta", L"BETA",
                                         L"Zed", L"\u00E9cole", L"\u00C9t\u00E9"}));
    // Equal names keep their file order.
    EXPECT_FLOAT_EQ(g_waypoints.At(4)->record.altitude, 10.0F);

    // Every initial is found where its names sort, in either case.
    const platform::CriticalSectionLock lock(WaypointListLock);
    for (const auto& [letter, index] : std::vector<std::pair<wchar_t, int>>{
             {L'[', 0}, {L'_', 1}, {L'a', 2}, {L'A', 2}, {L'b', 4}, {L'z', 6}, {L'\u00C9', 7}}) {
        EXPECT_EQ(g_waypoints.FindFirstLetter(letter), index) << static_cast<int>(letter);
    }
}

// A list long enough to be sorted by its packed name heads first comes out
// as a stable sort by the full comparison does: names sharing their first
// eight characters or differing only in case, Latin-1 and characters beyond
// U+FFFF, short and empty names, duplicates in file order.
TEST(WaypointListOrderTest, ALongListSortsAsTheFullComparisonDoes) {
    const std::wstring alphabet = L"aAbB Zz09_[\u00C9\u00E9\U0001F600";
    std::mt19937 random(26);
    std::vector<std::wstring> names;
    std::vector<std::unique_ptr<CWaypointEntry>> entries;
    for (int i = 0; i < 3000; ++i) {
        std::wstring name = i % 3 == 0 ? L"Common p" : L"";
        const int length = static_cast<int>(random() % 11);
        for (int c = 0; c < length; ++c)
            name += alphabet[random() % alphabet.size()];
        names.push_back(name);
        entries.push_back(std::make_unique<CWaypointEntry>());
        entries.back()->record.name.Assign(name);
        entries.back()->lineOffset = static_cast<std::uint64_t>(i);
    }
    std::vector<std::size_t> expected(names.size());
    for (std::size_t i = 0; i < expected.size(); ++i)
        expected[i] = i;
    std::stable_sort(expected.begin(), expected.end(), [&](std::size_t a, std::size_t b) {
        return CompareWaypointNames(names[a], names[b]) < 0;
    });

    const auto list = WaypointList::FromEntries(std::move(entries));
    ASSERT_TRUE(list);
    ASSERT_EQ(list->Count(), static_cast<int>(expected.size()));
    for (int i = 0; i < list->Count(); ++i)
        ASSERT_EQ(list->At(i)->lineOffset, expected[static_cast<std::size_t>(i)]) << i;
}

TEST_F(WaypointLoaderTest, BackgroundLoadPublishesAndReportsOnce) {
    const platform::ScopedRecordingUiPost posts;
    std::wstring path = Write(Records(500));
    ASSERT_EQ(OpenWaypointFile(g_waypointFile, path, true, true, true), 1);
    ASSERT_TRUE(WaitUntilIdle(g_waypointLoader));
    EXPECT_EQ(g_waypointsLoaded, 1);
    EXPECT_EQ(ListNames().size(), 500U);
    const auto messages = LoadedMessages(*posts);
    ASSERT_EQ(messages.size(), 1U);
    EXPECT_EQ(messages[0].window, platform::kMainFrameWindow);
    EXPECT_EQ(messages[0].lParam, static_cast<std::intptr_t>(LoadResult::kComplete));
    EXPECT_FALSE(messages[0].sent);
}

TEST_F(WaypointLoaderTest, ALineTooLongForARecordIsLeftOutAndReportedOnce) {
    // A 10 MB line of record-like text between two records gives no
    // waypoint at all, and one box names the file.
    std::string longLine;
    while (longLine.size() < 10'000'000)
        longLine += "WPX,47,1,0,-8,0,0,100";
    const platform::ScopedRecordingSink boxes;
    std::wstring path = Write(Records(1) + longLine + "\r\n" + Records(2).substr(Records(1).size()));
    ASSERT_EQ(OpenWaypointFile(g_waypointFile, path, true, true, true), 1);
    ASSERT_TRUE(WaitUntilIdle(g_waypointLoader));
    EXPECT_EQ(ListNames(), (std::vector<std::wstring>{L"WP0", L"WP1"}));
    const auto shown = boxes->Boxes();
    ASSERT_EQ(shown.size(), 1U);
    EXPECT_NE(shown[0].text.find(path), std::wstring::npos);
    EXPECT_NE(shown[0].text.find(L"\n1 "), std::wstring::npos);
}

TEST_F(WaypointLoaderTest, AFileWithoutASingleRecordIsReportedButAnEmptyOneIsNot) {
    struct Case {
        std::string bytes;
        bool reported;
    };
    using namespace std::string_literals;
    const std::string garbage = "\x89PNG\r\n\x1a\n\0\0\0\rIHDR garbage\r\nnot,a,record\r\n"s;
    for (const Case& c : {Case{garbage, true}, Case{"", false}, Case{"ALT[M]\r\n", false},
                          Case{"; WP0,47,0,0,-8,0,0,0 deleted\r\n\r\n", false},
                          Case{"junk\r\n" + Records(1), false}}) {
        SCOPED_TRACE(c.bytes);
        const platform::ScopedRecordingSink boxes;
        std::wstring path = Write(c.bytes);
        ASSERT_EQ(OpenWaypointFile(g_waypointFile, path, true, true, true), 1);
        ASSERT_TRUE(WaitUntilIdle(g_waypointLoader));
        const auto shown = boxes->Boxes();
        ASSERT_EQ(shown.size(), c.reported ? 1U : 0U);
        if (c.reported) {
            EXPECT_NE(shown[0].text.find(path + L"\n\n"), std::wstring::npos);
        }
    }
}

TEST_F(WaypointLoaderTest, MapElementsAndAFailingElement) {
    const testing::ScopedMapHook hook;
    const platform::ScopedRecordingUiPost posts;
    const std::string bytes =
        "A,1,0,0,1,0,0,10, 3,5.0,5.0,0.0,8.0\r\nB,1,0,0,1,0,0\r\nC,1,0,0,1,0,0,-1, "
        "2,1.0,2.0,0.0,0.0\r\n"
        "D,1,0,0,1,0,0,10, 4,0.0,0.0,0.0,0.0\r\nE,1,0,0,1,0,0,10, 4,0.0,0.0,0.0,0.0\r\n";
    std::wstring path = Write(bytes);
    ASSERT_EQ(OpenWaypointFile(g_waypointFile, path, true, true, true), 1);
    ASSERT_TRUE(WaitUntilIdle(g_waypointLoader));
    {
        const platform::CriticalSectionLock lock(WaypointListLock);
        ASSERT_EQ(g_waypointMapElements.size(), 4U);
        const auto& first = static_cast<const testing::TestMapElement&>(*g_waypointMapElements[0]);
        EXPECT_EQ(first.name, L"A");
        EXPECT_EQ(first.extension, (MapExtension{3.0F, 0.0F, 0.0F, 0.0F, 0.0F, 8.0F}));
    }
    EXPECT_GE(hook->replaced, 1);

    hook->failAt = L"D";
    path = Write(bytes);
    ASSERT_EQ(OpenWaypointFile(g_waypointFile, path, true, true, true), 1);
    ASSERT_TRUE(WaitUntilIdle(g_waypointLoader));
    EXPECT_EQ(ListNames(), (std::vector<std::wstring>{L"A", L"B", L"C", L"D"}));
    const auto messages = LoadedMessages(*posts);
    ASSERT_EQ(messages.size(), 2U);
    EXPECT_EQ(messages[1].lParam, static_cast<std::intptr_t>(LoadResult::kElementFailed));
}

TEST_F(WaypointLoaderTest, AStoppedLoadPublishesNothing) {
    const platform::ScopedRecordingUiPost posts;
    std::wstring path = Write(Records(200000));
    ASSERT_EQ(OpenWaypointFile(g_waypointFile, path, true, true, true), 1);
    EXPECT_FALSE(EnsureWaypointFileOpen());
    const auto asked = std::chrono::steady_clock::now();
    EXPECT_TRUE(g_waypointLoader.Stop(5000));
    // The stop is seen between two records, long before the file's end; the
    // margin is for a machine busy with other tests.
    EXPECT_LT(std::chrono::steady_clock::now() - asked, std::chrono::milliseconds(500));
    EXPECT_FALSE(g_waypointLoader.Running());
    EXPECT_EQ(g_waypointsLoaded, 0);
    EXPECT_TRUE(ListNames().empty());
    EXPECT_TRUE(LoadedMessages(*posts).empty());
    EXPECT_TRUE(EnsureWaypointFileOpen());
}

// Readers see the old list or the whole new one, never a part of one.
TEST_F(WaypointLoaderTest, ReadersNeverSeeAHalfFilledList) {
    constexpr int kRecords = 3000;
    const platform::ScopedRecordingUiPost posts;
    std::wstring path = Write(Records(kRecords));
    std::atomic<bool> done{false};
    std::atomic<int> partial{0};
    std::atomic<long> reads{0};
    std::thread reader([&] {
        while (!done) {
            const platform::CriticalSectionLock lock(WaypointListLock);
            const int count = g_waypoints.Count();
            if (count != 0 && count != kRecords) ++partial;
            double sum = 0.0;
            for (int i = 0; i < count; ++i)
                sum += g_waypoints.At(i)->record.altitude;
            if (count == kRecords && sum != kRecords * (kRecords - 1) / 2.0) ++partial;
            ++reads;
        }
    });
    constexpr int kLoads = 5;
    for (int i = 0; i < kLoads; ++i) {
        ASSERT_EQ(OpenWaypointFile(g_waypointFile, path, true, true, true), 1);
        ASSERT_TRUE(WaitUntilIdle(g_waypointLoader));
    }
    done = true;
    reader.join();
    EXPECT_EQ(partial, 0);
    EXPECT_GT(reads, 0);
    EXPECT_EQ(LoadedMessages(*posts).size(), static_cast<std::size_t>(kLoads));
}

}  // namespace
}  // namespace nav
