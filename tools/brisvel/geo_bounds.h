#pragma once
// Latitude and longitude boxes in single-precision degrees (east-positive
// longitude): the bounds a map is written for, and the box of one map object.

namespace brisvel {

// The bounds a map is written for. Each value is kUnsetBound until chosen.
inline constexpr float kUnsetBound = 999.0F;

struct Bounds {
    float maxLat = kUnsetBound;
    float minLat = kUnsetBound;
    float maxLon = kUnsetBound;
    float minLon = kUnsetBound;

    // Bounds count as chosen when the maximum latitude is 900 or less.
    bool IsSet() const { return maxLat <= 900.0F; }
    friend bool operator==(const Bounds&, const Bounds&) = default;
};

// A map object's box: empty (maxima -1000, minima +1000) until widened.
struct GeoBox {
    float maxLat = -1000.0F;
    float minLat = 1000.0F;
    float maxLon = -1000.0F;
    float minLon = 1000.0F;

    void Widen(float lon, float lat) {
        if (lat > maxLat) maxLat = lat;
        if (lat < minLat) minLat = lat;
        if (lon > maxLon) maxLon = lon;
        if (lon < minLon) minLon = lon;
    }
    bool Overlaps(const Bounds& b) const {
        return maxLat >= b.minLat && minLat <= b.maxLat && maxLon >= b.minLon && minLon <= b.maxLon;
    }
};

}  // namespace brisvel
