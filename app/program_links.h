#pragma once
// Every link between the program's layers that start-up makes, in one
// place: the links the map window serves (app/map_view_links.h), the port
// reader's services and the FLARM transfer, the own team code, the
// destination's listener, the speed-to-fly courses, the waypoint file
// dialog, the waypoints' map symbols and the replay's hooks and steps.
//
// A lower layer cannot name what serves it, so each of these is a global
// installer with a built-in default that does nothing; the list below says
// for each whether the program's own link is in place, and start-up checks
// it. UI thread.

#include <string_view>
#include <vector>

#include "gps/port_services.h"

namespace map {
class CGPSmapView;
}

namespace app {

// Installs every link; the main window (and with it the map window) exists
// and the GPS port is not open yet. The port reader's services live as long
// as the program.
void InstallProgramLinks(gps::PortReaderServices& portServices, map::CGPSmapView* mapView);
// Back to the built-in defaults (exit).
void RemoveProgramLinks();

struct LinkState {
    std::string_view name;
    bool installed = false;
};
// Each global link and whether the program's own is installed now.
std::vector<LinkState> ProgramLinkStates();

}  // namespace app
