// The waypoint globals, defined together so that they are destroyed in the
// reverse order: the loader (which stops its thread) first, the list it
// publishes into last.
#include "nav/waypoint_file_open.h"
#include "nav/waypoint_list.h"
#include "nav/waypoint_loader.h"
#include "nav/waypoint_map_elements.h"

namespace nav {

WaypointList g_waypoints;
WaypointMapElements g_waypointMapElements;
CWaypointFile g_waypointFile;
WaypointLoader g_waypointLoader;

}  // namespace nav
