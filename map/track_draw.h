#pragma once
// The flown track on the map: one point as a dot or as a segment from the
// point before, in the colour of its colour index (TrackColourIndex), and
// the stored track drawn newest first from the track cache.
//
// The dot spacing is measured from lastDot, which belongs to the canvas the
// dots go on. On the map that is the render thread's finished canvas: the
// track thread and the window's live dots draw on it only under its
// hand-over lock, and lastDot is the hand-over's mark, so a new canvas
// starts with a new lastDot.

#include <array>
#include <atomic>
#include <chrono>
#include <functional>

#include "mapdata/map_draw_state.h"
#include "mapdata/map_symbols.h"
#include "platform/canvas.h"
#include "platform/canvas_handover.h"
#include "platform/worker_thread.h"

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

// Draws up to count stored points, newest first, onto the finished canvas
// of `target`: dots, or lines in the zoomed mode with linesInThermalMode.
// The points go on in turns of 10, each under the hand-over's lock, with a
// `pause` between turns (the drawing yields to the rest of the program and
// the window may paint between them); afterTurn runs after every turn.
// Returns 97 when done, -97 when there was nothing to draw (no points, no
// finished canvas) or `keepGoing` was cleared at the start.
int DrawStoredTrack(platform::CanvasHandover& target, const mapdata::MapDrawState& state,
                    const TrackStyle& style, int count, const std::atomic<int>& keepGoing,
                    std::chrono::milliseconds pause = std::chrono::milliseconds(5),
                    const std::function<void()>& afterTurn = {});

// The newest track point as the window draws it when a fix arrives, on the
// finished canvas under its lock: a segment from the last drawn point in
// the zoomed mode with linesInThermalMode, otherwise a dot. False when
// nothing was drawn.
bool DrawLiveTrackPoint(platform::CanvasHandover& target, platform::Point at, int colourIndex,
                        const TrackStyle& style);

struct TrackDrawInput {
    mapdata::MapDrawState state;
    TrackStyle style;
    int count = 0;  // the normal count, or zoomedTrackCacheLength when zoomed
};

// The track thread: draws the stored track onto a hand-over's finished
// canvas at a priority below normal. Exit codes 97 (done) and -97 (nothing
// to draw, or stopped at the start). Start and Stop belong to one thread
// (the map's render thread starts it, and its Stop stops this one too).
class TrackDrawThread {
  public:
    explicit TrackDrawThread(platform::CanvasHandover& target) : target_(target) {}
    ~TrackDrawThread();
    TrackDrawThread(const TrackDrawThread&) = delete;
    TrackDrawThread& operator=(const TrackDrawThread&) = delete;

    // Starts a drawing (a running one is stopped and joined first).
    void Start(TrackDrawInput input);
    // Asks the drawing to stop and joins it.
    void Stop();
    bool Finished() const { return !thread_.Running(); }
    int ExitCode() const { return exitCode_.load(); }

    // Called on the track thread after turns, at most every 100 ms, and at
    // the end of a drawing that drew anything.
    std::function<void()> onProgress;
    std::chrono::milliseconds pause{5};

  private:
    platform::CanvasHandover& target_;
    std::atomic<int> exitCode_{0};
    platform::WorkerThread thread_;  // last: stopped before the rest goes
};

}  // namespace map
