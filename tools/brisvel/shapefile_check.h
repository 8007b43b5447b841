#pragma once
// A shapefile's three files checked before they are opened, so the user
// learns why one cannot be opened or what a damaged one will lack: the
// headers of the ".shp" and ".shx", every record the index points at (in
// the file, its counts within its length, its points finite and in
// degrees), and the ".dbf" table's header and length.
//
// Pure; any thread.

#include <filesystem>
#include <string>
#include <vector>

namespace brisvel {

struct ShapefileCheck {
    // Why the file cannot be opened at all; empty when it can.
    std::string fatal;
    // What a damaged file will lack, one sentence each; empty when sound.
    std::vector<std::string> damages;
    // False when the table is missing or damaged: names stay empty.
    bool tableUsable = true;
};

ShapefileCheck CheckShapefile(const std::filesystem::path& shp);

// The companion file of a shapefile with the given extension ("shx",
// "dbf"): the lower-case name when it exists, else the upper-case one
// when that exists, else the lower-case name.
std::filesystem::path CompanionOf(const std::filesystem::path& shp, const std::string& extension);

}  // namespace brisvel
