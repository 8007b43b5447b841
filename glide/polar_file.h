#pragma once
// Polar files (".plr"): measured speed/sink pairs that the program fits with
// a parabola by weighted least squares, writing a fit report back into the
// file.
//
// Format (8-bit text, lines ending in LF; a CR before the LF is tolerated):
//   line 1   a title
//   line 2   W[,floor[,minimum speed[,unit set]]]
//            W: weighting exponent (a value outside 0..2 counts as 1); each
//            point weighs 1 / sink^W. floor: lower bound of the minimum
//            speed (raised to 5.0 kt, except when the line has exactly three
//            fields). minimum speed: raised to the floor. unit set: 0 knots,
//            1 knots and feet per second, 2 km/h and m/s (else 0); with it
//            both speeds of the line are in its speed unit.
//   points   "speed<one character>sink", one per line, until the first line
//            that does not hold two numbers so separated, or the end.
//   report   written by every successful fit: from the end of the line after
//            the first non-point line (the end of the file when the points
//            run to it), overwriting what stands there without truncating.

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "glide/polar.h"

namespace glide {

// Divisors that turn the file's values into knots, by unit set.
struct PolarUnits {
    float speedDivisor;
    float sinkDivisor;
};
inline constexpr std::array<PolarUnits, 3> kPolarUnits{{
    {1.0F, 1.0F},       // knots, knots
    {1.0F, 1.6878F},    // knots, feet per second
    {1.852F, 0.51444F}  // km/h, metres per second
}};

struct PolarPoint {
    float speed;  // knots
    float sink;   // knots
};

// What a polar file holds.
struct PolarFileContents {
    int weightExponent = 1;
    int unitSet = 0;
    float minimumSpeedFloor = 5.0F;     // knots
    std::optional<float> minimumSpeed;  // knots; absent: the speed held stays
    std::vector<PolarPoint> points;     // knots
    bool pointsEndAtEnd = false;        // no non-point line follows the points
    std::size_t reportOffset = 0;       // where the report goes
};

// Reads the bytes of a polar file; nothing when line 2 cannot be read.
std::optional<PolarFileContents> ParsePolarFile(std::string_view bytes);

// The normal equations of the fit: a 3x3 system (held in 4x4 floats) and
// its right-hand side, which the solver replaces with the solution.
struct NormalEquations {
    std::array<std::array<float, 4>, 4> matrix{};
    std::array<float, 3> rhs{};
};

NormalEquations BuildNormalEquations(const std::vector<PolarPoint>& points, int weightExponent);

// Gauss-Jordan elimination with full pivoting. False after showing
// "GAUSSJ: Singular Matrix-1" or "-2".
bool GaussJordanSolve(NormalEquations& equations);

// The fitted polar, unscaled.
struct PolarFit {
    float a = 0.0F;
    float b = 0.0F;
    float c = 0.0F;
    float minimumSpeedFloor = 5.0F;
    float minimumSpeed = 43.0F;
    float minimumSpeedSink = 1.0F;
    float bestGlideSpeed = 55.0F;

    GlidePolar AsPolar() const;
};

// Fits the file's points: nothing with 4 or fewer points, a singular system,
// or a result that is not a usable polar (a coefficient, the best-glide
// speed or the minimum sink not finite, or c <= 0: a sink curve without a
// minimum). heldMinimumSpeed stands in for a minimum speed the file lacks.
std::optional<PolarFit> FitPolarContents(const PolarFileContents& contents, float heldMinimumSpeed);

// The report text for a fit, in the file's units (bytes; CR LF line ends).
std::string FormatPolarReport(const PolarFit& fit, int unitSet);

// Loads and fits a polar file and writes the report into it. On success the
// fitted polar becomes the polar in use, unscaled (the caller applies
// ScalePolar), and `valid` is set. An empty path or a file that does not fit
// clears `valid` and keeps the polar it had; a file that cannot be opened
// for reading and writing changes nothing. True when the fit succeeded.
bool FitPolar(const std::wstring& path);

}  // namespace glide
