#pragma once
// What the map window keeps for its paint besides the back canvas (UI
// thread): the task layer, the aircraft and glide-path conflict sprites
// with their pictures, and the frame the paint blits.

#include <memory>
#include <optional>
#include <vector>

#include "map/drawing_tables.h"
#include "map/map_compose.h"
#include "map/map_sprite.h"

namespace map {

// The label font from "Family", "baseMapSize" and "mapBold".
platform::Font MapLabelFont();

class MapPainter {
  public:
    // The aircraft pictures from the tables' cursor bitmaps and aircraft
    // icon (none without tables).
    explicit MapPainter(const MapDrawingTables* tables);

    // The task layer anew (RenderMapToBackBuffer's part).
    void RenderTaskLayer(int width, int height, const mapdata::MapDrawContext& context) {
        taskLayer_.Render(width, height, context, context.lineWidth);
    }

    // Puts the aircraft where the fix lands, in the picture of its track's
    // sector on the map turned by rotationDeg, and the conflict mark where
    // the glide path meets the terrain (hidden without one). The
    // rectangles to repaint.
    std::vector<platform::PixelRect> PlaceSprites(const mapdata::MapDrawState& state,
                                             const nav::WaypointRecord& fix, double trackDeg,
                                             double rotationDeg,
                                             const std::optional<nav::WaypointRecord>& conflict);
    // Hides both; the rectangles to repaint.
    std::vector<platform::PixelRect> HideSprites();
    const MapSprite& Aircraft() const { return aircraft_; }

    // The frame at the size from the finished back canvas, the task layer,
    // the outline (when shown), the sprites and the rest of layers; null
    // for a size that cannot be drawn.
    const platform::Image* Compose(int width, int height, const platform::CanvasHandover& back,
                                   const glide::CReachableOutline* outline, ComposeLayers layers);

  private:
    std::vector<CursorBitmap> cursors_;
    std::unique_ptr<AircraftImages> aircraftImages_;
    platform::Image conflictImage_;
    MapSprite aircraft_;
    int aircraftSector_ = -1;
    MapSprite conflict_;
    TaskLayerCanvas taskLayer_;
    std::unique_ptr<platform::Canvas> frame_;
};

}  // namespace map
