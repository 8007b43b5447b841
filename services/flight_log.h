#pragma once
// The open flight log and what every writer of a log line shares.
//
// One log is open at a time: an IGC file or the program's own text log. The
// frame, the option pages and the port reader all write into it, each line
// the same way under LogFileLock: write the whole line and flush it to the
// disk, so that a crash loses at most the line being written; on a failure
// (a full disk) cut the file back to the end of the last whole line and
// report it to the main window (WM_APP_LOGWRITEERROR with errno); fold a
// written line into the IGC digest when the log is an IGC file, so that the
// digest covers exactly the lines in the file.
//
// The recorder opens and closes the log; the descriptor must be open for
// reading and writing WITHOUT O_APPEND (the date header is rewritten in
// place) and positioned at the end of the file.

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string_view>

#include "platform/critical_section.h"
#include "platform/unique_fd.h"

namespace core {

// Held while a line is written, flushed and folded into the digest, and
// around every other use of the log, the digest and the date-header offset.
// The engine-noise lock is taken inside it, never the other way round.
inline platform::CriticalSection LogFileLock;

// The open log's file; use it only under LogFileLock.
class FlightLogHandle {
  public:
    bool IsOpen() const { return fd_.Valid(); }
    int Fd() const { return fd_.Get(); }

    // Takes the descriptor of a newly opened log (closing one held before).
    void Attach(platform::UniqueFd fd) { fd_ = std::move(fd); }
    // Closes the log; no log is open afterwards.
    void Close() { fd_.Reset(); }

  private:
    platform::UniqueFd fd_;
};

inline FlightLogHandle g_hFlightLog;

// The IGC security digest: a 64-byte table into which every line written to
// an IGC log is folded, one slot per line in turn.
class IgcDigest {
  public:
    static constexpr int kSlots = 64;

    // A new digest from the seed: table[i] = seed + i (i + 1), slot 0.
    void Start(std::uint8_t seed);

    // Folds one line: its bytes up to (not including) the first CR, or all
    // of them when it has none. Only the low seven bits of a byte count.
    void Fold(std::string_view line);

    const std::array<std::uint8_t, kSlots>& Table() const { return table_; }
    std::uint8_t Seed() const { return seed_; }
    int Slot() const { return slot_; }

  private:
    std::array<std::uint8_t, kSlots> table_{};
    std::uint8_t running_ = 0;  // the XOR of the line being folded; 0 between lines
    std::uint8_t seed_ = 0;
    int slot_ = 0;
};

// Under LogFileLock.
inline IgcDigest g_igcDigest;

// The clock the recorder reads (file names, header dates, digest seeds,
// declaration times): the system clock unless a test installs another.
using LogClock = std::chrono::system_clock::time_point (*)();
void SetLogClock(LogClock clock);  // null: the system clock again
std::chrono::system_clock::time_point LogNow();

// Starts the digest of a new IGC log, seeded from the millisecond of the
// local time divided by 4 (0..249). Call under LogFileLock.
void StartIgcSecurity();

// File offset of the placeholder date header ("HFDTE...") of the open IGC
// log, to be overwritten once the GPS date is known; -1 when none is
// pending. Under LogFileLock.
inline std::int64_t g_dateHeaderOffset = -1;

// Counts the times the serial-error record counts were cleared (each new
// log clears them), so that the port reader, which keeps the counts, starts
// again from zero for the new log.
inline std::atomic<unsigned> g_serialErrorCountsEpoch{0};

inline void ClearSerialErrorCounts() {
    g_serialErrorCountsEpoch.fetch_add(1, std::memory_order_relaxed);
}

// Writes one whole line (its CR LF included) to the open log: takes
// LogFileLock, writes and flushes it, or on a failure removes what was
// written of it and reports the failure; folds a written line into the
// digest when "LogFormat" is 1 and `fold` is set. False when no log is open
// or the write or the flush failed.
bool WriteLogLine(std::string_view line, bool fold = true);

// Writes and flushes all of text at the end of the open log, or none of it,
// without reporting or folding it; 0, or the errno of the failure (EBADF
// when no log is open). Under LogFileLock.
int AppendToLog(std::string_view text);

// Writes text over the log's bytes at offset and flushes, leaving the file
// position alone; a failure is reported like a failed line. Under
// LogFileLock; false when no log is open or the write failed.
bool OverwriteLogAt(std::int64_t offset, std::string_view text);

// Posts WM_APP_LOGWRITEERROR to the main window with the error number.
void ReportLogWriteError(int error);

// Restarts the digest with a new seed and folds the open IGC log's lines
// into it from the start of the file: lines up to LF, at most 255 bytes
// each; "L" lines (and "HO", "HP" header lines) are left out unless they
// start with the program's own "LXKV"; reading stops at the first "G" line.
// The file position is not moved. Does nothing unless an IGC log is open.
// Under LogFileLock.
void RebuildIgcDigest();

// The engine-noise sensor's level, written by the sensor and read for each
// IGC fix line, under its own lock (taken inside LogFileLock).
struct EngineNoiseLevel {
    platform::CriticalSection lock;
    bool running = false;
    std::uint16_t value = 0;
};

inline EngineNoiseLevel g_enlValue;

// The current level while the sensor runs.
std::optional<int> EngineNoiseReading();

}  // namespace core
