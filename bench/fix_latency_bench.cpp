// Latency from a sentence written to the GPS port to the fix it carries
// being published by the fix-processing thread, over a pseudo-terminal with
// the real reader, commit and fix-processing thread. The median and the
// 99th percentile in microseconds are reported as counters.
#include <unistd.h>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "bench/bench_support.h"
#include "testing/pseudo_terminal.h"
#include "fix/fix_commit.h"
#include "fix/fix_processing_thread.h"
#include "gps/gps_port.h"
#include "gps/nav_fix.h"
#include "platform/numbers.h"
#include "platform/unique_fd.h"
#include "platform/utf.h"

namespace {

using Clock = std::chrono::steady_clock;

// An RMC at the given second of the day, with its checksum.
std::string Rmc(int second) {
    const std::string body = platform::FormatC(
        "GPRMC,%02d%02d%02d.00,A,4857.88170,N,00705.83929,E,35.9,270.6,281224,,,D",
        second / 3600 % 24, second / 60 % 60, second % 60);
    unsigned sum = 0;
    for (const char c : body)
        sum ^= static_cast<unsigned char>(c);
    return "$" + body + platform::FormatC("*%02X\r\n", sum);
}

void BM_SentenceToPublishedFix(benchmark::State& state) {
    const test_support::PseudoTerminal pty;
    if (!pty.Valid()) {
        state.SkipWithError("openpty failed");
        return;
    }
    const int master = pty.Master();
    gps::InitGpsData();
    if (!gps::OpenGpsPort(platform::FromUtf8(pty.Path())) || !gps::StartFixProcessing()) {
        state.SkipWithError("the port or the fix-processing thread did not start");
        return;
    }

    std::vector<double> latencies;
    int second = 1;
    for (auto _ : state) {
        const std::string sentence = Rmc(second++);
        const float before = gps::CurrentNav()->fixTimeHours;
        const Clock::time_point written = Clock::now();
        if (::write(master, sentence.data(), sentence.size()) !=
            static_cast<ssize_t>(sentence.size())) {
            state.SkipWithError("write failed");
            break;
        }
        while (gps::CurrentNav()->fixTimeHours == before)
            std::this_thread::yield();
        const std::chrono::duration<double> latency = Clock::now() - written;
        state.SetIterationTime(latency.count());
        latencies.push_back(latency.count() * 1e6);
    }
    gps::CloseGpsPort();
    gps::StopFixProcessing(2000);

    state.counters["published_p50_us"] = bench::Percentile(latencies, 0.50);
    state.counters["published_p99_us"] = bench::Percentile(latencies, 0.99);
}
BENCHMARK(BM_SentenceToPublishedFix)
    ->UseManualTime()
    ->Iterations(3000)
    ->Unit(benchmark::kMicrosecond);

}  // namespace
