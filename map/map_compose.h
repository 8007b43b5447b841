#pragma once
// What the map window paints, composed from canvases: the finished back
// canvas copied, the GOTO line, the task layer ANDed, the reachable outline
// XORed, the sprites, the button column filled, the scale text and the
// wind disc. The window's paint and PaintNow both compose through
// ComposeFromHandover and then blit the result; nothing here touches a
// window.
//
// The task layer is a canvas of its own (TaskLayerCanvas), white where
// nothing is drawn, redrawn on the UI thread when the task or the
// transform changes.

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/waypoint_record.h"
#include "glide/reachable_outline.h"
#include "map/drawing_tables.h"
#include "map/map_sprite.h"
#include "mapdata/map_draw_state.h"
#include "mapdata/map_element_draw.h"
#include "platform/canvas.h"
#include "platform/canvas_handover.h"

namespace map {

inline constexpr platform::Colour kButtonFace{212, 208, 200};
// The wind disc's top in the button column.
inline constexpr int kWindDiscTop = 6 * 24 + 10;

struct GotoLineInput {
    nav::WaypointRecord aircraft;
    nav::WaypointRecord target;
};

struct WindInput {
    float speedKt = 0.0F;
    double directionDeg = 0.0;  // where the wind comes from, degrees true
};

struct ComposeLayers {
    const platform::Image* taskLayer = nullptr;  // white where nothing is drawn
    const platform::Image* reachable = nullptr;  // black where nothing is drawn
    mapdata::MapDrawState state;                 // the GOTO line's transform
    std::optional<GotoLineInput> gotoLine;
    std::vector<const MapSprite*> sprites;  // drawn in this order
    std::string scaleText;
    int labelBottom = 190;
    platform::Font font;
    std::optional<WindInput> wind;  // none while no wind estimate is valid
    double rotationDeg = 0.0;       // the map's rotation, for the arrow
    const std::array<platform::Image, kWindArrows>* windArrows = nullptr;
    std::optional<int> windTop = kWindDiscTop;  // none: the disc is not shown
    platform::Colour background = kButtonFace;
};

// The wind disc's top for the screen-layout class and the navigation
// display (class 2 only: 1 hides it, 2 moves it up by one button).
std::optional<int> WindDiscTop(int layoutClass, int navDisplay);

// The disc's colour: green up to 8 knots, yellow above, red above 19.
platform::Colour WindDiscColour(float speedKt);

// The scale text, right-aligned on the bottom line labelBottom.
void DrawScaleText(platform::Canvas& canvas, const std::string& text, int right, int labelBottom,
                   const platform::Font& font);

// The wind disc at windTop in the button column, its colour by the speed,
// with the arrow of the wind's sector on the rotated map.
void DrawWindIndicator(platform::Canvas& canvas, const ComposeLayers& layers);

// The frame from the back canvas's pixels; without them (no map yet) the
// map area is white.
void ComposeMapFrame(platform::Canvas& out, const platform::Image* back, const ComposeLayers& layers);
inline void ComposeMapFrame(platform::Canvas& out, const platform::Image& back, const ComposeLayers& layers) {
    ComposeMapFrame(out, &back, layers);
}

// The frame from the finished canvas of `back` (read under its lock) and,
// when it is shown, the outline's image (read under the outline's lock).
// False when no canvas was handed over yet: the frame is then composed on
// white.
bool ComposeFromHandover(platform::Canvas& out, const platform::CanvasHandover& back,
                         const glide::CReachableOutline* outline, ComposeLayers layers);

// The task layer's canvas (UI thread).
class TaskLayerCanvas {
  public:
    // Draws the layer anew at the size with the context's transform and
    // pens: white, then the flown task. Nothing below 24 pixels wide.
    void Render(int width, int height, const mapdata::MapDrawContext& context, int lineWidth);
    // The pixels, or null before the first Render.
    const platform::Image* Pixels() const;

  private:
    std::unique_ptr<platform::Canvas> canvas_;
};

}  // namespace map
