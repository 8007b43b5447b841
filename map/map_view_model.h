#pragma once
// MapViewModel: the moving map's display state and the arithmetic behind
// it, without wx. It drives the projection of the loaded map (CMapFile) and
// turns it into the screen transform
//   screen x = (x1 - px) x scale + 24 + offsetX,  screen y = (y1 - py) x scale + offsetY
// where (px, py) are projected coordinates and 24 pixels the button column
// at the left edge, which the map never covers.
//
// The map window owns one and calls it on the UI thread only. Whatever
// needs a window (redraws, repaints of the position page) is asked for
// through the flags the window takes (TakeRedrawRequest), so that the model
// is tested without a display. Positions the caller copied under MapLock
// are passed in.

#include "core/waypoint_record.h"
#include "map/map_view_state.h"
#include "mapdata/map_draw_state.h"
#include "mapdata/map_element.h"
#include "mapdata/map_file.h"

namespace map {

inline constexpr int kButtonColumn = 24;

enum DisplayMode : int {
    kMovingMap = 0,
    kZoomedMap = 1,
    kFocusPoint = 2,
    kFocusObject = 3,
};

struct ClientSize {
    int width = 0;
    int height = 0;
};

// Where a flip of the map ends: north up, or south up from any rotation
// below 90 or at 270 and more.
float FlippedRotation(float rotationDeg);

class MapViewModel {
  public:
    explicit MapViewModel(mapdata::CMapFile& mapFile) : mapFile_(mapFile) {}

    // --- After the header was read: take its corners and scale values.
    void AdoptMapHeader();

    // --- The transform.
    float ScreenX(float px) const { return (bounds.x1 - px) * scale + kButtonColumn + offsetX; }
    float ScreenY(float py) const { return (bounds.y1 - py) * scale + offsetY; }
    void FitMapScale();
    void SetMapMargin(float fraction);
    // Publishes the transform: the value the drawing copies.
    mapdata::MapDrawState PublishMapTransform();
    const mapdata::MapDrawState& Published() const { return published_; }

    // --- View operations (a map must be loaded).
    void ZoomMap(bool zoomIn);
    // angle >= 0: the track to turn to; < 0: the Flip Map button.
    // aircraft: the fix, used to recentre after a flip.
    void SetMapRotation(float angle, const nav::WaypointRecord& aircraft);
    void CenterMapOn(const nav::WaypointRecord& position, bool force);

    // --- View states.
    void SaveViewState(int slot);
    void RestoreViewState(int slot);
    // Prepares slot 2 or 3 to show position with radius (nautical miles).
    void FocusOnPoint(const nav::WaypointRecord& position, int slot, float radiusNm);
    // Prepares slot to show an object's bounds, centred on the aircraft or,
    // with aroundObject, on the object's own centre.
    void FocusOnObject(const core::GeoBox& object, int slot, bool aroundObject,
                       const nav::WaypointRecord& aircraft);
    // Prepares the zoomed mode's slot: the aircraft with zoomedMapRadius
    // (metres) round it, north up, following the aircraft.
    void PrepareZoomedSlot(const nav::WaypointRecord& aircraft);
    // Enters the zoomed mode around the aircraft.
    void ZoomToFix(const nav::WaypointRecord& aircraft);
    // Leaves the zoomed mode or changes mode; see the window's mode
    // switching.
    void SetMapDisplayMode(int mode, const nav::WaypointRecord& aircraft);

    // True once since the last call when the model asked for a redraw.
    bool TakeRedrawRequest();

    // --- States (the window and other panes read them).
    ClientSize client;
    int displayMode = kMovingMap;
    int modeBeforeZoom = kMovingMap;
    int zoomed = 0;
    int trackUp = 0;
    int trackUpButton = 1;
    int centredOnAircraft = 0;
    int backBufferValid = 0;
    int mapLoaded = 0;
    int firstFixSeen = 0;  // the window sets it with the first committed fix
    MapBounds bounds;
    float scale = 1.0F;
    float offsetX = 0.0F;
    float offsetY = 0.0F;
    float rotationDeg = 0.0F;
    float pendingRotation = 0.0F;  // the track remembered while north up
    float pixelsPerMile = 1.0F;
    float mapRadius = 10.0F;  // the map file's radius value, statute miles
    float mapScale = 10.0F;   // its label scale
    bool mapScaleScales = true;  // zooming scales mapScale (else steps it by 1)
    platform::PixelRect drawRect;
    float marginFraction = 0.05F;    // "MapMargin"
    float zoomFactor = 1.6F;         // "ZoomFactor"
    float zoomedMapRadius = 800.0F;  // "ZoomedMapRadius"
    int trackPoints = 0;             // track points drawn now
    int normalTrackPoints = 0;       // in modes 0 and 2
    int zoomedTrackPoints = 50;      // "ZoomedTrackCacheLength"

  private:
    void Changed();  // back buffer invalid, publish, redraw
    void FillSlotFromMap(MapViewState& slot, const mapdata::CMapFile& map) const;

    mapdata::CMapFile& mapFile_;
    mapdata::MapDrawState published_;
    bool redrawRequested_ = false;
};

}  // namespace map
