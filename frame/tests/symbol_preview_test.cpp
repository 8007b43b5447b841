// The symbol pictures the dialogs show: the map's own icon or user symbol
// for a symbol number, centred on the dialog's background.
#include "frame/symbol_preview.h"

#include <gtest/gtest.h>

#include "mapdata/dib.h"
#include "testing/scratch_folder.h"

namespace frame {
namespace {

constexpr platform::Colour kBackground{200, 200, 200};

// Every icon a 32 x 32 square of one colour: red for the airfield (symbol
// 1), green for the rest.
platform::Image Icon(unsigned id) {
    platform::Image icon(32, 32);
    const std::uint32_t colour = id == 139 ? platform::PremultipliedArgb(255, 255, 0, 0)
                                           : platform::PremultipliedArgb(255, 0, 255, 0);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) icon.SetPixel(x, y, colour);
    icon.MarkDirty();
    return icon;
}

TEST(SymbolPreviewTest, BuiltInAndUserSymbolsAsTheMapDrawsThem) {
    test_support::ScratchFolder documents("preview");
    // One user symbol (number 16): blue with a transparent white corner.
    mapdata::CDib dib;
    ASSERT_TRUE(dib.CreateEmpty(false, 32, 32, 24, nullptr));
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            std::uint8_t* p = dib.GetPixelAddress(x, y, false);
            const bool corner = x < 4 && y < 4;
            p[0] = 255;  // blue, white in the corner
            p[1] = corner ? 255 : 0;
            p[2] = corner ? 255 : 0;
        }
    }
    ASSERT_TRUE(dib.SaveToFile(documents / "blue.bmp", 0, nullptr));
    documents.Write("^KOR_VN#^.SLF", "1\n0 blue.bmp\n");
    const auto tables = map::MakeMapDrawingTables(Icon, documents.Path());

    const platform::Image airfield = SymbolPreview(tables.get(), 1, kBackground, 40);
    ASSERT_EQ(airfield.Width(), 40);
    EXPECT_EQ(airfield.Pixel(20, 20), platform::PremultipliedArgb(255, 255, 0, 0));
    EXPECT_EQ(airfield.Pixel(1, 1), platform::PremultipliedArgb(255, 200, 200, 200));

    const platform::Image user = SymbolPreview(tables.get(), 16, kBackground, 32);
    ASSERT_FALSE(user.Empty());
    EXPECT_EQ(user.Pixel(16, 16), platform::PremultipliedArgb(255, 0, 0, 255));
    EXPECT_EQ(user.Pixel(1, 1), platform::PremultipliedArgb(255, 200, 200, 200));  // the key colour

    // Beyond the loaded symbols the map draws symbol 0; labels and area
    // codes have no picture, nor has anything without tables.
    EXPECT_EQ(SymbolPreview(tables.get(), 17, kBackground).Pixel(16, 16),
              platform::PremultipliedArgb(255, 0, 255, 0));
    EXPECT_TRUE(SymbolPreview(tables.get(), 0, kBackground).Empty());
    EXPECT_TRUE(SymbolPreview(tables.get(), -5, kBackground).Empty());
    EXPECT_TRUE(SymbolPreview(nullptr, 1, kBackground).Empty());
}

}  // namespace
}  // namespace frame
