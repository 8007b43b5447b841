// The flight as receiver and instrument sentences.

#include <cmath>
#include <string_view>

#include "tools/demo/demo_region.h"
#include "tools/demo/flight_path.h"
#include "tools/demo/text_format.h"
#include "tools/flight_text/sentence_text.h"

namespace demo {
namespace {

constexpr double kKnot = 1852.0 / 3600.0;
constexpr double kFeetPerMetre = 3.2808;
constexpr double kPressureBelowGpsM = 30.0;
constexpr int kGsaEvery = 10;

std::string TimeOfDay(int second) {
    const int s = kFlightHour * 3600 + second;
    return Format("%02d%02d%02d.00", s / 3600 % 24, s / 60 % 60, s % 60);
}

// Three satellite constellations over the flight: the list changes twice.
const char* Satellites(int second, int count) {
    if (second < count / 3) return "04,07,09,12,16,20,23,26,29";
    if (second < 2 * count / 3) return "04,07,09,12,16,21,23,27,29";
    return "05,07,09,12,16,21,23,27,30";
}

}  // namespace

std::string FlightSentences(const Flight& flight) {
    std::string text;
    const int count = static_cast<int>(flight.samples.size());
    for (const FlightSample& s : flight.samples) {
        const LatLon p = ToLatLon(s.at);
        const std::string position = flight_text::NmeaAngle(p.latitude, true) + "," +
                                     flight_text::NmeaAngle(p.longitude, false);
        const double speedKt = std::hypot(s.groundEastMs, s.groundNorthMs) / kKnot;
        double track = std::atan2(s.groundEastMs, s.groundNorthMs) * 180.0 / 3.14159265358979;
        if (track < 0.0) track += 360.0;
        const double pressureFt = (s.altitudeM - kPressureBelowGpsM) * kFeetPerMetre;
        text += flight_text::Sentence(
            Format("PTAS1,%.0f,%.0f,%.0f,%.1f", 200.0 + s.varioMs / kKnot * 10.0,
                   200.0 + s.averageVarioMs / kKnot * 10.0, pressureFt + 2000.0, s.tasMs / kKnot));
        text += flight_text::Sentence(Format("GPRMC,%s,A,%s,%.2f,%.2f,%02d%02d%02d,,,A",
                                             TimeOfDay(s.second).c_str(), position.c_str(), speedKt,
                                             track, kFlightDay, kFlightMonth, kFlightYear % 100));
        text += flight_text::Sentence(Format("GPGGA,%s,%s,1,09,0.9,%.1f,M,12.0,M,,",
                                             TimeOfDay(s.second).c_str(), position.c_str(),
                                             s.altitudeM));
        if (s.second % kGsaEvery == 0)
            text += flight_text::Sentence(
                Format("GPGSA,A,3,%s,,,,1.6,0.9,1.3", Satellites(s.second, count)));
    }
    return text;
}

std::string FlightGeometryText(const Flight& flight) {
    const FlightEvents& e = flight.events;
    std::string text;
    const auto line = [&text](const char* name, int value) {
        text += Format("%s=%d\n", name, value);
    };
    line("samples", static_cast<int>(flight.samples.size()));
    line("takeoff", e.takeOff);
    line("release", e.release);
    for (int i = 0; i < 3; ++i) {
        text += Format("thermal%d=%d,%d\n", i + 1, e.thermalStart[i], e.thermalEnd[i]);
    }
    line("start", e.start);
    line("turnpoint1", e.turnpoint1);
    line("turnpoint2", e.turnpoint2);
    line("finish", e.finish);
    line("zone_entry", e.zoneEntry);
    line("zone_exit", e.zoneExit);
    line("landing", e.landing);
    line("stopped", e.stopped);
    text += Format("arrival_above_home_m=%.0f\n", e.arrivalAboveHomeM);
    text += Format("wind=%.0f/%.0f\n", kWindFromDeg, kWindKnots);
    // The home field in the settings' form: degrees, longitude west positive.
    const LatLon home = ToLatLon(TheTask().start);
    text +=
        Format("home_latitude=%.6f\nhome_longitude_west=%.6f\n", home.latitude, -home.longitude);
    return text;
}

}  // namespace demo
