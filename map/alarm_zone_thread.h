#pragma once
// AlarmZoneThread: tests the aircraft against every airspace zone five
// times a second and leaves the verdict for the map window's timer, which
// turns it into sound and a popup.
//
// It reads the zone list without the list lock: whoever deletes, inserts or
// re-links zones stops it first (Stop joins), and a read never splices
// zones while it runs. alarmActive and alarmedZone are atomics the UI
// thread reads; ClearAlarm() forgets the zone when zones are deleted.
//
// Exit codes: 3 no zones, 4 stopped before the first fix, 5 stopped, 6 the
// list became empty.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <stop_token>

#include "map/alarm_zone_check.h"
#include "platform/worker_thread.h"

namespace map {

// What a pass reads: the fix copied under MapLock with its altitude chosen
// (ChooseZoneAltitude) and the terrain under it.
struct AlarmFixInput {
    nav::WaypointRecord fix;
    float terrain = mapdata::kNoTerrain;
};

// The flying inputs: the current-position record (copied under MapLock)
// with the published pressure altitude in place of its own where the
// "PressureAltForZones" setting or a missing altitude asks for it, and the
// terrain under the aircraft.
AlarmFixInput ReadLiveAlarmFix();

struct AlarmSources {
    std::function<bool()> haveFix;
    std::function<AlarmFixInput()> readFix;
    std::function<AlarmGuards()> guards;
    std::function<std::chrono::system_clock::time_point()> now = [] {
        return std::chrono::system_clock::now();
    };
    std::chrono::milliseconds period{200};
    // Called after every pass (tools and tests); may be empty.
    std::function<void(const AlarmVerdict&)> afterPass;
};

class AlarmZoneThread {
  public:
    AlarmZoneThread(const mapdata::ElementList& zones, AlarmSources sources);
    ~AlarmZoneThread();
    AlarmZoneThread(const AlarmZoneThread&) = delete;
    AlarmZoneThread& operator=(const AlarmZoneThread&) = delete;

    // Starts a thread unless one runs; clears the alarm.
    void Start();
    // Asks the thread to end and joins it.
    void Stop();
    bool Finished() const { return !thread_.Running(); }
    int ExitCode() const { return exitCode_.load(); }

    // Forgets the alarm (zones were deleted).
    void ClearAlarm();

    std::atomic<int> alarmActive{0};
    std::atomic<mapdata::CMapElement*> alarmedZone{nullptr};

  private:
    int Run(std::stop_token stop);
    // Sleeps up to d; false when a stop was asked.
    bool Wait(std::stop_token stop, std::chrono::milliseconds d);

    const mapdata::ElementList& zones_;
    AlarmSources sources_;
    std::mutex mutex_;
    std::condition_variable_any wake_;
    std::atomic<int> exitCode_{0};
    platform::WorkerThread thread_;  // last: stopped before the rest goes
};

}  // namespace map
