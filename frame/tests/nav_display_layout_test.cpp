#include "frame/nav_display_layout.h"

#include <gtest/gtest.h>

namespace {

using frame::NavDisplayArea;
using frame::NavDisplayLayout;
using frame::RowOrigins;

// A portrait client of 480 x 700 with a 125-pixel page, a landscape one of
// 800 x 400 with a 240-pixel page.
constexpr NavDisplayArea kPortrait{true, 700, 480, 125, 240};
constexpr NavDisplayArea kLandscape{false, 400, 800, 125, 240};
constexpr RowOrigins kCompact{2, 50};
constexpr RowOrigins kAlternate{-100, 4};

TEST(NavDisplayLayoutTest, RestoreSaveAndSwitchOverEveryStateAndScreen) {
    enum class Step { kReapply, kAdvance, kSave, kSwitch };
    struct Case {
        const NavDisplayArea* area;
        int state;
        Step step;
        NavDisplayLayout expected;
    };
    const Case cases[] = {
        // Portrait re-apply keeps the state.
        {&kPortrait, 0, Step::kReapply, {0, 0, 700, 1, 2, std::nullopt}},
        {&kPortrait, 1, Step::kReapply, {1, 1, 571, 125, 0, kCompact}},
        {&kPortrait, 2, Step::kReapply, {2, 2, 617, 79, 1, kAlternate}},
        // Portrait advance: 0 -> 1, anything else -> 2.
        {&kPortrait, 0, Step::kAdvance, {1, 0, 571, 125, 0, kCompact}},
        {&kPortrait, 1, Step::kAdvance, {2, 1, 617, 79, 1, kAlternate}},
        {&kPortrait, 2, Step::kAdvance, {2, 2, 617, 79, 1, kAlternate}},
        // The full map stores the state it leaves.
        {&kPortrait, 2, Step::kSave, {0, 2, 700, 1, 2, std::nullopt}},
        {&kLandscape, 2, Step::kSave, {0, 2, 800, 1, 2, std::nullopt}},
        // 32811 in portrait cycles 2 -> 0 -> 1 -> 2.
        {&kPortrait, 2, Step::kSwitch, {0, 2, 700, 1, 2, std::nullopt}},
        {&kPortrait, 0, Step::kSwitch, {1, 0, 571, 125, 0, kCompact}},
        {&kPortrait, 1, Step::kSwitch, {2, 1, 617, 79, 1, kAlternate}},
        // Landscape never uses state 1: it alternates 2 and the full map.
        {&kLandscape, 0, Step::kSwitch, {2, 0, 556, 240, 0, std::nullopt}},
        {&kLandscape, 2, Step::kSwitch, {0, 2, 800, 1, 2, std::nullopt}},
        {&kLandscape, 1, Step::kReapply, {2, 1, 556, 240, 0, std::nullopt}},
    };
    for (const Case& c : cases) {
        NavDisplayLayout got;
        switch (c.step) {
            case Step::kReapply: got = frame::RestoreNavLayout(*c.area, c.state, false); break;
            case Step::kAdvance: got = frame::RestoreNavLayout(*c.area, c.state, true); break;
            case Step::kSave: got = frame::SaveNavLayout(*c.area, c.state); break;
            case Step::kSwitch: got = frame::SwitchNavLayout(*c.area, c.state); break;
        }
        EXPECT_EQ(got, c.expected) << "portrait " << c.area->portrait << " state " << c.state
                                   << " step " << static_cast<int>(c.step);
    }
}

TEST(NavDisplayLayoutTest, FieldRowsFollowTheOrigins) {
    const frame::PositionFieldRows compact = frame::FieldRowsFor(kCompact);
    EXPECT_EQ(compact.upperFirst, (frame::FieldRow{2, 20}));
    EXPECT_EQ(compact.upperSecond, (frame::FieldRow{22, 45}));
    EXPECT_EQ(compact.lowerFirst, (frame::FieldRow{50, 73}));
    EXPECT_EQ(compact.lowerSecond, (frame::FieldRow{74, 94}));
    EXPECT_EQ(frame::FieldRowsFor(kAlternate).upperFirst, (frame::FieldRow{-100, -82}));
}

// Start-up sets the stored state and switches once: the state shown before
// the restart comes back, in every state of both screens.
TEST(NavDisplayLayoutTest, OneSwitchFromTheStoredStateShowsTheLastState) {
    for (const NavDisplayArea* area : {&kPortrait, &kLandscape}) {
        for (int shown : {0, 1, 2}) {
            if (!area->portrait && shown == 1) continue;
            // Reach `shown` by switching, noting what was stored.
            int state = area->portrait ? 2 : 0;
            int stored = -1;
            for (int i = 0; i < 6 && (stored < 0 || state != shown); ++i) {
                const NavDisplayLayout next = frame::SwitchNavLayout(*area, state);
                stored = next.stored;
                state = next.state;
            }
            ASSERT_EQ(state, shown);
            int restarted = frame::RestoreNavLayout(*area, 0, true).state;
            if (stored > 0) restarted = frame::SwitchNavLayout(*area, stored).state;
            EXPECT_EQ(restarted, shown) << "portrait " << area->portrait;
        }
    }
}

}  // namespace
