#pragma once
// The destination texts of the waypoint-queue step: RequiredGlideText,
// DestinationLineText and the position page's BearingText, from what the
// step computed. Pure: the step (fix/waypoint_queue_texts.h) gathers the
// values and writes the texts.
//
// Glide display modes: 0 the altitude needed, 1 the final glide's MacCready
// and arrival, 2 the terrain clearance (only with terrain samples). The
// no-value forms: "NOGO" (unreachable), "??" (the target's altitude is not
// known), "????" and " ??Mc" (no final glide). Units as "Options\Units";
// altitudes feet, distances km, speeds knots, angles degrees.

#include <string>

namespace glide {

inline constexpr int kGlideModeAltitude = 0;
inline constexpr int kGlideModeMacCready = 1;
inline constexpr int kGlideModeTerrain = 2;

struct QueueTextInput {
    int mode = kGlideModeAltitude;  // as used this time (2 only with terrain)
    bool reachable = true;
    float need = 0.0F;  // altitude needed at the glider, energy height taken off
    bool targetAltitudeKnown = true;
    bool autoDetect = false;
    float distanceKm = 0.0F;
    // Magnetic bearing to the target; with the wind correction and a valid
    // wind the bearing relative to the track (-180..180) is shown instead.
    double magneticBearing = 0.0;
    bool relative = false;
    double relativeBearing = 0.0;
    // The letters after a relative bearing ("goLeft", "goRight").
    wchar_t turnLeft = L'L';
    wchar_t turnRight = L'R';
    float gpsAltitude = 0.0F;
    bool showDifference = false;  // "ShowAltitudeDifference"
    float energyHeight = 0.0F;
    // The final glide of the slot shown.
    float finalGlideMc = -1.0F;
    float finalGlideSpeed = 0.0F;
    float finalGlideSpeed2 = -1.0F;
    float finalGlideArrival = 0.0F;
    // Terrain mode: whether the clearance search ran, the distance to the
    // first conflict (-1: none), the glide's altitude at its lowest point
    // over the terrain and the distance to that point.
    bool clearanceKnown = false;
    float conflictDistanceKm = -1.0F;
    float lowestAltitude = 0.0F;
    float lowestDistanceKm = 0.0F;
    std::wstring glidePrefix = L"G:";
    // Unit indices.
    int distanceUnit = 0;
    int altitudeUnit = 0;
    int speedUnit = 0;
    int climbUnit = 0;
};

struct QueueTexts {
    std::wstring requiredGlide;
    std::wstring destinationLine;
    std::wstring bearing;
    friend bool operator==(const QueueTexts&, const QueueTexts&) = default;
};

QueueTexts FormatQueueTexts(const QueueTextInput& in);

// The letter after a magnetic course: 'm', 'm', 'g' by the altitude unit.
wchar_t CourseLetter(int altitudeUnit);

}  // namespace glide
