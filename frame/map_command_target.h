#pragma once
// The map window's side of the frame's map commands. The map code
// implements it and registers it once its window exists; until then the
// commands find no target and do nothing (and the map is taken to be in its
// normal display mode, with no binary map and no overlay). UI thread only.

#include <cstdint>
#include <memory>

namespace frame {

class MapCommandTarget {
  public:
    virtual ~MapCommandTarget() = default;
    virtual int DisplayMode() const { return 0; }
    virtual void SetDisplayMode(int /*mode*/) {}
    // The map's map file is open.
    virtual bool FileOpen() const { return false; }
    virtual bool BinaryMapLoaded() const { return false; }
    virtual void RenderBackBuffer() {}
    virtual void LayoutButtons(int /*flag*/) {}
    virtual void RedrawGlideModeButton() {}
    virtual void ZoomMap(int /*in*/) {}
    virtual void SetMapRotation(double /*rotation*/) {}
    virtual void ToggleZoomedMap() {}
    // Centres on g_mapFix, copied under the map lock.
    virtual void CenterMapOnFix() {}
    // Appends g_mapFix (copied under the map lock) as a mark, its altitude
    // the terrain's where known.
    virtual void AppendFixMark() {}
    // Simplifies every element of the third, then the first element list.
    virtual void SimplifyElements(double /*tolerance*/, double /*second*/) {}
    // Turns map point records into waypoints (command 32804).
    virtual void ConvertMapRecords() {}
    // The new-waypoint dialog in its map-point mode; the new entry or -1.
    virtual int NewMapPoint() { return -1; }
    virtual void ExportBinaryMap() {}
    virtual void ExportBitmap() {}
    // Chooses and loads an elevation model header (command 32827).
    virtual void ChooseElevationModel() {}
    // Chooses the overlay map file (command 32831).
    virtual void ChooseOverlayFile() {}
    // The fourth and fifth element lists together hold an element.
    virtual bool OverlayHasElements() const { return false; }
};

void SetMapCommandTarget(std::shared_ptr<MapCommandTarget> target);
// The registered target, or a target that does nothing.
MapCommandTarget& CurrentMapCommandTarget();

}  // namespace frame
