#include "map/map_view.h"

#include <wx/button.h>
#include <wx/dcbuffer.h>
#include <wx/evtloop.h>
#include <wx/frame.h>
#include <wx/toolbar.h>
#include <wx/textctrl.h>

#include <algorithm>
#include <any>
#include <atomic>
#include <chrono>
#include <cmath>
#include <fstream>
#include <numbers>
#include <optional>
#include <thread>

#include "core/elevation_model.h"
#include "core/flarm_library.h"
#include "core/module_services.h"
#include "core/settings_values.h"
#include "core/shared_locks.h"
#include "core/sound_queue.h"
#include "core/string_resources.h"
#include "core/waypoint_attachments.h"
#include "glide/current_wind.h"
#include "glide/display_texts.h"
#include "fix/first_fix.h"
#include "glide/glide_path.h"
#include "gps/nav_fix.h"
#include "gps/port_auto_baud.h"
#include "mapdata/binary_map.h"
#include "mapdata/map_file.h"
#include "mapdata/map_text_element.h"
#include "map/alarm_zone_check.h"
#include "map/alarm_zone_thread.h"
#include "map/drawing_tables.h"
#include "map/map_export_command.h"
#include "map/map_loader.h"
#include "map/map_painter.h"
#include "map/map_read_thread.h"
#include "map/map_render.h"
#include "map/overlay_command.h"
#include "map/settings_values.h"
#include "map/tap_info.h"
#include "map/task_layer_draw.h"
#include "map/track_draw.h"
#include "nav/current_position.h"
#include "nav/destination_queue.h"
#include "nav/settings_values.h"
#include "nav/task_model.h"
#include "nav/task_zone.h"
#include "nav/waypoint_edit.h"
#include "nav/waypoint_file_open.h"
#include "platform/gui/canvas_bitmap.h"
#include "platform/gui/file_dialog.h"
#include "platform/message_box.h"
#include "platform/settings_store.h"
#include "platform/ui_post.h"
#include "platform/window_messages.h"

namespace map {
namespace {

constexpr int kMapTimerId = 1;
constexpr unsigned kIdsTimerCaption = 2033;
constexpr unsigned kIdsMapCaption = 2538;
constexpr unsigned kIdsNewMapWithoutFix = 2543;
constexpr unsigned kIdsTimerFailed = 2034;
constexpr unsigned kIdsNoTimer = 2035;
constexpr unsigned kIdsOtherTimer = 2036;
constexpr unsigned kIdsPickList = 2117;
constexpr unsigned kIdsClose = 2544;
constexpr unsigned kIdsHold = 2545;
constexpr unsigned kIdsBack = 2546;
constexpr int kReportHoldWParam = 1;
// lParam of WM_APP_MAPREDRAW when the render thread only tells that its
// canvas is ready. Any other value asks for a new drawing: the frame's
// overlay switch posts 1, the task hook 0.
constexpr std::intptr_t kRenderReady = -1;
constexpr int kObjectInfoPopup = 8;

std::atomic<int> g_trackPointLimit{100000};

wxRect ToWx(const ChildRect& r) {
    return {r.x, r.y, r.width, r.height};
}

void SetZoneFlags(mapdata::CMapElement& zone, std::uint32_t bits) {
    std::atomic_ref(zone.flags).fetch_or(bits);
}

// What the map's layers draw with: the published transform, the pens,
// symbols and label font.
mapdata::MapDrawContext TablesDrawContext() {
    mapdata::MapDrawContext context;
    if (const MapDrawingTables* tables = DrawingTables()) {
        context.pens = tables->pens;
        context.symbols = &tables->symbols;
    }
    return context;
}

mapdata::MapDrawContext DrawContextFor(const MapViewModel& model, int clientHeight) {
    mapdata::MapDrawContext context = TablesDrawContext();
    context.state = model.Published();
    context.clientHeight = clientHeight;
    context.font = MapLabelFont();
    return context;
}

// The track's look from the window's settings and the drawing tables.
TrackStyle TrackStyleFor(const MapViewSettings& settings, bool zoomed) {
    TrackStyle style;
    style.dotSize = settings.dotSize;
    style.dotSpacing = settings.dotSpacing;
    style.zoomed = zoomed;
    style.showLiftInThermalMode = settings.showLiftInThermalMode != 0;
    style.linesInThermalMode = settings.drawLinesInThermalMode != 0;
    if (const MapDrawingTables* tables = DrawingTables()) style.colours = tables->trackColours;
    return style;
}

// What the paint lays over the back canvas besides the task layer, the
// outline and the sprites.
ComposeLayers PaintLayers(const MapViewModel& model, wxSize client, int labelBottom, int layoutClass,
                          int navDisplay, bool allowGotoWithTask) {
    ComposeLayers layers;
    layers.state = model.Published();
    layers.labelBottom = labelBottom;
    layers.font = MapLabelFont();
    layers.rotationDeg = model.rotationDeg;
    layers.windTop = WindDiscTop(layoutClass, navDisplay);
    if (model.mapLoaded != 0 && model.pixelsPerMile > 0.0F) {
        layers.scaleText = ScaleText(ScaleDistance(client.x, client.y, model.pixelsPerMile,
                                                   core::DistanceUnitFactor(core::g_unitDist.load())));
    }
    const glide::Wind wind = glide::CurrentWind();
    if (wind.valid) layers.wind = WindInput{wind.speed, wind.direction * 180.0 / std::numbers::pi};
    if (const MapDrawingTables* tables = DrawingTables()) layers.windArrows = &tables->windArrows;
    const bool taskActive = nav::g_taskNavigationActive.load() != 0;
    if (g_bHaveFix.load() != 0 &&
        GotoLineShown(g_showGotoLine.load() != 0, nav::g_destinationValid.load() != 0, taskActive,
                      allowGotoWithTask)) {
        layers.gotoLine = GotoLineInput{nav::CopyMapFix(), nav::CopyDestination()};
    }
    return layers;
}

// The glide path's first meeting with the terrain, when one was found.
std::optional<nav::WaypointRecord> GlidePathConflictPoint() {
    const platform::CriticalSectionLock lock(glide::GlidePathConflictLock);
    if (!glide::GlidePathConflict.valid) return std::nullopt;
    return nav::WaypointRecord(glide::GlidePathConflict.latitude, glide::GlidePathConflict.lonWest, false);
}

wxRect ToWxRect(const platform::Rect& r) {
    return {r.left, r.top, r.Width(), r.Height()};
}

}  // namespace

void QueueSoundSink::Play(const std::wstring& fileName) {
    const std::filesystem::path path = nav::AttachmentPath(fileName);
    core::PlaySoundAsync(path.wstring(),
                         core::SND_FILENAME | core::SND_ASYNC | core::SND_NOSTOP | core::SND_NOWAIT,
                         &core::SoundLock, 3000);
}

void CreateMapFont() {
    if (g_pMapView != nullptr) g_pMapView->CreateLabelFont();
}

void LimitTrackPoints(int maxPoints) {
    if (g_trackPointLimit.load() > maxPoints) g_trackPointLimit = maxPoints;
}

int TrackPointLimit() {
    return g_trackPointLimit.load();
}

// The map, its threads and its loader. The threads are declared after what
// they use, and StopThreads joins them before anything goes.
struct CGPSmapView::Engine {
    explicit Engine(CGPSmapView& view)
        : reader(lists, {[](int lParam) {
                             platform::PostWindowMessage(platform::kMapViewWindow,
                                                         platform::WM_APP_MAPREAD, 0, lParam);
                         },
                         ShowMapReadError,
                         {}}),
          alarm(lists.zones, AlarmSourcesFor()),
          render(lists),
          loader(lists, view.mapFile_, view.model_, alarm, reader, platform::AppSettings(),
                 {[this] { render.Stop(); },
                  [](const std::wstring& name) {
                      g_mapFileName.Set(name);
                      platform::AppSettings().WriteString("Settings", "MapFile", name);
                  },
                  [] { CGPSmapView::RequestMapRedraw(); }}) {
        render.onFinished = [] {
            platform::PostWindowMessage(platform::kMapViewWindow, platform::WM_APP_MAPREDRAW, 0,
                                        kRenderReady);
        };
        render.SetTrackProgress([] {
            platform::PostWindowMessage(platform::kMapViewWindow, platform::WM_APP_MAPREDRAW, 0,
                                        kRenderReady);
        });
    }

