// Pictures: colour and grey JPEGs, the conversion for 8-bit displays, and
// refused files that keep the picture already shown.
#include "mapdata/picture_dib.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include <jpeglib.h>

#include "mapdata/dib_bytes.h"
#include "platform/message_box.h"
#include "testing/scratch_folder.h"

namespace mapdata {
namespace {

// Writes a width x height JPEG of one colour (components 1 or 3).
void WriteJpeg(const std::filesystem::path& path, int width, int height, int components,
               std::array<std::uint8_t, 3> colour) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, file);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = components;
    info.in_color_space = components == 1 ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 100, TRUE);
    jpeg_start_compress(&info, TRUE);
    std::vector<JSAMPLE> row;
    for (int x = 0; x < width; ++x)
        for (int c = 0; c < components; ++c) row.push_back(colour[static_cast<std::size_t>(c)]);
    while (info.next_scanline < info.image_height) {
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::fclose(file);
}

class PictureDibTest : public ::testing::Test {
  protected:
    void SetUp() override { previous_ = platform::SetMessageBoxSink(sink_); }
    void TearDown() override { platform::SetMessageBoxSink(previous_); }
    std::shared_ptr<platform::RecordingMessageBoxSink> sink_ =
        std::make_shared<platform::RecordingMessageBoxSink>();
    std::shared_ptr<platform::MessageBoxSink> previous_;
    test_support::ScratchFolder folder_{"picture"};
};

void ExpectNear(RgbQuad actual, int red, int green, int blue) {
    EXPECT_NEAR(actual.red, red, 3);
    EXPECT_NEAR(actual.green, green, 3);
    EXPECT_NEAR(actual.blue, blue, 3);
}

TEST_F(PictureDibTest, ColourAndGreyJpegsAndTheEightBitDisplay) {
    WriteJpeg(folder_ / "c.jpg", 16, 8, 3, {200, 40, 0});
    WriteJpeg(folder_ / "g.jpg", 8, 8, 1, {128, 0, 0});
    CCeDib picture;
    ASSERT_TRUE(picture.ReadSection(folder_ / "c.jpg", DisplayDevice{}));
    EXPECT_EQ(picture.Dib().Header().bitCount, 24);
    EXPECT_EQ(picture.GetSize().width, 16);
    EXPECT_FALSE(picture.Converted());
    ExpectNear(picture.Dib().GetPixelColour(15, 7), 200, 40, 0);

    ASSERT_TRUE(picture.ReadSection(folder_ / "g.jpg", DisplayDevice{}));
    EXPECT_EQ(picture.Dib().Header().bitCount, 8);
    EXPECT_EQ(picture.Dib().ColourTable()[128], (RgbQuad{128, 128, 128, 0}));
    ExpectNear(picture.Dib().GetPixelColour(3, 3), 128, 128, 128);

    ASSERT_TRUE(picture.ReadSection(folder_ / "c.jpg", DisplayDevice{8, 96, 96}));
    EXPECT_TRUE(picture.Converted());
    EXPECT_EQ(picture.Dib().Header().bitCount, 8);
    const RgbQuad nearest = HalftonePalette()[static_cast<std::size_t>(
        NearestHalftoneIndex({200, 40, 0}))];
    EXPECT_EQ(picture.Dib().GetPixelColour(0, 0), nearest);
    EXPECT_TRUE(sink_->Boxes().empty());
}

TEST_F(PictureDibTest, RefusedFilesKeepThePicture) {
    WriteJpeg(folder_ / "c.jpg", 4, 4, 3, {0, 0, 255});
    CCeDib picture;
    ASSERT_TRUE(picture.ReadSection(folder_ / "c.jpg", DisplayDevice{}));
    std::string rle = "BM";
    AppendLe32(rle, 0);
    AppendLe32(rle, 0);
    AppendLe32(rle, 54);
    AppendLe32(rle, 40);
    AppendLe32(rle, 1);
    AppendLe32(rle, 1);
    AppendLe16(rle, 1);
    AppendLe16(rle, 8);
    AppendLe32(rle, kBiRle8);
    rle += std::string(20, '\0');
    const struct {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"rle8 bitmap", rle},
        {"neither bitmap nor jpeg", "GIF89a.............."},
        {"corrupt jpeg", std::string("\xFF\xD8\xFF\xE0", 4) + std::string(40, '\x11')},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_FALSE(picture.ReadSection(folder_.Write("bad", c.bytes), DisplayDevice{}));
        EXPECT_EQ(picture.GetSize().width, 4);
    }
    EXPECT_TRUE(sink_->Boxes().empty());
    EXPECT_FALSE(picture.ReadJpegSection(folder_ / "missing.jpg", DisplayDevice{}, false));
    ASSERT_EQ(sink_->Boxes().size(), 1u);
    EXPECT_EQ(sink_->Boxes()[0].text, L"Can't open file '" + (folder_ / "missing.jpg").wstring() + L"'");
}

}  // namespace
}  // namespace mapdata
