// Map loading as the map read thread does it: a generated text map of about
// 50 MB (100,000 records of every kind: filled lines, airspace zones with
// their enlarged copies, labels, symbols with circles, arcs, point markers)
// and its binary form, plus one map per kind. Reports MB/s and the bytes
// each element takes in either form.
#include <unistd.h>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "mapdata/binary_map.h"
#include "mapdata/text_map_reader.h"
#include "platform/numbers.h"
#include "platform/utf.h"

namespace {

enum class Kind { kLine, kZone, kLabel, kSymbol, kArc, kMarker, kMixed };
constexpr const char* kKindNames[] = {"line", "zone", "label", "symbol", "arc", "marker", "mixed"};
constexpr int kVertices = 60;

std::string Point(int i, int k) {
    return platform::FormatC("%d,%d,%d,%d,%d,%d,", 45 + i % 5, (i / 5 + k) % 60, (k * 7) % 60,
                             -(5 + i % 7), (i / 7 + 2 * k) % 60, (k * 11) % 60);
}

std::string Record(Kind kind, int i) {
    std::string out;
    switch (kind) {
        case Kind::kLine:
            out = Point(i, 0) + "-2,12\r\n";
            for (int k = 1; k < kVertices; ++k) out += Point(i, k) + "-1," + std::to_string(k % 16 + 1) + "\r\n";
            return out;
        case Kind::kZone:
            out = Point(i, 0) + "-7,;9500,1500\r\n" + Point(i, 0) + "-5,TMA " + std::to_string(i) +
                  " #!\r\n" + Point(i, 0) + "-2,18,255,0,0,3\r\n";
            for (int k = 1; k < kVertices; ++k) out += Point(i, k) + "-1\r\n";
            return out;
        case Kind::kLabel:
            return Point(i, 0) + "-5,Town " + std::to_string(i) + "\\centre\r\n";
        case Kind::kSymbol:
            return Point(i, 0) + "4,^350M^@2.5,27MAirfield " + std::to_string(i) + ",1,20\r\n";
        case Kind::kArc:
            return Point(i, 0) + "-4,@3,10,80,2M#5,100,170M\r\n";
        case Kind::kMarker:
            return Point(i, 0) + "-11,Dropped\r\n";
        case Kind::kMixed:
            break;
    }
    return Record(static_cast<Kind>(i % 6), i / 6);
}

struct MapFiles {
    std::filesystem::path text;
    std::filesystem::path binary;
    std::size_t elements = 0;
};

std::size_t Count(const mapdata::MapReadContext& c) {
    return c.general.size() + c.zones.size() + c.symbols17.size() + c.symbols27.size();
}

bool Load(const std::filesystem::path& path, mapdata::MapReadContext& context) {
    mapdata::CMapFile file;
    if (!file.Open(platform::FromUtf8(path.string()), core::OpenMode::kRead, true)) return false;
    if (file.ReadHeader() != mapdata::HeaderResult::kRead) return false;
    return mapdata::ParseTextMap(context, file);
}

// The generated maps, removed at exit.
struct MadeFiles {
    std::map<Kind, MapFiles> files;
    ~MadeFiles() {
        std::error_code ec;
        for (const auto& [kind, f] : files) {
            std::filesystem::remove(f.text, ec);
            std::filesystem::remove(f.binary, ec);
        }
    }
};

const MapFiles& FilesFor(Kind kind) {
    static MadeFiles madeFiles;
    auto& made = madeFiles.files;
    auto it = made.find(kind);
    if (it != made.end()) return it->second;
    MapFiles files;
    const std::string stem = std::filesystem::temp_directory_path() /
                             ("kv_mapload_bench_" + std::to_string(::getpid()) + "_" +
                              kKindNames[static_cast<int>(kind)]);
    files.text = stem + ".map";
    files.binary = stem + ".gpm";
    {
        std::ofstream out(files.text, std::ios::binary);
        out << "50,0,0,-12,0,0,44,0,0,-4,0,0,10M,0\r\n*0,0\r\n";
        const int records = kind == Kind::kMixed ? 100000 : 20000;
        for (int i = 0; i < records; ++i) out << Record(kind, i);
    }
    mapdata::MapReadContext context;
    context.horGuardNm = 1.0F;
    Load(files.text, context);
    files.elements = Count(context);
    mapdata::CMapFile header;
    header.Open(platform::FromUtf8(files.text.string()), core::OpenMode::kRead, true);
    (void)header.ReadHeader();
    mapdata::WriteBinaryMap({context.general, context.zones, context.symbols17, context.symbols27},
                            header.HeaderText(), files.binary);
    return made.emplace(kind, files).first->second;
}

void LoadMap(benchmark::State& state, Kind kind, bool binary) {
    const MapFiles& files = FilesFor(kind);
    const auto& path = binary ? files.binary : files.text;
    const auto bytes = std::filesystem::file_size(path);
    for (auto _ : state) {
        mapdata::MapReadContext context;
        context.horGuardNm = 1.0F;
        if (!Load(path, context) || Count(context) != files.elements) {
            state.SkipWithError("the map did not read");
            break;
        }
        benchmark::DoNotOptimize(context.general.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(bytes) * state.iterations());
    state.counters["MB"] = static_cast<double>(bytes) / 1e6;
    state.counters["elements"] = static_cast<double>(files.elements);
    state.counters["bytes_per_element"] =
        static_cast<double>(bytes) / static_cast<double>(files.elements);
}

void RegisterAll() {
    for (int k = 0; k <= static_cast<int>(Kind::kMixed); ++k) {
        for (const bool binary : {false, true}) {
            const std::string name = std::string("MapLoad/") + kKindNames[k] + (binary ? "/binary" : "/text");
            benchmark::RegisterBenchmark(name.c_str(), [k, binary](benchmark::State& s) {
                LoadMap(s, static_cast<Kind>(k), binary);
            })->Unit(benchmark::kMillisecond);
        }
    }
}

const bool registered = (RegisterAll(), true);

}  // namespace
