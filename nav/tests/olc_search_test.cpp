// The free-distance search: the memoised search against the plain
// exhaustive recursion (value and chosen points, ties included) on many
// small random trails for 1..8 legs, and against the plain dynamic
// programme on long random trails and real flights, where most pairs are
// skipped; the few-points rule, searches that grow point by point,
// abandoning, and the settings that give the leg count.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <fstream>
#include <numbers>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "core/settings_values.h"
#include "core/waypoint_course.h"
#include "nav/olc_search.h"
#include "nav/olc_settings.h"
#include "nav/tests/olc_plain_programme.h"
#include "platform/settings_store.h"

namespace nav {
namespace {

// The search as first written: exhaustive recursion, no memory of
// sub-results. Sums are formed as the memoised search forms them.
class PlainSearch {
  public:
    PlainSearch(const std::vector<WaypointRecord>& trail, const OlcWeights& weights, int legs)
        : p_(trail), w_(weights), legs_(legs) {}

    OlcSolution Run(const WaypointRecord& closing) const {
        const std::size_t n = p_.size();
        const auto legs = static_cast<std::size_t>(legs_);
        if (n == 0) return {};
        if (n <= legs) {
            OlcSolution all;
            for (std::size_t k = n; k >= 1; --k)
                all.value += W(k) * (k == n ? D(p_[n - 1], closing) : D(p_[k - 1], p_[k]));
            for (std::size_t i = 0; i < n; ++i)
                all.points.push_back(i);
            return all;
        }
        OlcSolution best = Straight(legs - 1);
        best.value = best.value + W(legs) * D(p_[legs - 1], closing);
        if (legs < 2) return best;
        for (std::size_t x = legs; x < n; ++x) {
            OlcSolution candidate = Legs(x, legs - 1);
            const double value = W(legs) * D(p_[x], closing) + candidate.value;
            if (value > best.value) {
                candidate.points.push_back(x);
                best = {value, std::move(candidate.points)};
            }
        }
        return best;
    }

  private:
    double W(std::size_t leg) const { return static_cast<double>(w_[leg - 1]); }
    static double D(const WaypointRecord& a, const WaypointRecord& b) {
        return static_cast<double>(CourseAndDistance(a, b));
    }

    // Points 0..count in order, count legs.
    OlcSolution Straight(std::size_t count) const {
        OlcSolution s{0.0, {0}};
        for (std::size_t leg = 1; leg <= count; ++leg) {
            s.value =
                leg == 1 ? W(1) * D(p_[0], p_[1]) : s.value + W(leg) * D(p_[leg - 1], p_[leg]);
            s.points.push_back(leg);
        }
        return s;
    }

    // The best k legs from the first point to point x; the points before x.
    OlcSolution Legs(std::size_t x, std::size_t k) const {
        if (k < 2) return {W(1) * D(p_[0], p_[x]), {0}};
        OlcSolution best = Straight(k - 1);
        best.value = best.value + W(k) * D(p_[k - 1], p_[x]);
        for (std::size_t y = k; y < x; ++y) {
            OlcSolution shorter = Legs(y, k - 1);
            const double value = W(k) * D(p_[y], p_[x]) + shorter.value;
            if (value > best.value) {
                shorter.points.push_back(y);
                best = {value, std::move(shorter.points)};
            }
        }
        return best;
    }

