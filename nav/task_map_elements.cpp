#include "nav/task_map_elements.h"

#include <mutex>
#include <utility>

namespace nav {
namespace {

std::mutex& HookMutex() {
    static std::mutex mutex;
    return mutex;
}

std::shared_ptr<TaskMapHook>& Hook() {
    static std::shared_ptr<TaskMapHook> hook;
    return hook;
}

}  // namespace

TaskMapElements g_taskZoneElements;

void SetTaskMapHook(std::shared_ptr<TaskMapHook> hook) {
    const std::lock_guard lock(HookMutex());
    Hook() = std::move(hook);
}

std::shared_ptr<TaskMapHook> GetTaskMapHook() {
    const std::lock_guard lock(HookMutex());
    return Hook();
}

}  // namespace nav
