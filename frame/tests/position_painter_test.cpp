#include "frame/position_painter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "frame/position_profile.h"
#include "texts/display_texts.h"

namespace {

using frame::ProfileInput;
using platform::Colour;
using platform::Point;

const frame::PositionLayout kPainterCompact = frame::ComputePositionLayout(frame::kCompactRows);

bool AnyNonWhite(platform::Canvas& canvas, const platform::PixelRect& rect) {
    for (int y = rect.top; y < rect.bottom; ++y) {
        for (int x = rect.left; x < rect.right; ++x) {
            if (canvas.GetPixel({x, y}) != platform::kWhite) return true;
        }
    }
    return false;
}

TEST(PositionPainter, FieldsDrawOnWhiteWithTheSeparator) {
    platform::Canvas canvas(240, 100);
    ASSERT_TRUE(canvas.Valid());
    frame::PositionTexts texts;
    texts.longitude = L"120:00.00' W";
    texts.latitude = L"38:00.00' N";
    texts.groundSpeed = L"55kts";
    texts.destinationPrefix = L"To: ";
    texts.destinationName = L"RIDGE";
    frame::PositionPaint paint;
    paint.destinationExists = true;
    frame::PaintPositionFields(canvas, kPainterCompact, paint, texts,
                               frame::MakePositionFonts(20, L"DejaVu Sans"));

    EXPECT_EQ(canvas.GetPixel({2, 99}), platform::kWhite);
    EXPECT_EQ(canvas.GetPixel({16, 46}), platform::kBlack);
    EXPECT_EQ(canvas.GetPixel({219, 46}), platform::kBlack);
    EXPECT_EQ(canvas.GetPixel({220, 46}), platform::kWhite);
    EXPECT_TRUE(AnyNonWhite(canvas, kPainterCompact.topLine));
    EXPECT_TRUE(AnyNonWhite(canvas, kPainterCompact.secondCells[0]));
    EXPECT_TRUE(AnyNonWhite(canvas, kPainterCompact.destinationLine));
    // No fix yet: the glide line stays empty.
    EXPECT_FALSE(AnyNonWhite(canvas, kPainterCompact.glideLine));
}

// The longest destination text of the demo task is written whole: it ends
// before the line does, where a cut text would run into its edge.
TEST(PositionPainter, ALongDestinationNameIsWrittenWhole) {
    platform::Canvas canvas(240, 100);
    ASSERT_TRUE(canvas.Valid());
    frame::PositionTexts texts;
    texts.destinationPrefix = L"To: ";
    texts.destinationName = L"F,Demo Turn North";
    frame::PositionPaint paint;
    paint.destinationExists = true;
    frame::PaintPositionFields(canvas, kPainterCompact, paint, texts,
                               frame::MakePositionFonts(24, L"DejaVu Sans"));
    const platform::PixelRect& line = kPainterCompact.destinationLine;
    int rightmost = -1;
    for (int y = line.top; y < line.bottom; ++y)
        for (int x = line.left; x < line.right; ++x)
            if (canvas.GetPixel({x, y}) != platform::kWhite) rightmost = std::max(rightmost, x);
    EXPECT_GT(rightmost, line.left + line.Width() / 2);
    EXPECT_LT(rightmost, line.right - 3);
}

TEST(PositionPainter, CyclingTextsAndTheEditLine) {
    glide::GroundClearanceText.Reset();
    EXPECT_EQ(frame::CyclingText(6), L"G: ?? ");
    EXPECT_EQ(frame::CyclingText(0), glide::AltitudeThousandsText.Get());
    glide::DestinationDistanceText.Set(L"12.3km");
    EXPECT_EQ(frame::CyclingText(8), L"12.3km");  // the destination's distance, not the contest's
    glide::DestinationDistanceText.Reset();

    // The edit mode's top line carries the unit once.
    EXPECT_EQ(frame::EditTopLine(L"Task", 123.45, L"km"), L"Task:123.5km");
    struct Elapsed {
        double fix, start;
        const wchar_t* text;
    };
    for (const Elapsed e : {Elapsed{12.5, 10.0, L"2h30"}, Elapsed{10.9995, 10.0, L"1h00"},
                            Elapsed{10.0, 10.0, L""}, Elapsed{9.0, 10.0, L""},
                            Elapsed{10.0, -1000.0, L""}, Elapsed{25.25, 23.75, L"1h30"}}) {
        EXPECT_EQ(frame::TimeSinceStartText(e.fix, e.start), e.text) << e.fix << " " << e.start;
    }
    frame::PositionTextRequest request;
    request.macCreadyShown = 1.5F;
    EXPECT_EQ(frame::EditSecondLine(request, L"v72", L"1h10"), L"1h10    1.5");
    request.editFirstStatistic = true;
    EXPECT_EQ(frame::EditSecondLine(request, L"v72", L"1h10"), L"1h10   v72");
    request.editStartTime = true;
    EXPECT_EQ(frame::EditSecondLine(request, L"v72", L"1h10"), L"1h10T  v72");
    request.startTime = L"2h05";
    request.editFirstStatistic = false;
    EXPECT_EQ(frame::EditSecondLine(request, L"v72", L"1h10"), L"2h05T  1.5");
}

TEST(PositionProfile, LengthAndBufferRules) {
    EXPECT_FLOAT_EQ(frame::ProfileLengthKm(std::nullopt), 50.0F);
    EXPECT_FLOAT_EQ(frame::ProfileLengthKm(30.0F), 50.0F);
    EXPECT_FLOAT_EQ(frame::ProfileLengthKm(48.0F), 50.0F);
    EXPECT_FLOAT_EQ(frame::ProfileLengthKm(60.0F), 62.0F);
    EXPECT_FLOAT_EQ(frame::ProfileLengthKm(200.0F), 50.0F);
    EXPECT_EQ(frame::ProfileBufferSize(300, 295), 300U);
    EXPECT_EQ(frame::ProfileBufferSize(300, 296), 316U);
}

TEST(PositionProfile, OneSampleGivesNoProfile) {
    const std::vector<float> one{500.0F};
    ProfileInput input{.ground = one, .lowest = 500.0F, .highest = 500.0F, .altitude = 3000.0F};
    EXPECT_FALSE(frame::LayOutProfile(input, kPainterCompact, 230, {}).has_value());
}

TEST(PositionProfile, TheRidgeStandsWhereTheSamplesPutIt) {
    // 51 samples over 50 km, a ridge of 2500 ft at 20 km on 500 ft ground.
    std::vector<float> ground(51, 500.0F);
    ground[20] = 2500.0F;
    ProfileInput input{.ground = ground, .lowest = 500.0F, .highest = 2500.0F, .altitude = 3000.0F};
    input.glideEnds = {1000.0F, -2000.0F};
    const auto drawing = frame::LayOutProfile(input, kPainterCompact, 230, {});
    ASSERT_TRUE(drawing.has_value());
    EXPECT_EQ(drawing->strip, (platform::PixelRect{0, 50, 230, 98}));
    // x from 24 in (230 - 24) / 50 per sample; the ridge at sample 20.
    EXPECT_EQ(drawing->ground[21].x, 24 + 82);
    // Scale: 48 pixels for the 2500 ft from the lowest ground to the glider.
    EXPECT_EQ(drawing->ground[21].y, 98 - 38);
    EXPECT_EQ(drawing->ground[1].y, 98);
    ASSERT_EQ(drawing->lines.size(), 2U);
    EXPECT_EQ(drawing->lines[0].from, (Point{24, 50}));
    EXPECT_EQ(drawing->lines[0].to, (Point{230, 88}));
    // A line that ends under the ground ends on the bottom line.
    EXPECT_EQ(drawing->lines[1].to.y, 98);
    EXPECT_LT(drawing->lines[1].to.x, 230);
    EXPECT_EQ(drawing->ticks.size(), 4U);  // 10, 20, 30, 40 km

    platform::Canvas canvas(230, 100);
    frame::DrawProfile(canvas, *drawing, L"TRK", frame::MakePositionFonts(20, L"DejaVu Sans").profileLabel);
    // The grey edge on the ridge's top, the fill under it, white sky above.
    EXPECT_EQ(canvas.GetPixel({24 + 82, 60}), Colour::FromColorref(0x808080));
    EXPECT_NE(canvas.GetPixel({24 + 82, 80}), platform::kWhite);
    EXPECT_EQ(canvas.GetPixel({24 + 82, 55}), platform::kWhite);

    // Below the highest ground the scale fits the ground; at least 50 ft.
    input.altitude = 1000.0F;
    EXPECT_EQ(frame::LayOutProfile(input, kPainterCompact, 230, {})->ground[21].y, 50);
    std::vector<float> flat(10, 800.0F);
    ProfileInput level{.ground = flat, .lowest = 800.0F, .highest = 800.0F, .altitude = 800.0F};
    level.large = true;
    const auto low = frame::LayOutProfile(level, kPainterCompact, 230, {});
    ASSERT_TRUE(low.has_value());
    EXPECT_EQ(low->strip.top, 4);  // 46 higher for the large profile
    EXPECT_EQ(low->ground[1].y, 98);
}

TEST(PositionProfile, LegGlidesDropByTheirMarginsOverEachLeg) {
    frame::LegGlides legs{.altitude = 3000.0F, .distanceKm = 40.0F, .legKm = 40.0F,
                          .margins = {1200.0F, 0.0F},
                          .finalGlideMargins = std::array{1800.0F, 0.0F},
                          .usePolar = false};
    // Without the fitted polar only the record's own glide.
    auto paths = frame::LegGlidePaths(legs);
    ASSERT_EQ(paths.size(), 1U);
    ASSERT_EQ(paths[0].size(), 1U);
    EXPECT_FLOAT_EQ(paths[0][0].km, 40.0F);
    EXPECT_FLOAT_EQ(paths[0][0].feet, 1800.0F);
    // With it the final glide as well; without a final-glide solution not.
    legs.usePolar = true;
    paths = frame::LegGlidePaths(legs);
    ASSERT_EQ(paths.size(), 2U);
    EXPECT_FLOAT_EQ(paths[1][0].feet, 1200.0F);
    legs.finalGlideMargins.reset();
    EXPECT_EQ(frame::LegGlidePaths(legs).size(), 1U);
    // Two legs: the line turns where the first leg ends.
    legs.distanceKm = 60.0F;
    legs.margins = {1000.0F, 500.0F};
    paths = frame::LegGlidePaths(legs);
    ASSERT_EQ(paths[0].size(), 2U);
    EXPECT_FLOAT_EQ(paths[0][0].km, 40.0F);
    EXPECT_FLOAT_EQ(paths[0][0].feet, 2000.0F);
    EXPECT_FLOAT_EQ(paths[0][1].km, 60.0F);
    EXPECT_FLOAT_EQ(paths[0][1].feet, 1500.0F);

    // Laid out over 60 km on 500-3000 ft: the turn at 2/3 of the width.
    std::vector<float> ground(61, 500.0F);
    ProfileInput input{.ground = ground, .lowest = 500.0F, .highest = 500.0F, .altitude = 3000.0F,
                       .lengthKm = 60.0F};
    input.glidePaths = paths;
    input.glidePaths.push_back({{30.0F, -1000.0F}, {60.0F, -2000.0F}});  // into the ground
    const auto drawing = frame::LayOutProfile(input, kPainterCompact, 230, {});
    ASSERT_TRUE(drawing.has_value());
    ASSERT_EQ(drawing->lines.size(), 3U);
    EXPECT_EQ(drawing->lines[0].from, (Point{24, 50}));
    EXPECT_EQ(drawing->lines[0].to, (Point{24 + 137, 98 - 29}));
    EXPECT_EQ(drawing->lines[1].from, drawing->lines[0].to);
    EXPECT_EQ(drawing->lines[1].to, (Point{230, 98 - 19}));
    // A line that meets the bottom line ends there and goes no further.
    EXPECT_EQ(drawing->lines[2].to.y, 98);
    EXPECT_LT(drawing->lines[2].to.x, 24 + 103);
}

TEST(PositionProfile, TrackGlidesFlyTheConstantSpeedOnlyWhenOneIsSet) {
    struct Case {
        bool constant;
        float constantSpeed;
        float expectedFirst;
    };
    for (const Case c : {Case{false, 70.0F, 55.0F}, Case{true, 70.0F, 70.0F}, Case{true, 0.0F, 55.0F}}) {
        const frame::TrackGlideSpeeds speeds = frame::ChooseTrackGlideSpeeds(c.constant, c.constantSpeed, 55.0F, 62.0F);
        EXPECT_FLOAT_EQ(speeds.first, c.expectedFirst) << c.constant << " " << c.constantSpeed;
        EXPECT_FLOAT_EQ(speeds.second, 62.0F);
    }
}

}  // namespace
