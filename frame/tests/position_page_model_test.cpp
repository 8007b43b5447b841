#include "frame/position_page_model.h"
#include "frame/position_map_box.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>

namespace {

using frame::FieldAction;
using frame::Gesture;
using frame::PageClock;
using frame::PageConditions;
using frame::PageSetting;
using frame::PositionModes;
using frame::PositionPageModel;
using frame::ViewMode;
using platform::Point;
using platform::PixelRect;

// A model whose saved settings land in a map, as the settings store would
// hold them.
struct Page {
    explicit Page(PositionModes modes = {})
        : model(modes, [this](PageSetting s, int v) {
              if (const char* name = frame::SettingName(s)) saved[name] = v;
          }) {}
    Gesture Tap(Point at, int ms, int heldMs = 50) {
        model.Press(at, PageClock{ms - heldMs});
        return model.Release(at, PageClock{ms}, conditions);
    }
    Gesture Drag(Point from, Point to, int ms) {
        model.Press(from, PageClock{ms - 200});
        return model.Release(to, PageClock{ms}, conditions);
    }
    PositionPageModel model;
    PageConditions conditions;
    std::map<std::string, int> saved;
};

TEST(PositionLayout, CompactRectanglesFollowTheRowOrigins) {
    const frame::PositionLayout compact = frame::ComputePositionLayout(frame::kCompactRows);
    EXPECT_EQ(compact.topLine, (PixelRect{5, 2, 227, 20}));
    EXPECT_EQ(compact.secondLine, (PixelRect{0, 22, 214, 45}));
    EXPECT_EQ(compact.destinationLine, (PixelRect{5, 50, 232, 73}));
    EXPECT_EQ(compact.glideLine, (PixelRect{5, 74, 234, 98}));
    EXPECT_EQ(compact.separatorY, 46);
    // The cells span 0-86, 86-142 and 142-230.
    for (const auto& cells : {compact.topCells, compact.secondCells}) {
        EXPECT_EQ(cells[0].left, 0);
        EXPECT_EQ(cells[0].right, 86);
        EXPECT_EQ(cells[1].right, 142);
        EXPECT_EQ(cells[2].right, 230);
    }
    EXPECT_EQ(compact.glidePanel, (PixelRect{2, 2, 235, 45}));
    EXPECT_EQ(compact.notesEdit, (PixelRect{5, 49, 235, 97}));
    EXPECT_EQ(compact.teamButton, (PixelRect{187, 1, 225, 21}));
    EXPECT_EQ(compact.altitudeEdit, (PixelRect{147, 0, 209, 20}));
    EXPECT_EQ(compact.setButton, (PixelRect{4, 24, 84, 45}));

    // The alternate layout puts the upper group off the page.
    const frame::PositionLayout alternate = frame::ComputePositionLayout(frame::kAlternateRows);
    EXPECT_LT(alternate.secondLine.bottom, 0);
    EXPECT_EQ(alternate.destinationLine, (PixelRect{5, 4, 232, 27}));
    EXPECT_EQ(alternate.glideLine, (PixelRect{5, 28, 234, 52}));
    // The altitude edit moves to the lower group with its lines.
    EXPECT_EQ(alternate.editTopLine.top, 4);
    EXPECT_EQ(alternate.editSecondLine.top, 28);
    EXPECT_EQ(alternate.altitudeEdit.top, 4);
    EXPECT_EQ(alternate.setButton.bottom, 52);
    EXPECT_EQ(compact.editSecondLine, compact.secondLineAlternative);
}

TEST(PositionPage, TheRightCellCyclesEveryEnabledValue) {
    struct Case {
        bool temperature;
        int disabled;  // -1: none
        int steps;     // taps until the index is back at 0
    };
    for (const Case c : {Case{true, -1, 11}, Case{false, -1, 10}, Case{true, 4, 10},
                         Case{false, 7, 9}}) {
        Page page;
        page.conditions.temperatureSource = c.temperature;
        if (c.disabled >= 0) page.conditions.showQueue[static_cast<std::size_t>(c.disabled)] = 0;
        int steps = 0;
        do {
            EXPECT_EQ(page.Tap({200, 30}, 1000 * (steps + 1)), Gesture::kTap);
            page.model.CycleFieldMode({200, 30}, page.conditions);
            ++steps;
            EXPECT_NE(page.model.Modes().altString, c.disabled);
            if (!c.temperature) {
                EXPECT_NE(page.model.Modes().altString, 10);
            }
        } while (page.model.Modes().altString != 0 && steps < 20);
        EXPECT_EQ(steps, c.steps) << c.temperature << " " << c.disabled;
        EXPECT_EQ(page.saved["AltString"], 0);
    }
    // Every value off: the index stays 0.
    PageConditions none;
    none.showQueue.fill(0);
    EXPECT_EQ(PositionPageModel::NextCyclingIndex(3, none), 0);
    // Values out of range restart at the beginning.
    EXPECT_EQ(PositionPageModel::NextCyclingIndex(42, PageConditions{}), 1);
}

TEST(PositionPage, VarioStringSkipsModesWithoutTheirData) {
    struct Case {
        int from;
        bool instrument, task;
        int lonLat;
        int to;
    };
    for (const Case c : {Case{2, false, true, 0, 4}, Case{2, false, false, 0, 0},
                         Case{2, true, false, 0, 3}, Case{4, true, true, 0, 0},
                         Case{4, true, true, 3, 1}, Case{0, false, false, 0, 1}}) {
        Page page(PositionModes{.lonLatString = c.lonLat, .varioString = c.from});
        page.conditions.instrumentData = c.instrument;
        page.conditions.taskNavigation = c.task;
        EXPECT_EQ(page.model.CycleFieldMode({20, 30}, page.conditions), FieldAction::kRepaint);
        EXPECT_EQ(page.model.Modes().varioString, c.to) << c.from;
        EXPECT_EQ(page.saved["VarioString"], c.to);
    }
}

TEST(PositionPage, LonLatStringAdvancesWithItsFallBacks) {
    struct Case {
        int from, vario;
        bool task;
        int x;
        int to;
    };
    for (const Case c : {Case{0, 1, true, 30, 1}, Case{1, 1, true, 30, 2}, Case{1, 1, false, 30, 3},
                         Case{1, 0, false, 30, 4}, Case{2, 1, true, 30, 3}, Case{3, 1, true, 30, 4},
                         Case{4, 1, true, 30, 0}}) {
        Page page(PositionModes{.lonLatString = c.from, .varioString = c.vario});
        page.conditions.taskNavigation = c.task;
        page.conditions.teamCodeEnabled = true;
        page.model.CycleFieldMode({c.x, 10}, page.conditions);
        EXPECT_EQ(page.model.Modes().lonLatString, c.to) << c.from;
        EXPECT_EQ(page.saved["LonLatString"], c.to);
    }
    // Mode 1's right part switches the flight-time format and keeps the mode.
    Page page(PositionModes{.lonLatString = 1});
    EXPECT_EQ(page.model.CycleFieldMode({200, 10}, page.conditions), FieldAction::kFlightTimeFormat);
    EXPECT_EQ(page.model.Modes().lonLatString, 1);
    // In the thermal mode the top line restarts the drift or adopts the wind.
    page.conditions.thermalMode = true;
    EXPECT_EQ(page.model.CycleFieldMode({30, 10}, page.conditions), FieldAction::kResetDrift);
    EXPECT_EQ(page.model.CycleFieldMode({150, 10}, page.conditions), FieldAction::kAdoptComputedWind);
}

TEST(PositionPage, TheTaskLineCyclesItsVariantAndItsDistanceForm) {
    // Top-line mode 2: the right part cycles the statistic, the middle the
    // distance form, the left part goes on to mode 3.
    Page page(PositionModes{.lonLatString = 2, .varioString = 1});
    page.conditions.taskNavigation = true;
    EXPECT_EQ(page.model.CycleFieldMode({200, 10}, page.conditions), FieldAction::kRepaint);
    EXPECT_EQ(page.model.Modes().taskVariant, 1);
    page.model.CycleFieldMode({200, 10}, page.conditions);
    page.model.CycleFieldMode({200, 10}, page.conditions);
    EXPECT_EQ(page.model.Modes().taskVariant, 0);
    EXPECT_EQ(page.model.CycleFieldMode({120, 10}, page.conditions), FieldAction::kTaskTextChanged);
    EXPECT_FALSE(page.model.Modes().taskSpeedForm);
    EXPECT_EQ(page.model.Modes().lonLatString, 2);
    page.model.CycleFieldMode({30, 10}, page.conditions);
    EXPECT_EQ(page.model.Modes().lonLatString, 3);
    // With the task line on the second line the top line keeps its mode.
    Page leg(PositionModes{.lonLatString = 0, .varioString = 4});
    leg.conditions.taskNavigation = true;
    EXPECT_EQ(leg.model.CycleFieldMode({120, 10}, leg.conditions), FieldAction::kTaskTextChanged);
    EXPECT_EQ(leg.model.CycleFieldMode({30, 10}, leg.conditions), FieldAction::kNone);
    EXPECT_EQ(leg.model.Modes().lonLatString, 0);
}

TEST(PositionPage, PaintedModesFallBackWithoutTheirData) {
    Page page(PositionModes{.lonLatString = 4, .varioString = 3});
    EXPECT_EQ(page.model.TopLineMode(page.conditions), 0);  // team code off
    EXPECT_EQ(page.model.SecondLineMode(page.conditions), 0);
    EXPECT_EQ(page.saved["VarioString"], 0);  // the fall-back of 3 is stored
    Page task(PositionModes{.lonLatString = 2, .varioString = 4});
    EXPECT_EQ(task.model.TopLineMode(task.conditions), 3);
    EXPECT_EQ(task.model.SecondLineMode(task.conditions), 0);
    task.conditions.thermalMode = true;
    EXPECT_EQ(task.model.SecondLineMode(task.conditions), 1);
}

TEST(PositionPage, CellsAndGlideLineTapsChangeTheirModes) {
    Page page;
    // The middle cell: 1 -> 0 -> 1, and 2 only with heading data.
    EXPECT_EQ(page.model.CycleFieldMode({100, 30}, page.conditions), FieldAction::kTrackTextChanged);
    EXPECT_EQ(page.model.Modes().togString, 0);
    page.model.CycleFieldMode({100, 30}, page.conditions);
    page.model.CycleFieldMode({100, 30}, page.conditions);
    EXPECT_EQ(page.model.Modes().togString, 0);
    page.conditions.headingData = true;
    page.model.CycleFieldMode({100, 30}, page.conditions);
    page.model.CycleFieldMode({100, 30}, page.conditions);
    EXPECT_EQ(page.saved["TOGstring"], 2);

    // Glide line: right part toggles the altitude difference.
    page.model.CycleFieldMode({200, 80}, page.conditions);
    EXPECT_EQ(page.saved["ShowAltitudeDifference"], 1);
    // The middle: the MacCready variant needs the polar and a required
    // MacCready; the terrain variant needs terrain information.
    page.model.CycleFieldMode({120, 80}, page.conditions);
    EXPECT_EQ(page.model.Modes().glideDisplayMode, 0);
    page.conditions.useDemInfo = true;
    page.model.CycleFieldMode({120, 80}, page.conditions);
    EXPECT_EQ(page.model.Modes().glideDisplayMode, 2);
    page.conditions.terrainKnown = true;
    EXPECT_EQ(page.model.CycleFieldMode({20, 80}, page.conditions), FieldAction::kOpenProfile);
    page.conditions.usePolar = page.conditions.finalGlideMcKnown = true;
    page.conditions.destinationExists = true;
    page.model.CycleFieldMode({120, 80}, page.conditions);
    page.model.CycleFieldMode({120, 80}, page.conditions);
    EXPECT_EQ(page.model.Modes().glideDisplayMode, 1);
    EXPECT_EQ(page.model.CycleFieldMode({20, 80}, page.conditions), FieldAction::kAskRequiredMacCready);

    // Destination line: the left part toggles the wind correction; the rest
    // steps the waypoints, or the next-point choice while a task is flown.
    EXPECT_EQ(page.model.CycleFieldMode({30, 60}, page.conditions), FieldAction::kWindCorrectionToggled);
    EXPECT_EQ(page.saved["WindCorrection"], 1);
    EXPECT_EQ(page.model.CycleFieldMode({200, 60}, page.conditions), FieldAction::kNextWaypoint);
    EXPECT_EQ(page.model.CycleFieldMode({60, 60}, page.conditions), FieldAction::kPreviousWaypoint);
    page.conditions.taskFlown = true;
    EXPECT_EQ(page.model.CycleFieldMode({200, 60}, page.conditions), FieldAction::kNextPointChoiceToggled);
}

TEST(PositionPage, WindHistoryAndAutomaticMacCreadyOnTheSecondLine) {
    Page wind(PositionModes{.varioString = 2});
    EXPECT_EQ(wind.model.CycleFieldMode({100, 30}, wind.conditions), FieldAction::kNone);
    wind.conditions.validWind = true;
    EXPECT_EQ(wind.model.CycleFieldMode({100, 30}, wind.conditions), FieldAction::kWindHistoryNewer);
    EXPECT_EQ(wind.model.CycleFieldMode({160, 30}, wind.conditions), FieldAction::kWindHistoryOlder);

    Page vario(PositionModes{.varioString = 1});
    EXPECT_EQ(vario.model.CycleFieldMode({200, 30}, vario.conditions), FieldAction::kNone);
    vario.conditions.autoMacCreadyAvailable = true;
    EXPECT_EQ(vario.model.CycleFieldMode({200, 30}, vario.conditions),
              FieldAction::kAutoMacCreadyToggled);
    EXPECT_EQ(vario.saved["autoSetMacCready"], 1);
}

TEST(PositionPage, TapsAndLongPressesAreToldApartByTheClock) {
    Page page;
    const Point destination{120, 60};
    // 600 ms is a tap, 601 ms shows the attachments.
    EXPECT_EQ(page.Tap(destination, 1000, 600), Gesture::kTap);
    EXPECT_EQ(page.Tap(destination, 3000, 601), Gesture::kShowAttachments);
    // A long press released outside the destination line is no long press.
    page.model.Press(destination, PageClock{5000});
    EXPECT_EQ(page.model.Release({120, 80}, PageClock{6000}, page.conditions), Gesture::kTap);
    // A long press outside the destination line is a tap.
    EXPECT_EQ(page.Tap({120, 30}, 8000, 900), Gesture::kTap);

    // A second tap within 300 ms is ignored, a later one counts.
    EXPECT_EQ(page.Tap({200, 30}, 10000), Gesture::kTap);
    EXPECT_EQ(page.Tap({200, 30}, 10200), Gesture::kNone);
    EXPECT_EQ(page.Tap({200, 30}, 10500), Gesture::kNone);  // 300 ms after the last
    EXPECT_EQ(page.Tap({200, 30}, 10801), Gesture::kTap);

    // With the double-click option single taps do nothing; a double click cycles.
    page.conditions.doubleClickOption = true;
    EXPECT_EQ(page.Tap({200, 30}, 20000), Gesture::kNone);
    EXPECT_TRUE(page.model.DoubleClick(page.conditions));
}

TEST(PositionPage, SwipesOpenWhatTheirDirectionAsks) {
    Page page;
    // Vertical, from the destination line: the profile.
    EXPECT_EQ(page.Drag({100, 75}, {110, 40}, 1000), Gesture::kShowProfile);
    EXPECT_EQ(page.Drag({100, 75}, {100, 50}, 2000), Gesture::kTap);  // 25 < 4/7 of 46
    EXPECT_EQ(page.Drag({100, 75}, {150, 40}, 3000), Gesture::kTap);  // too far sideways
    // Horizontal over the upper lines: the glide panel.
    EXPECT_EQ(page.Drag({20, 10}, {140, 30}, 4000), Gesture::kOpenGlidePanel);
    // Right to left over the destination line: the next-point question while a task is flown.
    EXPECT_EQ(page.Drag({200, 60}, {50, 60}, 5000), Gesture::kTap);
    page.conditions.taskFlown = true;
    EXPECT_EQ(page.Drag({200, 60}, {50, 60}, 6000), Gesture::kAskNextPoint);
    EXPECT_EQ(page.Drag({200, 60}, {120, 60}, 7000), Gesture::kTap);  // ends too far right
    // Left to right: the altitude edit of an editable destination.
    EXPECT_EQ(page.Drag({30, 60}, {200, 60}, 8000), Gesture::kTap);
    page.conditions.destinationEditable = true;
    EXPECT_EQ(page.Drag({30, 60}, {200, 60}, 9000), Gesture::kOpenAltitudeEdit);
    // The key replays do the same while a task is flown.
    EXPECT_EQ(page.model.ReplayKey(19, page.conditions), Gesture::kOpenAltitudeEdit);
    EXPECT_EQ(page.model.ReplayKey(15, page.conditions), Gesture::kAskNextPoint);
    page.conditions.taskFlown = false;
    EXPECT_EQ(page.model.ReplayKey(19, page.conditions), Gesture::kNone);
}

TEST(PositionPage, ViewModesAndTheProfileMessage) {
    Page page;
    // WM_USER+5 outside the profile changes nothing.
    EXPECT_FALSE(page.model.TerrainProfileMessage(true));
    EXPECT_EQ(page.model.Mode(), ViewMode::kFields);
    page.model.OpenAltitudeEdit();
    EXPECT_FALSE(page.model.TerrainProfileMessage(false));
    EXPECT_EQ(page.model.Mode(), ViewMode::kAltitudeEdit);  // the edit stays open
    // In the edit mode the second line's taps flip its toggles; others do nothing.
    EXPECT_EQ(page.Tap({200, 30}, 1000), Gesture::kEditToggled);
    EXPECT_TRUE(page.model.EditShowsFirstStatistic());
    EXPECT_EQ(page.Tap({50, 30}, 2000), Gesture::kEditToggled);
    EXPECT_TRUE(page.model.EditShowsStartTime());
    EXPECT_EQ(page.Tap({50, 60}, 3000), Gesture::kNone);
    EXPECT_EQ(page.model.CycleFieldMode({8, 10}, page.conditions), FieldAction::kMacCreadyUp);
    EXPECT_EQ(page.model.CycleFieldMode({8, 30}, page.conditions), FieldAction::kMacCreadyDown);
    page.model.CloseAltitudeEdit();

    page.model.OpenProfile();
    EXPECT_TRUE(page.model.TerrainProfileMessage(true));
    // The right third of the destination line switches the profile size.
    EXPECT_EQ(page.Tap({200, 60}, 4000), Gesture::kProfileSizeToggled);
    EXPECT_EQ(page.saved["DEMprofileSize"], 1);
    // The large profile leaves the upper lines to the fields.
    EXPECT_EQ(page.Tap({100, 10}, 5000), Gesture::kTap);
    EXPECT_EQ(page.Tap({100, 60}, 6000), Gesture::kProfileClosed);
    EXPECT_EQ(page.model.Mode(), ViewMode::kFields);
    page.model.OpenProfile();
    EXPECT_FALSE(page.model.TerrainProfileMessage(false));  // no buffer: back to the fields
    EXPECT_EQ(page.model.Mode(), ViewMode::kFields);
    page.model.OpenProfile();
    EXPECT_FALSE(page.model.DoubleClick(page.conditions));
    EXPECT_EQ(page.model.Mode(), ViewMode::kFields);
}

TEST(PositionPage, CirclingShowsItsChoiceAndRestoresTheStoredMode) {
    Page page(PositionModes{.varioString = 4});
    page.model.CirclingChanged(false, 2);  // an end before any start changes nothing
    EXPECT_EQ(page.model.Modes().varioString, 4);
    page.model.CirclingChanged(true, 2);
    EXPECT_EQ(page.model.Modes().varioString, 2);
    page.model.CirclingChanged(true, 1);
    page.model.CirclingChanged(false, 1);
    EXPECT_EQ(page.model.Modes().varioString, 4);
    EXPECT_FALSE(page.saved.contains("VarioString"));
}

TEST(PositionPage, MacCreadySpinStepsInTheClimbUnit) {
    EXPECT_FLOAT_EQ(frame::MacCreadyAfterSpin(1.0F, 32, 0), 1.4F);
    EXPECT_NEAR(frame::MacCreadyAfterSpin(1.0F, 31, 1), 1.0F + 0.1F / 0.5145F, 1e-6);
    EXPECT_FLOAT_EQ(frame::MacCreadyAfterSpin(0.3F, 20, 0), 0.0F);
}

}  // namespace

