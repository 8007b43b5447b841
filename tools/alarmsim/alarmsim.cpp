// alarmsim MAP FIXES [--guard NM] [--below FT] [--above FT]
//
// Reads a map's zones as the map window's read thread does and runs the
// airspace alarm pass over them for each scripted fix, printing the verdict:
// the time, whether the alarm is active, the zone reported (its place in the
// zone list and its serial, or "-") and its flags.
//
// FIXES has one fix a line: SECONDS LAT LON [ALT] [ack], degrees north and
// west positive as map files write them, ALT in feet ("-" or absent: none),
// and "ack" when the pilot acknowledges the reported zone before this pass.
// Lines starting with '#' are comments. After the verdict come the flags of
// every zone in list order.
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>

#include "map/alarm_zone_check.h"
#include "mapdata/text_map_reader.h"
#include "platform/numbers.h"
#include "platform/utf.h"

namespace {

int Usage() {
    std::fputs("usage: alarmsim MAP FIXES [--guard NM] [--below FT] [--above FT]\n", stderr);
    return 2;
}

bool ReadZones(const std::string& path, mapdata::MapReadContext& context) {
    mapdata::CMapFile file;
    if (!file.Open(platform::FromUtf8(path), core::OpenMode::kRead, true)) {
        std::fprintf(stderr, "alarmsim: cannot open %s\n", path.c_str());
        return false;
    }
    if (file.ReadHeader() != mapdata::HeaderResult::kRead) {
        std::fprintf(stderr, "alarmsim: %s: the header is refused\n", path.c_str());
        return false;
    }
    if (!mapdata::ParseTextMap(context, file)) {
        std::fprintf(stderr, "alarmsim: %s: the map could not be read to its end\n", path.c_str());
        return false;
    }
    return true;
}

bool ParseFloat(const std::string& text, float& out) {
    const auto v = platform::ScanFloat(std::string_view(text));
    if (!v || v->length != text.size()) return false;
    out = v->value;
    return true;
}

int IndexOf(const mapdata::ElementList& zones, const mapdata::CMapElement* zone) {
    for (std::size_t i = 0; i < zones.size(); ++i) {
        if (zones[i].get() == zone) return static_cast<int>(i);
    }
    return -1;
}

}  // namespace

int main(int argc, char** argv) {
    std::string mapPath;
    std::string fixesPath;
    float guard = 0.0F;
    map::AlarmGuards guards;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        float* value = arg == "--guard"   ? &guard
                       : arg == "--below" ? &guards.belowFeet
                       : arg == "--above" ? &guards.aboveFeet
                                          : nullptr;
        if (value != nullptr) {
            if (i + 1 >= argc || !ParseFloat(argv[++i], *value)) return Usage();
        } else if (mapPath.empty() && !arg.starts_with("--")) {
            mapPath = arg;
        } else if (fixesPath.empty() && !arg.starts_with("--")) {
            fixesPath = arg;
        } else {
            return Usage();
        }
    }
    if (mapPath.empty() || fixesPath.empty()) return Usage();

    mapdata::MapReadContext context;
    context.horGuardNm = guard;
    if (!ReadZones(mapPath, context)) return 1;
    const mapdata::ElementList& zones = context.zones;

    std::ifstream fixes(fixesPath);
    if (!fixes) {
        std::fprintf(stderr, "alarmsim: cannot open %s\n", fixesPath.c_str());
        return 1;
    }
    mapdata::CMapElement* reported = nullptr;
    std::string line;
    int lineNumber = 0;
    while (std::getline(fixes, line)) {
        ++lineNumber;
        if (line.empty() || line.front() == '#') continue;
        std::istringstream fields(line);
        std::string seconds;
        std::string lat;
        std::string lon;
        std::string altitude;
        std::string ack;
        fields >> seconds >> lat >> lon >> altitude >> ack;
        if (altitude == "ack") std::swap(altitude, ack);
        float t = 0.0F;
        float latDeg = 0.0F;
        float lonDeg = 0.0F;
        float alt = 0.0F;
        const bool hasAltitude = !altitude.empty() && altitude != "-";
        if (!ParseFloat(seconds, t) || !ParseFloat(lat, latDeg) || !ParseFloat(lon, lonDeg) ||
            (hasAltitude && !ParseFloat(altitude, alt)) || (!ack.empty() && ack != "ack")) {
            std::fprintf(stderr, "alarmsim: %s:%d: not a fix\n", fixesPath.c_str(), lineNumber);
            return 1;
        }
        if (ack == "ack" && reported != nullptr) reported->flags |= mapdata::element_flag::kAcknowledged;
        nav::WaypointRecord fix(latDeg, lonDeg, true);
        fix.altitude = alt;
        fix.altitudeKnown = hasAltitude;
        const auto now = std::chrono::system_clock::time_point{} +
                         std::chrono::milliseconds(static_cast<long long>(t * 1000.0F));
        const map::AlarmVerdict v = map::RunAlarmPass(zones, fix, guards, mapdata::kNoTerrain, now);
        if (v.zone != nullptr) reported = v.zone;
        if (v.zone == nullptr) {
            std::printf("%.1f active=%d zone=-", static_cast<double>(t), v.active ? 1 : 0);
        } else {
            std::printf("%.1f active=%d zone=%d serial=%d flags=%02x", static_cast<double>(t),
                        v.active ? 1 : 0, IndexOf(zones, v.zone), v.zone->zoneSerial, v.zone->flags);
        }
        std::fputs(" all=", stdout);
        for (std::size_t i = 0; i < zones.size(); ++i) {
            std::printf(i == 0 ? "%02x" : ",%02x", zones[i]->flags);
        }
        std::fputc('\n', stdout);
    }
    return 0;
}
