// Classification and parsing of a real capture from a FLARM-equipped
// instrument ($GPRMC, $GPGGA, $GPGSA, $PGRMZ and FLARM traffic), in
// sentences per second on one core; then of its $GPRMC and $GPGGA alone, and
// of $GPRMC and $GPGGA made from the fixes of a real flight. Each line is
// copied into a line buffer first, as the port reader does. Compare builds
// by running them back to back, pinned to one core, several times.
#include <benchmark/benchmark.h>

#include <array>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "gps/gps_fix_record.h"
#include "gps/nmea_classify.h"
#include "gps/nmea_line.h"
#include "gps/nmea_parser_state.h"
#include "services/flarm_library.h"

namespace {

// The shared test data lies beside the repository.
std::vector<std::string> CaptureLines() {
    const std::filesystem::path repository = std::filesystem::path(__FILE__).parent_path() / "..";
    std::ifstream file(repository / "../shared/testdata/nmea/flarm-capture.nmea");
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty() && line.size() < 250) lines.push_back(line + "\r\n");
    }
    return lines;
}

// The position and time sentences of the capture.
std::vector<std::string> RmcAndGgaLines() {
    std::vector<std::string> lines;
    for (const std::string& line : CaptureLines()) {
        if (line.starts_with("$GPRMC") || line.starts_with("$GPGGA")) lines.push_back(line);
    }
    return lines;
}

std::string WithChecksum(const std::string& body) {
    unsigned sum = 0;
    for (const char c : body)
        sum ^= static_cast<unsigned char>(c);
    char tail[8];
    std::snprintf(tail, sizeof tail, "*%02X\r\n", sum);
    return "$" + body + tail;
}

// An RMC and a GGA for every fix ("B" record) of a real flight.
std::vector<std::string> FlightLines() {
    const std::filesystem::path repository = std::filesystem::path(__FILE__).parent_path() / "..";
    std::ifstream file(repository / "../shared/testdata/igc/0asljd01.igc");
    std::vector<std::string> lines;
    int index = 0;
    for (std::string record; std::getline(file, record);) {
        if (record.size() < 35 || record[0] != 'B') continue;
        const std::string time = record.substr(1, 6);
        const std::string lat = record.substr(7, 4) + "." + record.substr(11, 3);
        const std::string lon = record.substr(15, 5) + "." + record.substr(20, 3);
        const std::string hemispheres =
            lat + "," + record.substr(14, 1) + "," + lon + "," + record.substr(23, 1);
        const int altitude = std::atoi(record.substr(30, 5).c_str());
        char text[160];
        std::snprintf(text, sizeof text, "GPRMC,%s.00,A,%s,%.1f,%.1f,281010,,", time.c_str(),
                      hemispheres.c_str(), 40.0 + index % 30 * 0.7, index * 7 % 360 + 0.5);
        lines.push_back(WithChecksum(text));
        std::snprintf(text, sizeof text, "GPGGA,%s.00,%s,1,08,1.1,%d.0,M,48.0,M,,", time.c_str(),
                      hemispheres.c_str(), altitude);
        lines.push_back(WithChecksum(text));
        ++index;
    }
    return lines;
}

void IgnoreFlarm(int, const char*, float, float, int) {}

void RunLines(benchmark::State& bench, const std::vector<std::string>& lines,
              bool flarmPresent) {
    static int flarmObject = 0;
    if (lines.empty()) {
        bench.SkipWithError("capture not found");
        return;
    }
    g_pFlarmObject = flarmPresent ? reinterpret_cast<CFLARMobject*>(&flarmObject) : nullptr;
    gps::SetFlarmTransfer(IgnoreFlarm);
    gps::ResetNmeaParserState();
    std::array<char, 256> buffer{};
    std::size_t accepted = 0;
    for (auto _ : bench) {
        for (const std::string& line : lines) {
            std::memcpy(buffer.data(), line.data(), line.size());
            accepted += gps::HandleNmeaLine({buffer.data(), line.size()}).accepted;
            gps::g_nmeaState.satellites.changed = false;  // the log writer takes it
            gps::PendingFix.valueMask = gps::PendingFix.sourceMask = 0;
        }
    }
    benchmark::DoNotOptimize(accepted);
    bench.SetItemsProcessed(static_cast<std::int64_t>(bench.iterations() * lines.size()));
    g_pFlarmObject = nullptr;
    gps::SetFlarmTransfer(nullptr);
}

void BM_CaptureWithFlarm(benchmark::State& bench) {
    RunLines(bench, CaptureLines(), true);
}
void BM_CaptureWithoutFlarm(benchmark::State& bench) {
    RunLines(bench, CaptureLines(), false);
}
void BM_RmcGgaCapture(benchmark::State& bench) {
    RunLines(bench, RmcAndGgaLines(), false);
}
void BM_RmcGgaFlight(benchmark::State& bench) {
    RunLines(bench, FlightLines(), false);
}

BENCHMARK(BM_CaptureWithFlarm);
BENCHMARK(BM_CaptureWithoutFlarm);
BENCHMARK(BM_RmcGgaCapture);
BENCHMARK(BM_RmcGgaFlight);

}  // namespace
