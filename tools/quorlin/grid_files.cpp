#include "tools/quorlin/grid_files.h"

#include <unistd.h>

#include <cerrno>

#include "platform/numbers.h"

namespace quorlin {

std::string GridHeaderText(const std::filesystem::path& gridPath, const ElevationGridHeader& g,
                           const HeaderValues& v) {
    const std::string name = gridPath.filename().string();
    const std::string title = EqualIgnoringCase(FileExtension(gridPath), "bin") ? FileStem(gridPath) : name;
    std::string t;
    t += "file_title               =" + title + "\r\n";
    t += "data_type                = raster\r\n";
    t += "grid_cell_registration   = center\r\n";
    t += "map_projection           = Lat/Lon\r\n";
    t += platform::FormatC("left_map_x               =%.14lf\r\n", -g.west);
    t += platform::FormatC("right_map_x               =%.14lf\r\n", -g.east);
    t += platform::FormatC("upper_map_y              =%.14lf\r\n", g.north);
    t += platform::FormatC("lower_map_y              =%.14lf\r\n", g.south);
    t += platform::FormatC("number_of_rows           =%d\r\n", static_cast<int>(g.rows));
    t += platform::FormatC("number_of_columns        =%d\r\n", static_cast<int>(g.columns));
    t += platform::FormatC("elev_m_min               =%d\r\n", v.lowest);
    t += platform::FormatC("elev_m_max               =%d\r\n", v.highest);
    t += platform::FormatC("elev_m_missing_flag      =%d\r\n", v.missing);
    t += "data_byte_order          = little_endian";
    return t;
}

std::filesystem::path HeaderPathOf(const std::filesystem::path& gridPath) {
    return ReplaceExtension(gridPath, "hdr");
}

std::error_code WriteGridHeader(const std::filesystem::path& gridPath, const ElevationGridHeader& grid,
                                const HeaderValues& values) {
    return platform::ReplaceWholeFile(HeaderPathOf(gridPath), GridHeaderText(gridPath, grid, values));
}

GridWriter::GridWriter(const std::filesystem::path& path) : replacement_(path) {
    buffer_.reserve(kFlushBytes + 2);
}

bool GridWriter::Flush() {
    std::size_t done = 0;
    while (!failed_ && done < buffer_.size()) {
        const ssize_t n = ::write(replacement_.Fd(), buffer_.data() + done, buffer_.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) failed_ = true;
        else done += static_cast<std::size_t>(n);
    }
    buffer_.clear();
    return !failed_;
}

std::error_code GridWriter::Commit() {
    if (!Flush()) return std::make_error_code(std::errc::io_error);
    return replacement_.Commit();
}

bool ReadFile(const std::filesystem::path& path, std::string& bytes) {
    return !platform::ReadWholeFile(path, bytes, std::size_t{1} << 32);
}

}  // namespace quorlin
