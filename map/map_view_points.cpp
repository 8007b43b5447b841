// The map window's file and point commands: loading a map, the exports
// and the overlay, and the points the frame adds to or takes off the map.
#include "map/map_view_engine.h"

#include <wx/evtloop.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <optional>
#include <thread>

#include "core/settings_values.h"
#include "core/waypoint_attachments.h"
#include "fix/first_fix.h"
#include "gps/nav_fix.h"
#include "map/alarm_zone_thread.h"
#include "map/drawing_tables.h"
#include "map/map_export_command.h"
#include "map/map_loader.h"
#include "map/map_painter.h"
#include "map/map_read_thread.h"
#include "map/map_render.h"
#include "map/overlay_command.h"
#include "map/settings_values.h"
#include "mapdata/binary_map.h"
#include "mapdata/map_file.h"
#include "mapdata/map_text_element.h"
#include "nav/current_position.h"
#include "nav/destination_queue.h"
#include "nav/settings_values.h"
#include "nav/task_model.h"
#include "nav/waypoint_edit.h"
#include "nav/waypoint_file_open.h"
#include "nav/waypoint_list.h"
#include "platform/gui/file_dialog.h"
#include "platform/message_box.h"
#include "platform/settings_store.h"
#include "platform/ui_post.h"
#include "platform/window_messages.h"
#include "resources/ids/strings_map.h"
#include "services/module_services.h"
#include "services/shared_locks.h"
#include "services/string_resources.h"

