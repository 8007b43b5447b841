// Elevation grids painted as colour bitmaps with their calibration file,
// and JPEG files written and read back (also by libjpeg's own djpeg).
#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <vector>

#include "platform/settings_store.h"
#include "testing/scratch_folder.h"
#include "tools/quorlin/colour_bitmap.h"
#include "tools/quorlin/grid_files.h"
#include "tools/quorlin/picture_files.h"
#include "tools/quorlin/quorlin_model.h"
#include "tools/quorlin/tests/quorlin_test_support.h"

namespace quorlin {
namespace {

namespace fs = std::filesystem;
using testing::DataFolder;
using testing::ReadBytes;

TEST(ElevationColours, LevelsFollowTheThresholds) {
    const struct {
        float elevation;
        int index;
    } cases[] = {{74.9f, 0}, {75.0f, 1}, {-1.0f, 0}, {3599.9f, 14}, {3600.0f, 14}, {3899.0f, 14},
                 {3900.0f, 15}, {32767.0f, 111}};
    for (const auto& c : cases) EXPECT_EQ(ElevationToColorIndex(c.elevation, kDefaultThresholds), c.index) << c.elevation;
    Thresholds close = kDefaultThresholds;
    close[14] = 3400;  // 100 m above the one before: the step stays 300
    EXPECT_EQ(ElevationToColorIndex(3700.0f, close), 15);
    EXPECT_EQ(ColourTableIndex(70000.0f, kDefaultThresholds), 14 + (4464 - 3600) / 300);  // the 16-bit value
}

class PictureTest : public ::testing::Test {
  protected:
    test_support::ScratchFolder scratch_{"quorlin"};
    testing::ScriptedUi ui_;
    int busy_ = 0;
};

TEST_F(PictureTest, SmallGridGivesTheReviewedBitmapAndCalibration) {
    platform::SettingsStore settings(scratch_ / "settings.ini");
    QuorlinModel model(settings, ui_);
    const std::string samples("\x00\x00\xff\xff\x4a\x00\x4b\x00\x10\x0e\xff\x7f", 12);  // 0 -1 74 75 3600 32767
    const fs::path grid = scratch_.Write("hill.bin", samples);
    ElevationGridHeader h;
    h.west = -7.0, h.east = -7.75, h.north = 46.5, h.south = 46.0, h.rows = 2, h.columns = 3;
    ASSERT_FALSE(WriteGridHeader(grid, h, {-1, 32767, -5000}));
    model.LoadInput(grid);
    model.OnConvert();
    ASSERT_TRUE(ui_.said.empty()) << ui_.said.front();
    mapdata::CDib dib;
    ASSERT_TRUE(dib.LoadQuietly(scratch_ / "hill.bmp"));
    ASSERT_EQ(dib.Header().bitCount, 24);
    const auto pixel = [&](int x, int y) {
        const std::uint8_t* p = dib.GetPixelAddress(x, y, false);
        return Bgr{p[0], p[1], p[2]};
    };
    const ColourTable colours = DefaultColourTable();
    EXPECT_EQ(pixel(0, 0), colours[0]);
    EXPECT_EQ(pixel(1, 0), (Bgr{0xFF, 0xFF, 0x80}));
    EXPECT_EQ(pixel(2, 0), colours[0]);
    EXPECT_EQ(pixel(0, 1), colours[1]);
    EXPECT_EQ(pixel(1, 1), colours[14]);
    EXPECT_EQ(pixel(2, 1), colours[111]);
    EXPECT_EQ(model.state.calibrationPath, scratch_ / "hill.flt");

    // The calibration names the picture's own path: compare it without.
    std::string flt = ReadBytes(scratch_ / "hill.flt");
    ASSERT_EQ(flt.rfind((scratch_ / "hill.bmp").string() + "\n", 0), 0u);
    flt.erase(0, flt.find('\n'));
    const fs::path golden = DataFolder() / "golden" / "hill.flt";
    if (std::getenv("KV_UPDATE_GOLDENS")) {
        std::ofstream(golden, std::ios::binary) << flt;
        fs::copy_file(scratch_ / "hill.bmp", DataFolder() / "golden" / "hill.bmp", fs::copy_options::overwrite_existing);
    }
    EXPECT_EQ(flt, ReadBytes(golden));
    // The numbers keep their C form under a decimal-comma locale.
    if (std::setlocale(LC_ALL, "de_DE.UTF-8")) {
        const std::string german = CalibrationText(scratch_ / "hill.bmp", model.state.grid);
        std::setlocale(LC_ALL, "C");
        EXPECT_EQ(german.substr(german.find('\n')), flt);
    }
    EXPECT_EQ(ReadBytes(scratch_ / "hill.bmp"), ReadBytes(DataFolder() / "golden" / "hill.bmp"));

    // A grid of the wrong length is refused before anything is written.
    scratch_.Write("hill.bin", samples.substr(0, 11));
    fs::remove(scratch_ / "hill.bmp");
    ui_.said.clear();
    model.OnConvert();
    EXPECT_EQ(ui_.said, std::vector<std::string>{"File length does not match specified size"});
    EXPECT_FALSE(fs::exists(scratch_ / "hill.bmp"));
}

// The bitmap a grid gives, made the plain way: a new CDib painted cell by
// cell with CellColour and written whole.
std::string PlainBitmap(const std::vector<std::int16_t>& cells, int columns, int rows) {
    mapdata::CDib dib;
    EXPECT_TRUE(dib.CreateEmpty(false, columns, rows, 24, nullptr));
    const ColourTable colours = DefaultColourTable();
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c) {
            const Bgr b = CellColour(cells[static_cast<std::size_t>(r * columns + c)], kDefaultThresholds, colours);
            std::uint8_t* p = dib.GetPixelAddress(c, r, false);
            p[0] = b.blue, p[1] = b.green, p[2] = b.red;
        }
    std::ostringstream out;
    EXPECT_TRUE(dib.WriteStream(out));
    return out.str();
}

TEST_F(PictureTest, BitmapFilesHoldThePlainlyPaintedBytesInBothByteOrders) {
    // Every 16-bit value on a picture of several bands with one byte of row
    // padding; rows whose pixels fill them exactly; a single cell.
    const struct {
        int columns, rows;
    } shapes[] = {{2001, 300}, {4, 3}, {1, 1}};
    for (const auto& shape : shapes) {
        std::vector<std::int16_t> cells(static_cast<std::size_t>(shape.columns * shape.rows));
        for (std::size_t i = 0; i < cells.size(); ++i) cells[i] = static_cast<std::int16_t>(i * 40503u);
        const std::string expected = PlainBitmap(cells, shape.columns, shape.rows);
        for (const bool little : {true, false}) {
            std::string samples;
            for (const std::int16_t v : cells) {
                const auto u = static_cast<std::uint16_t>(v);
                samples += static_cast<char>(little ? u & 0xFF : u >> 8);
                samples += static_cast<char>(little ? u >> 8 : u & 0xFF);
            }
            const fs::path grid = scratch_.Write("cells.bin", samples);
            ElevationGridHeader h;
            h.rows = static_cast<std::uint32_t>(shape.rows), h.columns = static_cast<std::uint32_t>(shape.columns);
            h.littleEndian = little;
            ASSERT_TRUE(ConvertGridToBitmap({grid, scratch_ / "cells.bmp", h}, ui_, busy_));
            EXPECT_TRUE(ReadBytes(scratch_ / "cells.bmp") == expected) << shape.columns << " x " << shape.rows;
        }
    }
    EXPECT_TRUE(ui_.said.empty());
    EXPECT_EQ(busy_, 0);

    // A picture that cannot be written leaves no calibration behind.
    ElevationGridHeader h;
    h.rows = h.columns = 1;
    EXPECT_FALSE(ConvertGridToBitmap({scratch_ / "cells.bin", scratch_ / "none" / "cells.bmp", h}, ui_, busy_));
    EXPECT_EQ(ui_.said, std::vector<std::string>{"File failed to write"});
    EXPECT_FALSE(fs::exists(scratch_ / "none"));
}

// 16 x 8 pixels: red on the left half, blue on the right.
mapdata::CDib RedAndBlue() {
    mapdata::CDib dib;
    EXPECT_TRUE(dib.CreateEmpty(false, 16, 8, 24, nullptr));
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 16; ++x) {
            std::uint8_t* p = dib.GetPixelAddress(x, y, false);
            p[0] = x < 8 ? 0 : 255, p[1] = 0, p[2] = x < 8 ? 255 : 0;
        }
    return dib;
}

