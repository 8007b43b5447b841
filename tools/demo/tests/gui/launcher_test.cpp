// The launcher (scripts/demo.sh) against this build, on a display of the
// test's own, with a private home folder that holds settings and documents
// of its own: a whole demonstration flight at 60 times real time, and the
// pilot's declaration of the demo task before take-off at 5 times.
//
// Each run gets a build folder of its own in its scratch folder (the
// program, the feeder and the demo data linked in), so the runs never share
// the demo's settings, documents or receiver link.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "testing/private_display.h"
#include "testing/sanitizer_options.h"
#include "testing/scratch_folder.h"
#include "tools/demo/demo_region.h"
#include "tools/demo/flight_path.h"

namespace demo {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

const fs::path kBuild = KV_BINARY_DIR;
const fs::path kSource = KV_SOURCE_DIR;

std::string Read(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// Every file below a folder with its contents' hash.
std::map<std::string, std::size_t> Listing(const fs::path& folder) {
    std::map<std::string, std::size_t> listing;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        if (entry.is_regular_file())
            listing[entry.path().lexically_relative(folder).string()] =
                std::hash<std::string>{}(Read(entry.path()));
    return listing;
}

std::vector<pid_t> Children(pid_t pid) {
    std::istringstream in(Read("/proc/" + std::to_string(pid) + "/task/" + std::to_string(pid) +
                               "/children"));
    std::vector<pid_t> children;
    for (pid_t child = 0; in >> child;) children.push_back(child);
    return children;
}

std::string Command(pid_t pid) {
    std::string name = Read("/proc/" + std::to_string(pid) + "/comm");
    while (!name.empty() && name.back() == '\n') name.pop_back();
    return name;
}

class Launcher {
  public:
    Launcher(const fs::path& build, const fs::path& home, const fs::path& log,
             const fs::path& save, const std::string& display, int speed,
             const std::string& answers, int wait) {
        pid_ = ::fork();
        if (pid_ != 0) return;
        std::vector<std::string> env;
        for (const char* name : {"PATH", "LANG"})
            if (const char* value = std::getenv(name)) env.push_back(std::string(name) + "=" + value);
        env.push_back("DISPLAY=" + display);
        env.push_back("HOME=" + home.string());
        env.push_back("XDG_RUNTIME_DIR=" + home.parent_path().string());
        env.push_back("KOR_VAN_TEST_LOG=" + log.string());
        env.push_back("KOR_VAN_TEST_SAVE=" + save.string());
        env.push_back("KOR_VAN_SCREEN=800x480");
        if (!answers.empty()) env.push_back("KOR_VAN_TEST_ANSWERS=" + answers);
        for (const auto& [name, value] : test_support::SanitizerOptions()) env.push_back(name + "=" + value);
        std::vector<char*> envp;
        for (std::string& e : env) envp.push_back(e.data());
        envp.push_back(nullptr);
        const std::string script = (kSource / "scripts/demo.sh").string();
        const std::string folder = build.string();
        const std::string times = std::to_string(speed);
        const std::string seconds = std::to_string(wait);
        const std::string output = (home.parent_path() / "launcher.out").string();
        std::freopen(output.c_str(), "w", stdout);
        std::freopen(output.c_str(), "a", stderr);
        const char* argv[] = {"bash", script.c_str(), folder.c_str(), "--reset-demo", "--speed",
                              times.c_str(), "--wait", seconds.c_str(), nullptr};
        ::execve("/bin/bash", const_cast<char**>(argv), envp.data());
        ::_exit(127);
    }
    ~Launcher() {
        if (!status_) {
            for (const pid_t child : Children(pid_)) ::kill(child, SIGKILL);
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
    }
    pid_t Pid() const { return pid_; }
    std::optional<pid_t> Child(const std::string& command) const {
        for (const pid_t child : Children(pid_))
            if (Command(child) == command) return child;
        return std::nullopt;
    }
    std::optional<int> Wait(std::chrono::seconds limit) {
        const auto end = Clock::now() + limit;
        while (!status_ && Clock::now() < end) {
            int status = 0;
            if (::waitpid(pid_, &status, WNOHANG) == pid_)
                status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            else
                std::this_thread::sleep_for(50ms);
        }
        return status_;
    }

  private:
    pid_t pid_ = -1;
    std::optional<int> status_;
};

bool WaitForText(const fs::path& file, const std::string& text, std::chrono::seconds limit) {
    const auto end = Clock::now() + limit;
    while (Clock::now() < end) {
        if (Read(file).find(text) != std::string::npos) return true;
        std::this_thread::sleep_for(100ms);
    }
    return false;
}

// "DDMMmmmN" / "DDDMMmmmE" of an IGC B record, in degrees.
double IgcDegrees(const std::string& field, int degreeDigits) {
    const double degrees = std::stod(field.substr(0, degreeDigits));
    const double minutes = std::stod(field.substr(degreeDigits, 5)) / 1000.0;
    const double value = degrees + minutes / 60.0;
    const char hemisphere = field.back();
    return hemisphere == 'S' || hemisphere == 'W' ? -value : value;
}

// When the feeder began to play: it makes its link just before the first
// sentence goes out.
std::optional<std::chrono::system_clock::time_point> FeederStart(const fs::path& link,
                                                                 std::chrono::seconds limit) {
    const auto end = Clock::now() + limit;
    for (struct stat s {}; Clock::now() < end; std::this_thread::sleep_for(20ms)) {
        if (::lstat(link.c_str(), &s) != 0) continue;
        return std::chrono::system_clock::time_point{
            std::chrono::duration_cast<std::chrono::system_clock::duration>(
                std::chrono::seconds(s.st_mtim.tv_sec) + std::chrono::nanoseconds(s.st_mtim.tv_nsec))};
    }
    return std::nullopt;
}

// The moments of the flight saved for review, by the flight's own events.
struct Moment {
    const char* name;
    int second;
};
std::vector<Moment> ReviewMoments(const FlightEvents& e) {
    return {{"1-take-off", e.takeOff + 15},
            {"2-thermal", (e.thermalStart[1] + e.thermalEnd[1]) / 2},
            {"3-airspace-alarm", e.zoneEntry + 30},
            {"4-final-glide", e.turnpoint2 + 150},
            {"5-landed", e.stopped + 20}};
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

class DemoLauncher : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_.Write("home/.config/Tarnwell Software/KOR_VAN WinCE",
                      "kv-settings 1\n[Settings]\nMapFile=text:/nowhere/sentinel.map\n");
        folder_.Write("home/.config/user-dirs.dirs", "XDG_DOCUMENTS_DIR=\"$HOME/Documents\"\n");
        folder_.Write("home/Documents/sentinel.txt", "the pilot's own documents\n");
        before_ = Listing(home_);
        fs::create_directories(build_ / "demo");
        for (const char* program : {"KOR_VAN", "demo_feeder"})
            fs::create_symlink(kBuild / program, build_ / program);
        fs::create_directory_symlink(kBuild / "demo/data", build_ / "demo/data");
        // A display of the test's own, 800 x 480 as the program is laid out for.
        fs::create_directories(folder_ / "screen");
        display_ = std::make_unique<test_support::PrivateDisplay>(folder_ / "screen", 800, 480);
        ASSERT_FALSE(display_->Name().empty()) << "Xvfb did not start";
    }

    // Starts the launcher, the glider standing on the field for `wait`
    // seconds at most; true once the feeder plays and the program has
    // opened its log through the save dialog.
    bool Launch(int speed, const std::string& answers = "", int wait = 0) {
        launcher_ = std::make_unique<Launcher>(build_, home_, log_, igc_, display_->Name(), speed,
                                               answers, wait);
        played_ = FeederStart(build_ / "demo/gps", 30s);
        return played_ && WaitForText(log_, "save " + igc_.string(), 60s);
    }
    // The wall-clock time the feeder plays the flight's second at speed.
    std::chrono::system_clock::time_point When(int second, int speed) const {
        return *played_ + std::chrono::milliseconds(second * 1000LL / speed);
    }

    // SIGTERM to the program: the launcher ends with its exit 0 and ends the
    // feeder; the user's own settings and documents were never touched.
    void EndTheProgram() {
        const std::optional<pid_t> program = launcher_->Child("KOR_VAN");
        ASSERT_TRUE(program) << Output();
        const std::optional<pid_t> feeder = launcher_->Child("demo_feeder");
        ASSERT_TRUE(feeder);
        ::kill(*program, SIGTERM);
        EXPECT_EQ(launcher_->Wait(60s), 0) << Output();
        EXPECT_TRUE(WaitForText(log_, "exit 0", 5s)) << Read(log_);
        EXPECT_NE(::kill(*feeder, 0), 0);  // ended by the launcher
        EXPECT_FALSE(fs::is_symlink(build_ / "demo/gps"));
        EXPECT_EQ(Listing(home_), before_);
    }

    // Every B record a fix of the flight, in order; the number of records
    // and the index of the last record's fix.
    struct Fixes {
        std::size_t records = 0;
        std::size_t last = 0;
    };
    Fixes BRecordsAreFixesOfTheFlight(const std::vector<std::string>& lines, const Flight& flight) {
        Fixes fixes;
        for (const std::string& line : lines) {
            if (!line.starts_with("B") || line.size() < 24) continue;
            ++fixes.records;
            const double latitude = IgcDegrees(line.substr(7, 8), 2);
            const double longitude = IgcDegrees(line.substr(15, 9), 3);
            const auto same = [&](const FlightSample& s) {
                const LatLon p = ToLatLon(s.at);
                // The sentence rounds to 0.0001 minute, the record to 0.001.
                constexpr double kHalfRecordUnit = 0.00056 / 60.0;
                return std::fabs(p.latitude - latitude) < kHalfRecordUnit &&
                       std::fabs(p.longitude - longitude) < kHalfRecordUnit;
            };
            while (fixes.last < flight.samples.size() && !same(flight.samples[fixes.last]))
                ++fixes.last;
            EXPECT_LT(fixes.last, flight.samples.size()) << "not a fix of the flight: " << line;
            if (fixes.last == flight.samples.size()) break;
        }
        return fixes;
    }

    // The independent reader in its strict mode; false when node or the
    // reader is not installed.
    bool IgcParserAvailable() const {
        return std::system("node --version >/dev/null 2>&1") == 0 && fs::exists(Modules());
    }
    int IgcParser() const {
        const std::string check = "NODE_PATH='" + Modules().parent_path().string() + "' node '" +
                                  (kSource / "recorder/tests/igc_parser_check.js").string() +
                                  "' '" + igc_.string() + "' >/dev/null";
        return std::system(check.c_str());
    }

    std::string Output() const { return Read(folder_ / "launcher.out"); }
    static fs::path Modules() { return kSource / "build/npm/node_modules/igc-parser"; }

    const test_support::ScratchFolder folder_{"launcher"};
    const fs::path home_ = folder_ / "home";
    const fs::path build_ = folder_ / "build";
    const fs::path demo_ = build_ / "demo";
    const fs::path igc_ = demo_ / "documents" / "demo-launcher-test.igc";
    const fs::path log_ = folder_ / "program.log";
    std::map<std::string, std::size_t> before_;
    std::unique_ptr<test_support::PrivateDisplay> display_;
    std::unique_ptr<Launcher> launcher_;
    std::optional<std::chrono::system_clock::time_point> played_;
};

TEST_F(DemoLauncher, FliesTheWholeFlightWithoutTouchingTheUsersOwnFiles) {
    constexpr int kSpeed = 60;
    const Flight flight = FlyDemoFlight();
    ASSERT_TRUE(Launch(kSpeed)) << Output();

    // The screen at each phase of the flight, saved for review (a fix
    // reaches the screen within a few hundred milliseconds).
    const fs::path screenshots = kBuild / "demo/screenshots";
    fs::create_directories(screenshots);
    for (const Moment& moment : ReviewMoments(flight.events)) {
        std::this_thread::sleep_until(When(moment.second, kSpeed) + 400ms);
        EXPECT_TRUE(display_->SaveScreen(screenshots / (std::string(moment.name) + ".png")))
            << moment.name;
    }

    // Until the feeder has played the landing and a few standing fixes.
    std::this_thread::sleep_until(When(static_cast<int>(flight.samples.size()), kSpeed) + 8s);
    EndTheProgram();

    // The program kept its last published fix for the next start: the
    // flight's last, on the home field.
    const std::string settings = Read(demo_ / "config/Tarnwell Software/KOR_VAN WinCE");
    const auto value = [&settings](const std::string& name) {
        const std::size_t at = settings.find("\n" + name + "=text:");
        return at == std::string::npos ? 1e9 : std::stod(settings.substr(settings.find(':', at) + 1));
    };
    const LatLon kept{value("InitLatitude"), -value("InitLongitude")};
    const LatLon last = ToLatLon(flight.samples.back().at);
    EXPECT_NEAR(kept.latitude, last.latitude, 1e-5) << settings;
    EXPECT_NEAR(kept.longitude, last.longitude, 1e-5) << settings;
    EXPECT_LT(DistanceKm(ToLocal(kept), Airfields().front().at), 2.5) << settings;

    // The log: every B record a fix of the flight, in order, and most fixes
    // of the flight there; the glider of the seeded header; G records at
    // the end.
    const std::vector<std::string> lines = Lines(Read(igc_));
    ASSERT_FALSE(lines.empty());
    const Fixes fixes = BRecordsAreFixesOfTheFlight(lines, flight);
    EXPECT_GT(fixes.records, flight.samples.size() * 9 / 10);
    // The program kept up: the last fix it logged is where the flight ended
    // (the last seconds of the roll-out are within a record's resolution).
    EXPECT_GE(fixes.last + 5, static_cast<std::size_t>(flight.events.stopped));
    for (const char* header : {"HFPLTPILOT: Demo Pilot", "HFGTYGLIDERTYPE: Demo Standard",
                               "HFGIDGLIDERID: D-DEMO"})
        EXPECT_NE(std::find(lines.begin(), lines.end(), header), lines.end()) << header;
    EXPECT_NE(std::find_if(lines.begin(), lines.end(),
                           [](const std::string& line) { return line.starts_with("G"); }),
              lines.end());

    if (!IgcParserAvailable())
        GTEST_SKIP() << "node or igc-parser is not installed: the independent IGC reader cannot run";
    EXPECT_EQ(IgcParser(), 0);
}

// The pilot's declaration, as a newcomer makes it on the field: Flight >
// Declare task offers the seeded demo task, each dialog is confirmed as it
// comes (the header filled in from the seeded settings), the declaration's
// log replaces the one start-up opened, and the C records declare the
// task's points; the flight's fixes follow.
class DemoLauncherDeclaration : public DemoLauncher {
  protected:
    // Clicks at (x, y) inside the window of this title once it is shown.
    bool ClickIn(const std::string& title, int x, int y) const {
        const std::string display = "DISPLAY=" + display_->Name() + " ";
        const std::string find = display + "timeout 20 xdotool search --sync --onlyvisible --name '^" +
                                 title + "$' getwindowgeometry %1";
        FILE* pipe = ::popen(find.c_str(), "r");
        if (pipe == nullptr) return false;
        int left = -1, top = -1;
        char line[256];
        while (std::fgets(line, sizeof line, pipe) != nullptr)
            std::sscanf(line, " Position: %d,%d", &left, &top);
        ::pclose(pipe);
        if (left < 0) return false;
        std::this_thread::sleep_for(300ms);  // laid out and drawn
        const std::string click = display + "xdotool mousemove " + std::to_string(left + x) + " " +
                                  std::to_string(top + y) + " click 1";
        return std::system(click.c_str()) == 0;
    }
    // Types `keys` (xdotool's "key" or "type" arguments) into the window of
    // this title once it is shown, the pointer over it (no window manager:
    // the keyboard goes to the window under the pointer).
    bool KeysIn(const std::string& title, const std::string& keys) const {
        const std::string display = "DISPLAY=" + display_->Name() + " ";
        const std::string find = display + "timeout 20 xdotool search --sync --onlyvisible --name '^" +
                                 title + "$' getwindowgeometry %1";
        FILE* pipe = ::popen(find.c_str(), "r");
        if (pipe == nullptr) return false;
        int left = -1, top = -1, width = 0, height = 0;
        char line[256];
        while (std::fgets(line, sizeof line, pipe) != nullptr) {
            std::sscanf(line, " Position: %d,%d", &left, &top);
            std::sscanf(line, " Geometry: %dx%d", &width, &height);
        }
        ::pclose(pipe);
        if (left < 0) return false;
        std::this_thread::sleep_for(300ms);  // laid out and drawn
        const std::string press = display + "xdotool mousemove " + std::to_string(left + width / 2) +
                                  " " + std::to_string(top + height / 2) + " sleep 0.2 " + keys;
        return std::system(press.c_str()) == 0;
    }
    // The first file of the folder with this extension, once it holds `text`.
    static std::optional<fs::path> WaitForFile(const fs::path& folder, const std::string& extension,
                                               const std::string& text, std::chrono::seconds limit) {
        const auto end = Clock::now() + limit;
        for (; Clock::now() < end; std::this_thread::sleep_for(100ms)) {
            std::error_code error;
            for (const auto& entry : fs::directory_iterator(folder, error))
                if (entry.path().extension() == extension &&
                    Read(entry.path()).find(text) != std::string::npos)
                    return entry.path();
        }
        return std::nullopt;
    }
};

TEST_F(DemoLauncherDeclaration, TheDemoTaskIsDeclaredBeforeTakeOff) {
    if (std::system("xdotool version >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "xdotool is not installed: nothing can work the program's dialogs";
    // The glider waits on the field for the declaration whatever the speed;
    // from there to the tow, a third of the whole-flight test's speed.
    constexpr int kSpeed = 20;
    const Flight flight = FlyDemoFlight();
    // "yes": the declaration's log starts the file afresh. The glider
    // stands on the field, as long as the pilot takes, up to a minute.
    ASSERT_TRUE(Launch(kSpeed, "yes", 60)) << Output();

    // The Flight menu, its "Declare task..." item, then each dialog's OK.
    ASSERT_TRUE(ClickIn("KOR_VAN", 265, 12));
    ASSERT_TRUE(ClickIn("KOR_VAN", 316, 62));
    ASSERT_TRUE(ClickIn("Task editor", 524, 143));
    ASSERT_TRUE(ClickIn("Task points", 585, 284));
    ASSERT_TRUE(ClickIn("Task limits", 305, 308));
    ASSERT_TRUE(ClickIn("IGC header", 174, 282));
    EXPECT_EQ(Output().find("the flight starts"), std::string::npos) << "did not wait on the field";
    ASSERT_TRUE(ClickIn("Declare task", 133, 61));
    // The declaration sends the glider on its way.
    ASSERT_TRUE(WaitForText(folder_ / "launcher.out", "the flight starts", 10s)) << Output();
    played_ = std::chrono::system_clock::now();

    // Until the glider is on tow, then the program ends.
    std::this_thread::sleep_until(When(flight.events.takeOff + 40, kSpeed));
    EndTheProgram();

    const std::vector<std::string> lines = Lines(Read(igc_));
    EXPECT_NE(std::find(lines.begin(), lines.end(), "HFPLTPILOT: Demo Pilot"), lines.end());
    // One C block: its header (declared now, no flight date, task 1, no
    // turnpoints beyond the four points), then the task's points in order.
    const auto header = std::find_if(lines.begin(), lines.end(),
                                     [](const std::string& line) { return line.starts_with("C"); });
    ASSERT_NE(header, lines.end());
    ASSERT_EQ(header->size(), 25U) << *header;
    EXPECT_EQ(header->substr(13), "000000000100") << *header;
    const Task& task = TheTask();
    const struct {
        LocalPoint at;
        const char* text;
    } declared[] = {{task.start, "Demo Home Field - takeoff site"},
                    {task.turnpoint1, "Demo Turn East"},
                    {task.turnpoint2, "Demo Turn North"},
                    {task.finish, "Demo Home Field - landing site"}};
    ASSERT_GE(lines.end() - header, 5);
    for (std::size_t i = 0; i < std::size(declared); ++i) {
        const std::string& line = header[static_cast<std::ptrdiff_t>(i) + 1];
        ASSERT_GE(line.size(), 19U) << line;
        EXPECT_EQ(line.substr(19), declared[i].text) << line;
        const LatLon at = ToLatLon(declared[i].at);
        // Thousandths of a minute: half a unit apart at most.
        constexpr double kHalfUnit = 0.0005 / 60.0 + 1e-9;
        EXPECT_NEAR(IgcDegrees(line.substr(1, 8), 2), at.latitude, kHalfUnit) << line;
        EXPECT_NEAR(IgcDegrees(line.substr(9, 9), 3), at.longitude, kHalfUnit) << line;
    }
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                            [](const std::string& line) { return line.starts_with("C"); }),
              5);

    // The fixes after the declaration: the flight's, up to the tow.
    const Fixes fixes = BRecordsAreFixesOfTheFlight(lines, flight);
    EXPECT_GT(fixes.records, 0U);
    EXPECT_GT(fixes.last, static_cast<std::size_t>(flight.events.takeOff));

    if (!IgcParserAvailable())
        GTEST_SKIP() << "node or igc-parser is not installed: the independent IGC reader cannot run";
    EXPECT_EQ(IgcParser(), 0);
}

// The flight log's own save dialog at start-up, as a newcomer meets it:
// Return takes the name it offers, an IGC file that fills with the flight.
TEST_F(DemoLauncherDeclaration, ReturnInTheFlightLogsSaveDialogRecordsAnIgcFile) {
    if (std::system("xdotool version >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "xdotool is not installed: nothing can work the program's dialogs";
    launcher_ = std::make_unique<Launcher>(build_, home_, log_, "dialog", display_->Name(), 20, "", 0);
    ASSERT_TRUE(KeysIn("GPS Data log", "key Return")) << Output();
    const fs::path documents = demo_ / "documents";
    const std::optional<fs::path> log = WaitForFile(documents, ".igc", "\nB", 60s);
    ASSERT_TRUE(log) << Output();
    EndTheProgram();

    const std::vector<std::string> lines = Lines(Read(*log));
    ASSERT_FALSE(lines.empty());
    EXPECT_TRUE(lines.front().starts_with("AXKV")) << lines.front();
    EXPECT_GT(std::count_if(lines.begin(), lines.end(),
                            [](const std::string& line) { return line.starts_with("B"); }),
              0);
    EXPECT_TRUE(lines.back().starts_with("G")) << lines.back();
    EXPECT_EQ(Output().find("assertion"), std::string::npos) << Output();
}

// File > Save task file and Load task file through their dialogs: the task
// saved, changed on disk, loaded and saved again comes back changed.
TEST_F(DemoLauncherDeclaration, TaskFilesRoundTripThroughTheirDialogs) {
    if (std::system("xdotool version >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "xdotool is not installed: nothing can work the program's dialogs";
    ASSERT_TRUE(Launch(5, "", 60)) << Output();
    const fs::path documents = demo_ / "documents";
    const fs::path first = documents / "roundtrip.tsk";
    const fs::path second = documents / "roundtrip2.tsk";

    // File, then its "Save task file..." and "Load task file..." items.
    const auto save = [this] { return ClickIn("KOR_VAN", 19, 12) && ClickIn("KOR_VAN", 80, 87); };
    const auto load = [this] { return ClickIn("KOR_VAN", 19, 12) && ClickIn("KOR_VAN", 80, 62); };
    ASSERT_TRUE(save());
    ASSERT_TRUE(KeysIn("Task File", "key ctrl+a type --delay 20 '" + first.string() + "'"));
    ASSERT_TRUE(KeysIn("Task File", "key Return"));
    ASSERT_TRUE(WaitForFile(documents, ".tsk", "/*TASK*/", 20s)) << Output();
    std::string text = Read(first);
    const std::size_t name = text.find("\r\n") + 2;
    text.replace(name, text.find("\r\n", name) - name, "Round Trip Task");
    std::ofstream(first, std::ios::binary) << text;

    ASSERT_TRUE(load());
    ASSERT_TRUE(KeysIn("Task File", "key Return"));  // the file just saved
    std::this_thread::sleep_for(1s);
    ASSERT_TRUE(save());
    ASSERT_TRUE(KeysIn("Task File", "key ctrl+a type --delay 20 '" + second.string() + "'"));
    ASSERT_TRUE(KeysIn("Task File", "key Return"));
    const auto end = Clock::now() + 20s;
    while (!fs::exists(second) && Clock::now() < end) std::this_thread::sleep_for(100ms);
    std::this_thread::sleep_for(500ms);
    EXPECT_NE(Read(second).find("Round Trip Task"), std::string::npos) << Read(second);
    EndTheProgram();
    EXPECT_EQ(Output().find("assertion"), std::string::npos) << Output();
}

}  // namespace
}  // namespace demo
