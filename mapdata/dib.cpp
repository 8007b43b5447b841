// Reading, checking and laying out bitmaps; the writers and drawing live in
// dib_write.cpp.
#include "mapdata/dib.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <istream>
#include <string>
#include <utility>

#include "mapdata/dib_bytes.h"
#include "platform/message_box.h"
#include "platform/whole_file.h"

namespace mapdata {

namespace {

constexpr std::size_t kFileHeaderBytes = 14;
constexpr std::size_t kInfoHeaderBytes = 40;
// The largest file a reader takes: the largest picture plus any header.
constexpr std::size_t kMaxFileBytes = kMaxImageBytes + 64 * 1024;

void Say(std::wstring_view text, unsigned style = platform::mb::kOk) {
    platform::ShowMessageBox(nullptr, text, L"", style);
}

bool IsJpeg(const std::string& bytes) {
    return bytes.size() >= 2 && static_cast<std::uint8_t>(bytes[0]) == 0xFF &&
           static_cast<std::uint8_t>(bytes[1]) == 0xD8;
}

bool IsBm(const std::string& bytes) { return bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'M'; }

// The file header's offset of the bits.
std::size_t BitsOffset(const std::string& bytes) {
    return ReadLe32(reinterpret_cast<const std::uint8_t*>(bytes.data()) + 10);
}

const std::uint8_t* Data(const std::string& bytes) {
    return reinterpret_cast<const std::uint8_t*>(bytes.data());
}

std::uint64_t RowBytes(std::int64_t width, int bitCount) {
    return static_cast<std::uint64_t>((width * bitCount + 31) / 32) * 4;
}

}  // namespace

const std::array<RgbQuad, 256>& HalftonePalette() {
    static const std::array<RgbQuad, 256> table = [] {
        std::array<RgbQuad, 256> t{};
        auto set = [&t](int i, int r, int g, int b) {
            t[static_cast<std::size_t>(i)] = {static_cast<std::uint8_t>(b),
                                              static_cast<std::uint8_t>(g),
                                              static_cast<std::uint8_t>(r), 0};
        };
        constexpr int kLow[10][3] = {{0, 0, 0},       {128, 0, 0},     {0, 128, 0},
                                     {128, 128, 0},   {0, 0, 128},     {128, 0, 128},
                                     {0, 128, 128},   {192, 192, 192}, {192, 220, 192},
                                     {166, 202, 240}};
        constexpr int kHigh[10][3] = {{255, 251, 240}, {160, 160, 164}, {128, 128, 128},
                                      {255, 0, 0},     {0, 255, 0},     {255, 255, 0},
                                      {0, 0, 255},     {255, 0, 255},   {0, 255, 255},
                                      {255, 255, 255}};
        for (int i = 0; i < 10; ++i) {
            set(i, kLow[i][0], kLow[i][1], kLow[i][2]);
            set(246 + i, kHigh[i][0], kHigh[i][1], kHigh[i][2]);
        }
        int index = 10;
        for (int r = 0; r < 6; ++r)
            for (int g = 0; g < 6; ++g)
                for (int b = 0; b < 6; ++b) set(index++, r * 51, g * 51, b * 51);
        for (int i = 1; i <= 20; ++i) {
            const int v = i * 255 / 21;
            set(index++, v, v, v);
        }
        return t;
    }();
    return table;
}

int NearestHalftoneIndex(Rgb colour) {
    const auto& table = HalftonePalette();
    int best = 0;
    int bestDistance = 1 << 30;
    for (int i = 0; i < 256; ++i) {
        const auto& e = table[static_cast<std::size_t>(i)];
        const int dr = e.red - colour.red;
        const int dg = e.green - colour.green;
        const int db = e.blue - colour.blue;
        const int distance = dr * dr + dg * dg + db * db;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = i;
        }
    }
    return best;
}

