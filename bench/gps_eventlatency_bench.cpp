// Latency from a sentence's LF written to the GPS port to the reader
// handing the sentence on, over a pseudo-terminal, with the real reader
// thread polling (argument 0) or waiting for events (argument 1). Reported
// per iteration, with the median and the 99th percentile in microseconds as
// counters. The sentence's head is written ahead of its LF, as an
// instrument's bytes trickle in, so the time measured is the LF's.
#include <unistd.h>

#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "bench/bench_support.h"
#include "gps/gps_fix_record.h"
#include "gps/gps_port.h"
#include "gps/nmea_parser_state.h"
#include "gps/port_events.h"
#include "gps/port_reader.h"
#include "platform/utf.h"
#include "testing/pseudo_terminal.h"

namespace {

using Clock = std::chrono::steady_clock;

const std::string kRmc =
    "$GPRMC,134749.60,A,4857.88170,N,00705.83929,E,35.9,270.6,281224,,,D*61\r\n";

std::int64_t Now() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch())
        .count();
}

bool WriteAll(int fd, std::string_view bytes) {
    return ::write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
}

void BM_LineFeedToHandOn(benchmark::State& state) {
    const bool events = state.range(0) != 0;
    const test_support::PseudoTerminal pty;
    if (!pty.Valid()) {
        state.SkipWithError("openpty failed");
        return;
    }
    gps::PendingFix = gps::GpsFixRecord{};
    gps::InitGpsFixRecords(nullptr);
    gps::ResetNmeaParserState();
    std::atomic<std::int64_t> handedOn{0};
    std::atomic<std::uint32_t> count{0};
    const gps::GpsInputHandlers standard = gps::DefaultGpsInputHandlers();
    gps::SetGpsInputHandlers({[&](std::span<char> line) {
                                  handedOn = Now();
                                  count.fetch_add(1);
                                  count.notify_one();
                                  return standard.line(line);
                              },
                              standard.frame});
    if (!gps::OpenGpsPort(platform::FromUtf8(pty.Path()))) {
        state.SkipWithError("the port did not open");
        return;
    }
    gps::SetGpsPortPolling(!events);

    const std::string_view head = std::string_view(kRmc).substr(0, kRmc.size() - 1);
    std::vector<double> latencies;
    for (auto _ : state) {
        const std::uint32_t before = count.load();
        if (!WriteAll(pty.Master(), head)) {
            state.SkipWithError("write failed");
            break;
        }
        // The head has been read by the time the LF comes.
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        const std::int64_t written = Now();
        if (!WriteAll(pty.Master(), "\n")) {
            state.SkipWithError("write failed");
            break;
        }
        count.wait(before);
        const double latency = static_cast<double>(handedOn.load() - written) / 1e9;
        state.SetIterationTime(latency);
        latencies.push_back(latency * 1e6);
    }
    gps::CloseGpsPort();
    gps::SetGpsInputHandlers({});
    state.counters["handon_p50_us"] = bench::Percentile(latencies, 0.50);
    state.counters["handon_p99_us"] = bench::Percentile(latencies, 0.99);
}
BENCHMARK(BM_LineFeedToHandOn)
    ->ArgName("events")
    ->Arg(0)
    ->Arg(1)
    ->UseManualTime()
    ->Iterations(1000)
    ->Unit(benchmark::kMicrosecond);

}  // namespace
