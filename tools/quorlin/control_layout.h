#pragma once
// Which controls of the main dialog an input type offers: shown, enabled
// and captioned, as a pure function of the type, the chart layer's kind,
// whether the grid header is complete and whether the threshold is on.
// The dialog applies the result; tests compare it. Any thread.

#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace quorlin {

// The kind of chart layer, from the end of the input's name (lower case,
// without extension).
struct LayerFlags {
    bool polyline = false;  // "line", "net" or "poly"
    bool point = false;
    bool aepoint = false;
    bool pppoly = false;
    bool lcpoly = false;
    bool hynet = false;
    bool net = false;
    bool dnnet = false;
    bool ponet = false;
    friend bool operator==(const LayerFlags&, const LayerFlags&) = default;
};
LayerFlags LayerFlagsFromName(std::string_view stem);

struct ControlState {
    bool shown = true;
    bool enabled = true;
    std::string label;  // empty: the template's caption
    friend bool operator==(const ControlState&, const ControlState&) = default;
};

struct LayoutInput {
    int inputType = 0;
    LayerFlags layer;
    bool headerComplete = false;
    bool thresholdOn = false;
    bool fillChecked = false;  // "Fill Closed", for the polygon layers' fill rules
};

struct ControlLayout {
    std::map<int, ControlState> controls;  // by control id: every control the layout decides
    std::optional<bool> fillCheck;         // "Fill Closed" set by the layer kind
    std::optional<bool> bordersCheck;      // "Draw borders" set by the layer kind
    bool elevationStrip = true;        // the elevation colour strip is painted

    const ControlState& operator[](int id) const { return controls.at(id); }
};

ControlLayout LayoutControlsForInputType(const LayoutInput& input);

}  // namespace quorlin
