#pragma once
// The map objects one shape becomes: a symbol or label at a point (point
// files) or a poly object of lines or rings (line, polygon and multipoint
// files), and the text map records each writes. Vertices are single-precision
// degrees, east-positive longitude; records are written latitude first and
// minus the longitude, as the flight computer's map reader expects.
// Plain values; the window draws them (gui/map_object_draw.h).

#include <cstdint>
#include <string>
#include <vector>

#include "tools/brisvel/geo_bounds.h"

namespace brisvel {

class CMapObject {
  public:
    enum class Kind { kSymbol = 1, kPoly = 4 };

    virtual ~CMapObject() = default;
    virtual Kind GetKind() const = 0;
    // Appends the object's records (CR LF line ends).
    virtual void WriteMap(std::string& out) const = 0;

    core::GeoBox box;
    std::string name;   // the attribute text, as the table's bytes
    std::string group;  // set when the object is added

  protected:
    CMapObject() = default;
    CMapObject(const CMapObject&) = default;
    CMapObject& operator=(const CMapObject&) = default;
};

// A label (symbol -5), a built-in or user symbol, or symbol 100.
class CSymbolObject final : public CMapObject {
  public:
    static constexpr int kLabel = -5;
    static constexpr int kDefaultSymbol = 100;

    Kind GetKind() const override { return Kind::kSymbol; }
    // "lat,0,0,-lon,0,0,<symbol>,[\][^<feet>^]<name>", then the note line.
    // A label carries its note as further label lines instead ("name\note"),
    // since the reader takes a note line only after a symbol.
    void WriteMap(std::string& out) const override;

    int symbol = kDefaultSymbol;
    float lon = 0.0F;
    float lat = 0.0F;
    bool hasElevation = false;
    float elevation = 0.0F;  // metres
    std::string note;        // lines separated by '\'
};

struct Vertex {
    float lon = 0.0F;
    float lat = 0.0F;
};

inline constexpr std::uint8_t kOuterRing = 0xFF;
inline constexpr std::uint8_t kHole = 1;

// A polyline, a set of rings, or a multipoint's points as one line.
class CPolyObject final : public CMapObject {
  public:
    explicit CPolyObject(bool polygon) : polygon_(polygon) {}

    Kind GetKind() const override { return Kind::kPoly; }
    void WriteMap(std::string& out) const override;

    // Makes room for the shape; false (and nothing made) for parts < 0,
    // points < 1, a polygon under 4 points, a line under 2 points (not a
    // multipoint), storage made already, or no memory.
    [[nodiscard]] bool AllocateParts(int parts, int points, bool isMultipoint);
    // Appends a vertex; one that starts a part opens a new part unless it is
    // the first vertex. False when the room made is used up.
    [[nodiscard]] bool AddVertex(float lon, float lat, bool startsPart);
    // Sets each part's ring flag from its turning direction (polygons only):
    // clockwise rings are outer rings, the others holes.
    void ComputeRingOrientations();

    bool IsPolygon() const { return polygon_; }
    bool IsFilled() const { return polygon_ && noFill == false; }
    int PartCount() const { return static_cast<int>(partStarts_.size()); }
    int VertexCount() const { return static_cast<int>(vertices_.size()); }
    // The vertices of part `i`: [PartBegin(i), PartEnd(i)).
    int PartBegin(int i) const { return partStarts_[static_cast<std::size_t>(i)]; }
    int PartEnd(int i) const;
    const std::vector<Vertex>& Vertices() const { return vertices_; }
    std::uint8_t RingFlag(int i) const { return ringFlags_[static_cast<std::size_t>(i)]; }

    int colourNumber = 1;               // 1..16 as written
    std::uint32_t colourValue = 0;      // 0x00BBGGRR of the palette entry
    int lineWidth = 1;                  // 1, or 3 for wide lines
    bool noFill = false;

  private:
    bool polygon_;
    bool allocated_ = false;
    std::size_t partCapacity_ = 0;
    std::size_t vertexCapacity_ = 0;
    std::vector<Vertex> vertices_;
    std::vector<int> partStarts_;
    std::vector<std::uint8_t> ringFlags_;
};

// The turning direction of one closed ring: kOuterRing for a clockwise ring
// (an outer ring in shapefile order), kHole otherwise. Edges shorter than
// about 3e-6 degrees are passed over; angles are taken in double precision
// with the cosine clamped, so collinear edges never make the sum undefined.
std::uint8_t RingOrientation(const Vertex* begin, const Vertex* end);

}  // namespace brisvel
