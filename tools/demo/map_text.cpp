// The text maps: the main map (with an include of rivers) and the overlay.
// Positions are written in degrees, minutes and seconds, longitudes west
// positive; radii in kilometres (the header's 'K').

#include "tools/demo/demo_files.h"
#include "tools/demo/demo_region.h"
#include "tools/demo/text_format.h"
#include "tools/flight_text/file_angles.h"

namespace demo {
namespace {

std::string Position(LocalPoint p) {
    const LatLon at = ToLatLon(p);
    return flight_text::PointDms(at.latitude, at.longitude);
}

std::string Record(LocalPoint p, int code, const std::string& text) {
    return Position(p) + Format(",%d,", code) + text + "\r\n";
}

// A record without a text part (only codes -1, -2, -3 take it).
std::string Bare(LocalPoint p, int code) {
    return Position(p) + Format(",%d\r\n", code);
}

// The header: the north-western and south-eastern corners, a 10 km radius
// and a label scale of 60.
std::string Header() {
    return Position({0.0, kRegionHeightKm}) + "," + Position({kRegionWidthKm, 0.0}) +
           ",10K,60\r\n";
}

// A polyline: -2 at its first point (with a fill text when given), then a
// vertex record per further point, ended by a -2 that starts nothing used.
std::string Polyline(const std::vector<LocalPoint>& points, const std::string& vertex,
                     const std::string& fill = "") {
    std::string text = fill.empty() ? Bare(points.front(), -2) : Record(points.front(), -2, fill);
    for (std::size_t i = 1; i < points.size(); ++i)
        text += Position(points[i]) + "," + vertex + "\r\n";
    return text + Bare(points.back(), -2);
}

// Zone limits in metres; the note follows on the next line (its first
// character is skipped, so it is written as a comment for other readers).
std::string Limits(const Zone& zone, LocalPoint at) {
    return Record(at, -7,
                  Format(";%.0f,%.0fM%c\\", zone.ceilingM, zone.floorM,
                         zone.hiddenNotes ? 'H' : 'N')) +
           ";" + zone.note + "\r\n";
}

std::string ZoneRecords(const Zone& zone) {
    switch (zone.shape) {
    case ZoneShape::kPolygon: {
        std::vector<LocalPoint> ring = zone.outline;
        ring.push_back(ring.front());
        return Limits(zone, ring.front()) + Record(ring.front(), -5, zone.name + "#!") +
               Polyline(ring, "-1,14");
    }
    case ZoneShape::kArcs: {
        const LocalPoint innerStart = Offset(zone.centre, zone.fromDeg, zone.innerKm);
        const LocalPoint outerEnd = Offset(zone.centre, zone.toDeg, zone.outerKm);
        return Limits(zone, innerStart) + Record(innerStart, -5, zone.name + "#!") +
               Bare(innerStart, -2) +
               Record(zone.centre, -6,
                      Format("#%.1f,%.0f,%.0f,0M", zone.innerKm, zone.fromDeg, zone.toDeg)) +
               Record(outerEnd, -1, "14") +
               Record(zone.centre, -6,
                      Format("@%.1f,%.0f,%.0f,0M", zone.outerKm, zone.toDeg, zone.fromDeg)) +
               Record(innerStart, -1, "14") + Bare(innerStart, -2);
    }
    case ZoneShape::kCircle:
        break;
    }
    // A negative radius: the circle only, no symbol.
    return Limits(zone, zone.centre) +
           Record(zone.centre, 1, Format("@-%.1f,14,2M%s", zone.radiusKm, zone.name.c_str()));
}

}  // namespace

std::string MapText() {
    std::string text = Header();
    text += "; Demo region: made-up data, not for navigation.\r\n";
    text += "*0,200,0,60\r\n";  // visible scales of what follows
    // Roads (wide maroon), a dashed railway and the rivers of the include.
    const auto& fields = Airfields();
    text += Polyline({{11.5, 20.0}, {10.5, 21.0}, {fields[0].at}, {8.5, 23.5}}, "-3,13");
    text += Polyline({{21.0, 42.5}, {20.5, 43.2}, {fields[1].at}}, "-3,13");
    text += Polyline({{52.5, 18.5}, {52.2, 19.2}, {fields[2].at}}, "-1,-2");
    text += "?" + std::string(kIncludeName) + "\r\n";
    // A lake with a hatched blue fill and a blue outline.
    text += Polyline({{9.0, 20.5}, {9.6, 20.4}, {9.8, 20.9}, {9.2, 21.1}, {9.0, 20.5}}, "-1,6",
                     "20,80,160,255,3");
    // One element of type 17 (a polyline) and one of type 27 (a circle).
    text += Polyline({{12.0, 23.0}, {12.6, 23.0}, {12.6, 23.5}, {12.0, 23.0}}, "-1,12",
                     "17,255,200,0");
    text += Record({10.0, 20.0}, 1, "@0.3,27,2,0,160,0,0MDemo Beacon");
    // Towns: labels and symbols, one with its elevation.
    text += Record({11.5, 20.0}, -5, "Demo Harbour");
    text += Record({11.5, 20.0}, 3, "Demo Harbour");
    text += Record({21.0, 42.5}, 3, "Demo Port North");
    text += Record({52.5, 18.5}, 3, "Demo Port East");
    text += Record({50.0, 45.0}, 2, "^450M^Demo Hill Knoll");
    text += Record({27.0, 6.0}, 2, "^900M^Demo Hill Crown");
    // A harbour mole drawn as a free arc.
    text += Record({11.5, 20.0}, -4, "@0.4,0,90,2M");
    for (const Zone& zone : Zones())
        text += ZoneRecords(zone);
    return text;
}

std::string IncludeMapText() {
    std::string text = Header();
    text += Polyline({{14.0, 26.0}, {13.0, 24.5}, {12.0, 23.8}, {11.2, 22.8}}, "-1,6");
    text += Polyline({{19.0, 46.0}, {19.6, 44.8}, {20.2, 43.6}}, "-1,6");
    text += Record({13.0, 24.5}, -5, "Demo River");
    return text;
}

std::string OverlayMapText() {
    std::string text = Header();
    const Task& task = TheTask();
    text += Polyline({task.start, task.turnpoint1, task.turnpoint2, task.finish}, "-1,-15");
    text += Record(Offset(task.start, 90.0, 1.0), -5, "Demo Overlay: the task triangle");
    return text;
}

}  // namespace demo
