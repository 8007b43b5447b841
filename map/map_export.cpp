#include "map/map_export.h"

#include <unistd.h>

#include <cerrno>
#include <memory>
#include <mutex>
#include <new>
#include <sstream>
#include <system_error>
#include <unordered_map>

#include "map/map_view_model.h"
#include "platform/numbers.h"
#include "platform/sys_error.h"
#include "platform/whole_file.h"

namespace map {
namespace {

// Writes all of bytes to fd; the errno of a failed write, 0 when written.
int WriteBytes(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return 0;
}

std::wstring SizeText(ExportSize size) {
    return platform::FormatC(L"%d x %d", size.width, size.height);
}

void AppendNumber(std::string& text, double value) { text += platform::FormatC("%lf\n", value); }

void ExportList(const mapdata::ElementList& list, const mapdata::MapDrawContext& context) {
    for (const auto& element : list) mapdata::DrawMapElement(*element, context);
}

std::uint32_t Rgb(std::uint32_t argb) { return argb & 0xFFFFFFU; }

void FillRow24(std::uint8_t* out, const std::uint32_t* row, int width) {
    for (int x = 0; x < width; ++x) {
        const std::uint32_t c = row[x];
        *out++ = static_cast<std::uint8_t>(c);
        *out++ = static_cast<std::uint8_t>(c >> 8);
        *out++ = static_cast<std::uint8_t>(c >> 16);
    }
}

// Map pictures hold few colours: each is matched to the palette once.
class HalftoneMatcher {
  public:
    std::uint8_t operator()(std::uint32_t rgb) {
        if (rgb == lastColour_) return lastIndex_;
        lastColour_ = rgb;
        const auto found = cache_.find(rgb);
        if (found != cache_.end()) return lastIndex_ = found->second;
        const mapdata::Rgb colour{static_cast<std::uint8_t>(rgb >> 16),
                                  static_cast<std::uint8_t>(rgb >> 8), static_cast<std::uint8_t>(rgb)};
        const auto index = static_cast<std::uint8_t>(mapdata::NearestHalftoneIndex(colour));
        cache_.emplace(rgb, index);
        return lastIndex_ = index;
    }

