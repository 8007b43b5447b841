#pragma once
// The flight computer's one elevation model: loaded at start-up from
// "DEMheaderFile" and replaced by the DEM file command. Every load installs
// the mapped grid with core::SetElevationModel (null when none could be
// mapped), so readers on other threads keep a replaced grid until they let
// go of it.
//
// User-interface thread only.

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "mapdata/elevation_model.h"

namespace map {

enum class ElevationLoad {
    kNoFile,            // no header file named
    kLoaded,            // the model is installed (core::SetElevationModel)
    kHeaderUnreadable,  // the header could not be read
    kDataUnmappable,    // the header was read but its grid could not be mapped
};

// The model itself (its header path is the DEM dialog's starting point).
mapdata::CElevationModel& ElevationModel();

// Replaces the model by the grid of headerFile (none when it is empty):
// Close, ParseHeader, then MapDataFile, and installs what it got.
ElevationLoad LoadElevationModel(std::wstring_view headerFile);

// How the DEM file command asks for a header (command 32827): the frame
// shows a file dialog with these.
struct DemFileDialog {
    std::wstring title;        // "DEM Data info"
    std::wstring wildcard;     // header files, then all files
    std::wstring defaultExtension;  // "hdr"
    std::wstring folder;       // the current header's folder, or empty
    std::wstring fileName;     // the current header's name, or empty
};
DemFileDialog DemFileDialogFor(const std::filesystem::path& currentHeader);

// The rest of the DEM file command once the dialog has closed: with a
// chosen header (nothing on Cancel), loads it; a header that is accepted is
// stored as "DEMheaderFile" ("Settings") even when its grid then cannot be
// mapped (box 2134); a refused header shows box 2133 and leaves the setting
// alone. Then, whatever happened, asks the map to redraw.
ElevationLoad ApplyDemFileChoice(const std::optional<std::wstring>& chosen,
                                 const std::function<void()>& redraw);

}  // namespace map