CDib::CDib(int width, int height, int bitCount) {
    header_.width = width;
    header_.height = height;
    header_.bitCount = static_cast<std::uint16_t>(bitCount);
    SetColourCount(bitCount);
    header_.clrUsed = header_.clrImportant = static_cast<std::uint32_t>(colourCount_);
    colours_.assign(static_cast<std::size_t>(colourCount_), RgbQuad{});
    hasHeader_ = true;
}

void CDib::Clear() { *this = CDib(); }

void CDib::SetColourCount(int bitCount) {
    switch (bitCount) {
        case 1: colourCount_ = 2; break;
        case 4: colourCount_ = 16; break;
        case 8: colourCount_ = 256; break;
        case 16:
        case 24:
        case 32: colourCount_ = 0; break;
        default: break;
    }
    if (header_.clrUsed != 0) colourCount_ = static_cast<int>(header_.clrUsed);
}

bool CDib::UpdateLayout() {
    if (!hasHeader_ || header_.size != kInfoHeaderBytes) return false;
    imageSize_ = header_.sizeImage;
    rowSize_ = static_cast<int>(RowBytes(header_.width, header_.bitCount));
    if (imageSize_ == 0)
        imageSize_ = static_cast<std::uint32_t>(rowSize_) *
                     static_cast<std::uint32_t>(std::abs(header_.height));
    return true;
}

CDib::Size CDib::GetSize() const {
    if (!hasHeader_) return {};
    return {header_.width, header_.height};
}

int CDib::GetRowBytes(int width) const {
    return static_cast<int>(RowBytes(width, header_.bitCount));
}

const std::uint8_t* CDib::GetPixelAddress(int x, int y, bool flipY) const {
    if (!hasHeader_ || bits_.empty() || header_.compression == kBiRle8 ||
        header_.compression == kBiRle4)
        return nullptr;
    const int height = std::abs(header_.height);
    if (x < 0 || y < 0 || y > height - 1 || x > header_.width - 1) return nullptr;
    const std::size_t offset = static_cast<std::size_t>(x) * header_.bitCount / 8;
    const int row = flipY ? height - y - 1 : y;
    const std::size_t rowStart =
        header_.height < 0
            ? static_cast<std::size_t>(row) * static_cast<std::size_t>(rowSize_)
            : imageSize_ - static_cast<std::size_t>(row + 1) * static_cast<std::size_t>(rowSize_);
    // Rows not held in full (a picture still compressed, or short) give none.
    if (imageSize_ < static_cast<std::size_t>(row + 1) * static_cast<std::size_t>(rowSize_) ||
        rowStart + static_cast<std::size_t>(rowSize_) > bits_.size())
        return nullptr;
    return bits_.data() + rowStart + offset;
}

std::uint8_t* CDib::GetPixelAddress(int x, int y, bool flipY) {
    return const_cast<std::uint8_t*>(std::as_const(*this).GetPixelAddress(x, y, flipY));
}

bool CDib::GetColourEntry(int index, std::uint32_t* colorref) const {
    if (colours_.empty() || index < 0 || index >= static_cast<int>(colours_.size())) return false;
    const RgbQuad& e = colours_[static_cast<std::size_t>(index)];
    if (colorref) *colorref = ColorrefFromRgb({e.red, e.green, e.blue});
    return true;
}

RgbQuad CDib::GetPixelColour(int x, int y) const {
    const std::uint8_t* p = GetPixelAddress(x, y, false);
    if (p == nullptr) return {};
    switch (header_.bitCount) {
        case 1:
        case 4: return {255, 255, 255, 0};
        case 8: return *p < colours_.size() ? colours_[*p] : RgbQuad{};
        case 16: {
            const unsigned v = static_cast<unsigned>(p[0] | p[1] << 8);
            auto expand = [](unsigned five) { return static_cast<std::uint8_t>(five * 8 + 4); };
            return {expand(v & 31), expand((v >> 5) & 31), expand((v >> 10) & 31), 0};
        }
        case 24:
        case 32: return {p[0], p[1], p[2], 0};
        default: return {};
    }
}

