#include "tools/quorlin/ascii_grid.h"

#include <string>

#include "platform/numbers.h"
#include "tools/quorlin/grid_files.h"

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

// Reads the next value as "%d" reads its token; false at the end of the
// data, on an over-long token or one that is no number.
bool NextValue(const std::string& text, std::size_t& position, std::int32_t& value) {
    const std::size_t size = text.size();
    while (position < size && text[position] != '-' && !IsDigit(text[position])) ++position;
    if (position >= size) return false;
    const std::size_t start = position;
    while (position < size && text[position] != '\n' && text[position] != '\r' && text[position] != ' ' &&
           text[position] != '\t') {
        ++position;
    }
    if (position - start > kMaxToken) return false;
    std::size_t i = start;
    const bool negative = text[i] == '-';
    if (negative) ++i;
    if (i >= position || !IsDigit(text[i])) return false;
    std::int64_t magnitude = 0;
    for (; i < position && IsDigit(text[i]); ++i) {
        if (magnitude <= 2147483648LL) magnitude = magnitude * 10 + (text[i] - '0');
    }
    if (negative) value = magnitude >= 2147483648LL ? INT32_MIN : static_cast<std::int32_t>(-magnitude);
    else value = magnitude >= 2147483647LL ? INT32_MAX : static_cast<std::int32_t>(magnitude);
    return true;
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
    if (position == std::string::npos || !g.cellSizeGiven || g.rows == 0 || g.columns == 0) {
        ui.Message(kHeaderError, Icon::kStop);
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
            if (!NextValue(text, position, value)) {
                ui.Progress("");
                ui.Message(kHeaderError, Icon::kStop);
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
