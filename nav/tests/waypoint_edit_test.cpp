// Adding, deleting and editing waypoints: the file and the list change
// together, every other byte of the file stays, and a reload gives the list
// the edits left.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "nav/tests/waypoint_test_support.h"
#include "nav/waypoint_edit.h"
#include "nav/waypoint_file_open.h"
#include "nav/waypoint_list.h"
#include "nav/waypoint_loader.h"

namespace nav {
namespace {

using testing::ReadBytes;
using testing::Wide;

std::vector<std::string> ListDump() {
    const platform::CriticalSectionLock lock(WaypointListLock);
    std::vector<std::string> dump;
    for (int i = 0; i < g_waypoints.Count(); ++i) {
        const CWaypointEntry* entry = g_waypoints.At(i);
        dump.push_back(testing::Dump(entry->record, entry->lineOffset, entry->extension));
    }
    return dump;
}

int IndexOf(std::wstring_view name) {
    const platform::CriticalSectionLock lock(WaypointListLock);
    for (int i = 0; i < g_waypoints.Count(); ++i) {
        if (g_waypoints.At(i)->record.name.View() == name) return i;
    }
    return -1;
}

std::vector<std::wstring> ElementNames() {
    const platform::CriticalSectionLock lock(WaypointListLock);
    std::vector<std::wstring> names;
    for (const auto& element : g_waypointMapElements) {
        names.push_back(static_cast<const testing::TestMapElement&>(*element).name);
    }
    return names;
}

class WaypointEditTest : public ::testing::Test {
  protected:
    void SetUp() override {
        // The fixture ends with a record that lacks its comment line: give it
        // one, so that appends follow it directly.
        original_ = ReadBytes(testing::DataFolder() / "decimal.dta") + "\r\nfor the last\r\n";
        path_ = folder_.Write("edit.dta", original_);
        Open();
        ASSERT_EQ(g_waypoints.Count(), 16);
    }
    void TearDown() override { CloseWaypoints(1000); }

    void Open() {
        std::wstring path = Wide(path_);
        ASSERT_EQ(OpenWaypointFile(g_waypointFile, path, true, true, false), 1);
        ASSERT_TRUE(g_waypointFile.IsOpen());
    }

    static WaypointRecord NewRecord(const wchar_t* name) {
        WaypointRecord record(47.25, -8.5, true);
        record.name.Assign(name);
        record.altitude = 1200.0F;
        record.altitudeKnown = true;
        return record;
    }

    // The original bytes with ';' over the first character at `offset`.
    std::string CommentedAt(std::size_t offset) const {
        std::string bytes = original_;
        bytes[offset] = ';';
        return bytes;
    }

