// Writes the whole demo data set into a folder.

#include <fstream>
#include <stdexcept>

#include "tools/demo/demo_files.h"
#include "tools/demo/flight_path.h"

namespace demo {
namespace {

namespace fs = std::filesystem;

// Written beside and renamed over, so a build stopped half-way leaves no
// half file for the next run.
void Write(const fs::path& path, const std::string& bytes) {
    const fs::path temporary = path.string() + ".part";
    {
        std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
        file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (!file.flush()) throw std::runtime_error("cannot write " + temporary.string());
    }
    fs::rename(temporary, path);
}

}  // namespace

DemoLayout LayoutOf(const fs::path& demoFolder) {
    return {demoFolder / "data", demoFolder / "documents" / "KOR_VAN WinCE"};
}

void WriteDemoData(const fs::path& demoFolder) {
    const DemoLayout layout = LayoutOf(demoFolder);
    fs::create_directories(layout.data);
    fs::create_directories(layout.sounds);
    const fs::path& d = layout.data;

    const std::vector<std::int16_t> samples = GridSamples();
    Write(d / "demo_terrain.hdr", GridHeaderText("demo_terrain"));
    Write(d / "demo_terrain.bin", GridBytes(samples));
    Write(d / "demo_waypoints.dta", WaypointText());
    Write(d / "demo_task.tsk", TaskText());
    Write(d / "demo_glider.plr", PolarText());
    Write(d / "demo_map.map", MapText());
    Write(d / kIncludeName, IncludeMapText());
    Write(d / "demo_overlay.map", OverlayMapText());

    const Flight flight = FlyDemoFlight();
    Write(d / "demo_flight.nmea", FlightSentences(flight));
    Write(d / "demo_flight.txt", FlightGeometryText(flight));

    // The program's own tones, and the files the waypoints attach.
    Write(layout.sounds / "korvn!lt.wav", WavTone(880.0, 0.3));
    Write(layout.sounds / "korvn!fs.wav", WavTone(660.0, 0.5));
    Write(layout.sounds / "korvn!sl.wav", WavTone(440.0, 0.4));
    Write(layout.sounds / kSoundName, WavTone(523.0, 0.8));
    Write(layout.sounds / kPictureName, BmpPicture());
}

}  // namespace demo
