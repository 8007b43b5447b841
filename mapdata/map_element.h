#pragma once
// CMapElement: what every map element has (bounds, altitude band, visible
// scale range, zone flags, two strings, alarm state) and the operations the
// map window, the readers and the alarm-zone thread use without knowing the
// kind: a label or symbol (CMapTextElement), a circle or arc
// (CMapCircleElement) or a point list (CMapPolyElement, and the FAI area).
//
// Elements are values: each kind is copyable, and a list or record that
// holds one owns it (std::unique_ptr<CMapElement> in mixed lists). The pair
// of a source zone and its enlarged copy is found by their shared zone
// serial, not by a pointer.
//
// Bounds, and the points the box and point tests take, are degrees with
// longitude positive EAST (core::GeoBox, core::GeoPoint); the binary map
// reader and writer convert them from and to the stored form (radians,
// longitude positive west). The elements' own positions stay in that form
// (sphere_geometry.h). Altitudes and limits are feet.
//
// Elements carry no lock: the lists that hold them are guarded by the map
// window's list lock. The alarm-zone thread reads zone elements and writes
// their alarm fields (flags 0x08, 0x10 and alarmTime) while the render
// thread draws them.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/geo_box.h"
#include "core/waypoint_record.h"

namespace mapdata {

enum class ElementKind : std::int32_t { kText = 1, kCircle = 2, kPoly = 4 };

// Bits of CMapElement::flags. kAcknowledged, kInside and kNotDrawn are
// run-time state, never stored in binary maps.
namespace element_flag {
inline constexpr std::uint32_t kZone = 0x01;
inline constexpr std::uint32_t kNotTested = 0x02;  // a source zone, or switched off for good
inline constexpr std::uint32_t kEnlargedCopy = 0x04;
inline constexpr std::uint32_t kAcknowledged = 0x08;
inline constexpr std::uint32_t kInside = 0x10;
inline constexpr std::uint32_t kNotesHidden = 0x20;
inline constexpr std::uint32_t kNotDrawn = 0x40;
}  // namespace element_flag

// The terrain value of a zone test when no terrain elevation is known.
inline constexpr float kNoTerrain = -1000.0F;

class CMapElement {
  public:
    virtual ~CMapElement() = default;

    ElementKind Kind() const { return kind_; }

    // Reduces the points to those that matter at tolerance (radians of arc),
    // keeping no two neighbours farther apart than maxGap; false when
    // nothing changed. Only point lists simplify.
    virtual bool Simplify(float /*tolerance*/, float /*maxGap*/) { return false; }
    // Sets the bounds from the element's geometry (circles, point lists).
    virtual void ComputeBounds() {}
    // Strictly inside the bounds.
    bool ContainsPoint(const core::GeoPoint& point) const { return bounds.ContainsInside(point); }
    // The bounds overlap the box (strict: boxes that only touch do not);
    // text elements test their point.
    virtual bool IntersectsBox(const core::GeoBox& box) const { return bounds.OverlapsInside(box); }
    // Equal scale values: visible at every scale; else scale1 <= scale <=
    // scale2.
    bool IsVisibleAtScale(float currentScale) const;
    // Whether the fix is inside the zone, its altitude within the band
    // widened by the margins (feet). terrain: feet under the fix, negative
    // when unknown. Only circles and point lists are zones.
    virtual bool ZoneTest(const nav::WaypointRecord& /*fix*/, float /*marginBelow*/,
                          float /*marginAbove*/, float /*terrain*/) const {
        return false;
    }
    // Distance from the fix to the element (circles: nautical miles from the
    // edge, negative inside; point lists: radians of arc); 1e10 for others.
    virtual double DistanceTo(const nav::WaypointRecord& /*fix*/) const { return 1e10; }

    // Replaces string 0 (which 0, the name) or 1 (the note) by the text
    // before the first delimiter, at most 255 characters; an empty result
    // leaves the string empty. Returns the length kept.
    std::size_t SetString(std::wstring_view text, wchar_t delimiter, int which);
    // The 8-bit form: bytes are Windows-1252 characters.
    std::size_t SetString(std::string_view text, char delimiter, int which);

    std::uint32_t flags = 0;
    // The flags while another thread may change them (the alarm-zone thread
    // sets and clears its bits atomically): every reader on the render or
    // UI thread goes through this.
    std::uint32_t LoadFlags() const {
        // atomic_ref needs a non-const object; the load writes nothing.
        return std::atomic_ref(const_cast<std::uint32_t&>(flags)).load(std::memory_order_relaxed);
    }
    core::GeoBox bounds;         // empty until set (text elements keep none)
    float lowerAltitude = 0.0F;  // equal to upperAltitude: no altitude limits
    float upperAltitude = 0.0F;
    float scale1 = 0.0F;  // equal to scale2: visible at every scale
    float scale2 = 0.0F;
    std::wstring name;  // string 0; empty when absent
    std::wstring note;  // string 1
    std::chrono::system_clock::time_point alarmTime{};  // the last hit
    std::int32_t ackHoldSeconds = 180;
    float limitB = -1.0F;  // the floor above ground, feet; -1 when absent
    float limitA = -1.0F;  // the ceiling above ground
    std::int32_t zoneSerial = 0;  // shared by a source zone and its enlarged copy
    std::uint32_t type27Mark = 0;  // 1: belongs to the map window's type-27 list

  protected:
    explicit CMapElement(ElementKind kind) : kind_(kind) {}
    CMapElement(const CMapElement&) = default;
    CMapElement& operator=(const CMapElement&) = default;

    // The vertical part of both zone tests: false when the altitude is
    // outside the band (a zone with lower == upper and no limits has none).
    bool PassesVerticalTest(const nav::WaypointRecord& fix, float marginBelow, float marginAbove,
                            float terrain) const;

  private:
    ElementKind kind_;
};

// Which elements the zone-display rule draws: none with kNotDrawn; every
// element that is neither a source zone nor an enlarged copy; of those,
// only enlarged copies while enlarged zones are shown, else source zones.
bool ShouldDrawZone(const CMapElement& element, bool showEnlarged);

// The zone's altitude text: "Alt: %.0f-%.0fft" (or "m", divided by 3.2808),
// then the limits " (b,a)", " (--,a)" or " (b,--)" when given; CR LF after
// it when addLineEnd.
std::wstring MapAltitudeLabel(const CMapElement& element, bool inMetres, bool addLineEnd);

}  // namespace mapdata
