#include "tools/quorlin/e00_rings.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>

#include "platform/numbers.h"

namespace quorlin {
namespace {

constexpr double kRingWholeRun = 1000.0;
constexpr float kRingKmToDegrees = 0.009208104f;
constexpr float kMetresPerThousandFeet = 304.7851257324219f;

bool Faces(const CE00Polyline& arc, int polygon) { return arc.leftPolygon == polygon || arc.rightPolygon == polygon; }

bool UnusedSideFacing(const CE00Polyline& arc, int polygon) {
    return (arc.leftPolygon == polygon && !arc.leftUsed) || (arc.rightPolygon == polygon && !arc.rightUsed);
}

void MarkSidesFacing(CE00Polyline& arc, int polygon) {
    if (arc.leftPolygon == polygon) arc.leftUsed = true;
    if (arc.rightPolygon == polygon) arc.rightUsed = true;
}

int OtherPolygon(const CE00Polyline& arc, int polygon) {
    if (arc.leftPolygon == polygon && arc.rightPolygon == polygon) return polygon;
    return arc.leftPolygon == polygon ? arc.rightPolygon : arc.leftPolygon;
}

void Replace(int& polygon, int from, int to) {
    if (polygon == from) polygon = to;
}

}  // namespace

void E00Ring::AddValue(float value) {
    if (std::find(boundingValues.begin(), boundingValues.end(), value) == boundingValues.end()) {
        boundingValues.push_back(value);
    }
}

void E00Ring::AddNeighbour(int polygon) {
    if (std::find(neighbours.begin(), neighbours.end(), polygon) == neighbours.end()) neighbours.push_back(polygon);
}

bool ChainArc(E00Ring& ring, const CE00Polyline& arc, bool continuing) {
    auto& p = ring.line.points;
    const auto& a = arc.points;
    if (ring.startNode == -1 && ring.endNode == -1) {
        ring.line.value = arc.value;
        ring.line.leftPolygon = arc.leftPolygon, ring.line.rightPolygon = arc.rightPolygon;
        ring.line.coverageId = arc.coverageId, ring.line.coverageNumber = arc.coverageNumber;
        ring.line.lineType = arc.lineType;
        p.insert(p.end(), a.begin(), a.end());
        ring.startNode = arc.fromNode, ring.endNode = arc.toNode;
        return true;
    }
    if (ring.startNode != arc.fromNode && ring.startNode != arc.toNode && ring.endNode != arc.fromNode &&
        ring.endNode != arc.toNode) {
        return false;
    }
    if (continuing && a.size() < 2) return false;
    const std::ptrdiff_t skip = continuing ? 1 : 0;
    if (ring.startNode == arc.fromNode) {
        p.insert(p.begin(), a.rbegin(), a.rend() - skip);
        ring.startNode = arc.toNode;
    } else if (ring.endNode == arc.fromNode) {
        p.insert(p.end(), a.begin() + skip, a.end());
        ring.endNode = arc.toNode;
    } else if (ring.startNode == arc.toNode) {
        p.insert(p.begin(), a.begin(), a.end() - skip);
        ring.startNode = arc.fromNode;
    } else {
        p.insert(p.end(), a.rbegin() + skip, a.rend());
        ring.endNode = arc.fromNode;
    }
    return true;
}

std::vector<int> ListPolygonNumbers(const std::vector<CE00Polyline>& arcs, int boundaryPolygon) {
    std::vector<int> numbers;
    std::unordered_map<int, bool> seen;
    for (const CE00Polyline& arc : arcs) {
        for (const int polygon : {arc.leftPolygon, arc.rightPolygon}) {
            if (polygon == boundaryPolygon || !seen.emplace(polygon, true).second) continue;
            numbers.push_back(polygon);
        }
    }
    return numbers;
}

void PrepareE00Arcs(std::vector<CE00Polyline>& arcs, const E00Options& o) {
    std::vector<CE00Polyline> aside;
    std::vector<CE00Polyline> kept;
    kept.reserve(arcs.size());
    for (CE00Polyline& arc : arcs) {
        if (arc.lineType != o.lonLatLineType) {
            kept.push_back(std::move(arc));
        } else if (arc.leftPolygon == o.bndPoly || arc.rightPolygon == o.bndPoly) {
            arc.lineType = o.bndPolyType;
            arc.value = o.bndVal;
            kept.push_back(std::move(arc));
        } else {
            aside.push_back(std::move(arc));
        }
    }
    arcs = std::move(kept);
    for (bool changed = true; changed;) {
        changed = false;
        for (std::size_t i = 0; i < aside.size();) {
            const CE00Polyline& s = aside[i];
            int c1 = 0, c2 = 0;
            float v1 = 0.0f, v2 = 0.0f;
            for (const CE00Polyline& arc : arcs) {
                if (arc.fromNode == s.fromNode || arc.toNode == s.fromNode) ++c1, v1 = arc.value;
                if (arc.fromNode == s.toNode || arc.toNode == s.toNode) ++c2, v2 = arc.value;
                if (c1 >= 2 && c2 >= 2) break;
            }
            float value = 0.0f;
            if (c2 == 1 && c1 >= 1) {
                value = v2;
            } else if (c1 == 1 && c2 >= 2) {
                value = v1;
            } else {
                ++i;
                continue;
            }
            CE00Polyline valued = std::move(aside[i]);
            aside.erase(aside.begin() + static_cast<std::ptrdiff_t>(i));
            valued.value = value;
            valued.lineType = -9;
            arcs.insert(arcs.begin(), std::move(valued));
            changed = true;
        }
    }
    while (!aside.empty()) {
        const int a = aside.front().leftPolygon, b = aside.front().rightPolygon;
        std::vector<CE00Polyline> still;
        for (std::size_t i = 0; i < aside.size(); ++i) {
            CE00Polyline& arc = aside[i];
            Replace(arc.leftPolygon, b, a);
            Replace(arc.rightPolygon, b, a);
            if (i != 0 && arc.leftPolygon != arc.rightPolygon) still.push_back(std::move(arc));
        }
        aside = std::move(still);
        for (CE00Polyline& arc : arcs) {
            Replace(arc.leftPolygon, b, a);
            Replace(arc.rightPolygon, b, a);
        }
    }
}

RingAssembly::RingAssembly(std::vector<CE00Polyline>& arcs, const E00Options& options)
    : arcs_(arcs), options_(options) {
    for (std::size_t i = 0; i < arcs_.size(); ++i) {
        const CE00Polyline& arc = arcs_[i];
        for (const int polygon : {arc.leftPolygon, arc.rightPolygon}) {
            auto& list = byPolygon_[polygon];
            if (list.empty() || list.back() != i) list.push_back(i);
        }
    }
}

std::vector<std::size_t> RingAssembly::Collect(int polygon, int parentPolygon) const {
    std::vector<std::size_t> collected;
    const auto at = byPolygon_.find(polygon);
    if (at == byPolygon_.end()) return collected;
    for (const std::size_t i : at->second) {
        if (parentPolygon < 0 || OtherPolygon(arcs_[i], polygon) != parentPolygon) collected.push_back(i);
    }
    return collected;
}

int RingAssembly::BuildRingNode(RingList& receiving, std::vector<int>& remaining, int polygon, E00RingNode* parent,
                                std::unique_ptr<E00Ring> outline) {
    auto node = std::make_unique<E00RingNode>();
    node->id = polygon;
    node->parent = parent;
    node->outline = std::move(outline);
    const auto collected = Collect(polygon, parent ? parent->id : -1);
    std::erase(remaining, polygon);
    const auto keepEmpty = [&]() {
        if (!parent) return 0;
        receiving.push_back(std::move(node));
        return 1;
    };
    if (collected.empty()) return keepEmpty();
    const auto takeSides = [&](E00Ring& ring, CE00Polyline& arc) {
        MarkSidesFacing(arc, polygon);
        const int other = OtherPolygon(arc, polygon);
        if (other == options_.bndPoly) ring.boundary = true;
        else ring.AddNeighbour(other);
    };
    std::vector<std::unique_ptr<E00Ring>> rings;
    for (;;) {
        const auto start = std::find_if(collected.begin(), collected.end(), [&](std::size_t i) {
            const CE00Polyline& arc = arcs_[i];
            return arc.lineType != options_.bndPolyType && arc.lineType != options_.lonLatLineType &&
                   arc.lineType != -9 && UnusedSideFacing(arc, polygon);
        });
        if (start == collected.end()) break;
        auto ring = std::make_unique<E00Ring>();
        CE00Polyline& first = arcs_[*start];
        ChainArc(*ring, first, false);
        ring->AddValue(first.value);
        takeSides(*ring, first);
        for (bool attached = true; attached;) {
            attached = false;
            for (const std::size_t i : collected) {
                CE00Polyline& arc = arcs_[i];
                if (!UnusedSideFacing(arc, polygon) || !ChainArc(*ring, arc, true)) continue;
                if (arc.lineType != options_.bndPolyType && arc.lineType != options_.lonLatLineType) {
                    ring->AddValue(arc.value);
                }
                takeSides(*ring, arc);
                attached = true;
            }
        }
        if (ring->line.points.size() < 2) continue;
        ring->line.UpdateBounds();
        ring->line.UpdateClosed();
        rings.push_back(std::move(ring));
    }
    if (rings.empty()) return keepEmpty();
    E00RingNode* self = node.get();
    receiving.push_back(std::move(node));
    if (!parent) {
        const bool single = rings.size() == 1;
        std::size_t chosen = 0;
        for (std::size_t i = 1; i < rings.size(); ++i) {
            if (rings[i]->line.Contains(rings[chosen]->line) > 0) chosen = i;
        }
        self->outline = std::move(rings[chosen]);
        rings.erase(rings.begin() + static_cast<std::ptrdiff_t>(chosen));
        if (single) return 1;
    }
    int result = static_cast<int>(rings.size()) + (parent ? 0 : 1);
    for (auto& ring : rings) {
        const int other = ring->line.leftPolygon == polygon ? ring->line.rightPolygon : ring->line.leftPolygon;
        if (other == options_.bndPoly) continue;
        std::erase(remaining, other);
        result += BuildRingNode(self->children, remaining, other, self, std::move(ring));
    }
    return result;
}

int BuildLakeRingNodes(std::vector<CE00Polyline>& arcs, RingList& receiving, std::vector<PolygonRecord>& remaining,
                       const PolygonRecord& record, E00RingNode* parent, int kindA, int kindB) {
    const int p = record.polygon;
    std::vector<PolygonRecord> neighbours;
    const auto isNeighbour = [&](int polygon) {
        return std::any_of(neighbours.begin(), neighbours.end(), [&](const PolygonRecord& r) { return r.polygon == polygon; });
    };
    for (CE00Polyline& arc : arcs) {
        if (!Faces(arc, p) || arc.leftPolygon == arc.rightPolygon) continue;
        const int q = OtherPolygon(arc, p);
        (arc.leftPolygon == p ? arc.leftUsed : arc.rightUsed) = true;
        (arc.leftPolygon == q ? arc.leftUsed : arc.rightUsed) = false;
        const auto at = std::find_if(remaining.begin(), remaining.end(), [&](const PolygonRecord& r) { return r.polygon == q; });
        if (at != remaining.end() && !isNeighbour(q)) {
            neighbours.push_back(*at);
            remaining.erase(at);
        }
    }
    for (CE00Polyline& arc : arcs) {
        if (arc.leftPolygon != arc.rightPolygon && isNeighbour(arc.leftPolygon) && isNeighbour(arc.rightPolygon)) {
            arc.leftUsed = arc.rightUsed = false;
        }
    }
    int result = 0;
    for (const PolygonRecord& q : neighbours) {
        const bool hidden = q.kind == 0 || ((record.kind == kindA || record.kind == 0) && q.kind == kindB) ||
                            ((record.kind == kindB || record.kind == 0) && q.kind == kindA);
        const auto start = std::find_if(arcs.begin(), arcs.end(), [&](const CE00Polyline& arc) {
            return Faces(arc, p) && Faces(arc, q.polygon) && OtherPolygon(arc, p) == q.polygon && arc.points.size() > 1;
        });
        if (start == arcs.end()) continue;
        auto node = std::make_unique<E00RingNode>();
        node->id = q.polygon, node->kind = q.kind, node->parent = parent;
        node->hidden = hidden, node->prune = false;
        node->outline = std::make_unique<E00Ring>();
        ChainArc(*node->outline, *start, false);
        arcs.erase(start);
        for (bool attached = true; attached;) {
            attached = false;
            for (std::size_t i = 0; i < arcs.size();) {
                CE00Polyline& arc = arcs[i];
                if (UnusedSideFacing(arc, q.polygon) && ChainArc(*node->outline, arc, true)) {
                    MarkSidesFacing(arc, q.polygon);
                    attached = true;
                    if (arc.leftUsed && arc.rightUsed) {
                        arcs.erase(arcs.begin() + static_cast<std::ptrdiff_t>(i));
                        continue;
                    }
                }
                ++i;
            }
        }
        CE00Polyline& line = node->outline->line;
        line.UpdateBounds();
        line.UpdateClosed();
        if (!line.closed) line.Close();
        E00RingNode* self = node.get();
        receiving.push_back(std::move(node));
        result += BuildLakeRingNodes(arcs, self->children, remaining, q, self, kindB, kindB) + 1;
    }
    return result;
}

void ComputeRingValues(E00RingNode& node) {
    if (node.outline) {
        const auto& v = node.outline->boundingValues;
        if (v.size() == 1) {
            node.value = std::max(node.outline->line.value - (node.outline->boundary ? 1000.0f : 0.0f), 0.0f);
        } else if (v.size() == 2) {
            node.value = std::min(v[0], v[1]);
        } else if (v.size() == 3) {
            node.value = (v[0] + v[1] + v[2]) * 0.33333334f;
        } else if (v.size() > 3) {
            float sum = 0.0f;
            for (const float x : v) sum += x;
            node.value = sum / static_cast<float>(v.size());
        }
    }
    for (auto& child : node.children) ComputeRingValues(*child);
}

namespace {

// The box tests of Contains, done first and inline: most pairs of a large
// layer fail them, and only a strictly smaller inner box can give -1.
bool MayContain(const core::GeoBox& o, const core::GeoBox& i) {
    if (o.east < i.west || i.east < o.west || o.north < i.south || i.north < o.south) return false;
    const double wo = o.east - o.west, ho = o.north - o.south, wi = i.east - i.west, hi = i.north - i.south;
    return wi <= wo && hi <= ho && !(wo <= wi && ho <= hi);
}

bool Contains(const E00RingNode& outer, const E00RingNode& inner) {
    return outer.outline && inner.outline && MayContain(outer.outline->line.bounds, inner.outline->line.bounds) &&
           inner.outline->line.Contains(outer.outline->line) == -1;
}

}  // namespace

void SortRings(RingList& rings, const std::function<void(long, int)>& progress) {
    // The boxes side by side, so that the scan over all pairs stays in cache.
    std::vector<core::GeoBox> boxes;
    std::vector<char> outlined;
    for (const auto& ring : rings) {
        boxes.push_back(ring->outline ? ring->outline->line.bounds : core::GeoBox{});
        outlined.push_back(ring->outline ? 1 : 0);
    }
    long count = 0;
    for (std::size_t r = 0; r < rings.size();) {
        if (progress) progress(++count, rings[r]->id);
        E00RingNode* found = nullptr;
        if (outlined[r]) {
            for (std::size_t x = 0; x < rings.size() && !found; ++x) {
                if (x != r && outlined[x] && MayContain(boxes[x], boxes[r]) && Contains(*rings[x], *rings[r])) {
                    found = rings[x].get();
                }
            }
        }
        if (!found) {
            ++r;
            continue;
        }
        for (bool deeper = true; deeper;) {
            deeper = false;
            for (const auto& child : found->children) {
                if (Contains(*child, *rings[r])) {
                    found = child.get();
                    deeper = true;
                    break;
                }
            }
        }
        rings[r]->parent = found;
        found->children.push_back(std::move(rings[r]));
        rings.erase(rings.begin() + static_cast<std::ptrdiff_t>(r));
        boxes.erase(boxes.begin() + static_cast<std::ptrdiff_t>(r));
        outlined.erase(outlined.begin() + static_cast<std::ptrdiff_t>(r));
    }
}

bool WriteE00Fill(const E00RingNode& node, std::string& out, int pen, int fillColour, const core::GeoBox& bounds,
                  bool simplify, bool outlineFlag, const FillStyle& style) {
    const float thousands = std::floor(node.value * 0.001f);
    const auto band = [&](float t) {
        return std::clamp(ElevationToColorIndex(t * kMetresPerThousandFeet, *style.thresholds), 0, 255);
    };
    const int fillBand = band(thousands);
    const E00Ring* ring = node.outline.get();
    const int outlineBand =
        fillColour != 0 && ring && ring->boundingValues.size() == 1 && ring->boundary ? band(thousands + 1.0f) : -1;
    bool written = false;
    if (!node.hidden && ring) {
        CE00Polyline outline = ring->line;
        if (outline.orientation == 0) outline.UpdateOrientation();
        std::vector<CE00Polyline> pieces;
        outline.Clip(bounds, true, 0.0, pieces);
        if (pieces.empty() && node.prune) return false;
        written = !pieces.empty();
        const float outlineValue = ring->line.value;
        for (CE00Polyline& piece : pieces) {
            CE00Polyline simple;
            if (simplify &&
                piece.Simplify(style.toleranceKm * kRingKmToDegrees, style.xScale, 0.0f, simple)) {
                simple.UpdateBounds();
                simple.closed = piece.closed;
                piece = std::move(simple);
            }
            if (outlineBand >= 0) {
                const Bgr c = (*style.colours)[static_cast<std::size_t>(outlineBand)];
                out += platform::FormatC(";E00-bd %.0f, %d,%d,%d\r\n", static_cast<double>(outlineValue), c.red, c.green,
                                         c.blue);
            }
            const int penCode = node.penFlag ? 17 : 88;
            if (fillColour == 0) {
                piece.WriteMapPolyline(out, pen, 0, 0, 0, 0, false, kRingWholeRun);
                continue;
            }
            const int red = fillColour & 255, green = (fillColour >> 8) & 255, blue = (fillColour >> 16) & 255;
            if (!piece.closed) out += platform::FormatC(";E00-fill not closed, %d,%d,%d\r\n", red, green, blue);
            if (outlineFlag) {
                const int code = pen < 0 ? -penCode : penCode;
                piece.WriteMapPolyline(out, std::abs(pen), code, red, green, blue, false,
                                       kRingWholeRun);
            } else if (fillColour == 999 || fillColour == -999) {
                const int code = static_cast<int>(outlineValue);
                piece.WriteMapPolyline(out, pen, fillColour == 999 ? code : -code, 0, 0, 0, false,
                                       kRingWholeRun);
            } else {
                const Bgr c = (*style.colours)[static_cast<std::size_t>(fillBand)];
                piece.WriteMapPolyline(out, pen, -penCode, c.red, c.green, c.blue, false,
                                       kRingWholeRun);
            }
        }
    }
    for (const auto& child : node.children) WriteE00Fill(*child, out, pen, fillColour, bounds, simplify, outlineFlag, style);
    return written;
}

}  // namespace quorlin
