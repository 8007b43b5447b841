#pragma once
// SIGTERM, SIGINT and SIGHUP (logout, system shut-down, Ctrl+C, a closed
// terminal) end a wx program as its own close command does, whatever
// window is open.
//
// main blocks the three signals as its first statement, so every thread
// started after it (the toolkit's included) inherits the block and none can
// be ended by the signal's default action. Once the application object
// stands, a TerminationWatch takes the signals through wx's self-pipe, so
// they are handled on the UI thread by whichever event loop runs, a modal
// dialog's or a native message box's included, and unblocks them there: a
// signal sent earlier is delivered then.
//
// On the first signal every modal dialog and message box that is open is
// closed as if cancelled, every one asked for later is cancelled at once
// (it answers wxID_CANCEL without showing), and the program's close runs
// once, from the event loop after the modal loops have unwound.

#include <functional>
#include <memory>

namespace platform::gui {

// Blocks the termination signals for the calling thread (main's first
// statement).
void BlockTerminationSignals();

// A program whose main wx writes makes this the first base of its wxApp:
// the signals are blocked before the toolkit starts its threads.
struct TerminationSignalsBlocked {
    TerminationSignalsBlocked() { BlockTerminationSignals(); }
};

// One per program, made on the UI thread once the wx application exists.
class TerminationWatch {
  public:
    // close: what the program's close command does (closing its main
    // window, or nothing when cancelling its main dialog ends it).
    explicit TerminationWatch(std::function<void()> close = {});
    // Blocks the signals again: the program is ending already.
    ~TerminationWatch();
    TerminationWatch(const TerminationWatch&) = delete;
    TerminationWatch& operator=(const TerminationWatch&) = delete;

    // True once a termination signal has arrived.
    static bool Requested();

  private:
    class ModalTracker;
    // Called by wx on the UI thread, from its self-pipe.
    static void OnSignal(int signal);

    static ModalTracker* active_;
    std::unique_ptr<ModalTracker> modals_;
};

}  // namespace platform::gui
