#pragma once
// Rings of polygon layers built from their arcs: the preparation of
// longitude/latitude lines, chaining arcs by node numbers into rings, the
// ring tree of contour polygons, ring values, nesting, and writing a ring
// tree as filled text-map polygons clipped to a rectangle.
//
// Pure; one thread.

#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "tools/quorlin/e00_polyline.h"
#include "tools/quorlin/elevation_colors.h"
#include "tools/quorlin/quorlin_settings.h"

namespace quorlin {

// A ring while it is chained: its open ends (node numbers, -1 while empty),
// the distinct values of the arcs bounding it, the distinct polygons on
// their other side, and whether the chart's boundary polygon is one.
struct E00Ring {
    CE00Polyline line;
    int startNode = -1, endNode = -1;
    std::vector<float> boundingValues;
    std::vector<int> neighbours;
    bool boundary = false;
    void AddValue(float value);
    void AddNeighbour(int polygon);
};

struct E00RingNode {
    std::unique_ptr<E00Ring> outline;
    std::vector<std::unique_ptr<E00RingNode>> children;
    E00RingNode* parent = nullptr;
    float value = -1.0f;  // feet
    int id = -1;
    int kind = 0;
    bool penFlag = true;  // fill pen code 17, else 88
    bool hidden = false;  // only the children are written
    bool prune = true;    // nothing of the ring inside: its children are not written either
};
using RingList = std::vector<std::unique_ptr<E00RingNode>>;

// Attaches `arc` to `ring` where a ring end meets an arc node; the shared
// point is left out when continuing. An empty ring takes the arc whole.
bool ChainArc(E00Ring& ring, const CE00Polyline& arc, bool continuing);

// The distinct polygon numbers of the arcs, left before right, in the order
// met, without the boundary polygon.
std::vector<int> ListPolygonNumbers(const std::vector<CE00Polyline>& arcs, int boundaryPolygon);

// Longitude/latitude lines: those on the boundary polygon take the boundary
// type and value; the others take a neighbour's value when one end meets a
// single arc, or are left out and merge the two polygons they separate.
void PrepareE00Arcs(std::vector<CE00Polyline>& arcs, const E00Options& options);

// The ring tree builder over an arc list that it leaves unchanged except
// for the arcs' used marks.
class RingAssembly {
  public:
    RingAssembly(std::vector<CE00Polyline>& arcs, const E00Options& options);
    // Builds the node of `polygon` into `receiving` (see the driver); the
    // number of rings kept in it and below.
    int BuildRingNode(RingList& receiving, std::vector<int>& remaining, int polygon, E00RingNode* parent,
                      std::unique_ptr<E00Ring> outline);

  private:
    std::vector<CE00Polyline>& arcs_;
    const E00Options& options_;
    std::unordered_map<int, std::vector<std::size_t>> byPolygon_;  // arcs by polygon number, in list order
    std::vector<std::size_t> Collect(int polygon, int parentPolygon) const;
};

// A polygon's record for the lakes: its number and kind.
struct PolygonRecord {
    int polygon = 0;
    int kind = 0;
};

// The lake rings around `record`'s polygon, arcs taken out of the list as
// both their sides are used; the number of nodes made.
int BuildLakeRingNodes(std::vector<CE00Polyline>& arcs, RingList& receiving, std::vector<PolygonRecord>& remaining,
                       const PolygonRecord& record, E00RingNode* parent, int kindA, int kindB);

// Each node's value from its outline's bounding values, then its children's.
void ComputeRingValues(E00RingNode& node);

// Nests every node of the list into the first node whose outline contains
// it, as deep as the containing children go; the rest stay top level.
// `progress` hears each node's running count (from 1) and polygon number
// before the node is placed.
void SortRings(RingList& rings, const std::function<void(long, int)>& progress = {});

struct FillStyle {
    const ColourTable* colours = nullptr;
    const Thresholds* thresholds = nullptr;
    float toleranceKm = 0.5f;
    float xScale = 1.0f;
};

// Writes the ring, clipped to `bounds`, then its children: filled with the
// colour of its elevation band (fill colour other than 0, 999, -999), with
// minus or plus its value as fill code (-999, 999), with the fill colour
// and an outline (outline flag), or as a plain line (fill colour 0).
bool WriteE00Fill(const E00RingNode& node, std::string& out, int pen, int fillColour, const core::GeoBox& bounds,
                  bool simplify, bool outlineFlag, const FillStyle& style);

}  // namespace quorlin