TEST_F(PictureTest, JpegKeepsRedAndBlueInPlaceForDjpegAndOurReader) {
    const fs::path path = scratch_ / "pair.jpg";
    ASSERT_TRUE(SaveBitmapFile(RedAndBlue(), path, 100, nullptr, ui_, busy_));
    EXPECT_EQ(ui_.enables, (std::vector<bool>{false, true}));
    mapdata::CDib back;
    ASSERT_TRUE(ReadJpeg(back, path));
    const std::uint8_t* left = back.GetPixelAddress(2, 4, false);
    const std::uint8_t* right = back.GetPixelAddress(13, 4, false);
    EXPECT_GT(left[2], 240);
    EXPECT_LT(left[0], 15);
    EXPECT_GT(right[0], 240);
    EXPECT_LT(right[2], 15);

    if (std::system("command -v djpeg >/dev/null 2>&1") != 0) GTEST_SKIP() << "djpeg is not installed";
    const fs::path ppm = scratch_ / "pair.ppm";
    ASSERT_EQ(std::system(("djpeg -ppm -outfile '" + ppm.string() + "' '" + path.string() + "'").c_str()), 0);
    const std::string image = ReadBytes(ppm);
    ASSERT_EQ(image.rfind("P6\n16 8\n255\n", 0), 0u);
    const std::string rgb = image.substr(std::string("P6\n16 8\n255\n").size());
    const auto at = [&](int x, int y, int channel) { return static_cast<std::uint8_t>(rgb[static_cast<std::size_t>((y * 16 + x) * 3 + channel)]); };
    EXPECT_GT(at(2, 4, 0), 240);  // red
    EXPECT_LT(at(2, 4, 2), 15);
    EXPECT_GT(at(13, 4, 2), 240);  // blue
    EXPECT_LT(at(13, 4, 0), 15);
}

