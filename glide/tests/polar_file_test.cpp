// Polar files: the line-2 rules, where the points end and the report goes,
// the weighted fit, and the fits that are refused.
#include "glide/polar_file.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "glide/tests/glide_test_support.h"
#include "platform/message_box.h"
#include "platform/utf.h"

namespace glide {
namespace {

using testing::ReadBytes;
using testing::TempDir;

std::wstring Wide(const std::filesystem::path& file) {
    return platform::FromUtf8(file.string());
}

std::string FixtureBytes(const char* name) {
    return ReadBytes(std::filesystem::path(KV_SOURCE_DIR) / "glide/tests/data" / name);
}

// A good polar to start from, so that refusals can be seen to keep it.
void LoadGoodPolar(const TempDir& dir) {
    ASSERT_TRUE(FitPolar(Wide(dir.Write("good.plr", FixtureBytes("discus.plr")))));
}

TEST(PolarFileTest, RealPolarFitsItsPublishedFigures) {
    // The published figures of the glider in the fixture: best glide 43:1
    // at 100 km/h, minimum sink 0.59 m/s at 78 km/h.
    constexpr double kBestGlideRatio = 43.0;
    constexpr double kMinimumSinkMs = 0.59;
    const TempDir dir;
    const auto file = dir.Write("discus.plr", FixtureBytes("discus.plr"));
    ASSERT_TRUE(FitPolar(Wide(file)));

    const PolarSettings fitted = CurrentPolarSettings();
    EXPECT_TRUE(fitted.inUse.valid);
    const double a = fitted.a0, b = fitted.b0, c = fitted.c0;
    const double bestGlideSpeed = std::sqrt(a / c);
    const double bestGlideRatio = bestGlideSpeed / ((c * bestGlideSpeed + b) * bestGlideSpeed + a);
    const double minimumSinkMs = (a - b * b / (4.0 * c)) * testing::kMetresPerSecondPerKnot;
    EXPECT_NEAR(bestGlideRatio, kBestGlideRatio, 0.02 * kBestGlideRatio);
    EXPECT_NEAR(minimumSinkMs, kMinimumSinkMs, 0.02 * kMinimumSinkMs);
    EXPECT_FLOAT_EQ(fitted.bestGlideSpeedBase, static_cast<float>(bestGlideSpeed));
    // Line 2 is in km/h: floor 60, minimum speed 70.
    EXPECT_NEAR(fitted.inUse.minimumSpeedFloor, 60.0 / 1.852, 1e-4);
    EXPECT_NEAR(fitted.minimumSpeedBase, 70.0 / 1.852, 1e-4);
    EXPECT_FLOAT_EQ(fitted.minimumSpeedSinkBase, fitted.inUse.Sink(fitted.minimumSpeedBase));
}

TEST(PolarFileTest, ReportIsRewrittenTheSameWayOnEveryLoad) {
    const TempDir dir;
    const std::string original = FixtureBytes("discus.plr");
    const auto file = dir.Write("discus.plr", original);

    ASSERT_TRUE(FitPolar(Wide(file)));
    const PolarSettings first = CurrentPolarSettings();
    const std::string afterFirst = ReadBytes(file);
    ASSERT_TRUE(FitPolar(Wide(file)));
    const std::string afterSecond = ReadBytes(file);
    ASSERT_TRUE(FitPolar(Wide(file)));
    const std::string afterThird = ReadBytes(file);

    // The points run to the end: the first report is appended. The report
    // begins with an empty line, which the next load takes as the end of the
    // points, skipping one more line: the second report lands two line ends
    // further on, and from then on the file stays as it is.
    ASSERT_EQ(afterFirst.substr(0, original.size()), original);
    const std::string report = afterFirst.substr(original.size());
    EXPECT_EQ(report,
              FormatPolarReport(PolarFit{first.a0, first.b0, first.c0,
                                         first.inUse.minimumSpeedFloor, first.minimumSpeedBase,
                                         first.minimumSpeedSinkBase, first.bestGlideSpeedBase},
                                2));
    EXPECT_EQ(afterSecond, original + "\r\n\r\n" + report);
    EXPECT_EQ(afterThird, afterSecond);
    const PolarSettings third = CurrentPolarSettings();
    EXPECT_EQ(third.a0, first.a0);
    EXPECT_EQ(third.b0, first.b0);
    EXPECT_EQ(third.c0, first.c0);

    EXPECT_EQ(report.rfind("\r\n\r\nV polar fit 3 calculated coefficients-high order first\r\n", 0),
              0U);
    EXPECT_NE(report.find("\r\n       spdToFly[km/h]\r\nsink  wind=0 wind=10 wind=20 wind=-15\r\n"),
              std::string::npos);
    EXPECT_TRUE(report.ends_with("end results\r\n"));
}

TEST(PolarFileTest, ReportShowsTheFitInTheFileUnits) {
    // sink = 2 - 0.05 v + 0.0005 v^2 in knots; unit set 0.
    const PolarFit fit{2.0F, -0.05F, 0.0005F, 5.0F, 40.0F, 0.8F, 63.2F};
    const std::string report = FormatPolarReport(fit, 0);
    EXPECT_NE(
        report.find("coefficients-high order first\r\n5.000E-04\r\n-5.000E-02\r\n2.000E+00\r\n"
                    "calculated coefficients-end\r\nFit Results:\r\nspeed   sink   L/D\r\n"
                    " 40.0,  0.80,  50.0\r\n"),
        std::string::npos);
    EXPECT_NE(report.find("\r\n140.0,  4.80,  29.2\r\n\r\n       spdToFly[kts]\r\n"),
              std::string::npos);
    // No MacCready, no air-mass sink: the speed of least sink whatever the
    // wind; 1 kt of sink: the root of (2cv + b) v = 1.
    EXPECT_NE(report.find("sink  wind=0 wind=10 wind=20 wind=-15\r\n  0.0   50.0   50.0   50.0"
                          "   50.0\r\n  0.5"),
              std::string::npos)
        << report;
    EXPECT_NE(report.find("\r\n  1.0   65.3"), std::string::npos) << report;
}

struct HeaderCase {
    const char* line2;
    int weightExponent;
    int unitSet;
    float floor;
    std::optional<float> minimumSpeed;
};

TEST(PolarFileTest, SecondLineRules) {
    const std::vector<HeaderCase> cases{
        {"1", 1, 0, 5.0F, std::nullopt},
        {"2,3", 2, 0, 5.0F, std::nullopt},                    // two fields: floor at least 5
        {"0,3,4", 0, 0, 3.0F, 4.0F},                          // three fields: floor as written
        {"1,3,2", 1, 0, 3.0F, 3.0F},                          // minimum speed raised to the floor
        {"1,60,70,2", 1, 2, 60.0F / 1.852F, 70.0F / 1.852F},  // km/h
        {"1,4,40,1", 1, 1, 5.0F, 40.0F},                      // four fields: floor at least 5
        {"1,5,6,7", 1, 0, 5.0F, 6.0F},                        // unit set out of range
        {"1,5,6,x", 1, 0, 5.0F, 6.0F},                        // unit set not a number
        {"1,5,60,2,9", 1, 2, 5.0F, 60.0F / 1.852F},           // the fourth field runs to the end
        {"3,10,40", 1, 0, 10.0F, 40.0F},                      // weighting outside 0..2
        {"-1", 1, 0, 5.0F, std::nullopt},
    };
    for (const HeaderCase& c : cases) {
        SCOPED_TRACE(c.line2);
        const auto contents = ParsePolarFile(std::string("title\n") + c.line2 + "\n");
        ASSERT_TRUE(contents);
        EXPECT_EQ(contents->weightExponent, c.weightExponent);
        EXPECT_EQ(contents->unitSet, c.unitSet);
        EXPECT_FLOAT_EQ(contents->minimumSpeedFloor, c.floor);
        ASSERT_EQ(contents->minimumSpeed.has_value(), c.minimumSpeed.has_value());
        if (c.minimumSpeed) {
            EXPECT_FLOAT_EQ(*contents->minimumSpeed, *c.minimumSpeed);
        }
    }
    for (const char* bad : {"title\nx,5\n", "title\n1,y\n", "title\n1,5,z\n", "no line end"}) {
        EXPECT_FALSE(ParsePolarFile(bad)) << bad;
    }
}

TEST(PolarFileTest, PointsEndAtTheFirstLineWithoutTwoNumbers) {
    // "80 , 0.7": the separator must be exactly one character.
    auto contents = ParsePolarFile("t\n1\n60,1\r\n70 0.9\n80 , 0.7\nskipped\nreport");
    ASSERT_TRUE(contents);
    ASSERT_EQ(contents->points.size(), 2U);
    EXPECT_FLOAT_EQ(contents->points[1].speed, 70.0F);
    EXPECT_FLOAT_EQ(contents->points[1].sink, 0.9F);
    EXPECT_FALSE(contents->pointsEndAtEnd);
    EXPECT_EQ(contents->reportOffset,
              std::string_view("t\n1\n60,1\r\n70 0.9\n80 , 0.7\nskipped\n").size());

    // An empty line ends them too; points that run to the end put the
    // report at the end; unit set 1 reads sinks in feet per second.
    contents = ParsePolarFile("t\n1,5,40,1\n60,1.6878\n\n");
    ASSERT_TRUE(contents);
    ASSERT_EQ(contents->points.size(), 1U);
    EXPECT_FLOAT_EQ(contents->points[0].sink, 1.0F);
    contents = ParsePolarFile("t\n1\n60,1\n70,1.1");
    ASSERT_TRUE(contents);
    EXPECT_TRUE(contents->pointsEndAtEnd);
    EXPECT_EQ(contents->reportOffset, std::string_view("t\n1\n60,1\n70,1.1").size());
}

std::string PolarText(int weight, const std::vector<std::array<double, 2>>& points) {
    std::string text = "test\n" + std::to_string(weight) + ",5,30\n";
    for (const auto& [speed, sink] : points) {
        text += std::to_string(speed) + "," + std::to_string(sink) + "\n";
    }
    return text;
}

TEST(PolarFileTest, FourPointsAreTooFewFiveAreEnough) {
    const platform::ScopedRecordingSink boxes;
    const TempDir dir;
    const std::vector<std::array<double, 2>> five{
        {40, 1.3}, {50, 1.2}, {60, 1.3}, {80, 1.9}, {100, 3.0}};
    const auto fiveFile = dir.Write("five.plr", PolarText(1, five));
    EXPECT_TRUE(FitPolar(Wide(fiveFile)));
    const std::vector<std::array<double, 2>> four(five.begin(), five.begin() + 4);
    const auto fourFile = dir.Write("four.plr", PolarText(1, four));
    EXPECT_FALSE(FitPolar(Wide(fourFile)));
    EXPECT_FALSE(CurrentPolar().valid);
    EXPECT_EQ(ReadBytes(fourFile), PolarText(1, four));  // no report
    EXPECT_TRUE(boxes->Boxes().empty());
}

// An independent weighted least-squares fit in double precision.
std::array<double, 3> ReferenceFit(const std::vector<std::array<double, 2>>& points, int weight) {
    double m[3][4] = {};
    for (const auto& [v, s] : points) {
        const double w = 1.0 / std::pow(s, weight);
        for (int i = 0; i < 3; ++i) {
            m[i][3] += s * std::pow(v, i) * w;
            for (int j = 0; j < 3; ++j)
                m[i][j] += std::pow(v, i + j) * w;
        }
    }
    for (int col = 0; col < 3; ++col) {  // plain elimination; the system is well conditioned
        for (int row = 0; row < 3; ++row) {
            if (row == col) continue;
            const double f = m[row][col] / m[col][col];
            for (int k = 0; k < 4; ++k)
                m[row][k] -= f * m[col][k];
        }
    }
    return {m[0][3] / m[0][0], m[1][3] / m[1][1], m[2][3] / m[2][2]};
}

TEST(PolarFileTest, WeightedFitMatchesAnIndependentFit) {
    // Measured points that no parabola passes through exactly.
    const std::vector<std::array<double, 2>> points{{40, 1.25}, {45, 1.18}, {50, 1.22},
                                                    {60, 1.30}, {70, 1.55}, {80, 1.95},
                                                    {95, 2.60}, {110, 3.55}};
    for (const int weight : {0, 1, 2}) {
        SCOPED_TRACE(weight);
        const auto contents = ParsePolarFile(PolarText(weight, points));
        ASSERT_TRUE(contents);
        const auto fit = FitPolarContents(*contents, 43.0F);
        ASSERT_TRUE(fit);
        const auto reference = ReferenceFit(points, weight);
        EXPECT_NEAR(fit->a, reference[0], 1e-3 * std::fabs(reference[0]));
        EXPECT_NEAR(fit->b, reference[1], 1e-3 * std::fabs(reference[1]));
        EXPECT_NEAR(fit->c, reference[2], 1e-3 * std::fabs(reference[2]));
    }
}

TEST(PolarFileTest, SingularSystemsAreReported) {
    const platform::ScopedRecordingSink boxes;
    NormalEquations zero;
    EXPECT_FALSE(GaussJordanSolve(zero));
    NormalEquations lastColumnEmpty;
    lastColumnEmpty.matrix[0][0] = 1.0F;
    lastColumnEmpty.matrix[1][1] = 1.0F;
    EXPECT_FALSE(GaussJordanSolve(lastColumnEmpty));

    // Five points at speed 0 leave only the constant term.
    const TempDir dir;
    const auto file = dir.Write("zero.plr", PolarText(0, {{0, 1}, {0, 1}, {0, 1}, {0, 1}, {0, 1}}));
    EXPECT_FALSE(FitPolar(Wide(file)));

    const auto shown = boxes->Boxes();
    ASSERT_EQ(shown.size(), 3U);
    for (const auto& box : shown) {
        EXPECT_EQ(box.text, L"GAUSSJ: Singular Matrix-2");
        EXPECT_EQ(box.style, platform::mb::kTopmost);
    }

    NormalEquations solvable;
    solvable.matrix[0] = {2, 1, 0, 0};
    solvable.matrix[1] = {1, 3, 1, 0};
    solvable.matrix[2] = {0, 1, 4, 0};
    solvable.rhs = {3, 5, 5};  // solution (1, 1, 1)
    ASSERT_TRUE(GaussJordanSolve(solvable));
    for (const float x : solvable.rhs)
        EXPECT_NEAR(x, 1.0F, 1e-6F);
}

TEST(PolarFileTest, UnusableFitsAreRefusedAndThePolarStays) {
    const TempDir dir;
    LoadGoodPolar(dir);
    const PolarSettings good = CurrentPolarSettings();
    const platform::ScopedRecordingSink boxes;

    struct Case {
        const char* what;
        std::string text;
    };
    const std::vector<Case> cases{
        // A sink of 0 weighs infinitely.
        {"zero sink", PolarText(1, {{40, 0}, {50, 1.2}, {60, 1.3}, {80, 1.9}, {100, 3.0}})},
        // Sinks that fall with speed: a curve without a minimum.
        {"c below 0", PolarText(0, {{40, 3.0}, {50, 2.9}, {60, 2.7}, {80, 2.0}, {100, 1.0}})},
        // A negative best-glide term.
        {"a below 0", PolarText(0, {{40, 0.5}, {50, 1.0}, {60, 1.6}, {80, 3.0}, {100, 4.8}})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto file = dir.Write("bad.plr", c.text);
        EXPECT_FALSE(FitPolar(Wide(file)));
        EXPECT_EQ(ReadBytes(file), c.text);  // no report
        const PolarSettings after = CurrentPolarSettings();
        EXPECT_FALSE(after.inUse.valid);
        EXPECT_EQ(after.a0, good.a0);
        EXPECT_EQ(after.c0, good.c0);
        EXPECT_EQ(after.inUse.minimumSpeedFloor, good.inUse.minimumSpeedFloor);
        EXPECT_TRUE(std::isfinite(after.inUse.a) && std::isfinite(after.inUse.c));
    }
    EXPECT_TRUE(boxes->Boxes().empty());
}

TEST(PolarFileTest, MissingFileKeepsTheFlagAnEmptyPathClearsIt) {
    const TempDir dir;
    LoadGoodPolar(dir);
    EXPECT_FALSE(FitPolar(Wide(dir.Path() / "missing.plr")));
    EXPECT_TRUE(CurrentPolar().valid);
    EXPECT_FALSE(FitPolar(L""));
    EXPECT_FALSE(CurrentPolar().valid);
}

}  // namespace
}  // namespace glide