    static AlarmSources AlarmSourcesFor() {
        AlarmSources sources;
        sources.haveFix = [] { return g_bHaveFix.load() != 0; };
        sources.readFix = ReadLiveAlarmFix;
        sources.guards = [] {
            return AlarmGuards{g_altGuardBelow.load(), g_altGuardAbove.load()};
        };
        return sources;
    }

    void Stop() {
        reader.Stop();
        render.Stop();
        alarm.Stop();
    }

    MapLists lists;
    MapReadThread reader;
    AlarmZoneThread alarm;
    MapRenderThread render;
    MapLoader loader;
    MapPainter painter{DrawingTables()};
};

CGPSmapView::CGPSmapView(wxWindow* parent, const wxPoint& position, const wxSize& size)
    : wxWindow(parent, wxID_ANY, position, size, wxFULL_REPAINT_ON_RESIZE | wxWANTS_CHARS),
      timer_(this, kMapTimerId) {
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    g_mapDisplayMode = kMovingMap;
    MapViewSettings defaults;
    defaults.mapFile = g_mapFileName.Get();
    defaults.overlayFile = g_overlayFileName.Get();
    settings = ReadMapViewSettings(platform::AppSettings(), defaults);
    timerIntervalMs = settings.cursorBlinkMs;
    g_mapFileName.Set(settings.mapFile);
    g_overlayFileName.Set(settings.overlayFile);
    model_.zoomFactor = settings.zoomFactor;
    model_.marginFraction = settings.mapMargin;
    model_.zoomedMapRadius = settings.zoomedMapRadius;
    model_.zoomedTrackPoints = settings.zoomedTrackCacheLength;

    engine_ = std::make_unique<Engine>(*this);
    engine_->loader.overlayPath = std::filesystem::path(settings.overlayFile);
    engine_->loader.InstallEnlargedZonesBuilder();

    CreateChildren();
    CreateFlarmWindow();
    CreateLabelFont();

    Bind(wxEVT_PAINT, &CGPSmapView::OnPaint, this);
    Bind(wxEVT_TIMER, &CGPSmapView::OnTimer, this);
    Bind(wxEVT_SIZE, &CGPSmapView::OnSize, this);
    Bind(wxEVT_DESTROY, &CGPSmapView::OnDestroy, this);
    Bind(wxEVT_LEFT_DOWN, &CGPSmapView::OnLeftDown, this);
    Bind(wxEVT_LEFT_UP, &CGPSmapView::OnLeftUp, this);
    Bind(wxEVT_BUTTON, &CGPSmapView::OnButton, this);
    registration_ = platform::gui::WindowRegistration(
        platform::kMapViewWindow, *this,
        [this](const platform::WindowMessage& message) { return OnWindowMessage(message); });
    StartMapTimer(timerIntervalMs);
}

CGPSmapView::~CGPSmapView() {
    // A destroy event sent by the base destructor must not reach this part.
    Unbind(wxEVT_DESTROY, &CGPSmapView::OnDestroy, this);
    StopThreads();
    CloseFlarmWindow();
    registration_.Reset();
    KillMapTimer();
    if (g_pMapView == this) g_pMapView = nullptr;
}

void CGPSmapView::CreateChildren() {
    const MapChildLayout layout = LayMapChildren(layoutClass, 64);
    const platform::WindowId me = platform::kMapViewWindow;
    const auto icon = [&](int id, const char* caption, int index, int debounce, const ChildRect& at,
                          bool redraw) {
        auto* button = new CIconButton(this, id, caption, index, debounce, me,
                                       [this] { return clock_(); });
        button->SetSize(ToWx(at));
        if (redraw) {
            button->SetRedrawMapOnPress([this] {
                fullRedraw = 1;
                g_bTrackDrawContinue = 0;
            });
        }
        return button;
    };
    flip_ = icon(kFlipId, "Flip Map", 0, IconButtonDebounce::kDefaultMs, layout.flip, false);
    icon(kExpandId, "Expand Map", 1, IconButtonDebounce::kDefaultMs, layout.expand, true);
    icon(kShrinkId, "Shrink Map", 2, IconButtonDebounce::kDefaultMs, layout.shrink, true);
    center_ = icon(kCenterId, "Center Map", 3, IconButtonDebounce::kDefaultMs, layout.center, true);
    zoom_ = icon(kZoomId, "Zoom Map", 4, 600, layout.zoom, true);
    replay_ = icon(kReplayId, "ReplayFile", 7, 50, layout.replay, false);
    toolbar_ = icon(kToolbarId, "ShowToolBar", 9, 150, layout.toolbar, false);
    toolbar_->Hide();

    const auto text = [this](int id, const wxString& caption, const ChildRect& at) {
        auto* button = new wxButton(this, id, caption, wxPoint(at.x, at.y), wxSize(at.width, at.height));
        button->Hide();
        return button;
    };
    pickList_ = text(kPickListId, core::LoadResourceString(kIdsPickList), layout.pickList);
    goto_ = text(kGotoId, "GoTo", layout.gotoList);
    back_ = text(kBackId, core::LoadResourceString(kIdsBack), layout.back);
    close_ = text(kCloseId, core::LoadResourceString(kIdsClose), layout.close);
    alarmAck_ = new CHoldButton(this, kAlarmAckId, core::LoadResourceString(kIdsHold), me,
                                kReportHoldWParam, [this] { return clock_(); });
    alarmAck_->SetSize(ToWx(layout.alarmAck));
    alarmAck_->Hide();

    notes_ = new wxTextCtrl(this, kInfoBoxId, wxEmptyString, wxPoint(layout.infoBox.x, layout.infoBox.y),
                            wxSize(layout.infoBox.width, layout.infoBox.height),
                            wxTE_MULTILINE | wxTE_READONLY | wxVSCROLL | wxBORDER_SIMPLE);
    notes_->Hide();
    picture_ = new CPictureWnd(this, kPictureId, wxPoint(layout.picture.x, layout.picture.y),
                               wxSize(layout.picture.width, layout.picture.height), me);
    picture_->SetLabel("Info Image");
    picture_->FitToSize(layout.picture.width, layout.pictureFitHeight);
    picture_->Hide();
}

void CGPSmapView::LayChildren(int screenLayoutClass, int textButtonWidth) {
    layoutClass = std::clamp(screenLayoutClass, 0, 2);
    const int width = textButtonWidth == 68 || textButtonWidth == 70 ? textButtonWidth : 64;
    const MapChildLayout layout = LayMapChildren(layoutClass, width);
    const std::pair<wxWindow*, const ChildRect*> places[] = {
        {flip_, &layout.flip},        {Child(kExpandId), &layout.expand},
        {Child(kShrinkId), &layout.shrink},
        {center_, &layout.center},    {zoom_, &layout.zoom},
        {replay_, &layout.replay},    {pickList_, &layout.pickList},
        {goto_, &layout.gotoList},    {back_, &layout.back},
        {alarmAck_, &layout.alarmAck}, {close_, &layout.close},
        {picture_, &layout.picture}};
    for (const auto& [window, rect] : places) {
        if (window != nullptr) window->SetSize(ToWx(*rect));
    }
    picture_->FitToSize(layout.picture.width, layout.pictureFitHeight);
}

// The FLARM library makes its traffic window a child of the map (id 1300);
// without FLARM, or when it gives none, there is none.
void CGPSmapView::CreateFlarmWindow() {
    CFLARMobject* flarm = g_pFlarmObject.load(std::memory_order_acquire);
    if (flarm == nullptr || core::g_flarm.createTcasWindow == nullptr) return;
    flarmWindow_ = static_cast<wxWindow*>(
        core::g_flarm.createTcasWindow(flarm, static_cast<wxWindow*>(this), kFlarmWindowId));
}

void CGPSmapView::CloseFlarmWindow() {
    if (flarmWindow_ == nullptr) return;
    flarmWindow_ = nullptr;
    CFLARMobject* flarm = g_pFlarmObject.load(std::memory_order_acquire);
    if (flarm != nullptr && core::g_flarm.closeWindow != nullptr) core::g_flarm.closeWindow(flarm);
}

int CGPSmapView::RequestMapRedraw() {
    CGPSmapView* view = g_pMapView;
    if (view == nullptr) return 0;
    if (view->partialRedraw == 0) {
        view->fullRedraw = 1;
        view->model_.backBufferValid = 0;
        g_bTrackDrawContinue = 0;
    }
    view->Refresh(false);
    view->Update();
    return 1;
}

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
    mapReaderDone = 0;
    mapReady = 1;
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

void CGPSmapView::StartMapTimer(int intervalMs) {
    if (!timer_.Start(intervalMs)) {
        timerId = 0;
        platform::ShowMessageBox(wxGetTopLevelParent(this), core::LoadResourceString(kIdsNoTimer),
                                 core::LoadResourceString(kIdsTimerCaption),
                                 platform::mb::kIconHand | platform::mb::kTopmost);
        return;
    }
    if (timer_.GetId() != kMapTimerId) {
        platform::ShowMessageBox(wxGetTopLevelParent(this), core::LoadResourceString(kIdsOtherTimer),
                                 core::LoadResourceString(kIdsTimerCaption),
                                 platform::mb::kIconHand | platform::mb::kTopmost);
    }
    (void)kIdsTimerFailed;
    timerId = kMapTimerId;
    timerIntervalMs = intervalMs;
}

void CGPSmapView::KillMapTimer() {
    timer_.Stop();
    timerId = 0;
}

void CGPSmapView::CreateLabelFont() {
    const wxString face(core::g_fontFamily.Get().substr(0, 31));
    labelFont_ = wxFont(wxFontInfo(wxSize(0, g_baseMapSize.load()))
                            .FaceName(face)
                            .Family(wxFONTFAMILY_SWISS)
                            .Bold(g_mapBold.load() != 0));
    Refresh(false);
}

void CGPSmapView::SetMapMargin(float fraction) {
    model_.SetMapMargin(fraction);
    MapChanged();
}

void CGPSmapView::LayoutButtons(bool showToolbarButton) {
    if (layoutClass == 2) {
        zoom_->Show(navDisplay != 1);
        center_->Show(navDisplay == 0);
    }
    const wxSize client = GetClientSize();
    toolbar_->SetSize(3, client.y - 19, 18, 18);
    toolbar_->Show(showToolbarButton);
}

// --- Display modes and view operations.

void CGPSmapView::MapChanged() {
    model_.backBufferValid = 0;
    drawingValid = 0;
    Refresh(false);
}

void CGPSmapView::SetMapDisplayMode(int mode) {
    model_.SetMapDisplayMode(mode, nav::CopyMapFix());
    g_mapDisplayMode = model_.displayMode;
    if (model_.TakeRedrawRequest()) MapChanged();
}

void CGPSmapView::FocusMapOn(const nav::WaypointRecord& target, float radiusKm, int mode) {
    if (mode != kFocusPoint) {
        if (model_.displayMode == kFocusPoint) SetMapDisplayMode(kMovingMap);
        return;
    }
    // Leaving the point's mode first keeps the new view from being saved
    // over by the old one on the way in.
    if (model_.displayMode == kFocusPoint) SetMapDisplayMode(kMovingMap);
    constexpr float kKmPerNm = 1.852F;
    model_.FocusOnPoint(target, kFocusPoint, radiusKm / kKmPerNm);
    SetMapDisplayMode(kFocusPoint);
}

void CGPSmapView::ToggleZoomedMap() {
    if (model_.displayMode == kFocusObject) return;
    SetMapDisplayMode(model_.zoomed != 0 ? model_.modeBeforeZoom : kZoomedMap);
}

void CGPSmapView::ZoomMap(bool zoomIn) {
    model_.ZoomMap(zoomIn);
    if (model_.TakeRedrawRequest()) MapChanged();
}

void CGPSmapView::FlipMap() {
    model_.SetMapRotation(-1.0F, nav::CopyMapFix());
    flip_->SetIconIndex(model_.trackUpButton != 0 ? (model_.trackUp != 0 ? 13 : 12) : 0);
    if (model_.TakeRedrawRequest()) MapChanged();
}

void CGPSmapView::CenterMapOnFix() {
    model_.CenterMapOn(nav::CopyMapFix(), false);
    if (model_.TakeRedrawRequest()) MapChanged();
}

void CGPSmapView::SetMapRotation(float angle) {
    if (angle < 0.0F) {
        FlipMap();
        return;
    }
    model_.SetMapRotation(angle, nav::CopyMapFix());
    if (model_.TakeRedrawRequest()) MapChanged();
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

void CGPSmapView::ShowObjectOnMap(const mapdata::ElementBounds& object) {
    if (model_.displayMode == kFocusObject) return;
    model_.FocusOnObject(object, kFocusObject, true, nav::CopyMapFix());
    SetMapDisplayMode(kFocusObject);
}

bool CGPSmapView::MapFileOpen() const {
    return mapFile_.IsOpen();
}

void CGPSmapView::RedrawGlideModeButton() {
    if (replay_->IconIndex() != glideModeImage) replay_->SetIconIndex(glideModeImage);
}

void CGPSmapView::ResumeMovingMap() {
    SetMapDisplayMode(kMovingMap);
    CenterMapOnFix();
}

// --- Messages.

std::intptr_t CGPSmapView::OnWindowMessage(const platform::WindowMessage& message) {
    switch (message.message) {
        case platform::WM_USER_MAPFIXCOMMIT:
            OnFixCommitted();
            break;
        case platform::WM_USER_MAPNEWFIX:
            OnNewNavValues(message.wParam, message.lParam);
            break;
        case platform::WM_APP_MAPFOCUS:
            if (const auto* request = std::any_cast<MapFocusRequest>(&message.payload))
                FocusMapOn(request->target, request->radiusKm, static_cast<int>(message.wParam));
            break;
        case platform::WM_USER_MAPKEY:
            OnMapKey(static_cast<int>(message.wParam), message.lParam);
            break;
        case platform::WM_USER_ICONBUTTON:
            OnIconButton(static_cast<int>(message.wParam), message.lParam != 0);
            break;
        case platform::WM_USER_HIDEPOPUP:
            if (message.wParam == static_cast<std::uintptr_t>(kPictureId)) {
                picture_->Hide();
                return 0;
            }
            if (const auto* name = std::any_cast<std::wstring>(&message.payload)) {
                if (picture_->LoadPicture(nav::AttachmentPath(*name).wstring()) == 0) return 1;
                picture_->Show();
                return 0;
            }
            return 1;
        case platform::WM_USER_DESTINATION_CHANGED:
            OnDestinationChanged();
            break;
        case platform::WM_APP_MAPHOLD:
            OnAlarmHold(message.wParam);
            break;
        case platform::WM_USER_PICKROW:
            OnPickRow(static_cast<std::size_t>(message.wParam));
            break;
        case platform::WM_APP_CIRCLING:
            if (message.lParam == 0 && model_.displayMode != kFocusObject && model_.zoomed != 0)
                SetMapDisplayMode(model_.modeBeforeZoom);
            else if (message.lParam == 1)
                SetMapDisplayMode(kZoomedMap);
            break;
        case platform::WM_APP_MAPREAD:
            engine_->loader.OnMapReadDone(static_cast<int>(message.lParam));
            if (message.lParam == 0) mapReaderDone = 1;
            MapChanged();
            break;
        case platform::WM_APP_REACH_READY:
            if (reachableOutline.Shown()) Refresh(false);
            break;
        case platform::WM_APP_MAPREDRAW:
            if (message.lParam == kRenderReady) {
                Refresh(false);
            } else {
                drawingValid = 0;
                RequestMapRedraw();
            }
            break;
        default:
            break;
    }
    return 0;
}

void CGPSmapView::OnIconButton(int id, bool pressed) {
    switch (id) {
        case kFlipId:
            if (pressed) FlipMap();
            break;
        case kExpandId:
            if (pressed) ZoomMap(true);
            break;
        case kShrinkId:
            if (pressed) ZoomMap(false);
            break;
        case kCenterId:
            if (pressed) CenterMapOnFix();
            break;
        case kZoomId:
            if (pressed) ToggleZoomedMap();
            break;
        case kReplayId: {
            const GlideButtonAction action = GlideModeButton(glideModeImage, pressed);
            if (action.replayHold) g_replayHold = *action.replayHold ? 1 : 0;
            if (action.postPolarToggle)
                platform::PostWindowMessage(platform::kMainFrameWindow, platform::WM_COMMAND,
                                            kPolarToggleCommand);
            break;
        }
        case kToolbarId:
            if (auto* main = dynamic_cast<wxFrame*>(frame_); !pressed && main != nullptr &&
                                                            main->GetToolBar() != nullptr) {
                main->GetToolBar()->Show(!main->GetToolBar()->IsShown());
                main->Layout();
            }
            break;
        default:
            break;
    }
}

void CGPSmapView::OnButton(wxCommandEvent& event) {
    switch (event.GetId()) {
        case kPickListId:
            if (sources_.popup && sources_.hidePopup && sources_.popup().kind == kObjectInfoPopup)
                sources_.hidePopup();
            goto_->Hide();
            pickList_->Hide();
            picked_.clear();
            break;
        case kCloseId:
            close_->Hide();
            break;
        case kBackId:
            back_->Hide();
            g_fixAgeHours = kBackButtonAgeHours;
            break;
        case kAlarmAckId:
            alarmAck_->Hide();
            zoneAlarm_.ButtonHidden();
            if (engine_->alarm.alarmActive.load() == 0 && sources_.popup && sources_.hidePopup &&
                sources_.popup().kind == 1)
                sources_.hidePopup();
            break;
        default:
            event.Skip();
            break;
    }
}

void CGPSmapView::OnPickRow(std::size_t row) {
    if (sources_.popup && sources_.hidePopup && sources_.popup().kind == kObjectInfoPopup)
        sources_.hidePopup();
    if (row < picked_.size()) {
        const PickedObject& picked = picked_[row];
        nav::WaypointRecord target = picked.position;
        target.name.Assign(picked.name);
        {
            // The picked object replaces the task as what is flown to.
            const platform::CriticalSectionLock lock(core::TaskLock);
            if (nav::g_activeTaskPoint != nullptr) nav::g_activeTaskPoint->LeftDestination();
            nav::g_activeTaskPoint = nullptr;
            nav::g_destination = target;
            nav::g_taskNavigationActive = 0;
            nav::QueueWaypoint(target, nullptr);
        }
        nav::g_destinationValid = 1;
        nav::g_bAutodetectPrevPrompt = 0;
        nav::g_bAutodetectNextPrompt = 0;
        glide::DestinationNameText.Set(picked.name);
        // The fix thread is woken only once the task lock is left.
        gps::SignalNewGpsData(nav::kNewDataQueue);
        OnDestinationChanged();
    }
    goto_->Hide();
    pickList_->Hide();
    picked_.clear();
}

void CGPSmapView::OnDestinationChanged() {
    destinationSound_.Moved(clock_());
    const bool taskFlown = nav::g_taskNavigationActive.load() != 0;
    if (!taskFlown && (model_.displayMode == kZoomedMap || model_.displayMode == kFocusPoint)) {
        if (model_.zoomed != 0)
            model_.modeBeforeZoom = kMovingMap;
        else
            SetMapDisplayMode(kMovingMap);
    }
    if (sources_.destinationChanged) sources_.destinationChanged();
}

void CGPSmapView::OnAlarmHold(std::uintptr_t wParam) {
    mapdata::CMapElement* zone = engine_->alarm.alarmedZone.load();
    if (wParam != kReportHoldWParam || zone == nullptr || (LoadFlags(*zone) & kZoneInside) == 0) return;
    const HoldFlags flags = AlarmHoldFlags(g_permanentSuaAlarmOff.load() != 0,
                                           g_permanentSuaAlarmOffNoDisplay.load() != 0);
    SetZoneFlags(*zone, flags.zone);
    if (flags.linked != 0 && zone->zoneSerial != 0) {
        const std::lock_guard lock(engine_->lists.lock);
        for (const auto& element : engine_->lists.zones) {
            if (element.get() != zone && element->zoneSerial == zone->zoneSerial)
                SetZoneFlags(*element, flags.linked);
        }
    }
    if (flags.redraw) MapChanged();
    if (sources_.popup && sources_.hidePopup && sources_.popup().kind == 1) sources_.hidePopup();
}

void CGPSmapView::OnFixCommitted() {
    if (starting_) return;
    const nav::WaypointRecord fix = nav::CopyMapFix();
    if (model_.zoomed == 0 && model_.mapLoaded != 0) {
        model_.rotationDeg = 0.0F;
        mapFile_.SetRotation(0.0, true);
        model_.SaveViewState(kMovingMap);
    }
    g_bHaveFix = 1;
    model_.firstFixSeen = 1;
    if (sources_.firstFix) sources_.firstFix();
    if (olcFeed_.HandOver(true, static_cast<std::uint32_t>(clock_())) && sources_.olcPoint)
        sources_.olcPoint(fix);
    destinationSound_.Moved(clock_());
    reachableOutline.Restart();
    PrepareZoomedSlot();
    if (mapFile_.IsOpen()) {
        if (model_.mapLoaded != 0) {
            model_.RestoreViewState(kMovingMap);
            model_.SetMapMargin(model_.marginFraction);
            model_.CenterMapOn(fix, false);
            MapChanged();
        }
        return;
    }
    if (!OpenDefaultMap()) return;
    PrepareZoomedSlot();
    MapChanged();
}

void CGPSmapView::PrepareZoomedSlot() {
    // Without this the first thermal zoom would restore a slot that was
    // never filled, and the map would collapse into its centre.
    model_.PrepareZoomedSlot(nav::CopyMapFix());
}

namespace {

// A default map holds records when anything but blank lines follows its
// one-line header (the points dropped in an earlier flight).
bool HoldsRecordsAfterHeader(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::string line;
    int lines = 0;
    while (std::getline(in, line)) {
        if (line.find_first_not_of(" \t\r") != std::string::npos) ++lines;
        if (lines > 1) return true;
    }
    return false;
}

}  // namespace

bool CGPSmapView::OpenDefaultMap() {
    if (g_bHaveFix.load() == 0) return false;
    std::error_code error;
    const std::filesystem::path current = std::filesystem::current_path(error);
    for (const auto& place : DefaultMapPlaces(core::g_documentsFolder, current)) {
        std::filesystem::create_directories(place.parent_path(), error);
        const KeepResult kept = KeepEarlierDefaultMap(place, HoldsRecordsAfterHeader);
        if (!kept.ok) continue;
        std::filesystem::remove(place, error);  // an empty one is made anew here
        if (LoadMapFile(place.wstring(), 0) == 1) {
            model_.CenterMapOn(nav::CopyMapFix(), true);
            return true;
        }
    }
    return false;
}

void CGPSmapView::OnNewNavValues(std::uintptr_t wParam, std::intptr_t lParam) {
    if (model_.mapLoaded == 0) return;
    if (olcFeed_.HandOver(gps::g_navFix.circling.load(), static_cast<std::uint32_t>(clock_())) &&
        sources_.olcPoint)
        sources_.olcPoint(nav::CopyMapFix());
    if (wParam == 0 && model_.backBufferValid != 0) DrawNewestTrackPoint();
    if (wParam == 1 && model_.centredOnAircraft != 0) {
        model_.SetMapRotation(static_cast<float>(lParam), nav::CopyMapFix());
        if (model_.TakeRedrawRequest()) MapChanged();
    }
    UpdateAircraftSprite();
}

void CGPSmapView::DrawNewestTrackPoint() {
    const int colourIndex = core::TrackColourIndex(gps::g_navFix.averageVario.load(), gps::g_navFix.vario.load());
    const platform::Point at = ProjectToScreenPoint(model_.Published(), nav::CopyMapFix());
    const TrackStyle style = TrackStyleFor(settings, model_.zoomed != 0);
    if (!DrawLiveTrackPoint(engine_->render.handover, at, colourIndex, style)) return;
    // The dot, or the segment's end (its start was shown with the last one).
    const int reach = std::max(style.dotSize, 1) + 3;
    RefreshRect(wxRect(at.x - reach, at.y - reach, 2 * reach + 1, 2 * reach + 1), false);
    if (style.zoomed && style.linesInThermalMode) Refresh(false);
}

void CGPSmapView::OnMapKey(int key, std::intptr_t lParam) {
    if (model_.mapLoaded == 0) return;
    const wxSize client = GetClientSize();
    const auto centre = PanCentre(key, lParam, client.x, client.y);
    if (!centre) return;
    const mapdata::MapDrawState state = model_.PublishMapTransform();
    const mapdata::UnitVector p = mapdata::ScreenToUnitVector(state, static_cast<float>(centre->x),
                                                              static_cast<float>(centre->y));
    const mapdata::LonLat at = mapdata::UnitVectorToLonLat(p);
    model_.CenterMapOn(nav::WaypointRecord(at.lat, at.lon, false), true);
    model_.SetMapMargin(model_.marginFraction);
    model_.centredOnAircraft = 0;
    MapChanged();
}

// --- Pointer.

void CGPSmapView::OnLeftDown(wxMouseEvent& event) {
    PointerDown(event.GetPosition());
    event.Skip();
}

void CGPSmapView::OnLeftUp(wxMouseEvent& event) {
    PointerUp(event.GetPosition());
    event.Skip();
}

void CGPSmapView::PointerDown(wxPoint at) {
    downPoint_ = {at.x, at.y};
}

void CGPSmapView::PointerUp(wxPoint at) {
    const PixelPoint up{at.x, at.y};
    if (IsTap(downPoint_, up)) {
        TapAt(at);
    } else {
        OnMapKey(kKeyDrag, EncodePan(downPoint_.x - up.x, downPoint_.y - up.y));
    }
    downPoint_ = kNoPress;
}

void CGPSmapView::TapAt(wxPoint at) {
    if (model_.mapLoaded == 0) return;
    const mapdata::MapDrawState& state = model_.Published();
    const mapdata::LonLat position = mapdata::UnitVectorToLonLat(
        mapdata::ScreenToUnitVector(state, static_cast<float>(at.x), static_cast<float>(at.y)));
    if (model_.displayMode == kFocusObject) {
        MoveTaskTargetTo(nav::WaypointRecord(position.lat, position.lon, false));
        return;
    }
    TapQuery query;
    query.tapX = static_cast<float>(at.x);
    query.tapY = static_cast<float>(at.y);
    query.lonWest = position.lon;
    query.latitude = position.lat;
    query.scale = state.scale;
    query.altitudeInMetres = core::g_unitAlt.load() != 0;
    query.showEnlarged = g_showEnlarged.load() != 0;
    query.exactSuaCheck = g_exactSuaCheck.load() != 0;
    TapInfo info;
    {
        const std::lock_guard lock(engine_->lists.lock);
        info = BuildTapInfo(engine_->lists, nullptr, state, query);
    }
    if (!info.text.empty() && sources_.showPopup) sources_.showPopup(info.text, kObjectInfoPopup);
    if (info.picked.empty()) return;
    picked_ = std::move(info.picked);
    goto_->Show();
    pickList_->Show();
}

// A tap in mode 3 moves the destination's task point target there when the
// tap lies in its zone; the task's legs and statistics follow.
void CGPSmapView::MoveTaskTargetTo(const nav::WaypointRecord& tapped) {
    const auto stats = nav::GetTaskStatisticsLink();
    bool moved = false;
    {
        const platform::CriticalSectionLock lock(core::TaskLock);
        auto* point = dynamic_cast<nav::CTaskPoint*>(nav::g_activeTaskPoint);
        nav::CTask* task = nav::g_currentTask.load();
        nav::WaypointRecord at = tapped;
        if (point != nullptr && task != nullptr &&
            (nav::IsFixInTaskPointZone(point, nullptr, nav::kZoneSlotMap, &at) & nav::kZoneInside) != 0) {
            point->target.CopyPosition(tapped);
            nav::ComputeTaskLegs(*task, false, true, true);
            moved = true;
        }
    }
    if (!moved) return;
    if (stats) {
        stats->Stop(true);
        if (nav::g_taskNavigationActive.load() != 0) stats->Start(nav::g_taskTargetPoint.load());
    }
    if (const auto terrain = core::CurrentElevationModel()) {
        if (const std::optional<float> feet = terrain->GetElevationAt(tapped.longitude, tapped.latitude)) {
            platform::SendWindowMessage(
                {platform::kPosViewWindow, platform::WM_APP_SHOWALTITUDE, 0, 0, *feet});
        }
    }
    MapChanged();
    if (sources_.repaintPositionPage) sources_.repaintPositionPage();
}

// --- Timer.

void CGPSmapView::OnTimer(wxTimerEvent& event) {
    if (event.GetId() != kMapTimerId) {
        event.Skip();
        return;
    }
    TimerTick();
}

void CGPSmapView::TimerTick() {
    const SteadyMs now = clock_();
    // 1. The port's baud search.
    gps::PollAutoBaud();

    // 2. Fix age, the no-fix mark and the speed director.
    double age = g_fixAgeHours.load();
    const bool markSet = sources_.noFixMarkSet && sources_.noFixMarkSet();
    const FixAgeStep step = AdvanceFixAge(age, timerIntervalMs, markSet);
    g_fixAgeHours = age;
    if (step.clearNoFixMark && sources_.setNoFixMark) sources_.setNoFixMark(false);
    if (step.setNoFixMark && sources_.setNoFixMark) sources_.setNoFixMark(true);
    if (step.fixCurrent && sources_.speedDirector) {
        const std::wstring sound = SpeedDirectorTick(sources_.speedDirector());
        if (!sound.empty()) sound_->Play(sound);
    }

    // 3. The zone alarm.
    bool soundStarted = false;
    ZoneAlarmDuty(now, soundStarted);

    // 4. The aircraft, or the recentre.
    if (!soundStarted && g_bHaveFix.load() != 0 && model_.mapLoaded != 0) UpdateAircraftSprite();

    // 5. The destination sound, and the GOTO line to the new destination.
    if (destinationSound_.Due(now)) {
        const std::wstring sound = sources_.destinationSound ? sources_.destinationSound() : L"";
        if (!sound.empty()) {
            g_soundHoldOff = kSoundHoldOffTicks;
            sound_->Play(sound);
        }
        if (g_bHaveFix.load() != 0) Refresh(false);
    }

    // 6. The task altitude warning.
    TaskWarningDuty(now);
}

void CGPSmapView::ZoneAlarmDuty(SteadyMs now, bool& soundStarted) {
    ZoneAlarmVerdict verdict;
    mapdata::CMapElement* zone = engine_->alarm.alarmedZone.load();
    verdict.active = engine_->alarm.alarmActive.load() != 0 && zone != nullptr;
    if (verdict.active) {
        verdict.zone = reinterpret_cast<std::uintptr_t>(zone);
        // The zone's texts are read only when it is announced anew.
        if (verdict.zone != zoneSeen_ || !zoneAlarm_.ButtonShown()) {
            if (sources_.zoneText) verdict.popupText = sources_.zoneText(*zone);
            else verdict.popupText = ZoneAlarmText(*zone, core::g_unitAlt.load() != 0);
            if (sources_.zoneSound) verdict.zoneSound = sources_.zoneSound(*zone);
        }
    }
    const bool circling = sources_.circling ? sources_.circling() : gps::g_navFix.circling.load();
    const ZoneAlarmStep step = zoneAlarm_.Tick(verdict, circling, now);
    if (step.showButton) alarmAck_->Show();
    if (step.hideButton) alarmAck_->Hide();
    if (step.soundStarted) {
        zoneSeen_ = verdict.zone;
        sound_->Play(step.sound);
        soundStarted = true;
    }
    if (step.showPopup && sources_.showPopup) sources_.showPopup(verdict.popupText, 1);
    if (step.hidePopup && sources_.popup && sources_.hidePopup && sources_.popup().kind == 1)
        sources_.hidePopup();
}

void CGPSmapView::TaskWarningDuty(SteadyMs now) {
    if (!sources_.task) return;
    const auto task = sources_.task();
    if (!task) return;
    const PopupState popup = sources_.popup ? sources_.popup() : PopupState{};
    const TaskWarningStep step = taskWarning_.Tick(task->altitude, task->beforeStart, task->limits, popup, now);
    if (step.warn) {
        g_soundHoldOff = kSoundHoldOffTicks;
        sound_->Play(kZoneAlarmSound);
        if (sources_.showPopup) sources_.showPopup(core::LoadResourceString(TaskAltitudeWarning::kTextId), 2);
    }
    if (step.hidePopup && sources_.hidePopup) sources_.hidePopup();
}

void CGPSmapView::UpdateAircraftSprite() {
    if (model_.mapLoaded == 0) return;
    const nav::WaypointRecord fix = nav::CopyMapFix();
    const mapdata::MapDrawState state = model_.Published();
    const platform::Point at = ProjectToScreenPoint(state, fix);
    const wxRect area(model_.drawRect.left, model_.drawRect.top,
                      model_.drawRect.right - model_.drawRect.left,
                      model_.drawRect.bottom - model_.drawRect.top);
    if (!area.Contains(wxPoint(at.x, at.y))) {
        for (const platform::Rect& r : engine_->painter.HideSprites()) RefreshRect(ToWxRect(r), false);
        model_.CenterMapOn(fix, false);
        if (model_.TakeRedrawRequest()) MapChanged();
        return;
    }
    // The sprites move: repaint their old and new places only.
    const auto repaint = engine_->painter.PlaceSprites(state, fix, gps::g_navFix.trackDeg.load(),
                                                       model_.rotationDeg, GlidePathConflictPoint());
    for (const platform::Rect& r : repaint) RefreshRect(ToWxRect(r), false);
}

// --- Size, paint, destroy.

void CGPSmapView::OnSize(wxSizeEvent& event) {
    const wxSize client = GetClientSize();
    model_.client = {client.x, client.y};
    labelBottom = client.y - 3;
    if (model_.mapLoaded != 0) {
        model_.FitMapScale();
        model_.SetMapMargin(model_.marginFraction);
        model_.PublishMapTransform();
    }
    if (notes_ != nullptr) notes_->Move(5, client.y - 65);
    if (flarmWindow_ != nullptr) {
        // The traffic window: a square in the top right corner, told its
        // side by a size message of its own.
        const int side = FlarmWindowSide(client.x, client.y);
        flarmWindow_->SetSize(client.x - side, 0, side, side);
        auto* sized = new wxSizeEvent(wxSize(side, side), flarmWindow_->GetId());
        sized->SetEventObject(flarmWindow_);
        wxQueueEvent(flarmWindow_, sized);
    }
    MapChanged();
    event.Skip();
}

void CGPSmapView::StartRender() {
    const wxSize client = GetClientSize();
    if (client.x <= 0 || client.y <= 0 || !engine_->render.Finished()) return;
    MapRenderInput input;
    input.width = client.x;
    input.height = client.y;
    input.mapLoaded = model_.mapLoaded != 0;
    model_.PublishMapTransform();
    input.draw = DrawContextFor(model_, client.y);
    input.labelBottom = labelBottom;
    input.drawElements = model_.zoomed == 0 || g_showMapInThermalMode.load() != 0;
    input.overlayShown = g_bOverlayShown.load() != 0;
    const bool zoomed = model_.zoomed != 0;
    input.track = TrackDrawInput{input.draw.state, TrackStyleFor(settings, zoomed),
                                 zoomed ? model_.zoomedTrackPoints : TrackPointLimit()};
    engine_->painter.RenderTaskLayer(client.x, client.y, input.draw);
    g_bTrackDrawContinue = 1;
    model_.backBufferValid = 1;
    engine_->render.Start(std::move(input));
}

// --- The file commands.

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
        settings.overlayFile = path;
    };
    site.reloadOverlay = [this](const std::wstring& path) {
        // A running read of the main map finishes first: the reload would
        // cut it short.
        WaitForMapReady(true, false);
        mapReaderDone = 0;
        engine_->loader.overlayPath = std::filesystem::path(path);
        engine_->loader.ReloadOverlay();
    };
    site.finish = [this] {
        relayout = 0;
        RequestMapRedraw();
    };
    RunOverlayFileCommand(site, dialogs);
}

