// The launcher (scripts/demo.sh) against this build, under the test display:
// a whole demonstration flight at 60 times real time, with a private home
// folder that holds settings and documents of its own.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

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
constexpr int kSpeed = 60;

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
    Launcher(const fs::path& home, const fs::path& log, const fs::path& save) {
        pid_ = ::fork();
        if (pid_ != 0) return;
        std::vector<std::string> env;
        for (const char* name : {"PATH", "DISPLAY", "XAUTHORITY", "LANG"})
            if (const char* value = std::getenv(name)) env.push_back(std::string(name) + "=" + value);
        env.push_back("HOME=" + home.string());
        env.push_back("XDG_RUNTIME_DIR=" + home.parent_path().string());
        env.push_back("KOR_VAN_TEST_LOG=" + log.string());
        env.push_back("KOR_VAN_TEST_SAVE=" + save.string());
        env.push_back("KOR_VAN_SCREEN=800x480");
        const fs::path suppressions = kSource / "app/tests/gui/program.lsan.supp";
        env.push_back("LSAN_OPTIONS=suppressions=" + suppressions.string() + ":print_suppressions=0");
        std::vector<char*> envp;
        for (std::string& e : env) envp.push_back(e.data());
        envp.push_back(nullptr);
        const std::string script = (kSource / "scripts/demo.sh").string();
        const std::string build = kBuild.string();
        const std::string speed = std::to_string(kSpeed);
        const std::string output = (home.parent_path() / "launcher.out").string();
        std::freopen(output.c_str(), "w", stdout);
        std::freopen(output.c_str(), "a", stderr);
        const char* argv[] = {"bash", script.c_str(), build.c_str(), "--reset-demo", "--speed",
                              speed.c_str(), nullptr};
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

TEST(DemoLauncher, FliesTheWholeFlightWithoutTouchingTheUsersOwnFiles) {
    const test_support::ScratchFolder folder("launcher");
    const fs::path home = folder / "home";
    folder.Write("home/.config/Tarnwell Software/KOR_VAN WinCE",
                 "kv-settings 1\n[Settings]\nMapFile=text:/nowhere/sentinel.map\n");
    folder.Write("home/.config/user-dirs.dirs", "XDG_DOCUMENTS_DIR=\"$HOME/Documents\"\n");
    folder.Write("home/Documents/sentinel.txt", "the pilot's own documents\n");
    const auto before = Listing(home);

    const fs::path demo = kBuild / "demo";
    const fs::path igc = demo / "documents" / "demo-launcher-test.igc";
    fs::remove(igc);
    const fs::path log = folder / "program.log";
    const Flight flight = FlyDemoFlight();
    Launcher launcher(home, log, igc);
    ASSERT_TRUE(WaitForText(log, "save " + igc.string(), 60s)) << Read(folder / "launcher.out");

    // Until the feeder has played the landing and a few standing fixes.
    const auto flown = std::chrono::seconds(flight.samples.size() / kSpeed + 8);
    std::this_thread::sleep_for(flown);
    const std::optional<pid_t> program = launcher.Child("KOR_VAN");
    ASSERT_TRUE(program) << Read(folder / "launcher.out");
    const std::optional<pid_t> feeder = launcher.Child("demo_feeder");
    ASSERT_TRUE(feeder);
    ::kill(*program, SIGTERM);
    EXPECT_EQ(launcher.Wait(60s), 0) << Read(folder / "launcher.out");
    EXPECT_TRUE(WaitForText(log, "exit 0", 5s)) << Read(log);
    EXPECT_NE(::kill(*feeder, 0), 0);  // ended by the launcher
    EXPECT_FALSE(fs::is_symlink(demo / "gps"));

    // The user's own settings and documents: not opened, not changed.
    EXPECT_EQ(Listing(home), before);

    // The program kept its place on the home field for the next start.
    const std::string settings = Read(demo / "config/Tarnwell Software/KOR_VAN WinCE");
    const auto value = [&settings](const std::string& name) {
        const std::size_t at = settings.find("\n" + name + "=text:");
        return at == std::string::npos ? 1e9 : std::stod(settings.substr(settings.find(':', at) + 1));
    };
    const LocalPoint rest = ToLocal({value("InitLatitude"), -value("InitLongitude")});
    EXPECT_LT(DistanceKm(rest, Airfields().front().at), 2.5) << settings;

    // The log: every B record a fix of the flight, in order, and most fixes
    // of the flight there; G records at the end. (C records come only once
    // the pilot starts or declares the task, which nothing does here.)
    const std::string text = Read(igc);
    ASSERT_FALSE(text.empty());
    std::istringstream lines(text);
    std::size_t next = 0, records = 0, signatures = 0;
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.starts_with("G")) ++signatures;
        if (!line.starts_with("B") || line.size() < 24) continue;
        ++records;
        const double latitude = IgcDegrees(line.substr(7, 8), 2);
        const double longitude = IgcDegrees(line.substr(15, 9), 3);
        const auto same = [&](const FlightSample& s) {
            const LatLon p = ToLatLon(s.at);
            // The sentence rounds to 0.0001 minute, the record to 0.001.
            constexpr double kHalfRecordUnit = 0.00056 / 60.0;
            return std::fabs(p.latitude - latitude) < kHalfRecordUnit &&
                   std::fabs(p.longitude - longitude) < kHalfRecordUnit;
        };
        while (next < flight.samples.size() && !same(flight.samples[next])) ++next;
        ASSERT_LT(next, flight.samples.size()) << "not a fix of the flight: " << line;
    }
    EXPECT_GT(records, flight.samples.size() * 9 / 10);
    // The program kept up: the last fix it logged is where the flight ended
    // (the last seconds of the roll-out are within a record's resolution).
    EXPECT_GE(next + 5, static_cast<std::size_t>(flight.events.stopped));
    EXPECT_GT(signatures, 0U);

    const fs::path modules = kSource / "build/npm/node_modules/igc-parser";
    if (std::system("node --version >/dev/null 2>&1") != 0 || !fs::exists(modules))
        GTEST_SKIP() << "node or igc-parser is not installed: the independent IGC reader cannot run";
    const std::string check = "NODE_PATH='" + modules.parent_path().string() + "' node '" +
                              (kSource / "recorder/tests/igc_parser_check.js").string() + "' '" +
                              igc.string() + "' >/dev/null";
    EXPECT_EQ(std::system(check.c_str()), 0);
}

}  // namespace
}  // namespace demo
