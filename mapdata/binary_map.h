#pragma once
// Binary maps (".gpm"): the element lists of a loaded map stored so that a
// large text map need not be parsed again. Layout: the signature line, the
// text header line of the map they came from (one byte per character), the
// element records (binary_map_records.h), the end marker 0xFFFFFFFF.
//
// WriteBinaryMap writes version 8 and replaces the file whole (a temporary
// file renamed over it), so a map file object open on the old file must be
// reopened before anything appends to it. ReadBinaryMap runs on the map
// read thread with its read context.

#include <filesystem>
#include <string>
#include <string_view>

#include "mapdata/map_file.h"
#include "mapdata/map_read_context.h"

namespace mapdata {

// The lists a binary map stores, in this order; the overlay is never
// stored.
struct BinaryMapLists {
    const ElementList& general;
    const ElementList& zones;
    const ElementList& symbols17;
    const ElementList& symbols27;
};

// The whole file: signature, header line (cut at 510 characters), records
// with the type-27 mark set for symbols27 only, end marker.
std::string BuildBinaryMap(const BinaryMapLists& lists, std::wstring_view headerText);

// Builds the map and replaces the file at path with it; false (the old file
// untouched) when the write failed.
bool WriteBinaryMap(const BinaryMapLists& lists, std::wstring_view headerText,
                    const std::filesystem::path& path);

// Reads the records of mapFile (its header read, binary) into the context's
// targets: zone circles and point lists to zones, marked elements to
// symbols27, point lists of type 17 to symbols17, the rest to general; zone
// pairs get their numbers from the context's counter. Returns true at the
// end marker, at the end of the data, and when stopped (mapFile.recordsEnd
// then tells where records may be appended, 0 when nowhere). False with
// context.error set when the version is above 8, a record is damaged (the
// elements before it stay) or memory ran out.
bool ReadBinaryMap(MapReadContext& context, CMapFile& mapFile);

}  // namespace mapdata
