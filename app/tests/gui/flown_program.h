#pragma once
// The built program flown on a recorded flight as a pilot would meet it:
// started through main with nothing installed by the test, a settings
// folder naming a waypoint file, a map and a task file, on an 800 x 480
// screen (the test's display, or an Xvfb of its own); the flight's fixes
// reach it as receiver sentences through a pseudo-terminal, and what it
// shows is read back through its test control (app/test_control.h).
// Screenshots go to <build>/screenshots/program_flight_<name>.png.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstddef>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "app/tests/gui/program_runner.h"
#include "resources/ids/main_frame.h"
#include "resources/ids/task_dialog.h"
#include "testing/igc_flight.h"
#include "testing/private_display.h"
#include "testing/pseudo_terminal.h"

namespace program_test {

inline constexpr int kScreenWidth = 800;
inline constexpr int kScreenHeight = 480;

inline std::string ReadText(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The difference of two directions in degrees, 0 to 180.
inline double AngleBetween(double a, double b) {
    return std::abs(std::remainder(a - b, 360.0));
}

// How the flight log's save dialog, which the first fixes open, is answered.
enum class LogSave {
    kCancel,   // cancelled at once: no log
    kIgcFile,  // with <folder>/flight.igc
    kDialog,   // not at all: the dialog is shown for the test to handle
};

// The files a flight is flown with. The texts are written as given.
struct FlightFiles {
    const std::vector<test_support::IgcFix>* fixes = nullptr;
    std::size_t first = 0;  // the first fix the receiver sends
    std::string waypoints;  // a waypoint file (".dta")
    std::string task;       // a task file, also the task editor's last task
    std::string map;        // a text map
    // The receiver's magnetic variation, degrees east; none: not sent.
    std::optional<double> variationEast;
    LogSave logSave = LogSave::kCancel;
    // An Xvfb screen of the program's own (see DisplayStarted).
    bool ownDisplay = false;
    // Further stored texts: section, name, value.
    struct Setting {
        std::string section;
        std::string name;
        std::wstring value;
    };
    std::vector<Setting> settings;
};

class FlownProgram {
  public:
    FlownProgram(const std::string& name, FlightFiles files)
        : files_(std::move(files)), folder_(name), control_(folder_.Path() / "control"),
          next_(files_.first) {
        const fs::path waypoints = folder_.Path() / "fields.dta";
        const fs::path task = folder_.Path() / "task.tsk";
        const fs::path map = folder_.Path() / "flight.map";
        Write(waypoints, files_.waypoints);
        Write(task, files_.task);
        Write(map, files_.map);
        Write(control_, "");

        fs::create_directories(SettingsFile(folder_.Path()).parent_path());
        {
            platform::SettingsStore settings(SettingsFile(folder_.Path()));
            settings.WriteString("Settings", "WaypointFile", waypoints.wstring());
            settings.WriteString("Settings", "MapFile", map.wstring());
            settings.WriteString("Options\\TaskFiles", "file", task.wstring());
            // The task editor's own last task.
            settings.WriteString("Settings", "TaskFileName", task.wstring());
            for (const FlightFiles::Setting& more : files_.settings)
                settings.WriteString(more.section, more.name, std::wstring_view(more.value));
        }
        std::map<std::string, std::string> environment{
            {"KOR_VAN_SCREEN", std::to_string(kScreenWidth) + "x" + std::to_string(kScreenHeight)},
            {"KOR_VAN_TEST_CONTROL", control_.string()}};
        if (files_.logSave == LogSave::kIgcFile) environment["KOR_VAN_TEST_SAVE"] = IgcLog().string();
        if (files_.logSave == LogSave::kDialog) environment["KOR_VAN_TEST_SAVE"] = "dialog";
        if (files_.ownDisplay) {
            display_.emplace(folder_.Path(), kScreenWidth, kScreenHeight);
            environment["DISPLAY"] = display_->Name();
        }
        // The receiver talks before the program has opened its port: the
        // first sentences wait in the terminal for the program's first read.
        Feed(files_.first, files_.first + 5, std::chrono::milliseconds(0));
        program_ = std::make_unique<Program>(folder_.Path(), "program",
                                             Options{kProgram, pty_.Path(), environment});
    }

    Program& Running() { return *program_; }
    // False when a display of the program's own was asked for and did not
    // come up.
    bool DisplayStarted() const { return !display_ || !display_->Name().empty(); }
    const fs::path& Folder() const { return folder_.Path(); }
    fs::path IgcLog() const { return folder_.Path() / "flight.igc"; }
    const std::vector<test_support::IgcFix>& Fixes() const { return *files_.fixes; }

    // Waits for the main window, then flies up to fix `last`.
    [[nodiscard]] bool StartAndFlyTo(std::size_t last) {
        if (!program_->WaitFor("shown")) {
            ADD_FAILURE() << "the program did not show its window: " << program_->Errors();
            return false;
        }
        FeedTo(last);
        return true;
    }

    // Plays fixes first..last (inclusive) at `pause` a fix.
    void Feed(std::size_t first, std::size_t last, std::chrono::milliseconds pause) {
        const auto& fixes = Fixes();
        for (std::size_t i = first; i <= last && i < fixes.size(); ++i) {
            pty_.Send(test_support::FixSentences(fixes[i], i > 0 ? &fixes[i - 1] : nullptr,
                                                 files_.variationEast));
            next_ = i + 1;
            if (pause.count() > 0) std::this_thread::sleep_for(pause);
        }
    }
    void FeedTo(std::size_t last, std::chrono::milliseconds pause = std::chrono::milliseconds(20)) {
        Feed(next_, last, pause);
    }
    std::size_t LastFed() const { return next_ - 1; }

    // Sends a command; the log lines that follow it once `done` is among them.
    std::vector<std::string> Ask(const std::string& command, const std::string& done) {
        return AskProgram(*program_, control_, command, done);
    }
    void Send(const std::string& command) { SendCommand(control_, command); }

    // A row of the front dialog's list, and one of its buttons.
    void Choose(const std::string& row) { ExpectAnswer("choose " + row, "cho", "chosen"); }
    void Press(const std::string& button) { ExpectAnswer("press " + button, "press", "pressed"); }

    // The display texts by name, once the program has caught up.
    std::map<std::string, std::string> Texts() {
        std::this_thread::sleep_for(1500ms);
        return TextsNow();
    }
    std::map<std::string, std::string> TextsNow() {
        std::map<std::string, std::string> texts;
        for (const std::string& line : Ask("texts", "texts listed")) {
            if (!line.starts_with("text\t")) continue;
            const std::size_t tab = line.find('\t', 5);
            texts[line.substr(5, tab - 5)] = line.substr(tab + 1);
        }
        return texts;
    }

    // Opens a dialog by its command, waits for it to show.
    bool Open(int command, const std::string& title) {
        Send("command " + std::to_string(command));
        return WaitForWindow(title);
    }
    bool WaitForWindow(const std::string& title) {
        std::string seen;
        for (int i = 0; i < 100; ++i) {
            seen.clear();
            for (const std::string& line : Ask("windows", "windows listed")) {
                if (line == "window\t" + title) return true;
                seen += " [" + line + "]";
            }
            std::this_thread::sleep_for(100ms);
        }
        ADD_FAILURE() << "no " << title << " window:" << seen;
        return false;
    }

    // The pilot's steps. Go to: the waypoint list's row becomes the
    // destination. Task: the task editor's last task confirmed and flown.
    [[nodiscard]] bool GoTo(const std::string& waypoint) {
        if (!Open(xrc::main_frame::kTaskDialogMode0, "Waypoints")) return false;
        Choose(waypoint);
        Press(std::to_string(xrc::task_dialog::kOkOrRevert));
        return true;
    }
    [[nodiscard]] bool ActivateTask(const std::string& screenshots = {}) {
        if (!Open(xrc::main_frame::kSelectTask, "Task editor")) return false;
        if (!screenshots.empty()) DialogScreenshot(screenshots + "_task_editor");
        Press(std::to_string(xrc::task_dialog::kNewOrOk));
        // OK has the task points, then the task limits, confirmed.
        if (!WaitForWindow("Task points")) return false;
        if (!screenshots.empty()) DialogScreenshot(screenshots + "_task_points");
        Press("wxID_OK");
        if (!WaitForWindow("Task limits")) return false;
        Press("wxID_OK");
        return true;
    }

    fs::path Screenshot(const std::string& name) {
        const fs::path file = ScreenshotFile(name);
        fs::create_directories(file.parent_path());
        Ask("shot " + file.string(), "shot");
        return file;
    }
    void DialogScreenshot(const std::string& name) {
        const fs::path file = ScreenshotFile(name);
        fs::create_directories(file.parent_path());
        Ask("dialogshot " + file.string(), "dialogshot");
    }
    static fs::path ScreenshotFile(const std::string& name) {
        return kBuild / "screenshots" / ("program_flight_" + name + ".png");
    }

    // Closes what a failed step left open, then the program.
    void End() {
        for (int i = 0; i < 4; ++i) {
            const auto open = Ask("windows", "windows listed");
            if (std::none_of(open.begin(), open.end(),
                             [](const std::string& l) { return l.starts_with("window\t"); }))
                break;
            Ask("cancel", "cancelled");
        }
        program_->Signal(SIGTERM);
        EXPECT_EQ(program_->Wait(), 0) << program_->Errors();
    }

  private:
    static void Write(const fs::path& file, const std::string& text) {
        std::ofstream(file, std::ios::binary) << text;
    }
    void ExpectAnswer(const std::string& command, const std::string& done, const std::string& good) {
        const auto answer = Ask(command, done);
        EXPECT_TRUE(std::any_of(answer.begin(), answer.end(),
                                [&good](const std::string& l) { return l.starts_with(good); }))
            << command;
    }

    FlightFiles files_;
    TempFolder folder_;
    std::optional<test_support::PrivateDisplay> display_;
    fs::path control_;
    test_support::PseudoTerminal pty_;
    std::unique_ptr<Program> program_;
    std::size_t next_;
};

}  // namespace program_test
