#include "mapdata/elevation_model.h"

#include "platform/whole_file.h"

namespace mapdata {
namespace {

// A header is a few hundred bytes; anything far larger is no header.
constexpr std::size_t kMaxHeaderBytes = 1 << 20;

}  // namespace

bool CElevationModel::ParseHeader(const std::filesystem::path& headerPath) {
    headerPath_ = headerPath;
    header_.reset();
    gridPath_.clear();
    std::string text;
    if (platform::ReadWholeFile(headerPath, text, kMaxHeaderBytes)) return false;
    header_ = ParseGridHeader(text);
    if (!header_) return false;
    gridPath_ = GridFilePath(headerPath, *header_);
    return true;
}

bool CElevationModel::MapDataFile() {
    grid_.reset();
    if (!header_) return false;
    grid_ = MappedGrid::Open(gridPath_, *header_);
    return grid_ != nullptr;
}

void CElevationModel::Close() {
    grid_.reset();
    header_.reset();
    headerPath_.clear();
    gridPath_.clear();
}

std::optional<float> CElevationModel::GetElevationAt(double longitude, double latitude,
                                                     bool inDegrees) const {
    if (!grid_) return std::nullopt;
    if (inDegrees) {
        longitude *= kGridRadiansPerDegree;
        latitude *= kGridRadiansPerDegree;
    }
    return grid_->GetElevationAt(longitude, latitude);
}

}  // namespace mapdata
