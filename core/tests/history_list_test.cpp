// Remembered text lists: where a list ends, that a shorter list saved over
// a longer one is read back without the old tail, and adding puts a text
// first once.
#include "core/history_list.h"

#include <gtest/gtest.h>

#include "testing/scratch_folder.h"

namespace core {
namespace {

TEST(HistoryListTest, ListsEndAtTheFirstEmptyOrAbsentEntry) {
    test_support::ScratchFolder scratch("history");
    platform::SettingsStore store(scratch / "settings");
    store.WriteString("History", "Entry0", std::wstring_view(L"a"));
    store.WriteString("History", "Entry1", std::wstring_view(L"b"));
    store.WriteString("History", "Entry3", std::wstring_view(L"d"));
    EXPECT_EQ(LoadHistory(store, "History"), (std::vector<std::wstring>{L"a", L"b"}));

    SaveHistory(store, "Saved", {L"x", L"y", L"z"});
    SaveHistory(store, "Saved", {L"q"});
    EXPECT_EQ(LoadHistory(store, "Saved"), std::vector<std::wstring>{L"q"});

    AddToHistory(store, "Names", L"Anna");
    AddToHistory(store, "Names", L"Ben");
    AddToHistory(store, "Names", L"Anna");
    AddToHistory(store, "Names", L"");
    EXPECT_EQ(LoadHistory(store, "Names"), (std::vector<std::wstring>{L"Anna", L"Ben"}));
}

}  // namespace
}  // namespace core
