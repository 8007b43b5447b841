#pragma once
// The destination queue: a ring of the last destinations, each a copy of a
// waypoint, optionally linked to the task point it stands for, with a short
// note. The position page shows one line per used slot; choosing a slot makes
// it the destination. Loading a task fills the queue with its points, named
// with their place in the task ("S,", "1,", "2,", ..., "F,").
//
// The ring uses the first "MaxNumDestinations" slots (g_maxNumDestinations,
// which loading a task raises, at most to 16). With "QueueFIFO" on, new
// entries go on around the ring; off, a new entry goes right after the
// current slot. A plain waypoint does not take a slot that holds a task point
// while another slot is free of one.
//
// Every slot, the destination and the active task point are changed under
// core::TaskLock; readers take it too. A task point's slot index always names
// the slot that holds it, or is kNoQueueSlot: a point whose slot is taken by
// another entry loses its index first.

#include <array>
#include <atomic>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "core/waypoint_record.h"

namespace nav {

inline constexpr int kQueueSlots = 19;
inline constexpr int kMaxQueueLength = 16;
// The slot index of a task point that is in no slot.
inline constexpr int kNoQueueSlot = 0xFFFF;

// The queue's view of a task point; the task model's points implement it.
// The queue does not own task points. Whoever deletes task points that slots
// hold calls ClearQueueTaskPoints first.
class QueueTaskPoint {
  public:
    virtual ~QueueTaskPoint() = default;
    virtual std::wstring_view Name() const = 0;
    // The point's note (empty when none).
    virtual std::wstring_view Comment() const = 0;
    // The point's target record with the point's own position, altitude and
    // altitude-known flag.
    virtual WaypointRecord QueueRecord() const = 0;
    // The slot the point is in (the low 16 bits of its ordinal), or
    // kNoQueueSlot.
    virtual int QueueSlot() const = 0;
    virtual void SetQueueSlot(int slot) = 0;
    // The point stopped being the destination: its inside counter restarts.
    virtual void LeftDestination() = 0;
    // The queue let go of the task: its inside counter is parked below its
    // hysteresis limit.
    virtual void DetachedFromQueue() = 0;
};

// The queue's view of a task.
class QueueTask {
  public:
    virtual ~QueueTask() = default;
    virtual int PointCount() const = 0;
    virtual QueueTaskPoint& Point(int index) = 0;
    virtual bool HasExtraStart() const = 0;
    virtual bool HasExtraFinish() const = 0;
};

struct QueueSlot {
    QueueTaskPoint* taskPoint = nullptr;  // the task point the slot stands for
    std::wstring note;                    // shown with the slot
    WaypointRecord record;
};

struct WaypointQueue {
    std::array<QueueSlot, kQueueSlots> slots;
    int current = -1;  // the destination's slot; -1 until the first entry
    int next = 0;      // where the next entry goes
    int highest = 0;   // the highest slot used so far
};

// The queue, the destination's task point and whether a destination was
// set. Under core::TaskLock (the flag is read without it).
extern WaypointQueue g_waypointQueue;
extern QueueTaskPoint* g_activeTaskPoint;
inline std::atomic<int> g_destinationValid{0};

// The task state the queue looks at: a task is being navigated; the
// auto-detect prompts for the previous and the next task point are shown.
inline std::atomic<int> g_taskNavigationActive{0};
inline std::atomic<int> g_bAutodetectPrevPrompt{0};
inline std::atomic<int> g_bAutodetectNextPrompt{0};

// What the rest of the program does when the destination changes. Start-up
// installs the program's listener; without one nothing happens.
class DestinationListener {
  public:
    virtual ~DestinationListener() = default;
    // The destination's name for its display texts.
    virtual void DestinationNamed(std::wstring_view /*name*/) {}
    // The queue texts start over (their latch is reset and the destination
    // prefix taken from the "To" prefix).
    virtual void QueueTextsReset() {}
    // New navigation values are wanted (the reason code of the request).
    virtual void NewDataRequested(int /*reason*/) {}
    // The destination's sound file is to be played (asynchronously, with the
    // map's own sounds held off for a while).
    virtual void PlaySound(const std::filesystem::path& /*file*/) {}
};
void SetDestinationListener(std::shared_ptr<DestinationListener> listener);
// The installed listener; null when none is.
std::shared_ptr<DestinationListener> InstalledDestinationListener();

// The reasons of the new-data requests.
inline constexpr int kNewDataGoTo = 1;
inline constexpr int kNewDataQueue = 5;

// The ring length in use: g_maxNumDestinations, within 1..16.
int QueueLength();

// Empties the queue (start state); the destination is left alone.
void ResetWaypointQueue();

// Puts a copy of the record into the queue, linked to point when given, and
// makes that slot current. The note is the point's comment; a point without
// one leaves the slot's record without a comment too. Without a point the
// note is the record's comment.
void QueueWaypoint(const WaypointRecord& record, QueueTaskPoint* point);

// Makes an existing slot the destination. Ignored for a slot that was never
// used, and while a task is navigated and an auto-detect prompt is shown.
void SelectQueueWaypoint(int slot);

// Makes a waypoint the destination outside the task, and queues it.
void GoToWaypoint(const WaypointRecord& record);

// Detaches every slot from its task point; a slot's name loses its task
// prefix (everything up to and including its first comma).
void ClearQueueTaskPoints();

// Queues the task's points in order (without an extra start point; an extra
// finish point with the same name as the finish is left out), raising the
// ring length to hold them and one more, and makes the first the destination
// (the last with the previous-point prompt). A task with more points than the
// ring holds queues the first ones; the rest get kNoQueueSlot.
void LoadTaskIntoQueue(QueueTask& task);

}  // namespace nav
