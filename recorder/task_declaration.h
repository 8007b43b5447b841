#pragma once
// The task declaration written into the open IGC log (C records), and the
// hand-over of the task to an external FAI logger. UI thread.

#include <functional>
#include <optional>
#include <vector>

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

// Declarations written in this run; the next C block carries this plus 1.
inline int g_nDeclarations = 0;

// Writes the task's C block into an open IGC log (nothing with fewer than
// 4 points), then declares it to the external logger with its E record.
// Does nothing, returning 0, while no task is navigated unless force is
// set; 1 otherwise.
int WriteTaskDeclaration(const nav::CTask& task, int force);

}  // namespace recorder
