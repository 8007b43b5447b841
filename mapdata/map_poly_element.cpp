#include "mapdata/map_poly_element.h"

#include <algorithm>
#include <cmath>
#include <new>

#include "mapdata/map_circle_element.h"

namespace mapdata {

CMapPolyElement::CMapPolyElement(const CMapPolyElement& other)
    : CMapElement(other),
      fillStyle(other.fillStyle),
      fillColour(other.fillColour),
      outline(other.outline),
      type(other.type),
      points_(other.points_),
      grown_(!other.points_.empty()),
      winding_(other.winding_) {
    if (!points_.empty()) {
        const auto count = static_cast<std::uint32_t>(points_.size());
        bytesInUse_ = kPointRecordBytes * (IsClosed() ? count : count + 1);
    }
}

CMapPolyElement& CMapPolyElement::operator=(const CMapPolyElement& other) {
    if (this != &other) {
        CMapPolyElement copy(other);
        *this = std::move(copy);
    }
    return *this;
}

bool CMapPolyElement::AppendPointRecord(const MapPoint& record) {
    try {
        points_.push_back(record);
    } catch (const std::bad_alloc&) {
        return false;
    }
    // The first buffer of an element without points counts one spare record.
    if (!grown_) {
        grown_ = true;
        if (points_.size() == 1) bytesInUse_ = kPointRecordBytes;
    }
    bytesInUse_ += kPointRecordBytes;
    return true;
}

bool CMapPolyElement::AddPoint(float lonWest, float latitude, std::int32_t pen,
                               std::uint32_t kind) {
    const UnitVector v = ToUnitVector(lonWest, latitude);
    return AppendPointRecord({v.x, v.y, v.z, pen, kind});
}

bool CMapPolyElement::AddCircleOutline(const CMapCircleElement& circle, float stepDegrees,
                                       std::int32_t pen, std::uint32_t kind) {
    for (const LonLat& p : circle.GenerateOutline(stepDegrees)) {
        if (!AddPoint(p.lon, p.lat, pen, kind)) return false;
    }
    return true;
}

void CMapPolyElement::RemoveAllPoints() {
    points_.clear();
    bytesInUse_ = 0;
    winding_ = 0;
    bounds = {};
}

bool CMapPolyElement::ClosePolygon() {
    if (points_.empty() || IsClosed()) return true;
    MapPoint closing = points_.back();
    closing.x = points_.front().x;
    closing.y = points_.front().y;
    closing.z = points_.front().z;
    try {
        points_.push_back(closing);
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

void CMapPolyElement::ComputeBounds() {
    bounds = {};
    for (const MapPoint& point : points_) {
        const LonLat p = UnitVectorToLonLat(point.Position());
        bounds.Extend(core::FromRadiansWest(p.lat, p.lon));
    }
}

}  // namespace mapdata
