#include "recorder/replay.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <mutex>
#include <thread>
#include <vector>

#include "core/angles.h"
#include "core/settings_values.h"
#include "fix/fix_commit.h"
#include "gps/flight_log_records.h"
#include "gps/gps_fix_record.h"
#include "gps/nav_fix.h"
#include "platform/thread_priority.h"
#include "platform/ui_post.h"
#include "platform/worker_thread.h"
#include "recorder/settings_values.h"

namespace recorder {
namespace {

using namespace std::chrono_literals;

using core::kRadiansPerDegree;
constexpr double kKnotsPerRadianHour = 6371.0 / 1.852;
constexpr int kReplayExitCode = 11;
constexpr int kBelowNormalSteps = 5;
constexpr auto kFixPause = 10ms;
constexpr auto kPausedPoll = 100ms;
constexpr int kStartDelayMs = 500;
constexpr int kShortestDelayMs = 10;

std::mutex g_mutex;
ReplayMapHooks g_mapHooks;
std::vector<std::function<void()>> g_startSteps;
std::vector<std::function<void()>> g_endSteps;
platform::WorkerThread g_replayThread;
// How many replays were started, and how many had ended when the last end
// was told: the end notice reaches the main window after its thread has
// finished with the replay but may be handled before the thread has
// returned, so the window tells the last replay's end from an earlier
// one's by these, not by whether the thread still runs.
std::atomic<unsigned> g_replaysStarted{0};
std::atomic<unsigned> g_replaysEnded{0};

ReplayMapHooks MapHooks() {
    const std::lock_guard lock(g_mutex);
    return g_mapHooks;
}

}  // namespace

ReplayMapHooks CurrentReplayMapHooks() {
    return MapHooks();
}

namespace {

double Normalised(double degrees) {
    const double value = std::fmod(degrees, 360.0);
    return value < 0.0 ? value + 360.0 : value;
}

double Within180(double degrees) {
    const double value = Normalised(degrees + 180.0) - 180.0;
    return value;
}

void RunSteps(const std::vector<std::function<void()>>& steps) {
    std::vector<std::function<void()>> copy;
    {
        const std::lock_guard lock(g_mutex);
        copy = steps;
    }
    for (const auto& step : copy)
        step();
}

void SetPosition(gps::GpsFixRecord& fix, const FlightRecord& record) {
    fix.latitude = record.latitude * kRadiansPerDegree;
    fix.longitude = record.lonWest * kRadiansPerDegree;
    const double lat = std::fabs(record.latitude);
    const double lon = std::fabs(record.lonWest);
    fix.latDegrees = std::floor(lat);
    fix.latMinutes = (lat - fix.latDegrees) * 60.0;
    fix.lonDegrees = std::floor(lon);
    fix.lonMinutes = (lon - fix.lonDegrees) * 60.0;
    fix.latLetter = record.latitude >= 0.0 ? 'N' : 'S';
    fix.lonLetter = record.lonWest >= 0.0 ? 'W' : 'E';
}

// Sleeps the pace between fixes while a pace is set; a pause restarts the
// pace slow. A replay runs as fast as it can until the pilot first pauses
// it: that pause sets the pace, so that the playback then holds, and on
// play starts again slow and speeds up.
void Pace(int& delayMs) {
    const ReplayMapHooks hooks = MapHooks();
    const auto paused = [&hooks] { return hooks.paused && hooks.paused(); };
    if (g_replayPacing.load() <= 0) {
        if (!paused()) return;
        g_replayPacing = 1;
    }
    while (paused() && gps::g_bReplayRunning.load()) {
        std::this_thread::sleep_for(kPausedPoll);
        delayMs = kStartDelayMs;
    }
    if (delayMs > kShortestDelayMs) delayMs = static_cast<int>(delayMs / 1.1);
    std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
}

}  // namespace

void ReplayFixBuilder::Fill(const FlightRecord& record, const CFlightType& file) {
    gps::GpsFixRecord& fix = gps::PendingFix;
    SetPosition(fix, record);

    const double time = file.lastTime + 24.0 * file.dayCount;
    const double x = -fix.longitude * std::cos(fix.latitude);
    const double y = fix.latitude;
    const double variation = core::g_magneticVariation.load();
    if (record.hasSpeed) {
        fix.groundSpeed = static_cast<float>(file.speed);
        fix.trueCourse = file.trueTrack;
        if (core::g_useGpsVariation.load() == 0) {
            fix.magneticCourse = Normalised(file.trueTrack - variation);
        } else {
            fix.magneticCourse = file.magneticTrack;
            fix.variation = Within180(file.trueTrack - file.magneticTrack);
        }
    } else if (havePrevious_) {
        const double d = std::hypot(x - previousX_, y - previousY_);
        const double hours = time - previousTime_;
        if (d > 0.0 && hours > 0.0) {
            fix.groundSpeed = static_cast<float>(kKnotsPerRadianHour * d / hours);
            double course =
                std::acos(std::clamp((y - previousY_) / d, -1.0, 1.0)) / kRadiansPerDegree;
            if (x < previousX_) course = 360.0 - course;
            fix.trueCourse = course;
            fix.magneticCourse = Normalised(course - variation);
        }
    } else {
        fix.groundSpeed = 0.0F;
        fix.trueCourse = 0.0;
        fix.magneticCourse = 0.0;
    }
    fix.trueCourseRad = fix.trueCourse * kRadiansPerDegree;
    fix.courseUpdated = 1;
    fix.sourceMask |= gps::source_bit::kVtg;
    fix.valueMask |= gps::value_bit::kCourseAndSpeed | gps::value_bit::kVariation;
    havePrevious_ = true;
    previousX_ = x;
    previousY_ = y;
    previousTime_ = time;

    const double seconds = file.lastTime * 3600.0;
    fix.hours = static_cast<std::int32_t>(seconds / 3600.0);
    fix.minutes = static_cast<std::int32_t>(std::fmod(seconds, 3600.0) / 60.0);
    fix.seconds = static_cast<float>(std::fmod(seconds, 60.0));
    // The commit stamps the fix time only for a receiver's sentences: the
    // replay gives its own, so that the clock, the climbs and the circling
    // follow the replayed flight.
    fix.fixTime = static_cast<float>(time);
    fix.valueMask |= gps::value_bit::kFixTime;
    fix.gpsAltitude = static_cast<float>(file.altitude - core::g_geoidSeparation.load());
    fix.gpsAltitudeValid = file.hasAltitude ? 1 : 0;
    fix.valueMask |= gps::value_bit::kPosition | gps::value_bit::kGpsAltitude;

    if (record.hasCompass) {
        fix.magneticHeading = static_cast<float>(Normalised(file.compass));
        fix.valueMask |= gps::value_bit::kHeading;
    }
    if (record.hasAirspeed) {
        fix.trueAirspeed = file.trueAirspeed;
        fix.sourceMask |= gps::source_bit::kAirspeed;
        fix.valueMask |= gps::value_bit::kTrueAirspeed;
    }
}

void SetReplayMapHooks(ReplayMapHooks hooks) {
    const std::lock_guard lock(g_mutex);
    g_mapHooks = std::move(hooks);
}

void AddReplayStartStep(std::function<void()> step) {
    const std::lock_guard lock(g_mutex);
    g_startSteps.push_back(std::move(step));
}

void AddReplayEndStep(std::function<void()> step) {
    const std::lock_guard lock(g_mutex);
    g_endSteps.push_back(std::move(step));
}

void RunReplayStartSteps() {
    RunSteps(g_startSteps);
}

void RunReplayEndSteps() {
    RunSteps(g_endSteps);
}

int ReplayThreadProc(CFlightType& file) {
    ReplayFixBuilder builder;
    int delayMs = kStartDelayMs;
    while (gps::g_bReplayRunning.load()) {
        file.minimumStep = g_fileReplayInterval.load() / 3600.0;
        const std::optional<FlightRecord> record = file.ParseRecord();
        if (!record) break;
        builder.Fill(*record, file);
        gps::CommitGpsFix(gps::PendingFix);
        std::this_thread::sleep_for(kFixPause);
        if (const ReplayMapHooks hooks = MapHooks(); hooks.redraw) hooks.redraw();
        Pace(delayMs);
    }
    file.CloseFile();
    g_replaysEnded = g_replaysStarted.load();
    if (!g_bReplayClosing.exchange(false)) {
        platform::PostWindowMessage(platform::kMainFrameWindow, platform::WM_USER_REPLAYDONE, 0, 0);
    }
    return kReplayExitCode;
}

bool StartReplay(std::unique_ptr<CFlightType> file) {
    if (g_replayThread.Running()) return false;
    g_replayThread.JoinFor(0);
    gps::g_bReplayRunning = true;
    ++g_replaysStarted;
    std::shared_ptr<CFlightType> owned(std::move(file));
    return g_replayThread.Start([owned](std::stop_token) {
        platform::LowerThisThreadPriority(kBelowNormalSteps);
        gps::ResetFixCommit();
        gps::ResetFixRecords();
        ReplayThreadProc(*owned);
    });
}

bool LastReplayEnded() {
    return g_replaysEnded.load() == g_replaysStarted.load();
}

bool ReplayThreadRunning() {
    return g_replayThread.Running();
}

void StopReplay() {
    gps::g_bReplayRunning = false;
}

void JoinReplay() {
    g_replayThread.JoinFor(platform::WorkerThread::kDefaultStopLimitMs);
}

}  // namespace recorder
