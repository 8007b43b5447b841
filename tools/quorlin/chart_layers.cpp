#include "tools/quorlin/chart_layers.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>

#include "platform/numbers.h"
#include "platform/whole_file.h"
#include "tools/quorlin/e00_file.h"
#include "tools/quorlin/e00_rings.h"
#include "tools/quorlin/input_checks.h"
#include "tools/quorlin/outline_map.h"
#include "tools/quorlin/map_tiles.h"

namespace quorlin {
namespace {

constexpr double kLabelMargin = 0.0001;
constexpr float kKmToDegrees = 0.009208104f;
constexpr float kFeetToMetres = 0.30478513f;
constexpr double kWholeRun = 1000.0;

std::string Trim(std::string text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

}  // namespace

bool WriteChartOutput(const std::filesystem::path& path, const std::string& text, QuorlinUi& ui) {
    if (!platform::ReplaceWholeFile(path, text)) return true;
    ui.Message("Could not open output file", Icon::kStop);
    return false;
}

namespace {

bool WriteOutput(const std::filesystem::path& path, const std::string& text, QuorlinUi& ui) {
    return WriteChartOutput(path, text, ui);
}

}  // namespace

const char* LayerTableSuffix(const LayerFlags& layer) {
    return layer.point || layer.aepoint || layer.pppoly || layer.lcpoly ? "pat" : "aat";
}

void ReadLayerRecords(CInfoTable& table) {
    std::vector<std::string> wanted;
    for (const std::string* name : {&table.NameItem(), &table.ValueItem(), &table.TypeItem(), &table.AreaItem(),
                                    &table.IdItem(), &table.RecordItem()}) {
        if (!name->empty()) wanted.push_back(*name);
    }
    table.ReadRecords(&wanted);
}

std::unique_ptr<CInfoTable> LoadChartTable(const ChartJob& job, const char* suffix) {
    auto table = std::make_unique<CInfoTable>(job.input, suffix ? suffix : LayerTableSuffix(job.layer));
    if (!table->Open()) return nullptr;
    ReadLayerRecords(*table);
    return table;
}

std::string TableProblem(const CInfoTable* table) {
    if (!table || static_cast<long long>(table->RecordCount()) >= table->DeclaredRecords()) return {};
    return platform::FormatC("Its table %s breaks off after %zu of its %d records.", table->TableName().c_str(),
                             table->RecordCount(), table->DeclaredRecords());
}

namespace {

// The table read when the file was chosen, or else one read now into `owned`.
const CInfoTable* LayerTable(const ChartJob& job, std::unique_ptr<CInfoTable>& owned) {
    if (job.table) return job.table;
    owned = LoadChartTable(job);
    return owned.get();
}

// Refuses what is not a readable interchange file, in a box.
bool CheckE00(E00File& file, QuorlinUi& ui) {
    if (!file.IsOpen()) {
        ui.Message("Error opening Data file", Icon::kStop);
        return false;
    }
    switch (ReadE00Start(file)) {
        case E00Start::kReadable: return true;
        case E00Start::kCompressed:
            ui.Message("Compressed E00 files cannot be read.\n\nExport the layer uncompressed.", Icon::kStop);
            return false;
        case E00Start::kNotE00: break;
    }
    ui.Message("The data file is not an E00 file", Icon::kStop);
    return false;
}

// The output bounds are degrees: a layer in projected metres brings its
// bounds in metres from its bounds table.
bool CheckBounds(const ChartJob& job, QuorlinUi& ui) {
    const core::GeoBox& b = job.bounds;
    if (InGeographicRange(b.west, b.south) && InGeographicRange(b.east, b.north)) return true;
    RefuseInput(ui, job.input,
                platform::FormatC("Its output bounds (south %.6g, north %.6g, west %.6g, east %.6g) lie outside the "
                                  "longitudes -180 to 180 and latitudes -90 to 90: the layer is not in degrees (a "
                                  "projected layer?). Only layers in degrees can be converted.",
                                  b.south, b.north, b.west, b.east));
    return false;
}

// Joins the damages found; true when there are none or the user wants the
// partial map all the same.
bool AcceptDamage(const ChartJob& job, const std::vector<std::string>& problems, QuorlinUi& ui) {
    std::string text;
    for (const std::string& problem : problems) {
        if (problem.empty()) continue;
        text += (text.empty() ? "" : "\n") + problem;
    }
    return text.empty() || AskForPartialMap(ui, job.input, text);
}

bool InsideLabelBounds(const core::GeoBox& b, double x, double y) {
    return b.south - kLabelMargin < y && y < b.north + kLabelMargin && b.west - kLabelMargin < x &&
           x < b.east + kLabelMargin;
}

int Truncated(const CInfoValue& v) {
    return v.kind == InfoKind::kReal ? static_cast<int>(v.real) : v.integer;
}

std::string WithoutExtension(const std::filesystem::path& output) {
    std::string text = MapPath(output).string();
    return text.substr(0, text.size() - 4);
}

}  // namespace

std::string ChartHeader(const core::GeoBox& b, double mapScale) {
    return platform::FormatC("%lf,0,0,%lf,0,0,%lf,0,0,%lf,0,0,5M,%0.0lf\r\n\r\n", b.south, -b.east, b.north, -b.west,
                             mapScale);
}

std::string CapitaliseWords(std::string text) {
    bool start = true;
    for (char& c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x80) c = static_cast<char>(start ? std::toupper(u) : std::tolower(u));
        start = c == ' ';
    }
    return text;
}

std::string LabelText(const CInfoTable* table, int record, bool aepoint, int borderIndex, int& symbol) {
    symbol = borderIndex;
    const auto lookup = [&](const std::string& item) -> const CInfoValue* {
        return table && !item.empty() ? table->Lookup(item, record) : nullptr;
    };
    const CInfoValue* value = lookup(table ? table->ValueItem() : std::string());
    std::string label = "???";
    if (!table || table->NameItem().empty()) {
        if (value && value->kind == InfoKind::kReal) label = platform::FormatC("%0.0lf", value->real);
        else if (value && value->kind == InfoKind::kInteger) label = platform::FormatC("%d", value->integer);
        else if (value) label = value->text;
    } else {
        const CInfoValue* name = lookup(table->NameItem());
        std::string text = name && (name->kind == InfoKind::kText) ? CapitaliseWords(name->text) : std::string();
        if (Trim(text).empty()) text = "???";
        label = text;
        if (aepoint && value && value->kind == InfoKind::kReal) {
            label = platform::FormatC("^%0.0lf^%s", value->real, text.c_str());
        } else if (aepoint && value && value->kind == InfoKind::kInteger) {
            label = platform::FormatC("^%d^%s", value->integer, text.c_str());
        }
        if (aepoint) {
            if (const CInfoValue* type = lookup(table->TypeItem())) symbol = Truncated(*type);
        }
    }
    std::replace(label.begin(), label.end(), '\r', ' ');
    std::replace(label.begin(), label.end(), '\n', ' ');
    label = Trim(label);
    return label.empty() ? "???" : label;
}

ChartResult ConvertChartLabels(const ChartJob& job, QuorlinUi& ui) {
    E00File file(job.input);
    if (!CheckE00(file, ui) || !CheckBounds(job, ui)) return {};
    int precision = 2;
    if (!FindE00Section(file, "LAB ", precision)) {
        ui.Message("The data file has no label section", Icon::kStop);
        return {};
    }
    std::string problem;
    const auto labels = ReadE00Labels(file, precision, &problem);
    for (const E00Label& l : labels) {
        if (InGeographicRange(l.x, l.y)) continue;
        RefuseInput(ui, job.input, OutOfRangeText(l.x, l.y));
        return {};
    }
    if (labels.empty()) {
        RefuseInput(ui, job.input, problem.empty() ? "Its label section holds no label." : problem);
        return {};
    }
    std::unique_ptr<CInfoTable> owned;
    const CInfoTable* table = LayerTable(job, owned);
    if (!AcceptDamage(job, {problem, TableProblem(table)}, ui)) return {};
    ui.Progress("Writing Data File");
    ui.Pump();
    std::string out = ChartHeader(job.bounds, job.mapScale);
    int count = 0;
    for (const E00Label& l : labels) {
        ++count;
        int symbol = 0;
        const std::string text = LabelText(table, count, job.layer.aepoint, job.borderColourIndex, symbol);
        if (!InsideLabelBounds(job.bounds, l.x, l.y)) continue;
        out += platform::FormatC("%lf,0,0,%lf,0,0,%d,%s\r\n", l.y, -l.x, symbol, text.c_str());
    }
    ui.Progress("");
    return {WriteOutput(job.output, out, ui), std::nullopt};
}

namespace {

// Values and line types from the arc attribute table; false after the
// retrieval error box. With a table cut short (and a partial map wanted),
// the arcs whose records were lost are left out instead.
bool SetLineValues(std::vector<CE00Polyline>& arcs, const CInfoTable& table, bool tableCutShort, ChartResult& result,
                   QuorlinUi& ui) {
    ui.Progress("Setting Line Values");
    ui.Pump();
    float lowest = -10000.0f, highest = -10000.0f;
    bool first = true;
    for (std::size_t i = 0; i < arcs.size(); ++i) {
        if (i % 100 == 0) {
            ui.Progress(platform::FormatC("Setting Line Values - %ld", static_cast<long>(i)));
            ui.Pump();
        }
        CE00Polyline& arc = arcs[i];
        const CInfoValue* value = table.Lookup(table.ValueItem(), arc.coverageNumber);
        if (!value && tableCutShort) {
            arc.points.clear();
            continue;
        }
        if (!value) {
            ui.Message("Error in data retrieval (line 921)", Icon::kStop, "File Error");
            return false;
        }
        arc.value = static_cast<float>(Truncated(*value));
        if (!table.TypeItem().empty()) {
            if (const CInfoValue* type = table.Lookup(table.TypeItem(), arc.coverageNumber)) arc.lineType = Truncated(*type);
        }
        if (arc.value >= 30000.0f) continue;
        if (first) lowest = highest = arc.value, first = false;
        lowest = std::min(lowest, arc.value);
        highest = std::max(highest, arc.value);
    }
    std::erase_if(arcs, [](const CE00Polyline& arc) { return arc.points.empty(); });
    result.elevations = std::pair{lowest * kFeetToMetres, highest * kFeetToMetres};
    return true;
}

std::string LinesText(const std::vector<CE00Polyline>& lines, const ChartJob& job, float xScale) {
    std::string out;
    const float tolerance = job.lineToleranceKm * kKmToDegrees;
    for (const CE00Polyline& line : lines) {
        CE00Polyline simple;
        if (job.simplify && line.Simplify(tolerance, xScale, 0.0f, simple)) {
            simple.UpdateBounds();
            simple.UpdateClosed();
            simple.WriteMapPolyline(out, job.borderColourIndex, 0, 0, 0, 0, false, kWholeRun);
        } else {
            line.WriteMapPolyline(out, job.borderColourIndex, 0, 0, 0, 0, false, kWholeRun);
        }
    }
    return out;
}

// Contours split by value into "_%04.0f.map" files, each listed in the
// output by a "?name" line and starting with the output bounds' header.
bool WriteValueFiles(const std::vector<CE00Polyline>& lines, const ChartJob& job, float xScale, QuorlinUi& ui) {
    std::map<float, std::vector<CE00Polyline>> byValue;
    for (const CE00Polyline& line : lines) byValue[line.value].push_back(line);
    const core::GeoBox& box = job.bounds;
    std::string index = ChartHeader(job.bounds, job.mapScale);
    ui.Progress("Writing Data File");
    ui.Pump();
    const std::string stem = WithoutExtension(job.output);
    for (const auto& [value, group] : byValue) {
        const std::filesystem::path path = stem + platform::FormatC("_%04.0f.map", static_cast<double>(value));
        if (!WriteOutput(path, MapHeaderLine(box) + LinesText(group, job, xScale), ui)) return false;
        index.append("?").append(path.filename().string()).append("\r\n");
    }
    return WriteOutput(job.output, index, ui);
}

// Contour arcs assembled into rings, nested, and written as filled
// polygons: quadrangle tiles listed in the output, and on request one full
// map as well.
bool WriteElevationMap(std::vector<CE00Polyline>& arcs, const ChartJob& job, float xScale, QuorlinUi& ui) {
    const bool full = ui.Ask(kMapGenerationQuestion, "Map Generation");
    std::vector<int> remaining = ListPolygonNumbers(arcs, job.e00.bndPoly);
    RingList rings;
    {
        RingAssembly assembly(arcs, job.e00);
        for (long count = 1; !remaining.empty(); ++count) {
            const int polygon = remaining.front();
            ui.Progress(platform::FormatC("Creating polygons - %ld : %d", count, polygon));
            ui.Pump();
            assembly.BuildRingNode(rings, remaining, polygon, nullptr, nullptr);
        }
    }
    SortRings(rings, [&ui](long count, int polygon) {
        ui.Progress(platform::FormatC("Sorting polygons - %ld : %d", count, polygon));
        ui.Pump();
    });
    for (auto& ring : rings) ComputeRingValues(*ring);
    const FillStyle style{&job.colours, &job.thresholds, job.lineToleranceKm, xScale};
    // `progress` names the file in the running text: " - " for the full
    // map, " ...name - " for a tile.
    const auto polygons = [&](const core::GeoBox& box, const std::string& progress) {
        std::string text = MapHeaderLine(box);
        long count = 0;
        for (const auto& ring : rings) {
            ui.Progress(platform::FormatC("Writing polygons to file%s%ld : %d", progress.c_str(), ++count, ring->id));
            ui.Pump();
            WriteE00Fill(*ring, text, ElevationPen(ring->value), -17, box, job.simplify, false, style);
        }
        return text;
    };
    const core::GeoBox& map = job.bounds;
    const std::string stem = WithoutExtension(job.output);
    if (full) {
        ui.Progress("Writing Data File");
        ui.Pump();
        if (!WriteOutput(stem + "_full.map", polygons(map, " - "), ui)) return false;
    }
    std::string index = ChartHeader(job.bounds, job.mapScale);
    const auto [width, height] = TileSize(job.e00.quadSize, map);
    if (width <= 0 || height <= 0) return WriteOutput(job.output, index, ui);
    int row = 1;
    for (double south = map.south; south < map.north; south += height, ++row) {
        int column = 1;
        for (double west = map.west; west < map.east; west += width, ++column) {
            const core::GeoBox tile{west, south, std::min(west + width, map.east), std::min(south + height, map.north)};
            const std::filesystem::path path = stem + platform::FormatC("_%d_%d.map", row, column);
            const std::string name = path.filename().string();
            ui.Progress(platform::FormatC("Writing Data File ...%s", name.c_str()));
            ui.Pump();
            if (!WriteOutput(path, polygons(tile, " ..." + name + " - "), ui)) return false;
            index.append("?").append(name).append("\r\n");
        }
    }
    ui.Progress("Cleaning up and freeing memory");
    ui.Pump();
    return WriteOutput(job.output, index, ui);
}

}  // namespace

int ElevationPen(float feet) {
    static constexpr int kPens[] = {9, 10, 11, 12, 14, 16, 15, 13, 2, 3, 5, 6, 7, 4};
    const float thousands = std::trunc(feet / 1000.0f);
    if (thousands < 0 || thousands > 13) return 8;
    return kPens[static_cast<int>(thousands)];
}

ChartResult ConvertChartLines(const ChartJob& job, QuorlinUi& ui) {
    ChartResult result;
    const LayerFlags& layer = job.layer;
    {
        E00File file(job.input);
        if (!CheckE00(file, ui) || !CheckBounds(job, ui)) return result;
    }
    ui.Progress("Loading Lines Data");
    ui.Pump();
    E00ArcSection section = ReadE00ArcSection(job.input);
    std::vector<CE00Polyline>& arcs = section.arcs;
    for (const CE00Polyline& arc : arcs) {
        for (const E00Point& p : arc.points) {
            if (InGeographicRange(p.x, p.y)) continue;
            RefuseInput(ui, job.input, OutOfRangeText(p.x, p.y));
            return result;
        }
    }
    if (arcs.empty()) {
        RefuseInput(ui, job.input, section.problem.empty() ? "It holds no arc." : section.problem);
        return result;
    }
    const auto xScale = static_cast<float>(1.0 / std::cos((job.bounds.north + job.bounds.south) * 0.00872638888888889));
    ChartJob writing = job;
    if (layer.hynet && job.simplify) {
        const float tolerance = job.lineToleranceKm * kKmToDegrees;
        for (CE00Polyline& arc : arcs) {
            CE00Polyline simple;
            if (!arc.Simplify(tolerance, xScale, 0.0f, simple)) continue;
            simple.UpdateBounds();
            simple.UpdateClosed();
            simple.orientation = arc.orientation;
            simple.coverageId = arc.coverageId, simple.coverageNumber = arc.coverageNumber;
            simple.fromNode = arc.fromNode, simple.toNode = arc.toNode;
            simple.leftPolygon = arc.leftPolygon, simple.rightPolygon = arc.rightPolygon;
            simple.value = arc.value, simple.lineType = arc.lineType;
            arc = std::move(simple);
        }
        writing.simplify = false;
    }
    // Arcs take values only from an arc attribute table, whose records are
    // the arcs. Cities and land cover hold a polygon attribute table: its
    // records are the polygons, so an arc's number names no record of its
    // own there (a layer has more arcs than polygons, and the lookup would
    // stop every conversion with the retrieval error). Their polygons take
    // their values from that table in the polygon paths instead.
    const bool arcTable = std::string_view(LayerTableSuffix(layer)) == "aat";
    std::unique_ptr<CInfoTable> owned;
    const CInfoTable* table = arcTable ? LayerTable(job, owned) : nullptr;
    const std::string tableProblem = TableProblem(table);
    if (!AcceptDamage(job, {section.problem, tableProblem}, ui)) return result;
    if (table && !table->ValueItem().empty() && !SetLineValues(arcs, *table, !tableProblem.empty(), result, ui)) {
        ui.Progress("");
        return result;
    }
    if (layer.hynet && job.removeLonLat) {
        ui.Progress("Removing Lon/Lat lines");
        ui.Pump();
        PrepareE00Arcs(arcs, job.e00);
    }
    if (layer.dnnet || layer.ponet) {
        result.written = WriteLakes(arcs, writing, xScale, ui);
    } else if (layer.hynet && job.fillClosed) {
        result.written = WriteElevationMap(arcs, writing, xScale, ui);
    } else if (layer.pppoly || layer.lcpoly) {
        result.written = WritePolygonLayer(arcs, writing, xScale, ui);
    } else if (layer.hynet) {
        JoinLines(arcs, true, ui);
        JoinLines(arcs, false, ui);
        result.written = WriteValueFiles(arcs, writing, xScale, ui);
    } else {
        if ((layer.net || layer.polyline) && job.drawBorders) {
            JoinLines(arcs, true, ui);
            JoinLines(arcs, false, ui);
        }
        for (CE00Polyline& arc : arcs) arc.UpdateOrientation();
        ui.Progress("Writing Data File");
        ui.Pump();
        result.written =
            WriteOutput(job.output, ChartHeader(job.bounds, job.mapScale) + LinesText(arcs, writing, xScale), ui);
    }
    ui.Progress("");
    return result;
}

}  // namespace quorlin
