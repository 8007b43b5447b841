#include "map/map_sprite.h"

#include <gtest/gtest.h>

#include "map/map_draw_math.h"

namespace map {
namespace {

constexpr std::uint32_t kOpaqueRed = 0xFFFF0000U;

platform::Image Picture(int width, int height) {
    platform::Image image(width, height);
    image.SetPixel(width / 2, 0, kOpaqueRed);  // the nose, at the top
    image.MarkDirty();
    return image;
}

TEST(MapSprite, MovesRepaintTheOldAndNewPlacesOnly) {
    const platform::Image image = Picture(9, 7);
    MapSprite sprite;
    EXPECT_EQ(sprite.HalfWidth(), MapSprite::kUnsetHalf);
    sprite.SetImage({&image, std::nullopt});
    EXPECT_EQ(sprite.Erase(false), std::nullopt);  // never shown

    EXPECT_EQ(sprite.MoveTo({50, 40}), (platform::PixelRect{45, 36, 55, 44}));
    EXPECT_EQ(sprite.MoveTo({50, 40}), std::nullopt);  // stays put
    EXPECT_EQ(sprite.MoveTo({60, 40}), (platform::PixelRect{45, 36, 65, 44}));
    EXPECT_EQ(sprite.Erase(false), (platform::PixelRect{55, 36, 65, 44}));
    EXPECT_FALSE(sprite.Shown());
    // Shown again at the same place: that place is repainted.
    EXPECT_EQ(sprite.MoveTo({60, 40}), (platform::PixelRect{55, 36, 65, 44}));
    sprite.Erase(true);
    EXPECT_EQ(sprite.MoveTo({10, 10}), (platform::PixelRect{5, 6, 15, 14}));  // the old place forgotten
}

TEST(MapSprite, DrawsItsPictureCentredOnlyWhenShown) {
    const platform::Image image = Picture(9, 7);
    MapSprite sprite;
    sprite.SetImage({&image, std::nullopt});
    platform::Canvas canvas(40, 30);
    canvas.FillRect(canvas.Bounds(), platform::Brush::Solid(platform::kWhite));
    sprite.Draw(canvas);  // hidden: nothing
    canvas.Finish();
    EXPECT_EQ(canvas.Pixels().Pixel(20, 12), 0xFFFFFFFFU);
    sprite.MoveTo({20, 15});
    sprite.Draw(canvas);
    canvas.Finish();
    EXPECT_EQ(canvas.Pixels().Pixel(20, 12), kOpaqueRed);
    EXPECT_EQ(canvas.Pixels().Pixel(20, 15), 0xFFFFFFFFU);  // transparent pixels leave the map

    // A bitmap with a key colour: the key leaves the map, the rest covers it.
    platform::Image bitmap(3, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x) bitmap.SetPixel(x, y, x == 1 ? 0xFF0000FFU : 0xFF00FF00U);
    bitmap.MarkDirty();
    MapSprite keyed;
    keyed.SetImage({&bitmap, platform::Colour{0, 255, 0}});
    keyed.MoveTo({5, 5});
    keyed.Draw(canvas);
    canvas.Finish();
    EXPECT_EQ(canvas.Pixels().Pixel(5, 5), 0xFF0000FFU);
    EXPECT_EQ(canvas.Pixels().Pixel(4, 5), 0xFFFFFFFFU);
}

TEST(MapSprite, NameComparesLikeACountedStringCompare) {
    MapSprite sprite;
    sprite.SetName(L"Alpha");
    struct Case {
        const wchar_t* text;
        std::size_t n;
        bool equal;
    };
    for (const Case& c : {Case{L"Alpha", 5, true}, Case{L"Alpha", 9, true}, Case{L"Alps", 3, true},
                          Case{L"Alps", 4, false}, Case{L"Alph", 5, false}, Case{L"", 0, true},
                          Case{L"Alphabet", 6, false}}) {
        EXPECT_EQ(sprite.NameEquals(c.text, c.n), c.equal) << c.text << " " << c.n;
    }
    sprite.SetName(std::wstring(80, L'x'));
    EXPECT_TRUE(sprite.NameEquals(std::wstring(55, L'x'), 80));
}

TEST(AircraftImages, EverySectorHasAPictureTurnedClockwise) {
    const platform::Image icon = Picture(9, 9);  // nose at (4, 0)
    std::vector<CursorBitmap> cursors(3);
    cursors[2].image = Picture(5, 5);
    cursors[2].transparent = {0, 0, 0};
    const auto images = MakeAircraftImages(icon, cursors);
    for (double track = -720.0; track <= 720.0; track += 7.5) {
        const int k = AircraftSector(track, 90.0);
        ASSERT_GE(k, 0);
        ASSERT_LT(k, 8);
        ASSERT_NE(images->sectors[static_cast<std::size_t>(k)].image, nullptr);
    }
    EXPECT_EQ(images->sectors[2].image, &cursors[2].image);  // the cursor list's bitmap
    EXPECT_TRUE(images->sectors[2].transparent.has_value());
    EXPECT_EQ(images->sectors[0].image->Pixel(4, 0), kOpaqueRed);
    EXPECT_EQ(images->sectors[4].image->Pixel(4, 8), kOpaqueRed);  // 180: nose down
    EXPECT_EQ(images->sectors[6].image->Pixel(0, 4), kOpaqueRed);  // 270: nose left
    EXPECT_EQ(images->sectors[1].image->Pixel(4, 0), 0U);

    // Without the icon (no resource bundle) every sector still shows a mark.
    const auto bare = MakeAircraftImages(platform::Image(), {});
    for (const SpriteImage& sector : bare->sectors) {
        ASSERT_NE(sector.image, nullptr);
        ASSERT_FALSE(sector.image->Empty());
        EXPECT_EQ(sector.image->Pixel(7, 7), platform::PremultipliedArgb(255, 0, 0, 0));
    }
}

TEST(ProjectToSprite, PlacesTheSpriteWhereThePositionLands) {
    mapdata::MapDrawState state;  // centred on 0 N 0 E
    state.cx = 100.0F;
    state.cy = 50.0F;
    state.k = 10000.0F;
    MapSprite sprite;
    const platform::Image image = Picture(5, 5);
    sprite.SetImage({&image, std::nullopt});
    ASSERT_TRUE(ProjectToSprite(state, nav::WaypointRecord(0.0, 0.0, false), sprite));
    EXPECT_EQ(sprite.Position(), (platform::Point{100, 50}));
    ProjectToSprite(state, nav::WaypointRecord(0.001, 0.0, false), sprite);
    EXPECT_EQ(sprite.Position(), (platform::Point{100, 40}));  // north is up
    // Behind the projection: far outside, never a wrapped pixel.
    ProjectToSprite(state, nav::WaypointRecord(0.0, 3.0, false), sprite);
    EXPECT_TRUE(sprite.Position().x <= -30000 || sprite.Position().x >= 30000 ||
                sprite.Position().y <= -30000 || sprite.Position().y >= 30000)
        << sprite.Position().x << "," << sprite.Position().y;
}

}  // namespace
}  // namespace map
