#include "frame/glide_info_model.h"

#include <gtest/gtest.h>

#include <cmath>

#include "glide/polar.h"

namespace {

using frame::GlideInfoModel;
using frame::GlideUnits;
using frame::GlideValues;

GlideInfoModel OpenAt(int mode, GlideValues values = {}, GlideUnits units = {}) {
    GlideInfoModel model;
    model.Open(mode, values, units);
    return model;
}

TEST(GlideInfoModel, StepsStayInsideTheirRanges) {
    // Weight: W^2 2.45 -> 2.5 and stays there.
    GlideInfoModel weight = OpenAt(2, GlideValues{.weightFactor = std::sqrt(2.45F)});
    EXPECT_EQ(weight.StepSelectedValue(1), frame::kGlidePolar);
    EXPECT_NEAR(weight.Shown(), 2.5F, 1e-5);
    weight.StepSelectedValue(1);
    EXPECT_NEAR(weight.Shown(), 2.5F, 1e-5);
    EXPECT_NEAR(weight.Values().weightFactor, std::sqrt(2.5F), 1e-6);

    // Bugs: 60 % is B = 2.5 and the top; 0 % is B = 1 and the bottom.
    GlideInfoModel bugs = OpenAt(3, GlideValues{.bugsFactor = glide::BugsFactorFromPercent(55.0F)});
    bugs.StepSelectedValue(1);
    EXPECT_NEAR(bugs.Values().bugsFactor, 2.5F, 1e-5);
    bugs.StepSelectedValue(1);
    EXPECT_NEAR(bugs.Shown(), 60.0F, 1e-4);
    bugs.StepSelectedValue(-13);
    EXPECT_FLOAT_EQ(bugs.Values().bugsFactor, 1.0F);
    EXPECT_FLOAT_EQ(bugs.Shown(), 0.0F);

    // Glide ratio within 1-100; MacCready and wind speed not below 0.
    GlideInfoModel ratio = OpenAt(4, GlideValues{.glideRatio = 98.0F});
    ratio.StepSelectedValue(5);
    EXPECT_FLOAT_EQ(ratio.Values().glideRatio, 100.0F);
    ratio.StepSelectedValue(-500);
    EXPECT_FLOAT_EQ(ratio.Values().glideRatio, 1.0F);
    GlideInfoModel mc = OpenAt(0, GlideValues{.manualMacCready = 0.3F});
    EXPECT_EQ(mc.StepSelectedValue(-3), frame::kGlideMacCready);
    EXPECT_FLOAT_EQ(mc.Values().manualMacCready, 0.0F);
    GlideInfoModel wind = OpenAt(1, GlideValues{.windSpeed = 2.0F});
    EXPECT_EQ(wind.StepSelectedValue(-5), frame::kGlideWind);
    EXPECT_FLOAT_EQ(wind.Values().windSpeed, 0.0F);
    EXPECT_TRUE(wind.WindChanged());
}

TEST(GlideInfoModel, StepsNeverMoveAValueAgainstTheirDirection) {
    // Values the options sheet allows beyond the panel's range.
    GlideInfoModel weight = OpenAt(2, GlideValues{.weightFactor = std::sqrt(2.8F)});
    weight.StepSelectedValue(1);
    EXPECT_NEAR(weight.Shown(), 2.8F, 1e-5);
    weight.StepSelectedValue(-1);
    EXPECT_NEAR(weight.Shown(), 2.5F, 1e-5);
    GlideInfoModel ratio = OpenAt(4, GlideValues{.glideRatio = 0.5F});
    ratio.StepSelectedValue(-1);
    EXPECT_FLOAT_EQ(ratio.Values().glideRatio, 0.5F);
    ratio.StepSelectedValue(1);
    EXPECT_FLOAT_EQ(ratio.Values().glideRatio, 1.5F);
    GlideInfoModel bugs = OpenAt(3, GlideValues{.bugsFactor = 5.0F});  // 80 %
    bugs.StepSelectedValue(1);
    EXPECT_FLOAT_EQ(bugs.Values().bugsFactor, 5.0F);
}

TEST(GlideInfoModel, SteppingThroughEveryRangeKeepsValuesTheOptionsAccept) {
    GlideValues values;
    for (int mode = 0; mode < GlideInfoModel::kModes; ++mode) {
        GlideInfoModel model = OpenAt(mode, values);
        for (int i = 0; i < 200; ++i) model.StepSelectedValue(1);
        for (int i = 0; i < 400; ++i) model.StepSelectedValue(-1);
        for (int i = 0; i < 7; ++i) model.StepSelectedValue(1);
        values = model.Values();
    }
    const float weightSquared = values.weightFactor * values.weightFactor;
    EXPECT_GE(weightSquared, 0.5F - 1e-5F);
    EXPECT_LE(weightSquared, 2.5F + 1e-5F);
    EXPECT_GE(glide::BugsPercent(values.bugsFactor), 0.0F);
    EXPECT_LE(glide::BugsPercent(values.bugsFactor), 60.0F + 1e-4F);
    EXPECT_GE(values.glideRatio, 1.0F);
    EXPECT_LE(values.glideRatio, 100.0F);
    EXPECT_GE(values.manualMacCready, 0.0F);
    EXPECT_GE(values.windSpeed, 0.0F);
}

TEST(GlideInfoModel, TapZones) {
    // The text: the next mode, with the wind's texts due after a change.
    GlideInfoModel wind = OpenAt(1, GlideValues{.windDirection = 5.0F});
    EXPECT_EQ(wind.HandleTap(150, 30), frame::kGlideWind);
    EXPECT_FLOAT_EQ(wind.Values().windDirection, 355.0F);
    EXPECT_EQ(wind.HandleTap(150, 10), frame::kGlideWind);
    EXPECT_FLOAT_EQ(wind.Values().windDirection, 5.0F);
    EXPECT_EQ(wind.HandleTap(150, 21), frame::kGlideNoChange);
    EXPECT_EQ(wind.HandleTap(130, 10), frame::kGlideNoChange);
    EXPECT_EQ(wind.HandleTap(40, 10), frame::kGlideNoChange);
    EXPECT_EQ(wind.HandleTap(41, 10), frame::kGlideNextMode | frame::kGlideFormatWind);
    EXPECT_EQ(wind.HandleTap(129, 10), frame::kGlideNextMode);
    EXPECT_EQ(wind.Close(), frame::kGlideNoChange);

    // A text tap in mode 4 opens mode 0; WM_APP+2's wParam + 1 wraps.
    EXPECT_EQ(GlideInfoModel::ModeAfter(4), 0);
    EXPECT_EQ(GlideInfoModel::ModeAfter(1), 2);
    EXPECT_EQ(GlideInfoModel::ModeAfter(-7), 0);
    EXPECT_EQ(OpenAt(9).Mode(), 0);

    // MacCready: the right part toggles the automatic value when it may be chosen.
    GlideInfoModel plain = OpenAt(0);
    EXPECT_EQ(plain.HandleTap(150, 10), frame::kGlideNoChange);
    GlideInfoModel automatic = OpenAt(0, GlideValues{.autoMacCready = false});
    EXPECT_EQ(automatic.HandleTap(150, 10), frame::kGlideAutoMacCready);
    EXPECT_TRUE(*automatic.Values().autoMacCready);
}

TEST(GlideInfoModel, LinesAndUnits) {
    struct Case {
        int mode;
        GlideValues values;
        GlideUnits units;
        const wchar_t* line;
        float step;
    };
    const Case cases[] = {
        {0, {.manualMacCready = 1.0F}, {}, L" MC  1.0", 0.2F},
        {0, {.manualMacCready = 1.0F, .autoMacCready = false}, {}, L" MC  1.0   M", 0.2F},
        {0, {.manualMacCready = 1.0F / 0.5145F * 0.5F, .autoMacCready = true},
         {.unitVario = 1, .varioFactor = 0.5145F}, L" MC  0.5   A", 0.1F / 0.5145F},
        {1, {.windSpeed = 12.4F, .windDirection = 270.0F}, {}, L"Wnd 12 @ 270", 1.0F},
        {1, {.windSpeed = 5.0F, .windDirection = 90.0F}, {.speedFactor = 1.852F}, L"Wnd 9.3 @ 90",
         1.0F},
        {2, {.weightFactor = 1.1F}, {}, L" WGT x 1.21", 0.05F},
        {3, {.bugsFactor = 1.25F}, {}, L" BGS % 20", 5.0F},
        {4, {.glideRatio = 38.0F}, {}, L" L/D  38", 1.0F},
    };
    for (const Case& c : cases) {
        const GlideInfoModel model = OpenAt(c.mode, c.values, c.units);
        EXPECT_EQ(model.Line(), c.line);
        EXPECT_FLOAT_EQ(model.Step(), c.step) << c.mode;
    }
}

}  // namespace
