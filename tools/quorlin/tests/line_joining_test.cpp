// Joining lines through the end index gives exactly what the plain
// pairwise scan gives: the same lines, points and order, on random layers
// whose ends meet often, with values, identifiers and closed lines mixed.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "tools/quorlin/chart_layers.h"
#include "tools/quorlin/tests/quorlin_test_support.h"

namespace quorlin {
namespace {

// Each line takes every later one it can join, the first in list order,
// until none joins.
void JoinByScanning(std::vector<CE00Polyline>& lines, bool matchId) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
        for (bool joined = true; joined;) {
            joined = false;
            for (std::size_t j = i + 1; j < lines.size(); ++j) {
                if (!lines[i].Join(lines[j], true, matchId)) continue;
                lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(j));
                joined = true;
                break;
            }
        }
    }
}

// Arcs between the points of a small lattice, with jitter inside and just
// beyond the end-match tolerance, so that many ends meet and many nearly do.
std::vector<CE00Polyline> RandomArcs(unsigned seed, int count) {
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> node(0, 5), pick(0, 9);
    std::uniform_real_distribution<double> jitter(-0.0045, 0.0045);
    const auto point = [&] { return E00Point{node(random) * 0.02 + jitter(random), node(random) * 0.02, 0}; };
    std::vector<CE00Polyline> arcs;
    for (int i = 0; i < count; ++i) {
        CE00Polyline arc;
        const E00Point a = point(), b = point();
        arc.AddPoint(a.x, a.y);
        arc.AddPoint((a.x + b.x) / 2 + 0.003, (a.y + b.y) / 2);
        if (pick(random) == 0) arc.AddPoint(a.x + 0.001, a.y);  // closed
        else arc.AddPoint(b.x, b.y);
        arc.value = static_cast<float>(100 * (pick(random) % 2));
        arc.coverageId = pick(random) % 3;
        arc.UpdateBounds();
        arc.UpdateClosed();
        arcs.push_back(std::move(arc));
    }
    arcs.push_back({});  // a line without points joins nothing
    return arcs;
}

TEST(LineJoiningTest, TheIndexedJoinMatchesThePairwiseScan) {
    testing::ScriptedUi ui;
    std::size_t joins = 0;
    for (unsigned seed = 1; seed <= 40; ++seed) {
        for (const bool matchId : {true, false}) {
            auto expected = RandomArcs(seed, 60);
            auto actual = expected;
            const std::size_t before = expected.size();
            JoinByScanning(expected, matchId);
            JoinLines(actual, matchId, ui);
            ASSERT_EQ(actual.size(), expected.size()) << seed;
            for (std::size_t i = 0; i < expected.size(); ++i) {
                ASSERT_EQ(actual[i].points, expected[i].points) << seed << " line " << i;
                ASSERT_EQ(actual[i].closed, expected[i].closed) << seed << " line " << i;
            }
            joins += before - expected.size();
        }
    }
    EXPECT_GT(joins, 400u);  // the layers do exercise joining
}

TEST(LineJoiningTest, ProgressCountsThePlacesOfTheLinesKept) {
    std::vector<CE00Polyline> lines(45);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const double x = static_cast<double>(i / 3) * 1.0;  // three arcs in a row join into one
        lines[i].AddPoint(x + static_cast<double>(i % 3) * 0.1, 0.0);
        lines[i].AddPoint(x + static_cast<double>(i % 3 + 1) * 0.1, 0.0);
    }
    testing::ScriptedUi ui;
    JoinLines(lines, false, ui);
    EXPECT_EQ(lines.size(), 15u);
    EXPECT_EQ(ui.progress, (std::vector<std::string>{"Joining Lines - 0"}));
    std::vector<CE00Polyline> apart(45);
    for (std::size_t i = 0; i < apart.size(); ++i) {
        apart[i].AddPoint(static_cast<double>(i), 5.0);
        apart[i].AddPoint(static_cast<double>(i), 5.5);
    }
    ui.progress.clear();
    JoinLines(apart, false, ui);
    EXPECT_EQ(ui.progress, (std::vector<std::string>{"Joining Lines - 0", "Joining Lines - 20", "Joining Lines - 40"}));
}

TEST(LineJoiningTest, FarAndUnreadableCoordinatesAreComparedSafely) {
    std::vector<CE00Polyline> lines(4);
    lines[0].AddPoint(1e300, 0.0), lines[0].AddPoint(2.0, 0.0);
    lines[1].AddPoint(1e300, 0.0), lines[1].AddPoint(3.0, 0.0);
    lines[2].AddPoint(std::nan(""), 0.0), lines[2].AddPoint(4.0, 0.0);
    lines[3].AddPoint(-1e300, std::numeric_limits<double>::infinity()), lines[3].AddPoint(5.0, 0.0);
    testing::ScriptedUi ui;
    JoinLines(lines, false, ui);
    ASSERT_EQ(lines.size(), 3u);  // only the two ends far out east meet
    EXPECT_EQ(lines[0].points.front().x, 3.0);
}

}  // namespace
}  // namespace quorlin
