// Writing bitmaps (whole, in part, by extension, packed), our own RLE8
// encoder, and drawing a bitmap onto a canvas.
#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <ostream>
#include <string>

#include "mapdata/dib.h"
#include "mapdata/dib_bytes.h"
#include "platform/canvas.h"
#include "platform/image.h"
#include "platform/message_box.h"
#include "platform/whole_file.h"

namespace mapdata {

namespace {

void SayWriteError(std::wstring_view text) {
    platform::ShowMessageBox(nullptr, text, L"", platform::mb::kOk);
}

void AppendInfoHeader(std::string& out, const BitmapInfoHeader& h) {
    AppendLe32(out, h.size);
    AppendLe32(out, static_cast<std::uint32_t>(h.width));
    AppendLe32(out, static_cast<std::uint32_t>(h.height));
    AppendLe16(out, h.planes);
    AppendLe16(out, h.bitCount);
    AppendLe32(out, h.compression);
    AppendLe32(out, h.sizeImage);
    AppendLe32(out, static_cast<std::uint32_t>(h.xPelsPerMeter));
    AppendLe32(out, static_cast<std::uint32_t>(h.yPelsPerMeter));
    AppendLe32(out, h.clrUsed);
    AppendLe32(out, h.clrImportant);
}

void AppendFileHeader(std::string& out, std::uint32_t fileSize, std::uint32_t entries) {
    out += "BM";
    AppendLe32(out, fileSize);
    AppendLe32(out, 0);
    AppendLe32(out, 4 * entries + 54);
}

bool Write(std::ostream& out, const std::string& bytes) {
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

}  // namespace

// The header, then masks or colour table: what the stream writers put after
// the file header (masks count as three colour entries).
static std::string InfoAndEntries(const BitmapInfoHeader& header,
                                  const std::vector<RgbQuad>& colours,
                                  const std::array<std::uint32_t, 3>& masks) {
    std::string out;
    AppendInfoHeader(out, header);
    if (header.compression == kBiBitfields) {
        for (std::uint32_t m : masks) AppendLe32(out, m);
    } else {
        for (const RgbQuad& c : colours) {
            out.push_back(static_cast<char>(c.blue));
            out.push_back(static_cast<char>(c.green));
            out.push_back(static_cast<char>(c.red));
            out.push_back(static_cast<char>(c.reserved));
        }
    }
    return out;
}

static std::uint32_t Entries(const BitmapInfoHeader& header, std::size_t colours) {
    return header.compression == kBiBitfields ? 3u : static_cast<std::uint32_t>(colours);
}

bool CDib::WriteStream(std::ostream& out) const {
    if (Empty()) return false;
    std::string bytes;
    AppendFileHeader(bytes, 0, Entries(header_, colours_.size()));
    bytes += InfoAndEntries(header_, colours_, masks_);
    // The rows go out from where they are, not through a copy of the file.
    if (!Write(out, bytes) ||
        !out.write(reinterpret_cast<const char*>(bits_.data()), static_cast<std::streamsize>(bits_.size()))) {
        SayWriteError(L"write error");
        return false;
    }
    return true;
}

std::vector<std::uint8_t> CDib::Packed() const {
    if (Empty()) return {};
    std::string bytes = InfoAndEntries(header_, colours_, masks_);
    bytes.append(reinterpret_cast<const char*>(bits_.data()), bits_.size());
    return {bytes.begin(), bytes.end()};
}

bool CDib::WritePart(std::ostream& out, const platform::PixelRect& rect) const {
    const int width = header_.width;
    const int height = std::abs(header_.height);
    if (Empty() || bits_.empty() || header_.compression == kBiRle8 ||
        header_.compression == kBiRle4 || rect.left < 0 || rect.top < 0 || rect.left >= width ||
        rect.top >= height)
        return false;
    const int bitCount = header_.bitCount;
    const int leftByte = rect.left * bitCount / 8;
    const int left = leftByte * 8 / bitCount;
    const int right = std::min(rect.right, width);
    const int bottom = std::min(rect.bottom, height);
    if (right <= left || bottom <= rect.top) return false;
    const int partWidth = right - left;
    const int partHeight = bottom - rect.top;
    const int partRow = GetRowBytes(partWidth);
    const int copied = std::min(partRow, rowSize_ - leftByte);

    BitmapInfoHeader header = header_;
    header.width = partWidth;
    header.height = partHeight;
    header.sizeImage = static_cast<std::uint32_t>(partRow * partHeight);
    std::string bytes;
    AppendFileHeader(bytes, 0, Entries(header_, colours_.size()));
    bytes += InfoAndEntries(header, colours_, masks_);
    for (int y = bottom - 1; y >= rect.top; --y) {
        const std::uint8_t* row = GetPixelAddress(0, y, false) + leftByte;
        bytes.append(reinterpret_cast<const char*>(row), static_cast<std::size_t>(copied));
        bytes.append(static_cast<std::size_t>(partRow - copied), '\0');
    }
    return Write(out, bytes);
}

bool CDib::SaveToFile(const std::filesystem::path& path, int, const platform::PixelRect* rect) const {
    const std::string name = path.filename().string();
    const auto dot = name.rfind('.');
    std::string extension = dot == std::string::npos ? std::string() : name.substr(dot + 1);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (extension == "jpg") return false;  // JPEG writing belongs to the converters
    if (extension != "bmp") {
        SayWriteError(L"Unknown file format");
        return false;
    }
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) {
        SayWriteError(path.wstring() + L"\nFile did not open for writing");
        return false;
    }
    const bool written = rect ? WritePart(out, *rect) : WriteStream(out);
    out.close();
    if (!written || !out) {
        SayWriteError(L"File failed to write");
        return false;
    }
    return true;
}

bool CDib::OpenMapped(const std::filesystem::path& path, bool) {
    Clear();
    std::string bytes;
    std::fstream probe(path, std::ios::binary | std::ios::in | std::ios::out);
    if (!probe) {
        SayWriteError(L"Cannot create file  for memory mapping\nFile may be marked read-only");
        return false;
    }
    probe.close();
    if (platform::ReadWholeFile(path, bytes, kMaxImageBytes + 64 * 1024) || bytes.empty()) {
        SayWriteError(L"Empty bitmap file");
        return false;
    }
    if (bytes.size() < 14 || bytes[0] != 'B' || bytes[1] != 'M') {
        const bool jpeg = static_cast<std::uint8_t>(bytes[0]) == 0xFF && bytes.size() > 1 &&
                          static_cast<std::uint8_t>(bytes[1]) == 0xD8;
        if (!jpeg) SayWriteError(L"Invalid bitmap file");
        return false;
    }
    if (!AttachMemory(reinterpret_cast<const std::uint8_t*>(bytes.data()) + 14, bytes.size() - 14))
        return false;
    mapped_ = true;
    return true;
}

bool CDib::SaveMapped(const std::filesystem::path& path) {
    if (Empty()) return false;
    const std::uint32_t entries = Entries(header_, colours_.size());
    std::string bytes;
    AppendFileHeader(bytes, imageSize_ + 4 * entries + 54, entries);
    bytes += InfoAndEntries(header_, colours_, masks_);
    bytes.append(reinterpret_cast<const char*>(bits_.data()), bits_.size());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out || !Write(out, bytes)) {
        SayWriteError(L"Cannot create file  for memory mapping\nFile may be marked read-only");
        return false;
    }
    mapped_ = true;
    return true;
}

