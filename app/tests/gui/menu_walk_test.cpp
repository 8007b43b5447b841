// Every command of the flight computer's menu bar and toolbar, read from
// their definitions, given to the built program on an 800 x 480 screen of
// the test's own, as a pilot's tap would: each window it opens (and each
// one that opens when that one is cancelled) lies within the screen, its
// controls within it, no label cut. A new command is walked as it is
// defined; commands that act at once are listed below as such. Screenshots
// go to <build>/screenshots/layout/menu_*.png.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/tests/gui/flown_program.h"
#include "resources/ids/main_frame.h"
#include "testing/flight_map.h"
#include "testing/igc_flight.h"

namespace {

using namespace std::chrono_literals;

using program_test::Clock;
using program_test::FlightFiles;
using program_test::FlownProgram;
using program_test::LogSave;
using program_test::ReadText;
namespace fs = program_test::fs;
using program_test::kBuild;
using program_test::kSource;
using test_support::IgcFix;

const fs::path kDefinitions = kSource / "resources/main_frame.xrc";
const fs::path kWalkFlight = kSource / "../shared/testdata/igc/apf-bug554.igc";
const fs::path kTask = kSource / "tools/maprender/tests/triangle.tsk";
constexpr std::size_t kWalkFirst = 2380;
constexpr std::size_t kWalkLast = 2440;

using xrc::main_frame::kCenterOnFix;
using xrc::main_frame::kExit;
using xrc::main_frame::kLoadMap;
using xrc::main_frame::kMarkPosition;
using xrc::main_frame::kNextWaypoint;
using xrc::main_frame::kOverlay;
using xrc::main_frame::kPreviousWaypoint;
using xrc::main_frame::kReopenPort;
using xrc::main_frame::kRestartTimer;
using xrc::main_frame::kShiftMap;
using xrc::main_frame::kSwitchNavDisplay;
using xrc::main_frame::kTaskPointTap15;
using xrc::main_frame::kTaskPointTap19;
using xrc::main_frame::kToggleUsePolar;
using xrc::main_frame::kToggleZoomedMap;
using xrc::main_frame::kZoomIn;
using xrc::main_frame::kZoomOut;

// Commands that act at once and open no window.
const std::map<int, std::string> kActions = {
    {kLoadMap, "reload map"},
    {kCenterOnFix, "centre on position"},
    {kZoomIn, "zoom in"},
    {kZoomOut, "zoom out"},
    {kShiftMap, "flip map"},
    {kToggleZoomedMap, "zoomed map"},
    {kMarkPosition, "mark position"},
    {kOverlay, "hide overlay"},
    {kSwitchNavDisplay, "switch display"},
    {kReopenPort, "reopen GPS port"},
    {kToggleUsePolar, "use polar"},
    {kPreviousWaypoint, "previous waypoint"},
    {kNextWaypoint, "next waypoint"},
    {kTaskPointTap19, "turnpoint reached"},
    {kTaskPointTap15, "back to the task"},
    {kRestartTimer, "restart timer"},
};
// kExit ends the program: walked last.

// The commands of the menu bar, then the toolbar's not in it, each once:
// the names of their items and tools.
std::vector<int> DefinedCommands() {
    std::ifstream file(kDefinitions);
    const std::string text{std::istreambuf_iterator<char>(file), {}};
    std::vector<int> commands;
    for (const std::string kind : {"<object class=\"wxMenuItem\" name=\"", "<object class=\"tool\" name=\""}) {
        for (std::size_t at = text.find(kind); at != std::string::npos; at = text.find(kind, at + 1)) {
            const int command = std::atoi(text.c_str() + at + kind.size());
            if (std::find(commands.begin(), commands.end(), command) == commands.end())
                commands.push_back(command);
        }
    }
    return commands;
}

std::vector<std::string> Lines(const std::vector<std::string>& answer, const std::string& prefix) {
    std::vector<std::string> found;
    for (const std::string& line : answer)
        if (line.starts_with(prefix)) found.push_back(line.substr(prefix.size()));
    return found;
}

const std::vector<IgcFix>& WalkFixes() {
    static const std::vector<IgcFix> fixes = test_support::ReadIgcFile(kWalkFlight);
    return fixes;
}

// The program on a screen of its own, with a waypoint file, a task file
// and a map around a recorded flight whose fixes it is given; the flight
// log's save dialog is the real one.
FlownProgram Walked() {
    const IgcFix& start = WalkFixes().at(kWalkFirst);
    char waypoint[200];
    std::snprintf(waypoint, sizeof waypoint, "Home Field,%.7f,0,0,%.7f,0,0,%.0fM, 1,0,0,0,0,0\r\n",
                  start.latitude, -start.longitude, start.gpsAltitudeM - 500.0);
    const test_support::FlightMapPlan plan{
        .first = kWalkFirst, .last = kWalkLast, .underAt = 2400, .crossAt = 2420, .townAt = 2430};
    FlightFiles files;
    files.fixes = &WalkFixes();
    files.first = kWalkFirst;
    files.waypoints = waypoint;
    files.task = ReadText(kTask);
    files.map = test_support::MakeFlightMap(WalkFixes(), plan).text;
    files.logSave = LogSave::kDialog;
    files.ownDisplay = true;
    return FlownProgram("menu_walk", std::move(files));
}

// The titles of the modal dialogs open, innermost last; waits up to
// `patience` for the first.
std::vector<std::string> Windows(FlownProgram& walk, std::chrono::milliseconds patience) {
    const auto end = Clock::now() + patience;
    for (;;) {
        const auto open = Lines(walk.Ask("windows", "windows listed"), "window\t");
        if (!open.empty() || Clock::now() >= end) return open;
        std::this_thread::sleep_for(100ms);
    }
}

// Checks the front dialog, keeps its screenshot and cancels it, then each
// window that opens in its place; `open` lists the windows now.
void CheckAndCancel(FlownProgram& walk, const std::string& name, std::vector<std::string> open) {
    for (int step = 0; !open.empty() && step < 4; ++step) {
        const std::string shot = name + "_" + std::to_string(step);
        const fs::path file = kBuild / "screenshots" / "layout" / (shot + ".png");
        fs::create_directories(file.parent_path());
        walk.Ask("dialogshot " + file.string(), "dialogshot");
        for (const std::string& fault : Lines(walk.Ask("layout", "layout checked"), "fault\t"))
            ADD_FAILURE() << open.back() << " (" << shot << "): " << fault;
        walk.Ask("cancel", "cancelled");
        open = Windows(walk, 1s);
    }
    EXPECT_TRUE(open.empty()) << "still open: " << open.back();
}

TEST(MenuWalk, EveryCommandsWindowFitsTheCockpitScreen) {
    const std::vector<int> commands = DefinedCommands();
    ASSERT_GT(commands.size(), 30U) << "the definitions were not read";
    for (const auto& [command, what] : kActions)
        EXPECT_NE(std::find(commands.begin(), commands.end(), command), commands.end())
            << what << " is no longer defined";

    FlownProgram walk = Walked();
    ASSERT_TRUE(walk.DisplayStarted()) << "Xvfb did not start";
    ASSERT_TRUE(walk.StartAndFlyTo(kWalkLast));
    // The first fixes open the flight log's save dialog of their own
    // accord: it is checked before the walk, not in the middle of it.
    const auto log = Windows(walk, 20s);
    ASSERT_FALSE(log.empty()) << "no save dialog for the flight log";
    CheckAndCancel(walk, "menu_flight_log", log);
    for (const int command : commands) {
        if (command == kExit) continue;
        SCOPED_TRACE("command " + std::to_string(command));
        const std::size_t boxes = walk.Running().Boxes().size();
        walk.Send("command " + std::to_string(command));
        const bool acts = kActions.contains(command);
        auto open = Windows(walk, acts ? 500ms : 5s);
        if (acts) {
            EXPECT_TRUE(open.empty()) << kActions.at(command) << " opened " << open.back();
        } else if (open.empty()) {
            // A box instead of the window (the program logs its boxes).
            EXPECT_GT(walk.Running().Boxes().size(), boxes) << "nothing opened";
        }
        CheckAndCancel(walk, "menu_" + std::to_string(command), open);
    }
    walk.Send("command " + std::to_string(kExit));
    EXPECT_EQ(walk.Running().Wait(), 0) << walk.Running().Errors();
}

}  // namespace
