#include "services/flight_log.h"

#include <unistd.h>

#include <atomic>
#include <cerrno>

#include "core/settings_values.h"
#include "platform/clock.h"
#include "platform/ui_post.h"

namespace core {
namespace {

// Writes all of text at the file's position (offset < 0) or at offset;
// 0 or the errno of the failure.
int WriteAll(int fd, std::string_view text, std::int64_t offset = -1) {
    while (!text.empty()) {
        const ssize_t written = offset < 0 ? ::write(fd, text.data(), text.size())
                                           : ::pwrite(fd, text.data(), text.size(), offset);
        if (written < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        if (written == 0) return EIO;
        text.remove_prefix(static_cast<std::size_t>(written));
        if (offset >= 0) offset += written;
    }
    return 0;
}

int Flush(int fd) {
    return ::fdatasync(fd) == 0 ? 0 : errno;
}

// Writes and flushes all of text at the file's position, or nothing: a
// failed write (a full disk) is cut back to where it began, so that the log
// only ever holds whole records. 0 or the errno of the failure.
int WriteWhole(int fd, std::string_view text) {
    const off_t start = ::lseek(fd, 0, SEEK_CUR);
    int error = WriteAll(fd, text);
    if (error == 0) error = Flush(fd);
    if (error != 0 && start >= 0 && ::ftruncate(fd, start) == 0) ::lseek(fd, start, SEEK_SET);
    return error;
}

std::atomic<LogClock> g_logClock{nullptr};

bool IgcLogOpen() {
    return g_hFlightLog.IsOpen() && g_logFormat.load() == 1;
}

// Reads the log from its start in lines of at most 255 bytes up to LF,
// without moving the file position.
class LogLineReader {
  public:
    explicit LogLineReader(int fd) : fd_(fd) {}

    // The next line, or nothing at the end of the file or on a read error.
    std::optional<std::string_view> Next() {
        std::size_t length = 0;
        while (length < kMaxLine) {
            const std::optional<char> c = NextByte();
            if (!c) break;
            line_[length++] = *c;
            if (*c == '\n') break;
        }
        if (length == 0) return std::nullopt;
        return std::string_view(line_.data(), length);
    }

  private:
    static constexpr std::size_t kMaxLine = 255;

    std::optional<char> NextByte() {
        if (next_ == filled_) {
            ssize_t got = 0;
            do {
                got = ::pread(fd_, buffer_.data(), buffer_.size(), offset_);
            } while (got < 0 && errno == EINTR);
            if (got <= 0) return std::nullopt;
            offset_ += got;
            filled_ = static_cast<std::size_t>(got);
            next_ = 0;
        }
        return buffer_[next_++];
    }

    int fd_;
    off_t offset_ = 0;
    std::array<char, 4096> buffer_{};
    std::size_t filled_ = 0;
    std::size_t next_ = 0;
    std::array<char, kMaxLine> line_{};
};

bool FoldedInRebuild(std::string_view line) {
    const bool logLine = line.starts_with('L') || line.starts_with("HO") || line.starts_with("HP");
    return !logLine || line.starts_with("LXKV");
}

}  // namespace

void IgcDigest::Start(std::uint8_t seed) {
    seed_ = seed;
    for (int i = 0; i < kSlots; ++i)
        table_[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(seed + i * (i + 1));
    running_ = 0;
    slot_ = 0;
}

void IgcDigest::Fold(std::string_view line) {
    for (const char c : line.substr(0, line.find('\r'))) {
        const auto byte = static_cast<std::uint8_t>(c);
        running_ ^= static_cast<std::uint8_t>(slot_ + 2 * byte - 64);
    }
    table_[static_cast<std::size_t>(slot_)] ^= running_;
    running_ = 0;
    slot_ = (slot_ + 1) % kSlots;
}

void SetLogClock(LogClock clock) {
    g_logClock.store(clock);
}

std::chrono::system_clock::time_point LogNow() {
    const LogClock clock = g_logClock.load();
    return clock != nullptr ? clock() : std::chrono::system_clock::now();
}

void StartIgcSecurity() {
    const platform::CriticalSectionLock lock(LogFileLock);
    const platform::SystemTime local = platform::ToSystemTimeLocal(LogNow());
    g_igcDigest.Start(static_cast<std::uint8_t>(local.milliseconds / 4));
}

void ReportLogWriteError(int error) {
    platform::PostWindowMessage(platform::kMainFrameWindow, platform::WM_APP_LOGWRITEERROR, 0,
                                error);
}

int AppendToLog(std::string_view text) {
    const platform::CriticalSectionLock lock(LogFileLock);
    if (!g_hFlightLog.IsOpen()) return EBADF;
    return WriteWhole(g_hFlightLog.Fd(), text);
}

bool WriteLogLine(std::string_view line, bool fold) {
    const platform::CriticalSectionLock lock(LogFileLock);
    if (!g_hFlightLog.IsOpen()) return false;
    const int error = WriteWhole(g_hFlightLog.Fd(), line);
    if (error != 0) {
        ReportLogWriteError(error);
        return false;
    }
    if (fold && g_logFormat.load() == 1) g_igcDigest.Fold(line);
    return true;
}

bool OverwriteLogAt(std::int64_t offset, std::string_view text) {
    const platform::CriticalSectionLock lock(LogFileLock);
    if (!g_hFlightLog.IsOpen() || offset < 0) return false;
    int error = WriteAll(g_hFlightLog.Fd(), text, offset);
    if (error == 0) error = Flush(g_hFlightLog.Fd());
    if (error != 0) ReportLogWriteError(error);
    return error == 0;
}

void RebuildIgcDigest() {
    const platform::CriticalSectionLock lock(LogFileLock);
    if (!IgcLogOpen()) return;
    StartIgcSecurity();
    LogLineReader reader(g_hFlightLog.Fd());
    while (const std::optional<std::string_view> line = reader.Next()) {
        if (line->starts_with('G')) break;
        if (FoldedInRebuild(*line)) g_igcDigest.Fold(line->substr(0, line->find('\n')));
    }
}

std::optional<int> EngineNoiseReading() {
    const platform::CriticalSectionLock lock(g_enlValue.lock);
    if (!g_enlValue.running) return std::nullopt;
    return g_enlValue.value;
}

}  // namespace core
