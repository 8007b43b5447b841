#pragma once
// A text listing of a read context's element lists, one element per line
// (points of point lists on the lines after it), for the mapdump tool and
// for tests that compare what a map reads into. Angles are degrees
// (longitude positive west), radii kilometres, strings UTF-8 with CR and LF
// shown as \r and \n. Numbers in the C locale.

#include <string>

#include "mapdata/map_read_context.h"

namespace mapdata {

std::string DumpElement(const CMapElement& element);
std::string DumpMapLists(const MapReadContext& context);

}  // namespace mapdata
