#pragma once
// MapLoader: the map window's loading without wx: LoadMapFile,
// ReloadOverlay, ClearMapLists, what the window does when the read posts
// its end (OnMapReadDone), and the rebuild of the enlarged zones.
//
// UI thread only. Whatever deletes elements first stops and joins the
// drawing threads (the stopDrawing hook), a running read and, for zones,
// the alarm thread; it deletes under MapListLock and forgets the alarmed
// zone.

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "map/alarm_zone_thread.h"
#include "map/map_lists.h"
#include "map/map_read_thread.h"
#include "map/map_view_model.h"
#include "platform/settings_store.h"

namespace map {

enum class LoadResult { kStarted, kHeaderUnreadable, kCancelled, kOpenFailed, kEmptyWithoutFix };

struct MapLoaderHooks {
    // Stops the render and track threads and waits for them.
    std::function<void()> stopDrawing;
    // Stores the loaded map's path ("MapFile", "Settings").
    std::function<void(const std::wstring&)> storeMapFileName;
    // Asks for a redraw of the whole map.
    std::function<void()> requestRedraw;
};

class MapLoader {
  public:
    MapLoader(MapLists& lists, mapdata::CMapFile& mapFile, MapViewModel& view,
              AlarmZoneThread& alarm, MapReadThread& reader, platform::SettingsStore& settings,
              MapLoaderHooks hooks);
    // Removes its enlarged-zones builder when it installed one.
    ~MapLoader();
    MapLoader(const MapLoader&) = delete;
    MapLoader& operator=(const MapLoader&) = delete;

    // Makes the alarm-zone options' BuildEnlargedZones() rebuild this
    // loader's zones at the "HorGuard" setting.
    void InstallEnlargedZonesBuilder();

    // Chooses the map (the name, or the chooser when it is empty), reads its
    // header and starts the read. The running read and the drawing are
    // stopped first, since the choice reopens the file they read.
    LoadResult LoadMapFile(std::wstring_view name, bool mustExist,
                           const mapdata::MapFileChoice& choice);
    // Deletes the overlay elements and reads the overlay again; while the
    // map itself is still read, reads it again with the overlay.
    void ReloadOverlay();
    // Deletes every element (the overlay's with includeOverlay).
    void ClearMapLists(bool includeOverlay);
    // The read thread's post: lParam 0 the read ended, 1 progress. The end
    // post of a read that another has replaced is only a redraw.
    void OnMapReadDone(int lParam);
    // Rebuilds the enlarged zones for guardNm with the alarm thread stopped.
    // While a read runs, the rebuild waits for its end.
    void RebuildEnlargedZones(float guardNm);

    // The overlay file ("OverlayFile", "Settings"); empty for none.
    std::filesystem::path overlayPath;
    std::function<std::chrono::system_clock::time_point()> now = [] {
        return std::chrono::system_clock::now();
    };

  private:
    void StartRead(bool overlayOnly);

    MapLists& lists_;
    mapdata::CMapFile& mapFile_;
    MapViewModel& view_;
    AlarmZoneThread& alarm_;
    MapReadThread& reader_;
    platform::SettingsStore& settings_;
    MapLoaderHooks hooks_;
    std::chrono::system_clock::time_point readStart_{};
    // The guard the zones were enlarged by, and one asked for during a read.
    float zonesGuardNm_ = 0.0F;
    std::optional<float> pendingGuardNm_;
    bool readingMap_ = false;  // the last read started reads the map
    bool builderInstalled_ = false;
};

}  // namespace map
