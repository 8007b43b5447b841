// The built program, started as a child process with a settings folder of
// its own and watched through its test log (app/test_hooks.h).

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "app/tests/gui/program_runner.h"
#include "platform/settings_store.h"

namespace {

using namespace std::chrono_literals;

using program_test::Clock;
using program_test::Program;
using program_test::SettingsFile;
using program_test::TempFolder;
namespace fs = program_test::fs;
using program_test::kBuild;
using program_test::kProgram;
using program_test::kSource;
using program_test::kStartLimit;

// A pseudo-terminal standing in for the GPS receiver.
class FakeReceiver {
  public:
    FakeReceiver() : master_(::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK)) {
        if (master_ >= 0 && ::grantpt(master_) == 0 && ::unlockpt(master_) == 0) {
            port_ = ::ptsname(master_);
        }
    }
    ~FakeReceiver() {
        if (master_ >= 0) ::close(master_);
    }
    const std::string& Port() const { return port_; }

    // One fix: an RMC and a GGA sentence, a second after the last one.
    void SendFix() {
        ++second_;
        char time[16];
        std::snprintf(time, sizeof time, "12%02d%02d.00", second_ / 60 % 60, second_ % 60);
        Send(std::string("GPRMC,") + time + ",A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W");
        Send(std::string("GPGGA,") + time + ",4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,");
    }

  private:
    void Send(const std::string& body) {
        unsigned sum = 0;
        for (const char c : body)
            sum ^= static_cast<unsigned char>(c);
        char tail[8];
        std::snprintf(tail, sizeof tail, "*%02X\r\n", sum);
        const std::string line = "$" + body + tail;
        [[maybe_unused]] const ssize_t written = ::write(master_, line.data(), line.size());
    }

    int master_;
    std::string port_;
    int second_ = 0;
};


// A folder holding a copy of the program and, optionally, a library as the
// resource bundle's first name.
fs::path ProgramWithout(const fs::path& folder, const std::optional<fs::path>& firstBundle) {
    const fs::path program = folder / "bin/KOR_VAN";
    fs::create_directories(program.parent_path());
    std::error_code error;
    fs::create_hard_link(kBuild / "KOR_VAN", program, error);
    if (error) fs::copy_file(kBuild / "KOR_VAN", program);
    if (firstBundle) fs::copy_file(*firstBundle, program.parent_path() / "KOR^VANresDLL.dll");
    return program;
}

// Starts the program on the fake receiver, shows its window and saves it,
// lets it take fixes a while, then ends it with `signal`.
void RunAndEnd(const std::string& name, const std::string& screen, int signal) {
    const TempFolder folder(name);
    FakeReceiver receiver;
    ASSERT_FALSE(receiver.Port().empty());
    const fs::path screenshot = kBuild / "screenshots" / ("program_" + name + ".png");
    fs::remove(screenshot);
    Program program(folder.Path(), "program",
                    {kProgram,
                     receiver.Port(),
                     {{"KOR_VAN_SCREEN", screen}, {"KOR_VAN_SCREENSHOT", screenshot.string()}}});
    const auto feed = [&receiver] { receiver.SendFix(); };
    ASSERT_TRUE(program.WaitFor("screenshot", feed)) << program.Errors();
    for (int i = 0; i < 15; ++i) {
        feed();
        std::this_thread::sleep_for(100ms);
    }
    program.Signal(signal);
    EXPECT_EQ(program.Wait(), 0) << program.Errors();
    EXPECT_TRUE(fs::exists(screenshot));
    EXPECT_TRUE(program.Boxes().empty());
    EXPECT_TRUE(program.Logged("closed"));  // through the window's close
    EXPECT_TRUE(program.Logged("threads 0"));
    EXPECT_TRUE(program.Logged("exit 0"));
}

TEST(Program, ShowsItsWindowAndEndsCleanlyOnTerminate) {
    RunAndEnd("landscape", "800x480", SIGTERM);
}

TEST(Program, ShowsItsWindowInPortraitAndEndsCleanlyOnInterrupt) {
    RunAndEnd("portrait", "480x800", SIGINT);
}