    const testing::ScopedSoundFolder sounds_;
    const testing::ScopedMapHook hook_;
    testing::ScratchFolder folder_;
    std::filesystem::path path_;
    std::string original_;
};

TEST_F(WaypointEditTest, LoadingMakesElementsForMapSymbols) {
    EXPECT_EQ(ElementNames(), (std::vector<std::wstring>{L"Map", L"MapNoAltitude"}));
    EXPECT_EQ(g_waypointsLoaded, 1);
}

TEST_F(WaypointEditTest, AddAppendsAndListsWhatReadsBack) {
    const MapExtension map{4.0F, 1.0F, 1.0F, 0.0F, 2.0F, 3.0F};
    const auto index = AddWaypoint(g_waypointFile, NewRecord(L"Zulu"), &map);
    ASSERT_TRUE(index);
    EXPECT_EQ(ReadBytes(path_),
              original_ + "Zulu,47.2500000,0,0,-8.5000000,0,0,1200, 4,1.0,1.0,2.0,3.0\r\n");
    EXPECT_EQ(*index, IndexOf(L"Zulu"));
    EXPECT_EQ(g_waypoints.Count(), 17);
    EXPECT_EQ(ElementNames().back(), L"Zulu");
    // The element gets the map values with the equal first pair dropped.
    const platform::CriticalSectionLock lock(WaypointListLock);
    EXPECT_EQ(static_cast<const testing::TestMapElement&>(*g_waypointMapElements.back()).extension,
              (MapExtension{4.0F, 0.0F, 0.0F, 0.0F, 2.0F, 3.0F}));
}

TEST_F(WaypointEditTest, DeleteCommentsOutTheLineAndDropsTheEntry) {
    const int plain = IndexOf(L"Plain");
    ASSERT_GE(plain, 0);
    EXPECT_TRUE(DeleteWaypointEntry(g_waypointFile, plain));
    EXPECT_EQ(IndexOf(L"Plain"), -1);
    EXPECT_EQ(ReadBytes(path_), CommentedAt(59));
}

TEST_F(WaypointEditTest, EditReplacesAndAReloadAgrees) {
    const int marked = IndexOf(L"Marked");
    ASSERT_GE(marked, 0);
    const auto index = EditWaypoint(g_waypointFile, marked, NewRecord(L"Remarked"));
    ASSERT_TRUE(index);
    EXPECT_EQ(IndexOf(L"Marked"), -1);
    EXPECT_EQ(*index, IndexOf(L"Remarked"));
    EXPECT_EQ(ReadBytes(path_),
              CommentedAt(204) + "Remarked,47.2500000,0,0,-8.5000000,0,0,1200\r\n");

    // An edited record with a comment line loses both lines.
    const int described = IndexOf(L"Described");
    ASSERT_TRUE(EditWaypoint(g_waypointFile, described, NewRecord(L"Plainer")));
    std::string expected = CommentedAt(204);
    expected[596] = ';';
    expected[628] = ';';
    expected +=
        "Remarked,47.2500000,0,0,-8.5000000,0,0,1200\r\n"
        "Plainer,47.2500000,0,0,-8.5000000,0,0,1200\r\n";
    EXPECT_EQ(ReadBytes(path_), expected);

    const auto edited = ListDump();
    Open();
    EXPECT_EQ(ListDump(), edited);
}

TEST_F(WaypointEditTest, AFailedWriteChangesNothing) {
    ASSERT_TRUE(g_waypointFile.OpenWaypoints(Wide(path_), core::OpenMode::kRead));
    const auto before = ListDump();
    EXPECT_FALSE(EditWaypoint(g_waypointFile, IndexOf(L"Marked"), NewRecord(L"Remarked")));
    EXPECT_FALSE(AddWaypoint(g_waypointFile, NewRecord(L"Zulu")));
    EXPECT_FALSE(DeleteWaypointEntry(g_waypointFile, IndexOf(L"Plain")));
    EXPECT_EQ(ReadBytes(path_), original_);
    EXPECT_EQ(ListDump(), before);
}

TEST_F(WaypointEditTest, AMissingFileLeavesTheListAlone) {
    std::wstring missing = Wide(folder_.Path() / "no" / "such.dta");
    EXPECT_EQ(OpenWaypointFile(g_waypointFile, missing, true, true, false), 1);
    EXPECT_FALSE(g_waypointFile.IsOpen());
    EXPECT_EQ(g_waypoints.Count(), 16);
    EXPECT_EQ(g_waypointFileName.Get(), missing);
}

TEST_F(WaypointEditTest, TheChooserPicksTheFile) {
    std::wstring chosen = Wide(folder_.Copy("layouts.tab"));
    SetWaypointFileChooser([&](bool openMode, const std::wstring&) {
        return openMode ? std::optional<std::wstring>(chosen) : std::nullopt;
    });
    std::wstring path;
    EXPECT_EQ(OpenWaypointFile(g_waypointFile, path, false, false, false), 0);
    EXPECT_EQ(OpenWaypointFile(g_waypointFile, path, true, false, false), 1);
    SetWaypointFileChooser(nullptr);
    EXPECT_EQ(path, chosen);
    EXPECT_EQ(g_waypoints.Count(), 3);
}

}  // namespace
}  // namespace nav
