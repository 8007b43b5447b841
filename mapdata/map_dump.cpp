#include "mapdata/map_dump.h"

#include <cmath>
#include <numbers>

#include "mapdata/map_circle_element.h"
#include "mapdata/map_poly_element.h"
#include "mapdata/map_text_element.h"
#include "platform/numbers.h"
#include "platform/utf.h"

namespace mapdata {
namespace {

constexpr double kDeg = 180.0 / std::numbers::pi;

std::string Quoted(const std::wstring& text) {
    std::string out = "\"";
    for (const char c : platform::ToUtf8(text)) {
        if (c == '\r') {
            out += "\\r";
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

std::string Head(const CMapElement& e) {
    std::string out = platform::FormatC("flags=%02x serial=%d scale=%g,%g", e.flags, e.zoneSerial,
                                        static_cast<double>(e.scale1), static_cast<double>(e.scale2));
    if (e.lowerAltitude != 0.0F || e.upperAltitude != 0.0F || e.limitA != -1.0F ||
        e.limitB != -1.0F) {
        out += platform::FormatC(" alt=%g-%g ab=%g,%g", static_cast<double>(e.lowerAltitude),
                                 static_cast<double>(e.upperAltitude), static_cast<double>(e.limitA),
                                 static_cast<double>(e.limitB));
    }
    if (e.type27Mark != 0) out += " mark27";
    if (!e.name.empty()) out += " name=" + Quoted(e.name);
    if (!e.note.empty()) out += " note=" + Quoted(e.note);
    return out;
}

std::string LonLatText(const UnitVector& v) {
    const LonLat p = UnitVectorToLonLat(v);
    return platform::FormatC("%.5f,%.5f", p.lat * kDeg, p.lon * kDeg);
}

}  // namespace

std::string DumpElement(const CMapElement& element) {
    switch (element.Kind()) {
        case ElementKind::kText: {
            const auto& e = static_cast<const CMapTextElement&>(element);
            std::string out = platform::FormatC(
                "text code=%d at=%.6f,%.6f %s names=%g,%g", e.kindCode, e.latitude * kDeg,
                e.longitude * kDeg, Head(e).c_str(), static_cast<double>(e.scale3),
                static_cast<double>(e.scale4));
            if (e.elevationGiven) out += platform::FormatC(" elev=%g", static_cast<double>(e.elevation));
            out += " text=" + Quoted(e.text);
            if (e.noteGiven) out += " comment=" + Quoted(e.attachments.comment);
            return out + "\n";
        }
        case ElementKind::kCircle: {
            const auto& e = static_cast<const CMapCircleElement&>(element);
            return platform::FormatC(
                       "circle at=%s r=%.4fkm bearings=%.3f,%.3f %s pen=%d colour=%d/%06x fill=%d%s "
                       "%s",
                       LonLatText(e.centre).c_str(), static_cast<double>(e.radiusKm),
                       static_cast<double>(e.startBearing) * kDeg,
                       static_cast<double>(e.endBearing) * kDeg, e.counterClockwise ? "ccw" : "cw",
                       e.penNumber, e.colourNumber, e.colour, e.fillStyle,
                       e.sector ? " sector" : "", Head(e).c_str()) +
                   "\n";
        }
        case ElementKind::kPoly: {
            const auto& e = static_cast<const CMapPolyElement&>(element);
            std::string out = platform::FormatC(
                "poly points=%zu type=%d fill=%d/%06x%s %s\n", e.PointCount(), e.type, e.fillStyle,
                e.fillColour, e.outline ? "" : " no-outline", Head(e).c_str());
            for (const MapPoint& p : e.Points()) {
                out += platform::FormatC("  %s pen=%d kind=%u\n", LonLatText(p.Position()).c_str(),
                                         p.pen, p.kind);
            }
            return out;
        }
    }
    return {};
}

std::string DumpMapLists(const MapReadContext& context) {
    std::string out;
    const std::pair<const char*, const ElementList*> lists[] = {
        {"general", &context.general},     {"zones", &context.zones},
        {"symbols17", &context.symbols17}, {"symbols27", &context.symbols27},
        {"overlay", &context.overlay},
    };
    for (const auto& [name, list] : lists) {
        if (list->empty()) continue;
        out += platform::FormatC("[%s] %zu\n", name, list->size());
        for (const auto& element : *list) out += DumpElement(*element);
    }
    return out;
}

}  // namespace mapdata
