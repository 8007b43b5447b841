#pragma once
// The flown track on the map: one point as a dot or as a segment from the
// point before, in the colour of its colour index (TrackColourIndex), and
// the stored track drawn newest first from the track cache.
//
// The dot spacing is measured from lastDot, which belongs to the canvas the
// dots go on: the caller keeps it beside that canvas.

#include <array>
#include <atomic>
#include <chrono>

#include "mapdata/map_draw_state.h"
#include "mapdata/map_symbols.h"
#include "platform/canvas.h"

namespace map {

struct TrackStyle {
    int dotSize = 2;     // "DotSize"
    int dotSpacing = 3;  // "DotSpacing"
    bool zoomed = false;
    bool showLiftInThermalMode = true;  // "ShowLiftInThermalMode"
    bool linesInThermalMode = true;     // "DrawLinesInThermalMode"
    std::array<mapdata::Rgb, mapdata::kTrackColourCount> colours = mapdata::kDefaultTrackColours;
};

// The colour of a colour index (0..41; others are brought into range).
platform::Colour TrackColour(const TrackStyle& style, int colourIndex);

// A filled diamond right of the button column; unless forced, nothing
// within dotSpacing of lastDot. True when drawn (lastDot is then the dot).
bool DrawTrackDot(platform::Canvas& canvas, platform::Point& lastDot, platform::Point at, bool force,
                  int colourIndex, const TrackStyle& style);

void DrawTrackSegment(platform::Canvas& canvas, platform::Point from, platform::Point to,
                      int colourIndex, const TrackStyle& style);

// Draws up to count stored points, newest first: dots, or lines in the
// zoomed mode with linesInThermalMode. Pauses `pause` every 10 points
// (the drawing yields to the rest of the program). Returns 97 when done,
// -97 when there was nothing to draw or `keepGoing` was cleared at the
// start.
int DrawStoredTrack(platform::Canvas& canvas, platform::Point& lastDot,
                    const mapdata::MapDrawState& state, const TrackStyle& style, int count,
                    const std::atomic<int>& keepGoing,
                    std::chrono::milliseconds pause = std::chrono::milliseconds(5));

}  // namespace map
