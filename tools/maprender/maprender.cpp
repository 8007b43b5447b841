// maprender MAP --fix LAT,LON --size WxH [--track FILE] [--task FILE]
//           [--goto LAT,LON] [--wind KT] --out PNG
//
// Reads a map as the map window's read thread does, centres the view on the
// fix (degrees, north and west positive as map files write them) and draws
// it through the map's render pipeline: the layers into a back canvas that
// is handed over, the stored track drawn onto it as the track thread does,
// then the frame the window paints: the GOTO line from the fix, the task
// layer ANDed, the button column, the scale text in kilometres and with
// --wind the wind disc, written as a PNG.
//
// A track file holds one point a line, oldest first:
//   LAT,LON,CLIMB[,INSTANT]   degrees as above; the filtered and the
//                             instantaneous climb in knots (INSTANT defaults
//                             to CLIMB)
// A task file is a task file as the program writes it; its first task is
// flown (zones, FAI area and legs).
#include <cairo.h>

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/settings_values.h"
#include "map/map_compose.h"
#include "map/map_render.h"
#include "map/map_view_model.h"
#include "map/task_layer_draw.h"
#include "map/track_draw.h"
#include "mapdata/text_map_reader.h"
#include "nav/task_activation.h"
#include "nav/task_file.h"
#include "platform/numbers.h"
#include "platform/utf.h"
#include "platform/whole_file.h"
#include "services/track_cache.h"

namespace {

int Usage() {
    std::fputs("usage: maprender MAP --fix LAT,LON --size WxH [--track FILE] [--task FILE] "
               "[--goto LAT,LON] [--wind KT] --out PNG\n",
               stderr);
    return 2;
}

// "A<sep>B" as two numbers.
template <typename T>
bool ParsePair(std::string_view text, char separator, T& a, T& b) {
    const auto cut = text.find(separator);
    if (cut == std::string_view::npos) return false;
    const auto first = platform::ScanFloat(text.substr(0, cut));
    const auto second = platform::ScanFloat(text.substr(cut + 1));
    if (!first || !second || first->length != cut || second->length != text.size() - cut - 1) {
        return false;
    }
    a = static_cast<T>(first->value);
    b = static_cast<T>(second->value);
    return true;
}

// Track and task files are small; a larger one is refused.
constexpr std::size_t kMaxInput = 16U << 20U;

// Reads the track file into the track cache, oldest first; false (with a
// message) for a line that is not a track point.
bool LoadTrack(const std::string& path) {
    std::string text;
    if (platform::ReadWholeFile(path, text, kMaxInput)) {
        std::fprintf(stderr, "maprender: cannot read %s\n", path.c_str());
        return false;
    }
    std::vector<std::string_view> lines;
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string_view line(text.data() + start, end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (!line.empty()) lines.push_back(line);
        start = end + 1;
    }
    core::g_trackCacheLength = static_cast<int>(std::max<std::size_t>(lines.size(), 2));
    core::g_trackCacheSaveInterval = 1;
    if (core::TrackCacheAlloc() != 1) return false;
    int number = 0;
    for (std::string_view line : lines) {
        ++number;
        std::vector<double> values;
        for (std::size_t start = 0; start <= line.size();) {
            std::size_t end = line.find(',', start);
            if (end == std::string_view::npos) end = line.size();
            const std::string_view field = line.substr(start, end - start);
            const auto value = platform::ScanFloat(field);
            if (!value || value->length != field.size()) values.clear();
            if (!value || value->length != field.size()) break;
            values.push_back(value->value);
            start = end + 1;
        }
        if (values.size() != 3 && values.size() != 4) {
            std::fprintf(stderr, "maprender: %s:%d: not LAT,LON,CLIMB[,INSTANT]\n", path.c_str(), number);
            return false;
        }
        const nav::WaypointRecord p(values[0], values[1], true);
        const auto climb = static_cast<float>(values[2]);
        const auto instant = static_cast<float>(values.size() == 4 ? values[3] : values[2]);
        core::g_trackAttribute = static_cast<std::uint32_t>(core::TrackColourIndex(climb, instant));
        core::TrackCacheAppend({p.x, p.y, p.z, 0, 0});
    }
    return true;
}

// Reads the first task of a task file and flies it: its zones and FAI area
// come to the map through the map's task hook.
std::unique_ptr<nav::CTask> LoadTask(const std::string& path) {
    std::string bytes;
    if (platform::ReadWholeFile(path, bytes, kMaxInput)) {
        std::fprintf(stderr, "maprender: cannot read %s\n", path.c_str());
        return nullptr;
    }
    auto task = std::make_unique<nav::CTask>();
    nav::TaskBlockReader reader(platform::FromUtf8(bytes));
    if (reader.ReadTask(*task) != 0 || !task->IsValid()) {
        std::fprintf(stderr, "maprender: %s: no task\n", path.c_str());
        return nullptr;
    }
    task->ownedCopy = 0;
    task->triangle = task->FindTriangleCorners() != 0 ? 1 : 0;
    nav::SetTaskMapHook(std::make_shared<map::MapTaskHook>());
    nav::ComputeSectorDirections(*task);
    nav::ActivateTask(task.get(), false);
    return task;
}

}  // namespace

