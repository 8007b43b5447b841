// The polygon paths of the chart conversion: lakes with their islands,
// cities and land cover, each one map file of filled rings clipped to the
// output bounds.
#include <algorithm>
#include <array>
#include <cmath>

#include "platform/numbers.h"
#include "tools/quorlin/chart_layers.h"
#include "tools/quorlin/e00_rings.h"
#include "tools/quorlin/input_checks.h"

namespace quorlin {
namespace {

constexpr double kRiverRunPerQuad = 0.55;

void SetOutlineValues(E00RingNode& node, const std::array<float, 20>& values) {
    if (node.outline) {
        node.outline->line.value = node.kind >= 0 && node.kind < 20 ? values[static_cast<std::size_t>(node.kind)] : 1.0f;
    }
    for (auto& child : node.children) SetOutlineValues(*child, values);
}

void SetPenFlags(E00RingNode& node, bool penFlag) {
    node.penFlag = penFlag;
    for (auto& child : node.children) SetPenFlags(*child, penFlag);
}

// The table of the layer, with its two progress texts and its error.
std::unique_ptr<CInfoTable> OpenLayerTable(const ChartJob& job, const char* name, QuorlinUi& ui) {
    ui.Progress(platform::FormatC("Opening %s Data Base", name));
    ui.Pump();
    auto table = LoadChartTable(job, "pat");
    if (!table) {
        const std::string text = platform::FormatC("Could not open %s Data Base", name);
        ui.Progress(text);
        ui.Message(text, Icon::kStop);
        return nullptr;
    }
    if (const std::string problem = TableProblem(table.get());
        !problem.empty() && !AskForPartialMap(ui, job.input, problem)) {
        ui.Progress("");
        return nullptr;
    }
    ui.Progress(platform::FormatC("Loading %s Data Base", name));
    ui.Pump();
    return table;
}

int TruncatedPolygonValue(const CInfoValue& v) {
    return v.kind == InfoKind::kReal ? static_cast<int>(v.real) : v.integer;
}

}  // namespace

bool WriteLakes(std::vector<CE00Polyline>& arcs, const ChartJob& job, float xScale, QuorlinUi& ui) {
    const auto table = OpenLayerTable(job, "Lakes", ui);
    if (!table) return false;
    std::vector<CE00Polyline> rivers;
    std::vector<CE00Polyline> shores;
    for (CE00Polyline& arc : arcs) (arc.leftPolygon == arc.rightPolygon ? rivers : shores).push_back(std::move(arc));
    std::vector<PolygonRecord> records;
    for (int polygon = 2; polygon <= static_cast<int>(table->RecordCount()); ++polygon) {
        const CInfoValue* kind = table->ValueItem().empty() ? nullptr : table->Lookup(table->ValueItem(), polygon);
        if (kind) records.push_back({polygon, TruncatedPolygonValue(*kind)});
    }
    RingList rings;
    BuildLakeRingNodes(shores, rings, records, {1, 0}, nullptr, 0, 9);
    const E00Options& o = job.e00;
    std::array<float, 20> values;
    values.fill(1.0f);
    values[1] = static_cast<float>(job.layer.ponet ? o.islandsColor : o.lakesColor);
    values[2] = static_cast<float>(o.otherLakesColor);
    values[3] = static_cast<float>(o.islandsColor);
    values[4] = static_cast<float>(o.glaciersColor);
    values[9] = static_cast<float>(o.islandsColor);
    for (auto& ring : rings) SetOutlineValues(*ring, values);
    JoinLines(rivers, true, ui);
    JoinLines(rivers, false, ui);

    const int pen = job.layer.ponet ? job.borderColourIndex : 6;
    int fill = 0;
    bool outlineFlag = false;
    if (job.fillClosed && job.layer.ponet) {
        fill = static_cast<int>(ToColorref(job.mapColour)), outlineFlag = true;
    } else if (job.fillClosed) {
        fill = -999;
    }
    ui.Progress("Writing map File");
    ui.Pump();
    const FillStyle style{&job.colours, &job.thresholds, job.lineToleranceKm, xScale};
    std::string out = ChartHeader(job.bounds, job.mapScale);
    const core::GeoBox& box = job.bounds;
    for (const auto& ring : rings) WriteE00Fill(*ring, out, pen, fill, box, job.simplify, outlineFlag, style);
    for (const CE00Polyline& river : rivers) {
        river.WriteMapPolyline(out, o.riversColor, 0, 0, 0, 0, false, o.quadSize * kRiverRunPerQuad);
    }
    return WriteChartOutput(job.output, out, ui);
}

bool WritePolygonLayer(std::vector<CE00Polyline>& arcs, const ChartJob& job, float xScale, QuorlinUi& ui) {
    const bool landCover = job.layer.lcpoly;
    const auto table = OpenLayerTable(job, landCover ? "Land Cover" : "Cities", ui);
    if (!table) return false;
    std::vector<int> remaining = ListPolygonNumbers(arcs, job.e00.bndPoly);
    RingList rings;
    {
        RingAssembly assembly(arcs, job.e00);
        while (!remaining.empty()) assembly.BuildRingNode(rings, remaining, remaining.front(), nullptr, nullptr);
    }
    SortRings(rings);
    for (auto& ring : rings) SetPenFlags(*ring, !job.separateLayer);
    if (landCover) {
        // Each polygon's class (its value item, 1..15) gives its colour.
        const auto colour = [&](int polygon) {
            const CInfoValue* v = table->ValueItem().empty() ? nullptr : table->Lookup(table->ValueItem(), polygon);
            const int index = v ? TruncatedPolygonValue(*v) - 1 : -1;
            return index >= 0 && index < static_cast<int>(job.landCovers.size())
                       ? static_cast<float>(job.landCovers[static_cast<std::size_t>(index)])
                       : 0.0f;
        };
        const auto setValues = [&](auto& self, E00RingNode& node) -> void {
            if (node.outline) node.outline->line.value = colour(node.id);
            for (auto& child : node.children) self(self, *child);
        };
        for (auto& ring : rings) setValues(setValues, *ring);
    }
    int pen = std::min(job.borderColourIndex, 16);
    if (!job.drawBorders) pen = -pen;
    ui.Progress("Writing map File");
    ui.Pump();
    const FillStyle style{&job.colours, &job.thresholds, job.lineToleranceKm, xScale};
    std::string out = ChartHeader(job.bounds, job.mapScale);
    const core::GeoBox& box = job.bounds;
    for (const auto& ring : rings) {
        int fill = 0;
        if (job.fillClosed) {
            fill = landCover && ring->outline ? static_cast<int>(ring->outline->line.value)
                                              : static_cast<int>(ToColorref(job.mapColour));
        }
        WriteE00Fill(*ring, out, pen, fill, box, job.simplify, job.fillClosed, style);
    }
    return WriteChartOutput(job.output, out, ui);
}

}  // namespace quorlin
