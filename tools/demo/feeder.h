#pragma once
// The feeder: plays a sentence file into a pseudo-terminal it opens, as a
// receiver would, for the flight computer to read through a fixed path (a
// symbolic link to the terminal).
//
// Epochs (sentence_epochs.h) go out at real time x the speed-up, their
// times shifted so that the first is now (or kept as written). After the
// last, its sentences are sent again once a second, standing still with
// the time running on (kept times too), so the program keeps a fix on the
// ground. Run ends when Stop() is called (the program's SIGTERM handler
// does) or when the watched process has gone.
//
// Before the flight the glider may be held on the field: the first epoch,
// standing still, once a real second with its time running on, until the
// pilot has declared the task or the hold's limit has passed; the flight
// then plays on from that time.

#include <atomic>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <sys/types.h>

#include "platform/unique_fd.h"
#include "tools/flight_text/sentence_epochs.h"

namespace demo {

// The feeder plays and re-times the epochs of a sentence file.
using flight_text::Epoch;
using flight_text::Retime;
using flight_text::SplitEpochs;
using flight_text::Standing;

struct FeederOptions {
    std::filesystem::path link;  // the symbolic link to make
    double speed = 5.0;          // epochs per real second
    bool shiftTimes = true;
    pid_t watch = 0;  // end when this process has gone (0: none)
    // The hold on the field: ends once this returns true (no hold without
    // it) or after holdSeconds real seconds.
    std::function<bool()> released;
    int holdSeconds = 60;
};

// Whether a flight log in `folder` holds a task declaration: an IGC file
// (".igc") with a C record.
bool FolderHoldsDeclaredLog(const std::filesystem::path& folder);

class Feeder {
  public:
    Feeder(std::vector<Epoch> epochs, FeederOptions options);
    ~Feeder();  // removes the link
    Feeder(const Feeder&) = delete;
    Feeder& operator=(const Feeder&) = delete;

    // Opens the terminal and makes the link; false (with the reason in
    // Error()) when either fails.
    bool Open();
    const std::string& Error() const { return error_; }
    const std::string& TerminalPath() const { return terminal_; }

    // Plays until stopped; returns 0, or 1 when Open was not done.
    int Run();
    void Stop() { stop_ = true; }

  private:
    // Sleeps until `seconds` after the start; false when it should end.
    bool WaitUntil(double seconds);
    // The hold on the field from `utc` on: the seconds held, or nothing
    // when the feeder should end.
    std::optional<long long> HoldOnTheField(long long utc);
    bool ShouldEnd() const;
    void Send(const Epoch& epoch, long long utc, bool standing);

    std::vector<Epoch> epochs_;
    FeederOptions options_;
    platform::UniqueFd master_;
    platform::UniqueFd slave_;  // held, so the terminal lives between readers
    std::string terminal_;
    std::string error_;
    bool linked_ = false;
    std::atomic<bool> stop_{false};
    double startSeconds_ = 0.0;
};

}  // namespace demo