namespace {

TEST(PositionPage, TheWindMarkTellsWhereTheWindComesFrom) {
    EXPECT_EQ(frame::WindMark(false, false), L'T');
    EXPECT_EQ(frame::WindMark(false, true), L'C');
    // An instrument's wind wins, circling or not.
    EXPECT_EQ(frame::WindMark(true, true), L'S');
    EXPECT_EQ(frame::WindMark(true, false), L'S');
}

}  // namespace

namespace {

TEST(PositionMapBox, TheWaypointIsShownWithTheAircraftAndNeverAsAPoint) {
    constexpr double kRad = 3.14159265358979 / 180.0;
    const nav::WaypointRecord ridge(47.0, -8.0, true);
    // Without a fix: 2 km either way around the waypoint.
    // Degrees, longitude positive east.
    const core::GeoBox alone = frame::WaypointBoxWithAircraft(ridge, std::nullopt);
    EXPECT_NEAR(alone.Height() / 2.0 * kRad, 2.0 / 6371.0, 1e-6);
    EXPECT_NEAR((alone.north + alone.south) / 2.0, 47.0, 1e-6);
    EXPECT_NEAR((alone.west + alone.east) / 2.0, 8.0, 1e-6);  // -8 positive west
    // 2 km east-west: the longitude span is wider by 1 / cos(latitude).
    EXPECT_NEAR(alone.Width() * std::cos(47.0 * kRad), alone.Height(), 1e-6);
    // The aircraft 0.3 degrees north: the box still centred on the waypoint
    // and holding the aircraft.
    const nav::WaypointRecord aircraft(47.3, -8.0, true);
    const core::GeoBox both = frame::WaypointBoxWithAircraft(ridge, aircraft);
    EXPECT_NEAR((both.north + both.south) / 2.0, 47.0, 1e-6);
    EXPECT_GT(both.north, 47.3);
    EXPECT_LT(both.south, 47.0 - 0.29);
}

}  // namespace
