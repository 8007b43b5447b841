// The three built converters, each started as a child process and ended
// by a termination signal while its first window is up.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "testing/sanitizer_options.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

const fs::path kBuild = KV_BINARY_DIR;
constexpr auto kStartLimit = 60s;  // the sanitizers make start-up slow

class Converter {
  public:
    Converter(const fs::path& program, const fs::path& home) {
        pid_ = ::fork();
        if (pid_ == 0) {
            ::prctl(PR_SET_PDEATHSIG, SIGKILL);
            ::setenv("HOME", home.c_str(), 1);
            ::setenv("XDG_CONFIG_HOME", (home / "config").c_str(), 1);
            for (const auto& [name, value] : test_support::SanitizerOptions())
                ::setenv(name.c_str(), value.c_str(), 1);
            ::chdir(home.c_str());
            const int null = ::open("/dev/null", O_WRONLY);
            ::dup2(null, STDERR_FILENO);
            ::execl(program.c_str(), program.c_str(), nullptr);
            ::_exit(127);
        }
    }
    ~Converter() {
        if (!status_) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
    }

    // True once the program shows a window.
    bool WaitForWindow() {
        const std::string search =
            "xdotool search --onlyvisible --pid " + std::to_string(pid_) + " >/dev/null 2>&1";
        const auto end = Clock::now() + kStartLimit;
        while (Clock::now() < end && !Exited()) {
            if (std::system(search.c_str()) == 0) return true;
            std::this_thread::sleep_for(200ms);
        }
        return false;
    }

    void Signal(int signal) const { ::kill(pid_, signal); }

    std::optional<int> Wait(std::chrono::seconds limit) {
        const auto end = Clock::now() + limit;
        while (!Exited() && Clock::now() < end)
            std::this_thread::sleep_for(50ms);
        return status_;
    }

  private:
    bool Exited() {
        if (status_) return true;
        int status = 0;
        if (::waitpid(pid_, &status, WNOHANG) != pid_) return false;
        status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        return true;
    }

    pid_t pid_ = -1;
    std::optional<int> status_;
};

TEST(ConverterPrograms, EachEndsNormallyOnATerminationSignalWithItsWindowOpen) {
    if (std::system("xdotool version >/dev/null 2>&1") != 0) GTEST_SKIP() << "xdotool is missing";
    const std::vector<std::pair<std::string, int>> runs = {
        {"Quorlin", SIGTERM}, {"Brisvel", SIGINT}, {"Tandrel", SIGHUP}};
    for (const auto& [program, signal] : runs) {
        SCOPED_TRACE(program);
        const fs::path home = kBuild / "tools/converter_runs" / (program + std::to_string(::getpid()));
        fs::remove_all(home);
        fs::create_directories(home);
        {
            Converter converter(kBuild / program, home);
            ASSERT_TRUE(converter.WaitForWindow());
            std::this_thread::sleep_for(500ms);
            converter.Signal(signal);
            EXPECT_EQ(converter.Wait(5s), 0);
        }
        fs::remove_all(home);
    }
}

}  // namespace
