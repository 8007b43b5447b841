#pragma once
// The demonstration flight, one sample a second: three minutes on the home
// field, an aerotow, three thermals, the task with one airspace crossing
// and one pass under a zone, a final glide over the ridge, the landing and
// a few minutes standing. Ground velocity = air velocity + wind exactly.

#include <string>
#include <vector>

#include "tools/demo/demo_region.h"

namespace demo {

struct FlightSample {
    int second = 0;  // since the first sample
    LocalPoint at;
    double altitudeM = 0.0;  // GPS altitude, MSL
    double groundEastMs = 0.0;
    double groundNorthMs = 0.0;
    double headingDeg = 0.0;  // of the air velocity
    double tasMs = 0.0;
    double varioMs = 0.0;
    double averageVarioMs = 0.0;
    bool onGround = false;
};

// Seconds at which things happen (index into the samples).
struct FlightEvents {
    int takeOff = 0;
    int release = 0;
    int thermalStart[3] = {};
    int thermalEnd[3] = {};
    int start = 0;        // the start line crossed
    int turnpoint1 = 0;   // its cylinder entered
    int turnpoint2 = 0;
    int finish = 0;       // the finish cylinder entered
    int zoneEntry = 0;    // entering zone 0 inside its band
    int zoneExit = 0;
    int landing = 0;      // touch-down
    int stopped = 0;      // the roll-out ended
    double arrivalAboveHomeM = 0.0;  // height over the home field when overhead
};

struct Flight {
    std::vector<FlightSample> samples;
    FlightEvents events;
};

// The wind as the velocity of the air (toward where it blows), m/s.
LocalPoint WindVelocityMs();

// The flight, computed afresh (it is deterministic).
Flight FlyDemoFlight();

// The flight's sentence file: per second $PTAS1, $GPRMC, $GPGGA, and $GPGSA
// every tenth second, dated from a fixed UTC day and time.
std::string FlightSentences(const Flight& flight);
// Events and their seconds as "name=value" lines for other tests.
std::string FlightGeometryText(const Flight& flight);

// The UTC time of the first sample: 2025-01-18 13:00:00.
inline constexpr int kFlightYear = 2025, kFlightMonth = 1, kFlightDay = 18, kFlightHour = 13;

}  // namespace demo