TEST(Program, TerminateAtAnyMomentOfStartUpEndsItNormally) {
    // Once main has begun, a signal sent before start-up has installed its
    // handlers waits, then closes the program as its close command does.
    for (const auto delay : {0ms, 100ms, 200ms, 300ms, 400ms, 500ms}) {
        SCOPED_TRACE(std::to_string(delay.count()) + " ms after main began");
        const TempFolder folder("early_term_" + std::to_string(delay.count()));
        FakeReceiver receiver;
        Program program(folder.Path(), "program", {kProgram, receiver.Port(), {}});
        const auto end = Clock::now() + kStartLimit;
        while (!program.Logged("main") && program.Running() && Clock::now() < end)
            std::this_thread::sleep_for(1ms);
        std::this_thread::sleep_for(delay);
        program.Signal(SIGTERM);
        EXPECT_EQ(program.Wait(), 0) << program.Errors();
        EXPECT_FALSE(program.Logged("shown") && !program.Logged("closed"));
    }
}

// Starts the program, waits for its window and ends it; its boxes.
std::vector<std::string> BoxesOfARun(const fs::path& folder, const std::string& name,
                                     const std::string& port) {
    Program program(folder, name, {kProgram, port, {}});
    EXPECT_TRUE(program.WaitFor("shown")) << program.Errors();
    program.Signal(SIGTERM);
    EXPECT_EQ(program.Wait(), 0) << program.Errors();
    return program.Boxes();
}

std::vector<std::string> BoxesCaptioned(const std::vector<std::string>& boxes,
                                        const std::string& caption) {
    std::vector<std::string> found;
    for (const std::string& box : boxes) {
        if (box.starts_with(caption + "\t")) found.push_back(box);
    }
    return found;
}

TEST(Program, EachCorruptSettingsFileIsKeptAndNamedInOneBox) {
    const TempFolder folder("corrupt_settings");
    FakeReceiver receiver;
    for (const std::string run : {"first", "second"}) {
        SCOPED_TRACE(run);
        fs::create_directories(SettingsFile(folder.Path()).parent_path());
        std::ofstream(SettingsFile(folder.Path())) << "not settings: " << run << "\n";
        const auto boxes = BoxesCaptioned(BoxesOfARun(folder.Path(), run, ""), "Settings");
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_NE(boxes[0].find(SettingsFile(folder.Path()).string() + "\\n"), std::string::npos)
            << boxes[0];
        EXPECT_NE(boxes[0].find(".broken-"), std::string::npos) << boxes[0];
    }
    int kept = 0;
    for (const auto& entry : fs::directory_iterator(SettingsFile(folder.Path()).parent_path()))
        kept += entry.path().filename().string().starts_with("KOR_VAN WinCE.broken-");
    EXPECT_EQ(kept, 2);
}

TEST(Program, AnUnreadableTaskFileIsNamedInOneBoxAndAMissingOneInNone) {
    const TempFolder folder("task_file");
    FakeReceiver receiver;
    const fs::path unreadable = folder.Path() / "tasks.tsk";
    fs::create_directories(unreadable);  // a folder cannot be read as a task file
    for (const fs::path& task : {unreadable, folder.Path() / "missing.tsk"}) {
        SCOPED_TRACE(task.string());
        platform::SettingsStore(SettingsFile(folder.Path()))
            .WriteString("Options\\TaskFiles", "file", std::string_view(task.string()));
        const auto boxes =
            BoxesCaptioned(BoxesOfARun(folder.Path(), task.stem().string(), receiver.Port()),
                           "Task file");
        if (task == unreadable) {
            ASSERT_EQ(boxes.size(), 1u);
            EXPECT_NE(boxes[0].find(task.string()), std::string::npos) << boxes[0];
        } else {
            EXPECT_TRUE(boxes.empty());
        }
    }
}

