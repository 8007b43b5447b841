#include "glide/speed_to_fly.h"

#include <cmath>

namespace glide {
namespace {

constexpr int kMaxSteps = 21;
constexpr int kMaxRounds = 21;
constexpr double kStepTolerance = 0.02;
constexpr double kBisectionTolerance = 0.05;
constexpr double kBisectionMove = 0.1;

// The wind seen on one course.
class CourseWind {
  public:
    CourseWind(const GlideContext& context, double course) {
        w_ = context.wind.speed * context.air.airspeedFactor;
        cosA_ = std::cos(course - context.wind.direction);
        cross2_ = (1.0 - cosA_ * cosA_) * w_ * w_;
        head_ = cosA_ * w_;
    }

    double W() const { return w_; }
    double CosA() const { return cosA_; }
    double Cross2() const { return cross2_; }
    // Ground speed at air speed v; a cross wind stronger than v leaves no
    // air speed along the course.
    double Ground(double v) const { return std::sqrt(std::fmax(v * v - cross2_, 0.0)) - head_; }
    // (g + head) / v: the share of the air speed that goes along the course.
    double Crab(double v) const { return (Ground(v) + head_) / v; }
    float Ratio(double v) const { return static_cast<float>(Ground(v) / v); }

  private:
    double w_;
    double cosA_;
    double cross2_;
    double head_;
};

// The search shared by both speed-to-fly forms: from the start speed v,
// find a zero of d(v) above the lowest speed that makes headway.
template <typename Derivative>
SpeedToFly SearchWithWind(const CourseWind& wind, float minimumSpeed, double v, Derivative d) {
    double lower = std::sqrt(wind.Cross2());
    if (lower < minimumSpeed) lower = minimumSpeed;
    if (wind.CosA() > 0.0 && lower < wind.W()) lower = wind.W() + 1.0;
    if (v <= lower) v = lower + 5.0;

    double value = d(v);
    if (std::fabs(value) < kStepTolerance) return {static_cast<float>(v), wind.Ratio(v)};
    if (value < 0.0) {
        for (int i = 0; i < kMaxSteps; ++i) {
            lower = v;
            v += wind.W();
            value = d(v);
            if (std::fabs(value) < kStepTolerance) return {static_cast<float>(v), wind.Ratio(v)};
            if (value >= 0.0) break;
        }
    }

    double middle = (lower + v) / 2.0;
    float groundRatio = 1.0F;
    for (int round = 0; round < kMaxRounds; ++round) {
        value = d(middle);
        groundRatio = wind.Ratio(middle);
        if (std::fabs(value) < kBisectionTolerance) break;
        if (value < 0.0) {
            lower = middle;
        } else {
            v = middle;
        }
        const double next = (lower + v) / 2.0;
        const double moved = std::fabs(next - middle);
        middle = next;
        if (moved <= kBisectionMove) break;
    }
    return {static_cast<float>(middle), groundRatio};
}

SpeedToFly AtMinimumSpeed(const GlidePolar& polar, const CourseWind& wind) {
    return {polar.minimumSpeed, wind.Ratio(polar.minimumSpeed)};
}

}  // namespace

SpeedToFly SpeedToFlyForCourse(const GlideContext& context, double course, float macCready,
                               bool useWind) {
    const GlidePolar& polar = context.polar;
    const CourseWind wind(context, course);
    if (macCready < 0.0F) {
        if (!context.wind.valid) return {polar.minimumSpeed, 1.0F};
        return AtMinimumSpeed(polar, wind);
    }
    if (!polar.valid) return {polar.bestGlideSpeed, 1.0F};
    const double stillAir = std::sqrt((polar.a + macCready) / polar.c);
    if (!useWind || !context.wind.valid) return {static_cast<float>(stillAir), 1.0F};

    const double a = polar.a;
    const double b = polar.b;
    const double c = polar.c;
    const double m = macCready;
    // Zero at the optimum of (sink + M) / g.
    const auto d = [&](double v) {
        return (2.0 * c * v + b) * wind.Crab(v) * wind.Ground(v) - m - ((c * v + b) * v + a);
    };
    return SearchWithWind(wind, polar.minimumSpeed, stillAir, d);
}

SpeedToFly SpeedToFlyWind(const GlideContext& context, double course, float x, bool useWind) {
    const GlidePolar& polar = context.polar;
    const CourseWind wind(context, course);
    if (x < 0.0F) return AtMinimumSpeed(polar, wind);
    if (!polar.valid) return {polar.bestGlideSpeed, 1.0F};

    const double b = polar.b;
    const double c = polar.c;
    const double discriminant = 8.0 * c * x + b * b;
    double v =
        discriminant > 0.0 ? (std::sqrt(discriminant) - b) / (4.0 * c) : polar.bestGlideSpeed;
    if (v < polar.minimumSpeed) v = polar.minimumSpeed;
    if (!useWind || !context.wind.valid) return {static_cast<float>(v), 1.0F};

    const auto d = [&](double speed) {
        return (2.0 * c * speed + b) * wind.Crab(speed) * wind.Ground(speed) - x;
    };
    return SearchWithWind(wind, polar.minimumSpeed, v, d);
}

float WindSpeedToFly(const GlidePolar& polar, float climb, float macCready, float headWind) {
    const float s = -climb;
    float v = polar.minimumSpeed;
    bool failed = false;
    if (s >= 0.0F) {
        const float shifted = polar.b - 2.0F * polar.c * headWind;
        const float disc =
            8.0F * polar.c * (macCready + s + headWind * polar.b) + shifted * shifted;
        if (disc > 0.0F) {
            v = (-polar.b + 2.0F * polar.c * headWind + std::sqrt(disc)) / (4.0F * polar.c);
        } else {
            failed = true;
        }
        if (v < polar.minimumSpeed) v = polar.minimumSpeed;
    }
    return failed ? 1.25F * polar.minimumSpeed : v;
}

float GroundGlideRatio(const GlideContext& context, double course, bool useWind, float macCready) {
    const SpeedToFly stf = SpeedToFlyForCourse(context, course, macCready, useWind);
    const float glideRatio = PolarInUse(context.polar) ? stf.speed / context.polar.Sink(stf.speed)
                                                       : context.polar.glideRatio;
    return glideRatio * stf.groundRatio;
}

}  // namespace glide
