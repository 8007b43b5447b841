// A whole cross-country flight flown through the program as a pilot flies
// it (app/tests/gui/flown_program.h): take-off, the task's triangle
// activated through the task editor, a final glide home and the landing,
// with the receiver's magnetic variation and the flight log recording. At
// each stage the displayed values are checked against what the flight file
// and our waypoint file say, and the IGC file written against the flight's
// B records (times, positions and altitudes).
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "app/tests/gui/flown_program.h"
#include "testing/flight_map.h"
#include "testing/igc_flight.h"
#include "testing/units.h"

namespace {

using namespace std::chrono_literals;

using program_test::AngleBetween;
using program_test::FlightFiles;
using program_test::FlownProgram;
using program_test::LogSave;
using program_test::ReadText;
namespace fs = program_test::fs;
using program_test::kSource;
using test_support::IgcFix;

const fs::path kCrossCountryFlight = kSource / "../shared/testdata/igc/0asljd01.igc";
const fs::path kData = kSource / "app/tests/data";
// What the receiver reports there (degrees east).
constexpr double kVariationEast = 11.6;
using test_support::kFeetPerMetre;
constexpr double kKnotMs = 1852.0 / 3600.0;

const std::vector<IgcFix>& CrossCountryFixes() {
    static const std::vector<IgcFix> fixes = test_support::ReadIgcFile(kCrossCountryFlight);
    return fixes;
}

struct Waypoint {
    std::string name;
    IgcFix at;  // position only
    double elevationM = 0.0;
};

std::vector<std::string> CsvFields(const std::string& line) {
    std::vector<std::string> fields;
    std::istringstream in(line);
    for (std::string field; std::getline(in, field, ',');)
        fields.push_back(field);
    return fields;
}

// Our waypoint file: "name,d,m,s,d,m,s,<metres>M, <symbol>,..." with the
// longitude positive west and the sign of an angle on its degrees.
std::vector<Waypoint> Waypoints() {
    std::vector<Waypoint> points;
    std::istringstream lines(ReadText(kData / "cross_country.dta"));
    for (std::string line; std::getline(lines, line);) {
        const std::vector<std::string> f = CsvFields(line);
        if (f.size() < 8) continue;
        const auto angle = [&f](std::size_t k) {
            const double value =
                std::abs(std::stod(f[k])) + std::stod(f[k + 1]) / 60.0 + std::stod(f[k + 2]) / 3600.0;
            return f[k].starts_with('-') ? -value : value;
        };
        Waypoint point{f[0], {}, std::stod(f[7])};
        point.at.latitude = angle(1);
        point.at.longitude = -angle(4);
        points.push_back(point);
    }
    return points;
}

std::optional<Waypoint> Named(const std::string& name) {
    for (const Waypoint& w : Waypoints()) {
        if (w.name == name) return w;
    }
    return std::nullopt;
}

// The numbers in a text, in order ("36:00'02\" S" gives 36, 0, 2).
std::vector<double> Numbers(const std::string& text) {
    std::vector<double> numbers;
    for (std::size_t i = 0; i < text.size();) {
        if (!std::isdigit(static_cast<unsigned char>(text[i]))) {
            ++i;
            continue;
        }
        std::size_t used = 0;
        const bool negative = i > 0 && text[i - 1] == '-';
        const double value = std::stod(text.substr(i), &used);
        numbers.push_back(negative ? -value : value);
        i += used;
    }
    return numbers;
}

double Magnetic(double trueDeg) {
    const double m = std::fmod(trueDeg - kVariationEast + 360.0, 360.0);
    return m;
}

// Metres per unit a distance text names ("M" statute miles, "N" nautical
// miles, "km"), knots per unit a speed text names.
double DistanceUnitM(const std::string& text) {
    if (text.find("km") != std::string::npos) return 1000.0;
    if (text.find('N') != std::string::npos) return 1852.0;
    return 1609.344;
}
double SpeedUnitKnots(const std::string& text) {
    if (text.find("kph") != std::string::npos) return 1.0 / 1.852;
    if (text.find("Mph") != std::string::npos) return 1.0 / 1.151;
    return 1.0;
}
// Feet per unit an altitude text names ("kF" thousands of feet, "km", "m").
double AltitudeUnitFeet(const std::string& text) {
    if (text.find("kF") != std::string::npos) return 1000.0;
    if (text.find("km") != std::string::npos) return 1000.0 * kFeetPerMetre;
    return kFeetPerMetre;
}

// The ground speed and track a receiver reports at fix i (from the fix
// before, as the sentences carry them).
double SpeedKnots(std::size_t i) {
    const IgcFix& a = CrossCountryFixes()[i - 1];
    const IgcFix& b = CrossCountryFixes()[i];
    return test_support::DistanceM(a, b) / static_cast<double>(b.utc - a.utc) / kKnotMs;
}
double TrackDeg(std::size_t i) {
    return test_support::CourseDeg(CrossCountryFixes()[i - 1], CrossCountryFixes()[i]);
}

// The stages of the flight: take-off, on task toward the first turnpoint,
// on task toward the second, out of a thermal of six circles, the final
// glide home, and the landing.
constexpr std::size_t kTakeOff = 25;
constexpr std::size_t kTaskActivated = 120;
constexpr std::size_t kToNorth = 600;
constexpr std::size_t kToSouth = 2400;
constexpr std::size_t kThermalEntry = 2394;  // the last fix before it turns
constexpr std::size_t kThermalLeft = 2433;
constexpr std::size_t kFinalGlide = 3840;
constexpr std::size_t kLanded = 4010;

FlownProgram FlownCrossCountry(const std::string& name) {
    const test_support::FlightMapPlan plan{.first = 0,
                                           .last = CrossCountryFixes().size() - 1,
                                           .underAt = 1600,
                                           .crossAt = 3000,
                                           .townAt = 3400};
    FlightFiles files;
    files.fixes = &CrossCountryFixes();
    files.waypoints = ReadText(kData / "cross_country.dta");
    files.task = ReadText(kData / "cross_country.tsk");
    files.map = test_support::MakeFlightMap(CrossCountryFixes(), plan).text;
    files.variationEast = kVariationEast;
    files.logSave = LogSave::kIgcFile;
    return FlownProgram(name, std::move(files));
}

// Flies on to fix `last` and waits until the program shows its time.
std::map<std::string, std::string> FlyTo(FlownProgram& flight, std::size_t last) {
    flight.FeedTo(last, std::chrono::milliseconds(10));
    const std::time_t utc = static_cast<std::time_t>(CrossCountryFixes()[last].utc);
    std::tm tm{};
    gmtime_r(&utc, &tm);
    char wanted[16];
    std::snprintf(wanted, sizeof wanted, "%02d'%02d", tm.tm_min, tm.tm_sec);
    std::map<std::string, std::string> texts;
    for (int i = 0; i < 200; ++i) {
        texts = flight.TextsNow();
        if (texts["TimeText"].find(wanted) != std::string::npos) return texts;
        std::this_thread::sleep_for(100ms);
    }
    ADD_FAILURE() << "the program did not reach fix " << last << " (" << wanted
                  << "): it shows " << texts["TimeText"];
    return texts;
}

// The wind as the flight's own drift gives it: circling, the glider's own
// motion through the air cancels out over whole circles, so the ground
// covered in them over their time is the wind's. From fix `from` over as
// many whole circles (by the track turned) as there are before `to`.
struct DriftWind {
    double fromDeg = 0.0;  // where it blows from
    double knots = 0.0;
};
DriftWind WindOfCircles(std::size_t from, std::size_t to) {
    double turned = 0.0;
    std::size_t end = from;
    for (std::size_t i = from + 2; i <= to; ++i) {
        const double before = turned;
        turned += AngleBetween(TrackDeg(i), TrackDeg(i - 1));
        if (std::floor(turned / 360.0) > std::floor(before / 360.0)) end = i;
    }
    const IgcFix& a = CrossCountryFixes()[from];
    const IgcFix& b = CrossCountryFixes()[end];
    const double seconds = static_cast<double>(b.utc - a.utc);
    const double towardDeg = test_support::CourseDeg(a, b);
    return {std::fmod(towardDeg + 180.0, 360.0),
            seconds > 0.0 ? test_support::DistanceM(a, b) / seconds / kKnotMs : 0.0};
}

// The wind the position page shows (" Wnd:  <speed><unit>   <degrees>t")
// against the drift of the circles flown from fix `from` to fix `to`.
void ExpectWindOfCircles(const std::map<std::string, std::string>& texts, std::size_t from,
                         std::size_t to) {
    const DriftWind drift = WindOfCircles(from, to);
    const std::string& text = texts.at("WindText");
    const std::vector<double> shown = Numbers(text);
    ASSERT_GE(shown.size(), 2U) << text;
    SCOPED_TRACE(text + " where the circles drift from " + std::to_string(drift.fromDeg) + " at " +
                 std::to_string(drift.knots) + " kt");
    ASSERT_GT(drift.knots, 5.0) << "no wind to compare";
    EXPECT_NEAR(shown[0] * SpeedUnitKnots(text), drift.knots, 3.0);
    EXPECT_LT(AngleBetween(shown[1], drift.fromDeg), 25.0);
}

// What the position page shows of the fix itself: time, position, ground
// speed, track and altitude.
void ExpectFixShown(const std::map<std::string, std::string>& texts, std::size_t i) {
    const IgcFix& fix = CrossCountryFixes()[i];
    SCOPED_TRACE("fix " + std::to_string(i));
    const auto dms = [](const std::string& text, double degrees, char positive, char negative) {
        const std::vector<double> n = Numbers(text);
        ASSERT_GE(n.size(), 3U) << text;
        const double shown = n[0] + n[1] / 60.0 + n[2] / 3600.0;
        EXPECT_NEAR(shown, std::abs(degrees), 1.0 / 3600.0 + 1e-9) << text;
        EXPECT_NE(text.find(degrees >= 0.0 ? positive : negative), std::string::npos) << text;
    };
    dms(texts.at("LatitudeText"), fix.latitude, 'N', 'S');
    dms(texts.at("LongitudeText"), fix.longitude, 'E', 'W');

    const std::string& speedText = texts.at("GroundSpeedText");
    const std::vector<double> speed = Numbers(speedText);
    ASSERT_FALSE(speed.empty()) << speedText;
    EXPECT_NEAR(speed[0] * SpeedUnitKnots(speedText), SpeedKnots(i), 0.5) << speedText;

    const std::string& trackText = texts.at("TrackText");
    const std::vector<double> track = Numbers(trackText);
    ASSERT_FALSE(track.empty()) << trackText;
    if (SpeedKnots(i) > 5.0) {
        const bool magnetic = trackText.find_first_of("mg") != std::string::npos;
        EXPECT_LT(AngleBetween(track[0], magnetic ? Magnetic(TrackDeg(i)) : TrackDeg(i)), 1.0)
            << trackText << ", true " << TrackDeg(i);
    }

    const std::string& altitudeText = texts.at("AltitudeThousandsText");
    const std::vector<double> altitude = Numbers(altitudeText);
    ASSERT_FALSE(altitude.empty()) << altitudeText;
    const double unitFt = AltitudeUnitFeet(altitudeText);
    // Half the last digit shown (0.1 kF, 0.01 km, 1 m) and the program's
    // own metre of 3.2815 ft.
    const double digitFt = altitudeText.find("kF") != std::string::npos ? 100.0
                           : altitudeText.find("km") != std::string::npos ? 10.0 * kFeetPerMetre
                                                                          : kFeetPerMetre;
    EXPECT_NEAR(altitude[0] * unitFt, fix.gpsAltitudeM * kFeetPerMetre, digitFt / 2.0 + 2.0)
        << altitudeText;
}

// What it shows of the way to the destination: the bearing (magnetic, with
// its letter) and the distance from the fix, and the arrival (an altitude,
// or NOGO when out of reach).
void ExpectDestinationShown(const std::map<std::string, std::string>& texts, std::size_t i,
                            const std::string& name) {
    SCOPED_TRACE("fix " + std::to_string(i) + " to " + name);
    const std::string shown = texts.at("DestinationNameText");
    ASSERT_TRUE(shown == name || shown.ends_with("," + name)) << shown;
    const std::optional<Waypoint> to = Named(name);
    ASSERT_TRUE(to);
    const IgcFix& fix = CrossCountryFixes()[i];
    const double course = test_support::CourseDeg(fix, to->at);
    const double distanceM = test_support::DistanceM(fix, to->at);

    const std::string& bearingText = texts.at("BearingText");
    const std::vector<double> bearing = Numbers(bearingText);
    ASSERT_FALSE(bearing.empty()) << bearingText;
    EXPECT_NE(bearingText.find_first_of("mg"), std::string::npos) << bearingText;
    EXPECT_LT(AngleBetween(bearing[0], Magnetic(course)), 1.0)
        << bearingText << ", true " << course;

    const std::string& distanceText = texts.at("DestinationDistanceText");
    const std::vector<double> distance = Numbers(distanceText);
    ASSERT_FALSE(distance.empty()) << distanceText;
    const double unitM = DistanceUnitM(distanceText);
    EXPECT_NEAR(distance[0] * unitM, distanceM, unitM * 0.05 + distanceM * 0.003) << distanceText;

    // The altitude needed to arrive: above the field by no less than the
    // best glide ratio any glider flies (60) allows, and by no more than a
    // poor one (15) with a safety margin.
    const std::string& line = texts.at("DestinationLineText");
    const std::string need = line.substr(std::min(line.size(), line.find_first_of("mg") + 1));
    ASSERT_EQ(need.find("NOGO"), std::string::npos) << line;
    const std::vector<double> needed = Numbers(need);
    ASSERT_FALSE(needed.empty()) << line;
    const double needFt = needed[0] * AltitudeUnitFeet(need);
    const double fieldFt = to->elevationM * kFeetPerMetre;
    const double distanceFt = distanceM * kFeetPerMetre;
    EXPECT_GT(needFt, fieldFt + distanceFt / 60.0) << line;
    EXPECT_LT(needFt, fieldFt + distanceFt / 15.0 + 2000.0) << line;
}

// The B records the program wrote are the flight's: each at the time,
// position and GNSS altitude of a fix fed (the receiver sends no geoid
// separation; a metre for the feet between), in order, and together they
// cover the flight from take-off to landing.
void ExpectIgcRecordsOfTheFlight(const fs::path& log, std::size_t fed) {
    struct Flown {
        std::string position;
        int gnssAltitudeM = 0;
    };
    std::map<std::string, Flown> flown;  // by time
    std::istringstream flightLines(ReadText(kCrossCountryFlight));
    for (std::string line; std::getline(flightLines, line);) {
        if (line.starts_with("B") && line.size() >= 35)
            flown[line.substr(1, 6)] = {line.substr(7, 17), std::stoi(line.substr(30, 5))};
    }
    const std::string text = ReadText(log);
    ASSERT_FALSE(text.empty()) << log;
    std::istringstream lines(text);
    std::string previous;
    std::size_t records = 0;
    for (std::string line; std::getline(lines, line);) {
        if (!line.starts_with("B")) continue;
        ++records;
        ASSERT_GE(line.size(), 35U) << line;
        const std::string time = line.substr(1, 6);
        const auto found = flown.find(time);
        ASSERT_NE(found, flown.end()) << "no fix at " << line;
        EXPECT_EQ(line.substr(7, 17), found->second.position) << line;
        EXPECT_NEAR(std::stoi(line.substr(30, 5)), found->second.gnssAltitudeM, 1) << line;
        EXPECT_GT(time, previous) << line;
        previous = time;
    }
    // Two fixes pass before logging starts; a busy machine may lose a few
    // more lines, never most.
    EXPECT_GT(records, fed * 9 / 10) << records << " of " << fed;
    EXPECT_NE(text.find("\nG"), std::string::npos) << "the log was not sealed";
}

TEST(ProgramCrossCountry, AFlightFromTakeOffToLandingShowsWhatTheFlightFileSays) {
    FlownProgram flight = FlownCrossCountry("cross_country");
    ASSERT_TRUE(flight.StartAndFlyTo(kTakeOff));

    auto texts = FlyTo(flight, kTakeOff);
    flight.Screenshot("cross_country_take_off");
    ExpectFixShown(texts, kTakeOff);

    // The triangle from the task editor: the start is the destination.
    flight.FeedTo(kTaskActivated);
    ASSERT_TRUE(flight.ActivateTask("cross_country"));
    texts = FlyTo(flight, kTaskActivated + 5);
    ExpectDestinationShown(texts, kTaskActivated + 5, "Homefield");
    EXPECT_TRUE(texts["DestinationNameText"].starts_with("S,")) << texts["DestinationNameText"];

    // Over the start line and on to the first turnpoint.
    texts = FlyTo(flight, kToNorth);
    flight.Screenshot("cross_country_on_task");
    ExpectFixShown(texts, kToNorth);
    ExpectDestinationShown(texts, kToNorth, "Northbend");

    // Round it and on to the second.
    texts = FlyTo(flight, kToSouth);
    ExpectFixShown(texts, kToSouth);
    ExpectDestinationShown(texts, kToSouth, "Southgate");

    // Out of a thermal: the wind its circles drifted in.
    texts = FlyTo(flight, kThermalLeft);
    ExpectWindOfCircles(texts, kThermalEntry, kThermalLeft);

    // Home on the final glide, and a field far away.
    texts = FlyTo(flight, kFinalGlide);
    flight.Screenshot("cross_country_final_glide");
    ExpectFixShown(texts, kFinalGlide);
    ExpectDestinationShown(texts, kFinalGlide, "Homefield");
    EXPECT_TRUE(texts["DestinationNameText"].starts_with("F,")) << texts["DestinationNameText"];
    ASSERT_TRUE(flight.GoTo("Farfield"));
    texts = FlyTo(flight, kFinalGlide + 5);
    ExpectDestinationShown(texts, kFinalGlide + 5, "Farfield");

    // Landed and rolled out.
    ASSERT_TRUE(flight.GoTo("Homefield"));
    texts = FlyTo(flight, kLanded);
    flight.Screenshot("cross_country_landed");
    ExpectFixShown(texts, kLanded);
    ExpectDestinationShown(texts, kLanded, "Homefield");

    for (const std::string& box : flight.Running().Boxes())
        ADD_FAILURE() << box;
    flight.End();
    ExpectIgcRecordsOfTheFlight(flight.IgcLog(), kLanded + 1);
}

}  // namespace