// A pilot who starts the program and flies gets an IGC log: the start-up
// opens it (the test answers the save dialog), the fixes go in, and the
// termination closes it with its G records.
TEST(Program, FlyingWritesAnIgcLogThatIsClosedOnTerminate) {
    const TempFolder folder("igc_log");
    FakeReceiver receiver;
    ASSERT_FALSE(receiver.Port().empty());
    const fs::path log = folder.Path() / "flight.igc";
    Program program(folder.Path(), "program",
                    {kProgram, receiver.Port(), {{"KOR_VAN_TEST_SAVE", log.string()}}});
    const auto feed = [&receiver] { receiver.SendFix(); };
    ASSERT_TRUE(program.WaitFor("save " + log.string(), feed)) << program.Errors();
    for (int i = 0; i < 20; ++i) {
        feed();
        std::this_thread::sleep_for(100ms);
    }
    program.Signal(SIGTERM);
    EXPECT_EQ(program.Wait(), 0) << program.Errors();
    EXPECT_TRUE(program.Boxes().empty());

    std::ifstream file(log, std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(file), {}};
    EXPECT_TRUE(text.starts_with("AXKV000 KOR_VAN_WinCE\r\nHFDTE230394\r\n")) << text;
    EXPECT_NE(text.find("\r\nB12"), std::string::npos) << text;
    const std::size_t g = text.find("\r\nG17");
    ASSERT_NE(g, std::string::npos) << text;
    EXPECT_EQ(text.size() - g, 2 + 2 * 70U);  // two G lines end the file

    if (std::system("node --version >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "node is not installed: the independent IGC reader cannot run";
    }
    const std::string check = "NODE_PATH='" + (kSource / "build/npm/node_modules").string() +
                              "' node '" +
                              (kSource / "recorder/tests/igc_parser_check.js").string() + "' '" +
                              log.string() + "' >/dev/null";
    EXPECT_EQ(std::system(check.c_str()), 0);
}

// The log's bytes.
std::string FileText(const fs::path& file) {
    std::ifstream stream(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(stream), {}};
}

// Every line of the text ends with CR LF, and the last two are G records.
void ExpectWholeLinesEndedByGRecords(const std::string& text) {
    ASSERT_TRUE(text.ends_with("\r\n")) << text;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = text.find("\r\n", start);
        ASSERT_NE(end, std::string::npos) << text.substr(start);
        EXPECT_EQ(text.find('\n', start), end + 1) << text.substr(start, end - start);
        start = end + 2;
    }
    const std::size_t g = text.rfind("\r\nG", text.size() - 3);
    const std::size_t first = text.rfind("\r\nG", g - 1);
    ASSERT_NE(first, std::string::npos) << text;
    EXPECT_EQ(first + 2 + 68, g) << text;  // G records are 68 characters
    EXPECT_EQ(text.size(), g + 2 + 68 + 2) << text;
}

// The real windows are shown; once the first modal dialog has been up a
// while, the signal ends the program as File > Exit does, within 5 s.
void EndWhileADialogIsOpen(Program& program, int signal, const std::function<void()>& feed) {
    const auto dialog = [&program] {
        const auto lines = program.Log();
        return std::any_of(lines.begin(), lines.end(),
                           [](const std::string& line) { return line.starts_with("dialog\t"); });
    };
    const auto end = Clock::now() + kStartLimit;
    while (!dialog() && program.Running() && Clock::now() < end) {
        feed();
        std::this_thread::sleep_for(100ms);
    }
    ASSERT_TRUE(dialog()) << program.Errors();
    std::this_thread::sleep_for(1500ms);  // the window is mapped and waits
    ASSERT_TRUE(program.Running());
    program.Signal(signal);
    EXPECT_EQ(program.Wait(5s), 0) << program.Errors();
    EXPECT_TRUE(program.Logged("closed"));
    EXPECT_TRUE(program.Logged("exit 0"));
}

// The save dialog is the programs' own file dialog, a plain wxDialog.
TEST(Program, TerminateWithTheSaveDialogOpenEndsTheProgram) {
    const TempFolder folder("term_save_dialog");
    FakeReceiver receiver;
    Program program(folder.Path(), "program",
                    {kProgram, receiver.Port(), {{"KOR_VAN_TEST_WINDOWS", "1"}}});
    EndWhileADialogIsOpen(program, SIGTERM, [&receiver] { receiver.SendFix(); });
    EXPECT_TRUE(program.Logged("dialog\twxDialog")) << ::testing::PrintToString(program.Log());
}

