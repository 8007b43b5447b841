// What Brisvel keeps between runs, and where it finds the symbol list.
#include "tools/brisvel/brisvel_settings.h"

#include <gtest/gtest.h>

#include "testing/scratch_folder.h"
#include "tools/brisvel/symbol_list.h"

namespace brisvel {
namespace {

TEST(BrisvelSettings, BoundsAreKeptAsTheBitsOfTheirValues) {
    platform::SettingsStore store{std::filesystem::path()};
    EXPECT_FALSE(IsSet(LoadBounds(store)));
    const core::GeoBox bounds{-3.75F, -45.5F, 10.1F, 47.25F};
    ASSERT_TRUE(SaveBounds(store, bounds));
    EXPECT_EQ(store.GetInt("Settings", "BoundsMinLat", 0), 0xC2360000U);
    EXPECT_EQ(LoadBounds(store), bounds);
    // An unset maximum latitude leaves the others unread.
    store.WriteInt("Settings", "BoundsMaxLat", 0x4479C000U);  // 999.0
    EXPECT_EQ(LoadBounds(store), kUnsetBounds);
}

TEST(BrisvelSettings, TheShapeFolderIsKept) {
    platform::SettingsStore store{std::filesystem::path()};
    EXPECT_TRUE(LoadShapeFolder(store).empty());
    SaveShapeFolder(store, "/data/shapes");
    EXPECT_EQ(LoadShapeFolder(store), "/data/shapes");
}

TEST(SymbolList, TheProgramFolderComesFirstAndNamesMatchIgnoringCase) {
    test_support::ScratchFolder scratch("kv-brisvel-slf");
    EXPECT_FALSE(FindSymbolList(scratch.Path()));
    scratch.Write("^kor_vn#^.slf", "0\r\n");
    EXPECT_EQ(FindSymbolList(scratch.Path()), scratch / "^kor_vn#^.slf");
    scratch.Write("KOR_VAN WinCE/^KOR_VN#^.SLF", "0\r\n");
    EXPECT_EQ(FindSymbolList(scratch.Path()), scratch / "KOR_VAN WinCE/^KOR_VN#^.SLF");
    EXPECT_TRUE(ReadSymbolList(scratch.Path()).empty());
}

}  // namespace
}  // namespace brisvel