bool CDib::MakePalette(bool grey) {
    if (colours_.empty()) return false;
    halftone_ = false;
    if (grey) {
        const int step = 256 / static_cast<int>(colours_.size());
        for (std::size_t i = 0; i < colours_.size(); ++i) {
            const auto v = static_cast<std::uint8_t>(static_cast<int>(i) * step);
            colours_[i] = {v, v, v, 0};
        }
    }
    return true;
}

bool CDib::MakeHalftonePalette() {
    if (!hasHeader_ || !colours_.empty()) return false;
    halftone_ = true;
    return true;
}

// Takes an info header with its colour table or masks from `length` bytes.
CDib::HeaderError CDib::TakeFileHeader(const std::string& bytes) {
    const std::size_t offset = BitsOffset(bytes);
    if (offset < kFileHeaderBytes || offset > bytes.size()) return HeaderError::kBad;
    return TakeHeader(Data(bytes) + kFileHeaderBytes, offset - kFileHeaderBytes);
}

CDib::HeaderError CDib::TakeHeader(const std::uint8_t* data, std::size_t length) {
    if (length < kInfoHeaderBytes) return HeaderError::kBad;
    BitmapInfoHeader h;
    h.size = ReadLe32(data);
    h.width = static_cast<std::int32_t>(ReadLe32(data + 4));
    h.height = static_cast<std::int32_t>(ReadLe32(data + 8));
    h.planes = ReadLe16(data + 12);
    h.bitCount = ReadLe16(data + 14);
    h.compression = ReadLe32(data + 16);
    h.sizeImage = ReadLe32(data + 20);
    h.xPelsPerMeter = static_cast<std::int32_t>(ReadLe32(data + 24));
    h.yPelsPerMeter = static_cast<std::int32_t>(ReadLe32(data + 28));
    h.clrUsed = ReadLe32(data + 32);
    h.clrImportant = ReadLe32(data + 36);
    if (h.size != kInfoHeaderBytes || h.width <= 0 || h.height == 0 ||
        h.height == INT32_MIN)
        return HeaderError::kBad;
    switch (h.bitCount) {
        case 1: case 4: case 8: case 16: case 24: case 32: break;
        default: return HeaderError::kBad;
    }
    const bool fields = h.compression == kBiBitfields;
    if (h.compression > kBiBitfields || (h.compression == kBiRle8 && h.bitCount != 8) ||
        (h.compression == kBiRle4 && h.bitCount != 4) ||
        (fields && h.bitCount != 16 && h.bitCount != 32) || h.clrUsed > 256)
        return HeaderError::kBad;
    if (h.width > kMaxSide || std::abs(h.height) > kMaxSide ||
        RowBytes(h.width, h.bitCount) * static_cast<std::uint64_t>(std::abs(h.height)) >
            kMaxImageBytes)
        return HeaderError::kTooLarge;

    header_ = h;
    hasHeader_ = true;
    SetColourCount(h.bitCount);
    std::size_t at = kInfoHeaderBytes;
    if (fields) {
        if (length < at + 12) return HeaderError::kBad;
        for (std::size_t i = 0; i < 3; ++i) masks_[i] = ReadLe32(data + at + 4 * i);
        at += 12;
    }
    const std::size_t tableBytes = 4 * static_cast<std::size_t>(colourCount_);
    if (length < at + tableBytes) return HeaderError::kBad;
    colours_.resize(static_cast<std::size_t>(colourCount_));
    for (std::size_t i = 0; i < colours_.size(); ++i) {
        const std::uint8_t* q = data + at + 4 * i;
        colours_[i] = {q[0], q[1], q[2], q[3]};
    }
    UpdateLayout();
    return HeaderError::kNone;
}

