#include "map/alarm_zone_thread.h"

#include <utility>

#include "fix/first_fix.h"
#include "gps/nav_fix.h"
#include "map/map_worker.h"
#include "map/settings_values.h"
#include "nav/current_position.h"
#include "platform/thread_priority.h"

namespace map {

AlarmFixInput ReadLiveAlarmFix() {
    AlarmFixInput input{nav::CopyMapFix(), gps::g_terrainElevation.load()};
    const std::shared_ptr<const gps::NavSnapshot> published = gps::CurrentNav();
    ChooseZoneAltitude(input.fix, g_pressureAltForZones.load() != 0,
                       published->pressureKnown ? 1U : 0U, published->pressureAltitude);
    return input;
}

AlarmZoneThread::AlarmZoneThread(const mapdata::ElementList& zones, AlarmSources sources)
    : zones_(zones), sources_(std::move(sources)) {}

AlarmZoneThread::~AlarmZoneThread() { Stop(); }

void AlarmZoneThread::Start() {
    if (thread_.Running()) return;
    alarmActive = 0;
    thread_.Start([this](std::stop_token stop) {
        platform::LowerThisThreadPriority(10);  // the lowest of the map's threads
        exitCode_ = Run(stop);
    });
}

void AlarmZoneThread::Stop() {
    // The stop wakes the wait between passes (a stop-token wait).
    StopAndWait(thread_);
}

void AlarmZoneThread::ClearAlarm() {
    alarmActive = 0;
    alarmedZone = nullptr;
}

bool AlarmZoneThread::Wait(std::stop_token stop, std::chrono::milliseconds d) {
    std::unique_lock lock(mutex_);
    wake_.wait_for(lock, stop, d, [] { return false; });
    return !stop.stop_requested();
}

int AlarmZoneThread::Run(std::stop_token stop) {
    if (zones_.empty()) return 3;
    while (!sources_.haveFix()) {
        if (!Wait(stop, sources_.period)) return 4;
    }
    for (;;) {
        if (stop.stop_requested()) return 5;
        if (zones_.empty()) return 6;
        const AlarmFixInput input = sources_.readFix();
        const AlarmVerdict verdict =
            RunAlarmPass(zones_, input.fix, sources_.guards(), input.terrain, sources_.now());
        if (verdict.zone != nullptr) alarmedZone = verdict.zone;
        alarmActive = verdict.active ? 1 : 0;
        if (sources_.afterPass) sources_.afterPass(verdict);
        if (!Wait(stop, sources_.period)) return 5;
    }
}

}  // namespace map