int main(int argc, char** argv) {
    std::string mapPath;
    std::string outPath;
    double lat = 0.0;
    double lon = 0.0;
    int width = 0;
    int height = 0;
    float wind = -1.0F;
    bool haveFix = false;
    std::string trackPath;
    std::string taskPath;
    double gotoLat = 0.0;
    double gotoLon = 0.0;
    bool haveGoto = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--fix" && hasValue) {
            haveFix = ParsePair(argv[++i], ',', lat, lon);
            if (!haveFix) return Usage();
        } else if (arg == "--size" && hasValue) {
            if (!ParsePair(argv[++i], 'x', width, height) || width <= 24 || height <= 0 ||
                width > 8000 || height > 8000) {
                return Usage();
            }
        } else if (arg == "--track" && hasValue) {
            trackPath = argv[++i];
        } else if (arg == "--task" && hasValue) {
            taskPath = argv[++i];
        } else if (arg == "--goto" && hasValue) {
            haveGoto = ParsePair(argv[++i], ',', gotoLat, gotoLon);
            if (!haveGoto) return Usage();
        } else if (arg == "--wind" && hasValue) {
            const auto v = platform::ScanFloat(std::string_view(argv[++i]));
            if (!v) return Usage();
            wind = v->value;
        } else if (arg == "--out" && hasValue) {
            outPath = argv[++i];
        } else if (mapPath.empty() && !arg.starts_with("--")) {
            mapPath = arg;
        } else {
            return Usage();
        }
    }
    if (mapPath.empty() || outPath.empty() || !haveFix || width == 0) return Usage();

    mapdata::CMapFile file;
    if (!file.Open(platform::FromUtf8(mapPath), core::OpenMode::kRead, true) ||
        file.ReadHeader() != mapdata::HeaderResult::kRead) {
        std::fprintf(stderr, "maprender: %s: not a readable map\n", mapPath.c_str());
        return 1;
    }
    mapdata::MapReadContext context;
    if (!mapdata::ParseTextMap(context, file)) {
        std::fprintf(stderr, "maprender: %s: the map could not be read to its end\n", mapPath.c_str());
        return 1;
    }
    map::MapLists lists;
    lists.general = std::move(context.general);
    lists.zones = std::move(context.zones);
    lists.symbols17 = std::move(context.symbols17);
    lists.symbols27 = std::move(context.symbols27);
    lists.overlay = std::move(context.overlay);

    map::MapViewModel view(file);
    view.client = {width, height};
    view.AdoptMapHeader();
    view.mapLoaded = 1;
    view.firstFixSeen = 1;
    view.FitMapScale();
    view.SetMapMargin(view.marginFraction);
    view.CenterMapOn(nav::WaypointRecord(lat, lon, true), true);

    if (!trackPath.empty() && !LoadTrack(trackPath)) return 1;
    std::unique_ptr<nav::CTask> task;
    if (!taskPath.empty()) {
        task = LoadTask(taskPath);
        if (!task) return 1;
    }

    map::MapRenderInput input;
    input.draw.state = view.Published();
    input.draw.clientHeight = height;
    input.width = width;
    input.height = height;
    input.mapLoaded = true;
    input.labelBottom = height - 3;

    auto back = std::make_unique<platform::Canvas>(width, height);
    platform::Canvas out(width, height);
    if (!back->Valid() || !out.Valid()) {
        std::fputs("maprender: out of memory\n", stderr);
        return 1;
    }
    const std::atomic<bool> never{false};
    map::RenderMapLayers(*back, lists, input, never);
    platform::CanvasHandover handover;
    handover.Publish(std::move(back));
    if (!trackPath.empty()) {
        const std::atomic<int> go{1};
        map::DrawStoredTrack(handover, input.draw.state, map::TrackStyle{}, core::g_trackCacheLength.load(),
                             go, std::chrono::milliseconds(0));
    }

    map::TaskLayerCanvas taskLayer;
    if (task) taskLayer.Render(width, height, input.draw, 1);

    map::ComposeLayers layers;
    layers.state = input.draw.state;
    layers.taskLayer = taskLayer.Pixels();
    if (haveGoto) {
        layers.gotoLine = map::GotoLineInput{nav::WaypointRecord(lat, lon, true),
                                             nav::WaypointRecord(gotoLat, gotoLon, true)};
    }
    layers.scaleText = map::ScaleText(map::ScaleDistance(width, height, view.pixelsPerMile, 1.0));
    layers.labelBottom = input.labelBottom;
    layers.font = input.draw.font;
    if (wind >= 0.0F) layers.wind = map::WindInput{wind, 0.0};
    map::ComposeFromHandover(out, handover, nullptr, layers);
    int status = 0;
    if (cairo_surface_write_to_png(out.Pixels().Surface(), outPath.c_str()) != CAIRO_STATUS_SUCCESS) {
        std::fprintf(stderr, "maprender: cannot write %s\n", outPath.c_str());
        status = 1;
    }
    if (task) {
        nav::ClearTaskZoneElements();
        nav::g_taskNavigationActive = 0;
        nav::g_currentTask = nullptr;
        nav::SetTaskMapHook(nullptr);
    }
    core::TrackCacheFree();
    return status;
}