// An uncompressed image whose stored size disagrees with its rows gets the
// size its rows need.
void CDib::FixImageSize(bool warn) {
    if (header_.compression != kBiRgb && header_.compression != kBiBitfields) return;
    const auto rows = static_cast<std::uint32_t>(rowSize_) *
                      static_cast<std::uint32_t>(std::abs(header_.height));
    if (imageSize_ == rows) return;
    if (warn)
        Say(L"Inconsistent image data on file.\nAttempting to recalculate size",
            platform::mb::kIconExclamation);
    imageSize_ = header_.sizeImage = rows;
}

bool CDib::LoadFromFile(const std::filesystem::path& path) {
    Clear();
    std::string bytes;
    const std::error_code error = platform::ReadWholeFile(path, bytes, kMaxFileBytes);
    if (error == std::errc::file_too_large) {
        Say(L"Read error");
        return false;
    }
    if (error) {
        Say(path.wstring() + L"\nFile did not open");
        return false;
    }
    if (bytes.size() < 2) {
        Say(L"Read first two bytes error");
        return false;
    }
    if (IsJpeg(bytes)) return false;  // pictures in JPEG are CCeDib's
    if (bytes.size() < kFileHeaderBytes) {
        Say(L"Header read error");
        return false;
    }
    if (!IsBm(bytes)) {
        Say(L"Unknown file format");
        return false;
    }
    const std::size_t offset = BitsOffset(bytes);
    if (TakeFileHeader(bytes) != HeaderError::kNone) {
        Say(L"Read error");
        return false;
    }
    FixImageSize(true);
    if (imageSize_ > bytes.size() - offset || imageSize_ > kMaxImageBytes) {
        Say(L"Read error");
        return false;
    }
    bits_.assign(Data(bytes) + offset, Data(bytes) + offset + imageSize_);
    return true;
}

bool CDib::LoadQuietly(const std::filesystem::path& path) {
    Clear();
    std::string bytes;
    if (platform::ReadWholeFile(path, bytes, kMaxFileBytes) || bytes.size() < kFileHeaderBytes ||
        !IsBm(bytes))
        return false;
    const std::size_t offset = BitsOffset(bytes);
    if (TakeFileHeader(bytes) != HeaderError::kNone) {
        Clear();
        return false;
    }
    FixImageSize(false);
    if (imageSize_ > bytes.size() - offset) {
        Clear();
        return false;
    }
    bits_.assign(Data(bytes) + offset, Data(bytes) + offset + imageSize_);
    return true;
}

bool CDib::ReadSection(const std::filesystem::path& path, const DisplayDevice& device,
                       bool forceConvert) {
    Clear();
    std::string bytes;
    const std::error_code error = platform::ReadWholeFile(path, bytes, kMaxFileBytes);
    if (error && error != std::errc::file_too_large) {
        Say(path.wstring() + L"\nFile did not open for reading");
        return false;
    }
    if (error || bytes.size() < kFileHeaderBytes) {
        Say(error ? L"ReadSection error" : L"ReadSection Header error");
        return false;
    }
    if (IsJpeg(bytes)) return false;  // pictures in JPEG are CCeDib's
    if (!IsBm(bytes)) {
        Say(L"Unknown file format");
        return false;
    }
    const std::size_t offset = BitsOffset(bytes);
    const HeaderError header = TakeFileHeader(bytes);
    if (header == HeaderError::kNone && header_.compression == kBiRle8)
        return ReadRLE8Section(path, device);
    if (header == HeaderError::kNone && header_.compression == kBiRle4) {
        Say(L"Unsupported compressed bitmap format", platform::mb::kIconExclamation);
        Clear();
        return false;
    }
    if (header != HeaderError::kNone) {
        // Name what is wrong when the header says it plainly.
        const std::uint8_t* h = Data(bytes) + kFileHeaderBytes;
        if (bytes.size() >= kFileHeaderBytes + kInfoHeaderBytes) {
            const std::uint32_t compression = ReadLe32(h + 16);
            const std::uint16_t bitCount = ReadLe16(h + 14);
            if (compression == kBiBitfields && bitCount != 16 && bitCount != 32) {
                Say(L"Unsupported Bitfield format", platform::mb::kIconExclamation);
                Clear();
                return false;
            }
            if (compression > kBiBitfields) {
                Say(L"Unsupported compressed bitmap format", platform::mb::kIconExclamation);
                Clear();
                return false;
            }
        }
        Say(L"ReadSection error");
        Clear();
        return false;
    }
    if (device.bitsPerPixel < 9) forceConvert = true;
    FixImageSize(colourCount_ != 0 || !forceConvert);
    if (imageSize_ > bytes.size() - offset) {
        Say(L"ReadSection error");
        return false;
    }
    bits_.assign(Data(bytes) + offset, Data(bytes) + offset + imageSize_);
    if (colourCount_ == 0 && forceConvert) {
        busy_ = true;
        const CDib source = *this;
        ConvertToHalftone(source);
    }
    busy_ = false;
    return true;
}

