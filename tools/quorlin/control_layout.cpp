#include "tools/quorlin/control_layout.h"

#include <initializer_list>

#include "tools/quorlin/grid_record.h"

namespace quorlin {
namespace {

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
        for (int id : {1099, 1069, 1070, 1065, 1007, 1096, 1063, 1079, 1045, 1015, 1016, 1032, 1064, 1066,
                       1031, 1026, 1027, 1028, 1005, 1006, 1021, 1022, 1013, 1014, 1020, 1024, 1025,
                       1002, 1003, 1004, 1023, 1029, 1078}) {
            c[id] = ControlState{};
        }
        for (int id = 1033; id <= 1044; ++id) c[id] = ControlState{};
        set({1030, 1068, 1018, 1067}, false);
        return out;
    }
    set({1068, 1030}, false);
    set({1099, 1069, 1070}, grid || ascii);
    set({1065}, chart);
    set({1007, 1096}, grid || (chart && l.hynet));
    set({1063}, grid || ascii || (chart && l.hynet));
    for (int id = 1033; id <= 1044; ++id) c[id].shown = grid || ascii || (chart && l.hynet);
    set({1079}, chart && l.hynet);
    set({1045, 1015, 1016}, grid || ascii || (chart && l.hynet));
    set({1064, 1066, 1031}, outlines || (chart && l.polyline));
    set({1032}, chart && l.polyline);
    set({1026}, outlines || (chart && l.polyline));
    set({1027, 1028}, outlines || (chart && (l.polyline || l.point)));
    set({1005, 1006, 1021, 1022}, grid || ascii);
    set({1013, 1014}, grid);
    set({1020}, bitmap);
    set({1024, 1025}, outlines || (chart && (l.pppoly || l.ponet)));
    c[1024].shown = c[1024].shown || grid;
    set({1002, 1003, 1004}, !bitmap);
    set({1018, 1023, 1067}, grid && in.headerComplete && !in.thresholdOn);
    set({1029, 1078}, grid && in.thresholdOn);
    c[1014].enabled = in.thresholdOn;

    const bool networkKept = l.hynet || l.dnnet || l.ponet;
    c[1026].enabled = !chart || !networkKept;
    c[1028].enabled = !chart || !(l.aepoint || l.hynet || l.dnnet);

    c[1003].label = outlines ? "Get Header File" : chart ? "Set Map File" : "Set Output File";
    c[1025].label = chart ? "Set Fill Color" : "Set Map Color";
    c[1027].label = !chart ? "Border line color  index" : l.point ? "Symbol index" : "Line color  index";
    if (chart) {
        c[1026].label = "Combine lines";
        if (l.pppoly || l.lcpoly) {
            c[1032].label = "Fill shapes";
            c[1026].label = "Draw borders";
            // The polygon layers' fill rules: borders only offered with the fill.
            c[1026].enabled = in.fillChecked;
            c[1068].shown = in.fillChecked;
            if (!in.fillChecked) out.bordersCheck = true;
        } else if (l.net) {
            c[1032].label = "Fill Closed";
            out.fillCheck = l.hynet || l.dnnet;
            if (networkKept) out.bordersCheck = true;
        }
    }
    out.elevationStrip = grid || ascii || (chart && l.hynet);
    return out;
}

}  // namespace quorlin
