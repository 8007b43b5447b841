#include "nav/lifecycle.h"

namespace nav {

// The task model, the task statistics and the contest optimiser fill these
// in; until then there are no tasks and no workers of theirs.
void LoadOlcSettings() {}

bool ReadTaskFile(const std::wstring& /*path*/) {
    return false;
}

void StopOlcWorker() {}
void StopTaskStatistics() {}
void DeleteCopiedCurrentTask() {}
void ClearTaskZoneElements() {}

}  // namespace nav
