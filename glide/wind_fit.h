#pragma once
// The wind fit: the wind w (the vector to where the wind comes from,
// knots, north x and east y) for which |g + w| = true airspeed fits a set of
// samples best, by a damped least-squares search (Levenberg-Marquardt), and
// the rule that decides whether the main window takes its result.
//
// Pure functions; any thread. The fit runs on its own worker thread over a
// private copy of the samples (glide/wind_estimation.h).

#include <cstdint>
#include <stop_token>
#include <vector>

namespace glide {

// One pair of true airspeed and ground velocity.
struct WindSample {
    float x = 0.0F;  // ground speed * cos(track): north
    float y = 0.0F;  // ground speed * sin(track): east
    float tasSquared = 0.0F;
    float tas = 0.0F;          // knots
    float groundSpeed = 0.0F;  // knots
    float track = 0.0F;        // degrees true
    float altitude = 0.0F;     // feet
    float time = 0.0F;         // published fix time, hours
};

// The posted result. The last three are -1 when not computed.
struct WindEstimate {
    float x = 0.0F;  // knots north
    float y = 0.0F;  // knots east
    float altitude = 0.0F;  // mean of the samples, feet
    float uncertainty = -1.0F;
    float spreadX = -1.0F;
    float spreadY = -1.0F;
};

// How a fit ended (the values its thread has always exited with).
enum class WindFitEnd : int {
    kConverged = 88,
    kNoConvergence = 86,  // no convergence within 101 steps
    kSingular = 87,       // the normal matrix cannot be inverted
    kStopped = 89,        // asked to stop (shut-down)
};

struct WindFitResult {
    WindFitEnd end = WindFitEnd::kStopped;
    WindEstimate estimate;  // meaningful when converged
};

// Fits samples (newest first) starting from (x0, y0).
WindFitResult FitWind(const std::vector<WindSample>& samples, float x0, float y0,
                      std::stop_token stop = {});

// The thresholds of the acceptance rule, knots (factor: of the speed).
struct WindAcceptance {
    float uncertaintyFactor = 0.5F;
    float minUncertainty = 6.0F;
    float maxUncertainty = 12.0F;
};

// With s the estimate's speed and u its uncertainty: a negative u is
// refused; when factor * s >= min, u <= factor * s and u < max accept;
// otherwise u <= min accepts.
bool AcceptWindEstimate(const WindEstimate& estimate, const WindAcceptance& limits);

}  // namespace glide
