#pragma once
// Loading the elevation model named by "DEMheaderFile".

#include <string_view>

namespace map {

enum class ElevationLoad {
    kNoFile,            // no header file named
    kLoaded,            // the model is installed (core::SetElevationModel)
    kHeaderUnreadable,  // the header could not be read
    kDataUnmappable,    // the header was read but its grid could not be mapped
};

// Reads the header, then maps its grid and installs the model.
ElevationLoad LoadElevationModel(std::wstring_view headerFile);

}  // namespace map
