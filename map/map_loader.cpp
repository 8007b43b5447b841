#include "map/map_loader.h"

#include <algorithm>
#include <utility>

#include "map/alarm_zone_check.h"
#include "map/alarm_zone_options.h"
#include "map/settings_values.h"

namespace map {

MapLoader::MapLoader(MapLists& lists, mapdata::CMapFile& mapFile, MapViewModel& view,
                     AlarmZoneThread& alarm, MapReadThread& reader,
                     platform::SettingsStore& settings, MapLoaderHooks hooks)
    : lists_(lists),
      mapFile_(mapFile),
      view_(view),
      alarm_(alarm),
      reader_(reader),
      settings_(settings),
      hooks_(std::move(hooks)) {}

LoadResult MapLoader::LoadMapFile(std::wstring_view name, bool mustExist,
                                  const mapdata::MapFileChoice& choice) {
    reader_.Stop();
    if (hooks_.stopDrawing) hooks_.stopDrawing();
    switch (mapFile_.ChooseMapFile(name, mustExist, choice)) {
        case mapdata::ChooseResult::kOpened:
            break;
        case mapdata::ChooseResult::kCancelled:
            return LoadResult::kCancelled;
        case mapdata::ChooseResult::kOpenFailed:
            return LoadResult::kOpenFailed;
        case mapdata::ChooseResult::kEmptyWithoutFix:
            return LoadResult::kEmptyWithoutFix;
    }
    mapFile_.SetRotation(0.0, true);
    view_.rotationDeg = 0.0F;
    view_.centredOnAircraft = 0;
    if (mapFile_.ReadHeader() != mapdata::HeaderResult::kRead) return LoadResult::kHeaderUnreadable;
    if (hooks_.storeMapFileName) hooks_.storeMapFileName(mapFile_.GetFullPath());
    view_.AdoptMapHeader();
    view_.FitMapScale();
    view_.SaveViewState(kMovingMap);
    view_.mapLoaded = 1;
    view_.SetMapMargin(view_.marginFraction);
    view_.PublishMapTransform();
    ClearMapLists(true);
    StartRead(false);
    return LoadResult::kStarted;
}

MapLoader::~MapLoader() {
    if (builderInstalled_) SetBuildEnlargedZones({});
}

void MapLoader::InstallEnlargedZonesBuilder() {
    SetBuildEnlargedZones([this] { RebuildEnlargedZones(g_horGuardNm.load()); });
    builderInstalled_ = true;
}

void MapLoader::ReloadOverlay() {
    // A map read stopped half-way would leave the map cut short: it is read
    // again whole, its overlay with it.
    const bool mapCut = readingMap_ && !reader_.Finished() && !reader_.ReadEnded();
    reader_.Stop();
    if (hooks_.stopDrawing) hooks_.stopDrawing();
    if (mapCut) {
        ClearMapLists(true);
        StartRead(false);
        return;
    }
    {
        const std::lock_guard lock(lists_.lock);
        lists_.overlay.clear();
    }
    StartRead(true);
}

void MapLoader::ClearMapLists(bool includeOverlay) {
    reader_.Stop();
    if (hooks_.stopDrawing) hooks_.stopDrawing();
    alarm_.Stop();
    alarm_.ClearAlarm();
    const std::lock_guard lock(lists_.lock);
    lists_.general.clear();
    lists_.symbols17.clear();
    if (includeOverlay) lists_.overlay.clear();
    lists_.symbols27.clear();
    lists_.zones.clear();
}

void MapLoader::StartRead(bool overlayOnly) {
    readStart_ = now();
    {
        const std::lock_guard lock(lists_.lock);
        lists_.zoneCounter = 1;
    }
    readingMap_ = !overlayOnly;
    if (!overlayOnly) {
        // The read makes the zones' copies at the guard set now.
        zonesGuardNm_ = g_horGuardNm.load();
        pendingGuardNm_.reset();
    }
    reader_.Start({&mapFile_, overlayPath, overlayOnly, zonesGuardNm_});
}

void MapLoader::OnMapReadDone(int lParam) {
    if (lParam < 1 && reader_.ReadEnded()) {
        const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(now() - readStart_);
        settings_.WriteInt("Performance", "LastMapReadTime_sec",
                           static_cast<std::uint32_t>(std::max<long long>(seconds.count(), 0)));
        bool haveZones = false;
        {
            const std::lock_guard lock(lists_.lock);
            haveZones = !lists_.zones.empty();
        }
        if (pendingGuardNm_ && *pendingGuardNm_ != zonesGuardNm_) {
            RebuildEnlargedZones(*std::exchange(pendingGuardNm_, std::nullopt));
            return;
        }
        pendingGuardNm_.reset();
        if (haveZones) {
            alarm_.Start();
        } else {
            alarm_.Stop();
        }
    }
    view_.backBufferValid = 0;
    if (hooks_.requestRedraw) hooks_.requestRedraw();
}

void MapLoader::RebuildEnlargedZones(float guardNm) {
    if (!reader_.Finished() && !reader_.ReadEnded()) {
        // The read splices zones still; its end rebuilds them.
        pendingGuardNm_ = guardNm;
        return;
    }
    alarm_.Stop();
    alarm_.ClearAlarm();
    if (hooks_.stopDrawing) hooks_.stopDrawing();
    bool haveZones = false;
    {
        const std::lock_guard lock(lists_.lock);
        BuildEnlargedZones(lists_.zones, guardNm, lists_.zoneCounter);
        haveZones = !lists_.zones.empty();
    }
    zonesGuardNm_ = guardNm;
    if (haveZones) alarm_.Start();
    view_.backBufferValid = 0;
    if (hooks_.requestRedraw) hooks_.requestRedraw();
}

}  // namespace map
