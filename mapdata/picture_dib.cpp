// Picture files for the map picture window, JPEG through libjpeg with an
// error manager that returns instead of ending the process.
#include "mapdata/picture_dib.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include <jpeglib.h>

#include "mapdata/dib_bytes.h"
#include "mapdata/jpeg_error_jump.h"
#include "platform/message_box.h"
#include "platform/whole_file.h"

namespace mapdata {

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

// Decodes `file` into `picture`; false on any error or an unsupported
// picture. Kept apart from C++ objects with destructors so that the jump
// back from libjpeg skips none.
struct DecodeRequest {
    std::FILE* file = nullptr;
    CDib picture;
    bool convert = false;    // colour goes onto the halftone palette
    bool converted = false;  // out: it did
};

bool Decode(DecodeRequest* const request) {
    jpeg_decompress_struct info{};
    JpegErrorJump errors{};
    info.err = JpegErrorsThatJump(errors);
    std::vector<JSAMPLE>* volatile row = nullptr;
    if (setjmp(errors.jump) != 0) {
        jpeg_destroy_decompress(&info);
        delete row;
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_stdio_src(&info, request->file);
    jpeg_read_header(&info, TRUE);
    const bool grey = info.num_components == 1;
    if (!grey && !(info.num_components == 3 && info.jpeg_color_space != JCS_CMYK &&
                   info.jpeg_color_space != JCS_YCCK)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    info.out_color_space = grey ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_calc_output_dimensions(&info);
    const auto width = static_cast<int>(info.output_width);
    const auto height = static_cast<int>(info.output_height);
    if (info.output_width > kMaxSide || info.output_height > kMaxSide ||
        static_cast<std::uint64_t>((width * 24 + 31) / 32 * 4) * static_cast<unsigned>(height) >
            kMaxImageBytes) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_start_decompress(&info);
    const bool toHalftone = !grey && request->convert;
    if (!request->picture.CreateEmpty(true, width, height, grey ? -8 : (toHalftone ? 8 : 24), nullptr)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    row = new std::vector<JSAMPLE>(static_cast<std::size_t>(width) * (grey ? 1 : 3));
    for (int y = 0; y < height; ++y) {
        JSAMPROW rows[1] = {row->data()};
        jpeg_read_scanlines(&info, rows, 1);
        std::uint8_t* out = request->picture.GetPixelAddress(0, y, false);
        const JSAMPLE* in = row->data();
        for (int x = 0; x < width; ++x) {
            if (grey) {
                out[x] = in[x];
            } else if (toHalftone) {
                out[x] = static_cast<std::uint8_t>(
                    NearestHalftoneIndex({in[3 * x], in[3 * x + 1], in[3 * x + 2]}));
            } else {
                out[3 * x] = in[3 * x + 2];
                out[3 * x + 1] = in[3 * x + 1];
                out[3 * x + 2] = in[3 * x];
            }
        }
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    delete row;
    request->converted = toHalftone;
    return true;
}

}  // namespace

bool CCeDib::ReadJpegSection(const std::filesystem::path& path, const DisplayDevice& device,
                             bool forceConvert) {
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        platform::ShowMessageBox(nullptr, L"Can't open file '" + path.wstring() + L"'", L"",
                                 platform::mb::kOk);
        return false;
    }
    DecodeRequest request;
    request.file = file.get();
    request.convert = forceConvert || device.bitsPerPixel < 9;
    if (!Decode(&request)) return false;
    dib_ = std::move(request.picture);
    converted_ = request.converted;
    return true;
}

bool CCeDib::ReadSection(const std::filesystem::path& path, const DisplayDevice& device) {
    std::string start;
    if (platform::ReadWholeFile(path, start, kMaxImageBytes + 64 * 1024) || start.size() < 14)
        return false;
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(start.data());
    if (bytes[0] == 0xFF && bytes[1] == 0xD8) return ReadJpegSection(path, device, false);
    if (bytes[0] != 'B' || bytes[1] != 'M') return false;
    // Only uncompressed bitmaps (plain or bit-field) are pictures.
    if (start.size() >= 54) {
        const std::uint32_t compression = ReadLe32(bytes + 30);
        if (compression != kBiRgb && compression != kBiBitfields) return false;
    }
    CDib picture;
    if (!picture.LoadQuietly(path)) {
        platform::ShowMessageBox(nullptr, L"ReadSection error", L"", platform::mb::kOk);
        return false;
    }
    dib_ = std::move(picture);
    converted_ = false;
    return true;
}

}  // namespace mapdata
