#include "glide/wind_fit.h"

#include <cmath>

namespace glide {
namespace {

constexpr int kFitMaxSteps = 100;
constexpr double kSingular = 1e-40;
constexpr double kConverged = 0.1;
constexpr double kInitialDamping = 0.005;

// The squared residuals and the half-gradient and Gauss-Newton matrix at
// one point.
struct Sums {
    double s = 0.0;
    double ga = 0.0;
    double gb = 0.0;
    double haa = 0.0;
    double hbb = 0.0;
    double hab = 0.0;
};

Sums SumsAt(const std::vector<WindSample>& samples, float wx, float wy) {
    double s = 0.0;
    double ra = 0.0;
    double rb = 0.0;
    double aa = 0.0;
    double bb = 0.0;
    double ab = 0.0;
    for (const WindSample& sample : samples) {
        const double a = double{wx} + sample.x;
        const double b = double{wy} + sample.y;
        const double r = a * a + b * b - sample.tasSquared;
        s += r * r;
        ra += r * a;
        rb += r * b;
        aa += a * a;
        bb += b * b;
        ab += a * b;
    }
    return {s, -2.0 * ra, -2.0 * rb, 4.0 * aa, 4.0 * bb, 4.0 * ab};
}

void AddSpreads(WindEstimate& estimate, const Sums& sums) {
    const double d0 = sums.haa * sums.hbb - sums.hab * sums.hab;
    if (!(d0 > kSingular)) return;
    const double ca = sums.haa / d0;
    const double cb = sums.hbb / d0;
    if (ca >= 0.0 && cb >= 0.0)
        estimate.uncertainty = static_cast<float>(std::sqrt((ca + cb) * sums.s));
    if (ca >= 0.0) estimate.spreadX = static_cast<float>(std::sqrt(ca * sums.s));
    if (cb >= 0.0) estimate.spreadY = static_cast<float>(std::sqrt(cb * sums.s));
}

}  // namespace

WindFitResult FitWind(const std::vector<WindSample>& samples, float x0, float y0,
                      std::stop_token stop) {
    WindFitResult result;
    if (samples.empty()) {
        result.end = WindFitEnd::kSingular;
        return result;
    }
    float wx = x0;
    float wy = y0;
    float altitudeSum = 0.0F;
    for (const WindSample& sample : samples)
        altitudeSum += sample.altitude;
    const float meanAltitude = altitudeSum / static_cast<float>(samples.size());

    Sums current = SumsAt(samples, wx, wy);
    double best = current.s;
    double damping = kInitialDamping;
    for (int step = 0;; ++step) {
        if (stop.stop_requested()) return result;
        const double f = 1.0 + damping;
        const double d = current.haa * current.hbb * f * f - current.hab * current.hab;
        if (!(std::fabs(d) >= kSingular)) {
            result.end = WindFitEnd::kSingular;
            return result;
        }
        const auto dx = static_cast<float>((current.hbb * f / d) * current.ga -
                                           (current.hab / d) * current.gb);
        const auto dy = static_cast<float>(-(current.hab / d) * current.ga +
                                           (current.haa * f / d) * current.gb);
        const Sums candidate = SumsAt(samples, wx + dx, wy + dy);
        const bool improved = candidate.s < best;
        if (improved) {
            wx += dx;
            wy += dy;
            current = candidate;
            best = candidate.s;
            damping /= 10.0;
        } else {
            damping *= 10.0;
        }
        if (step + 1 > kFitMaxSteps) {
            result.end = WindFitEnd::kNoConvergence;
            return result;
        }
        if (improved && std::fabs(dx) <= kConverged && std::fabs(dy) <= kConverged) break;
    }
    result.end = WindFitEnd::kConverged;
    result.estimate = {wx, wy, meanAltitude, -1.0F, -1.0F, -1.0F};
    AddSpreads(result.estimate, current);
    return result;
}

bool AcceptWindEstimate(const WindEstimate& estimate, const WindAcceptance& limits) {
    const float u = estimate.uncertainty;
    if (!(u >= 0.0F)) return false;
    const double speed = std::hypot(double{estimate.x}, double{estimate.y});
    const double scaled = limits.uncertaintyFactor * speed;
    if (scaled >= limits.minUncertainty) return u <= scaled && u < limits.maxUncertainty;
    return u <= limits.minUncertainty;
}

}  // namespace glide