namespace {

// Our RLE8 encoder: runs of 2 or more equal bytes become (count, value);
// other bytes go out as absolute runs of 3 to 255 (padded to even length)
// or as runs of one; each row ends with (0, 0) and the image with (0, 1).
void EncodeRow(const std::uint8_t* row, int width, std::vector<std::uint8_t>& out) {
    int x = 0;
    while (x < width) {
        int run = 1;
        while (x + run < width && run < 255 && row[x + run] == row[x]) ++run;
        if (run >= 2) {
            out.push_back(static_cast<std::uint8_t>(run));
            out.push_back(row[x]);
            x += run;
            continue;
        }
        int literal = 1;
        while (x + literal < width && literal < 255 &&
               (x + literal + 1 >= width || row[x + literal] != row[x + literal + 1]))
            ++literal;
        if (literal < 3) {
            for (int i = 0; i < literal; ++i) {
                out.push_back(1);
                out.push_back(row[x + i]);
            }
        } else {
            out.push_back(0);
            out.push_back(static_cast<std::uint8_t>(literal));
            out.insert(out.end(), row + x, row + x + literal);
            if (literal % 2) out.push_back(0);
        }
        x += literal;
    }
    out.push_back(0);
    out.push_back(0);
}

}  // namespace

bool CDib::Compress(bool compress) {
    if (Empty() || header_.bitCount != 8) return false;
    if (compress) {
        if (header_.compression != kBiRgb) return false;
        std::vector<std::uint8_t> out;
        const int rows = std::abs(header_.height);
        for (int r = 0; r < rows; ++r)
            EncodeRow(bits_.data() + static_cast<std::size_t>(r) * static_cast<std::size_t>(rowSize_),
                      header_.width, out);
        out.back() = 1;  // the last end of row becomes the end of the image
        bits_ = std::move(out);
        header_.compression = kBiRle8;
        imageSize_ = header_.sizeImage = static_cast<std::uint32_t>(bits_.size());
        return true;
    }
    if (header_.compression != kBiRle8) return false;
    const std::vector<std::uint8_t> packed = std::move(bits_);
    return DecodeRle8(packed.data(), packed.size());
}