// Makes this bitmap an 8-bit one on the halftone palette holding `source`'s
// colours, each pixel the nearest palette entry.
void CDib::ConvertToHalftone(const CDib& source) {
    const int width = source.header_.width;
    const int height = source.header_.height;
    CreateEmpty(true, width, height, 8, nullptr);
    const int rows = std::abs(height);
    for (int y = 0; y < rows; ++y)
        for (int x = 0; x < width; ++x) {
            const RgbQuad c = source.GetPixelColour(x, y);
            *GetPixelAddress(x, y, false) =
                static_cast<std::uint8_t>(NearestHalftoneIndex({c.red, c.green, c.blue}));
        }
}

bool CDib::ReadRLE8Section(const std::filesystem::path& path, const DisplayDevice&) {
    Clear();
    std::string bytes;
    const std::error_code error = platform::ReadWholeFile(path, bytes, kMaxFileBytes);
    if (error && error != std::errc::file_too_large) {
        Say(path.wstring() + L"\nFile did not open for reading");
        return false;
    }
    if (error || bytes.size() < kFileHeaderBytes) {
        Say(error ? L"ReadRLE8Section error" : L"ReadRLE8Section Header error");
        return false;
    }
    if (!IsBm(bytes)) {
        Say(L"Not a bitmap file");
        return false;
    }
    const std::size_t offset = BitsOffset(bytes);
    if (TakeFileHeader(bytes) != HeaderError::kNone) {
        Clear();
        Say(L"ReadRLE8Section error");
        return false;
    }
    if (header_.compression != kBiRle8) {
        Clear();
        Say(L"Not RLE8 bitmap format", platform::mb::kIconExclamation);
        return false;
    }
    return DecodeRle8(Data(bytes) + offset, bytes.size() - offset);
}

// Decodes (count, value) pairs into uncompressed rows starting at the first
// row in memory. Nothing is written outside the image: runs and absolute
// runs are cut at the row's end, deltas and rows past the last are ignored.
bool CDib::DecodeRle8(const std::uint8_t* data, std::size_t length) {
    header_.compression = kBiRgb;
    rowSize_ = GetRowBytes(header_.width);
    const std::size_t rows = static_cast<std::size_t>(std::abs(header_.height));
    imageSize_ = header_.sizeImage = static_cast<std::uint32_t>(rowSize_ * rows);
    bits_.assign(imageSize_, 0xFF);
    const std::size_t width = static_cast<std::size_t>(header_.width);
    std::size_t row = 0;
    std::size_t column = 0;
    auto put = [&](std::uint8_t value) {
        if (row < rows && column < width) bits_[row * static_cast<std::size_t>(rowSize_) + column] = value;
        ++column;
    };
    std::size_t at = 0;
    while (at + 2 <= length) {
        const std::uint8_t count = data[at];
        const std::uint8_t value = data[at + 1];
        at += 2;
        if (count > 0) {
            for (int i = 0; i < count && column < width; ++i) put(value);
        } else if (value == 0) {
            ++row;
            column = 0;
        } else if (value == 1) {
            break;
        } else if (value == 2) {
            if (at + 2 > length) break;
            column += data[at];
            row += data[at + 1];
            at += 2;
        } else {
            const std::size_t run = value;
            if (at + run > length) break;
            for (std::size_t i = 0; i < run; ++i) put(data[at + i]);
            at += run + (run % 2);
        }
    }
    return true;
}

