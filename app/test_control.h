#pragma once
// The program's own tests steer the running program through a file:
//  KOR_VAN_TEST_CONTROL=<file>  the program reads each line appended to it
//                               (polled every 100 ms on the UI thread) and
//                               answers in the test log (app/test_hooks.h).
// Commands and what they log:
//  texts            "text\t<name>\t<value>" for every display text, then
//                   "texts listed";
//  command <id>     posts WM_COMMAND <id> to the main window, as its menu does;
//  windows          "window\t<title>" for every modal dialog running, the
//                   innermost last, then "windows listed";
//  choose <name>    in the innermost dialog's list, selects the first row that
//                   begins with <name>: "chosen <row>" or "choose failed";
//  press <label>    clicks the front dialog's button of that label or
//                   resource name:
//                   "pressed <label>" or "press failed";
//  type <text>      puts text into the front dialog's first field that takes
//                   typing (a file dialog's name): "typed <text>" or
//                   "type failed";
//  cancel           ends the front dialog with Cancel: "cancelled <title>";
//  symbols          "symbol\t<name>\t<x>\t<y>" for each waypoint drawn with a
//                   map symbol, at its pixel in the map window, then
//                   "symbols listed";
//  tap <x> <y>      a finger's tap on the map window at that pixel:
//                   "tapped <x> <y>";
//  pickrow <n>      row n of the map's goto list, as a click on it:
//                   "picked <n>";
//  button <id>      the map window's icon button of that id: "button <id>
//                   <icon index> shown|hidden", or "button <id> missing";
//  hold <id>        a finger pressing on that icon button of the map window
//                   and staying: "held <id>" (or "button <id> missing");
//  lift <id>        the finger lifted from it: "lifted <id>";
//  menu <id>        the main menu's item of that command id:
//                   "menu <id>\t<label>" ("missing" when there is none);
//  shot <file>      a PNG of the main window: "shot <file>";
//  mapshot <file>   a PNG of the map window: "mapshot <file>";
//  dialogshot <file> a PNG of the innermost dialog: "dialogshot <file>";
//  layout           checks the innermost dialog against the screen it lies
//                   on (platform/gui/layout_check.h): "fault\t<fault>" for
//                   each fault, then "layout checked".
// Without the variable nothing is read.

namespace app::test_control {

// Starts polling when the variable is set. UI thread, once the main window
// is shown.
void Start();
void Stop();

}  // namespace app::test_control
