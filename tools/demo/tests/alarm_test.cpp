// The airspace alarm (tools/alarmsim) over the demo map as the build wrote
// it, fed the demo flight's fixes as its sentences carry them: the zone the
// flight crosses inside its band alarms at the second the flight file gives,
// and the zone it passes under never does.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "testing/scratch_folder.h"
#include "tools/flight_text/sentence_epochs.h"
#include "testing/units.h"

namespace demo {
namespace {

using test_support::kFeetPerMetre;

using flight_text::Epoch;
using flight_text::SplitEpochs;

namespace fs = std::filesystem;

const fs::path kData = fs::path(KV_BINARY_DIR) / "demo/data";
const fs::path kAlarmsim = fs::path(KV_BINARY_DIR) / "tools/alarmsim/alarmsim";

std::string Read(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// "name=value" lines of the flight file.
std::map<std::string, std::string> FlightFile() {
    std::map<std::string, std::string> values;
    std::istringstream lines(Read(kData / "demo_flight.txt"));
    for (std::string line; std::getline(lines, line);)
        if (const auto at = line.find('='); at != std::string::npos)
            values[line.substr(0, at)] = line.substr(at + 1);
    return values;
}

// "ddmm.mmmm" or "dddmm.mmmm" in degrees.
double Degrees(const std::string& field, int degreeDigits) {
    return std::stod(field.substr(0, degreeDigits)) + std::stod(field.substr(degreeDigits)) / 60.0;
}

// alarmsim's fixes, one per second of the flight, from its $GPGGA: degrees
// north and west positive, the GPS altitude in feet (the zones' default).
std::string AlarmFixes() {
    std::string fixes;
    int second = 0;
    for (const Epoch& epoch : SplitEpochs(Read(kData / "demo_flight.nmea"))) {
        for (const std::string& line : epoch.lines) {
            if (!line.starts_with("$GPGGA,")) continue;
            std::vector<std::string> f;
            std::istringstream fields(line);
            for (std::string field; std::getline(fields, field, ',');) f.push_back(field);
            const double latitude = Degrees(f.at(2), 2) * (f.at(3) == "S" ? -1 : 1);
            const double west = Degrees(f.at(4), 3) * (f.at(5) == "W" ? 1 : -1);
            char text[96];
            std::snprintf(text, sizeof text, "%d %.6f %.6f %.0f\n", second, latitude, west,
                          std::stod(f.at(9)) * kFeetPerMetre);
            fixes += text;
        }
        ++second;
    }
    return fixes;
}

struct Verdict {
    int second;
    bool active;
    int zone;    // its place in the zone list; -1: none
    int serial;  // with a guard, the zone's number in map order from 1
};

std::vector<Verdict> RunAlarmsim(const fs::path& fixes, const std::string& options) {
    const std::string command = "'" + kAlarmsim.string() + "' '" + (kData / "demo_map.map").string() +
                                "' '" + fixes.string() + "' " + options;
    FILE* pipe = ::popen(command.c_str(), "r");
    std::vector<Verdict> verdicts;
    if (pipe == nullptr) return verdicts;
    char line[512];
    while (std::fgets(line, sizeof line, pipe) != nullptr) {
        float second = 0;
        int active = 0, zone = -1, serial = -1;
        if (std::sscanf(line, "%f active=%d zone=%d serial=%d", &second, &active, &zone, &serial) >= 2)
            verdicts.push_back({static_cast<int>(second), active != 0, zone, serial});
    }
    EXPECT_EQ(::pclose(pipe), 0) << command;
    return verdicts;
}

TEST(DemoAlarm, TheCrossedZoneAlarmsAtItsEntrySecondTheZoneAboveNever) {
    ASSERT_TRUE(fs::exists(kAlarmsim)) << kAlarmsim;
    const test_support::ScratchFolder folder("demo-alarm");
    const fs::path fixes = folder.Write("demo.fixes", AlarmFixes());
    const auto flight = FlightFile();
    const int entry = std::stoi(flight.at("zone_entry"));
    const int exit = std::stoi(flight.at("zone_exit"));
    ASSERT_GT(entry, 0);

    // Without guards the alarm is the zone itself: zone 0 (the one crossed
    // inside its band) from its entry to its exit, nothing else all flight.
    const std::vector<Verdict> verdicts = RunAlarmsim(fixes, "--guard 0");
    ASSERT_EQ(verdicts.size(), static_cast<std::size_t>(std::stoi(flight.at("samples"))));
    int first = -1, last = -1;
    for (const Verdict& v : verdicts) {
        if (v.zone == -1) continue;
        EXPECT_EQ(v.zone, 0) << "at second " << v.second;
        EXPECT_TRUE(v.active) << v.second;
        if (first < 0) first = v.second;
        last = v.second;
    }
    EXPECT_NEAR(first, entry, 1);
    EXPECT_NEAR(last + 1, exit, 1);

    // With the demo's horizontal guard of 0.5 nm (each zone read with its
    // enlarged copy, numbered from 1) it warns before the entry, by about the
    // time the glide takes to cover 0.5 nm, and the zone passed under (2)
    // still never alarms.
    int warned = -1;
    for (const Verdict& v : RunAlarmsim(fixes, "--guard 0.5")) {
        if (v.zone == -1) continue;
        EXPECT_EQ(v.serial, 1) << "at second " << v.second;
        if (warned < 0) warned = v.second;
    }
    EXPECT_LT(warned, entry);
    EXPECT_GT(warned, entry - 60);
}

}  // namespace
}  // namespace demo