bool CDib::ReadStream(std::istream& in) {
    Clear();
    std::uint8_t fileHeader[kFileHeaderBytes];
    if (!in.read(reinterpret_cast<char*>(fileHeader), kFileHeaderBytes) || fileHeader[0] != 'B' ||
        fileHeader[1] != 'M') {
        Say(L"Read error");
        return false;
    }
    const std::size_t offset = ReadLe32(fileHeader + 10);
    if (offset < kFileHeaderBytes + kInfoHeaderBytes || offset > kFileHeaderBytes + 64 * 1024) {
        Say(L"Read error");
        return false;
    }
    std::vector<std::uint8_t> header(offset - kFileHeaderBytes);
    if (!in.read(reinterpret_cast<char*>(header.data()), static_cast<std::streamsize>(header.size())) ||
        TakeHeader(header.data(), header.size()) != HeaderError::kNone ||
        imageSize_ > kMaxImageBytes) {
        Clear();
        Say(L"Read error");
        return false;
    }
    FixImageSize(false);
    bits_.resize(imageSize_);
    if (!in.read(reinterpret_cast<char*>(bits_.data()), static_cast<std::streamsize>(imageSize_))) {
        Clear();
        Say(L"Read error");
        return false;
    }
    return true;
}

bool CDib::AttachMemory(const std::uint8_t* packed, std::size_t length) {
    Clear();
    if (packed == nullptr || TakeHeader(packed, length) != HeaderError::kNone) {
        Clear();
        Say(L"AttachMemory error");
        return false;
    }
    FixImageSize(false);
    const std::size_t at = kInfoHeaderBytes + (header_.compression == kBiBitfields ? 12 : 0) +
                           4 * colours_.size();
    if (length - at < imageSize_) {
        Clear();
        Say(L"AttachMemory error");
        return false;
    }
    bits_.assign(packed + at, packed + at + imageSize_);
    return true;
}

bool CDib::CopyFrom(const CDib& other) {
    *this = other;
    mapped_ = false;
    return hasHeader_;
}

bool CDib::CreateEmpty(bool, int width, int height, int bitCount, const DisplayDevice* device) {
    const int n = std::abs(bitCount);
    Clear();
    if (width <= 0 || height == 0 || width > kMaxSide || std::abs(height) > kMaxSide ||
        RowBytes(width, n) * static_cast<std::uint64_t>(std::abs(height)) > kMaxImageBytes)
        return false;
    switch (n) {
        case 1: case 4: case 8: case 16: case 24: case 32: break;
        default: return false;
    }
    header_ = BitmapInfoHeader{};
    header_.width = width;
    header_.height = height;
    header_.bitCount = static_cast<std::uint16_t>(n);
    hasHeader_ = true;
    SetColourCount(n);
    rowSize_ = GetRowBytes(width);
    imageSize_ = header_.sizeImage = static_cast<std::uint32_t>(rowSize_ * std::abs(height));
    if (device) {
        header_.xPelsPerMeter = static_cast<std::int32_t>(device->dpiX * 39.37007874015748);
        header_.yPelsPerMeter = static_cast<std::int32_t>(device->dpiY * 39.37007874015748);
    }
    header_.clrUsed = header_.clrImportant = static_cast<std::uint32_t>(colourCount_);
    colours_.assign(static_cast<std::size_t>(colourCount_), RgbQuad{});
    if (!colours_.empty()) {
        if (bitCount >= 0)
            std::copy_n(HalftonePalette().begin(), colours_.size(), colours_.begin());
        else
            MakePalette(true);
    }
    bits_.assign(imageSize_, 0xFF);
    return true;
}

}  // namespace mapdata
