#pragma once
// Shared by the fix tests: a scripted flight as the receiver sends it, and
// a clean start for the parser, the commit and the published values.

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>
#include <string_view>
#include <vector>

#include "core/settings_values.h"
#include "fix/first_fix.h"
#include "fix/fix_commit.h"
#include "glide/current_wind.h"
#include "glide/thermal_drift.h"
#include "gps/gps_fix_record.h"
#include "gps/nav_fix.h"
#include "gps/nmea_line.h"
#include "gps/nmea_parser_state.h"
#include "gps/settings_values.h"
#include "nav/destination_queue.h"
#include "platform/numbers.h"
#include "services/flight_log.h"

namespace gps::testing {

// "$" + body + "*hh\r\n".
inline std::string Sentence(std::string_view body) {
    unsigned sum = 0;
    for (const char c : body)
        sum ^= static_cast<unsigned char>(c);
    return "$" + std::string(body) + platform::FormatC("*%02X\r\n", sum);
}

// One second of the flight: where the glider is and what the receiver sends.
struct ScriptedFix {
    int secondOfDay;  // may pass 86400: the next day
    double latitudeDeg;
    double lonEastDeg;
    double courseDeg;
    double speedKt;
    double altitudeM;
    std::string rmc;
    std::string gga;
};

// A flight with an RMC and a GGA each second, from 31 December into
// 1 January, north-eastern hemisphere.
class FlightScript {
  public:
    FlightScript(int startSecondOfDay, double latitudeDeg, double lonEastDeg)
        : second_(startSecondOfDay), latitude_(latitudeDeg), lonEast_(lonEastDeg) {}

    void Straight(int seconds, double courseDeg, double speedKt) {
        for (int i = 0; i < seconds; ++i)
            Step(courseDeg, speedKt, 0.0);
    }
    // Turning right at rate degrees per second, climbing 1 m/s.
    void Circle(int seconds, double rate, double speedKt) {
        for (int i = 0; i < seconds; ++i)
            Step(course_ + rate, speedKt, 1.0);
    }

    const std::vector<ScriptedFix>& Fixes() const { return fixes_; }
    double Course() const { return course_; }

  private:
    void Step(double courseDeg, double speedKt, double climbMs) {
        course_ = std::fmod(courseDeg + 360.0, 360.0);
        const double course = course_ * std::numbers::pi / 180.0;
        const double nm = speedKt / 3600.0;
        latitude_ += nm * std::cos(course) / 60.0;
        lonEast_ += nm * std::sin(course) / (60.0 * std::cos(latitude_ * std::numbers::pi / 180));
        altitude_ += climbMs;
        ++second_;
        const int s = second_ % 86400;
        const std::string time = platform::FormatC("%02d%02d%02d", s / 3600, s / 60 % 60, s % 60);
        const char* date = second_ < 86400 ? "311224" : "010125";
        const std::string position = Position();
        ScriptedFix fix{second_, latitude_, lonEast_, course_, speedKt, altitude_, "", ""};
        fix.rmc = Sentence(platform::FormatC("GPRMC,%s,A,%s,%05.1f,%05.1f,%s,002.0,E", time.c_str(),
                                             position.c_str(), speedKt, course_, date));
        fix.gga = Sentence(platform::FormatC("GPGGA,%s,%s,1,08,0.9,%.1f,M,0.0,M,,", time.c_str(),
                                             position.c_str(), altitude_));
        fixes_.push_back(std::move(fix));
    }

    // "ddmm.mmmmm,N,dddmm.mmmmm,E" of the present position.
    std::string Position() const {
        const auto split = [](double degrees, int width) {
            const double whole = std::floor(degrees);
            return platform::FormatC("%0*.0f%08.5f", width, whole, (degrees - whole) * 60.0);
        };
        return split(latitude_, 2) + ",N," + split(lonEast_, 3) + ",E";
    }

    int second_;
    double latitude_;
    double lonEast_;
    double course_ = 0.0;
    double altitude_ = 500.0;
    std::vector<ScriptedFix> fixes_;
};

// The straight - circling - straight flight across midnight: 30 s on 090,
// 60 s circling right at 10 degrees per second, 40 s straight; 130 fixes
// from 23:58:31 to 00:00:40.
inline FlightScript MidnightFlight() {
    FlightScript script(23 * 3600 + 58 * 60 + 30, 47.5, 8.25);
    script.Straight(30, 90.0, 50.0);
    script.Circle(60, 10.0, 50.0);
    script.Straight(40, script.Course(), 50.0);
    return script;
}

// The parser, the commit, the log records and the published values as at
// program load; no flight log open, no wind method, recording posts.
inline void StartFromLoad() {
    PendingFix = GpsFixRecord{};
    CurrentFix = GpsFixRecord{};
    ResetNmeaParserState();
    g_nmeaCode = 0;
    g_windTriggerMask = -1;
    g_windMethod = WindMethod::kNone;
    g_mapDriftUpdate = false;
    g_bReplayRunning = false;
    core::g_windCorrection = 0;
    core::g_useGpsVariation = 1;
    core::g_logInterval = 1;
    core::g_logFormat = 1;
    core::g_logDataOn = 1;
    glide::SetCurrentWind({});
    glide::g_driftValid = 0;
    glide::g_thermalEstablished = 0;
    nav::g_destinationValid = 0;
    {
        const platform::CriticalSectionLock lock(core::LogFileLock);
        core::g_hFlightLog.Close();
    }
    InitGpsData();
    RestartFirstFix();
    (void)TakePendingRequests();
    DataAvailableEvent.Reset();
}

// The reader's step for one received line.
inline bool Receive(std::string line) {
    if (!HandleNmeaLine(line).accepted) return false;
    LogAndCommitGpsFix(PendingFix);
    return true;
}

}  // namespace gps::testing