  private:
    std::unordered_map<std::uint32_t, std::uint8_t> cache_;
    std::uint32_t lastColour_ = 0xFFFFFFFFU;  // no colour: pixels are 24-bit
    std::uint8_t lastIndex_ = 0;
};

}  // namespace

std::wstring ReplaceExtension(std::wstring_view path, std::wstring_view extension) {
    const std::size_t slash = path.rfind(L'/');
    const std::size_t nameStart = slash == std::wstring_view::npos ? 0 : slash + 1;
    const std::size_t dot = path.rfind(L'.');
    const std::size_t cut = dot != std::wstring_view::npos && dot >= nameStart ? dot : path.size();
    std::wstring result(path.substr(0, cut));
    result += extension;
    return result;
}

bool SameMapFile(const std::filesystem::path& chosen, const std::filesystem::path& loaded) {
    if (chosen == loaded) return true;
    std::error_code error;
    return std::filesystem::exists(chosen, error) && std::filesystem::equivalent(chosen, loaded, error);
}

BinaryTarget ClassifyBinaryTarget(const std::filesystem::path& chosen,
                                  const std::filesystem::path& loaded, bool loadedIsBinary) {
    if (!SameMapFile(chosen, loaded)) return BinaryTarget::kNewFile;
    return loadedIsBinary ? BinaryTarget::kRewriteLoaded : BinaryTarget::kAskAgain;
}

ExportSize ExportBitmapSize(const platform::PixelRect& mapRect, double scale) {
    return {static_cast<int>(mapRect.right * scale), static_cast<int>(mapRect.bottom * scale)};
}

int ExportBitCount(int displayDepth, bool eightBit) { return eightBit || displayDepth < 8 ? 8 : 24; }

std::optional<std::wstring> ExportSizeRefusal(ExportSize size, int bitCount) {
    if (size.width <= 0 || size.height <= 0) {
        return L"The map bitmap of " + SizeText(size) + L" pixels has no area to export.";
    }
    if (size.width > mapdata::kMaxSide || size.height > mapdata::kMaxSide) {
        return L"The map bitmap of " + SizeText(size) + L" pixels is too large: at most " +
               platform::FormatC(L"%d", mapdata::kMaxSide) + L" pixels a side can be exported.";
    }
    const std::uint64_t rowBytes = (static_cast<std::uint64_t>(size.width) * bitCount + 31) / 32 * 4;
    if (rowBytes * static_cast<std::uint64_t>(size.height) > mapdata::kMaxImageBytes) {
        return L"The map bitmap of " + SizeText(size) + L" pixels is too large to export.";
    }
    return std::nullopt;
}

std::wstring ExportMemoryRefusal(ExportSize size) {
    return L"There is not enough memory for a map bitmap of " + SizeText(size) + L" pixels.";
}

mapdata::MapDrawState ExportTransform(const MapViewModel& view, float scale) {
    mapdata::MapDrawState s = view.Published();
    s.cx = (view.bounds.x1 * view.scale + view.offsetX) * scale;
    s.cy *= scale;
    s.k *= scale;
    s.pixelsPerKm *= scale;
    return s;
}

std::string CalibrationText(std::wstring_view bitmapPath, const mapdata::MapDrawState& s) {
    const std::filesystem::path bitmap(ReplaceExtension(bitmapPath, L".bmp"));
    std::string text = bitmap.string() + "\n";
    text += "-3.0\n-3.0\n";
    for (const double v : {s.centre.x, s.centre.y, s.centre.z, s.eastX, s.eastY, s.north.x, s.north.y,
                           s.north.z}) {
        AppendNumber(text, v);
    }
    for (const float v : {s.r00, s.r01, s.r10, s.r11, s.cx, s.cy, s.k}) {
        AppendNumber(text, static_cast<double>(v));
    }
    text += ";offsets\n0.0\n0.0\n0.0\n0.0\n;widths\n2\n3";
    return text;
}

bool RenderMapToDC(platform::Canvas& canvas, MapLists& lists, const mapdata::MapDrawContext& context,
                   bool mapLoaded) {
    canvas.ResetClip();
    canvas.FillRect({0, 0, canvas.Width(), canvas.Height()}, platform::Brush::Solid(platform::kWhite));
    if (!mapLoaded) return false;
    mapdata::MapDrawContext draw = context;
    draw.canvas = &canvas;
    {
        const std::lock_guard lock(lists.lock);
        ExportList(lists.symbols17, draw);
        ExportList(lists.zones, draw);
        ExportList(lists.general, draw);
    }
    canvas.Finish();
    return true;
}

mapdata::CDib CanvasToDib(const platform::Image& pixels, int bitCount) {
    mapdata::CDib dib;
    const int width = pixels.Width();
    const int height = pixels.Height();
    try {
        if (!dib.CreateEmpty(true, width, height, bitCount, nullptr)) return {};
        HalftoneMatcher nearest;
        for (int y = 0; y < height; ++y) {
            const std::uint32_t* row = pixels.Row(y);
            std::uint8_t* out = dib.GetPixelAddress(0, y, false);
            if (bitCount == 24) {
                FillRow24(out, row, width);
                continue;
            }
            for (int x = 0; x < width; ++x) out[x] = nearest(Rgb(row[x]));
        }
    } catch (const std::bad_alloc&) {
        return {};
    }
    return dib;
}

ExportResult ExportMapBitmap(MapLists& lists, const ExportJob& job, const std::filesystem::path& file) {
    platform::FileReplacement bitmap(file);
    if (bitmap.Error()) return {ExportStatus::kNotOpened, {}, false};
    if (!job.mapLoaded) return {ExportStatus::kNoMap, {}, false};
    if (auto refusal = ExportSizeRefusal(job.size, job.bitCount)) {
        return {ExportStatus::kRefused, *refusal, false};
    }
    std::string bytes;
    try {
        mapdata::CDib dib;
        {
            auto canvas = std::make_unique<platform::Canvas>(job.size.width, job.size.height);
            if (!canvas->Valid()) return {ExportStatus::kRefused, ExportMemoryRefusal(job.size), false};
            RenderMapToDC(*canvas, lists, job.draw, true);
            dib = CanvasToDib(canvas->Pixels(), job.bitCount);
        }
        if (dib.Empty()) return {ExportStatus::kRefused, ExportMemoryRefusal(job.size), false};
        std::ostringstream out;
        dib.WriteStream(out);
        bytes = std::move(out).str();
    } catch (const std::bad_alloc&) {
        return {ExportStatus::kRefused, ExportMemoryRefusal(job.size), false};
    }
    int error = WriteBytes(bitmap.Fd(), bytes);
    if (error == 0) error = bitmap.Commit().value();
    if (error != 0) {
        return {ExportStatus::kWriteFailed, file.wstring() + L"\n" + platform::SystemErrorText(error),
                false};
    }
    const std::filesystem::path calibration(ReplaceExtension(file.wstring(), L".flt"));
    const bool calibrated =
        !platform::ReplaceWholeFile(calibration, CalibrationText(file.wstring(), job.draw.state));
    return {ExportStatus::kWritten, {}, calibrated};
}

}  // namespace map
