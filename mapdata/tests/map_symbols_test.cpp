// The symbol, track colour and cursor list files: counts, skipped entries,
// transparent colours, short files, and the four-place search.
#include "mapdata/map_symbols.h"

#include <gtest/gtest.h>

#include <string>

#include "testing/scratch_folder.h"

namespace mapdata {
namespace {

class MapSymbolsTest : public ::testing::Test {
  protected:
    // A 2 x 2 24-bit bitmap whose top-left pixel is `corner`.
    void Bitmap(const std::string& name, Rgb corner) {
        CDib dib;
        ASSERT_TRUE(dib.CreateEmpty(false, 2, 2, 24, nullptr));
        std::uint8_t* p = dib.GetPixelAddress(0, 0, false);
        p[0] = corner.blue;
        p[1] = corner.green;
        p[2] = corner.red;
        ASSERT_TRUE(dib.SaveToFile(folder_ / name, 0, nullptr));
    }
    test_support::ScratchFolder folder_{"symbols"};
};

TEST_F(MapSymbolsTest, SymbolListLoadsWhatItFindsAndSkipsMissingBitmaps) {
    Bitmap("a.bmp", {1, 2, 3});
    Bitmap("B.BMP", {4, 5, 6});
    // Count larger than the lines; a missing bitmap takes no number; colour
    // 0 and 17 take the corner pixel; names match ignoring case; the last
    // line lacks its line end and is not taken.
    const std::string text = "9\r\n0 a.bmp\n  missing.bmp\n\t17,b.bmp\r\n3 a.bmp\n2 a.bmp";
    const auto symbols = LoadUserSymbols(text, folder_.Path());
    ASSERT_EQ(symbols.size(), 3u);
    EXPECT_EQ(symbols[0].transparent, (Rgb{1, 2, 3}));
    EXPECT_EQ(symbols[1].transparent, (Rgb{4, 5, 6}));
    EXPECT_EQ(symbols[2].transparent, kMapPalette[2]);
    const auto entries = ParseSymbolList("2\nplain.bmp\n5 x.bmp\n");
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].colourIndex, 1);
    EXPECT_EQ(entries[0].file, "plain.bmp");
    EXPECT_EQ(entries[1].colourIndex, 5);
}

TEST_F(MapSymbolsTest, SymbolListStopsAtTwentySymbols) {
    Bitmap("a.bmp", {1, 2, 3});
    std::string text = "25\n";
    for (int i = 0; i < 25; ++i) text += "1 a.bmp\n";
    EXPECT_EQ(LoadUserSymbols(text, folder_.Path()).size(), 20u);
}

TEST_F(MapSymbolsTest, TrackColoursRepeatTheLastEntryAndKeepDefaultsForAnEmptyFirstLine) {
    const auto two = ReadTrackColours("header\n1,2,3\n300 4 5\n");
    EXPECT_EQ(two[0], (Rgb{1, 2, 3}));
    EXPECT_EQ(two[1], (Rgb{300 & 255, 4, 5}));
    EXPECT_EQ(two[20], two[1]);
    const auto partial = ReadTrackColours("header\nnone\n7\n");
    EXPECT_EQ(partial[0], kDefaultTrackColours[0]);
    EXPECT_EQ(partial[1], (Rgb{7, kDefaultTrackColours[0].green, kDefaultTrackColours[0].blue}));
    EXPECT_EQ(ReadTrackColours("only a header"), [] {
        auto all = kDefaultTrackColours;
        all.fill(kDefaultTrackColours[0]);
        return all;
    }());
}

TEST_F(MapSymbolsTest, CursorListNeedsItsHeaderAndSizeAndSetsTheAngleStep) {
    Bitmap("c.bmp", {9, 9, 9});
    std::string five = "KOR_VAN cursors\n32\n";
    for (int i = 0; i < 5; ++i) five += "c.bmp\r\n";
    const auto loaded = LoadCursorImages(five, folder_.Path());
    EXPECT_EQ(loaded.images.size(), 5u);
    EXPECT_EQ(loaded.angleStep, 45.0F);
    EXPECT_EQ(loaded.images[0].transparent, (Rgb{9, 9, 9}));
    std::string twelve = "KOR_VAN\n32\n";
    for (int i = 0; i < 12; ++i) twelve += "c.bmp\n";
    twelve += "missing.bmp\nc.bmp\n";  // a failure stops reading
    const auto many = LoadCursorImages(twelve, folder_.Path());
    EXPECT_EQ(many.images.size(), 12u);
    EXPECT_EQ(many.angleStep, 30.0F);
    EXPECT_TRUE(LoadCursorImages("KOR_VAN\n24\nc.bmp\n", folder_.Path()).images.empty());
    EXPECT_TRUE(LoadCursorImages("OTHER\n32\nc.bmp\n", folder_.Path()).images.empty());
}

TEST_F(MapSymbolsTest, ListFilesAreFoundInTheProgramSubfolderFirstIgnoringCase) {
    folder_.Write("^kor_vn#^.slf", "documents");
    EXPECT_EQ(FindListFile(folder_.Path(), kSymbolListFileName), folder_ / "^kor_vn#^.slf");
    folder_.Write(std::string(kProgramDocumentsSubfolder) + "/^KOR_VN#^.SLF", "sub");
    EXPECT_EQ(FindListFile(folder_.Path(), kSymbolListFileName),
              folder_ / kProgramDocumentsSubfolder / "^KOR_VN#^.SLF");
    EXPECT_FALSE(FindListFile(folder_.Path(), "nothing.here"));
}

TEST(MapTablesTest, PensAndSymbolNumbers) {
    const auto pens = MakeMapPenTable();
    EXPECT_EQ(pens[5], (MapPen{kMapPalette[5], 1, false}));
    EXPECT_EQ(pens[21], (MapPen{kMapPalette[5], 1, true}));
    EXPECT_EQ(pens[37], (MapPen{kMapPalette[5], 3, false}));
    EXPECT_EQ(pens[48], (MapPen{{255, 127, 255}, 6, false}));
    const struct {
        int number, users;
        SymbolChoice::Kind kind;
        int index;
    } cases[] = {
        {3, 2, SymbolChoice::Kind::kIcon, 3},   {16, 2, SymbolChoice::Kind::kUser, 0},
        {17, 2, SymbolChoice::Kind::kUser, 1},  {18, 2, SymbolChoice::Kind::kIcon, 0},
        {-11, 0, SymbolChoice::Kind::kIcon, 17}, {-31, 0, SymbolChoice::Kind::kIcon, 16},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.number);
        const SymbolChoice choice = ResolveSymbol(c.number, c.users);
        EXPECT_EQ(choice.kind, c.kind);
        EXPECT_EQ(choice.index, c.index);
    }
}

}  // namespace
}  // namespace mapdata
