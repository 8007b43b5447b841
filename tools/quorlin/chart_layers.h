#pragma once
// E00 chart layers to text maps: point labels, and the line paths (plain
// lines, joined lines, per-value contour files). The layer kind comes from
// the input's name. UI thread (progress, boxes and the event pump).

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/geo_box.h"
#include "tools/quorlin/control_layout.h"
#include "tools/quorlin/e00_polyline.h"
#include "tools/quorlin/elevation_colors.h"
#include "tools/quorlin/info_table.h"
#include "tools/quorlin/quorlin_settings.h"
#include "tools/quorlin/quorlin_ui.h"

namespace quorlin {

// Output bounds with east-positive longitudes (the map header turns them
// positive west).
struct ChartJob {
    std::filesystem::path input, output;
    LayerFlags layer;
    core::GeoBox bounds;
    double mapScale = 1000.0;
    int borderColourIndex = 2;
    bool drawBorders = false;  // check box 1026: lines joined before writing
    bool fillClosed = false;   // check box 1032
    bool simplify = false;
    float lineToleranceKm = 0.5f;
    bool removeLonLat = true;  // check box 1079
    bool separateLayer = false;  // check box 1068: fill pen code 88, else 17
    Bgr mapColour;
    LandCoverColours landCovers = DefaultLandCoverColours();
    E00Options e00;
    ColourTable colours = DefaultColourTable();
    Thresholds thresholds = kDefaultThresholds;
    // The layer's attribute table as read when the file was chosen; read
    // by the conversion itself when null.
    const CInfoTable* table = nullptr;
};

// The question before an elevation map is made.
inline constexpr char kMapGenerationQuestion[] =
    " This is going to be a lengthy operation. Sit back, relax and do not panic if I seem to go dead :).\n\nI will "
    "generate quadrangle files. \n\nDo you want to generate a single, full map file as well?";

// The text-map palette number of a contour ring by its value in feet.
int ElevationPen(float feet);

// "south,0,0,east,0,0,north,0,0,west,0,0,5M,scale" and two line ends,
// longitudes positive west, the scale without decimals.
std::string ChartHeader(const core::GeoBox& bounds, double mapScale);

// The text of a label record of `table` and its symbol: the name
// capitalised word by word ("^value^Name" on elevation-note layers), or the
// value, or "???"; line ends become blanks, the ends are trimmed.
std::string LabelText(const CInfoTable* table, int record, bool aepoint, int borderIndex, int& symbol);

// Name and value in the same case rule as labels: lower case, then upper
// at the start and after every blank (ASCII letters only).
std::string CapitaliseWords(std::string text);

// Joins lines that meet, in place: each line takes every later one it can
// join (equal values always, equal identifiers when asked).
void JoinLines(std::vector<CE00Polyline>& lines, bool matchId, QuorlinUi& ui);

struct ChartResult {
    bool written = false;
    std::optional<std::pair<float, float>> elevations;  // lowest, highest in metres
};

// The kind of the layer's attribute table: "pat" for point and polygon
// layers, "aat" for the others.
const char* LayerTableSuffix(const LayerFlags& layer);
// Reads the records of an open table, with only its derived items (name,
// value, type, area, identifier and record number).
void ReadLayerRecords(CInfoTable& table);

// Writes a text through a temporary file; "Could not open output file"
// and false when it cannot be written.
bool WriteChartOutput(const std::filesystem::path& path, const std::string& text, QuorlinUi& ui);
// The layer's attribute table with its derived items read: by default
// the kind LayerTableSuffix names; null when it does not open.
std::unique_ptr<CInfoTable> LoadChartTable(const ChartJob& job, const char* suffix = nullptr);

// Why the attribute table holds fewer records than it declares (the file
// was cut short); empty when it holds them all or is null.
std::string TableProblem(const CInfoTable* table);

// The point path: labels of the "LAB" section inside the bounds.
ChartResult ConvertChartLabels(const ChartJob& job, QuorlinUi& ui);
// The line and polygon paths.
ChartResult ConvertChartLines(const ChartJob& job, QuorlinUi& ui);

// The polygon paths, given the valued arcs: lakes (dnnet, ponet), cities
// (pppoly) and land cover (lcpoly).
bool WriteLakes(std::vector<CE00Polyline>& arcs, const ChartJob& job, float xScale, QuorlinUi& ui);
bool WritePolygonLayer(std::vector<CE00Polyline>& arcs, const ChartJob& job, float xScale, QuorlinUi& ui);

}  // namespace quorlin
