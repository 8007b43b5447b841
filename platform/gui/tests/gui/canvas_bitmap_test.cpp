#include "platform/gui/canvas_bitmap.h"

#include <gtest/gtest.h>
#include <wx/dcmemory.h>

#include <memory>

#include "platform/canvas.h"
#include "platform/canvas_handover.h"
#include "testing/wx_test_app.h"

namespace platform::gui {
namespace {

// A canvas whose every pixel has its own colour.
std::unique_ptr<Canvas> Gradient(int width, int height) {
    auto canvas = std::make_unique<Canvas>(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            canvas->SetPixel(
                {x, y}, Colour{static_cast<std::uint8_t>(x * 7), static_cast<std::uint8_t>(y * 11),
                               static_cast<std::uint8_t>(x ^ y)});
    }
    canvas->SetPen(Pen::Solid(kBlack, 3));
    canvas->MoveTo({2, 2});
    canvas->LineTo({20, 9});  // a pending wide stroke: the hand-over finishes it
    return canvas;
}

void ExpectSamePixels(const wxImage& shown, const Image& pixels) {
    ASSERT_TRUE(shown.IsOk());
    ASSERT_EQ(shown.GetWidth(), pixels.Width());
    ASSERT_EQ(shown.GetHeight(), pixels.Height());
    for (int y = 0; y < pixels.Height(); ++y) {
        for (int x = 0; x < pixels.Width(); ++x) {
            const Colour want = Colour::FromArgb(pixels.Pixel(x, y));
            ASSERT_EQ((Colour{shown.GetRed(x, y), shown.GetGreen(x, y), shown.GetBlue(x, y)}), want)
                << x << "," << y;
        }
    }
}

TEST(CanvasBitmapTest, TheBitmapShowsTheFinishedCanvasPixels) {
    CanvasHandover handover;
    wxBitmap bitmap;
    EXPECT_FALSE(CopyFinished(handover, bitmap));

    handover.Publish(Gradient(37, 23));
    ASSERT_TRUE(CopyFinished(handover, bitmap));
    EXPECT_EQ(bitmap.GetWidth(), 37);

    // Painted as a paint handler would: onto another bitmap through a DC.
    wxBitmap screen(40, 30, 24);
    {
        wxMemoryDC dc(screen);
        dc.SetBackground(*wxWHITE_BRUSH);
        dc.Clear();
        dc.DrawBitmap(bitmap, 0, 0);
    }
    const wxImage painted = screen.ConvertToImage().GetSubImage(wxRect(0, 0, 37, 23));
    handover.Read([&](const Image& pixels) {
        ExpectSamePixels(bitmap.ConvertToImage(), pixels);
        ExpectSamePixels(painted, pixels);
        EXPECT_EQ(Colour::FromArgb(pixels.Pixel(10, 6)), kBlack);  // the stroke
    });

    // Another size remakes the bitmap.
    handover.Publish(Gradient(12, 5));
    ASSERT_TRUE(CopyFinished(handover, bitmap));
    EXPECT_EQ(bitmap.GetWidth(), 12);
    handover.Read([&](const Image& pixels) { ExpectSamePixels(ToWxImage(pixels), pixels); });
}

}  // namespace
}  // namespace platform::gui
