// Classification and parsing of a real capture from a FLARM-equipped
// instrument ($GPRMC, $GPGGA, $GPGSA, $PGRMZ and FLARM traffic), in
// sentences per second on one core. Each line is copied into a line buffer
// first, as the port reader does.
#include <benchmark/benchmark.h>

#include <array>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/flarm_library.h"
#include "gps/gps_fix_record.h"
#include "gps/nmea_classify.h"
#include "gps/nmea_line.h"
#include "gps/nmea_parser_state.h"

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

void IgnoreFlarm(int, const char*, float, float, int) {}

void RunCapture(benchmark::State& bench, bool flarmPresent) {
    static int flarmObject = 0;
    const std::vector<std::string> lines = CaptureLines();
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
    RunCapture(bench, true);
}
void BM_CaptureWithoutFlarm(benchmark::State& bench) {
    RunCapture(bench, false);
}

BENCHMARK(BM_CaptureWithFlarm);
BENCHMARK(BM_CaptureWithoutFlarm);

}  // namespace
