#include "glide/heading_wind.h"

#include <cmath>
#include <numbers>

#include "glide/current_wind.h"

namespace glide {
namespace {

constexpr double kHeadingTwoPi = 2.0 * std::numbers::pi;
constexpr double kEmptyTrack = -9.0;  // any track below -pi marks a slot empty
constexpr double kParallel = 1e-7;
constexpr float kNearlyParallel = 0.87F;

struct Line {
    double track = kEmptyTrack;
    float hx = 0.0F;  // heading unit vector
    float hy = 0.0F;
    float px = 0.0F;  // cross component of the ground velocity
    float py = 0.0F;

    bool Empty() const { return track < -std::numbers::pi; }
    float LengthSquared() const { return px * px + py * py; }
};

Line g_a;  // under WindLock
Line g_b;

void Store(const Line& line) {
    if (g_a.Empty()) {
        g_a = line;
    } else if (g_b.Empty()) {
        g_b = line;
    } else if (std::fabs(std::cos(g_a.track - line.track)) <=
               std::fabs(std::cos(g_b.track - line.track))) {
        g_b = line;
    } else {
        g_a = line;
    }
}

double IntoTurn(double angle) {
    angle = std::fmod(angle, kHeadingTwoPi);
    return angle < 0.0 ? angle + kHeadingTwoPi : angle;
}

void Fill(gps::WindRecord& wind, double speed, double direction, const HeadingWindInput& input) {
    wind.speed = wind.speedAgain = static_cast<float>(speed);
    wind.speedSquared = static_cast<float>(speed * speed);
    wind.direction = static_cast<float>(direction * 180.0 / std::numbers::pi);
    if (!(wind.direction < 360.0F)) wind.direction = 0.0F;
    wind.x = static_cast<float>(speed * std::cos(direction));
    wind.y = static_cast<float>(speed * std::sin(direction));
    wind.altitude = input.altitude;
    wind.time = input.time;
}

// The direction of (wx, wy) by its cosine, snapped at the axes.
double DirectionOf(double wx, double wy, double speed) {
    if (speed <= 0.1) return 0.0;
    const double q = wx / speed;
    double direction = 0.0;
    if (q > 0.9999) {
        direction = 0.0;
    } else if (q < -0.9999) {
        direction = std::numbers::pi;
    } else {
        direction = std::acos(q);
        if (wy < 0.0) direction = -direction;
    }
    return IntoTurn(direction);
}

}  // namespace

int ComputeHeadingWind(const HeadingWindInput& input, gps::WindRecord& wind) {
    const float along = input.groundNorth * input.cosHeading + input.groundEast * input.sinHeading;
    Line line{input.track, input.cosHeading, input.sinHeading,
              input.groundNorth - along * input.cosHeading,
              input.groundEast - along * input.sinHeading};

    const platform::CriticalSectionLock lock(WindLock);
    Store(line);
    if (g_b.Empty()) {
        wind.x = wind.y = wind.speed = wind.direction = wind.speedAgain = wind.speedSquared = 0.0F;
        return kHeadingWindFirstLine;
    }
    const double a2 = g_a.LengthSquared();
    const double b2 = g_b.LengthSquared();
    const double c = double{g_a.py} * g_b.px - double{g_a.px} * g_b.py;
    // Also catches two lines without length (no wind across either
    // heading), where the ratio itself would be 0 / 0.
    if (!(std::fabs(c) > kParallel * (a2 + b2))) {
        const double speed = std::sqrt(a2);
        Fill(wind, speed, IntoTurn(g_a.track - std::numbers::pi), input);
        return kHeadingWindParallel;
    }
    const double wx = (a2 * g_b.py - b2 * g_a.py) / c;
    const double wy = (b2 * g_a.px - a2 * g_b.px) / c;
    const double speed = std::sqrt(wx * wx + wy * wy);
    Fill(wind, speed, DirectionOf(wx, wy, speed), input);
    return std::fabs(g_a.hx * g_b.hx + g_a.hy * g_b.hy) > kNearlyParallel
               ? kHeadingWindNearlyParallel
               : kHeadingWindGood;
}

void ResetHeadingWind() {
    const platform::CriticalSectionLock lock(WindLock);
    g_a = Line{};
    g_b = Line{};
}

}  // namespace glide
