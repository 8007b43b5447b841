#include "tools/quorlin/ascii_grid.h"

#include <cmath>
#include <string>

#include "platform/numbers.h"
#include "tools/quorlin/grid_files.h"
#include "tools/quorlin/input_checks.h"

namespace quorlin {
namespace {

constexpr std::size_t kMaxToken = 1024;
constexpr char kHeaderError[] = "Error Reading Data file header";

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The offset of the first line that begins (after blanks) with an optionally
// signed digit; npos when the file has none or a header line before it is
// too long.
std::size_t DataStart(const std::string& text) {
    std::size_t position = 0;
    while (position < text.size()) {
        std::size_t end = text.find_first_of("\r\n", position);
        if (end == std::string::npos) end = text.size();
        std::size_t i = position;
        while (i < end && (text[i] == ' ' || text[i] == '\t' || text[i] == '\v' || text[i] == '\f')) ++i;
        if (i < end && (text[i] == '-' || text[i] == '+')) ++i;
        if (i < end && IsDigit(text[i])) return position;
        // Data lines may be long; a header line may not.
        if (end - position > kMaxToken) return std::string::npos;
        position = end + 1;
        if (position < text.size() && (text[position] == '\r' || text[position] == '\n')) ++position;
    }
    return std::string::npos;
}

enum class ValueRead { kValue, kEnd, kBad };

// Reads the next value as "%d" reads its token: kEnd at the end of the
// data, kBad for an over-long token or one that is no number.
ValueRead NextValue(const std::string& text, std::size_t& position, std::int32_t& value) {
    const std::size_t size = text.size();
    while (position < size && text[position] != '-' && !IsDigit(text[position])) ++position;
    if (position >= size) return ValueRead::kEnd;
    const std::size_t start = position;
    while (position < size && text[position] != '\n' && text[position] != '\r' && text[position] != ' ' &&
           text[position] != '\t') {
        ++position;
    }
    if (position - start > kMaxToken) return ValueRead::kBad;
    std::size_t i = start;
    const bool negative = text[i] == '-';
    if (negative) ++i;
    if (i >= position || !IsDigit(text[i])) return ValueRead::kBad;
    std::int64_t magnitude = 0;
    for (; i < position && IsDigit(text[i]); ++i) {
        if (magnitude <= 2147483648LL) magnitude = magnitude * 10 + (text[i] - '0');
    }
    if (negative) value = magnitude >= 2147483648LL ? INT32_MIN : static_cast<std::int32_t>(-magnitude);
    else value = magnitude >= 2147483647LL ? INT32_MAX : static_cast<std::int32_t>(magnitude);
    return ValueRead::kValue;
}

std::string NoValue(const char* key) {
    return platform::FormatC("Its header gives no \"%s\" value.", key);
}

// What keeps the header from placing the grid on the globe; empty when
// nothing does. `dataBytes` is what follows the header.
std::string HeaderProblem(const ElevationGridHeader& g, std::size_t dataBytes) {
    if (g.columns == 0) return NoValue("ncols");
    if (g.rows == 0) return NoValue("nrows");
    if (!g.xGiven) return NoValue("xllcorner");
    if (!g.yGiven) return NoValue("yllcorner");
    if (!g.cellSizeGiven) return NoValue("cellsize");
    if (!(g.cellWidth > 0.0) || !(g.cellHeight > 0.0) || !std::isfinite(g.cellWidth) ||
        !std::isfinite(g.cellHeight)) {
        return "Its cell size is not a number above 0.";
    }
    if (!InGeographicRange(-g.west, g.south) || !InGeographicRange(-g.east, g.north)) {
        return platform::FormatC(
            "Its corners (%.6g, %.6g) and (%.6g, %.6g) lie outside the longitudes -180 to 180 and latitudes -90 "
            "to 90: only grids in degrees can be converted.",
            -g.west, g.south, -g.east, g.north);
    }
    // Every value takes a digit and a separator, the last one a digit.
    const std::uint64_t values = static_cast<std::uint64_t>(g.rows) * g.columns;
    if (values * 2 - 1 > dataBytes) {
        return platform::FormatC("Its header claims %u rows of %u values, more than the %llu bytes after it hold.",
                                 g.rows, g.columns, static_cast<unsigned long long>(dataBytes));
    }
    return {};
}

}  // namespace

bool ConvertAsciiGrid(const AsciiGridJob& job, QuorlinUi& ui) {
    const ElevationGridHeader& g = job.grid;
    std::string text;
    if (!ReadFile(job.input, text)) {
        ui.Message("Error opening Data file", Icon::kStop);
        return false;
    }
    std::size_t position = DataStart(text);
    if (position == std::string::npos) {
        ui.Message(InputProblemText(kHeaderError, job.input, "It holds no line of values, or a header line is longer than 1,024 characters."), Icon::kStop);
        return false;
    }
    if (const std::string problem = HeaderProblem(g, text.size() - position); !problem.empty()) {
        ui.Message(InputProblemText(kHeaderError, job.input, problem), Icon::kStop);
        return false;
    }
    GridWriter writer(job.output);
    if (!writer.Opened()) {
        ui.Message("Error opening Output file", Icon::kStop);
        return false;
    }
    std::int16_t lowest = g.missing, highest = g.missing;
    bool counted = false;
    for (std::uint32_t row = 0; row < g.rows; ++row) {
        if (row % 10 == 0) ui.Progress(platform::FormatC("Row %d out of %d", static_cast<int>(row), static_cast<int>(g.rows)));
        ui.Pump();
        for (std::uint32_t column = 0; column < g.columns; ++column) {
            std::int32_t value = 0;
            if (const ValueRead read = NextValue(text, position, value); read != ValueRead::kValue) {
                ui.Progress("");
                const unsigned long long index = static_cast<unsigned long long>(row) * g.columns + column;
                const std::string problem =
                    read == ValueRead::kEnd
                        ? platform::FormatC("It ends after %llu of the %llu values its header claims.", index,
                                            static_cast<unsigned long long>(g.rows) * g.columns)
                        : platform::FormatC("Value %llu is not a whole number or is longer than %zu characters.",
                                            index + 1, kMaxToken);
                ui.Message(InputProblemText(kHeaderError, job.input, problem), Icon::kStop);
                return false;  // the writer removes its temporary file
            }
            const auto sample = static_cast<std::int16_t>(static_cast<std::uint16_t>(value));
            if (sample != g.missing) {
                if (!counted) {
                    lowest = highest = sample;
                    counted = true;
                } else if (sample > highest) {
                    highest = sample;
                } else if (sample < lowest) {
                    lowest = sample;
                }
                writer.Put(sample);
            } else {
                writer.Put(job.replaceMissing ? job.replacement : sample);
            }
        }
    }
    ui.Progress("");
    if (writer.Commit() || WriteGridHeader(job.output, g, {lowest, highest, g.missing})) {
        ui.Message("Error opening Output file", Icon::kStop);
        return false;
    }
    return true;
}

}  // namespace quorlin
