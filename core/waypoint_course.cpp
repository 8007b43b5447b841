#include "core/waypoint_course.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "core/settings_values.h"

namespace nav {
namespace {

constexpr double kDegreesPerRadian = 180.0 / std::numbers::pi;
// Below this cross-product length the points coincide or are antipodal.
constexpr double kNoCourse = 2e-6;
// A cosine of the start latitude below this means the start is a pole.
constexpr double kPoleCosine = 1e-12;
// A variation above this means none is known.
constexpr double kNoVariation = 998.0;

struct Vector {
    double x;
    double y;
    double z;
};

Vector Cross(const WaypointRecord& a, const WaypointRecord& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

double TrueCourse(const WaypointRecord& from, const WaypointRecord& to, const Vector& c, double s) {
    const double cosLatitude = std::cos(from.latitude);
    if (std::fabs(cosLatitude) < kPoleCosine) return from.latitude > 0 ? 180.0 : 0.0;
    const double q = (c.x * from.y - c.y * from.x) / s / cosLatitude;
    double course = 0.0;
    if (q > 1.0) {
        course = 0.0;
    } else if (q < -1.0) {
        course = 180.0;
    } else {
        course = std::acos(q) * kDegreesPerRadian;
    }
    // Longitudes are positive west: a larger longitude lies further west,
    // unless the shorter way crosses the 180th meridian.
    const bool west = std::fabs(from.longitude - to.longitude) <= std::numbers::pi
                          ? to.longitude > from.longitude
                          : to.longitude < from.longitude;
    return west ? 360.0 - course : course;
}

double MagneticCourse(double trueCourse) {
    const double variation = core::g_magneticVariation.load(std::memory_order_relaxed);
    double course = variation <= kNoVariation ? trueCourse - variation : trueCourse;
    if (course < 0.0) course += 360.0;
    if (course > 360.0) course -= 360.0;
    return course;
}

}  // namespace

float CourseAndDistance(const WaypointRecord& from, const WaypointRecord& to,
                        CourseResult* course) {
    const double d = from.x * to.x + from.y * to.y + from.z * to.z;
    const Vector c = Cross(from, to);
    const double s = std::min(std::sqrt(c.x * c.x + c.y * c.y + c.z * c.z), 1.0);
    const double angle = d >= 0.0 ? std::asin(s) : std::numbers::pi - std::asin(s);
    const double distance = angle * core::g_earthRadius.load(std::memory_order_relaxed);

    if (course != nullptr) {
        *course = CourseResult{};
        if (s >= kNoCourse) {
            course->trueCourseDeg = TrueCourse(from, to, c, s);
            course->magneticCourseDeg = MagneticCourse(course->trueCourseDeg);
            course->trueCourseRad = course->trueCourseDeg / kDegreesPerRadian;
        }
    }
    return static_cast<float>(distance);
}

}  // namespace nav
