#include "nav/destination_queue.h"

#include <algorithm>
#include <mutex>
#include <utility>

#include "nav/current_position.h"
#include "nav/settings_values.h"
#include "platform/ui_post.h"
#include "services/shared_locks.h"

namespace nav {

WaypointQueue g_waypointQueue;
QueueTaskPoint* g_activeTaskPoint = nullptr;

namespace {

// What the map view is told with WM_USER_DESTINATION_CHANGED.
constexpr std::uintptr_t kChangedByGoTo = 1;
constexpr std::uintptr_t kChangedBySelection = 2;

std::mutex& ListenerMutex() {
    static std::mutex mutex;
    return mutex;
}

std::shared_ptr<DestinationListener>& ListenerSlot() {
    static std::shared_ptr<DestinationListener> listener;
    return listener;
}

// The installed listener, or one that does nothing.
std::shared_ptr<DestinationListener> Listener() {
    {
        const std::lock_guard lock(ListenerMutex());
        if (ListenerSlot()) return ListenerSlot();
    }
    static const auto none = std::make_shared<DestinationListener>();
    return none;
}

void PostDestinationChanged(std::uintptr_t how) {
    platform::PostWindowMessage(platform::kMapViewWindow, platform::WM_USER_DESTINATION_CHANGED,
                                how);
}

// The slot a new entry goes to (see QueueWaypoint). Under TaskLock.
int ChooseSlot(WaypointQueue& queue, int length, bool plainWaypoint) {
    if (nav::g_queueFifo.load(std::memory_order_relaxed) == 0) {
        queue.next = (queue.current + 1) % length;
    }
    if (queue.next < 0 || queue.next >= length) queue.next = 0;
    if (plainWaypoint && queue.slots[queue.next].taskPoint != nullptr) {
        const int start = queue.next;
        do {
            queue.next = (queue.next + 1) % length;
        } while (queue.next != start && queue.slots[queue.next].taskPoint != nullptr);
    }
    return queue.next;
}

// The name of a task point's queue entry: prefix and name, cut to 19.
void NameQueueRecord(WaypointRecord& record, std::wstring_view prefix, std::wstring_view name) {
    std::wstring full(prefix);
    full += name;
    record.name.Assign(full, kEnteredNameLength);
}

std::wstring TaskPrefix(int index, int first, int finish, int extraFinish, int& number) {
    if (index == first) return L"S,";
    if (index == finish) return L"F,";
    if (index == extraFinish) return L"";
    return std::to_wstring(++number) + L",";
}

}  // namespace

void SetDestinationListener(std::shared_ptr<DestinationListener> listener) {
    const std::lock_guard lock(ListenerMutex());
    ListenerSlot() = std::move(listener);
}

std::shared_ptr<DestinationListener> InstalledDestinationListener() {
    const std::lock_guard lock(ListenerMutex());
    return ListenerSlot();
}

int QueueLength() {
    return std::clamp(g_maxNumDestinations.load(std::memory_order_relaxed), 1, kMaxQueueLength);
}

void ResetWaypointQueue() {
    const platform::CriticalSectionLock lock(core::TaskLock);
    g_waypointQueue = WaypointQueue{};
    g_activeTaskPoint = nullptr;
}

void QueueWaypoint(const WaypointRecord& record, QueueTaskPoint* point) {
    const platform::CriticalSectionLock lock(core::TaskLock);
    WaypointQueue& queue = g_waypointQueue;
    const int length = QueueLength();
    const int slot = ChooseSlot(queue, length, point == nullptr);
    QueueSlot& entry = queue.slots[static_cast<std::size_t>(slot)];

    QueueTaskPoint* previous = entry.taskPoint;
    if (previous != nullptr && previous != point && previous->QueueSlot() == slot) {
        previous->SetQueueSlot(kNoQueueSlot);
    }
    entry.taskPoint = point;
    entry.record = record;
    if (point != nullptr) {
        entry.note = point->Comment();
        if (entry.note.empty()) entry.record.attachments.comment.clear();
        point->SetQueueSlot(slot);
    } else {
        entry.note = record.attachments.comment;
    }
    queue.current = slot;
    queue.next = (slot + 1) % length;
    queue.highest = std::max(queue.highest, slot);
}

void SelectQueueWaypoint(int slot) {
    WaypointRecord destination;
    int highest = 0;
    {
        const platform::CriticalSectionLock lock(core::TaskLock);
        WaypointQueue& queue = g_waypointQueue;
        if (queue.current < 0 || slot < 0 || slot > queue.highest) return;
        const bool prompting = g_bAutodetectPrevPrompt != 0 || g_bAutodetectNextPrompt != 0;
        if (g_taskNavigationActive != 0 && prompting) return;

        const QueueSlot& entry = queue.slots[static_cast<std::size_t>(slot)];
        queue.current = slot;
        g_destination = entry.record;
        if (g_activeTaskPoint != nullptr) g_activeTaskPoint->LeftDestination();
        g_activeTaskPoint = entry.taskPoint;
        destination = g_destination;
        highest = queue.highest;
    }
    const auto listener = Listener();
    listener->QueueTextsReset();
    listener->DestinationNamed(destination.name.View());
    listener->NewDataRequested(kNewDataQueue);
    if (highest > 0) PostDestinationChanged(kChangedBySelection);
    if (!destination.attachments.sound.empty()) {
        listener->PlaySound(AttachmentPath(destination.attachments.sound));
    }
}

void GoToWaypoint(const WaypointRecord& record) {
    {
        const platform::CriticalSectionLock lock(core::TaskLock);
        if (g_activeTaskPoint != nullptr) g_activeTaskPoint->LeftDestination();
        g_activeTaskPoint = nullptr;
        g_destination = record;
    }
    g_destinationValid = 1;
    g_bAutodetectPrevPrompt = 0;
    g_bAutodetectNextPrompt = 0;
    const auto listener = Listener();
    listener->DestinationNamed(record.name.View());
    listener->QueueTextsReset();
    QueueWaypoint(record, nullptr);
    PostDestinationChanged(kChangedByGoTo);
    listener->NewDataRequested(kNewDataGoTo);
}

void ClearQueueTaskPoints() {
    const platform::CriticalSectionLock lock(core::TaskLock);
    if (g_activeTaskPoint != nullptr) {
        g_activeTaskPoint->DetachedFromQueue();
        g_activeTaskPoint = nullptr;
    }
    for (QueueSlot& entry : g_waypointQueue.slots) {
        if (entry.taskPoint == nullptr) continue;
        const std::wstring name(entry.record.name.View());
        const std::size_t comma = name.find(L',');
        if (comma != std::wstring::npos) entry.record.name.Assign(name.substr(comma + 1));
        entry.taskPoint = nullptr;
    }
}

void LoadTaskIntoQueue(QueueTask& task) {
    WaypointRecord destination;
    {
        const platform::CriticalSectionLock lock(core::TaskLock);
        int count = task.PointCount();
        const bool extraFinish = task.HasExtraFinish();
        bool closed = false;
        if (extraFinish && count >= 2 &&
            task.Point(count - 1).Name() == task.Point(count - 2).Name()) {
            --count;
            closed = true;
        }
        const int first = task.HasExtraStart() ? 1 : 0;
        const int toQueue = count - first;
        if (toQueue <= 0) return;
        if (QueueLength() < toQueue + 1) {
            g_maxNumDestinations = std::min(toQueue + 1, kMaxQueueLength);
        }
        const bool separateFinish = extraFinish && !closed;
        const int finish = separateFinish ? count - 2 : count - 1;
        const int extraFinishIndex = separateFinish ? count - 1 : -1;
        const int room = QueueLength();

        int number = 0;
        int queued = 0;
        int firstSlot = -1;
        for (int i = first; i < count; ++i) {
            QueueTaskPoint& point = task.Point(i);
            if (queued == room) {
                point.SetQueueSlot(kNoQueueSlot);
                continue;
            }
            WaypointRecord record = point.QueueRecord();
            record.flags = 0;
            record.kind = kKindWaypoint;
            record.ComputeUnitVector();
            NameQueueRecord(record, TaskPrefix(i, first, finish, extraFinishIndex, number),
                            point.Name());
            QueueWaypoint(record, i == extraFinishIndex ? nullptr : &point);
            if (firstSlot < 0) firstSlot = g_waypointQueue.current;
            ++queued;
        }

        const int slot = g_bAutodetectPrevPrompt != 0 ? g_waypointQueue.current : firstSlot;
        const QueueSlot& entry = g_waypointQueue.slots[static_cast<std::size_t>(slot)];
        g_destination = entry.record;
        g_activeTaskPoint = entry.taskPoint;
        g_waypointQueue.current = slot;
        destination = g_destination;
    }
    g_destinationValid = 1;
    const auto listener = Listener();
    listener->DestinationNamed(destination.name.View());
    PostDestinationChanged(kChangedByGoTo);
    listener->QueueTextsReset();
    listener->NewDataRequested(kNewDataQueue);
}

}  // namespace nav
