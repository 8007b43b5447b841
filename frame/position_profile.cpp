#include "frame/position_profile.h"

#include <algorithm>
#include <cmath>

#include "core/terrain_sampling.h"

namespace frame {
namespace {

using platform::Point;

constexpr int kProfileLeft = 24;
constexpr int kLargeExtra = 46;
constexpr int kMaxStripHeight = 120;
constexpr float kMinimumSpanFeet = 50.0F;
constexpr int kScaleBarX = 22;
constexpr platform::Colour kGroundEdge = platform::Colour::FromColorref(0x808080);
constexpr platform::Colour kGroundFill{0xC8, 0xB4, 0x8C};
constexpr platform::Colour kGlideLine{0x00, 0x00, 0xC0};

}  // namespace

float ProfileLengthKm(std::optional<float> firstLegKm) {
    if (firstLegKm && *firstLegKm > kProfileLengthKm - 2.0F && *firstLegKm < 200.0F) {
        return *firstLegKm + 2.0F;
    }
    return kProfileLengthKm;
}

std::size_t ProfileBufferSize(std::size_t held, std::size_t samples) {
    return held < samples + 5 ? samples + 20 : held;
}

std::vector<std::vector<GlideSpot>> LegGlidePaths(const LegGlides& legs) {
    const auto path = [&legs](const std::array<float, 2>& margins) {
        std::vector<GlideSpot> spots;
        const float atTurn = legs.altitude - margins[0];
        if (legs.legKm > 0.0F && legs.legKm < legs.distanceKm) {
            spots.push_back({legs.legKm, atTurn});
            spots.push_back({legs.distanceKm, atTurn - margins[1]});
        } else {
            spots.push_back({legs.distanceKm, atTurn - margins[1]});
        }
        return spots;
    };
    std::vector<std::vector<GlideSpot>> paths{path(legs.margins)};
    if (legs.usePolar && legs.finalGlideMargins) paths.push_back(path(*legs.finalGlideMargins));
    return paths;
}

TrackGlideSpeeds ChooseTrackGlideSpeeds(bool useConstantGlideSpeed, float constantSpeed,
                                        float indicatedAirspeed, float groundSpeedToFly) {
    const bool constant = useConstantGlideSpeed && constantSpeed > 0.0F;
    return {constant ? constantSpeed : indicatedAirspeed, groundSpeedToFly};
}

std::optional<ProfileDrawing> LayOutProfile(const ProfileInput& input, const PositionLayout& layout,
                                            int width, const ProfileUnits& units) {
    const std::size_t count = input.ground.size();
    if (count < 2 || width <= kProfileLeft || !(input.lengthKm > 0.0F)) return std::nullopt;

    ProfileDrawing drawing;
    const int bottom = layout.glideLine.bottom;
    int top = layout.destinationLine.top - (input.large ? kLargeExtra : 0);
    top = std::max(top, bottom - kMaxStripHeight);
    drawing.strip = {0, top, width, bottom};
    const int height = bottom - top;

    const float lowest = input.lowest;
    const float upper = input.altitude < input.highest ? input.highest : input.altitude;
    const double scale = height / std::max<double>(upper - lowest, kMinimumSpanFeet);
    const auto y = [&](double feet) {
        const double at = bottom - (feet - lowest) * scale;
        return static_cast<int>(std::lround(std::clamp(at, -1.0e6, 1.0e6)));
    };
    const double step = static_cast<double>(width - kProfileLeft) / static_cast<double>(count - 1);

    drawing.ground.reserve(count + 2);
    drawing.ground.push_back({kProfileLeft, bottom});
    for (std::size_t i = 0; i < count; ++i) {
        const float sample = input.ground[i] == core::kMissingSample ? lowest : input.ground[i];
        const int x = kProfileLeft + static_cast<int>(std::lround(step * static_cast<double>(i)));
        drawing.ground.push_back({x, std::min(y(sample), bottom)});
    }
    drawing.ground.push_back({width, bottom});

    const double pixelsPerKm = (width - kProfileLeft) / static_cast<double>(input.lengthKm);
    const auto x = [&](double km) {
        return kProfileLeft + static_cast<int>(std::lround(std::clamp(km, 0.0, 1.0e5) * pixelsPerKm));
    };
    std::vector<std::vector<GlideSpot>> paths = input.glidePaths;
    for (const float end : input.glideEnds) paths.push_back({{input.lengthKm, end}});
    for (const std::vector<GlideSpot>& path : paths) {
        Point from{kProfileLeft, y(input.altitude)};
        for (const GlideSpot& spot : path) {
            if (!std::isfinite(spot.km) || !std::isfinite(spot.feet)) break;
            Point to{x(spot.km), y(spot.feet)};
            const bool underground = to.y > bottom && to.y != from.y;
            if (underground) {
                // The line ends where it meets the bottom line.
                const double t = static_cast<double>(bottom - from.y) / (to.y - from.y);
                to = {from.x + static_cast<int>(std::lround(t * (to.x - from.x))), bottom};
            }
            drawing.lines.push_back({from, to});
            if (underground) break;
            from = to;
        }
    }

    // Ticks every 10 distance units, or every 5 for miles.
    const double tickKm = (units.unitDist == 2 ? 10.0 : 5.0) / std::max(units.kmToUnit, 1e-6F);
    for (double km = tickKm; km < input.lengthKm; km += tickKm) {
        drawing.ticks.push_back(kProfileLeft + static_cast<int>(std::lround(km * pixelsPerKm)));
    }
    const double barFeet = units.unitAlt != 0 ? 984.0 : 1000.0;
    drawing.scaleBarTop = std::max(top, bottom - static_cast<int>(std::lround(barFeet * scale)));
    return drawing;
}

void DrawProfile(platform::Canvas& canvas, const ProfileDrawing& drawing, std::wstring_view label,
                 const platform::Font& rotatedFont) {
    const platform::Canvas::StateGuard guard(canvas);
    canvas.ClipTo(drawing.strip);
    canvas.FillRect(drawing.strip, platform::Brush::Solid(platform::kWhite));
    canvas.SetPen(platform::Pen::Solid(kGroundEdge));
    canvas.SetBrush(platform::Brush::Solid(kGroundFill));
    canvas.Polygon(drawing.ground);
    canvas.SetPen(platform::Pen::Solid(kGlideLine, 2));
    for (const ProfileDrawing::Line& line : drawing.lines) {
        canvas.MoveTo(line.from);
        canvas.LineTo(line.to);
    }
    const int bottom = drawing.strip.bottom - 1;
    canvas.SetPen(platform::Pen::Solid(platform::kBlack));
    for (const int x : drawing.ticks) {
        canvas.MoveTo({x, bottom});
        canvas.LineTo({x, bottom - 6});
    }
    canvas.SetPen(platform::Pen::Solid(platform::kBlack, 2));
    canvas.MoveTo({kScaleBarX, bottom});
    canvas.LineTo({kScaleBarX, drawing.scaleBarTop});
    canvas.SetFont(rotatedFont);
    canvas.SetBackgroundMode(platform::BackgroundMode::kTransparent);
    canvas.SetTextColour(platform::kBlack);
    canvas.DrawTextAt({1, bottom - 2}, label);
}

}  // namespace frame
