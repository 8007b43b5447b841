// Extract, Create, Insert and Set Output Bounds: grid files cut from, made
// for and pasted into other grids, and the rectangle chart layers keep.
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <system_error>
#include <vector>

#include "platform/numbers.h"
#include "platform/unique_fd.h"
#include "tools/quorlin/grid_files.h"
#include "tools/quorlin/grid_geometry.h"
#include "tools/quorlin/positioned_io.h"
#include "tools/quorlin/quorlin_model.h"

namespace quorlin {
namespace {

constexpr char kNorthWest[] = "\nEnter NORTH-WEST corner coordinates";
constexpr char kSouthEast[] = "\nEnter SOUTH-EAST corner coordinates";
constexpr char kTooFarSouthEast[] = "Values too far South or East";
constexpr char kTooFarNorthWest[] = "Values too far North or West";
constexpr char kBinQuestion[] = "Output file does not have BIN extension\n\nDo you want to continue?";
constexpr char kOverwrite[] = "Output file already exists !!!\n\nAre you sure you want to overwrite it?";
constexpr char kDifferent[] = "Data and Output files have to be different";

bool GridFileExists(const std::filesystem::path& path) {
    std::error_code error;
    return std::filesystem::exists(path, error);
}

bool SameStem(const std::filesystem::path& a, const std::filesystem::path& b) {
    if (EqualIgnoringCase((a.parent_path() / FileStem(a)).string(), (b.parent_path() / FileStem(b)).string())) {
        return true;
    }
    std::error_code error;
    return std::filesystem::equivalent(a, b, error) && !error;
}

long Truncate(double v) {
    if (!std::isfinite(v)) return 0;
    return static_cast<long>(std::clamp(v, -2e9, 2e9));
}

long Floor(double v) { return Truncate(std::floor(v)); }

void RowProgress(QuorlinUi& ui, long row, long rows) {
    if (row % 10 == 0) ui.Progress(platform::FormatC("Row %ld out of %ld", row, rows));
    ui.Pump();
}

std::int16_t Decode(const char* p, bool littleEndian) {
    const auto b0 = static_cast<std::uint8_t>(p[0]), b1 = static_cast<std::uint8_t>(p[1]);
    return static_cast<std::int16_t>(littleEndian ? b0 | b1 << 8 : b1 | b0 << 8);
}

void Encode(char* p, std::int16_t v, bool littleEndian) {
    const auto u = static_cast<std::uint16_t>(v);
    p[littleEndian ? 0 : 1] = static_cast<char>(u & 0xFF);
    p[littleEndian ? 1 : 0] = static_cast<char>(u >> 8);
}

// A header of the converter's own form, whose range may be rewritten.
bool OwnHeaderForm(const std::string& text, const ElevationGridHeader& h) {
    return h.littleEndian && Lower(text).find("elev_m_missing_flag") != std::string::npos &&
           Lower(text).find("left_map_x") != std::string::npos;
}

std::optional<std::pair<ElevationGridHeader, std::string>> LoadHeader(const std::filesystem::path& grid) {
    std::string text;
    if (!ReadFile(CompanionFile(grid, FileStem(grid) + ".hdr"), text)) return std::nullopt;
    ElevationGridHeader h = ReadGridHeader(text, kElevationGrid).header;
    return std::make_pair(h, text);
}

}  // namespace

void QuorlinModel::OnExtract() {
    if (state.busy) return;
    QuorlinState& s = state;
    if (!EqualIgnoringCase(FileExtension(s.outputPath), "bin") && !ui_.Ask(kBinQuestion)) return;
    if (SameStem(s.inputPath, s.outputPath)) return ui_.Message(kDifferent, Icon::kStop);
    if (GridFileExists(s.outputPath) && !ui_.Ask(kOverwrite)) return;
    SaveReplaceMissing(settings_, s.options.replaceMissing, s.options.replaceMissingValue);
    const ElevationGridHeader g = s.grid;
    std::string samples;
    if (!ReadFile(s.inputPath, samples)) return ui_.Message("Error opening Data file", Icon::kStop);
    if (g.rows == 0 || g.columns == 0 || samples.size() != g.GridBytes()) {
        return ui_.Message("File length does not match specified size", Icon::kStop);
    }
    const double cw = g.cellWidth, ch = g.cellHeight;
    Corner nw{g.west, g.north};
    long c0 = 0, r0 = 0;
    for (;;) {
        const auto answer = ui_.InputCoordinates(kNorthWest, nw);
        if (!answer) return;
        nw = *answer;
        nw.longitude = std::min(nw.longitude, g.west);
        nw.latitude = std::min(nw.latitude, g.north);
        if (nw.latitude < g.south || nw.longitude < g.east) {
            ui_.Message(kTooFarSouthEast, Icon::kInformation);
            continue;
        }
        c0 = Truncate((g.west - nw.longitude) / cw);
        r0 = Truncate((g.north - nw.latitude) / ch);
        nw = {g.west - c0 * cw, g.north - r0 * ch};
        break;
    }
    Corner se{g.east, g.south};
    long n = 0, m = 0;
    for (;;) {
        const auto answer = ui_.InputCoordinates(kSouthEast, se);
        if (!answer) return;
        se = *answer;
        se.longitude = std::max(se.longitude, g.east);
        se.latitude = std::max(se.latitude, g.south);
        if (se.latitude > nw.latitude - ch || se.longitude > nw.longitude - cw) {
            ui_.Message(kTooFarNorthWest, Icon::kInformation);
            continue;
        }
        n = std::min(Truncate((nw.longitude - se.longitude) / cw + 0.5), static_cast<long>(g.columns) - c0);
        m = std::min(Truncate((nw.latitude - se.latitude) / ch + 0.5), static_cast<long>(g.rows) - r0);
        se = {nw.longitude - n * cw, nw.latitude - m * ch};
        break;
    }
    if (n <= 0 || m <= 0) return ui_.Message(kTooFarNorthWest, Icon::kInformation);
    GridWriter writer(s.outputPath);
    if (!writer.Opened()) return ui_.Message("Error opening Output file", Icon::kStop);
    const std::int16_t missing = g.missing;
    std::int16_t lowest = missing, highest = missing;
    bool counted = false;
    {
        BusyScope scope(ui_, s.busy);
        for (long i = 0; i < m; ++i) {
            RowProgress(ui_, i, m);
            const std::uint64_t first = static_cast<std::uint64_t>(r0 + i) * g.columns + static_cast<std::uint64_t>(c0);
            for (long j = 0; j < n; ++j) {
                const std::int16_t v = SampleAt(samples, first + static_cast<std::uint64_t>(j), g.littleEndian);
                if (v == missing) {
                    writer.Put(s.options.replaceMissing ? s.options.replaceMissingValue : v);
                    continue;
                }
                writer.Put(v);
                if (!counted) lowest = highest = v, counted = true;
                else highest = std::max(highest, v), lowest = std::min(lowest, v);
            }
        }
        ui_.Progress("");
    }
    ElevationGridHeader out = g;
    out.west = nw.longitude, out.north = nw.latitude, out.east = se.longitude, out.south = se.latitude;
    out.rows = static_cast<std::uint32_t>(m), out.columns = static_cast<std::uint32_t>(n);
    if (writer.Commit() || WriteGridHeader(s.outputPath, out, {lowest, highest, missing})) {
        ui_.Message("Error opening Output file", Icon::kStop);
    }
}

void QuorlinModel::OnCreateEmptyGrid() {
    if (state.busy) return;
    QuorlinState& s = state;
    if (!EqualIgnoringCase(FileExtension(s.outputPath), "bin")) {
        return ui_.Message("Output file does not have BIN extension", Icon::kStop);
    }
    if (GridFileExists(s.outputPath) && !ui_.Ask(kOverwrite)) return;
    double res = 1.0 / 120.0;
    if (ui_.Ask("Do you want to create HIGH RESOLUTION (90m) file?", "Map resolution")) res /= 10.0;
    const ElevationGridHeader& g = s.grid;
    Corner nw{g.west, g.north};
    for (;;) {
        const auto answer = ui_.InputCoordinates(kNorthWest, nw);
        if (!answer) return;
        nw.longitude = std::min(std::floor(answer->longitude / res + 0.5) * res, 180.0);
        nw.latitude = std::min(std::floor(answer->latitude / res + 0.5) * res, 90.0);
        if (nw.latitude < -90.0 || nw.longitude < -180.0) {
            ui_.Message(kTooFarSouthEast, Icon::kInformation);
            continue;
        }
        break;
    }
    Corner se{g.east, g.south};
    long n = 0, m = 0;
    for (;;) {
        const auto answer = ui_.InputCoordinates(kSouthEast, se);
        if (!answer) return;
        se.longitude = std::max(answer->longitude, -180.0);
        se.latitude = std::max(answer->latitude, -90.0);
        if (se.latitude > nw.latitude - res || se.longitude > nw.longitude - res) {
            ui_.Message(kTooFarNorthWest, Icon::kInformation);
            continue;
        }
        n = Truncate((nw.longitude - se.longitude) / res + 0.5);
        m = Truncate((nw.latitude - se.latitude) / res + 0.5);
        se = {nw.longitude - n * res, nw.latitude - m * res};
        break;
    }
    if (n <= 0 || m <= 0) return ui_.Message(kTooFarNorthWest, Icon::kInformation);
    GridWriter writer(s.outputPath);
    if (!writer.Opened()) return ui_.Message("Error opening Output file", Icon::kStop);
    {
        BusyScope scope(ui_, s.busy);
        for (long i = 0; i < m; ++i) {
            RowProgress(ui_, i, m);
            for (long j = 0; j < n; ++j) writer.Put(g.missing);
        }
        ui_.Progress("");
    }
    ElevationGridHeader out;
    out.west = nw.longitude, out.north = nw.latitude, out.east = se.longitude, out.south = se.latitude;
    out.rows = static_cast<std::uint32_t>(m), out.columns = static_cast<std::uint32_t>(n);
    if (writer.Commit() || WriteGridHeader(s.outputPath, out, {g.missing, g.missing, g.missing})) {
        ui_.Message("Error opening Output file", Icon::kStop);
    }
}

void QuorlinModel::OnInsert() {
    if (state.busy) return;
    QuorlinState& s = state;
    if (!EqualIgnoringCase(FileExtension(s.outputPath), "bin")) {
        return ui_.Message("Output file does not have BIN extension", Icon::kExclamation);
    }
    if (SameStem(s.inputPath, s.outputPath)) return ui_.Message(kDifferent, Icon::kStop);
    if (!GridFileExists(s.outputPath))
        return ui_.Message("Output file does not already exists", Icon::kStop);
    const auto target = LoadHeader(s.outputPath);
    if (!target) return ui_.Message("Output File information file unavailable", Icon::kStop);
    ElevationGridHeader out = target->first;
    if (out.rows == 0 || out.columns == 0) return ui_.Message("File length does not match specified output file size", Icon::kStop);
    out.cellWidth = (out.west - out.east) / out.columns;
    out.cellHeight = (out.north - out.south) / out.rows;
    const bool tracking = out.highest > -2000 || out.highest == out.missing;
    double lowest = out.lowest == out.missing ? 100000.0 : out.lowest;
    double highest = out.highest == out.missing ? -100000.0 : out.highest;

    const auto source = LoadHeader(s.inputPath);
    if (!source) return ui_.Message("Input File information file unavailable", Icon::kStop);
    s.grid = source->first;
    s.texts = TextsOf(s.grid);
    const ElevationGridHeader& in = s.grid;
    if (in.rows == 0 || in.columns == 0) return ui_.Message("File length does not match specified input file size", Icon::kStop);
    const double cw = out.cellWidth, ch = out.cellHeight;
    if (!(cw > 0 && ch > 0) || std::fabs(in.cellWidth - cw) > 0.000005 || std::fabs(in.cellHeight - ch) > 0.000005) {
        return ui_.Message("Resolution of maps does not match", Icon::kStop);
    }
    if (in.west <= out.east || in.east >= out.west || in.south >= out.north || in.north <= out.south) {
        return ui_.Message("Maps do not overlap", Icon::kStop);
    }
    platform::UniqueFd input(::open(s.inputPath.c_str(), O_RDONLY | O_CLOEXEC));
    if (!input) return ui_.Message("Error opening input data file", Icon::kStop);
    std::error_code error;
    if (std::filesystem::file_size(s.inputPath, error) != in.GridBytes() || error) {
        return ui_.Message("File length does not match specified input file size", Icon::kStop);
    }
    platform::UniqueFd output(::open(s.outputPath.c_str(), O_RDWR | O_CLOEXEC));
    if (!output) return ui_.Message("Error opening Output file", Icon::kStop);
    if (std::filesystem::file_size(s.outputPath, error) != out.GridBytes() || error) {
        return ui_.Message("File length does not match specified output file size", Icon::kStop);
    }
    const long k = Floor((in.west - out.west) / cw + 0.001);
    const long inColumn = std::max(k, 0L), outColumn = std::max(-k, 0L);
    const long j = Floor((in.north - out.north) / ch + 0.001);
    const long inRow = std::max(j, 0L), outRow = std::max(-j, 0L);
    // What is left in both grids bounds the copy.
    long columns = std::min(Floor((in.west - out.east) / cw - inColumn + 0.001),
                            Floor((in.west - in.east) / cw - inColumn + 0.001));
    long rows = std::min(Floor((in.north - out.south) / ch - inRow + 0.001),
                         Floor((in.north - in.south) / ch - inRow + 0.001));
    columns = std::min({columns, static_cast<long>(in.columns) - inColumn, static_cast<long>(out.columns) - outColumn});
    rows = std::min({rows, static_cast<long>(in.rows) - inRow, static_cast<long>(out.rows) - outRow});
    bool counted = false;
    if (columns > 0 && rows > 0) {
        std::vector<char> from(static_cast<std::size_t>(columns) * 2), to(from.size());
        BusyScope scope(ui_, s.busy);
        for (long i = 0; i < rows; ++i) {
            RowProgress(ui_, i, rows);
            const std::uint64_t inOffset = (static_cast<std::uint64_t>(i + inRow) * in.columns + inColumn) * 2;
            const std::uint64_t outOffset = (static_cast<std::uint64_t>(i + outRow) * out.columns + outColumn) * 2;
            if (!ReadAt(input.Get(), from.data(), from.size(), inOffset) ||
                !ReadAt(output.Get(), to.data(), to.size(), outOffset)) {
                ui_.Progress("");
                return ui_.Message("Error opening input data file", Icon::kStop);
            }
            for (long c = 0; c < columns; ++c) {
                const std::int16_t v = Decode(&from[static_cast<std::size_t>(2 * c)], in.littleEndian);
                if (v == in.missing) continue;
                Encode(&to[static_cast<std::size_t>(2 * c)], v, out.littleEndian);
                highest = std::max(highest, static_cast<double>(v));
                lowest = std::min(lowest, static_cast<double>(v));
                counted = true;
            }
            if (!WriteAt(output.Get(), to.data(), to.size(), outOffset)) {
                ui_.Progress("");
                return ui_.Message("Error opening Output file", Icon::kStop);
            }
        }
        ui_.Progress("");
    }
    if (tracking && counted && OwnHeaderForm(target->second, target->first)) {
        WriteGridHeader(s.outputPath, out,
                        {static_cast<int>(lowest), static_cast<int>(highest), out.missing});
    }
}

bool QuorlinModel::SetOutputBounds() {
    if (state.busy) return false;
    return EnterOutputBounds();
}

bool QuorlinModel::EnterOutputBounds() {
    QuorlinState& s = state;
    const ElevationGridHeader& g = s.grid;
    // The corners are entered, clamped and checked with longitudes positive
    // west, as the grid header keeps them.
    const core::GeoBox defaults = s.resetOutputBounds ? GridBox(g) : s.outputBounds;
    Corner nw{-defaults.west, defaults.north};
    for (;;) {
        const auto answer = ui_.InputCoordinates(kNorthWest, nw);
        if (!answer) return false;
        nw = {std::min(answer->longitude, g.west), std::min(answer->latitude, g.north)};
        if (nw.latitude < g.south || nw.longitude < g.east) {
            ui_.Message(kTooFarSouthEast, Icon::kInformation);
            continue;
        }
        break;
    }
    s.outputBounds.north = nw.latitude;
    s.outputBounds.west = -nw.longitude;
    Corner se{-defaults.east, defaults.south};
    for (;;) {
        const auto answer = ui_.InputCoordinates(kSouthEast, se);
        if (!answer) return false;
        se = {std::max(answer->longitude, g.east), std::max(answer->latitude, g.south)};
        if (se.latitude > nw.latitude || se.longitude > nw.longitude) {
            ui_.Message(kTooFarNorthWest, Icon::kInformation);
            continue;
        }
        break;
    }
    s.outputBounds.south = se.latitude;
    s.outputBounds.east = -se.longitude;
    s.mapScale = GreatCircleMiles(nw.latitude, -nw.longitude, se.latitude, -se.longitude);
    s.resetOutputBounds = false;
    return true;
}

}  // namespace quorlin
