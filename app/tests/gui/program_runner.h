#pragma once
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
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/settings_store.h"
#include "testing/sanitizer_options.h"

namespace program_test {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

inline const fs::path kBuild = KV_BINARY_DIR;
inline const fs::path kSource = KV_SOURCE_DIR;
constexpr auto kStartLimit = 60s;  // the sanitizers make start-up slow

// A folder of the test's own, removed at its end.
class TempFolder {
  public:
    explicit TempFolder(const std::string& name)
        : path_(kBuild / "app/program_test_runs" / (name + "-" + std::to_string(::getpid()))) {
        fs::remove_all(path_);
        fs::create_directories(path_);
    }
    ~TempFolder() { fs::remove_all(path_); }
    const fs::path& Path() const { return path_; }

  private:
    fs::path path_;
};


inline const fs::path kProgram = kBuild / "KOR_VAN";

struct Options {
    fs::path program;
    std::string port;  // "NMEA" "Port"; empty: not stored
    std::map<std::string, std::string> environment;
};

// A running copy of the program.
class Program {
  public:
    Program(const fs::path& folder, const std::string& name, const Options& options)
        : log_(folder / (name + ".log")), errors_(folder / (name + ".stderr")) {
        std::map<std::string, std::string> env = BaseEnvironment(folder);
        env["KOR_VAN_TEST_LOG"] = log_.string();
        for (const auto& [key, value] : options.environment)
            env[key] = value;
        if (!options.port.empty()) StorePort(folder, options.port);

        std::vector<std::string> entries;
        for (const auto& [key, value] : env)
            entries.push_back(key + "=" + value);
        std::vector<char*> envp;
        for (std::string& entry : entries)
            envp.push_back(entry.data());
        envp.push_back(nullptr);
        std::string path = options.program.string();
        char* argv[] = {path.data(), nullptr};
        const int errorFd = ::open(errors_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);

        pid_ = ::fork();
        if (pid_ == 0) {
            ::prctl(PR_SET_PDEATHSIG, SIGKILL);
            ::dup2(errorFd, STDERR_FILENO);
            ::execve(argv[0], argv, envp.data());
            ::_exit(127);
        }
        ::close(errorFd);
    }
    ~Program() {
        if (!status_) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
    }

    std::vector<std::string> Log() const {
        std::vector<std::string> lines;
        std::ifstream file(log_);
        for (std::string line; std::getline(file, line);)
            lines.push_back(line);
        return lines;
    }
    bool Logged(const std::string& line) const {
        const auto lines = Log();
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }
    std::vector<std::string> Boxes() const {
        std::vector<std::string> boxes;
        for (const std::string& line : Log()) {
            if (line.starts_with("box\t")) boxes.push_back(line.substr(4));
        }
        return boxes;
    }

    // Waits for the line while `tick` runs every 100 ms; false when the
    // program ended or the limit ran out first.
    bool WaitFor(const std::string& line, const std::function<void()>& tick = {}) {
        const auto end = Clock::now() + kStartLimit;
        while (Clock::now() < end) {
            if (Logged(line)) return true;
            if (Exited()) return Logged(line);
            if (tick) tick();
            std::this_thread::sleep_for(100ms);
        }
        return false;
    }

    void Signal(int signal) const { ::kill(pid_, signal); }

    // The exit status (a signal that ended it as 128 + signal); nothing when
    // it still runs after the limit.
    std::optional<int> Wait(std::chrono::seconds limit = kStartLimit) {
        const auto end = Clock::now() + limit;
        while (!Exited() && Clock::now() < end)
            std::this_thread::sleep_for(50ms);
        return status_;
    }

    bool Running() { return !Exited(); }

    std::string Errors() const {
        std::ifstream file(errors_);
        return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    }

  private:
    static std::map<std::string, std::string> BaseEnvironment(const fs::path& folder) {
        std::map<std::string, std::string> env;
        for (const char* name : {"PATH", "DISPLAY", "XAUTHORITY", "LANG"}) {
            if (const char* value = std::getenv(name)) env[name] = value;
        }
        env["HOME"] = folder.string();
        env["XDG_CONFIG_HOME"] = (folder / "config").string();
        env["XDG_RUNTIME_DIR"] = folder.string();
        for (const auto& [name, value] : test_support::SanitizerOptions()) env[name] = value;
        return env;
    }

    static void StorePort(const fs::path& folder, const std::string& port) {
        platform::SettingsStore settings(folder / "config/Tarnwell Software/KOR_VAN WinCE");
        settings.WriteString("NMEA", "Port", std::string_view(port));
    }

    bool Exited() {
        if (status_) return true;
        int status = 0;
        if (::waitpid(pid_, &status, WNOHANG) != pid_) return false;
        status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        return true;
    }

    fs::path log_;
    fs::path errors_;
    pid_t pid_ = -1;
    std::optional<int> status_;
};

inline fs::path SettingsFile(const fs::path& folder) {
    return folder / "config/Tarnwell Software/KOR_VAN WinCE";
}

// A line for the test control of a program started with
// KOR_VAN_TEST_CONTROL=control (app/test_control.h).
inline void SendCommand(const fs::path& control, const std::string& command) {
    std::ofstream(control, std::ios::app) << command << '\n';
}

// Sends a command; the log lines that follow it once one of them begins
// with `done` (a failure, naming what came instead, after 30 s).
inline std::vector<std::string> AskProgram(const Program& program, const fs::path& control,
                                           const std::string& command, const std::string& done) {
    const std::size_t before = program.Log().size();
    SendCommand(control, command);
    std::vector<std::string> answer;
    for (int i = 0; i < 300; ++i) {
        const auto lines = program.Log();
        answer.assign(lines.begin() + static_cast<std::ptrdiff_t>(std::min(before, lines.size())),
                      lines.end());
        for (const std::string& line : answer) {
            if (line.starts_with(done)) return answer;
        }
        std::this_thread::sleep_for(100ms);
    }
    std::string seen;
    for (const std::string& line : answer)
        seen += "\n  " + line;
    ADD_FAILURE() << "no \"" << done << "\" after \"" << command << "\":" << seen;
    return answer;
}


}  // namespace program_test
