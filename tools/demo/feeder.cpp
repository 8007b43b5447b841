#include "tools/demo/feeder.h"

#include <fcntl.h>
#include <pty.h>
#include <signal.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fstream>
#include <thread>

namespace demo {
namespace {

namespace fs = std::filesystem;

double MonotonicSeconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

}  // namespace

bool FolderHoldsDeclaredLog(const std::filesystem::path& folder) {
    std::error_code error;
    for (fs::directory_iterator entry(folder, error), end; !error && entry != end;
         entry.increment(error)) {
        if (entry->path().extension() != ".igc") continue;
        std::ifstream log(entry->path(), std::ios::binary);
        for (std::string line; std::getline(log, line);)
            if (line.starts_with('C')) return true;
    }
    return false;
}

Feeder::Feeder(std::vector<Epoch> epochs, FeederOptions options)
    : epochs_(std::move(epochs)), options_(std::move(options)) {}

Feeder::~Feeder() {
    // Only our own link goes: another feeder may have replaced it.
    std::error_code error;
    if (linked_ && fs::read_symlink(options_.link, error) == fs::path(terminal_))
        fs::remove(options_.link, error);
}

bool Feeder::Open() {
    int master = -1;
    int slave = -1;
    char name[256] = {};
    if (::openpty(&master, &slave, name, nullptr, nullptr) != 0) {
        error_ = std::string("no pseudo-terminal: ") + std::strerror(errno);
        return false;
    }
    master_.Reset(master);
    slave_.Reset(slave);
    terminal_ = name;
    // Raw, so nothing echoes back; the master never blocks: with no reader
    // the terminal's queue fills and sentences are dropped.
    termios raw{};
    if (::tcgetattr(slave, &raw) == 0) {
        ::cfmakeraw(&raw);
        ::tcsetattr(slave, TCSANOW, &raw);
    }
    ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);

    // Made beside and renamed over, so the path never points nowhere.
    std::error_code error;
    fs::create_directories(options_.link.parent_path(), error);
    const fs::path temporary = options_.link.string() + ".new";
    fs::remove(temporary, error);
    fs::create_symlink(terminal_, temporary, error);
    if (!error) fs::rename(temporary, options_.link, error);
    if (error) {
        error_ = "cannot link " + options_.link.string() + ": " + error.message();
        return false;
    }
    linked_ = true;
    return true;
}

bool Feeder::ShouldEnd() const {
    if (stop_) return true;
    return options_.watch > 0 && ::kill(options_.watch, 0) != 0 && errno == ESRCH;
}

bool Feeder::WaitUntil(double seconds) {
    for (;;) {
        if (ShouldEnd()) return false;
        const double left = startSeconds_ + seconds - MonotonicSeconds();
        if (left <= 0.0) return true;
        std::this_thread::sleep_for(std::chrono::duration<double>(std::min(left, 0.05)));
    }
}

void Feeder::Send(const Epoch& epoch, long long utc, bool standing) {
    std::string bytes;
    for (const std::string& line : epoch.lines) {
        const std::string still = standing ? Standing(line) : line;
        bytes += (options_.shiftTimes || standing ? Retime(still, utc) : still) + "\r\n";
    }
    std::string_view rest = bytes;
    while (!rest.empty()) {
        const ssize_t written = ::write(master_.Get(), rest.data(), rest.size());
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return;  // nobody reads: drop the rest
        rest.remove_prefix(static_cast<std::size_t>(written));
    }
}

std::optional<long long> Feeder::HoldOnTheField(long long utc) {
    if (!options_.released) return 0;
    startSeconds_ = MonotonicSeconds();
    long long held = 0;
    for (; held < options_.holdSeconds && !options_.released(); ++held) {
        Send(epochs_.front(), utc + held, true);
        if (!WaitUntil(static_cast<double>(held + 1))) return std::nullopt;
    }
    return held;
}

int Feeder::Run() {
    if (!master_.Valid() || epochs_.empty()) return 1;
    const long long first = epochs_.front().utc.value_or(0);
    long long offset = options_.shiftTimes ? static_cast<long long>(std::time(nullptr)) - first : 0;
    const std::optional<long long> held = HoldOnTheField(first + offset);
    if (!held) return 0;
    offset += *held;
    std::fprintf(stderr, "demo_feeder: the flight starts\n");
    startSeconds_ = MonotonicSeconds();
    long long last = first;
    for (const Epoch& epoch : epochs_) {
        const long long utc = epoch.utc.value_or(last);
        if (!WaitUntil(static_cast<double>(utc - first) / options_.speed)) return 0;
        Send(epoch, utc + offset, false);
        last = utc;
    }
    // Standing on the field: the last epoch again, once a real second, still
    // and with its time running on.
    const double end = static_cast<double>(last - first) / options_.speed;
    for (int i = 1;; ++i) {
        if (!WaitUntil(end + i)) return 0;
        Send(epochs_.back(), last + i + offset, true);
    }
}

}  // namespace demo