bool CGPSmapView::OverlayHasElements() const {
    const std::lock_guard lock(engine_->lists.lock);
    return !engine_->lists.symbols27.empty() || !engine_->lists.overlay.empty();
}

void CGPSmapView::OnPaint(wxPaintEvent& /*event*/) {
    wxAutoBufferedPaintDC dc(this);
    const wxSize client = GetClientSize();
    RedrawGlideModeButton();
    if (model_.backBufferValid == 0) StartRender();
    fullRedraw = 0;
    drawingValid = 1;
    const platform::Image* frame = engine_->painter.Compose(
        client.x, client.y, engine_->render.handover, &reachableOutline,
        PaintLayers(model_, client, labelBottom, layoutClass, navDisplay, settings.allowGotoWithTask != 0));
    if (frame != nullptr && platform::gui::CopyToBitmap(*frame, frameBitmap_)) {
        dc.DrawBitmap(frameBitmap_, 0, 0);
    } else {
        dc.SetBackground(wxBrush(wxColour(kButtonFace.red, kButtonFace.green, kButtonFace.blue)));
        dc.Clear();
    }
}

void CGPSmapView::PaintNow() {
    Refresh(false);
    Update();
}

void CGPSmapView::RenderMapToBackBuffer() {
    const wxSize client = GetClientSize();
    engine_->painter.RenderTaskLayer(client.x, client.y, DrawContextFor(model_, client.y));
    Refresh(false);
}

