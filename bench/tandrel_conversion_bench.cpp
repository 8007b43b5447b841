// Conversion of a generated DAFIF set of 20,000 control airspaces spread over
// 20 x 20 degrees, a third each polygons, circles and polygons with arcs both
// ways, with their country records: read by key, filtered by the box, written
// to a map file. The median of five runs is the figure to watch.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <numbers>
#include <optional>
#include <string>
#include <string_view>

#include "testing/scratch_folder.h"
#include "tools/tandrel/conversion.h"

namespace {

constexpr int kAirspaces = 20000;
constexpr double kRadiusNm = 5.0;

class Yes final : public tandrel::ConversionPrompts {
  public:
    void Tell(std::string_view, std::string_view, std::optional<int>) override {}
    bool Ask(std::string_view, std::string_view) override { return true; }
    void Progress(std::string_view) override {}
};

std::string Fixed(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.6f", value);
    return text;
}

// A point at a bearing (degrees) and distance (nm) from a centre, flat
// earth: close enough for a generated arc's ends.
struct Point {
    double lat, lon;
};
Point Offset(Point centre, double bearing, double nm) {
    const double b = bearing * std::numbers::pi / 180.0;
    return {centre.lat + nm / 60.0 * std::cos(b),
            centre.lon + nm / 60.0 * std::sin(b) / std::cos(centre.lat * std::numbers::pi / 180.0)};
}

// One segment line of BDRY: shape, first point, second point, centre and
// radius in the columns of the file.
std::string Segment(const std::string& id, char shape, std::optional<Point> p1,
                    std::optional<Point> p2, std::optional<Point> centre, double radius) {
    std::string fields[20];
    fields[0] = id;
    fields[5] = std::string(1, shape);
    const auto put = [&fields](std::size_t latColumn, std::optional<Point> p) {
        if (!p) return;
        fields[latColumn] = Fixed(p->lat);
        fields[latColumn + 2] = Fixed(p->lon);
    };
    put(8, p1);
    put(12, p2);
    put(16, centre);
    if (radius > 0) fields[19] = Fixed(radius);
    std::string line = fields[0];
    for (std::size_t i = 1; i < 20; ++i) line += "\t" + fields[i];
    return line + "\r\n";
}

std::string Polygon(const std::string& id, Point c, bool arcs) {
    std::string lines;
    for (int k = 0; k < 6; ++k) {
        const Point a = Offset(c, k * 60.0, kRadiusNm);
        const Point b = Offset(c, (k + 1) * 60.0, kRadiusNm);
        const char shape = !arcs || k % 2 == 0 ? 'G' : (k == 1 ? 'R' : 'L');
        const bool arc = shape != 'G';
        lines += Segment(id, shape, a, b,
                         arc ? std::optional(c) : std::nullopt, arc ? kRadiusNm : 0.0);
    }
    return lines;
}

tandrel::DafifFiles GeneratedFiles() {
    std::string parents =
        "BDRY_IDENT\tTYPE\tNAME\tICAO\tCON_AGCY\tLOC_HDR\tCYCLE_DATE\tCOMM_NAME\tCOMM_FREQ1\t"
        "COMM_FREQ2\tCLASS\tCLASS_EXC\tCLASS_EX_RMK\tLEVEL\tUPPER_ALT\tLOWER_ALT\tRNP\tWGS_DATE\r\n";
    std::string segments =
        "BDRY_IDENT\tSEG_NBR\tNAME\tTYPE\tICAO\tSHAP\tDERIVED\tWGS_DLAT1\tWGS_LAT1\tWGS_DLONG1\t"
        "WGS_LONG1\tWGS_DLAT2\tWGS_LAT2\tWGS_DLONG2\tWGS_LONG2\tWGS_DLAT0\tWGS_LAT0\tWGS_DLONG0\t"
        "WGS_LONG0\tRADIUS1\r\n";
    std::string countries = "BDRY_IDENT\tSEG_NBR\tCTRY_1\r\n";
    for (int i = 0; i < kAirspaces; ++i) {
        const std::string id = "GEN" + std::to_string(100000 + i);
        const Point centre{40.0 + (i % 141) * 0.14, 0.5 + (i / 141) * 0.14};
        parents += id + "\t" + std::to_string(1 + i % 13) + "\tGENERATED " + std::to_string(i) +
                   "\t\t\t\t\t\t118.000\t\t" + std::string(1, static_cast<char>('A' + i % 7)) +
                   "\tN\t\t\t" + (i % 2 == 0 ? "FL100" : "3000AGL") + "\t" +
                   (i % 3 == 0 ? "SURFACE" : "1500AMSL") + "\t\t\r\n";
        switch (i % 3) {
            case 0: segments += Polygon(id, centre, false); break;
            case 1: segments += Segment(id, 'C', std::nullopt, std::nullopt, centre, kRadiusNm); break;
            default: segments += Polygon(id, centre, true); break;
        }
        countries += id + "\t\tED\r\n";
    }
    tandrel::DafifFiles files;
    files.controlParents = tandrel::DafifFile::FromText(parents);
    files.controlSegments = tandrel::DafifFile::FromText(segments);
    files.controlCountries = tandrel::DafifFile::FromText(countries);
    files.specialParents = tandrel::DafifFile::FromText("SUAS_IDENT\r\n");
    files.specialSegments = tandrel::DafifFile::FromText("SUAS_IDENT\r\n");
    files.specialCountries = tandrel::DafifFile::FromText("SUAS_IDENT\r\n");
    return files;
}

void ConvertGeneratedSet(benchmark::State& state) {
    const tandrel::DafifFiles files = GeneratedFiles();
    test_support::ScratchFolder folder("tandrel-bench");
    tandrel::TandrelOptions options;
    options.north = 61;
    options.south = 39;
    options.east = 21;
    options.west = 0;
    options.eastEW = options.westEW = 0;
    options.skipHigh = false;
    options.country = "ED";
    for (int id = tandrel::kFirstClassBox; id <= tandrel::kLastSpecialBox; ++id)
        options.SetBox(id, true);
    options.output = folder / "generated.map";
    std::size_t written = 0;
    std::size_t unsafe = 0;
    for (auto _ : state) {
        Yes prompts;
        const tandrel::ConversionResult result =
            tandrel::RunConversion(options, {&files, "1"}, prompts);
        if (!result.ran) std::abort();
        written = result.written;
        unsafe = result.unsafe.size();
    }
    state.counters["airspaces"] = static_cast<double>(written);
    state.counters["unsafe"] = static_cast<double>(unsafe);
}
BENCHMARK(ConvertGeneratedSet)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(5);

}  // namespace
