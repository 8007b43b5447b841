#pragma once
// One airspace read from the DAFIF files: its parent line's fields, its
// limits, its label and its outline, in degrees with east-positive
// longitudes. Pure logic; any one thread. Geodesy is called quietly: a
// computation that fails never raises a box, it is counted instead.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/geo_box.h"
#include "core/geo_point.h"

namespace tandrel {

enum class AirspaceKind { kControl = 0, kSpecialUse = 1 };

// A limit as ParseAltitude reads it: feet, and the AGL value (-1 when the
// limit is not above ground). recognised is false for a text it does not
// know (value and agl then stay -1).
struct Altitude {
    double value = -1.0;
    double agl = -1.0;
    bool zeroAgl = false;  // the limit is at the surface
    bool recognised = false;
};
Altitude ParseAltitude(std::string_view text);

struct AirspaceSegment {
    enum class Kind { kPoint, kArc, kCircle };
    Kind kind = Kind::kPoint;
    core::GeoPoint point;   // a point; an arc's end (its second point); a circle's centre
    core::GeoPoint centre;  // arcs
    core::GeoPoint mid;     // arcs: the point halfway round
    double radiusNm = 0.0;  // arcs and circles
    double startBearing = 0.0;  // arcs, degrees, as computed (not brought into 0..360)
    double endBearing = 0.0;
    bool clockwise = false;
};

// Whether box reaches beyond `inner` on some side; false when either is empty.
bool ReachesBeyond(const core::GeoBox& box, const core::GeoBox& inner);

class CAirspace {
  public:
    explicit CAirspace(AirspaceKind kind) : kind_(kind) {}

    AirspaceKind Kind() const { return kind_; }

    // The parent line's fields.
    std::string identifier;
    std::string sector;     // special use
    int typeCode = 12;      // control: 12 when the field holds no number
    std::string typeField;  // special use: its first letter is the type
    std::string name;
    std::string classField;  // control
    std::string label;

    // Limits in feet; the safe side where a limit could not be read.
    double top = 30000.0;
    double bottom = 0.0;
    double topAgl = -1.0;
    double bottomAgl = -1.0;
    bool zeroAgl = false;
    bool unreadableLimit = false;
    // Arcs whose centre lies on one of their points, written as straight lines.
    int brokenArcs = 0;
    bool countryMatch = false;

    // Adds a parsed limit: lower first, then upper.
    void SetLimits(const Altitude& lower, const Altitude& upper);

    // Adds one segment line by the first letter of its shape field; fields
    // are the shape letter, first point, second point, centre and radius.
    struct ShapeFields {
        std::string_view shape, lat1, lon1, lat2, lon2, centreLat, centreLon, radius;
    };
    void AddBoundaryLine(const ShapeFields& line);

    const std::vector<AirspaceSegment>& Segments() const { return segments_; }
    const core::GeoBox& Box() const { return box_; }
    // 0, or +1 / -1 once the outline crossed the 180-degree meridian.
    int MeridianState() const { return meridianState_; }

    // Where the label goes; nothing for an airspace without segments.
    std::optional<core::GeoPoint> LabelPoint() const;

  private:
    void AddPoint(core::GeoPoint p);
    void AddArc(core::GeoPoint first, core::GeoPoint second, core::GeoPoint centre, bool clockwise);
    void AddCircle(core::GeoPoint centre, double radiusNm);
    // The meridian check and the box, for every point the outline passes.
    core::GeoPoint Track(core::GeoPoint p);

    AirspaceKind kind_;
    std::vector<AirspaceSegment> segments_;
    core::GeoBox box_;
    std::optional<core::GeoPoint> last_;
    int meridianState_ = 0;
    std::optional<double> meridianReference_;
};

}  // namespace tandrel
