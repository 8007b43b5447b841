#pragma once
// The commit's history and its steps, shared by the commit's files.

#include "fix/fix_commit.h"
#include "gps/gps_fix_record.h"

namespace gps::commit {

// An altitude series that a climb is derived from.
struct ClimbHistory {
    float altitude = kNoValue;
    float time = kNoTime;
    float average = kNoValue;  // averaged climb, knots
};

struct CommitState {
    int dayCount = 0;  // whole days added to the fix time
    float lastFixTime = kNoTime;

    ClimbHistory gps;
    ClimbHistory pressure;

    float lastInstrumentTime = kNoTime;
    float lastAverageVario = 0.0F;
    bool averageVarioKnown = false;

    float lastCourseTime = kNoTime;
    float smoothedSpeed = 0.0F;
    double averagedCourse = -999.0;  // below -900: none yet
    float averagedSpeed = 0.0F;
    bool courseValid = false;

    float previousFixTime = 0.0F;
    float lastTurnTime = 0.0F;

    double lastSampleCourse = -1.0;  // heading-method wind: negative = none yet

    FlightState flight;  // handed over with each fix
};

// The averaging time of climbs and speeds, hours.
float AveragingTime();

// Circling, straight and steady flight from the course change since the
// averaged course (degrees), and the drift update while circling.
void UpdateCircling(GpsFixRecord& fix, CommitState& state, double courseChange);

// The wind by the method chosen, into the record's instrument wind.
void UpdateWind(GpsFixRecord& fix, CommitState& state);

}  // namespace gps::commit