TEST_F(PictureTest, JpegOfARectangleAndOfAPalettePicture) {
    platform::PixelRect rect{10, 2, 41, 6};  // right edge beyond the picture
    ASSERT_TRUE(SaveJpeg(RedAndBlue(), scratch_ / "part.jpg", 90, &rect, ui_, busy_));
    mapdata::CDib part;
    ASSERT_TRUE(ReadJpeg(part, scratch_ / "part.jpg"));
    EXPECT_EQ(part.GetSize().width, 6);
    EXPECT_EQ(part.GetSize().height, 4);

    mapdata::CDib two;
    ASSERT_TRUE(two.CreateEmpty(false, 8, 8, 8, nullptr));
    two.ColourTable()[0] = {0, 0, 255, 0};  // red
    two.ColourTable()[1] = {255, 0, 0, 0};  // blue
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) *two.GetPixelAddress(x, y, false) = x < 4 ? 0 : 1;
    ASSERT_TRUE(SaveJpeg(two, scratch_ / "two.jpg", 100, nullptr, ui_, busy_));
    mapdata::CDib back;
    ASSERT_TRUE(ReadJpeg(back, scratch_ / "two.jpg"));
    EXPECT_EQ(back.Header().bitCount, 24);
    EXPECT_GT(back.GetPixelAddress(1, 1, false)[2], 240);
    EXPECT_GT(back.GetPixelAddress(6, 1, false)[0], 240);
}

TEST_F(PictureTest, CorruptJpegsGiveNothingAndTheProcessLives) {
    ASSERT_TRUE(SaveBitmapFile(RedAndBlue(), scratch_ / "good.jpg", 100, nullptr, ui_, busy_));
    const std::string good = ReadBytes(scratch_ / "good.jpg");
    for (const std::string& bytes : {std::string("\xFF\xD8\xFF\xE0 garbage"), good.substr(0, 2) + std::string(200, '\x55')}) {
        mapdata::CDib dib;
        EXPECT_FALSE(ReadJpeg(dib, scratch_.Write("bad.jpg", bytes)));
        EXPECT_TRUE(dib.Empty());
    }
    // A cut file decodes what it holds (libjpeg pads the rest) or nothing.
    mapdata::CDib cut;
    if (ReadJpeg(cut, scratch_.Write("cut.jpg", good.substr(0, good.size() / 3)))) {
        EXPECT_EQ(cut.GetSize().width, 16);
    }
    mapdata::CDib dib;
    EXPECT_FALSE(ReadJpeg(dib, scratch_ / "absent.jpg"));
    EXPECT_TRUE(dib.Empty());
    // An unknown extension writes nothing.
    EXPECT_FALSE(SaveBitmapFile(RedAndBlue(), scratch_ / "x.png", 100, nullptr, ui_, busy_));
    EXPECT_EQ(ui_.said.back(), "Unknown file format");
    EXPECT_FALSE(fs::exists(scratch_ / "x.png"));
}

}  // namespace
}  // namespace quorlin
