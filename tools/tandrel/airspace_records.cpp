#include "tools/tandrel/airspace_records.h"

#include <algorithm>

#include "mapdata/map_palette.h"
#include "platform/numbers.h"

namespace tandrel {
namespace {

using platform::FormatC;

std::string At(const core::GeoPoint& p) {
    return FormatC("%.7lf,0,0,%.7lf,0,0,", p.latitude, -p.longitude);
}

// The sweep of an arc from start to end in its own direction, degrees.
double Sweep(const AirspaceSegment& arc) {
    double start = arc.startBearing;
    double end = arc.endBearing;
    if (arc.clockwise) {
        if (end < start) end += 360.0;
        return end - start;
    }
    if (start < end) start += 360.0;
    return start - end;
}

}  // namespace

void WriteMap(const CAirspace& airspace, const MapStyle& style, std::string& out) {
    const auto labelPoint = airspace.LabelPoint();
    if (!labelPoint) return;
    double top = airspace.top;
    double bottom = airspace.bottom;
    if (airspace.topAgl > -0.99 && airspace.top != -1.0) top += style.topOffset;
    if (airspace.bottomAgl > -0.99 && airspace.bottom != -1.0) bottom += style.bottomOffset;

    out += FormatC(";%s:\r\n", airspace.identifier.c_str());
    out += At(*labelPoint) +
           FormatC(style.noNotes ? "-7,;%.0lf,%.0lf,H%.0lf,%.0lf\r\n" : "-7,;%.0lf,%.0lf,,%.0lf,%.0lf\r\n",
                   top, bottom, airspace.topAgl, airspace.bottomAgl);
    out += At(*labelPoint) + FormatC("-5,%s#!\r\n", airspace.label.c_str());

    // Colour 0 draws no border; a filled shape still needs a pen.
    const int pen = style.borderColour == 0 && style.fill ? 2 : style.borderColour;
    const int arcPen = style.wideBorder ? -pen : pen;
    const int vertex = style.wideBorder ? -3 : -1;
    const mapdata::Rgb fill = mapdata::RgbFromColorref(style.fillColour);
    const auto& segments = airspace.Segments();

    const auto circle = std::find_if(segments.begin(), segments.end(), [](const auto& s) {
        return s.kind == AirspaceSegment::Kind::kCircle;
    });
    if (circle != segments.end()) {
        out += At(circle->point) + FormatC("1,@%.5lf,", -(circle->radiusNm * style.unitFactor));
        if (style.fill)
            out += FormatC(style.borderColour != 0 ? "17,%d,%d,%d,%dM\r\n" : "-17,%d,%d,%d,%dM\r\n",
                           arcPen, fill.red, fill.green, fill.blue);
        else
            out += FormatC("0,%dM\r\n", arcPen);
        return;
    }

    const core::GeoPoint first = segments.front().point;
    const AirspaceSegment* lastArc = nullptr;
    for (std::size_t i = 0; i < segments.size(); ++i) {
        const AirspaceSegment& s = segments[i];
        if (s.kind == AirspaceSegment::Kind::kArc) {
            const double d = std::min(3.0, Sweep(s) / 5.0);
            const double along = s.clockwise ? d : -d;
            const double start = s.startBearing + along;
            const double end = i + 1 == segments.size() ? s.endBearing - along : s.endBearing;
            out += At(s.centre) + "-6," + (s.clockwise ? "#" : "@") +
                   FormatC("%.4lf,%.4lf,%.4lf,%dM\r\n", s.radiusNm * style.unitFactor, start, end,
                           arcPen);
            lastArc = &s;
        } else if (i == 0) {
            out += At(s.point) + "-2";
            if (style.fill)
                out += FormatC(style.borderColour != 0 ? ",99,%d,%d,%d\r\n" : ",-99,%d,%d,%d\r\n",
                               fill.red, fill.green, fill.blue);
            else
                out += "\r\n";
        } else {
            out += At(s.point) + FormatC("%d,%d\r\n", vertex, pen);
        }
    }
    if (segments.back().kind == AirspaceSegment::Kind::kArc)
        out += At(first) + FormatC("%d,%d\r\n", vertex, pen);
    out += At(lastArc != nullptr ? lastArc->point : first) + "-2\r\n";
}

}  // namespace tandrel
