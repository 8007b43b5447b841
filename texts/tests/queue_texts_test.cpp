// The destination texts in the three glide display modes, with their
// no-value forms.
#include "texts/queue_texts.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>

namespace glide {
namespace {

// 10 km at a magnetic bearing of 45 degrees, a target at a known altitude
// needing 2500 ft, statute miles, thousands of feet, knots.
QueueTextInput Base() {
    QueueTextInput in;
    in.distanceKm = 10.0F;
    in.magneticBearing = 45.0;
    in.need = 2500.0F;
    in.gpsAltitude = 3000.0F;
    in.finalGlideSpeed = 70.0F;
    return in;
}

struct FormCase {
    const char* what;
    std::function<void(QueueTextInput&)> change;
    const wchar_t* requiredGlide;
    const wchar_t* destinationLine;
};

TEST(QueueTextsTest, EveryFormAppearsWhereItBelongs) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const FormCase cases[] = {
        {"altitude needed", [](QueueTextInput&) {}, L"6.2M ", L" 45m  2.5kF"},
        {"altitude: target altitude unknown", [](QueueTextInput& in) { in.targetAltitudeKnown = false; },
         L"6.2M ", L" 45m   ?? "},
        {"altitude: need of 100000 ft", [](QueueTextInput& in) { in.need = 100000.0F; }, L"6.2M ",
         L" 45m   NOGO"},
        {"altitude: unreachable", [](QueueTextInput& in) { in.reachable = false; }, L"6.2M ",
         L" 45m  NOGO"},
        {"altitude: need not finite", [nan](QueueTextInput& in) { in.need = nan; }, L"6.2M ",
         L" 45m  NOGO"},
        {"altitude: shown as a difference", [](QueueTextInput& in) { in.showDifference = true; },
         L"6.2M ", L" 45m  +0.5kF"},
        {"altitude in metres, difference below",
         [](QueueTextInput& in) {
             in.altitudeUnit = 2;
             in.showDifference = true;
             in.need = 3500.0F;
         },
         L"6.2M ", L" 45g  -152m"},
        {"altitude in kilometres", [](QueueTextInput& in) { in.altitudeUnit = 1; }, L"6.2M ",
         L" 45m  0.76km"},
        {"MacCready: no final glide yet",
         [](QueueTextInput& in) { in.mode = kGlideModeMacCready; }, L" ??Mc", L"      ????"},
        {"MacCready: arrival",
         [](QueueTextInput& in) {
             in.mode = kGlideModeMacCready;
             in.finalGlideMc = 2.0F;
             in.finalGlideArrival = 3300.0F;
             in.energyHeight = 300.0F;
         },
         L"2.0Mc", L" 70kts  3.0kF"},
        {"MacCready: arrival in m/s",
         [](QueueTextInput& in) {
             in.mode = kGlideModeMacCready;
             in.climbUnit = 1;
             in.finalGlideMc = 2.0F;
             in.finalGlideArrival = 3000.0F;
         },
         L"1.0Mc", L" 70kts  3.0kF"},
        {"MacCready: unreachable at the final-glide speed",
         [](QueueTextInput& in) {
             in.mode = kGlideModeMacCready;
             in.reachable = false;
             in.finalGlideMc = 1.5F;
             in.finalGlideSpeed2 = 0.0F;
             in.finalGlideArrival = -1.0F;
         },
         L"1.5Mc", L" 70kts  NOGO"},
        {"MacCready: no solution",
         [](QueueTextInput& in) {
             in.mode = kGlideModeMacCready;
             in.finalGlideMc = 1.5F;
             in.finalGlideArrival = -1.0F;
         },
         L" ??Mc", L"      ????"},
        {"MacCready: target altitude unknown",
         [](QueueTextInput& in) {
             in.mode = kGlideModeMacCready;
             in.targetAltitudeKnown = false;
             in.finalGlideMc = 2.25F;
         },
         L"2.2Mc", L" 70kts  ?? "},
        {"MacCready: unknown altitude, no final glide",
         [](QueueTextInput& in) {
             in.mode = kGlideModeMacCready;
             in.targetAltitudeKnown = false;
         },
         L"6.2M ", L" 45m   ?? "},
        {"MacCready: unreachable without a final glide",
         [](QueueTextInput& in) {
             in.mode = kGlideModeMacCready;
             in.reachable = false;
         },
         L"6.2M ", L" 45m  NOGO"},
        {"MacCready: a NaN final glide reads as none",
         [nan](QueueTextInput& in) {
             in.mode = kGlideModeMacCready;
             in.finalGlideMc = nan;
         },
         L" ??Mc", L"      ????"},
        {"terrain: unreachable", [](QueueTextInput& in) {
             in.mode = kGlideModeTerrain;
             in.reachable = false;
         },
         L"G:", L"       NOGO"},
        {"terrain: no clearance search", [](QueueTextInput& in) { in.mode = kGlideModeTerrain; },
         L"G:", L"  ???   "},
        {"terrain: near conflict",
         [](QueueTextInput& in) {
             in.mode = kGlideModeTerrain;
             in.clearanceKnown = true;
             in.conflictDistanceKm = 5.0F;
             in.lowestAltitude = 2400.0F;
             in.lowestDistanceKm = 8.0F;
         },
         L"G:  3.1", L"2.4kF   5.0M "},
        {"terrain: far conflict, kilometres like thousands of feet",
         [](QueueTextInput& in) {
             in.mode = kGlideModeTerrain;
             in.altitudeUnit = 1;
             in.clearanceKnown = true;
             in.conflictDistanceKm = 200.0F;
             in.lowestAltitude = 5000.0F;
             in.lowestDistanceKm = 200.0F;
         },
         L"G:  124", L"1.5km   124M "},
        {"terrain: no conflict",
         [](QueueTextInput& in) {
             in.mode = kGlideModeTerrain;
             in.glidePrefix = L"Gx:";
             in.clearanceKnown = true;
             in.lowestAltitude = 900.0F;
         },
         L"Gx", L"0.9kF   0.0M "},
    };
    for (const FormCase& c : cases) {
        QueueTextInput in = Base();
        c.change(in);
        const QueueTexts texts = FormatQueueTexts(in);
        EXPECT_EQ(texts.requiredGlide, c.requiredGlide) << c.what;
        EXPECT_EQ(texts.destinationLine, c.destinationLine) << c.what;
    }
}

TEST(QueueTextsTest, BearingIsMagneticOrRelativeToTheTrack) {
    QueueTextInput in = Base();
    EXPECT_EQ(FormatQueueTexts(in).bearing, L": 45m  ");
    in.relative = true;
    in.relativeBearing = -30.4;
    EXPECT_EQ(FormatQueueTexts(in).bearing, L"> 30L");
    EXPECT_EQ(FormatQueueTexts(in).destinationLine, L" 30L  2.5kF");
    in.relativeBearing = 0.0;
    EXPECT_EQ(FormatQueueTexts(in).bearing, L">  0R");
    // The pilot's turn letters from the fonts page.
    in.turnLeft = L'\u00AB';
    in.turnRight = L'\u00BB';
    EXPECT_EQ(FormatQueueTexts(in).bearing, L">  0\u00BB");
    in.relativeBearing = -30.4;
    EXPECT_EQ(FormatQueueTexts(in).bearing, L"> 30\u00AB");
}

}  // namespace
}  // namespace glide
