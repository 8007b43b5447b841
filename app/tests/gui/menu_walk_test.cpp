// Every command of the flight computer's menu bar and toolbar, read from
// their definitions, given to the built program on an 800 x 480 screen of
// the test's own, as a pilot's tap would: each window it opens (and each
// one that opens when that one is cancelled) lies within the screen, its
// controls within it, no label cut. A new command is walked as it is
// defined; commands that act at once are listed below as such. Screenshots
// go to <build>/screenshots/layout/menu_*.png.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/tests/gui/program_runner.h"
#include "resources/ids/main_frame.h"
#include "testing/flight_map.h"
#include "testing/igc_flight.h"
#include "testing/private_display.h"
#include "testing/pseudo_terminal.h"

namespace {

using namespace program_test;
using test_support::IgcFix;

const fs::path kDefinitions = kSource / "resources/main_frame.xrc";
const fs::path kFlight = kSource / "../shared/testdata/igc/apf-bug554.igc";
const fs::path kTask = kSource / "tools/maprender/tests/triangle.tsk";
constexpr std::size_t kFirst = 2380;
constexpr std::size_t kLast = 2440;
constexpr int kScreenWidth = 800;
constexpr int kScreenHeight = 480;

// Commands that act at once and open no window.
const std::map<int, std::string> kActions = {
    {32784, "reload map"},         {32786, "centre on position"}, {32787, "zoom in"},
    {32788, "zoom out"},           {32789, "flip map"},           {32794, "zoomed map"},
    {32785, "mark position"},      {32830, "hide overlay"},       {32811, "switch display"},
    {32795, "reopen GPS port"},    {32816, "use polar"},          {32797, "previous waypoint"},
    {32796, "next waypoint"},      {32828, "turnpoint reached"},  {32829, "back to the task"},
    {32773, "restart timer"},
};
// kExit ends the program: walked last.
using namespace xrc::main_frame;

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

// The program on a screen of its own, with a waypoint file, a task file
// and a map around a recorded flight whose fixes it is given.
class WalkedProgram {
  public:
    WalkedProgram()
        : folder_("menu_walk"),
          display_(folder_.Path(), kScreenWidth, kScreenHeight),
          control_(folder_.Path() / "control"),
          fixes_(test_support::ReadIgcFile(kFlight)) {
        const IgcFix& start = fixes_.at(kFirst);
        char waypoint[200];
        std::snprintf(waypoint, sizeof waypoint, "Home Field,%.7f,0,0,%.7f,0,0,%.0fM, 1,0,0,0,0,0\r\n",
                      start.latitude, -start.longitude, start.gpsAltitudeM - 500.0);
        std::ofstream(folder_.Path() / "fields.dta", std::ios::binary) << waypoint;
        const test_support::FlightMapPlan plan{
            .first = kFirst, .last = kLast, .underAt = 2400, .crossAt = 2420, .townAt = 2430};
        std::ofstream(folder_.Path() / "flight.map", std::ios::binary)
            << test_support::MakeFlightMap(fixes_, plan).text;
        const fs::path task = folder_.Path() / "triangle.tsk";
        fs::copy_file(kTask, task);
        std::ofstream(control_) << "";
        fs::create_directories(SettingsFile(folder_.Path()).parent_path());
        {
            platform::SettingsStore settings(SettingsFile(folder_.Path()));
            settings.WriteString("Settings", "WaypointFile", (folder_.Path() / "fields.dta").wstring());
            settings.WriteString("Settings", "MapFile", (folder_.Path() / "flight.map").wstring());
            settings.WriteString("Options\\TaskFiles", "file", task.wstring());
        }
        // The first sentences wait in the terminal for the program's first read.
        Feed(kFirst, kFirst + 5);
        program_ = std::make_unique<Program>(
            folder_.Path(), "program",
            Options{kProgram,
                    pty_.Path(),
                    {{"DISPLAY", display_.Name()},
                     {"KOR_VAN_SCREEN", std::to_string(kScreenWidth) + "x" + std::to_string(kScreenHeight)},
                     {"KOR_VAN_TEST_CONTROL", control_.string()},
                     {"KOR_VAN_TEST_SAVE", "dialog"}}});
    }

