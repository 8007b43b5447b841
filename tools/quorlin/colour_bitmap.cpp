#include "tools/quorlin/colour_bitmap.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <ostream>
#include <vector>

#include "platform/numbers.h"
#include "platform/unique_fd.h"
#include "platform/whole_file.h"
#include "tools/quorlin/fd_stream.h"
#include "tools/quorlin/grid_files.h"
#include "tools/quorlin/picture_files.h"
#include "tools/quorlin/positioned_io.h"

namespace quorlin {

namespace {
constexpr char kNoMemory[] = "Error creating bitmap\n\n    Probably out of memory";
constexpr char kNoInput[] = "Error opening Data file";
constexpr char kNotWritten[] = "File failed to write";

// The samples of one band of rows read at a time while a bitmap file is
// written: small enough that the band and its pixels stay in the cache.
constexpr std::size_t kBandSampleBytes = std::size_t{1} << 18;

// The pixel of every sample value, indexed by the value's 16 bits: every
// cell of a level takes one colour, so the levels are looked up once a
// picture. Blue, green and red sit in an entry's low three bytes, so that a
// pixel is one 4-byte store whose fourth byte the next pixel overwrites.
std::vector<std::uint32_t> SampleColours(const Thresholds& thresholds, const ColourTable& colours) {
    std::vector<std::uint32_t> lookup(65536);
    for (int v = -32768; v < 32768; ++v) {
        const Bgr c = CellColour(static_cast<std::int16_t>(v), thresholds, colours);
        lookup[static_cast<std::uint16_t>(v)] =
            c.blue | static_cast<std::uint32_t>(c.green) << 8 | static_cast<std::uint32_t>(c.red) << 16;
    }
    return lookup;
}

// Paints one grid row: 3 bytes a cell into `out`, which must have room for
// one byte more (the last pixel's fourth byte).
void PaintRow(const std::uint8_t* in, std::size_t columns, bool littleEndian,
              const std::vector<std::uint32_t>& lookup, std::uint8_t* out) {
    const std::uint32_t* colour = lookup.data();
    if (littleEndian) {
        for (std::size_t c = 0; c < columns; ++c, in += 2, out += 3) {
            std::memcpy(out, &colour[in[0] | in[1] << 8], 4);
        }
    } else {
        for (std::size_t c = 0; c < columns; ++c, in += 2, out += 3) {
            std::memcpy(out, &colour[in[0] << 8 | in[1]], 4);
        }
    }
}

bool PictureTooLarge(const ElevationGridHeader& g) {
    if (g.columns > static_cast<std::uint32_t>(mapdata::kMaxSide) ||
        g.rows > static_cast<std::uint32_t>(mapdata::kMaxSide)) {
        return true;
    }
    const mapdata::CDib layout(static_cast<int>(g.columns), static_cast<int>(g.rows), 24);
    return static_cast<std::uint64_t>(layout.GetRowBytes(static_cast<int>(g.columns))) * g.rows >
           mapdata::kMaxImageBytes;
}

enum class BmpResult { kWritten, kReadFailed, kWriteFailed };

// Paints the grid straight into a bitmap file, the same bytes as a painted
// CDib written whole (row padding 0xFF as a new CDib's), a band of rows at a
// time and the bottom row first as the file keeps them: the picture is never
// whole in memory and nothing of it is written twice.
BmpResult WriteElevationBmp(int input, const ElevationGridHeader& g, const std::vector<std::uint32_t>& lookup,
                            int output, QuorlinUi& ui) {
    const int width = static_cast<int>(g.columns), height = static_cast<int>(g.rows);
    mapdata::CDib header(width, height, 24);  // a header and no bits: the file's first 54 bytes
    const std::size_t stride = static_cast<std::size_t>(header.GetRowBytes(width));
    header.Header().sizeImage = static_cast<std::uint32_t>(stride * g.rows);
    FdStreamBuf buffer(output);
    std::ostream out(&buffer);
    if (!header.WriteStream(out)) return BmpResult::kWriteFailed;

    const std::size_t rowSamples = std::size_t{2} * g.columns;
    const std::size_t bandRows = std::max<std::size_t>(1, kBandSampleBytes / rowSamples);
    std::vector<std::uint8_t> samples(bandRows * rowSamples);
    std::vector<std::uint8_t> pixels(bandRows * stride + 1);
    const std::size_t painted = std::size_t{3} * g.columns;
    ui.Progress("converting row 0");
    std::size_t done = 0;
    off_t synced = 0;
    for (std::size_t bandEnd = g.rows; bandEnd > 0;) {
        const std::size_t rows = std::min(bandRows, bandEnd), first = bandEnd - rows;
        if (!ReadAt(input, samples.data(), rows * rowSamples, first * rowSamples)) return BmpResult::kReadFailed;
        for (std::size_t k = 0; k < rows; ++k, ++done) {
            if (done % 10 == 0) ui.Progress(platform::FormatC("converting row %zu", done));
            ui.Pump();
            // The band's last grid row is the file's first.
            std::uint8_t* row = pixels.data() + k * stride;
            PaintRow(samples.data() + (rows - 1 - k) * rowSamples, g.columns, g.littleEndian, lookup, row);
            std::fill(row + painted, row + stride, std::uint8_t{0xFF});
        }
        if (!out.write(reinterpret_cast<const char*>(pixels.data()), static_cast<std::streamsize>(rows * stride))) {
            return BmpResult::kWriteFailed;
        }
        // The disk starts on what is written while the next bands are
        // painted, so that the flush before the file replaces the old one
        // waits for little more than the last band.
        const auto written = static_cast<off_t>(::lseek(output, 0, SEEK_CUR));
        if (written > synced) ::sync_file_range(output, synced, written - synced, SYNC_FILE_RANGE_WRITE);
        synced = written;
        bandEnd = first;
    }
    return out.flush() ? BmpResult::kWritten : BmpResult::kWriteFailed;
}

// The ".bmp" conversion: the grid read and painted a band at a time.
bool ConvertToBmpFile(const BitmapJob& job, QuorlinUi& ui, int& busy) {
    const ElevationGridHeader& g = job.grid;
    const platform::UniqueFd input(::open(job.input.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat info {};
    if (!input || ::fstat(input.Get(), &info) != 0 || S_ISDIR(info.st_mode)) {
        ui.Message(kNoInput, Icon::kStop);
        return false;
    }
    if (g.rows == 0 || g.columns == 0 || static_cast<std::uint64_t>(info.st_size) != g.GridBytes()) {
        ui.Message("File length does not match specified size", Icon::kStop);
        return false;
    }
    BusyScope scope(ui, busy);
    if (PictureTooLarge(g)) {
        ui.Progress("");
        ui.Message(kNoMemory, Icon::kStop);
        return false;
    }
    platform::FileReplacement file(job.output);
    BmpResult result = BmpResult::kWriteFailed;
    if (file.Fd() >= 0) {
        result = WriteElevationBmp(input.Get(), g, SampleColours(job.thresholds, job.colours), file.Fd(), ui);
    }
    ui.Progress("Writing Bitmap File");
    const bool committed = result == BmpResult::kWritten && !file.Commit();
    ui.Progress("");
    if (result == BmpResult::kReadFailed) ui.Message(kNoInput, Icon::kStop);
    else if (!committed) ui.Message(kNotWritten, Icon::kStop);
    return committed;
}

// Any other picture: the grid read whole, painted, then saved.
bool ConvertToPictureFile(const BitmapJob& job, QuorlinUi& ui, int& busy) {
    const ElevationGridHeader& g = job.grid;
    std::string samples;
    if (!ReadFile(job.input, samples)) {
        ui.Message(kNoInput, Icon::kStop);
        return false;
    }
    if (g.rows == 0 || g.columns == 0 || samples.size() != g.GridBytes()) {
        ui.Message("File length does not match specified size", Icon::kStop);
        return false;
    }
    BusyScope scope(ui, busy);
    std::optional<mapdata::CDib> dib = PaintElevations(samples, g, job.thresholds, job.colours, ui);
    if (!dib) {
        ui.Progress("");
        ui.Message(kNoMemory, Icon::kStop);
        return false;
    }
    ui.Progress("Writing Bitmap File");
    const bool written = SaveBitmapFile(*dib, job.output, 100, nullptr, ui, busy);
    ui.Progress("");
    return written;
}

}  // namespace

Bgr CellColour(std::int16_t elevation, const Thresholds& thresholds, const ColourTable& colours) {
    if (elevation < 0) return {0xFF, 0xFF, 0x80};
    return colours[static_cast<std::size_t>(ColourTableIndex(elevation, thresholds))];
}

std::optional<mapdata::CDib> PaintElevations(const std::string& samples, const ElevationGridHeader& g,
                                             const Thresholds& thresholds, const ColourTable& colours,
                                             QuorlinUi& ui) {
    if (g.columns > static_cast<std::uint32_t>(mapdata::kMaxSide) ||
        g.rows > static_cast<std::uint32_t>(mapdata::kMaxSide) || samples.size() < g.GridBytes()) {
        return std::nullopt;
    }
    mapdata::CDib dib;
    const int width = static_cast<int>(g.columns), height = static_cast<int>(g.rows);
    if (!dib.CreateEmpty(false, width, height, 24, nullptr)) return std::nullopt;
    const std::vector<std::uint32_t> lookup = SampleColours(thresholds, colours);
    std::vector<std::uint8_t> row(std::size_t{3} * g.columns + 1);
    ui.Progress("converting row 0");
    for (int r = 0; r < height; ++r) {
        if (r % 10 == 0) ui.Progress(platform::FormatC("converting row %d", r));
        ui.Pump();
        const auto* in = reinterpret_cast<const std::uint8_t*>(samples.data()) + std::size_t{2} * r * g.columns;
        PaintRow(in, g.columns, g.littleEndian, lookup, row.data());
        std::memcpy(dib.GetPixelAddress(0, r, false), row.data(), row.size() - 1);
    }
    return dib;
}

std::string CalibrationText(const std::filesystem::path& bitmapPath, const ElevationGridHeader& g) {
    const auto n = [](double v) { return platform::FormatC("%lf\n", v); };
    const double step = -(g.north - g.south) / g.rows;
    std::string t = bitmapPath.string() + "\n";
    t += "-2.0\n-2.0\n" + n(g.columns * 0.5) + n(g.rows * 0.5);
    t += n(1.0) + n(0.0);
    t += n(0.0) + n(1.0);
    t += n((g.west + g.east) * 0.5) + n(step);
    t += n(0.0) + n(0.0);
    t += n((g.north + g.south) * 0.5) + n(step);
    t += ";offsets\n" + n(0.0) + n(0.0);
    t += n(0.0) + n(0.0);
    t += ";widths \n" + platform::FormatC("%d\n%d\n", 2, 2);
    return t;
}

std::optional<std::filesystem::path> ConvertGridToBitmap(const BitmapJob& job, QuorlinUi& ui, int& busy) {
    const bool bmp = Lower(FileExtension(job.output)) == "bmp";
    if (!(bmp ? ConvertToBmpFile(job, ui, busy) : ConvertToPictureFile(job, ui, busy))) return std::nullopt;
    const std::filesystem::path calibration = ReplaceExtension(job.output, "flt");
    if (platform::ReplaceWholeFile(calibration, CalibrationText(job.output, job.grid))) {
        ui.Message("Error opening Output file", Icon::kStop);
        return std::nullopt;
    }
    return calibration;
}

}  // namespace quorlin
