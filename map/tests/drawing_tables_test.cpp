// The map's drawing tables: which icon goes into which slot, what the list
// files in the documents folder add, and what a missing icon or file leaves.
#include "map/drawing_tables.h"

#include <gtest/gtest.h>

#include <set>

#include "testing/scratch_folder.h"

namespace map {
namespace {

// A 1 x 1 icon whose pixel tells its id; the ids in `missing` are absent.
class FakeIcons {
  public:
    explicit FakeIcons(std::set<unsigned> missing = {}) : missing_(std::move(missing)) {}

    platform::Image operator()(unsigned id) {
        asked.insert(id);
        if (missing_.contains(id)) return {};
        platform::Image image(1, 1);
        image.SetPixel(0, 0, Pixel(id));
        return image;
    }
    static std::uint32_t Pixel(unsigned id) { return 0xFF000000u | id; }

    std::set<unsigned> asked;

  private:
    std::set<unsigned> missing_;
};

unsigned IdOf(const platform::Image& image) {
    return image.Empty() ? 0 : image.Pixel(0, 0) & 0xFFFFu;
}

TEST(MapDrawingTablesTest, IconsGoToTheirSlots) {
    test_support::ScratchFolder documents("tables");
    FakeIcons icons({144, 190});
    const auto tables = MakeMapDrawingTables(std::ref(icons), documents.Path());
    const auto& slots = tables->symbols.icons;
    const unsigned builtIn[] = {179, 139, 140, 153, 138, 141, 147, 150,
                                148, 149, 151, 145, 146, 152, 137, 142};
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(IdOf(slots[static_cast<std::size_t>(i)]), builtIn[i]) << "slot " << i;
    EXPECT_EQ(IdOf(slots[16]), 221u);
    EXPECT_EQ(IdOf(slots[17]), 180u);
    EXPECT_EQ(IdOf(slots[26]), 189u);
    EXPECT_EQ(IdOf(slots[27]), 0u);  // icon 190 is missing: its slot stays empty
    EXPECT_EQ(IdOf(slots[36]), 199u);
    for (std::size_t i = 37; i < slots.size(); ++i) EXPECT_TRUE(slots[i].Empty()) << i;
    EXPECT_EQ(tables->symbols.markerIcons, 20);
    for (int k = 0; k < kWindArrows; ++k) {
        EXPECT_EQ(IdOf(tables->windArrows[k]), 249u + k);
        EXPECT_EQ(IdOf(tables->savedWindArrows[k]), 249u + k);
        // Two copies: the map may replace the drawn one and keep the saved.
        EXPECT_NE(tables->windArrows[k].Surface(), tables->savedWindArrows[k].Surface());
    }
    EXPECT_TRUE(tables->singleIcon.Empty());
    EXPECT_TRUE(tables->symbols.users.empty());
    EXPECT_EQ(tables->trackColours, mapdata::kDefaultTrackColours);
    EXPECT_TRUE(tables->cursorImages.empty());
    EXPECT_EQ(icons.asked.size(), 16u + 21u + 8u + 1u);
}

TEST(MapDrawingTablesTest, ListFilesInTheDocumentsFolderAddUserSymbolsAndTrackColours) {
    test_support::ScratchFolder documents("tables");
    mapdata::CDib dib;
    ASSERT_TRUE(dib.CreateEmpty(false, 32, 32, 24, nullptr));
    documents.Write("KOR_VAN WinCE/^kor_vn#^.slf", "1\n3 GLIDER.BMP\n");
    documents.Write("^KOR_VN#^.TCL", "colours\n9,8,7\n");
    ASSERT_TRUE(dib.SaveToFile(documents / "KOR_VAN WinCE" / "glider.bmp", 0, nullptr));
    FakeIcons icons;
    const auto tables = MakeMapDrawingTables(std::ref(icons), documents.Path());
    ASSERT_EQ(tables->symbols.users.size(), 1u);
    EXPECT_EQ(tables->symbols.users[0].image.Width(), 32);
    // Palette colours are numbered from 1 in the list file.
    EXPECT_EQ(tables->symbols.users[0].transparent.red, mapdata::kMapPalette[2].red);
    EXPECT_EQ(tables->trackColours[0], (mapdata::Rgb{9, 8, 7}));
}

TEST(MapDrawingTablesTest, StartUpMakesThemAndExitFreesThem) {
    test_support::ScratchFolder documents("tables");
    EXPECT_EQ(CreateMapGdiResources(FakeIcons(), documents.Path()), 1);
    ASSERT_NE(DrawingTables(), nullptr);
    EXPECT_EQ(IdOf(DrawingTables()->symbols.icons[0]), 179u);
    FreeMapGdiResources();
    EXPECT_EQ(DrawingTables(), nullptr);
}

}  // namespace
}  // namespace map