    // Plays the fixes first..last, 20 ms apart once the program runs.
    void Feed(std::size_t first, std::size_t last) {
        for (std::size_t i = first; i <= last; ++i) {
            pty_.Send(test_support::FixSentences(fixes_[i], &fixes_[i - 1]));
            if (program_) std::this_thread::sleep_for(20ms);
        }
    }

    bool Started() const { return !display_.Name().empty(); }
    Program& Running() { return *program_; }
    std::vector<std::string> Ask(const std::string& command, const std::string& done) {
        return AskProgram(*program_, control_, command, done);
    }
    void Send(const std::string& command) { SendCommand(control_, command); }

    // The titles of the modal dialogs open, innermost last; waits up to
    // `patience` for the first.
    std::vector<std::string> Windows(std::chrono::milliseconds patience) {
        const auto end = Clock::now() + patience;
        for (;;) {
            const auto open = Lines(Ask("windows", "windows listed"), "window\t");
            if (!open.empty() || Clock::now() >= end) return open;
            std::this_thread::sleep_for(100ms);
        }
    }

    // Checks the front dialog, keeps its screenshot and cancels it, then
    // each window that opens in its place; `open` lists the windows now.
    void CheckAndCancel(const std::string& name, std::vector<std::string> open) {
        for (int step = 0; !open.empty() && step < 4; ++step) {
            const std::string shot = name + "_" + std::to_string(step);
            const fs::path file = kBuild / "screenshots" / "layout" / (shot + ".png");
            fs::create_directories(file.parent_path());
            Ask("dialogshot " + file.string(), "dialogshot");
            for (const std::string& fault : Lines(Ask("layout", "layout checked"), "fault\t"))
                ADD_FAILURE() << open.back() << " (" << shot << "): " << fault;
            Ask("cancel", "cancelled");
            open = Windows(1s);
        }
        EXPECT_TRUE(open.empty()) << "still open: " << open.back();
    }

  private:
    TempFolder folder_;
    test_support::PrivateDisplay display_;
    fs::path control_;
    std::vector<IgcFix> fixes_;
    test_support::PseudoTerminal pty_;
    std::unique_ptr<Program> program_;
};

TEST(MenuWalk, EveryCommandsWindowFitsTheCockpitScreen) {
    const std::vector<int> commands = DefinedCommands();
    ASSERT_GT(commands.size(), 30U) << "the definitions were not read";
    for (const auto& [command, what] : kActions)
        EXPECT_NE(std::find(commands.begin(), commands.end(), command), commands.end())
            << what << " is no longer defined";

    WalkedProgram walk;
    ASSERT_TRUE(walk.Started()) << "Xvfb did not start";
    ASSERT_TRUE(walk.Running().WaitFor("shown")) << walk.Running().Errors();
    walk.Feed(kFirst + 6, kLast);
    // The first fixes open the flight log's save dialog of their own
    // accord: it is checked before the walk, not in the middle of it.
    const auto log = walk.Windows(20s);
    ASSERT_FALSE(log.empty()) << "no save dialog for the flight log";
    walk.CheckAndCancel("menu_flight_log", log);
    for (const int command : commands) {
        if (command == kExit) continue;
        SCOPED_TRACE("command " + std::to_string(command));
        const std::size_t boxes = walk.Running().Boxes().size();
        walk.Send("command " + std::to_string(command));
        const bool acts = kActions.contains(command);
        auto open = walk.Windows(acts ? 500ms : 5s);
        if (acts) {
            EXPECT_TRUE(open.empty()) << kActions.at(command) << " opened " << open.back();
        } else if (open.empty()) {
            // A box instead of the window (the program logs its boxes).
            EXPECT_GT(walk.Running().Boxes().size(), boxes) << "nothing opened";
        }
        walk.CheckAndCancel("menu_" + std::to_string(command), open);
    }
    walk.Send("command " + std::to_string(kExit));
    EXPECT_EQ(walk.Running().Wait(), 0) << walk.Running().Errors();
}

}  // namespace
