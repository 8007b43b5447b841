// The map render at 800 x 480 beside a plain cairo driver drawing the same
// picture (bench/plain_cairo_map.h), interleaved in one run, with the
// project/peer ratios of the median and the 99th percentile; and the
// project's frame end to end (the element layers, the hand-over, the
// composition and the read). The map is generated: 100,000 elements of
// every kind (lines, zones with their outlines, labels, circles) spread
// over a few degrees, in a view of about 6,300 of them and in one of all.
// Run pinned to one core:
//   taskset -c 3 map_render_bench --benchmark_filter=AgainstPlainCairo
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "bench/bench_support.h"
#include "bench/plain_cairo_map.h"
#include "map/map_export.h"
#include "map/map_render.h"
#include "map/map_view_model.h"
#include "mapdata/text_map_reader.h"
#include "platform/utf.h"
#include "testing/generated_map.h"
#include "testing/scratch_folder.h"

namespace {

constexpr int kRecords = 100000;

// Reads the generated map into lists; false when it cannot be read.
bool LoadGeneratedMap(const test_support::ScratchFolder& scratch, mapdata::CMapFile& file,
                      map::MapLists& lists) {
    const auto path = scratch.Write("generated.map", test_support::GeneratedMapText(kRecords));
    if (!file.Open(platform::FromUtf8(path.string()), core::OpenMode::kRead, true) ||
        file.ReadHeader() != mapdata::HeaderResult::kRead) {
        return false;
    }
    mapdata::MapReadContext context;
    mapdata::ParseTextMap(context, file);
    lists.general = std::move(context.general);
    lists.zones = std::move(context.zones);
    lists.symbols17 = std::move(context.symbols17);
    lists.symbols27 = std::move(context.symbols27);
    return true;
}

// The view of the generated map after `zoomSteps` zooms in from the
// fitted scale, centred on 47N 8E.
map::MapRenderInput ViewInput(mapdata::CMapFile& file, int zoomSteps) {
    map::MapViewModel view(file);
    view.client = {800, 480};
    view.AdoptMapHeader();
    view.mapLoaded = 1;
    view.firstFixSeen = 1;
    view.FitMapScale();
    view.SetMapMargin(view.marginFraction);
    for (int i = 0; i < zoomSteps; ++i) view.ZoomMap(true);
    view.CenterMapOn(nav::WaypointRecord(47.0, 8.0, true), true);
    map::MapRenderInput input;
    input.draw.state = view.Published();
    input.draw.clientHeight = 480;
    input.width = 800;
    input.height = 480;
    input.mapLoaded = true;
    input.labelBottom = 477;
    return input;
}

// A frame of the project's render against the plain cairo driver on the
// same view, interleaved (the order alternating) so that the machine's
// load falls on both alike: the element render (RenderMapLayers, the
// canvas finished), the peer's frame, and the project's frame end to end
// (the render, the hand-over, the composition and the read). Argument: the
// zoom steps (4: about 6,300 elements in view; 0: all 100,000).
void BM_MapRenderAgainstPlainCairo(benchmark::State& state) {
    test_support::ScratchFolder scratch("maprenderbench");
    mapdata::CMapFile file;
    map::MapLists lists;
    if (!LoadGeneratedMap(scratch, file, lists)) {
        state.SkipWithError("map not readable");
        return;
    }
    const std::size_t total = lists.general.size() + lists.zones.size() + lists.symbols17.size() +
                              lists.symbols27.size();
    const map::MapRenderInput input = ViewInput(file, static_cast<int>(state.range(0)));
    std::size_t inView = 0;
    for (const auto* list : {&lists.general, &lists.zones, &lists.symbols17, &lists.symbols27}) {
        for (const auto& e : *list)
            inView += e->IntersectsBox(input.draw.state.visibleBox) ? 1 : 0;
    }

    bench::PlainCairoMap plain(lists, input.draw);
    platform::Image plainImage(800, 480);
    platform::CanvasHandover handover;
    auto back = std::make_unique<platform::Canvas>(800, 480);
    platform::Canvas out(800, 480);
    const std::atomic<bool> never{false};
    map::ComposeLayers layers;
    layers.labelBottom = 477;
    bench::PeerTimes times;
    std::vector<double> endToEnd;
    map::LayerTimes sum;
    // Labels shaped once, kept across frames as the render thread keeps them.
    platform::TextRunCache textRuns;
    const auto render = [&] {
        map::LayerTimes laps;
        back->UseTextRuns(&textRuns);
        map::RenderMapLayers(*back, lists, input, never, &laps);
        back->Finish();
        for (std::size_t i = 0; i < sum.ms.size(); ++i) sum.ms[i] += laps.ms[i];
        return true;
    };
    // The hand-over, the composition and the read, added to the render's
    // time for the frame end to end.
    const auto handOver = [&] {
        const auto start = std::chrono::steady_clock::now();
        back = handover.Publish(std::move(back));
        if (!back) back = std::make_unique<platform::Canvas>(800, 480);
        handover.Read([&](const platform::Image& pixels) { map::ComposeMapFrame(out, pixels, layers); });
        endToEnd.push_back(times.project.back() + bench::MillisecondsSince(start));
        return true;
    };
    const auto drawPeer = [&] {
        plain.Draw(plainImage.Surface(), input.draw.state, 800, 480);
        return true;
    };
    if (!bench::AlternateWithPeer(state, times, render, drawPeer, handOver)) {
        state.SkipWithError("a frame failed");
        return;
    }
    if (const char* dump = std::getenv("KV_BENCH_DUMP")) {
        cairo_surface_write_to_png(plainImage.Surface(), (std::string(dump) + "_peer.png").c_str());
        cairo_surface_write_to_png(out.Pixels().Surface(), (std::string(dump) + "_project.png").c_str());
    }
    double pass = 0.0;
    for (const double t : sum.ms) pass += t;
    state.counters["elements"] = static_cast<double>(total);
    state.counters["in_view"] = static_cast<double>(inView);
    bench::ReportAgainstPeer(state, times);
    state.counters["end_to_end_median_ms"] = bench::Percentile(endToEnd, 0.5);
    state.counters["end_to_end_p99_ms"] = bench::Percentile(endToEnd, 0.99);
    const char* names[] = {"share_17", "share_zones", "share_27", "share_overlay", "share_general",
                           "share_waypoints"};
    for (std::size_t i = 0; i < sum.ms.size(); ++i) {
        state.counters[names[i]] = pass > 0.0 ? sum.ms[i] / pass : 0.0;
    }
}
BENCHMARK(BM_MapRenderAgainstPlainCairo)->Arg(4)->Arg(0)->Unit(benchmark::kMillisecond)->Iterations(100);

// The bitmap export of the whole generated map from an 800 x 480 pane at
// the magnification given (24-bit, and 8-bit with the second argument),
// the calibration file included.
void BM_MapExportBitmap(benchmark::State& state) {
    test_support::ScratchFolder scratch("mapexportbench");
    mapdata::CMapFile file;
    map::MapLists lists;
    if (!LoadGeneratedMap(scratch, file, lists)) {
        state.SkipWithError("map not readable");
        return;
    }
    map::MapViewModel view(file);
    view.client = {800, 480};
    view.AdoptMapHeader();
    view.mapLoaded = 1;
    view.FitMapScale();
    view.SetMapMargin(view.marginFraction);
    view.PublishMapTransform();
    const auto scale = static_cast<float>(state.range(0));
    map::ExportJob job;
    job.draw.state = map::ExportTransform(view, scale);
    job.size = map::ExportBitmapSize(view.drawRect, scale);
    job.draw.clientHeight = job.size.height;
    job.bitCount = state.range(1) != 0 ? 8 : 24;
    const auto out = scratch / "export.bmp";
    for (auto _ : state) {
        if (map::ExportMapBitmap(lists, job, out).status != map::ExportStatus::kWritten) {
            state.SkipWithError("export failed");
            return;
        }
    }
    state.counters["width"] = job.size.width;
    state.counters["height"] = job.size.height;
    state.counters["MB"] = static_cast<double>(std::filesystem::file_size(out)) / 1e6;
}
BENCHMARK(BM_MapExportBitmap)->Args({1, 0})->Args({2, 0})->Args({2, 1})->Args({5, 0})
    ->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
