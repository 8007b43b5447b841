#include "texts/queue_texts.h"

#include <cmath>
#include <string>

#include "platform/numbers.h"
#include "texts/display_units.h"

namespace glide {
namespace {

constexpr float kNeedShownAsNogo = 100000.0F;

bool Finite(double value) {
    return std::isfinite(value);
}

// "%3.0lf%c": the magnetic bearing and the course letter, or the relative
// bearing's size and 'R' or 'L'.
std::wstring Bearing(const QueueTextInput& in) {
    if (in.relative) {
        return platform::FormatC(L"%3.0lf%lc", std::fabs(in.relativeBearing),
                                 in.relativeBearing >= 0.0 ? in.turnRight : in.turnLeft);
    }
    return platform::FormatC(L"%3.0lf%lc", in.magneticBearing, CourseLetter(in.altitudeUnit));
}

std::wstring Altitude(const QueueTextInput& in, float feet, bool asDifference) {
    const AltitudeUnit unit = AltitudeUnitOf(in.altitudeUnit);
    const std::wstring name(unit.name);
    return platform::FormatC(asDifference ? unit.signedFormat : unit.format, feet * unit.factor,
                             name.c_str());
}

std::wstring Distance(const QueueTextInput& in) {
    const DisplayUnit unit = DistanceUnit(in.distanceUnit);
    return platform::FormatC(L"%03.1f%ls", in.distanceKm * unit.factor,
                             std::wstring(unit.name).c_str());
}

std::wstring Speed(const QueueTextInput& in, float knots) {
    const DisplayUnit unit = SpeedUnit(in.speedUnit);
    return platform::FormatC(L"%3.0f%ls", knots * unit.factor, std::wstring(unit.name).c_str());
}

std::wstring Mc(float knots, float factor) {
    return platform::FormatC(L"%03.1fMc", knots * factor);
}

void TerrainTexts(const QueueTextInput& in, QueueTexts& out) {
    const std::wstring prefix = in.glidePrefix.substr(0, 2);
    if (!in.clearanceKnown) {
        out.requiredGlide = prefix;
        out.destinationLine = L"  ???   ";
        return;
    }
    const DisplayUnit unit = DistanceUnit(in.distanceUnit);
    const std::wstring name(unit.name);
    const double conflict = in.conflictDistanceKm * unit.factor;
    if (in.conflictDistanceKm < 0.0F || !Finite(conflict)) {
        out.requiredGlide = prefix;
    } else {
        out.requiredGlide = platform::FormatC(conflict >= 100.0 ? L"%ls %4.0f" : L"%ls %4.1f",
                                              prefix.c_str(), conflict);
    }
    // Kilometres are shown like thousands of feet here.
    AltitudeUnit altitude = AltitudeUnitOf(in.altitudeUnit);
    if (in.altitudeUnit == 1) altitude.format = L"%03.1f%ls";
    const double lowest = in.lowestDistanceKm * unit.factor;
    if (!Finite(in.lowestAltitude) || !Finite(lowest)) {
        out.destinationLine = L"  ???   ";
        return;
    }
    out.destinationLine =
        platform::FormatC(altitude.format, in.lowestAltitude * altitude.factor,
                          std::wstring(altitude.name).c_str()) +
        platform::FormatC(lowest >= 99.5 ? L" %5.0f%ls" : L" %5.1f%ls", lowest, name.c_str());
}

void MacCreadyTexts(const QueueTextInput& in, QueueTexts& out) {
    const float climb = ClimbUnit(in.climbUnit).factor;
    const bool haveFinalGlide = in.finalGlideMc >= 0.0F;
    if (!in.targetAltitudeKnown && !in.autoDetect) {
        if (haveFinalGlide) {
            out.destinationLine = Speed(in, in.finalGlideSpeed) + L"  ?? ";
            out.requiredGlide = Mc(in.finalGlideMc, 1.0F);
        } else {
            out.destinationLine = Bearing(in) + L"   ?? ";
        }
        return;
    }
    if (!haveFinalGlide) {
        out.destinationLine = L"      ????";
        out.requiredGlide = L" ??Mc";
        return;
    }
    if (!(in.finalGlideArrival > 0.0F)) {
        if (in.finalGlideSpeed2 >= 0.0F) {
            out.destinationLine = Speed(in, in.finalGlideSpeed) + L"  NOGO";
            out.requiredGlide = Mc(in.finalGlideMc, climb);
        } else {
            out.destinationLine = L"      ????";
            out.requiredGlide = L" ??Mc";
        }
        return;
    }
    const float arrival = in.finalGlideArrival - in.energyHeight;
    out.destinationLine =
        Speed(in, in.finalGlideSpeed) + L"  " +
        Altitude(in, in.showDifference ? in.gpsAltitude - arrival : arrival, in.showDifference);
    out.requiredGlide = Mc(in.finalGlideMc, climb);
}

void AltitudeTexts(const QueueTextInput& in, QueueTexts& out) {
    if (!in.targetAltitudeKnown && !in.autoDetect) {
        out.destinationLine = Bearing(in) + L"   ?? ";
    } else if (in.need >= kNeedShownAsNogo) {
        out.destinationLine = Bearing(in) + L"   NOGO";
    } else {
        out.destinationLine =
            Bearing(in) + L"  " +
            Altitude(in, in.showDifference ? in.gpsAltitude - in.need : in.need, in.showDifference);
    }
}

}  // namespace

wchar_t CourseLetter(int altitudeUnit) {
    return altitudeUnit == 2 ? L'g' : L'm';
}

QueueTexts FormatQueueTexts(const QueueTextInput& input) {
    QueueTextInput in = input;
    if (!Finite(in.need)) in.reachable = false;
    if (!Finite(in.finalGlideMc) || !Finite(in.finalGlideSpeed) || !Finite(in.finalGlideArrival))
        in.finalGlideMc = -1.0F;
    if (!Finite(in.magneticBearing)) in.magneticBearing = 0.0;
    if (!Finite(in.relativeBearing)) in.relativeBearing = 0.0;

    QueueTexts out;
    out.bearing = in.relative ? L">" + Bearing(in) : L":" + Bearing(in) + L"  ";
    if (in.mode == kGlideModeTerrain) TerrainTexts(in, out);
    const bool macCreadyShown = in.mode == kGlideModeMacCready && in.finalGlideMc >= 0.0F;
    if (in.reachable || macCreadyShown) {
        if (in.mode != kGlideModeTerrain) out.requiredGlide = Distance(in);
        if (in.mode == kGlideModeMacCready) {
            MacCreadyTexts(in, out);
        } else if (in.mode == kGlideModeAltitude) {
            AltitudeTexts(in, out);
        }
    } else if (in.mode == kGlideModeTerrain) {
        out.destinationLine = L"       NOGO";
        out.requiredGlide = in.glidePrefix.substr(0, 2);
    } else {
        out.destinationLine = Bearing(in) + L"  NOGO";
        out.requiredGlide = Distance(in);
    }
    return out;
}

}  // namespace glide
