#include "map/elevation_file.h"

namespace map {

// The elevation grid reader fills this in; until then no header is read.
ElevationLoad LoadElevationModel(std::wstring_view headerFile) {
    return headerFile.empty() ? ElevationLoad::kNoFile : ElevationLoad::kHeaderUnreadable;
}

}  // namespace map
