#pragma once
// The replay of a recorded flight: a thread reads the flight's records
// (CFlightType), turns each into the pending fix as a receiver would, and
// commits it through the fix commit, pacing the playback. While it runs
// (gps::g_bReplayRunning) the port reader keeps reading but neither parses
// into the pending fix nor commits, and the replay runs no flight-log
// writer, so an open log gets no replayed fixes.
//
// Threads: StartReplay, StopReplay and JoinReplay belong to the UI thread;
// the replay thread posts WM_USER_REPLAYDONE to the main window when it
// ends, unless the window's close asked for no notice (g_bReplayClosing,
// which the thread then clears).

#include <atomic>
#include <functional>
#include <memory>

#include "recorder/flight_file.h"

namespace recorder {

// Set by the close while a replay runs: the replay then ends without
// telling the main window and clears this flag instead.
inline std::atomic<bool> g_bReplayClosing{false};

// Turns one record of file into the pending fix (gps::PendingFix), with
// speed and course from the previous record when the file has none.
class ReplayFixBuilder {
  public:
    void Fill(const FlightRecord& record, const CFlightType& file);

  private:
    bool havePrevious_ = false;
    double previousX_ = 0.0;     // longitude east x cos(latitude), radians
    double previousY_ = 0.0;     // latitude, radians
    double previousTime_ = 0.0;  // hours, day count included
};

// What the replay asks of the map window: whether playback is paused (the
// play flag is 0) and a redraw after each fix. The map window installs it.
struct ReplayMapHooks {
    std::function<bool()> paused;
    std::function<void()> redraw;
    // The map window is in its mode 3, in which no replay starts.
    std::function<bool()> refusesReplay;
};
ReplayMapHooks CurrentReplayMapHooks();
void SetReplayMapHooks(ReplayMapHooks hooks);

// Steps other parts add to the replay's start (navigation state, display
// texts, wind history emptied) and end (circling wind, contest restart):
// RunReplayStartSteps and RunReplayEndSteps call them in the order added,
// on the UI thread.
void AddReplayStartStep(std::function<void()> step);
void AddReplayEndStep(std::function<void()> step);
void RunReplayStartSteps();
void RunReplayEndSteps();

// Starts the replay thread (below normal priority) over the opened file
// and sets gps::g_bReplayRunning; the thread first sets the fix commit's
// and the log records' state back (it owns them while it runs). False
// when a replay still runs.
bool StartReplay(std::unique_ptr<CFlightType> file);
// True while the replay thread has not ended.
bool ReplayThreadRunning();
// True once the replay started last has played its last record (or was
// stopped), though its thread may not have returned yet; false while it
// plays. The end notice of an earlier replay finds this false when a new
// one has started since.
bool LastReplayEnded();
// Asks the replay to stop after the current record.
void StopReplay();
// Waits for an ended or stopping replay thread and joins it.
void JoinReplay();

// The body of the replay thread (the tests run it directly): plays file
// until it ends or gps::g_bReplayRunning is cleared, then posts the end.
// Returns the thread's exit code, 11.
int ReplayThreadProc(CFlightType& file);

}  // namespace recorder
