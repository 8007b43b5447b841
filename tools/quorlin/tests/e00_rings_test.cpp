// Rings from arcs: chaining by node numbers, the ring tree, ring values,
// the lon/lat line preparation and the filled polygons written from a tree.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/quorlin/e00_rings.h"

namespace quorlin {
namespace {

CE00Polyline Arc(int from, int to, int left, int right, std::vector<std::pair<double, double>> points,
                 float value = 0.0f, int type = 1) {
    CE00Polyline arc;
    arc.fromNode = from, arc.toNode = to, arc.leftPolygon = left, arc.rightPolygon = right;
    arc.value = value, arc.lineType = type;
    for (const auto& [x, y] : points) arc.AddPoint(x, y);
    arc.UpdateBounds();
    arc.UpdateClosed();
    return arc;
}

std::vector<double> Xs(const CE00Polyline& line) {
    std::vector<double> xs;
    for (const auto& p : line.points) xs.push_back(p.x);
    return xs;
}

TEST(E00Rings, ChainArcByNodesWithoutDoublingTheSharedPoint) {
    const CE00Polyline first = Arc(1, 2, 5, 0, {{0, 0}, {1, 0}});
    const struct {
        CE00Polyline arc;
        std::vector<double> x;
        int start, end;
    } cases[] = {
        {Arc(1, 3, 5, 0, {{0, 0}, {-1, 0}}), {-1, 0, 1}, 3, 2},  // ring start = arc from
        {Arc(2, 3, 5, 0, {{1, 0}, {2, 0}}), {0, 1, 2}, 1, 3},    // ring end = arc from
        {Arc(3, 1, 5, 0, {{-1, 0}, {0, 0}}), {-1, 0, 1}, 3, 2},  // ring start = arc to
        {Arc(3, 2, 5, 0, {{2, 0}, {1, 0}}), {0, 1, 2}, 1, 3},    // ring end = arc to
    };
    for (const auto& c : cases) {
        E00Ring ring;
        ASSERT_TRUE(ChainArc(ring, first, false));
        ASSERT_TRUE(ChainArc(ring, c.arc, true));
        EXPECT_EQ(Xs(ring.line), c.x);
        EXPECT_EQ(ring.startNode, c.start);
        EXPECT_EQ(ring.endNode, c.end);
    }
    E00Ring ring;
    ChainArc(ring, first, false);
    EXPECT_FALSE(ChainArc(ring, Arc(7, 8, 5, 0, {{3, 3}, {4, 4}}), true));
    EXPECT_FALSE(ChainArc(ring, Arc(2, 8, 5, 0, {{1, 0}}), true));  // one point
}

TEST(E00Rings, ThreeArcsOfOnePolygonMakeOneRingThatEndsOpen) {
    E00Options options;
    // Arcs 1 and 3 run between nodes 1 and 2; arc 2 leaves node 2 for node 3.
    std::vector<CE00Polyline> arcs{Arc(1, 2, 5, 1, {{0, 0}, {1, 0}, {1, 1}}, 100),
                                   Arc(2, 3, 5, 1, {{1, 1}, {2, 2}}, 300),
                                   Arc(2, 1, 5, 1, {{1, 1}, {0, 1}, {0, 0}}, 200)};
    EXPECT_EQ(ListPolygonNumbers(arcs, options.bndPoly), std::vector<int>{5});
    RingList rings;
    std::vector<int> remaining{5};
    RingAssembly assembly(arcs, options);
    EXPECT_EQ(assembly.BuildRingNode(rings, remaining, 5, nullptr, nullptr), 1);
    ASSERT_EQ(rings.size(), 1u);
    EXPECT_TRUE(remaining.empty());
    const E00Ring& ring = *rings[0]->outline;
    EXPECT_EQ(ring.line.points.size(), 6u);
    EXPECT_FALSE(ring.line.closed);
    EXPECT_TRUE(ring.boundary);  // polygon 1 lies outside
    EXPECT_EQ(Xs(ring.line), (std::vector<double>{1, 0, 0, 1, 1, 2}));
    EXPECT_EQ(ring.boundingValues, (std::vector<float>{100, 300, 200}));
    ComputeRingValues(*rings[0]);
    EXPECT_FLOAT_EQ(rings[0]->value, (100 + 200 + 300) * 0.33333334f);
}

TEST(E00Rings, RingValuesByTheNumberOfBoundingValues) {
    const struct {
        std::vector<float> values;
        float outlineValue;
        bool boundary;
        float expected;
    } cases[] = {
        {{1500}, 1500, false, 1500}, {{800}, 800, true, 0},     {{1500}, 1500, true, 500},
        {{2000, 1000}, 2000, false, 1000}, {{1000, 2000, 3000}, 1000, false, 6000 * 0.33333334f},
        {{1000, 2000, 3000, 6000}, 0, false, 3000},
    };
    for (const auto& c : cases) {
        E00RingNode node;
        node.outline = std::make_unique<E00Ring>();
        node.outline->boundingValues = c.values;
        node.outline->line.value = c.outlineValue;
        node.outline->boundary = c.boundary;
        ComputeRingValues(node);
        EXPECT_FLOAT_EQ(node.value, c.expected);
    }
}

TEST(E00Rings, ALonLatLineWithoutValueMergesThePolygonsItSeparates) {
    E00Options options;  // lon/lat type 9, boundary polygon 1
    std::vector<CE00Polyline> arcs{Arc(1, 2, 3, 4, {{0, 0}, {0, 1}}, 0, 9), Arc(1, 5, 3, 7, {{0, 0}, {-1, 0}}),
                                   Arc(1, 6, 4, 7, {{0, 0}, {1, 0}}),       Arc(2, 8, 3, 7, {{0, 1}, {-1, 1}}),
                                   Arc(2, 9, 4, 7, {{0, 1}, {1, 1}}),       Arc(10, 11, 1, 4, {{5, 5}, {6, 6}}, 0, 9)};
    PrepareE00Arcs(arcs, options);
    ASSERT_EQ(arcs.size(), 5u);  // the inner lon/lat line is left out
    for (const CE00Polyline& arc : arcs) {
        EXPECT_NE(arc.leftPolygon, 4);
        EXPECT_NE(arc.rightPolygon, 4);
    }
    EXPECT_EQ(arcs.back().lineType, options.bndPolyType);  // on the boundary: kept with the boundary type
    EXPECT_EQ(arcs.back().leftPolygon, 1);
    EXPECT_EQ(arcs.back().rightPolygon, 3);
}

TEST(E00Rings, NestingAndFillCodes) {
    // Two nested squares; the inner one is nested under the outer.
    const auto node = [](double a, double b, float value) {
        auto n = std::make_unique<E00RingNode>();
        n->outline = std::make_unique<E00Ring>();
        n->outline->line = Arc(1, 1, 2, 3, {{a, a}, {a, b}, {b, b}, {b, a}, {a, a}}, value);
        n->outline->boundingValues = {value};
        n->value = value;
        return n;
    };
    RingList rings;
    rings.push_back(node(2, 3, 2000));
    rings.push_back(node(0, 5, 1000));
    SortRings(rings);
    ASSERT_EQ(rings.size(), 1u);
    ASSERT_EQ(rings[0]->children.size(), 1u);
    EXPECT_EQ(rings[0]->children[0]->parent, rings[0].get());

    const ColourTable colours = DefaultColourTable();
    const FillStyle style{&colours, &kDefaultThresholds, 0.5f, 1.0f};
    const core::GeoBox all{-10, -10, 10, 10};
    std::string out;
    rings[0]->outline->line.value = 1999.7f;
    WriteE00Fill(*rings[0], out, 3, 999, all, false, false, style);
    EXPECT_NE(out.find(",0,0,-2,1999,0,0,0\r\n"), std::string::npos) << out;
    out.clear();
    WriteE00Fill(*rings[0], out, 3, -999, all, false, false, style);
    EXPECT_NE(out.find(",0,0,-2,-1999,0,0,0\r\n"), std::string::npos) << out;
    out.clear();
    WriteE00Fill(*rings[0], out, -4, 0x030201, all, false, true, style);
    EXPECT_NE(out.find(",0,0,-2,-17,1,2,3\r\n"), std::string::npos) << out;
    // Wholly outside: nothing of the ring nor, pruned, of its children.
    out.clear();
    EXPECT_FALSE(WriteE00Fill(*rings[0], out, 3, -17, {20, 20, 30, 30}, false, false, style));
    EXPECT_TRUE(out.empty());
    rings[0]->prune = false;
    rings[0]->children[0]->prune = false;
    WriteE00Fill(*rings[0], out, 3, -17, {2.5, 2.5, 30, 30}, false, false, style);
    EXPECT_NE(out.find("-2,-17,"), std::string::npos);  // the child, cut
}

}  // namespace
}  // namespace quorlin
