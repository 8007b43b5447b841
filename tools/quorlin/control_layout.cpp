#include "tools/quorlin/control_layout.h"

#include <initializer_list>

#include "tools/quorlin/grid_record.h"
#include "tools/quorlin/resources/ids/quorlin.h"

namespace quorlin {
namespace {

using xrc::quorlin::main_dialog::kBorderColour;
using xrc::quorlin::main_dialog::kBorderColourLabel;
using xrc::quorlin::main_dialog::kChangeColours;
using xrc::quorlin::main_dialog::kChangeLevels;
using xrc::quorlin::main_dialog::kColourMapLabel;
using xrc::quorlin::main_dialog::kColumns;
using xrc::quorlin::main_dialog::kColumnsLabel;
using xrc::quorlin::main_dialog::kConvert;
using xrc::quorlin::main_dialog::kCornerContinuous;
using xrc::quorlin::main_dialog::kCreate;
using xrc::quorlin::main_dialog::kDeleteBitmaps;
using xrc::quorlin::main_dialog::kDrawBorders;
using xrc::quorlin::main_dialog::kElevationLimits;
using xrc::quorlin::main_dialog::kExtract;
using xrc::quorlin::main_dialog::kFillClosed;
using xrc::quorlin::main_dialog::kFirstLevelText;
using xrc::quorlin::main_dialog::kHighest;
using xrc::quorlin::main_dialog::kInsert;
using xrc::quorlin::main_dialog::kLayerCombo;
using xrc::quorlin::main_dialog::kLevelUnit;
using xrc::quorlin::main_dialog::kLineTolerance;
using xrc::quorlin::main_dialog::kLineToleranceLabel;
using xrc::quorlin::main_dialog::kLowest;
using xrc::quorlin::main_dialog::kMapColourSwatch;
using xrc::quorlin::main_dialog::kOutputName;
using xrc::quorlin::main_dialog::kRemoveLonLat;
using xrc::quorlin::main_dialog::kReplaceMissing;
using xrc::quorlin::main_dialog::kReplacement;
using xrc::quorlin::main_dialog::kReplacementUnit;
using xrc::quorlin::main_dialog::kRows;
using xrc::quorlin::main_dialog::kRowsLabel;
using xrc::quorlin::main_dialog::kSeparateLayer;
using xrc::quorlin::main_dialog::kSetMapColour;
using xrc::quorlin::main_dialog::kSetOutputBounds;
using xrc::quorlin::main_dialog::kSetOutputFile;
using xrc::quorlin::main_dialog::kSimplify;
using xrc::quorlin::main_dialog::kThreshold;
using xrc::quorlin::main_dialog::kThresholdEdit;
using xrc::quorlin::main_dialog::kUpDownFiles;

bool EndsWith(std::string_view text, std::string_view end) {
    return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

}  // namespace

LayerFlags LayerFlagsFromName(std::string_view stem) {
    const std::string name = Lower(stem);
    LayerFlags f;
    f.polyline = EndsWith(name, "line") || EndsWith(name, "net") || EndsWith(name, "poly");
    f.point = EndsWith(name, "point");
    f.aepoint = EndsWith(name, "aepoint");
    f.pppoly = EndsWith(name, "pppoly");
    f.lcpoly = EndsWith(name, "lcpoly");
    f.hynet = EndsWith(name, "hynet");
    f.net = EndsWith(name, "net");
    f.dnnet = EndsWith(name, "dnnet");
    f.ponet = EndsWith(name, "ponet");
    return f;
}

ControlLayout LayoutControlsForInputType(const LayoutInput& in) {
    ControlLayout out;
    auto& c = out.controls;
    const int type = in.inputType;
    const LayerFlags& l = in.layer;
    const bool grid = type == kElevationGrid, ascii = type == kAsciiGrid;
    const bool outlines = type == kOutlines, chart = type == kChartLayer;
    const bool bitmap = type == kBitmapInput;
    const auto set = [&c](std::initializer_list<int> ids, bool shown) {
        for (int id : ids) c[id].shown = shown;
    };
    // Nothing loaded: the dialog as its template shows it.
    if (type < kElevationGrid || type > kAsciiGrid) {
        for (int id : {kReplaceMissing, kReplacement, kReplacementUnit, kSetOutputBounds, kChangeColours,
                       kChangeLevels, kColourMapLabel, kRemoveLonLat, kElevationLimits, kHighest, kLowest,
                       kFillClosed, kSimplify, kLineTolerance, kLineToleranceLabel, kDrawBorders,
                       kBorderColourLabel, kBorderColour, kRows, kColumns, kRowsLabel, kColumnsLabel,
                       kThreshold, kThresholdEdit, kUpDownFiles, kMapColourSwatch, kSetMapColour,
                       kOutputName, kSetOutputFile, kConvert, kCreate, kCornerContinuous, kDeleteBitmaps}) {
            c[id] = ControlState{};
        }
        for (int id = kFirstLevelText; id <= kLevelUnit; ++id) c[id] = ControlState{};
        set({kLayerCombo, kSeparateLayer, kExtract, kInsert}, false);
        return out;
    }
    set({kSeparateLayer, kLayerCombo}, false);
    set({kReplaceMissing, kReplacement, kReplacementUnit}, grid || ascii);
    set({kSetOutputBounds}, chart);
    set({kChangeColours, kChangeLevels}, grid || (chart && l.hynet));
    set({kColourMapLabel}, grid || ascii || (chart && l.hynet));
    for (int id = kFirstLevelText; id <= kLevelUnit; ++id) c[id].shown = grid || ascii || (chart && l.hynet);
    set({kRemoveLonLat}, chart && l.hynet);
    set({kElevationLimits, kHighest, kLowest}, grid || ascii || (chart && l.hynet));
    set({kSimplify, kLineTolerance, kLineToleranceLabel}, outlines || (chart && l.polyline));
    set({kFillClosed}, chart && l.polyline);
    set({kDrawBorders}, outlines || (chart && l.polyline));
    set({kBorderColourLabel, kBorderColour}, outlines || (chart && (l.polyline || l.point)));
    set({kRows, kColumns, kRowsLabel, kColumnsLabel}, grid || ascii);
    set({kThreshold, kThresholdEdit}, grid);
    set({kUpDownFiles}, bitmap);
    set({kMapColourSwatch, kSetMapColour}, outlines || (chart && (l.pppoly || l.ponet)));
    c[kMapColourSwatch].shown = c[kMapColourSwatch].shown || grid;
    set({kOutputName, kSetOutputFile, kConvert}, !bitmap);
    set({kExtract, kCreate, kInsert}, grid && in.headerComplete && !in.thresholdOn);
    set({kCornerContinuous, kDeleteBitmaps}, grid && in.thresholdOn);
    c[kThresholdEdit].enabled = in.thresholdOn;

    const bool networkKept = l.hynet || l.dnnet || l.ponet;
    c[kDrawBorders].enabled = !chart || !networkKept;
    c[kBorderColour].enabled = !chart || !(l.aepoint || l.hynet || l.dnnet);

    c[kSetOutputFile].label = outlines ? "Get Header File" : chart ? "Set Map File" : "Set Output File";
    c[kSetMapColour].label = chart ? "Set Fill Color" : "Set Map Color";
    c[kBorderColourLabel].label = !chart ? "Border line color  index" : l.point ? "Symbol index" : "Line color  index";
    if (chart) {
        c[kDrawBorders].label = "Combine lines";
        if (l.pppoly || l.lcpoly) {
            c[kFillClosed].label = "Fill shapes";
            c[kDrawBorders].label = "Draw borders";
            // The polygon layers' fill rules: borders only offered with the fill.
            c[kDrawBorders].enabled = in.fillChecked;
            c[kSeparateLayer].shown = in.fillChecked;
            if (!in.fillChecked) out.bordersCheck = true;
        } else if (l.net) {
            c[kFillClosed].label = "Fill Closed";
            out.fillCheck = l.hynet || l.dnnet;
            if (networkKept) out.bordersCheck = true;
        }
    }
    out.elevationStrip = grid || ascii || (chart && l.hynet);
    return out;
}

}  // namespace quorlin
