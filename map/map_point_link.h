#pragma once
// The map window as the text map file the new-waypoint dialog writes its
// map points into (nav::MapPointFile). Start-up installs it once the map
// window exists; once the window is gone the link writes nothing. UI
// thread.

#include <memory>

#include "nav/map_point_file.h"

namespace map {

class CGPSmapView;

std::shared_ptr<nav::MapPointFile> MakeMapPointLink(CGPSmapView& view);

}  // namespace map
