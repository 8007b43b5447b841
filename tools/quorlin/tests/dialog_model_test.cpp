// The main dialog's rules without a window: which controls each input type
// offers, the threshold's output names, colours, settings and the busy rule.
#include <gtest/gtest.h>

#include <clocale>

#include "platform/settings_store.h"
#include "testing/scratch_folder.h"
#include "tools/quorlin/control_layout.h"
#include "tools/quorlin/input_form.h"
#include "tools/quorlin/quorlin_model.h"
#include "tools/quorlin/resources/ids/quorlin.h"
#include "tools/quorlin/tests/quorlin_test_support.h"

namespace quorlin {
namespace {

namespace fs = std::filesystem;
using xrc::quorlin::main_dialog::kBorderColour;
using xrc::quorlin::main_dialog::kBorderColourLabel;
using xrc::quorlin::main_dialog::kChangeColours;
using xrc::quorlin::main_dialog::kColourMapLabel;
using xrc::quorlin::main_dialog::kConvert;
using xrc::quorlin::main_dialog::kCornerContinuous;
using xrc::quorlin::main_dialog::kCreate;
using xrc::quorlin::main_dialog::kDeleteBitmaps;
using xrc::quorlin::main_dialog::kDrawBorders;
using xrc::quorlin::main_dialog::kExtract;
using xrc::quorlin::main_dialog::kFillClosed;
using xrc::quorlin::main_dialog::kHighest;
using xrc::quorlin::main_dialog::kInsert;
using xrc::quorlin::main_dialog::kLayerCombo;
using xrc::quorlin::main_dialog::kMapColourSwatch;
using xrc::quorlin::main_dialog::kRemoveLonLat;
using xrc::quorlin::main_dialog::kReplaceMissing;
using xrc::quorlin::main_dialog::kRows;
using xrc::quorlin::main_dialog::kSeparateLayer;
using xrc::quorlin::main_dialog::kSetMapColour;
using xrc::quorlin::main_dialog::kSetOutputBounds;
using xrc::quorlin::main_dialog::kSetOutputFile;
using xrc::quorlin::main_dialog::kSimplify;
using xrc::quorlin::main_dialog::kThreshold;
using xrc::quorlin::main_dialog::kThresholdEdit;
using xrc::quorlin::main_dialog::kUpDownFiles;

TEST(ControlLayout, EachInputTypeOffersItsControls) {
    // (control, shown for types 1..5)
    const struct {
        int id;
        std::array<bool, 5> shown;
    } rows[] = {
        {kReplaceMissing, {true, false, false, false, true}},
        {kSetOutputBounds, {false, false, false, true, false}},
        {kChangeColours, {true, false, false, false, false}},
        {kColourMapLabel, {true, false, false, false, true}},
        {kHighest, {true, false, false, false, true}},
        {kSimplify, {false, false, true, false, false}},
        {kFillClosed, {false, false, false, false, false}},
        {kDrawBorders, {false, false, true, false, false}},
        {kBorderColour, {false, false, true, false, false}},
        {kRows, {true, false, false, false, true}},
        {kThreshold, {true, false, false, false, false}},
        {kUpDownFiles, {false, true, false, false, false}},
        {kMapColourSwatch, {true, false, true, false, false}},
        {kSetMapColour, {false, false, true, false, false}},
        {kSetOutputFile, {true, false, true, true, true}},
        {kConvert, {true, false, true, true, true}},
        {kExtract, {true, false, false, false, false}},
        {kCornerContinuous, {false, false, false, false, false}},
        {kLayerCombo, {false, false, false, false, false}},
        {kSeparateLayer, {false, false, false, false, false}},
    };
    for (int type = 1; type <= 5; ++type) {
        const ControlLayout layout = LayoutControlsForInputType({type, {}, true, false, false});
        for (const auto& row : rows) {
            EXPECT_EQ(layout[row.id].shown, row.shown[static_cast<std::size_t>(type - 1)]) << "type " << type << " control " << row.id;
        }
    }
    const ControlLayout outlines = LayoutControlsForInputType({kOutlines, {}, false, false, false});
    EXPECT_EQ(outlines[kSetOutputFile].label, "Get Header File");
    EXPECT_EQ(outlines[kBorderColourLabel].label, "Border line color  index");
}

TEST(ControlLayout, GridCommandsNeedACompleteHeaderAndNoThreshold) {
    EXPECT_FALSE(
        LayoutControlsForInputType({kElevationGrid, {}, false, false, false})[kInsert].shown);
    const ControlLayout on = LayoutControlsForInputType({kElevationGrid, {}, true, true, false});
    EXPECT_FALSE(on[kCreate].shown);
    EXPECT_TRUE(on[kCornerContinuous].shown);
    EXPECT_TRUE(on[kDeleteBitmaps].shown);
    EXPECT_TRUE(on[kThresholdEdit].enabled);
}

TEST(ControlLayout, ChartLayersFollowTheirKind) {
    const ControlLayout hynet = LayoutControlsForInputType({kChartLayer, LayerFlagsFromName("x_hynet"), false, false, false});
    EXPECT_EQ(hynet[kSetOutputFile].label, "Set Map File");
    EXPECT_EQ(hynet[kFillClosed].label, "Fill Closed");
    EXPECT_TRUE(hynet[kChangeColours].shown);
    EXPECT_TRUE(hynet[kRemoveLonLat].shown);
    EXPECT_FALSE(hynet[kDrawBorders].enabled);
    EXPECT_FALSE(hynet[kBorderColour].enabled);
    EXPECT_EQ(hynet.fillCheck, true);
    EXPECT_EQ(hynet.bordersCheck, true);
    EXPECT_TRUE(hynet.elevationStrip);

    const ControlLayout point = LayoutControlsForInputType({kChartLayer, LayerFlagsFromName("x_aepoint"), false, false, false});
    EXPECT_EQ(point[kBorderColourLabel].label, "Symbol index");
    EXPECT_TRUE(point[kBorderColourLabel].shown);
    EXPECT_FALSE(point[kBorderColour].enabled);
    EXPECT_FALSE(point.elevationStrip);

    const ControlLayout polygons = LayoutControlsForInputType({kChartLayer, LayerFlagsFromName("x_lcpoly"), false, false, true});
    EXPECT_EQ(polygons[kFillClosed].label, "Fill shapes");
    EXPECT_EQ(polygons[kDrawBorders].label, "Draw borders");
    EXPECT_TRUE(polygons[kDrawBorders].enabled);
    EXPECT_TRUE(polygons[kSeparateLayer].shown);
    EXPECT_EQ(polygons[kSetMapColour].label, "Set Fill Color");
    EXPECT_FALSE(polygons[kMapColourSwatch].shown);
    EXPECT_TRUE(LayoutControlsForInputType({kChartLayer, LayerFlagsFromName("x_pppoly"), false,
                                            false, false})[kMapColourSwatch]
                    .shown);
}

class DialogModelTest : public ::testing::Test {
  protected:
    test_support::ScratchFolder scratch_{"quorlin"};
    platform::SettingsStore settings_{scratch_ / "settings.ini"};
    testing::ScriptedUi ui_;
};

TEST_F(DialogModelTest, ThresholdNamesTheOutputFromTheInputStem) {
    QuorlinModel model(settings_, ui_);
    scratch_.Write("alps.hdr", "left_map_x =7\nright_map_x =8\nupper_map_y =47\nlower_map_y =46\nnumber_of_rows =1\nnumber_of_columns =1\n");
    model.LoadInput(scratch_.Write("alps.bin", "\0\0"));
    model.OnThresholdChange("75");
    model.OnThresholdCheck(true);
    EXPECT_EQ(model.state.outputPath, scratch_ / "alps_0075.bmp");
    model.state.outputPath = scratch_ / "mine_x.bmp";  // a name the user set
    model.OnThresholdChange("12000");
    EXPECT_EQ(model.state.outputPath, scratch_ / "alps_12000.bmp");
    EXPECT_FLOAT_EQ(model.state.threshold, 12000.0f);
    EXPECT_EQ(model.state.mapColourIndex, ColourTableIndex(12000.0f, kDefaultThresholds));
    model.OnThresholdCheck(false);
    EXPECT_EQ(model.state.outputPath, scratch_ / "alps.bmp");

    model.LoadInput(scratch_ / "a.asc");
    model.OnThresholdCheck(true);
    EXPECT_FALSE(model.state.thresholdOn);
}

TEST_F(DialogModelTest, ChangeColorsStoresEachLevelUntilCancelled) {
    QuorlinModel model(settings_, ui_);
    ui_.numbers = {-5, 150, 4000};
    ui_.colours = {{1, 2, 3}, {4, 5, 6}};
    model.OnChangeColors();
    EXPECT_EQ(model.state.options.colours[2], (Bgr{1, 2, 3}));
    EXPECT_EQ(model.state.options.colours[15], (Bgr{4, 5, 6}));
    EXPECT_EQ(settings_.GetInt("colors", "c15-2", 0), 6u);
    // Read back at the next start, colour 15 included.
    QuorlinModel next(settings_, ui_);
    EXPECT_EQ(next.state.options.colours[15], (Bgr{4, 5, 6}));
    EXPECT_EQ(next.state.options.colours[16], next.state.options.colours[14]);
}

TEST_F(DialogModelTest, SettingsRoundTripEveryKey) {
    E00Options e = ResetE00Options();
    e.riversColor = 3, e.lakesColor = 9, e.glaciersColor = 1, e.otherLakesColor = 2, e.islandsColor = 16;
    e.bndPoly = 7, e.bndPolyType = 5, e.lonLatLineType = 4, e.lonLatLineValue = 1234.5f, e.bndVal = -2.25f;
    ASSERT_TRUE(SaveE00Options(settings_, e));
    Thresholds t = kDefaultThresholds;
    t[0] = 50;
    ASSERT_TRUE(SaveThresholds(settings_, t));
    ASSERT_TRUE(SaveColour(settings_, 255, {9, 8, 7}));
    ASSERT_TRUE(SaveReplaceMissing(settings_, true, -100));
    ASSERT_TRUE(SaveLandCover(settings_, 14, 0x123456));
    std::setlocale(LC_ALL, "de_DE.UTF-8");
    platform::SettingsStore again(scratch_ / "settings.ini");
    const QuorlinOptions o = LoadQuorlinOptions(again);
    std::setlocale(LC_ALL, "C");
    EXPECT_EQ(o.e00, e);
    EXPECT_EQ(o.thresholds, t);
    EXPECT_EQ(o.colours[255], (Bgr{9, 8, 7}));  // a colour stored at 255 is kept
    EXPECT_TRUE(o.replaceMissing);
    EXPECT_EQ(o.replaceMissingValue, -100);
    EXPECT_EQ(o.landCovers[14], 0x123456u);
    EXPECT_EQ(again.GetString("E00Options", "bndVal", std::string()), "-2.250000");
}

TEST_F(DialogModelTest, CommandsWaitWhileAnOperationRuns) {
    QuorlinModel model(settings_, ui_);
    std::string body;
    for (int i = 0; i < 30; ++i) body += "5\n";
    scratch_.Write("g.asc", "ncols 1\nnrows 30\nxllcorner 0\nyllcorner 0\ncellsize 1\n" + body);
    model.LoadInput(scratch_ / "g.asc");
    int refused = 0;
    ui_.onPump = [&] {
        // A second Convert and a close request while converting.
        ui_.files.push_back({scratch_ / "other.asc", 1});
        model.OnConvert();
        model.OnGetDataFile();
        if (!model.CanClose()) ++refused;
        ui_.files.clear();
    };
    model.OnConvert();
    EXPECT_EQ(refused, 30);
    EXPECT_TRUE(model.CanClose());
    EXPECT_EQ(ui_.enables, (std::vector<bool>{false, true}));  // enabled once, at the end
    EXPECT_TRUE(ui_.choices.empty());
    EXPECT_TRUE(fs::exists(scratch_ / "g.bin"));
}

}  // namespace
}  // namespace quorlin

namespace quorlin {
namespace {

TEST(InputForm, CoordinatesSplitAndJoinByHemisphere) {
    const CoordinateForm f = SplitCoordinates({-7.25, -45.5});
    EXPECT_TRUE(f.south);
    EXPECT_TRUE(f.east);
    EXPECT_EQ(f.latDegrees, 45);
    EXPECT_EQ(f.latMinutes, 30);
    EXPECT_EQ(f.latSeconds, 0.0);
    EXPECT_EQ(f.lonMinutes, 15);
    const auto back = JoinCoordinates(f);
    ASSERT_TRUE(back);
    EXPECT_DOUBLE_EQ(back->latitude, -45.5);
    EXPECT_DOUBLE_EQ(back->longitude, -7.25);
    CoordinateForm bad = f;
    bad.lonMinutes = -1;
    EXPECT_FALSE(JoinCoordinates(bad));
}

TEST(InputForm, LevelsMustRise) {
    Thresholds t = kDefaultThresholds;
    EXPECT_FALSE(FirstLevelOutOfOrder(t));
    t[2] = 150;
    EXPECT_EQ(FirstLevelOutOfOrder(t), 2);
}

}  // namespace
}  // namespace quorlin
