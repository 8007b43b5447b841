// Latency from a sentence written to the GPS port to the reader handing it
// on (and to its parse), over a pseudo-terminal, with the real reader
// thread. Reported per iteration, with the median and the 99th percentile
// in microseconds as counters.
#include <unistd.h>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "testing/pseudo_terminal.h"
#include "gps/gps_fix_record.h"
#include "gps/gps_port.h"
#include "gps/nmea_parser_state.h"
#include "gps/port_reader.h"
#include "platform/unique_fd.h"
#include "platform/utf.h"

namespace {

using Clock = std::chrono::steady_clock;

const std::string kRmc =
    "$GPRMC,134749.60,A,4857.88170,N,00705.83929,E,35.9,270.6,281224,,,D*61\r\n";

// When the reader handed the last sentence on and when its parse ended.
struct Handoff {
    std::atomic<std::int64_t> handedOn{0};
    std::atomic<std::int64_t> parsed{0};
    std::atomic<std::uint32_t> count{0};
};

std::int64_t Now() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch())
        .count();
}

void BM_SentenceToReaderHandoff(benchmark::State& state) {
    const test_support::PseudoTerminal pty;
    if (!pty.Valid()) {
        state.SkipWithError("openpty failed");
        return;
    }
    const int master = pty.Master();

    gps::PendingFix = gps::GpsFixRecord{};
    gps::InitGpsFixRecords(nullptr);
    gps::ResetNmeaParserState();
    Handoff handoff;
    const gps::GpsInputHandlers standard = gps::DefaultGpsInputHandlers();
    gps::SetGpsInputHandlers({[&](std::span<char> line) {
                                  handoff.handedOn = Now();
                                  const gps::NmeaLineResult result = standard.line(line);
                                  handoff.parsed = Now();
                                  handoff.count.fetch_add(1);
                                  handoff.count.notify_one();
                                  return result;
                              },
                              standard.frame});
    if (!gps::OpenGpsPort(platform::FromUtf8(pty.Path()))) {
        state.SkipWithError("the port did not open");
        return;
    }

    std::vector<double> toHandoff;
    std::vector<double> toParsed;
    for (auto _ : state) {
        const std::uint32_t before = handoff.count.load();
        const std::int64_t written = Now();
        if (::write(master, kRmc.data(), kRmc.size()) != static_cast<ssize_t>(kRmc.size())) {
            state.SkipWithError("write failed");
            break;
        }
        handoff.count.wait(before);
        const double latency = static_cast<double>(handoff.handedOn.load() - written) / 1e9;
        state.SetIterationTime(latency);
        toHandoff.push_back(latency * 1e6);
        toParsed.push_back(static_cast<double>(handoff.parsed.load() - written) / 1e3);
    }
    gps::CloseGpsPort();
    gps::SetGpsInputHandlers({});

    state.counters["handoff_p50_us"] = bench::Percentile(toHandoff, 0.50);
    state.counters["handoff_p99_us"] = bench::Percentile(toHandoff, 0.99);
    state.counters["parsed_p50_us"] = bench::Percentile(toParsed, 0.50);
    state.counters["parsed_p99_us"] = bench::Percentile(toParsed, 0.99);
}
BENCHMARK(BM_SentenceToReaderHandoff)
    ->UseManualTime()
    ->Iterations(5000)
    ->Unit(benchmark::kMicrosecond);

}  // namespace
