// The wind history, its lines and the wind dialog's logic.
#include "glide/wind_history.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>

#include "core/settings_values.h"
#include "glide/current_wind.h"
#include "glide/heading_wind.h"
#include "glide/tests/wind_test_support.h"
#include "glide/wind_entry.h"
#include "gps/nav_fix.h"
#include "resources/ids/strings_wind.h"
#include "testing/units.h"
#include "texts/display_texts.h"
#include "texts/wind_texts.h"

namespace glide {
namespace {

using test_support::kRadiansPerDegree;


gps::WindRecord RecordOf(double fromDegrees, float speed) {
    Wind wind;
    wind.speed = speed;
    wind.direction = fromDegrees * kRadiansPerDegree;
    return ToWindRecord(wind);
}

TEST(WindTexts, HistoryLinesInEveryUnitReadBackTheirDirectionAndSpeed) {
    using Kind = WindLineAltitude::Kind;
    struct Case {
        WindLineAltitude altitude;
        int altitudeUnit;
        int speedUnit;
        const wchar_t* line;
        float speed;  // read back, display unit
    };
    const Case cases[] = {
        {{Kind::kGps, 1500}, 0, 0, L"   1.5kF      270t    12.0kts", 12.0F},
        {{Kind::kGps, 1500}, 1, 1, L"  0.46km      270t    13.8Mph", 13.8F},
        {{Kind::kGps, 1500}, 2, 2, L"   457m      270t    22.2kph", 22.2F},
        {{Kind::kPressure, 1500}, 0, 2, L"   1.5kFP     270t    22.2kph", 22.2F},
        {{Kind::kPressure, 1500}, 2, 1, L"   457mP     270t    13.8Mph", 13.8F},
        {{}, 1, 0, L"   ---      270t    12.0kts", 12.0F},
    };
    const gps::WindRecord wind = RecordOf(270.0, 12.0F);
    for (const Case& c : cases) {
        const std::wstring line = WindHistoryLine(wind, c.altitude, c.altitudeUnit, c.speedUnit);
        EXPECT_EQ(line, c.line);
        const auto values = ParseWindHistoryLine(line);
        ASSERT_TRUE(values.has_value()) << line;
        EXPECT_FLOAT_EQ(values->direction, 270.0F) << line;
        EXPECT_NEAR(values->speed, c.speed, 1e-4) << line;
    }
    EXPECT_EQ(WindDisplayText(wind, 0), L" Wnd:  12.0kts   270t");
    EXPECT_FALSE(ParseWindHistoryLine(L"   ---   ").has_value());
    EXPECT_FALSE(ParseWindHistoryLine(L"   ---      270t").has_value());
}

TEST(WindHistory, KeepsEightyNewestFirstAndTheCursorStopsAtTheEnds) {
    ClearWindHistory();
    core::g_unitSpeed = 0;
    for (int i = 1; i <= 81; ++i) {
        SetCurrentWind({static_cast<float>(i), 0.0, true});
        FormatWindText();
    }
    const std::vector<WindHistoryEntry> history = WindHistory();
    ASSERT_EQ(history.size(), kWindHistoryLength);
    EXPECT_FLOAT_EQ(history.front().wind.speed, 81.0F);
    EXPECT_FLOAT_EQ(history.back().wind.speed, 2.0F);  // the first one went
    EXPECT_EQ(WindText.Get(), L" Wnd:  81.0kts   0t");

    EXPECT_FLOAT_EQ(WindHistoryAtCursor()->wind.speed, 81.0F);
    EXPECT_FLOAT_EQ(StepWindHistoryCursor(-1)->wind.speed, 81.0F);
    EXPECT_FLOAT_EQ(StepWindHistoryCursor(3)->wind.speed, 78.0F);
    EXPECT_FLOAT_EQ(StepWindHistoryCursor(500)->wind.speed, 2.0F);
    FormatWindText();  // a new entry brings the cursor back to the head
    EXPECT_FLOAT_EQ(WindHistoryAtCursor()->wind.speed, 81.0F);

    ClearWindHistory();
    EXPECT_TRUE(WindHistory().empty());
    EXPECT_FALSE(StepWindHistoryCursor(1).has_value());
    SetCurrentWind({});
}

TEST(WindVectors, OneConventionFromEveryDirection) {
    struct Case {
        double north;
        double east;
        double fromDegrees;
    };
    for (const Case& c : {Case{10, 0, 0}, Case{0, 10, 90}, Case{-10, 0, 180}, Case{0, -10, 270}}) {
        const Wind wind = WindFromVector(c.north, c.east);
        const gps::WindRecord record = ToWindRecord(wind);
        EXPECT_NEAR(record.direction, c.fromDegrees, 1e-4);
        EXPECT_NEAR(record.x, c.north, 1e-4);
        EXPECT_NEAR(record.y, c.east, 1e-4);
        EXPECT_NEAR(FromWindRecord(record).direction, wind.direction, 1e-6);
    }
}

TEST(WindEntry, TypedHeadingsAndHistorySelections) {
    struct Case {
        const wchar_t* text;
        float heading;
        unsigned refusal;
    };
    const Case cases[] = {
        {L"", -1.0F, 0},
        {L"0", 0.0F, 0},
        {L" 359.999 ", 359.999F, 0},
        {L"\uFF12\uFF17\uFF10", 270.0F, 0},  // full-width digits
        {L"abc", -1.0F, ids::kIdsWindHeadingNotNumber},
        {L"12 13", -1.0F, ids::kIdsWindHeadingNotNumber},
        {L"400", -1.0F, ids::kIdsWindHeadingRange},
        {L"-1", -1.0F, ids::kIdsWindHeadingRange},
    };
    for (const Case& c : cases) {
        const HeadingEntry entry = ReadHeadingText(c.text);
        EXPECT_FLOAT_EQ(entry.heading, c.heading) << c.text;
        EXPECT_EQ(entry.refusal, c.refusal) << c.text;
    }
    const auto values = WindValuesOfLine(L"   1.5kF      360t    12.0kts");
    ASSERT_TRUE(values.has_value());
    EXPECT_EQ(values->direction, 0.0F);
    EXPECT_EQ(values->speed, 12.0F);
}

TEST(WindEntry, ATypedWindAndATypedHeadingSetTheCurrentWind) {
    ClearWindHistory();
    core::g_unitSpeed = 2;  // km/h
    ApplyWindEntry(270.0F, 18.52F);
    FinishWindEntry();
    Wind wind = CurrentWind();
    EXPECT_TRUE(wind.valid);
    EXPECT_NEAR(wind.speed, 10.0, 1e-4);
    EXPECT_NEAR(wind.direction, 270.0 * kRadiansPerDegree, 1e-6);
    EXPECT_EQ(InitialWindDialogValues().direction, 270.0F);
    EXPECT_NEAR(InitialWindDialogValues().speed, 18.5F, 1e-4);
    EXPECT_EQ(WindHistory().size(), 1U);
    core::g_unitSpeed = 0;

    // Two typed headings while the glider flies through a wind from 240:
    // the heading method finds it, with the magnetic variation applied.
    const testing::KnownWind known{240.0, 15.0};
    core::g_magneticVariation = 2.0;
    ResetHeadingWind();
    for (const double heading : {30.0, 120.0}) {
        const testing::Moment moment = testing::Fly(known, heading, 60.0);
        gps::ChangeNav([&](gps::NavSnapshot& nav) {
            nav.speedKt = static_cast<float>(moment.GroundSpeed());
            nav.trackRad = moment.Track() * kRadiansPerDegree;
        });
        const int result = ApplyWindHeading(static_cast<float>(heading - 2.0));
        EXPECT_EQ(result, heading == 30.0 ? kHeadingWindFirstLine : kHeadingWindGood);
    }
    wind = CurrentWind();
    EXPECT_NEAR(wind.speed, 15.0, 0.01);
    EXPECT_NEAR(wind.direction, 240.0 * kRadiansPerDegree, 1e-3);
    core::g_magneticVariation = 0.0;
    gps::ResetNavFix();
    ResetHeadingWind();
    ClearWindHistory();
    SetCurrentWind({});
}

}  // namespace
}  // namespace glide
