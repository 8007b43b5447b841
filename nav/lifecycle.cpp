#include "nav/lifecycle.h"

#include "nav/task_activation.h"
#include "nav/task_file.h"
#include "nav/task_statistics.h"
#include "platform/worker_thread.h"

namespace nav {

TaskFileLoad ReadTaskFile(const std::wstring& path) {
    // The list is not replaced under a task of it that is being flown.
    if (g_currentTaskAdopted.load() != nullptr) return {};
    return LoadTaskFile(path, g_taskList);
}

void StopTaskStatistics() {
    StopTaskStatsThreadsAndWait(platform::WorkerThread::kDefaultStopLimitMs);
}

}  // namespace nav
