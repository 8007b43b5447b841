// The waypoint file.

#include <cmath>

#include "tools/demo/demo_files.h"
#include "tools/demo/demo_region.h"
#include "tools/demo/text_format.h"
#include "tools/flight_text/file_angles.h"

namespace demo {
namespace {

struct NamedPoint {
    const char* name;
    LocalPoint at;
};

// Points with only a name and a position; their altitude is the terrain's.
const std::vector<NamedPoint>& OtherPoints() {
    static const std::vector<NamedPoint> points{
        {"Demo Buoy 1", {5.0, 15.0}},        {"Demo Buoy 2", {15.0, 5.0}},
        {"Demo Buoy 3", {25.0, 45.0}},       {"Demo Buoy 4", {55.0, 5.0}},
        {"Demo Buoy 5", {55.0, 35.0}},       {"Demo Buoy 6", {35.0, 5.0}},
        {"Demo Buoy 7", {3.0, 40.0}},        {"Demo Buoy 8", {57.0, 47.0}},
        {"Demo Rock", {12.0, 32.0}},         {"Demo Wreck", {22.0, 24.0}},
        {"Demo Shoal", {36.0, 16.0}},        {"Demo Skerry", {46.0, 33.0}},
        {"Demo Hill West", {5.0, 8.0}},      {"Demo Hill Crown", {27.0, 6.0}},
        {"Demo Hill Pike", {18.0, 30.0}},    {"Demo Hill Dome", {27.0, 33.0}},
        {"Demo Hill Fell", {47.0, 10.0}},    {"Demo Hill Knoll", {50.0, 45.0}},
        {"Demo Harbour", {11.5, 20.0}},      {"Demo Port North", {21.0, 42.5}},
        {"Demo Port East", {52.5, 18.5}},    {"Demo Pass", {36.5, 36.0}},
        {"Demo Gap", {32.0, 28.0}},
    };
    return points;
}

// The map symbols the demo's points are drawn with (the built-in icons).
constexpr int kNoSymbol = 0;
constexpr int kAirfieldSymbol = 1;
constexpr int kOutlandingSymbol = 3;
constexpr int kTurnPointSymbol = 13;

// A record line; with a symbol its map values follow the altitude: the
// symbol, drawn at every scale, its name always shown.
std::string RecordLine(const std::string& prefix, const std::string& name, LocalPoint at,
                       double altitudeM, int symbol = kNoSymbol) {
    const LatLon p = ToLatLon(at);
    const std::string map = symbol > kNoSymbol ? Format(", %d,0.0,0.0,0.0,0.0", symbol) : "";
    return Format("%s%s,%s,%.0fM%s\r\n", prefix.c_str(), name.c_str(),
                  flight_text::PointDms(p.latitude, p.longitude).c_str(), altitudeM, map.c_str());
}

}  // namespace

int WaypointCount() {
    return static_cast<int>(Airfields().size() + OutlandingFields().size() + 2 +
                            OtherPoints().size() + 2);
}

std::string WaypointText() {
    std::string text = "ALT[M]\r\n; Demo region: made-up data, not for navigation.\r\n";
    for (const Airfield& field : Airfields())
        text += RecordLine(field.marker ? "^" : "", field.name, field.at, field.elevationM,
                           kAirfieldSymbol);
    const Task& task = TheTask();
    text += RecordLine("", "Demo Turn East", task.turnpoint1,
                       TerrainHeightM(task.turnpoint1), kTurnPointSymbol);
    text += RecordLine("", "Demo Turn North", task.turnpoint2,
                       TerrainHeightM(task.turnpoint2), kTurnPointSymbol);
    for (const Airfield& field : OutlandingFields())
        text += RecordLine("^", field.name, field.at, field.elevationM, kOutlandingSymbol);
    for (const NamedPoint& point : OtherPoints())
        text += RecordLine("", point.name, point.at, TerrainHeightM(point.at));
    text += RecordLine("\\", "Demo Lighthouse", {8.0, 21.0}, 40.0);
    text += "Demo lighthouse on the home island\\white tower, red top\r\n";
    text += Format(";#i%s\r\n", kPictureName);
    text += RecordLine("\\", "Demo Bell Buoy", {40.0, 30.0}, 0.0);
    text += "Demo bell buoy\\rings in a swell\r\n";
    text += Format(";#s%s\r\n", kSoundName);
    return text;
}

}  // namespace demo
