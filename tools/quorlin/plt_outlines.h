#pragma once
// Plotter outline files (".plt"): the tracer writes each outline as
// "LT;", a pen-up move to its first point and pen-down moves through its
// corners; the outline conversion reads the moves back.
//
// Pure; any thread.

#include <string>
#include <string_view>
#include <vector>

#include "tools/quorlin/outline_finder.h"

namespace quorlin {

// The ".plt" text of the outlines, CR LF line ends. Points inside a straight
// run are left out, but never more than 40 in a row (the count runs on from
// one outline into the next); a ring ends with its first point again.
// Outlines of fewer than two points write nothing.
std::string WritePltOutlines(const std::vector<PixelOutline>& outlines);

struct PlotMove {
    bool penDown = false;
    double x = 0.0;
    double y = 0.0;
};

// The PU and PD moves of a ".plt" text, in order. A line ends after its LF;
// it counts only with more than two characters, starting with "PU" or "PD"
// and two numbers right after (separated by one character, as "%lf%*c%lf"
// reads them). Other lines, and moves without two numbers, are ignored.
std::vector<PlotMove> ReadPlotMoves(std::string_view text);

// What a ".plt" text is worth converting: whole (kSound), cut short (the
// outlines before the cut are whole: kCutShort) or not an outline file at
// all (kUnusable). The tracer writes only "LT;" lines and moves to whole
// pixel corners (0 to 65535), ends every line with a line end and every
// outline at its first point again.
struct PltCheck {
    enum class Verdict { kSound, kCutShort, kUnusable } verdict = Verdict::kSound;
    std::string problem;  // one sentence; empty when sound
};
PltCheck CheckPltText(std::string_view text);

}  // namespace quorlin
