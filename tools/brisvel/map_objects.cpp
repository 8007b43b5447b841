#include "tools/brisvel/map_objects.h"

#include <algorithm>
#include <cmath>
#include <new>

#include "tools/brisvel/map_record_text.h"

namespace brisvel {
namespace {

constexpr double kFeetPerMetre = 3.2808;
constexpr double kShortestEdgeSquared = 1e-11;

// The note as its own raw line: LF becomes '\', CR a blank.
std::string NoteLine(std::string_view note) {
    std::string line;
    line.reserve(note.size());
    for (const char c : note) line += c == '\n' ? '\\' : c == '\r' ? ' ' : c;
    return line;
}

bool HasNote(std::string_view note) {
    return note.find_first_not_of(' ') != std::string_view::npos;
}

}  // namespace

void CSymbolObject::WriteMap(std::string& out) const {
    AppendPoint(out, lat, lon);
    AppendInt(out, symbol);
    out += ',';
    const bool withNote = HasNote(note);
    if (symbol == kLabel) {
        out += OneLine(name);
        if (withNote) out += '\\' + NoteLine(note);
        out += "\r\n";
        return;
    }
    if (withNote) out += '\\';
    if (hasElevation) {
        out += '^';
        AppendInt(out, static_cast<int>(elevation * kFeetPerMetre));
        out += '^';
    }
    const std::string text = OneLine(name);
    // A text that begins with '\' announces a note line: without one, the
    // next record would be taken for it.
    if (!withNote && !hasElevation && !text.empty() && text.front() == '\\') out += ' ';
    out += text;
    out += "\r\n";
    if (withNote) out += NoteLine(note) + "\r\n";
}

bool CPolyObject::AllocateParts(int parts, int points, bool isMultipoint) {
    if (parts < 0 || points < 1 || allocated_) return false;
    if (polygon_ && points < 4) return false;
    if (!isMultipoint && points < 2) return false;
    try {
        vertices_.reserve(static_cast<std::size_t>(points));
        partStarts_.reserve(static_cast<std::size_t>(parts));
        ringFlags_.reserve(static_cast<std::size_t>(parts));
    } catch (const std::bad_alloc&) {
        vertices_ = {};
        partStarts_ = {};
        ringFlags_ = {};
        return false;
    }
    vertexCapacity_ = static_cast<std::size_t>(points);
    partCapacity_ = static_cast<std::size_t>(parts);
    allocated_ = true;
    return true;
}

bool CPolyObject::AddVertex(float lon, float lat, bool startsPart) {
    if (vertices_.size() >= vertexCapacity_) return false;
    if (vertices_.empty() || startsPart) {
        if (partStarts_.size() >= partCapacity_) return false;
        partStarts_.push_back(static_cast<int>(vertices_.size()));
        ringFlags_.push_back(0);
    }
    vertices_.push_back({lon, lat});
    box.Extend(core::GeoPoint{lat, lon});
    return true;
}

int CPolyObject::PartEnd(int i) const {
    return i + 1 < PartCount() ? PartBegin(i + 1) : VertexCount();
}

void CPolyObject::ComputeRingOrientations() {
    if (!polygon_) return;
    for (int i = 0; i < PartCount(); ++i)
        ringFlags_[static_cast<std::size_t>(i)] =
            RingOrientation(vertices_.data() + PartBegin(i), vertices_.data() + PartEnd(i));
}

std::uint8_t RingOrientation(const Vertex* begin, const Vertex* end) {
    struct Direction {
        double x, y;
    };
    const auto turn = [](Direction p, Direction u) {
        const double angle = std::acos(std::clamp(p.x * u.x + p.y * u.y, -1.0, 1.0));
        return p.x * u.y - p.y * u.x < 0 ? -angle : angle;
    };
    double sum = 0.0;
    bool any = false;
    Direction first{}, previous{};
    for (const Vertex* v = begin + 1; v < end; ++v) {
        const double dx = static_cast<double>(v->lon) - (v - 1)->lon;
        const double dy = static_cast<double>(v->lat) - (v - 1)->lat;
        const double squared = dx * dx + dy * dy;
        if (squared < kShortestEdgeSquared) continue;
        const double length = std::sqrt(squared);
        const Direction u{dx / length, dy / length};
        if (any) {
            sum += turn(previous, u);
        } else {
            first = u;
            any = true;
        }
        previous = u;
    }
    if (any) sum += turn(previous, first);
    return sum < 0 ? kOuterRing : kHole;
}

void CPolyObject::WriteMap(std::string& out) const {
    if (PartCount() == 1 && VertexCount() == 1) {
        AppendPoint(out, vertices_[0].lat, vertices_[0].lon);
        AppendInt(out, colourNumber);
        out += ',';
        out += OneLine(name);
        out += "\r\n";
        return;
    }
    for (int part = 0; part < PartCount(); ++part) {
        const int begin = PartBegin(part);
        const int last = PartEnd(part) - 1;
        const Vertex& start = vertices_[static_cast<std::size_t>(begin)];
        AppendPoint(out, start.lat, start.lon);
        out += "-2";
        if (IsFilled()) {
            out += ',';
            AppendInt(out, RingFlag(part) == kOuterRing ? -colourNumber : -1);
        }
        out += "\r\n";
        for (int i = begin + 1; i <= last; ++i) {
            const Vertex& v = vertices_[static_cast<std::size_t>(i)];
            AppendPoint(out, v.lat, v.lon);
            AppendInt(out, -lineWidth);
            out += ',';
            AppendInt(out, colourNumber);
            out += "\r\n";
        }
        const Vertex& end = vertices_[static_cast<std::size_t>(last)];
        AppendPoint(out, end.lat, end.lon);
        out += "-2\r\n";
    }
}

}  // namespace brisvel
