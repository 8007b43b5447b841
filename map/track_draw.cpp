#include "map/track_draw.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <span>
#include <thread>
#include <vector>

#include "map/map_view_model.h"
#include "map/map_worker.h"
#include "platform/thread_priority.h"
#include "services/track_cache.h"

namespace map {
namespace {

platform::Point ProjectTrackPoint(const mapdata::MapDrawState& state,
                                  const core::TrackCacheRecord& r) {
    const mapdata::ScreenPoint p = mapdata::ProjectToScreen(
        state, {static_cast<float>(r.x), static_cast<float>(r.y), static_cast<float>(r.z)});
    const auto clampPixel = [](float v) {
        return static_cast<int>(std::clamp(v, -30000.0F, 30000.0F));
    };
    return {clampPixel(p.x), clampPixel(p.y)};
}

}  // namespace

platform::Colour TrackColour(const TrackStyle& style, int colourIndex) {
    const int entry = std::clamp(colourIndex / 2, 0, mapdata::kTrackColourCount - 1);
    const mapdata::Rgb c = style.colours[static_cast<std::size_t>(entry)];
    return {c.red, c.green, c.blue};
}

bool DrawTrackDot(platform::Canvas& canvas, platform::Point& lastDot, platform::Point at, bool force,
                  int colourIndex, const TrackStyle& style) {
    if (at.x <= kButtonColumn) return false;
    const std::int64_t dx = at.x - lastDot.x;
    const std::int64_t dy = at.y - lastDot.y;
    const std::int64_t spacing = style.dotSpacing;
    if (!force && dx * dx + dy * dy <= spacing * spacing) return false;
    int r = style.dotSize - 1;
    if (style.zoomed) {
        ++r;
        if (colourIndex % 2 == 1 && style.showLiftInThermalMode) ++r;
    }
    r = std::clamp(r, 0, 16);
    const platform::Colour colour = TrackColour(style, colourIndex);
    for (int y = -r; y <= r; ++y) {
        const int half = r - std::abs(y);
        canvas.FillRect({at.x - half, at.y + y, at.x + half + 1, at.y + y + 1},
                        platform::Brush::Solid(colour));
    }
    lastDot = at;
    return true;
}

void DrawTrackSegment(platform::Canvas& canvas, platform::Point from, platform::Point to,
                      int colourIndex, const TrackStyle& style) {
    canvas.SetPen(platform::Pen::Solid(TrackColour(style, colourIndex), std::max(style.dotSize, 1)));
    canvas.MoveTo(from);
    canvas.LineTo(to);
}

namespace {

struct TrackPiece {
    platform::Point at;
    int colourIndex = 0;
};

// Draws one turn of points; `previous` is the end of the last segment.
void DrawTurn(platform::Canvas& canvas, platform::Point& lastDot, std::span<const TrackPiece> turn,
              bool lines, bool forceFirst, platform::Point& previous, const TrackStyle& style) {
    for (std::size_t i = 0; i < turn.size(); ++i) {
        const TrackPiece& piece = turn[i];
        if (lines) {
            if (!(forceFirst && i == 0)) DrawTrackSegment(canvas, previous, piece.at, piece.colourIndex, style);
            previous = piece.at;
        } else {
            DrawTrackDot(canvas, lastDot, piece.at, forceFirst && i == 0, piece.colourIndex, style);
        }
    }
}

}  // namespace

int DrawStoredTrack(platform::CanvasHandover& target, const mapdata::MapDrawState& state,
                    const TrackStyle& style, int count, const std::atomic<int>& keepGoing,
                    std::chrono::milliseconds pause, const std::function<void()>& afterTurn) {
    constexpr std::size_t kTurn = 10;
    if (keepGoing.load() == 0 || count <= 0) return -97;
    core::TrackCacheRecord record;
    int more = core::TrackCacheFirst(record, -1);
    if (more < 0) return -97;
    const bool lines = style.zoomed && style.linesInThermalMode;
    std::vector<TrackPiece> turn{
        {ProjectTrackPoint(state, record), static_cast<int>(record.attribute)}};
    turn.reserve(kTurn);
    platform::Point previous = turn.front().at;
    bool first = true;
    for (;;) {
        while (turn.size() < kTurn && more > 0 && keepGoing.load() != 0 && --count > 0) {
            more = core::TrackCacheNext(record, -1);
            if (more < 0) break;
            turn.push_back({ProjectTrackPoint(state, record), static_cast<int>(record.attribute)});
        }
        if (!turn.empty()) {
            const bool drawn = target.Draw([&](platform::Canvas& canvas, platform::Point& lastDot) {
                DrawTurn(canvas, lastDot, turn, lines, first, previous, style);
            });
            if (!drawn) return first ? -97 : 97;
            first = false;
            turn.clear();
            if (afterTurn) afterTurn();
        }
        if (more <= 0 || count <= 0 || keepGoing.load() == 0) return 97;
        if (pause.count() > 0) std::this_thread::sleep_for(pause);
    }
}

bool DrawLiveTrackPoint(platform::CanvasHandover& target, platform::Point at, int colourIndex,
                        const TrackStyle& style) {
    bool drawn = false;
    target.Draw([&](platform::Canvas& canvas, platform::Point& lastDot) {
        if (style.zoomed && style.linesInThermalMode) {
            if (lastDot != platform::CanvasHandover::kNoMark && lastDot != at) {
                DrawTrackSegment(canvas, lastDot, at, colourIndex, style);
                drawn = true;
            }
            lastDot = at;
        } else {
            drawn = DrawTrackDot(canvas, lastDot, at, false, colourIndex, style);
        }
    });
    return drawn;
}

TrackDrawThread::~TrackDrawThread() { Stop(); }

void TrackDrawThread::Start(TrackDrawInput input) {
    Stop();
    thread_.Start([this, input = std::move(input)](std::stop_token stop) {
        platform::LowerThisThreadPriority(1);
        // The drawing polls a flag of its own, cleared by the stop.
        std::atomic<int> keepGoing{1};
        const std::stop_callback halt(stop, [&keepGoing] { keepGoing = 0; });
        using Clock = std::chrono::steady_clock;
        auto lastReport = Clock::now();
        bool drew = false;
        const auto afterTurn = [&] {
            drew = true;
            if (!onProgress || Clock::now() - lastReport < std::chrono::milliseconds(100)) return;
            lastReport = Clock::now();
            onProgress();
        };
        exitCode_ = DrawStoredTrack(target_, input.state, input.style, input.count, keepGoing, pause,
                                    afterTurn);
        if (drew && onProgress) onProgress();
    });
}

void TrackDrawThread::Stop() {
    StopAndWait(thread_);
}

}  // namespace map
