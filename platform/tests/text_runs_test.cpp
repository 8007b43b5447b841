#include "platform/text_runs.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "platform/canvas.h"

namespace platform {
namespace {

// Every way a line is drawn, once laid out by pango and once from the
// cache, first when the line is shaped and again when it is found.
void DrawAllWays(Canvas& canvas, const std::string& text) {
    canvas.FillRect(canvas.Bounds(), Brush::Solid(kWhite));
    canvas.SetBackgroundMode(BackgroundMode::kTransparent);
    for (int pass = 0; pass < 2; ++pass) {
        const int y = pass * 60;
        canvas.DrawText(text, {3, y, 200, y + 20}, kTextLeft);
        canvas.DrawTextCentred(text, 110, y + 18, 14);
        canvas.DrawTextAt({-4, y + 34}, text);
        canvas.SetBackgroundMode(BackgroundMode::kOpaque);
        canvas.DrawText(text, {150, y + 40, 300, y + 58}, kTextRight | kTextVCenter);
        canvas.SetBackgroundMode(BackgroundMode::kTransparent);
    }
}

bool SamePixels(Canvas& a, Canvas& b) {
    const Image& x = a.Pixels();
    const Image& y = b.Pixels();
    for (int row = 0; row < x.Height(); ++row) {
        for (int col = 0; col < x.Width(); ++col)
            if (x.Pixel(col, row) != y.Pixel(col, row)) return false;
    }
    return true;
}

TEST(TextRunsTest, LinesDrawnFromTheCacheHaveThePixelsOfTheirLayout) {
    // Latin, accents made of combining marks, Greek, right-to-left Arabic,
    // a face the system lacks, glyphs no font has (drawn by pango as boxes)
    // and an empty line.
    const std::vector<std::string> texts = {"Town 10477", "Ze\xCC\x81rich \xC3\x9F", "\xCE\x91\xCE\xB8\xCE\xAE\xCE\xBD\xCE\xB1",
                                            "\xD8\xB3\xD9\x84\xD8\xA7\xD9\x85 1", "\xF3\xB0\x80\x80 x", ""};
    const std::vector<Font> fonts = {Font{}, Font{"DejaVu Sans", 17, 700, 0}, Font{"No Such Face", 9, 400, 0}};
    TextRunCache cache;
    for (const Font& font : fonts) {
        for (const std::string& text : texts) {
            Canvas laidOut(320, 120);
            Canvas cached(320, 120);
            laidOut.SetFont(font);
            cached.SetFont(font);
            cached.UseTextRuns(&cache);
            DrawAllWays(laidOut, text);
            DrawAllWays(cached, text);
            EXPECT_TRUE(SamePixels(laidOut, cached)) << font.face << " " << font.height << " " << text;
            EXPECT_EQ(laidOut.TextExtent(text), cached.TextExtent(text)) << text;
        }
    }
    // Everything drawable was kept, each font apart; the boxes were not.
    EXPECT_EQ(cache.Count(), fonts.size() * (texts.size() - 1));
}

TEST(TextRunsTest, TheLeastRecentLinesGoWhenTheCacheIsFull) {
    Canvas canvas(10, 10);
    canvas.SetFont(Font{});
    TextRunCache shaper;
    canvas.UseTextRuns(&shaper);
    canvas.TextExtent(std::string_view("Town 1"));
    const auto line = shaper.Find(Font{}, "Town 1");
    ASSERT_NE(line, nullptr);
    const std::size_t each = shaper.Bytes();

    TextRunCache cache(3 * each);
    for (const char* text : {"a", "b", "c"}) cache.Add(Font{}, text, line);
    EXPECT_NE(cache.Find(Font{}, "a"), nullptr);  // now the most recent
    cache.Add(Font{}, "d", line);
    EXPECT_EQ(cache.Count(), 3U);
    EXPECT_EQ(cache.Find(Font{}, "b"), nullptr);
    for (const char* text : {"a", "c", "d"}) EXPECT_NE(cache.Find(Font{}, text), nullptr) << text;
    // Another font, or a text that runs into the face, is another line.
    EXPECT_EQ(cache.Find(Font{"DejaVu Sans", 13, 400, 0}, "a"), nullptr);
    EXPECT_EQ(cache.Find(Font{"DejaVu Sansa", 12, 400, 0}, ""), nullptr);
    cache.Clear();
    EXPECT_EQ(cache.Count(), 0U);
    EXPECT_EQ(cache.Bytes(), 0U);
}

TEST(TextRunsTest, CanvasesOnSeveralThreadsShareOneCache) {
    TextRunCache cache(std::size_t{1} << 14);  // small: lines are evicted while drawn
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&cache, t] {
            Canvas canvas(200, 40);
            canvas.UseTextRuns(&cache);
            for (int i = 0; i < 300; ++i)
                canvas.DrawTextCentred("Town " + std::to_string((i * 7 + t) % 120), 100, 10, 20);
        });
    }
    for (auto& thread : threads) thread.join();
    EXPECT_LE(cache.Bytes(), std::size_t{1} << 14);
    EXPECT_GT(cache.Count(), 0U);
}

}  // namespace
}  // namespace platform