namespace map {
namespace {

using ids::kIdsMapCaption;
using ids::kIdsNewMapWithoutFix;

}  // namespace

using view_parts::TablesDrawContext;

int CGPSmapView::LoadMapFile(const std::wstring& fileName, int option) {
    mapdata::MapFileChoice choice;
    choice.haveFix = g_bHaveFix.load() != 0;
    choice.position = nav::CopyMapFix();
    choice.mapRadius = g_mapRadius.load();
    choice.chooser = [this] { return ChooseMapFileName(); };
    const LoadResult result = engine_->loader.LoadMapFile(fileName, option == 1, choice);
    if (result == LoadResult::kEmptyWithoutFix && option == 0) {
        // A new map is laid out round the aircraft: without a fix the empty
        // file was removed, and the pilot is told why nothing was loaded.
        platform::ShowMessageBox(wxGetTopLevelParent(this), core::LoadResourceString(kIdsNewMapWithoutFix),
                                 core::LoadResourceString(kIdsMapCaption),
                                 platform::mb::kIconHand | platform::mb::kTopmost);
    }
    if (result != LoadResult::kStarted) return 0;
    mapReadDone_ = false;
    mapLoaded_ = true;
    return 1;
}

std::optional<std::wstring> CGPSmapView::ChooseMapFileName() {
    constexpr char kMaps[] = "Options\\Maps";
    platform::SettingsStore& store = platform::AppSettings();
    const int extIndex = static_cast<int>(store.GetInt(kMaps, "extIndex", 1));
    platform::gui::FileDialogRequest dialog;
    dialog.title = "Map File";
    dialog.folder = std::filesystem::path(g_mapFileName.Get()).parent_path();
    dialog.wildcard = wxString(mapdata::kMapFileFilter.data(), mapdata::kMapFileFilter.size());
    // The stored index counts from 1, the dialog's from 0.
    dialog.filterIndex = std::max(extIndex, 1) - 1;
    dialog.mustExist = false;
    const auto answer = platform::gui::ShowFileDialog(wxGetTopLevelParent(this), dialog);
    if (!answer) return std::nullopt;
    store.WriteInt(kMaps, "extIndex", answer->filterIndex + 1);
    std::wstring path = answer->path.wstring();
    if (std::filesystem::path(path).extension().empty()) path += L".map";
    return path;
}

void CGPSmapView::WaitForMapReady(bool waitForElements, bool waitForDrawing) {
    const auto busy = [&] {
        return (waitForElements && !engine_->reader.Finished()) ||
               (waitForDrawing && !engine_->render.Finished());
    };
    while (busy()) {
        if (wxEventLoopBase* loop = wxEventLoopBase::GetActive())
            loop->YieldFor(wxEVT_CATEGORY_ALL & ~wxEVT_CATEGORY_UI);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

void CGPSmapView::StopMapRead() {
    // A read cut short posts no end, so nothing else would mark it done.
    engine_->reader.Stop();
    mapReadDone_ = true;
}

bool CGPSmapView::ChangeElements(const std::function<void(MapLists&)>& change) {
    if (!engine_->reader.Finished()) return false;
    // The drawing walks the lists; it is joined before they change.
    engine_->render.Stop();
    g_bTrackDrawContinue = 0;
    {
        const std::lock_guard lock(engine_->lists.lock);
        change(engine_->lists);
    }
    MapChanged();
    return true;
}

bool CGPSmapView::MapPointsWritable() const {
    return model_.mapLoaded != 0 && mapFile_.IsOpen() && !mapFile_.IsReadOnly();
}

bool CGPSmapView::AppendMapPointLines(std::wstring_view lines) {
    if (!MapPointsWritable()) return false;
    // A binary map keeps the point as an element; the record conversion,
    // the only writer of map points into a binary map, stores the lists.
    if (mapFile_.IsBinary()) return true;
    engine_->render.Stop();
    g_bTrackDrawContinue = 0;
    return mapFile_.AppendTextLines(lines);
}

void CGPSmapView::AddMapPoint(const nav::WaypointRecord& record, int code) {
    ChangeElements([&record, code](MapLists& lists) {
        lists.general.push_back(std::make_unique<mapdata::CMapTextElement>(
            mapdata::PointMarkerElement(record, code, std::wstring(record.name.View()), 0.0F, 0.0F)));
    });
}

namespace {

bool SamePoint(const mapdata::CMapElement& element, const CGPSmapView::PointRecord& record) {
    const auto* text = dynamic_cast<const mapdata::CMapTextElement*>(&element);
    constexpr double kSame = 1e-8;
    return text != nullptr && text->kindCode == record.code &&
           std::abs(text->latitude - record.position.latitude) < kSame &&
           std::abs(text->longitude - record.position.longitude) < kSame;
}

}  // namespace

std::vector<CGPSmapView::PointRecord> CGPSmapView::PointRecords() {
    std::vector<PointRecord> records;
    if (!mapFile_.IsOpen()) return records;
    if (mapFile_.IsBinary()) {
        const std::lock_guard lock(engine_->lists.lock);
        for (const auto& element : engine_->lists.general) {
            const auto* text = dynamic_cast<const mapdata::CMapTextElement*>(element.get());
            if (text == nullptr || text->kindCode > mapdata::kMarkerCode) continue;
            nav::WaypointRecord position(text->latitude, text->longitude, false);
            records.push_back({position, text->kindCode, std::nullopt});
        }
        return records;
    }
    // The drawing reads the map file too; it waits while the records are read.
    engine_->render.Stop();
    g_bTrackDrawContinue = 0;
    std::uint64_t offset = mapFile_.dataStart;
    while (const std::optional<mapdata::RecordAt> record = mapFile_.ReadRecordAt(offset)) {
        if (record->code <= mapdata::kMarkerCode)
            records.push_back({record->record, record->code, record->lineStart});
        if (record->nextOffset <= offset) break;
        offset = record->nextOffset;
    }
    return records;
}

bool CGPSmapView::HasPointElement(const PointRecord& record) {
    const std::lock_guard lock(engine_->lists.lock);
    return std::any_of(engine_->lists.general.begin(), engine_->lists.general.end(),
                       [&record](const auto& element) { return SamePoint(*element, record); });
}

bool CGPSmapView::RemovePointRecord(const PointRecord& record) {
    engine_->render.Stop();
    g_bTrackDrawContinue = 0;
    if (record.lineStart && !mapFile_.PutCharAt(*record.lineStart, ';')) return false;
    bool removed = false;
    ChangeElements([&record, &removed](MapLists& lists) {
        auto& general = lists.general;
        const auto found = std::find_if(general.begin(), general.end(),
                                        [&record](const auto& element) { return SamePoint(*element, record); });
        if (found == general.end()) return;
        general.erase(found);
        removed = true;
    });
    return removed;
}

bool CGPSmapView::RewriteBinaryMap() {
    if (!BinaryMapLoaded() || !engine_->reader.Finished()) return false;
    engine_->render.Stop();
    g_bTrackDrawContinue = 0;
    bool written = false;
    {
        const std::lock_guard lock(engine_->lists.lock);
        const MapLists& l = engine_->lists;
        written = mapdata::WriteBinaryMap({l.general, l.zones, l.symbols17, l.symbols27},
                                          mapFile_.HeaderText(), mapFile_.GetFullPath());
    }
    // The file was replaced: later appends go to the new one.
    const bool reopened = written && mapFile_.Reopen();
    MapChanged();
    return reopened;
}

bool CGPSmapView::SimplifyElements(double tolerance, double maxGap) {
    const auto tol = static_cast<float>(tolerance);
    const auto gap = static_cast<float>(maxGap);
    return ChangeElements([tol, gap](MapLists& lists) {
        for (const auto& element : lists.symbols17) element->Simplify(tol, gap);
        for (const auto& element : lists.general) element->Simplify(tol, gap);
    });
}

bool CGPSmapView::BinaryMapLoaded() const {
    return mapFile_.IsOpen() && mapFile_.IsBinary();
}

bool CGPSmapView::AppendWaypointToMap(const nav::WaypointRecord& record) {
    if (model_.mapLoaded == 0 || !engine_->reader.Finished()) return false;
    // The drawing reads the map file; it waits while the point goes in.
    engine_->render.Stop();
    g_bTrackDrawContinue = 0;
    if (!mapFile_.WritePointRecord(record)) {
        MapChanged();
        return false;
    }
    const std::int32_t code = mapFile_.NextPointCode();
    // The point shows at once, as the next read of the file gives it.
    ChangeElements([&record, code](MapLists& lists) {
        lists.general.push_back(std::make_unique<mapdata::CMapTextElement>(
            mapdata::PointMarkerElement(record, code, {}, 0.0F, 0.0F)));
    });
    if (nav::g_saveDroppedWpts.load() != 0) {
        const bool terrainKnown = gps::g_terrainElevation.load() != gps::kUnknownTerrain;
        nav::AddWaypoint(nav::g_waypointFile, DroppedWaypoint(record, code, UtcNow(), terrainKnown));
        if (sources_.waypointsChanged) sources_.waypointsChanged();
    }
    return true;
}

void CGPSmapView::RunExport(void (*command)(MapExportSite&, MapCommandDialogs&),
                            MapCommandDialogs& dialogs) {
    MapExportSite site{engine_->lists, mapFile_, model_, TablesDrawContext(),
                       model_.mapLoaded != 0 && engine_->reader.Finished(),
                       [this] { engine_->render.Stop(); }};
    command(site, dialogs);
    MapChanged();
}

void CGPSmapView::ExportBinaryMap(MapCommandDialogs& dialogs) { RunExport(RunExportBinaryMap, dialogs); }

void CGPSmapView::ExportBitmap(MapCommandDialogs& dialogs) { RunExport(RunExportBitmap, dialogs); }

void CGPSmapView::ChooseOverlayFile(MapCommandDialogs& dialogs) {
    OverlaySite site{platform::AppSettings(), g_overlayFileName.Get(), {}, {}, {}, {}, {}};
    site.displayMode = [this] { return model_.displayMode; };
    site.setDisplayMode = [this](int mode) { SetMapDisplayMode(mode); };
    site.storePath = [this](const std::wstring& path) {
        g_overlayFileName.Set(path);
        settings_.overlayFile = path;
    };
    site.reloadOverlay = [this](const std::wstring& path) {
        // A running read of the main map finishes first: the reload would
        // cut it short.
        WaitForMapReady(true, false);
        mapReadDone_ = false;
        engine_->loader.overlayPath = std::filesystem::path(path);
        engine_->loader.ReloadOverlay();
    };
    site.finish = [this] {
        redraw_.EndContentsChange();
        RequestMapRedraw();
    };
    RunOverlayFileCommand(site, dialogs);
}

bool CGPSmapView::OverlayHasElements() const {
    const std::lock_guard lock(engine_->lists.lock);
    return !engine_->lists.symbols27.empty() || !engine_->lists.overlay.empty();
}

}  // namespace map
