#pragma once
// Message numbers that threads post to windows, and the ids under which the
// windows that receive them are registered.
//
// The numbers keep their historic values (WM_USER + n, WM_APP + n): they are
// what other tools and logs know them by. Nothing here needs a window
// system; see platform/ui_post.h for how a message reaches its window.

namespace platform {

// Bases of the private message ranges.
inline constexpr unsigned WM_USER = 0x0400;
inline constexpr unsigned WM_APP = 0x8000;

// A command posted as if chosen from the menu: wParam is the command id.
inline constexpr unsigned WM_COMMAND = 0x0111;
// A sound-capture buffer is full (lParam: the buffer).
inline constexpr unsigned MM_WIM_DATA = 0x03C0;

// Messages between the parts of the flight computer.
inline constexpr unsigned WM_USER_MAPNEWFIX = WM_USER + 5;     // new navigation values
inline constexpr unsigned WM_USER_MAPFIXCOMMIT = WM_USER + 6;  // first fix after none
inline constexpr unsigned WM_USER_MAPKEY = WM_USER + 7;        // arrow key for the map
inline constexpr unsigned WM_USER_HIDEPOPUP = WM_USER + 10;
inline constexpr unsigned WM_USER_ICONBUTTON = WM_USER + 20;
inline constexpr unsigned WM_USER_DESTINATION_CHANGED = WM_USER + 23;
inline constexpr unsigned WM_USER_PICKROW = WM_USER + 200;
inline constexpr unsigned WM_USER_REPLAYDONE = WM_USER + 201;

inline constexpr unsigned WM_APP_MAPHOLD = WM_APP + 1;
inline constexpr unsigned WM_APP_CIRCLING = WM_APP + 4;
inline constexpr unsigned WM_APP_SHOWALTITUDE = WM_APP + 5;
inline constexpr unsigned WM_APP_REPLAYTAP = WM_APP + 7;
inline constexpr unsigned WM_APP_LOGWRITEERROR = WM_APP + 20;  // lParam: errno
inline constexpr unsigned WM_APP_SERIALDATA = WM_APP + 21;
inline constexpr unsigned WM_APP_REACH_READY = WM_APP + 31;
inline constexpr unsigned WM_APP_TEAMCODE = WM_APP + 33;
inline constexpr unsigned WM_APP_MAPREAD = WM_APP + 34;
inline constexpr unsigned WM_APP_WINDESTIMATE = WM_APP + 35;
inline constexpr unsigned WM_APP_MAPREDRAW = WM_APP + 36;
inline constexpr unsigned WM_APP_WAYPOINTSLOADED = WM_APP + 37;
inline constexpr unsigned WM_APP_PORTSTATUS = WM_APP + 38;  // lParam: new baud rate
// The GPS port was lost (lParam 1) or is back (lParam 2): the main window
// tells the pilot.
inline constexpr unsigned WM_APP_GPSLINK = WM_APP + 39;
// The start was given above a start limit: wParam the speed excess in
// tenths of a knot, lParam the altitude excess in feet.
inline constexpr unsigned WM_APP_STARTLIMITS = WM_APP + 0x1C;
// Play a sound (payload: the sound file's name as a std::wstring; lParam
// the low-altitude counter that asked for it).
inline constexpr unsigned WM_APP_PLAYSOUND = WM_APP + 0x1D;
// A reached task point's marking changed (wParam the task point, lParam 1).
inline constexpr unsigned WM_APP_TASKPOINTMARKED = WM_APP + 0x1E;
// The task target shown to the pilot changed (wParam 2, lParam 0).
inline constexpr unsigned WM_APP_TASKTARGETSHOWN = WM_APP + 0x20;
// Another instance asks the main window to come to the front; answers 1.
inline constexpr unsigned WM_APP_RAISEFRAME = WM_APP + 0x60;
// To the map: show a point with a radius (wParam 2) or follow the aircraft
// again (wParam 0); the payload is a map::MapFocusRequest.
inline constexpr unsigned WM_APP_MAPFOCUS = WM_APP + 0x61;

// The windows that messages are posted to. A window registers under its id
// while it exists (platform/gui/ui_bridge.h); a message for an id with no
// window is dropped.
using WindowId = int;
inline constexpr WindowId kMainFrameWindow = 1;
inline constexpr WindowId kMapViewWindow = 2;
inline constexpr WindowId kPosViewWindow = 3;
inline constexpr WindowId kGpsPortDialogWindow = 4;

}  // namespace platform
