// maprender MAP --fix LAT,LON --size WxH [--wind KT] --out PNG
//
// Reads a map as the map window's read thread does, centres the view on the
// fix (degrees, north and west positive as map files write them) and draws
// it through the map's render pipeline: the layers into a back canvas, then
// the frame the window paints (button column, scale text in kilometres,
// and with --wind the wind disc), written as a PNG.
#include <cairo.h>

#include <cstdio>
#include <string>
#include <string_view>

#include "map/map_render.h"
#include "map/map_view_model.h"
#include "mapdata/text_map_reader.h"
#include "platform/numbers.h"
#include "platform/utf.h"

namespace {

int Usage() {
    std::fputs("usage: maprender MAP --fix LAT,LON --size WxH [--wind KT] --out PNG\n", stderr);
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

    map::MapRenderInput input;
    input.draw.state = view.Published();
    input.draw.clientHeight = height;
    input.width = width;
    input.height = height;
    input.mapLoaded = true;
    input.labelBottom = height - 3;

    platform::Canvas back(width, height);
    platform::Canvas out(width, height);
    if (!back.Valid() || !out.Valid()) {
        std::fputs("maprender: out of memory\n", stderr);
        return 1;
    }
    const std::atomic<bool> never{false};
    map::RenderMapLayers(back, lists, input, never);
    back.Finish();

    map::ComposeLayers layers;
    layers.scaleText = map::ScaleText(map::ScaleDistance(width, height, view.pixelsPerMile, 1.0));
    layers.labelBottom = input.labelBottom;
    layers.font = input.draw.font;
    layers.windValid = wind >= 0.0F;
    layers.windSpeedKt = wind;
    map::ComposeMapFrame(out, back.Pixels(), layers);
    if (cairo_surface_write_to_png(out.Pixels().Surface(), outPath.c_str()) != CAIRO_STATUS_SUCCESS) {
        std::fprintf(stderr, "maprender: cannot write %s\n", outPath.c_str());
        return 1;
    }
    return 0;
}
