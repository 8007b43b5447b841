#pragma once
// The terrain profile ahead on the position page: the ground as a filled
// outline under the glider's altitude, with straight glide lines from the
// present altitude to where the glide ends. Geometry and drawing without a
// window; any thread may lay out and draw on its own canvas.
//
// The strip covers the destination and glide lines (46 pixels higher for the
// large profile, at most 120 pixels high). Samples run from x = 24 to the
// right edge; the vertical scale fits the span from the lowest ground to the
// glider's altitude, or to the highest ground when the glider is below it,
// at least 50 ft.

#include <array>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "frame/position_layout.h"
#include "platform/canvas.h"

namespace frame {

inline constexpr float kProfileLengthKm = 50.0F;
inline constexpr std::size_t kProfileInitialPoints = 300;

// The profile's length: 50 km, or the first leg of the glide route and 2 km
// more when that leg is longer than 48 km and shorter than 200 km.
float ProfileLengthKm(std::optional<float> firstLegKm);

// The point buffer's size for `samples` samples: grown to samples + 20 when
// it holds fewer than samples + 5 points.
std::size_t ProfileBufferSize(std::size_t held, std::size_t samples);

// A point of a glide line: km from the glider, altitude in feet.
struct GlideSpot {
    float km = 0.0F;
    float feet = 0.0F;
};

struct ProfileInput {
    std::span<const float> ground{};  // feet; kMissingSample counts as the lowest ground
    float lowest = 0.0F;            // feet
    float highest = 0.0F;
    float altitude = 0.0F;  // the glider's, feet
    float lengthKm = kProfileLengthKm;
    // Altitudes (feet) at the profile's end of each straight glide line.
    std::vector<float> glideEnds{};
    // Glide lines that bend (one spot per turn point and the end), each
    // starting at the glider's altitude.
    std::vector<std::vector<GlideSpot>> glidePaths{};
    bool large = false;
};

// The glide lines of a leg's terrain profile, over the route the record
// covers: the glide at the MacCready speed, and the final glide when the
// fitted polar is in use and the final glide has a solution. Each line
// drops by its margin over each leg.
struct LegGlides {
    float altitude = 0.0F;    // the glider's, feet
    float distanceKm = 0.0F;  // the route
    float legKm = 0.0F;       // its first leg
    std::array<float, 2> margins{};
    std::optional<std::array<float, 2>> finalGlideMargins;
    bool usePolar = false;
};
std::vector<std::vector<GlideSpot>> LegGlidePaths(const LegGlides& legs);

// The two air speeds (knots) of the glide lines along the track: the
// constant glide speed when "useConstantGlideSpeed" is on and that speed is
// above 0, else the indicated airspeed; and the ground speed to fly along
// the track.
struct TrackGlideSpeeds {
    float first = 0.0F;
    float second = 0.0F;
};
TrackGlideSpeeds ChooseTrackGlideSpeeds(bool useConstantGlideSpeed, float constantSpeed,
                                        float indicatedAirspeed, float groundSpeedToFly);

struct ProfileDrawing {
    platform::PixelRect strip;
    std::vector<platform::Point> ground;  // closed along the strip's bottom
    struct Line {
        platform::Point from;
        platform::Point to;
        friend bool operator==(const Line&, const Line&) = default;
    };
    std::vector<Line> lines;
    std::vector<int> ticks;  // x of each distance tick
    int scaleBarTop = 0;     // the scale bar runs from here to the bottom at x = 22
};

struct ProfileUnits {
    int unitDist = 2;        // 0 statute miles, 1 nautical miles, 2 km
    float kmToUnit = 1.0F;   // distance factor
    int unitAlt = 0;         // 0 feet, else metres
};

// Nothing with fewer than two samples.
std::optional<ProfileDrawing> LayOutProfile(const ProfileInput& input, const PositionLayout& layout,
                                            int width, const ProfileUnits& units);

// Draws the laid-out profile: white strip, grey-edged ground, glide lines,
// ticks, scale bar, and the source label in the rotated font at the left.
void DrawProfile(platform::Canvas& canvas, const ProfileDrawing& drawing, std::wstring_view label,
                 const platform::Font& rotatedFont);

}  // namespace frame
