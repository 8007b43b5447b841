#include "tools/tandrel/airspace.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "core/geodesy.h"
#include "platform/numbers.h"

namespace tandrel {
namespace {

constexpr double kDegree = std::numbers::pi / 180.0;

std::optional<double> Number(std::string_view text) {
    const auto scanned = platform::ScanDouble(text);
    if (!scanned || !std::isfinite(scanned->value)) return std::nullopt;
    return scanned->value;
}

// A position whose numbers read and make sense; nothing otherwise.
std::optional<core::GeoPoint> Position(std::string_view lat, std::string_view lon) {
    const auto latitude = Number(lat);
    const auto longitude = Number(lon);
    if (!latitude || !longitude || std::fabs(*latitude) > 90.0 || std::fabs(*longitude) > 360.0)
        return std::nullopt;
    return core::GeoPoint{*latitude, *longitude};
}

core::GeoPoint Direct(const core::GeoPoint& from, double bearingDeg, double distanceNm) {
    const auto end = core::g_ellipsoid.GeodesicDirect(from.latitude * kDegree, from.longitude * kDegree,
                                                      bearingDeg * kDegree, distanceNm, true);
    return {end.latitude / kDegree, end.lonEast / kDegree};
}

}  // namespace

Altitude ParseAltitude(std::string_view text) {
    Altitude altitude;
    const auto known = [&altitude](double value, double agl, bool zero) {
        altitude = {value, agl, zero, true};
        return altitude;
    };
    if (const auto at = text.find("FL"); at != std::string_view::npos) {
        const auto level = Number(text.substr(at + 2));
        if (!level) return altitude;
        return known(*level * 100.0, -1.0, *level * 100.0 == 0.0);
    }
    if (text.find("AMSL") != std::string_view::npos) {
        const auto value = Number(text);
        if (!value) return altitude;
        return known(*value, -1.0, *value <= 0.0);
    }
    if (text.find("AGL") != std::string_view::npos) {
        const auto value = Number(text);
        if (!value) return altitude;
        return known(*value, *value, *value <= 0.0);
    }
    if (text.find("SURFACE") != std::string_view::npos || text.find("GND") != std::string_view::npos)
        return known(0.0, 0.0, true);
    if (text.find("UNLTD") != std::string_view::npos) return known(100000.0, -1.0, false);
    return altitude;
}

bool ReachesBeyond(const core::GeoBox& box, const core::GeoBox& inner) {
    if (box.IsEmpty() || inner.IsEmpty()) return false;
    return box.south < inner.south || box.north > inner.north || box.west < inner.west ||
           box.east > inner.east;
}

void CAirspace::SetLimits(const Altitude& lower, const Altitude& upper) {
    // A limit that cannot be read takes the safe side: the floor at the
    // surface, the ceiling unlimited, so the zone still alarms.
    if (lower.recognised) {
        bottom = lower.value;
        bottomAgl = lower.agl;
    } else {
        bottom = 0.0;
        bottomAgl = -1.0;
        unreadableLimit = true;
    }
    if (upper.recognised) {
        top = upper.value;
        topAgl = upper.agl;
    } else {
        top = 100000.0;
        topAgl = -1.0;
        unreadableLimit = true;
    }
    zeroAgl = zeroAgl || lower.zeroAgl || upper.zeroAgl;
}

void CAirspace::AddBoundaryLine(const ShapeFields& line) {
    if (line.shape.empty()) return;
    switch (line.shape.front()) {
        case 'B':
        case 'G':
        case 'H': {
            if (!last_) {
                const auto first = Position(line.lat1, line.lon1);
                const auto second = Position(line.lat2, line.lon2);
                if (!first || !second) return;
                AddPoint(*first);
                AddPoint(*second);
            } else if (const auto second = Position(line.lat2, line.lon2)) {
                AddPoint(*second);
            }
            return;
        }
        case 'C': {
            const auto centre = Position(line.centreLat, line.centreLon);
            const auto radius = Number(line.radius);
            if (centre && radius && *radius >= 0.0 && *radius < 10000.0) AddCircle(*centre, *radius);
            return;
        }
        case 'L':
        case 'R': {
            const auto first = Position(line.lat1, line.lon1);
            const auto second = Position(line.lat2, line.lon2);
            const auto centre = Position(line.centreLat, line.centreLon);
            // The radius field must hold a number, though the arc's radius
            // is the distance to its second point.
            if (!first || !second || !centre || !Number(line.radius)) return;
            AddArc(*first, *second, *centre, line.shape.front() == 'R');
            return;
        }
        default:
            return;
    }
}

core::GeoPoint CAirspace::Track(core::GeoPoint p) {
    if (!meridianReference_) {
        meridianReference_ = p.longitude;
    } else {
        if (meridianState_ == 0 && std::fabs(p.longitude - *meridianReference_) > 180.0)
            meridianState_ = *meridianReference_ >= 0.0 ? 1 : -1;
        meridianReference_ = p.longitude;
    }
    if (meridianState_ > 0 && p.longitude < 0.0) p.longitude += 360.0;
    if (meridianState_ < 0 && p.longitude > 0.0) p.longitude -= 360.0;
    box_.Extend(p);
    return p;
}

void CAirspace::AddPoint(core::GeoPoint p) {
    AirspaceSegment segment;
    segment.point = Track(p);
    segments_.push_back(segment);
    last_ = segment.point;
}

void CAirspace::AddArc(core::GeoPoint first, core::GeoPoint second, core::GeoPoint centre,
                       bool clockwise) {
    const auto toFirst = core::g_ellipsoid.GeodesicInverse(
        centre.latitude * kDegree, centre.longitude * kDegree, first.latitude * kDegree,
        first.longitude * kDegree, true);
    const auto toSecond = core::g_ellipsoid.GeodesicInverse(
        centre.latitude * kDegree, centre.longitude * kDegree, second.latitude * kDegree,
        second.longitude * kDegree, true);
    if (segments_.empty()) AddPoint(first);
    if (!toFirst.valid || !toSecond.valid) {
        // No bearing from a centre that lies on the arc: a straight line.
        AddPoint(second);
        ++brokenArcs;
        return;
    }
    AirspaceSegment arc;
    arc.kind = AirspaceSegment::Kind::kArc;
    arc.clockwise = clockwise;
    arc.centre = centre;
    arc.startBearing = toFirst.course12 / kDegree;
    arc.endBearing = toSecond.course12 / kDegree;
    arc.radiusNm = toSecond.distance;
    double start = arc.startBearing;
    double end = arc.endBearing;
    if (clockwise && end < start) end += 360.0;
    if (!clockwise && start < end) start += 360.0;
    double mean = (start + end) / 2.0;
    if (mean >= 360.0) mean -= 360.0;
    box_.Extend(first);
    arc.point = Track(second);
    arc.mid = Track(Direct(centre, mean, arc.radiusNm));
    segments_.push_back(arc);
    last_ = arc.point;
}

void CAirspace::AddCircle(core::GeoPoint centre, double radiusNm) {
    AirspaceSegment circle;
    circle.kind = AirspaceSegment::Kind::kCircle;
    circle.point = centre;
    circle.radiusNm = radiusNm;
    for (const double bearing : {0.0, 90.0, 180.0, 270.0}) Track(Direct(centre, bearing, radiusNm));
    segments_.push_back(circle);
}

std::optional<core::GeoPoint> CAirspace::LabelPoint() const {
    if (segments_.empty()) return std::nullopt;
    for (const auto& segment : segments_)
        if (segment.kind == AirspaceSegment::Kind::kCircle) return segment.point;
    double latitude = 0.0;
    double longitude = 0.0;
    int count = 0;
    for (const auto& segment : segments_) {
        const bool point = segment.kind == AirspaceSegment::Kind::kPoint;
        const core::GeoPoint& p = point ? segment.point : segment.mid;
        latitude += p.latitude;
        longitude += p.longitude;
        ++count;
    }
    // A closed outline repeats its first point at the end: count it once.
    if (segments_.back().kind == AirspaceSegment::Kind::kPoint && count > 2) {
        latitude -= segments_.back().point.latitude;
        longitude -= segments_.back().point.longitude;
        --count;
    }
    return core::GeoPoint{latitude / count, longitude / count};
}

}  // namespace tandrel
