#include "map/map_painter.h"

#include "core/settings_values.h"
#include "map/map_draw_math.h"
#include "map/settings_values.h"
#include "platform/utf.h"

namespace map {
namespace {

void Add(std::vector<platform::PixelRect>& rects, const std::optional<platform::PixelRect>& rect) {
    if (rect) rects.push_back(*rect);
}

}  // namespace

platform::Font MapLabelFont() {
    platform::Font font;
    font.face = platform::ToUtf8(core::g_fontFamily.Get().substr(0, 31));
    font.height = g_baseMapSize.load();
    font.weight = g_mapBold.load() != 0 ? 700 : 400;
    return font;
}

MapPainter::MapPainter(const MapDrawingTables* tables) : conflictImage_(MakeConflictMark()) {
    platform::Image icon;
    if (tables != nullptr) {
        for (const mapdata::UserSymbol& cursor : tables->cursorImages) {
            cursors_.push_back({cursor.bitmap.ToImage(),
                                {cursor.transparent.red, cursor.transparent.green, cursor.transparent.blue}});
        }
        icon = tables->singleIcon.Clone();
    }
    aircraftImages_ = MakeAircraftImages(icon, cursors_);
    conflict_.SetImage({&conflictImage_, std::nullopt});
}

std::vector<platform::PixelRect> MapPainter::PlaceSprites(const mapdata::MapDrawState& state,
                                                     const nav::WaypointRecord& fix, double trackDeg,
                                                     double rotationDeg,
                                                     const std::optional<nav::WaypointRecord>& conflict) {
    std::vector<platform::PixelRect> repaint;
    if (conflict) {
        Add(repaint, ProjectToSprite(state, *conflict, conflict_));
    } else {
        Add(repaint, conflict_.Erase(false));
    }
    const int sector = AircraftSector(trackDeg, rotationDeg);
    if (sector != aircraftSector_) {
        // A new picture: its place is repainted even when it stays put.
        Add(repaint, aircraft_.Erase(true));
        aircraft_.SetImage(aircraftImages_->sectors[static_cast<std::size_t>(sector)]);
        aircraftSector_ = sector;
    }
    Add(repaint, ProjectToSprite(state, fix, aircraft_));
    return repaint;
}

std::vector<platform::PixelRect> MapPainter::HideSprites() {
    std::vector<platform::PixelRect> repaint;
    Add(repaint, aircraft_.Erase(false));
    Add(repaint, conflict_.Erase(false));
    return repaint;
}

const platform::Image* MapPainter::Compose(int width, int height, const platform::CanvasHandover& back,
                                           const glide::CReachableOutline* outline, ComposeLayers layers) {
    if (width <= 0 || height <= 0) return nullptr;
    if (!frame_ || frame_->Width() != width || frame_->Height() != height) {
        frame_ = std::make_unique<platform::Canvas>(width, height);
    }
    if (!frame_->Valid()) {
        frame_.reset();
        return nullptr;
    }
    if (const platform::Image* task = taskLayer_.Pixels();
        task != nullptr && task->Width() == width && task->Height() == height) {
        layers.taskLayer = task;
    }
    layers.sprites = {&conflict_, &aircraft_};
    ComposeFromHandover(*frame_, back, outline, std::move(layers));
    return &std::as_const(*frame_).Pixels();
}

}  // namespace map
