// Reads arbitrary bytes as an ASCII grid: its header as every input type
// reads headers, then, when the grid it describes is small, the conversion
// to a 16-bit grid. The conversion either writes exactly rows x columns
// samples and a header the flight computer accepts, or reports an error and
// leaves no grid behind.
#include <unistd.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

#include "fuzz/fuzz_support.h"
#include "fuzz/quorlin_fuzz_support.h"
#include "mapdata/grid_header.h"
#include "platform/whole_file.h"
#include "tools/quorlin/ascii_grid.h"

namespace {

using fuzz::Check;

using fuzz::CountingUi;

// The run's own folder for the files converted, removed at exit.
struct RunFolder {
    std::filesystem::path path = std::filesystem::temp_directory_path() / ("quorlin-fuzz-" + std::to_string(::getpid()));
    RunFolder() { std::filesystem::create_directories(path); }
    ~RunFolder() {
        std::error_code error;
        std::filesystem::remove_all(path, error);
    }
};

const std::filesystem::path& Folder() {
    static const RunFolder folder;
    return folder.path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    for (int type = 0; type <= 5; ++type) {
        const auto reading = quorlin::ReadGridHeader(text, type, type == 1);
        // A complete header gives its cell size from its edges.
        if (reading.header.complete && reading.header.columns > 0) {
            const double width = (reading.header.west - reading.header.east) / reading.header.columns;
            Check(width == reading.header.cellWidth || std::isnan(width));
        }
    }
    const quorlin::ElevationGridHeader header = quorlin::ReadGridHeader(text, quorlin::kAsciiGrid).header;
    if (header.GridBytes() == 0 || header.GridBytes() > (1u << 16)) return 0;
    const std::filesystem::path input = Folder() / "in.asc", output = Folder() / "out.bin";
    Check(!platform::ReplaceWholeFile(input, text));
    std::error_code error;
    std::filesystem::remove(output, error);
    std::filesystem::remove(Folder() / "out.hdr", error);
    CountingUi ui;
    const bool converted = quorlin::ConvertAsciiGrid({input, output, header, false, 0}, ui);
    if (!converted) {
        Check(ui.messages == 1 && !std::filesystem::exists(output));
        return 0;
    }
    Check(std::filesystem::file_size(output) == header.GridBytes());
    std::string written;
    Check(!platform::ReadWholeFile(Folder() / "out.hdr", written, 1 << 16));
    // Every header written places the grid on the globe, and the flight
    // computer reads it.
    const auto parsed = mapdata::ParseGridHeader(written);
    Check(parsed.has_value());
    Check(parsed->extent.rows == static_cast<int>(header.rows) || header.rows > 0x7FFFFFFF);
    return 0;
}
