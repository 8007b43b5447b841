// Bitmaps: every bit count read back as written, orientation, RLE8 decoding and its bounds,
// partial writes, malformed files refused with their message, and the
// conversion for 8-bit displays.
#include "mapdata/dib.h"

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>

#include "mapdata/dib_bytes.h"
#include "platform/message_box.h"
#include "testing/scratch_folder.h"

namespace mapdata {
namespace {

class DibTest : public ::testing::Test {
  protected:
    void SetUp() override { previous_ = platform::SetMessageBoxSink(sink_); }
    void TearDown() override { platform::SetMessageBoxSink(previous_); }
    std::wstring Messages() const {
        std::wstring all;
        for (const auto& box : sink_->Boxes()) all += box.text + L"|";
        return all;
    }

    std::shared_ptr<platform::RecordingMessageBoxSink> sink_ =
        std::make_shared<platform::RecordingMessageBoxSink>();
    std::shared_ptr<platform::MessageBoxSink> previous_;
    test_support::ScratchFolder folder_{"dib"};
};

// A file: 14-byte file header, info header, entries, then bits.
std::string BmpFile(int width, int height, int bitCount, std::uint32_t compression,
                    std::uint32_t sizeImage, const std::string& entries, const std::string& bits,
                    std::uint32_t clrUsed = 0) {
    std::string out = "BM";
    AppendLe32(out, 0);
    AppendLe32(out, 0);
    AppendLe32(out, static_cast<std::uint32_t>(54 + entries.size()));
    AppendLe32(out, 40);
    AppendLe32(out, static_cast<std::uint32_t>(width));
    AppendLe32(out, static_cast<std::uint32_t>(height));
    AppendLe16(out, 1);
    AppendLe16(out, static_cast<std::uint32_t>(bitCount));
    AppendLe32(out, compression);
    AppendLe32(out, sizeImage);
    AppendLe32(out, 0);
    AppendLe32(out, 0);
    AppendLe32(out, clrUsed);
    AppendLe32(out, 0);
    return out + entries + bits;
}

// Pixel rows of a 2 x 2 24-bit bottom-up file: the bottom row (blue, green)
// comes first, then the top row (red, white).
const std::string k24Bits = std::string("\xFF\0\0\0\xFF\0\0\0", 8) +
                            std::string("\0\0\xFF\xFF\xFF\xFF\0\0", 8);

TEST_F(DibTest, EveryBitCountReadsBackAsWrittenInBothOrientations) {
    for (int bitCount : {1, 4, 8, 16, 24, 32}) {
        for (int height : {5, -5}) {
            SCOPED_TRACE(::testing::Message() << bitCount << " bits, height " << height);
            CDib dib;
            ASSERT_TRUE(dib.CreateEmpty(false, 13, height, bitCount, nullptr));
            for (std::uint32_t i = 0; i < dib.ImageSize(); ++i)
                dib.Bits()[i] = static_cast<std::uint8_t>(i * 7 + 3);
            const auto file = folder_ / ("b" + std::to_string(bitCount) + ".bmp");
            ASSERT_TRUE(dib.SaveToFile(file, 0, nullptr));
            CDib back;
            ASSERT_TRUE(back.LoadFromFile(file));
            EXPECT_EQ(back.GetSize().width, 13);
            EXPECT_EQ(back.GetSize().height, height);
            EXPECT_EQ(back.ColourTable(), dib.ColourTable());
            EXPECT_EQ(std::string(back.Bits(), back.Bits() + back.ImageSize()),
                      std::string(dib.Bits(), dib.Bits() + dib.ImageSize()));
        }
    }
    EXPECT_EQ(Messages(), L"");
}

TEST_F(DibTest, PixelsAreCountedFromTheTopRow) {
    const auto file = folder_.Write("p.bmp", BmpFile(2, 2, 24, kBiRgb, 0, "", k24Bits));
    CDib dib;
    ASSERT_TRUE(dib.LoadFromFile(file));
    EXPECT_EQ(dib.GetPixelColour(0, 0), (RgbQuad{0, 0, 255, 0}));  // red
    EXPECT_EQ(dib.GetPixelColour(1, 0), (RgbQuad{255, 255, 255, 0}));
    EXPECT_EQ(dib.GetPixelColour(0, 1), (RgbQuad{255, 0, 0, 0}));  // blue
    EXPECT_EQ(dib.GetPixelAddress(2, 0, false), nullptr);
    EXPECT_EQ(dib.GetPixelAddress(0, -1, false), nullptr);
    EXPECT_EQ(dib.GetPixelAddress(0, 0, true), dib.GetPixelAddress(0, 1, false));
    EXPECT_EQ(dib.ToImage().Pixel(0, 1), 0xFF0000FFu);
    EXPECT_EQ(Messages(), L"");  // a stored size of 0 is computed, not warned about
}

TEST_F(DibTest, AWrongStoredSizeIsWarnedAboutAndRecalculated) {
    const auto file = folder_.Write("s.bmp", BmpFile(2, 2, 24, kBiRgb, 99, "", k24Bits));
    CDib dib;
    ASSERT_TRUE(dib.LoadFromFile(file));
    EXPECT_EQ(dib.ImageSize(), 16u);
    EXPECT_EQ(dib.Header().sizeImage, 16u);
    EXPECT_EQ(Messages(), L"Inconsistent image data on file.\nAttempting to recalculate size|");
}

TEST_F(DibTest, SixteenBitPixelsAreFiveFiveFiveAndBitFieldsFollowTheirMasks) {
    std::string masks;
    AppendLe32(masks, 0xF800);
    AppendLe32(masks, 0x07E0);
    AppendLe32(masks, 0x001F);
    std::string bits;
    AppendLe16(bits, 0xF800);  // pure red in 5-6-5
    AppendLe16(bits, 0);
    const auto file = folder_.Write("f.bmp", BmpFile(1, 1, 16, kBiBitfields, 0, masks, bits));
    CDib dib;
    ASSERT_TRUE(dib.LoadFromFile(file));
    EXPECT_EQ(dib.ToImage().Pixel(0, 0), 0xFFFF0000u);
    std::ostringstream out;
    ASSERT_TRUE(dib.WriteStream(out));
    EXPECT_EQ(out.str().substr(2, 4), std::string(4, '\0'));  // no file size
    EXPECT_EQ(ReadLe32(reinterpret_cast<const std::uint8_t*>(out.str().data()) + 10), 66u);
    std::istringstream in(out.str());
    CDib back;
    ASSERT_TRUE(back.ReadStream(in));
    EXPECT_EQ(back.Masks(), dib.Masks());
    // The plain accessor reads 5-5-5: red bits 10-14 of 0xF800 are 30.
    EXPECT_EQ(back.GetPixelColour(0, 0), (RgbQuad{4, 4, 30 * 8 + 4, 0}));
}

TEST_F(DibTest, MalformedFilesAreRefusedWithTheirMessage) {
    std::string tooWide = BmpFile(20000, 1, 8, kBiRgb, 0, std::string(1024, '\0'), "");
    std::string shortBits = BmpFile(2, 2, 24, kBiRgb, 0, "", k24Bits.substr(0, 10));
    std::string shortTable = BmpFile(2, 2, 8, kBiRgb, 0, std::string(16, '\0'), "", 0);
    std::string badSize = BmpFile(2, 2, 24, kBiRgb, 0, "", k24Bits);
    badSize[14] = 12;
    std::string badOffset = BmpFile(2, 2, 24, kBiRgb, 0, "", k24Bits);
    badOffset[10] = '\x7F';
    std::string tooManyColours = BmpFile(1, 1, 8, kBiRgb, 0, std::string(4 * 300, '\0'), "....", 300);
    std::string zeroWidth = BmpFile(0, 2, 24, kBiRgb, 0, "", "");
    const struct {
        const char* name;
        std::string bytes;
        const wchar_t* message;
    } cases[] = {
        {"empty", "", L"Read first two bytes error|"},
        {"one byte", "B", L"Read first two bytes error|"},
        {"short header", "BM\x10", L"Header read error|"},
        {"not a bitmap", "GIF89a........", L"Unknown file format|"},
        {"too wide", tooWide, L"Read error|"},
        {"short bits", shortBits, L"Read error|"},
        {"short colour table", shortTable, L"Read error|"},
        {"header not 40 bytes", badSize, L"Read error|"},
        {"bits offset past the end", badOffset, L"Read error|"},
        {"more than 256 colours", tooManyColours, L"Read error|"},
        {"zero width", zeroWidth, L"Read error|"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        sink_->Clear();
        CDib dib;
        EXPECT_FALSE(dib.LoadFromFile(folder_.Write("bad.bmp", c.bytes)));
        EXPECT_EQ(Messages(), c.message);
    }
    sink_->Clear();
    CDib dib;
    EXPECT_FALSE(dib.LoadFromFile(folder_ / "missing.bmp"));
    EXPECT_EQ(Messages(), (folder_ / "missing.bmp").wstring() + L"\nFile did not open|");
}

// An 8-bit RLE8 picture 4 wide and 4 high whose third row holds a delta.
TEST_F(DibTest, Rle8DecodesDeltasAndNeverWritesOutsideTheImage) {
    const std::string rle = std::string(
        "\x02\x05\x00\x00"          // row 0: 5 5
        "\x00\x03\x01\x02\x03\x00"  // row 0 ends above; row 1: absolute 1 2 3 + pad
        "\x00\x00"                  // end of row 1
        "\x01\x07\x00\x02\x02\x01"  // row 2: 7, then delta 2 right 1 down
        "\x09\x08"                  // row 3 from column 3: 8 (cut at the row end)
        "\x00\x02\x10\x10\x05\x09"  // delta far outside: ignored writes
        "\x00\x01",
        28);
    const auto file = folder_.Write("r.bmp", BmpFile(4, 4, 8, kBiRle8, 0, std::string(1024, '\0'), rle));
    CDib dib;
    ASSERT_TRUE(dib.ReadSection(file, DisplayDevice{}, false));
    EXPECT_EQ(dib.Header().compression, kBiRgb);
    const std::uint8_t* bits = dib.Bits();
    auto row = [&](int r) { return std::string(bits + 4 * r, bits + 4 * r + 4); };
    EXPECT_EQ(row(0), std::string("\x05\x05\xFF\xFF", 4));
    EXPECT_EQ(row(1), std::string("\x01\x02\x03\xFF", 4));
    EXPECT_EQ(row(2), std::string("\x07\xFF\xFF\xFF", 4));
    EXPECT_EQ(row(3), std::string("\xFF\xFF\xFF\x08", 4));
    EXPECT_EQ(Messages(), L"");

    CDib packed;
    ASSERT_TRUE(packed.CopyFrom(dib));
    ASSERT_TRUE(packed.Compress(true));
    EXPECT_EQ(packed.Header().compression, kBiRle8);
    ASSERT_TRUE(packed.Compress(false));
    EXPECT_EQ(std::string(packed.Bits(), packed.Bits() + 16), std::string(bits, bits + 16));
}

TEST_F(DibTest, AnEightBitDisplayGetsTrueColourOnTheHalftonePalette) {
    const auto file = folder_.Write("t.bmp", BmpFile(2, 2, 24, kBiRgb, 0, "", k24Bits));
    CDib dib;
    ASSERT_TRUE(dib.ReadSection(file, DisplayDevice{8, 96, 96}, false));
    EXPECT_EQ(dib.Header().bitCount, 8);
    EXPECT_EQ(dib.ColourTable().size(), 256u);
    EXPECT_EQ(dib.GetPixelColour(0, 0), (RgbQuad{0, 0, 255, 0}));
    EXPECT_EQ(dib.GetPixelColour(0, 1), (RgbQuad{255, 0, 0, 0}));
    CDib plain;
    ASSERT_TRUE(plain.ReadSection(file, DisplayDevice{}, false));
    EXPECT_EQ(plain.Header().bitCount, 24);
}

TEST_F(DibTest, WritePartCopiesARectangleBottomRowFirst) {
    CDib dib;
    ASSERT_TRUE(dib.CreateEmpty(false, 5, 4, 8, nullptr));
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 5; ++x) *dib.GetPixelAddress(x, y, false) = static_cast<std::uint8_t>(10 * y + x);
    std::ostringstream out;
    ASSERT_TRUE(dib.WritePart(out, {3, 1, 100, 3}));  // right past the edge: to the edge
    std::istringstream in(out.str());
    CDib part;
    ASSERT_TRUE(part.ReadStream(in));
    EXPECT_EQ(part.GetSize().width, 2);
    EXPECT_EQ(part.GetSize().height, 2);
    EXPECT_EQ(*part.GetPixelAddress(0, 0, false), 13);
    EXPECT_EQ(*part.GetPixelAddress(1, 1, false), 24);
    std::ostringstream outside;
    EXPECT_FALSE(dib.WritePart(outside, {5, 0, 7, 2}));
}

TEST_F(DibTest, SaveToFileChoosesByLowerCaseExtension) {
    CDib dib;
    ASSERT_TRUE(dib.CreateEmpty(false, 3, 3, -8, nullptr));
    EXPECT_EQ(dib.ColourTable()[2], (RgbQuad{2, 2, 2, 0}));  // grey ramp
    EXPECT_TRUE(dib.SaveToFile(folder_ / "a.BMP", 0, nullptr));
    EXPECT_FALSE(dib.SaveToFile(folder_ / "a.jpeg", 0, nullptr));
    EXPECT_EQ(Messages(), L"Unknown file format|");
    sink_->Clear();
    EXPECT_FALSE(dib.SaveToFile(folder_ / "no" / "a.bmp", 0, nullptr));
    EXPECT_EQ(Messages(), (folder_ / "no" / "a.bmp").wstring() + L"\nFile did not open for writing|");
}

TEST_F(DibTest, MappedAndPackedFormsRoundTrip) {
    CDib dib;
    DisplayDevice device{24, 96, 96};
    ASSERT_TRUE(dib.CreateEmpty(true, 4, 2, 24, &device));
    EXPECT_EQ(dib.Header().xPelsPerMeter, 3779);
    dib.Bits()[5] = 42;
    ASSERT_TRUE(dib.SaveMapped(folder_ / "m.bmp"));
    CDib mapped;
    ASSERT_TRUE(mapped.OpenMapped(folder_ / "m.bmp", false));
    EXPECT_EQ(mapped.Bits()[5], 42);
    const auto packed = dib.Packed();
    CDib attached;
    ASSERT_TRUE(attached.AttachMemory(packed.data(), packed.size()));
    EXPECT_EQ(attached.Bits()[5], 42);
    EXPECT_FALSE(attached.AttachMemory(packed.data(), 30));
    EXPECT_EQ(Messages(), L"AttachMemory error|");
}

}  // namespace
}  // namespace mapdata
