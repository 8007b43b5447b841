#include "map/map_compose.h"

#include <gtest/gtest.h>

#include <memory>
#include <utility>

#include "map/map_draw_math.h"

namespace map {
namespace {

std::uint32_t Argb(platform::Colour c) { return platform::PremultipliedArgb(255, c.red, c.green, c.blue); }

std::unique_ptr<platform::Canvas> Filled(int w, int h, platform::Colour colour) {
    auto canvas = std::make_unique<platform::Canvas>(w, h);
    canvas->FillRect(canvas->Bounds(), platform::Brush::Solid(colour));
    canvas->Finish();
    return canvas;
}

TEST(ComposeMapFrame, CopiesAndsXorsThenDrawsSpritesColumnAndDisc) {
    const platform::Colour ground{10, 20, 30};
    const auto back = Filled(80, 200, ground);
    const auto task = Filled(80, 200, platform::kWhite);
    task->FillRect({40, 0, 80, 10}, platform::Brush::Solid({0, 255, 0}));
    task->Finish();
    const auto reach = Filled(80, 200, platform::kBlack);
    reach->FillRect({40, 20, 80, 30}, platform::Brush::Solid({255, 0, 0}));
    reach->Finish();
    platform::Image picture(3, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x) picture.SetPixel(x, y, 0xFF0000FFU);
    picture.MarkDirty();
    MapSprite sprite;
    sprite.SetImage({&picture, std::nullopt});
    sprite.MoveTo({60, 100});
    MapSprite hidden;
    hidden.SetImage({&picture, std::nullopt});

    ComposeLayers layers;
    layers.taskLayer = &std::as_const(*task).Pixels();
    layers.reachable = &std::as_const(*reach).Pixels();
    layers.sprites = {&sprite, &hidden};
    layers.wind = WindInput{8.1F, 0.0};
    platform::Canvas out(80, 200);
    ComposeMapFrame(out, std::as_const(*back).Pixels(), layers);
    const platform::Image& img = out.Pixels();
    EXPECT_EQ(img.Pixel(30, 50), Argb(ground));
    EXPECT_EQ(img.Pixel(50, 5), Argb({0, 20, 0}));     // ANDed
    EXPECT_EQ(img.Pixel(50, 25), Argb({245, 20, 30}));  // XORed
    EXPECT_EQ(img.Pixel(60, 100), 0xFF0000FFU);        // the sprite, over the map
    EXPECT_EQ(img.Pixel(12, 50), Argb(kButtonFace));
    EXPECT_EQ(img.Pixel(12, kWindDiscTop + 11), Argb({255, 255, 0}));

    // No back canvas yet: the map area is white and the rest still drawn.
    layers.taskLayer = nullptr;
    layers.reachable = nullptr;
    ComposeMapFrame(out, nullptr, layers);
    EXPECT_EQ(out.Pixels().Pixel(30, 50), Argb(platform::kWhite));
    EXPECT_EQ(out.Pixels().Pixel(60, 100), 0xFF0000FFU);
}

TEST(ComposeMapFrame, GotoLineIsClippedToTheMapArea) {
    const auto back = Filled(100, 60, platform::kWhite);
    ComposeLayers layers;
    layers.state.cx = 60.0F;
    layers.state.cy = 30.0F;
    layers.state.k = 10000.0F;
    // From the centre to 50 px left of it: across the button column.
    layers.gotoLine = GotoLineInput{{0.0, 0.0, false}, {0.0, -50e-4, false}};
    platform::Canvas out(100, 60);
    ComposeMapFrame(out, std::as_const(*back).Pixels(), layers);
    EXPECT_EQ(out.Pixels().Pixel(40, 30), Argb({0, 0, 200}));
    EXPECT_EQ(out.Pixels().Pixel(20, 30), Argb(kButtonFace));
}

TEST(WindIndicator, ColourBySpeedAndArrowBySectorOnTheTurnedMap) {
    struct Case {
        float speed;
        platform::Colour disc;
    };
    for (const Case& c : {Case{8.0F, {0, 255, 0}}, Case{8.1F, {255, 255, 0}}, Case{19.0F, {255, 255, 0}},
                          Case{19.1F, {255, 0, 0}}}) {
        EXPECT_EQ(WindDiscColour(c.speed), c.disc) << c.speed;
    }
    // One arrow image per sector, each a single pixel in its own colour.
    std::array<platform::Image, kWindArrows> arrows;
    for (std::size_t k = 0; k < arrows.size(); ++k) {
        arrows[k] = platform::Image(32, 32);
        arrows[k].SetPixel(16, 16, platform::PremultipliedArgb(255, 0, 0, static_cast<std::uint8_t>(10 * k)));
        arrows[k].MarkDirty();
    }
    ComposeLayers layers;
    layers.windArrows = &arrows;
    for (const auto& [direction, rotation] : {std::pair{0.0, 0.0}, {90.0, 180.0}, {-30.0, 400.0}}) {
        layers.wind = WindInput{20.0F, direction};
        layers.rotationDeg = rotation;
        platform::Canvas canvas(24, 200);
        DrawWindIndicator(canvas, layers);
        canvas.Finish();
        const int k = WindArrowSector(direction, rotation);
        EXPECT_EQ(canvas.Pixels().Pixel(12, kWindDiscTop + 11),
                  platform::PremultipliedArgb(255, 0, 0, static_cast<std::uint8_t>(10 * k)))
            << direction << " " << rotation;
        EXPECT_EQ(canvas.Pixels().Pixel(12, kWindDiscTop + 2), Argb({255, 0, 0}));
    }
    // No valid wind, or no place for the disc: the column is left alone.
    const auto column = Filled(24, 200, platform::kBlack);
    layers.wind.reset();
    DrawWindIndicator(*column, layers);
    layers.wind = WindInput{5.0F, 0.0};
    layers.windTop = WindDiscTop(2, 1);
    DrawWindIndicator(*column, layers);
    column->Finish();
    EXPECT_EQ(column->Pixels().Pixel(12, kWindDiscTop + 11), Argb(platform::kBlack));
    EXPECT_EQ(WindDiscTop(0, 1), kWindDiscTop);
    EXPECT_EQ(WindDiscTop(2, 0), kWindDiscTop);
    EXPECT_EQ(WindDiscTop(2, 2), kWindDiscTop - 24);
}

TEST(ComposeFromHandover, ComposesOnWhiteUntilACanvasIsHandedOver) {
    platform::CanvasHandover handover;
    platform::Canvas out(60, 40);
    EXPECT_FALSE(ComposeFromHandover(out, handover, nullptr, {}));
    EXPECT_EQ(out.Pixels().Pixel(40, 20), Argb(platform::kWhite));
    handover.Publish(Filled(60, 40, {1, 2, 3}));
    EXPECT_TRUE(ComposeFromHandover(out, handover, nullptr, {}));
    EXPECT_EQ(out.Pixels().Pixel(40, 20), Argb({1, 2, 3}));
}

}  // namespace
}  // namespace map
