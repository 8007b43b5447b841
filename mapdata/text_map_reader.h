#pragma once
// The text map reader: ParseTextMap reads a ".map"/".mep" file, line by
// line, into map elements (labels and symbols, circles and arcs, point
// lists) in the targets of a read context. A file that carries the binary
// signature is read by ReadBinaryMap instead.
//
// Record lines are latitude d,m,s, longitude d,m,s (positive west), a
// record code and an optional text; '*' lines set the visible-scale values
// and '?' lines include another map (at most 16 deep, never a file already
// being read). Full-width forms are folded to ASCII before a line is read.
//
// Runs on the map read thread; polls the context's stop flag and waits
// while the map file's busy count is not 0 before each line.

#include <filesystem>

#include "mapdata/map_file.h"
#include "mapdata/map_read_context.h"

namespace mapdata {

// Includes nest at most this deep.
inline constexpr int kMaxIncludeDepth = 16;

// Reads mapFile (open, its header read) into the context, '*' values scaled
// by sizeFactor. True when the file was read to its end or the read was
// stopped; false with context.error set when memory ran out or a binary map
// was too new or damaged (the elements built before stay in the targets).
bool ParseTextMap(MapReadContext& context, CMapFile& mapFile, float sizeFactor = 1.0F);

// Opens the map at path, reads its header and then the whole map into the
// context, for tools and tests that read a map outside the map window.
// False when the file does not open, its header is refused, or the read
// fails as ParseTextMap's does.
bool ReadMapAt(const std::filesystem::path& path, MapReadContext& context);

}  // namespace mapdata