// The question about the chosen file's old content is open when the
// session ends: it is answered as cancelled (the log appends) and the log
// still gets its closing records.
TEST(Program, HangUpWithAQuestionOpenClosesTheLogWithItsGRecords) {
    const TempFolder folder("hup_question");
    FakeReceiver receiver;
    const fs::path log = folder.Path() / "flight.igc";
    std::ofstream(log, std::ios::binary) << "LXKV EARLIER FLIGHT\r\n";
    Program program(folder.Path(), "program",
                    {kProgram,
                     receiver.Port(),
                     {{"KOR_VAN_TEST_WINDOWS", "1"}, {"KOR_VAN_TEST_SAVE", log.string()}}});
    EndWhileADialogIsOpen(program, SIGHUP, [&receiver] { receiver.SendFix(); });

    const std::string text = FileText(log);
    EXPECT_TRUE(text.starts_with("LXKV EARLIER FLIGHT\r\nAXKV000")) << text;
    ExpectWholeLinesEndedByGRecords(text);
}

TEST(Program, ASecondStartRaisesTheFirstAndEnds) {
    const TempFolder folder("second");
    FakeReceiver receiver;
    Program first(folder.Path(), "first", {kProgram, receiver.Port(), {}});
    ASSERT_TRUE(first.WaitFor("shown")) << first.Errors();

    Program second(folder.Path(), "second", {kProgram, "", {}});
    EXPECT_NE(second.Wait(), 0) << second.Errors();
    EXPECT_TRUE(second.Boxes().empty());
    EXPECT_FALSE(second.Logged("shown"));
    EXPECT_TRUE(first.WaitFor("raised"));
    EXPECT_TRUE(first.Running());

    first.Signal(SIGTERM);
    EXPECT_EQ(first.Wait(), 0) << first.Errors();
}

TEST(Program, WithoutTheResourceBundleItSaysSoAndFails) {
    const TempFolder folder("no_bundle");
    Program program(folder.Path(), "program", {ProgramWithout(folder.Path(), {}), "", {}});
    const auto status = program.Wait();
    ASSERT_TRUE(status.has_value());
    EXPECT_NE(*status, 0);
    EXPECT_EQ(program.Boxes(),
              std::vector<std::string>{"KOR_VAN WinCE\tCannot find KOR_VANresDLL.dll"});
    EXPECT_FALSE(program.Logged("shown"));
}

TEST(Program, ATooNewBundleUnderTheFirstNameIsRefusedBeforeTheSecondIsMissed) {
    const TempFolder folder("new_bundle");
    const fs::path stub = kBuild / "app/bundle_stubs/bundle_1400.so";
    Program program(folder.Path(), "program", {ProgramWithout(folder.Path(), stub), "", {}});
    const auto status = program.Wait();
    ASSERT_TRUE(status.has_value());
    EXPECT_NE(*status, 0);
    EXPECT_EQ(program.Boxes(),
              (std::vector<std::string>{"KOR_VAN WinCE\tKOR^VANresDLL.dll is corrupt or too old",
                                        "KOR_VAN WinCE\tCannot find KOR_VANresDLL.dll"}));
}

TEST(Program, WithoutAPortTheUserChoosesToStopOrGoOn) {
    for (const char* answer : {"no", "yes"}) {
        SCOPED_TRACE(answer);
        const TempFolder folder(std::string("no_port_") + answer);
        Program program(folder.Path(), "program",
                        {kProgram, "/dev/kv-no-such-port", {{"KOR_VAN_TEST_ANSWERS", answer}}});
        if (std::string(answer) == "yes") {
            ASSERT_TRUE(program.WaitFor("shown")) << program.Errors();
            program.Signal(SIGTERM);
            EXPECT_EQ(program.Wait(), 0) << program.Errors();
        } else {
            const auto status = program.Wait();
            ASSERT_TRUE(status.has_value());
            EXPECT_NE(*status, 0);
            EXPECT_FALSE(program.Logged("shown"));
        }
        const auto boxes = program.Boxes();
        ASSERT_FALSE(boxes.empty());
        EXPECT_TRUE(boxes.back().starts_with("GPS port\tThe GPS port cannot be opened"))
            << boxes.back();
        EXPECT_TRUE(program.Logged("threads 0"));
    }
}

}  // namespace
