#pragma once
// CMapPolyElement: a polyline or polygon of map positions (map lines and
// areas, airspace zone outlines and their enlarged copies, task zone
// outlines, the reachable area, the FAI area).
//
// Each point is a 20-byte record: the unit vector (floats), a pen index into
// the map's pen table, and a kind word (0 move, 1 thin, 3 wide as the
// readers set it; Simplify leaves 1 on every point it keeps).
//
// BytesInUse() is the figure the binary map stores: a new element counts a
// spare record behind its points (20 x (count + 1) while open), ClosePolygon
// fills that spare place without changing it (20 x count once closed), and
// after RemoveAllPoints appended records count no spare.
//
// Same threading as every element (see map_element.h): ZoneTest and
// DistanceTo only read and may run on the alarm-zone thread while others
// read too; changing the points needs the list's lock.

#include <cstdint>
#include <span>
#include <vector>

#include "mapdata/map_element.h"
#include "mapdata/sphere_geometry.h"

namespace mapdata {

class CMapCircleElement;

struct MapPoint {
    float x = 1.0F;
    float y = 0.0F;
    float z = 0.0F;
    std::int32_t pen = 0;
    std::uint32_t kind = 0;

    UnitVector Position() const { return {x, y, z}; }
    bool SamePosition(const MapPoint& other) const {
        return x == other.x && y == other.y && z == other.z;
    }
    friend bool operator==(const MapPoint&, const MapPoint&) = default;
};

inline constexpr std::uint32_t kPointRecordBytes = 20;

class CMapPolyElement : public CMapElement {
  public:
    CMapPolyElement() : CMapElement(ElementKind::kPoly) {}
    // The copy holds exactly its points; its bytes in use are 20 x
    // (count + 1), one record fewer when the first point equals the last.
    CMapPolyElement(const CMapPolyElement& other);
    CMapPolyElement& operator=(const CMapPolyElement& other);
    CMapPolyElement(CMapPolyElement&&) = default;
    CMapPolyElement& operator=(CMapPolyElement&&) = default;

    // False (and nothing changed) when the points cannot grow.
    bool AppendPointRecord(const MapPoint& record);
    // A point at (longitude positive west, latitude), radians.
    bool AddPoint(float lonWest, float latitude, std::int32_t pen, std::uint32_t kind);
    // The outline of a circle element (GenerateOutline) at stepDegrees.
    bool AddCircleOutline(const CMapCircleElement& circle, float stepDegrees, std::int32_t pen,
                          std::uint32_t kind);
    // Count 0, bytes in use 0, winding 0, no bounds.
    void RemoveAllPoints();
    // Appends the first position (with the last point's pen and kind) when
    // the last differs from it.
    bool ClosePolygon();
    // +1 or -1 by the sense of turning of a closed outline of at least 3
    // points, 0 when undetermined; stored. Anything else answers 0 and keeps
    // the stored winding.
    int ComputeWinding();
    // Closes the outline and moves every edge outward by margin (radians of
    // arc) along the bisectors of its corners.
    void PrepareZone(float margin);

    bool Simplify(float tolerance, float maxGap) override;
    void ComputeBounds() override;
    bool ZoneTest(const nav::WaypointRecord& fix, float marginBelow, float marginAbove,
                  float terrain) const override;
    // Radians of arc to the nearest edge.
    double DistanceTo(const nav::WaypointRecord& fix) const override;

    std::span<const MapPoint> Points() const { return points_; }
    std::size_t PointCount() const { return points_.size(); }
    std::uint32_t BytesInUse() const { return bytesInUse_; }
    int Winding() const { return winding_; }
    bool IsClosed() const { return points_.size() > 1 && points_.front().SamePosition(points_.back()); }

    // Fill style: 0 none; low 4 bits 0, 1 or 8..15 solid, 2..7 a pattern
    // whose phase is in bits 4..6 (y) and 7..9 (x).
    std::int32_t fillStyle = 0;
    std::uint32_t fillColour = 2;  // COLORREF
    bool outline = true;
    std::int32_t type = 0;  // the fill number of the text map's "-2" record

  private:
    std::vector<MapPoint> points_;
    std::uint32_t bytesInUse_ = 0;
    bool grown_ = false;  // the point buffer has been made
    int winding_ = 0;
};

// The point-in-polygon rule of zone tests, on (longitude, latitude) points:
// a ray from the fix towards (0.11, d) counts crossings, d starting at 0.23
// and growing by 0.04 whenever an edge runs parallel to it (edges parallel
// to a ray with d >= 1 are ignored). Edges shorter than 2e-10 (squared,
// longitude scaled by cos latitude) merge into the next; the closing edge
// counts when the last point differs from the first.
struct PlanePoint {
    double lon = 0.0;
    double lat = 0.0;
};
bool IsInsideLonLatPolygon(std::span<const PlanePoint> points, double fixLon, double fixLat);

}  // namespace mapdata