platform::Image CDib::ToImage() const {
    if (Empty() || bits_.empty() || header_.compression == kBiRle8 ||
        header_.compression == kBiRle4)
        return {};
    const int width = header_.width;
    const int height = std::abs(header_.height);
    platform::Image image(width, height);
    if (image.Empty()) return image;
    const int bitCount = header_.bitCount;
    auto channel = [](std::uint32_t value, std::uint32_t mask) -> std::uint8_t {
        if (mask == 0) return 0;
        int shift = 0;
        while (((mask >> shift) & 1) == 0) ++shift;
        const std::uint32_t top = mask >> shift;
        return static_cast<std::uint8_t>(((value & mask) >> shift) * 255 / top);
    };
    for (int y = 0; y < height; ++y) {
        std::uint32_t* out = image.Row(y);
        const std::uint8_t* row = GetPixelAddress(0, y, false);
        if (row == nullptr) continue;
        for (int x = 0; x < width; ++x) {
            RgbQuad c{};
            if (bitCount <= 8) {
                const int shift = 8 - bitCount - (x * bitCount) % 8;
                const unsigned index =
                    (row[x * bitCount / 8] >> shift) & ((1u << bitCount) - 1);
                if (index < colours_.size()) c = colours_[index];
            } else if (header_.compression == kBiBitfields) {
                const std::uint8_t* p = row + x * bitCount / 8;
                const std::uint32_t v = bitCount == 16 ? ReadLe16(p) : ReadLe32(p);
                c = {channel(v, masks_[2]), channel(v, masks_[1]), channel(v, masks_[0]), 0};
            } else {
                c = GetPixelColour(x, y);
            }
            out[x] = platform::PremultipliedArgb(255, c.red, c.green, c.blue);
        }
    }
    image.MarkDirty();
    return image;
}

bool CDib::StretchTo(platform::Canvas& canvas, int x, int y, int width, int height) const {
    return StretchTo(canvas, x, y, width, height, 0, 0, header_.width, std::abs(header_.height));
}

bool CDib::StretchTo(platform::Canvas& canvas, int x, int y, int width, int height, int srcX,
                     int srcY, int srcWidth, int srcHeight) const {
    if (Empty()) return false;
    const platform::Image image = ToImage();
    if (image.Empty()) return false;
    return canvas.StretchBlit({x, y, x + width, y + height}, image,
                              {srcX, srcY, srcX + srcWidth, srcY + srcHeight});
}

}  // namespace mapdata
