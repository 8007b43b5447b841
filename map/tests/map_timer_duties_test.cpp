#include "map/map_timer_duties.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace map {
namespace {

// The ticks (1-based) at which the director played, and what.
std::vector<std::pair<int, std::wstring>> RunDirector(const SpeedDirectorInput& in, int ticks) {
    std::vector<std::pair<int, std::wstring>> played;
    for (int tick = 1; tick <= ticks; ++tick) {
        std::wstring sound = SpeedDirectorTick(in);
        if (!sound.empty()) played.emplace_back(tick, sound);
    }
    return played;
}

SpeedDirectorInput Flying(float airspeed, float speedToFly) {
    return {.enabled = true, .circling = false, .polarFitted = true, .tolerance = 2.0F,
            .airspeed = airspeed, .speedToFly = speedToFly, .groundSpeedKnots = 40.0F};
}

TEST(SpeedDirector, PlaysAtTheGapTheDifferenceGives) {
    struct Case {
        float airspeed;
        float speedToFly;
        const wchar_t* sound;
        int gap;  // ticks between sounds, 0: silent
    };
    const Case cases[] = {
        {62.0F, 70.0F, kFlyFasterSound, 12},  // 8 below: 20 - 8
        {54.0F, 70.0F, kFlyFasterSound, 4},   // 16 below: at least 4
        {40.0F, 70.0F, kFlyFasterSound, 4},
        {78.0F, 70.0F, kFlySlowerSound, 12},
        {90.0F, 70.0F, kFlySlowerSound, 4},
        {68.0F, 70.0F, nullptr, 0},  // the band is s +- t, edges included
        {72.0F, 70.0F, nullptr, 0},
        {67.5F, 70.0F, kFlyFasterSound, 18},  // trunc(2.5) = 2
    };
    for (const Case& c : cases) {
        g_soundHoldOff = 0;
        const auto played = RunDirector(Flying(c.airspeed, c.speedToFly), 40);
        SCOPED_TRACE(::testing::Message() << "v " << c.airspeed << " s " << c.speedToFly);
        if (c.sound == nullptr) {
            EXPECT_TRUE(played.empty());
            continue;
        }
        ASSERT_GE(played.size(), 2U);
        EXPECT_EQ(played[0].first, 1);
        for (std::size_t i = 1; i < played.size(); ++i) {
            EXPECT_EQ(played[i].first - played[i - 1].first, c.gap);
            EXPECT_EQ(played[i].second, c.sound);
        }
    }
}

TEST(SpeedDirector, IdleConditionsSetTheCounterToTenAndPlayNothing) {
    SpeedDirectorInput circling = Flying(40.0F, 70.0F);
    circling.circling = true;
    SpeedDirectorInput noPolar = Flying(40.0F, 70.0F);
    noPolar.polarFitted = false;
    SpeedDirectorInput off = Flying(40.0F, 70.0F);
    off.enabled = false;
    SpeedDirectorInput slow = Flying(10.0F, 70.0F);
    SpeedDirectorInput standing = Flying(40.0F, 70.0F);
    standing.groundSpeedKnots = 1.0F;
    for (const SpeedDirectorInput& in : {circling, noPolar, off, slow, standing}) {
        g_soundHoldOff = 0;
        EXPECT_TRUE(SpeedDirectorTick(in).empty());
        EXPECT_EQ(g_soundHoldOff.load(), 10);
    }
}

TEST(SpeedDirector, AZoneAlarmHoldsItOffTwentyTicks) {
    g_soundHoldOff = 0;
    ZoneAlarmAnnouncer alarm;
    alarm.Tick({.active = true, .zone = 7, .zoneSound = {}, .popupText = L"FL95"}, false, 0);
    const auto played = RunDirector(Flying(40.0F, 70.0F), 30);
    ASSERT_FALSE(played.empty());
    EXPECT_EQ(played.front().first, 21);
}

TEST(FixAge, ThresholdsAndTheBackButtonsAge) {
    struct Case {
        double age;
        bool markSet;
        bool clearData, current, clearMark, setMark;
    };
    // 400 ms adds 0.000111 h.
    const Case cases[] = {
        {0.0, false, true, true, false, false},
        {0.0048, true, true, true, true, false},
        {0.0049, false, false, true, false, false},  // 0.005011: the port is no longer fresh
        {0.0108, false, false, true, false, false},
        {0.0109, false, false, false, false, true},  // 0.011011: no fix
        {kBackButtonAgeHours, false, true, true, false, false},
    };
    for (const Case& c : cases) {
        double age = c.age;
        const FixAgeStep step = AdvanceFixAge(age, 400, c.markSet);
        SCOPED_TRACE(c.age);
        EXPECT_EQ(step.clearDataReceived, c.clearData);
        EXPECT_EQ(step.fixCurrent, c.current);
        EXPECT_EQ(step.clearNoFixMark, c.clearMark);
        EXPECT_EQ(step.setNoFixMark, c.setMark);
    }
    // After the back button, the fix counts as current for 0.056 h.
    double age = kBackButtonAgeHours;
    int ticks = 0;
    while (AdvanceFixAge(age, 400, false).fixCurrent) ++ticks;
    EXPECT_EQ(ticks, 504);  // 0.056 h / 400 ms: the last reaches 0.011 h, still current
}

TEST(ZoneAlarm, AnnouncesOnceHidesThePopupAfterThirtySecondsAndFollowsANewZone) {
    g_soundHoldOff = 0;
    ZoneAlarmAnnouncer alarm;
    const ZoneAlarmVerdict first{.active = true, .zone = 1, .zoneSound = {}, .popupText = L"A"};
    ZoneAlarmStep step = alarm.Tick(first, false, 1000);
    EXPECT_TRUE(step.soundStarted && step.showButton && step.showPopup);
    EXPECT_EQ(step.sound, kZoneAlarmSound);
    EXPECT_EQ(g_soundHoldOff.load(), 20);

    step = alarm.Tick(first, false, 30999);
    EXPECT_FALSE(step.soundStarted || step.hidePopup);
    step = alarm.Tick(first, false, 31000);
    EXPECT_TRUE(step.hidePopup);
    EXPECT_FALSE(alarm.Tick(first, false, 32000).hidePopup);  // once

    const ZoneAlarmVerdict second{.active = true, .zone = 2, .zoneSound = L"own.wav", .popupText = L"B"};
    step = alarm.Tick(second, false, 33000);
    EXPECT_TRUE(step.soundStarted && step.showPopup);
    EXPECT_EQ(step.sound, L"own.wav");

    // The hold button hides the button: the same zone is announced again.
    alarm.ButtonHidden();
    EXPECT_TRUE(alarm.Tick(second, false, 34000).soundStarted);
}

TEST(ZoneAlarm, TheButtonStaysThirtySecondsWhileCirclingAfterTheAlarmEnds) {
    ZoneAlarmAnnouncer alarm;
    alarm.Tick({.active = true, .zone = 1, .zoneSound = {}, .popupText = L"A"}, false, 0);
    const ZoneAlarmVerdict quiet;
    EXPECT_FALSE(alarm.Tick(quiet, true, 5000).hideButton);
    EXPECT_FALSE(alarm.Tick(quiet, true, 34999).hideButton);
    const ZoneAlarmStep step = alarm.Tick(quiet, true, 35000);
    EXPECT_TRUE(step.hideButton && step.hidePopup);
    EXPECT_FALSE(alarm.ButtonShown());

    ZoneAlarmAnnouncer straight;
    straight.Tick({.active = true, .zone = 1, .zoneSound = {}, .popupText = L"A"}, false, 0);
    EXPECT_TRUE(straight.Tick(quiet, false, 400).hideButton);
    EXPECT_FALSE(straight.Tick(quiet, false, 800).hideButton);
}

TEST(DestinationSound, DueFiveHundredMillisecondsAfterTheMoveOnce) {
    DestinationSound sound;
    EXPECT_FALSE(sound.Due(10000));
    sound.Moved(10000);
    EXPECT_FALSE(sound.Due(10499));
    EXPECT_TRUE(sound.Due(10500));
    EXPECT_FALSE(sound.Due(11000));
}

TEST(TaskAltitudeWarning, LimitsByPhase) {
    const TaskAltitudeLimits limits{.beforeLimits = true, .maxAltBefore = 1500.0F,
                                    .altMarginBefore = 100.0F, .onTaskLimits = false,
                                    .maxAltOnTask = 3000.0F, .altMarginOnTask = 0.0F};
    EXPECT_FLOAT_EQ(limits.Limit(true), 1400.0F);
    EXPECT_FLOAT_EQ(limits.Limit(false), 100000.0F);
    TaskAltitudeLimits noBefore = limits;
    noBefore.beforeLimits = false;
    TaskAltitudeWarning warning;
    EXPECT_FALSE(warning.Tick(9000.0F, true, noBefore, {}, 0).warn);
}

TEST(TaskAltitudeWarning, WarnsOnceRearmsAfterFiveMinutesAndHidesFiveSecondsAfterDropping) {
    const TaskAltitudeLimits limits{.beforeLimits = true, .maxAltBefore = 1500.0F,
                                    .altMarginBefore = 100.0F};
    TaskAltitudeWarning warning;
    EXPECT_FALSE(warning.Tick(1400.0F, true, limits, {}, 0).warn);  // at the limit
    EXPECT_TRUE(warning.Tick(1401.0F, true, limits, {}, 1000).warn);
    // The pilot closed the popup: no new warning until 300 s have passed.
    EXPECT_FALSE(warning.Tick(1500.0F, true, limits, {}, 2000).warn);
    EXPECT_FALSE(warning.Tick(1500.0F, true, limits, {}, 301000).warn);
    EXPECT_FALSE(warning.Tick(1500.0F, true, limits, {}, 301001).warn);  // re-armed
    EXPECT_TRUE(warning.Tick(1500.0F, true, limits, {}, 301400).warn);

    // Shown as kind 2: hidden 5 s after the last tick above the limit.
    const PopupState shown{.shown = true, .kind = 2};
    warning.Tick(1500.0F, true, limits, shown, 302000);
    EXPECT_FALSE(warning.Tick(1300.0F, true, limits, shown, 306999).hidePopup);
    EXPECT_TRUE(warning.Tick(1300.0F, true, limits, shown, 307000).hidePopup);
    EXPECT_FALSE(warning.Tick(1300.0F, true, limits, shown, 308000).hidePopup);

    // Another popup (kind 4) took over: it is not hidden.
    TaskAltitudeWarning other;
    other.Tick(1500.0F, true, limits, shown, 0);
    other.Tick(1500.0F, true, limits, {.shown = true, .kind = 4}, 100);
    EXPECT_FALSE(other.Tick(1300.0F, true, limits, {.shown = true, .kind = 4}, 9000).hidePopup);
}

}  // namespace
}  // namespace map
