#pragma once
// The task declaration written into the open IGC log (C records), and the
// hand-over of the task to an external FAI logger. UI thread.

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "recorder/flight_log_file.h"

#include "recorder/igc_records.h"

namespace nav {
class CTask;
}

namespace recorder {

// The declared points of a task, in its order.
std::vector<DeclaredPoint> DeclaredPointsOf(const nav::CTask& task);

// Declares the task to the external FAI logger when the pilot chose that
// and a logger library is bound: true declared, false failed; nothing when
// no declaration to a logger was asked for. The logger binding installs it.
using LoggerDeclaration = std::function<std::optional<bool>(const nav::CTask& task)>;
void SetLoggerDeclaration(LoggerDeclaration declaration);

// The port number an external logger is told: the trailing number of the
// GPS port's device name ("/dev/ttyUSB1" 1, "/dev/ttyS12" 12, "COM3:" 3);
// 0 without one.
int LoggerPortNumber(std::wstring_view deviceName);

// Declarations written in this run; the next C block carries this plus 1.
inline int g_nDeclarations = 0;

// Writes the task's C block into an open IGC log (nothing with fewer than
// 4 points), then declares it to the external logger with its E record.
// Does nothing, returning 0, while no task is navigated unless force is
// set; 1 otherwise.
int WriteTaskDeclaration(const nav::CTask& task, int force);

// What the declaration command asks of the windows around it.
struct DeclarationSteps {
    // The task choice: 1 chosen (and made the current task), 2 cancelled;
    // mode 1 at the start, 0 in the confirmation loop.
    std::function<int(int mode)> selectTask;
    // The current task; null when there is none.
    std::function<const nav::CTask*()> currentTask;
    // The IGC header dialog: its header lines in the order GPS, PRS, CID,
    // CCL, SIT, SEC; nothing when it was not left with OK.
    std::function<std::optional<std::vector<std::wstring>>()> headerDialog;
    // The confirmation after a declaration: true for OK.
    std::function<bool()> confirm;
    // Opens the declaration's log: StartFlightLog(1, 1).
    std::function<LogStart()> startLog;
    // A logger library is bound and the pilot chose to declare to it.
    bool toLogger = false;
};

// The declare-task command: a task of at least 4 points, the header
// dialog, a new IGC log (asked again while a text log is chosen), its
// header with the dialog's lines, the C records, the confirmation loop and
// the preferred-name record. The log settings it changes for the
// declaration are restored.
void DeclareTask(const DeclarationSteps& steps);

}  // namespace recorder