    const std::vector<WaypointRecord>& p_;
    OlcWeights w_;
    int legs_;
};

WaypointRecord AtWest(double latDeg, double lonWestDeg) {
    return WaypointRecord(latDeg, lonWestDeg, true);
}

// Points around 45 N in a box of about 100 km; coarse trails repeat points
// on a 3 x 3 grid, so equal sums (ties) are common.
std::vector<WaypointRecord> RandomTrail(std::mt19937& random, std::size_t n, bool coarse) {
    std::uniform_real_distribution<double> fine(0.0, 1.0);
    std::uniform_int_distribution<int> grid(0, 2);
    std::vector<WaypointRecord> trail;
    for (std::size_t i = 0; i < n; ++i) {
        const double a = coarse ? grid(random) * 0.5 : fine(random);
        const double b = coarse ? grid(random) * 0.5 : fine(random);
        trail.push_back(AtWest(45.0 + a, -6.0 - b));
    }
    return trail;
}

OlcWeights RandomWeights(std::mt19937& random, bool equal) {
    std::uniform_int_distribution<int> weight(0, 100);
    OlcWeights weights{};
    for (int& w : weights)
        w = equal ? 100 : weight(random);
    weights[0] = kFirstLegWeight;
    return weights;
}

void ExpectSameSolution(const OlcSolution& memoised, const OlcSolution& plain) {
    EXPECT_EQ(memoised.value, plain.value);  // the same sums in the same order: exact
    EXPECT_EQ(memoised.points, plain.points);
}

TEST(OlcSearch, EqualsThePlainRecursionOnRandomTrails) {
    std::mt19937 random(20240611);
    for (int legs = 1; legs <= kMaxOlcLegs; ++legs) {
        for (std::size_t n = 0; n <= 13; ++n) {
            for (int round = 0; round < 6; ++round) {
                const bool coarse = round % 2 == 1;
                const auto trail = RandomTrail(random, n, coarse);
                const OlcWeights weights = RandomWeights(random, round >= 4);
                const WaypointRecord closing = RandomTrail(random, 1, coarse).front();
                SCOPED_TRACE(::testing::Message()
                             << "legs " << legs << ", points " << n << ", round " << round);
                const auto memoised = OptimiseOlcDistance(trail, closing, weights, legs);
                ASSERT_TRUE(memoised.has_value());
                ExpectSameSolution(*memoised, PlainSearch(trail, weights, legs).Run(closing));
            }
        }
    }
}

TEST(OlcSearch, GrowingTrailAndMovingClosingPointGiveTheSameAsOneSearch) {
    std::mt19937 random(7);
    for (const int legs : {2, 5, 8}) {
        const auto trail = RandomTrail(random, 16, false);
        const OlcWeights weights = RandomWeights(random, false);
        OlcSearch search(weights, legs);
        for (std::size_t n = 0; n < trail.size(); ++n) {
            search.Append(std::span(trail).subspan(n, 1));
            for (int move = 0; move < 2; ++move) {
                const WaypointRecord closing = RandomTrail(random, 1, false).front();
                const std::vector<WaypointRecord> prefix(trail.begin(), trail.begin() + n + 1);
                SCOPED_TRACE(::testing::Message() << "legs " << legs << ", points " << n + 1);
                const auto solution = search.Solve(closing);
                ASSERT_TRUE(solution.has_value());
                ExpectSameSolution(*solution, PlainSearch(prefix, weights, legs).Run(closing));
            }
        }
    }
}

// The fixes of a flight recorder file: "B" records, hhmmss, ddmmmmm N/S,
// dddmmmmm E/W.
std::vector<WaypointRecord> Flight(const std::string& name) {
    std::ifstream file(KV_SOURCE_DIR "/../shared/testdata/igc/" + name);
    std::vector<WaypointRecord> fixes;
    for (std::string line; std::getline(file, line);) {
        if (line.size() < 24 || line[0] != 'B') continue;
        const double lat = std::stod(line.substr(7, 2)) + std::stod(line.substr(9, 5)) / 60000.0;
        const double lon = std::stod(line.substr(15, 3)) + std::stod(line.substr(18, 5)) / 60000.0;
        fixes.push_back(AtWest(line[14] == 'S' ? -lat : lat, line[23] == 'E' ? -lon : lon));
    }
    return fixes;
}

// The search at every leg count against the plain programme, once for the
// whole trail and once grown in uneven pieces with a search after each.
void ExpectSameAsThePlainProgramme(const std::vector<WaypointRecord>& trail,
                                   const OlcWeights& weights, const WaypointRecord& closing) {
    const PlainOlcProgramme plain(trail, weights, kMaxOlcLegs);
    for (int legs = 1; legs <= kMaxOlcLegs; ++legs) {
        SCOPED_TRACE(::testing::Message() << "legs " << legs << ", points " << trail.size());
        const auto whole = OptimiseOlcDistance(trail, closing, weights, legs);
        ASSERT_TRUE(whole.has_value());
        ExpectSameSolution(*whole, plain.Close(closing, legs));
    }
    OlcSearch grown(weights, 4);
    for (std::size_t n = 0; n < trail.size(); n += 1 + n / 3) {
        const std::size_t end = std::min(trail.size(), n + 1 + n / 3);
        grown.Append(std::span(trail).subspan(n, end - n));
        const std::vector<WaypointRecord> prefix(trail.begin(), trail.begin() + end);
        ExpectSameSolution(*grown.Solve(closing),
                           PlainOlcProgramme(prefix, weights, 4).Close(closing, 4));
    }
}

TEST(OlcSearch, EqualsThePlainProgrammeOnLongRandomTrails) {
    std::mt19937 random(26);
    for (int round = 0; round < 6; ++round) {
        const bool coarse = round % 2 == 1;  // many equal sums
        const auto trail = RandomTrail(random, 300 + 150 * round, coarse);
        SCOPED_TRACE(::testing::Message() << "round " << round);
        ExpectSameAsThePlainProgramme(trail, RandomWeights(random, round < 2),
                                      RandomTrail(random, 1, coarse).front());
    }
}

// Straight legs with a slight wobble and a few circles drifting between
// them: along a leg nearly every point gives about the same sum, so the
// bounds have to tell apart sums that differ by centimetres.
TEST(OlcSearch, EqualsThePlainProgrammeAlongNearlyStraightLegs) {
    std::vector<WaypointRecord> trail;
    double lat = 45.0;
    double lonWest = -6.0;
    const double headings[] = {60.0, 180.0, 300.0};
    for (int t = 0; t < 1200; ++t) {
        double heading = headings[t / 400] + 4.0 * std::sin(t * 0.13);
        double step = 0.004;
        if (t % 200 >= 170) {  // circling
            heading = 12.0 * t;
            step = 0.001;
        }
        const double radians = heading * std::numbers::pi / 180.0;
        lat += step * std::cos(radians);
        lonWest -= step * std::sin(radians) / std::cos(lat * std::numbers::pi / 180.0);
        trail.push_back(AtWest(lat, lonWest));
    }
    OlcWeights equal{};
    equal.fill(100);
    equal[0] = kFirstLegWeight;
    ExpectSameAsThePlainProgramme(trail, equal, trail.back());
    ExpectSameAsThePlainProgramme(trail, equal, trail[600]);
}

TEST(OlcSearch, EqualsThePlainProgrammeAndTheRecursionOnRealFlights) {
    std::mt19937 random(554);
    for (const char* name : {"0asljd01.igc", "18BF14K1.igc", "2010-08-20-XCS-AAA-08.igc",
                             "apf-bug554.igc"}) {
        SCOPED_TRACE(name);
        const auto flight = Flight(name);
        ASSERT_GT(flight.size(), 20U);
        for (const bool equal : {true, false}) {
            const OlcWeights weights = RandomWeights(random, equal);
            ExpectSameAsThePlainProgramme(flight, weights, flight.back());
            // A few fixes spread over the flight, against the recursion.
            std::vector<WaypointRecord> few;
            for (std::size_t i = 0; i < flight.size(); i += flight.size() / 20 + 1)
                few.push_back(flight[i]);
            for (int legs = 1; legs <= kMaxOlcLegs; ++legs) {
                SCOPED_TRACE(::testing::Message() << "legs " << legs << ", " << few.size());
                ExpectSameSolution(*OptimiseOlcDistance(few, flight.back(), weights, legs),
                                   PlainSearch(few, weights, legs).Run(flight.back()));
            }
        }
    }
}

TEST(OlcSearch, ANewEarthRadiusFillsTheTableAnew) {
    std::mt19937 random(6371);
    const auto trail = RandomTrail(random, 200, false);
    const OlcWeights weights = RandomWeights(random, true);
    OlcSearch search(weights, 4);
    search.Append(trail);
    ASSERT_TRUE(search.Solve(trail.back()).has_value());
    const double radius = core::g_earthRadius.load();
    core::g_earthRadius = radius / 1.852;  // nautical miles
    const auto again = search.Solve(trail.back());
    const auto fresh = OptimiseOlcDistance(trail, trail.back(), weights, 4);
    core::g_earthRadius = radius;
    ASSERT_TRUE(again && fresh);
    EXPECT_EQ(*again, *fresh);
}

TEST(OlcSearch, FewerPointsThanLegsUseEveryPoint) {
    // Two points, three legs: w1 d(P1, P2) + w2 d(P2, Z).
    const std::vector<WaypointRecord> trail{AtWest(0.0, 0.0), AtWest(0.0, 1.0)};
    const WaypointRecord closing = AtWest(1.0, 1.0);
    const OlcWeights weights{100, 80, 60, 0, 0, 0, 0, 0};
    const double degreeKm = 6371.0 * std::numbers::pi / 180.0;
    const auto solution = OptimiseOlcDistance(trail, closing, weights, 3);
    ASSERT_TRUE(solution.has_value());
    EXPECT_NEAR(solution->value / 100.0, degreeKm + 0.8 * degreeKm, 1e-3);
    EXPECT_EQ(solution->points, (std::vector<std::size_t>{0, 1}));

    EXPECT_EQ(OptimiseOlcDistance({}, closing, weights, 3)->value, 0.0);
}

TEST(OlcSearch, WeightsChooseTheLegs) {
    // An out-and-return along a meridian with a detour east: with the last
    // leg weighted 0, the search gains nothing by flying it back.
    const std::vector<WaypointRecord> trail{AtWest(45.0, 6.0), AtWest(45.5, 6.0), AtWest(46.0, 6.0),
                                            AtWest(46.0, 5.5), AtWest(45.5, 6.0)};
    const WaypointRecord closing = AtWest(45.0, 6.0);
    const auto full = OptimiseOlcDistance(trail, closing, {100, 100, 0, 0, 0, 0, 0, 0}, 2);
    const auto lastFree = OptimiseOlcDistance(trail, closing, {100, 0, 0, 0, 0, 0, 0, 0}, 2);
    ASSERT_TRUE(full && lastFree);
    // Equal weights: there and back from the farthest point.
    EXPECT_EQ(full->points, (std::vector<std::size_t>{0, 3}));
    // Only the first leg counts: the farthest point from the start.
    EXPECT_EQ(lastFree->points.front(), 0U);
    EXPECT_NEAR(lastFree->value, 100.0 * CourseAndDistance(trail[0], trail[3]), 1e-6);
}

TEST(OlcSearch, AbandonedSearchGivesNothingAndKeepsItsWork) {
    std::mt19937 random(3);
    const auto trail = RandomTrail(random, 40, false);
    const OlcWeights weights = RandomWeights(random, true);
    OlcSearch search(weights, 6);
    search.Append(trail);
    int asked = 0;
    EXPECT_FALSE(search.Solve(trail.back(), [&asked] { return ++asked > 10; }).has_value());
    const auto resumed = search.Solve(trail.back());
    ASSERT_TRUE(resumed.has_value());
    EXPECT_EQ(*resumed, *OptimiseOlcDistance(trail, trail.back(), weights, 6));
}

TEST(OlcSettings, LegCountEndsAtTheFirstZeroWeight) {
    struct Case {
        std::vector<std::pair<const char*, int>> stored;
        int legs;
        float spacing;
    };
    const std::vector<Case> cases{
        {{}, 4, 1.0F},  // defaults: 100, 100, 100, then 0
        {{{"leg4w", 0}}, 3, 1.0F},
        {{{"leg3w", 0}, {"leg4w", 100}}, 2, 1.0F},
        {{{"leg2w", 0}}, 1, 1.0F},
        {{{"leg5w", 80}, {"leg6w", 60}, {"leg7w", 0}}, 6, 2.0F},
        {{{"leg5w", 1}, {"leg6w", 1}, {"leg7w", 1}, {"leg8w", 1}}, 8, 2.0F},
    };
    for (const Case& c : cases) {
        platform::SettingsStore store({});
        for (const auto& [name, value] : c.stored)
            store.WriteInt("Settings\\OLC", name, static_cast<std::uint32_t>(value));
        LoadOlcSettings(store);
        EXPECT_EQ(g_olcLegCountLess1 + 1, c.legs);
        EXPECT_EQ(g_olcMinSpacing, c.spacing);
        EXPECT_EQ(CurrentOlcWeights()[0], kFirstLegWeight);
    }
    platform::SettingsStore store({});
    store.WriteInt("Settings\\OLC", "toDestination", 1);
    LoadOlcSettings(store);
    EXPECT_EQ(g_olcToDestination, 1);
}

}  // namespace
}  // namespace nav
