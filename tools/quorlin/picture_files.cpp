#include "tools/quorlin/picture_files.h"

#include <unistd.h>

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

// jpeglib.h needs size_t and FILE declared first.
#include <jpeglib.h>

#include "mapdata/jpeg_error_jump.h"
#include "mapdata/picture_dib.h"
#include "platform/whole_file.h"
#include "tools/quorlin/fd_stream.h"
#include "tools/quorlin/grid_record.h"

namespace quorlin {
namespace {

// What the encoder needs, kept apart from objects with destructors so that
// a jump back from libjpeg skips none.
struct EncodeRequest {
    const mapdata::CDib* dib = nullptr;
    int left = 0, top = 0, width = 0, height = 0;
    int quality = 100;
    std::uint8_t* row = nullptr;  // 3 x width bytes
    QuorlinUi* ui = nullptr;
    unsigned char* out = nullptr;  // malloc'ed by libjpeg
    unsigned long size = 0;
};

// One picture row in blue, green, red order.
const std::uint8_t* RowOf(const EncodeRequest& r, int scanline) {
    const mapdata::CDib& dib = *r.dib;
    const int y = scanline + r.top;
    if (dib.Header().bitCount == 24) return dib.GetPixelAddress(r.left, y, false);
    for (int x = 0; x < r.width; ++x) {
        const mapdata::RgbQuad c = dib.GetPixelColour(r.left + x, y);
        r.row[3 * x] = c.blue;
        r.row[3 * x + 1] = c.green;
        r.row[3 * x + 2] = c.red;
    }
    return r.row;
}

bool EncodePicture(EncodeRequest* r) {
    jpeg_compress_struct info{};
    mapdata::JpegErrorJump errors{};
    info.err = mapdata::JpegErrorsThatJump(errors);
    if (setjmp(errors.jump)) {
        jpeg_destroy_compress(&info);
        return false;
    }
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, &r->out, &r->size);
    info.image_width = static_cast<JDIMENSION>(r->width);
    info.image_height = static_cast<JDIMENSION>(r->height);
    info.input_components = 3;
    info.in_color_space = JCS_EXT_BGR;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, r->quality, TRUE);
    jpeg_start_compress(&info, TRUE);
    const int pumpEvery = 6000 / r->width + 1;
    for (int s = 0; s < r->height; ++s) {
        if (s % pumpEvery == 0) r->ui->Pump();
        JSAMPROW rows[1] = {const_cast<JSAMPROW>(RowOf(*r, s))};
        if (rows[0] == nullptr) mapdata::JumpOnJpegError(reinterpret_cast<j_common_ptr>(&info));
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return true;
}

}  // namespace

bool SaveJpeg(const mapdata::CDib& dib, const std::filesystem::path& path, int quality,
              platform::PixelRect* rect, QuorlinUi& ui, int& busy) {
    const auto size = dib.GetSize();
    if (dib.Empty() || size.width <= 0 || size.height <= 0) return false;
    EncodeRequest r;
    r.dib = &dib;
    r.quality = std::clamp(quality, 0, 100);
    r.width = size.width;
    r.height = size.height;
    if (rect) {
        const int bits = dib.Header().bitCount;
        rect->left = bits >= 8 ? std::max(rect->left, 0) : std::max(rect->left, 0) * bits / 8 * 8 / bits;
        rect->top = std::max(rect->top, 0);
        if (rect->left >= size.width || rect->top >= size.height) return false;
        r.left = rect->left;
        r.top = rect->top;
        r.width = std::min(rect->right, size.width) - rect->left;
        rect->bottom = std::min(rect->bottom, size.height);
        r.height = rect->bottom - rect->top;
        if (r.width <= 0 || r.height <= 0) return false;
    }
    if (r.width > kMaxJpegSide || r.height > kMaxJpegSide) {
        ui.Message("Error creating bitmap\n\n    Probably out of memory", Icon::kStop);
        return false;
    }
    platform::FileReplacement file(path);
    if (file.Fd() < 0) {
        ui.Message("Cannot open file to write", Icon::kStop);
        return false;
    }
    std::vector<std::uint8_t> row(static_cast<std::size_t>(r.width) * 3);
    r.row = row.data();
    r.ui = &ui;
    bool encoded = false;
    {
        BusyScope scope(ui, busy);
        encoded = EncodePicture(&r);
    }
    const std::string bytes(reinterpret_cast<const char*>(r.out), encoded ? r.size : 0);
    std::free(r.out);
    if (!encoded) {
        ui.Message("Error creating bitmap\n\n    Probably out of memory", Icon::kStop);
        return false;
    }
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(file.Fd(), bytes.data() + done, bytes.size() - done);
        if (n <= 0) {
            ui.Message("Cannot open file to write", Icon::kStop);
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    if (file.Commit()) {
        ui.Message("Cannot open file to write", Icon::kStop);
        return false;
    }
    return true;
}

bool ReadJpeg(mapdata::CDib& dib, const std::filesystem::path& path) {
    dib.Clear();
    mapdata::CCeDib picture;
    if (!picture.ReadJpegSection(path, mapdata::DisplayDevice{}, false)) return false;
    const mapdata::CDib& read = picture.Dib();
    if (read.Header().bitCount == 24) {
        dib = read;
        return true;
    }
    // Grey pictures come as an 8-bit ramp: spread each value to three bytes.
    const auto size = read.GetSize();
    if (!dib.CreateEmpty(false, size.width, size.height, 24, nullptr)) return false;
    for (int y = 0; y < size.height; ++y) {
        for (int x = 0; x < size.width; ++x) {
            const mapdata::RgbQuad c = read.GetPixelColour(x, y);
            std::uint8_t* p = dib.GetPixelAddress(x, y, false);
            p[0] = c.blue, p[1] = c.green, p[2] = c.red;
        }
    }
    return true;
}

bool SaveBitmapFile(const mapdata::CDib& dib, const std::filesystem::path& path, int quality,
                    platform::PixelRect* rect, QuorlinUi& ui, int& busy) {
    const std::string extension = Lower(FileExtension(path));
    if (extension == "jpg") return SaveJpeg(dib, path, quality, rect, ui, busy);
    if (extension != "bmp") {
        ui.Message("Unknown file format", Icon::kStop);
        return false;
    }
    platform::FileReplacement file(path);
    bool written = file.Fd() >= 0;
    if (written) {
        FdStreamBuf buffer(file.Fd());
        std::ostream out(&buffer);
        written = (rect ? dib.WritePart(out, *rect) : dib.WriteStream(out)) && out.flush();
    }
    if (!written || file.Commit()) {
        ui.Message("File failed to write", Icon::kStop);
        return false;
    }
    return true;
}

}  // namespace quorlin