std::uint32_t CGPSmapView::ZoneFlagsOfAlarm() const {
    const mapdata::CMapElement* zone = engine_->alarm.alarmedZone.load();
    return zone != nullptr ? LoadFlags(*zone) : 0;
}

bool CGPSmapView::LastFrame(wxBitmap& bitmap) const {
    if (!frameBitmap_.IsOk()) return false;
    bitmap = frameBitmap_;
    return true;
}

void CGPSmapView::StopThreads() {
    if (!engine_) return;
    g_bTrackDrawContinue = 0;
    engine_->Stop();
}

void CGPSmapView::OnDestroy(wxWindowDestroyEvent& event) {
    event.Skip();
    if (event.GetWindow() != this || destroyed_) return;
    destroyed_ = true;
    StopThreads();
    CloseFlarmWindow();
    KillMapTimer();
    if (g_bHaveFix.load() != 0) {
        const nav::WaypointRecord fix = nav::CopyMapFix();
        constexpr double kDegrees = 180.0 / 3.14159265358979323846;
        platform::SettingsStore& store = platform::AppSettings();
        store.WriteString("Options\\Miscellaneous", "InitLatitude", InitCoordinateText(fix.latitude * kDegrees));
        store.WriteString("Options\\Miscellaneous", "InitLongitude", InitCoordinateText(fix.longitude * kDegrees));
    }
}

}  // namespace map
