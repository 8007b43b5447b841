#include "map/map_view.h"

#include <wx/button.h>
#include <wx/dcbuffer.h>
#include <wx/textctrl.h>

#include <algorithm>
#include <atomic>
#include <numbers>

#include "core/settings_values.h"
#include "core/waypoint_attachments.h"
#include "glide/current_wind.h"
#include "map/map_view_engine.h"
#include "map/task_layer_draw.h"
#include "map/track_draw.h"
#include "map/waypoint_layer.h"
#include "nav/current_position.h"
#include "nav/destination_queue.h"
#include "nav/task_model.h"
#include "platform/gui/canvas_bitmap.h"
#include "resources/ids/strings_map.h"
#include "services/flarm_library.h"
#include "services/shared_locks.h"
#include "services/sound_queue.h"
#include "services/string_resources.h"

namespace map {
namespace {

using ids::kIdsPickListClose;
using ids::kIdsInfoClose;
using ids::kIdsAlarmHold;
using ids::kIdsGoBack;

std::atomic<int> g_trackPointLimit{100000};

wxRect ToWx(const platform::PixelRect& r) {
    return {r.left, r.top, r.Width(), r.Height()};
}

// What the paint lays over the back canvas besides the task layer, the
// outline and the sprites.
ComposeLayers PaintLayers(const MapViewModel& model, wxSize client, int labelBottom,
                          int layoutClass, int navDisplay, const MapViewSettings& settings) {
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
        GotoLineShown(settings.showGotoLine != 0, nav::g_destinationValid.load() != 0, taskActive,
                      settings.allowGotoWithTask != 0)) {
        layers.gotoLine = GotoLineInput{nav::CopyMapFix(), nav::CopyDestination()};
    }
    return layers;
}

}  // namespace

using view_parts::DrawContextFor;
using view_parts::RestartTaskStatistics;
using view_parts::TrackStyleFor;

void QueueSoundSink::Play(const std::wstring& fileName) {
    const std::filesystem::path path = nav::AttachmentPath(fileName);
    core::PlaySoundAsync(path.wstring(),
                         core::SND_FILENAME | core::SND_ASYNC | core::SND_NOSTOP | core::SND_NOWAIT,
                         &core::SoundLock, 3000);
}

void LimitTrackPoints(int maxPoints) {
    if (g_trackPointLimit.load() > maxPoints) g_trackPointLimit = maxPoints;
}

int TrackPointLimit() {
    return g_trackPointLimit.load();
}


CGPSmapView::CGPSmapView(wxWindow* parent, const wxPoint& position, const wxSize& size)
    : wxWindow(parent, wxID_ANY, position, size, wxFULL_REPAINT_ON_RESIZE | wxWANTS_CHARS),
      timer_(this, kMapTimerId) {
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    g_mapDisplayMode = kMovingMap;
    MapViewSettings defaults;
    defaults.mapFile = g_mapFileName.Get();
    defaults.overlayFile = g_overlayFileName.Get();
    settings_ = ReadMapViewSettings(platform::AppSettings(), defaults);
    timerIntervalMs_ = settings_.cursorBlinkMs;
    g_mapFileName.Set(settings_.mapFile);
    g_overlayFileName.Set(settings_.overlayFile);
    model_.zoomFactor = settings_.zoomFactor;
    model_.marginFraction = settings_.mapMargin;
    model_.zoomedMapRadius = settings_.zoomedMapRadius;
    model_.zoomedTrackPoints = settings_.zoomedTrackCacheLength;

    engine_ = std::make_unique<Engine>(*this);
    engine_->loader.overlayPath = std::filesystem::path(settings_.overlayFile);
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
    StartMapTimer(timerIntervalMs_);
}

CGPSmapView::~CGPSmapView() {
    // A destroy event sent by the base destructor must not reach this part.
    Unbind(wxEVT_DESTROY, &CGPSmapView::OnDestroy, this);
    StopThreads();
    CloseFlarmWindow();
    registration_.Reset();
    KillMapTimer();
}

void CGPSmapView::CreateChildren() {
    const MapChildLayout layout = LayMapChildren(layoutClass_, 64);
    const platform::WindowId me = platform::kMapViewWindow;
    const auto icon = [&](int id, const char* caption, int index, int debounce, const platform::PixelRect& at,
                          bool redraw) {
        auto* button = new CIconButton(this, id, caption, index, debounce, me,
                                       [this] { return clock_(); });
        button->SetSize(ToWx(at));
        if (redraw) {
            button->SetRedrawMapOnPress([this] {
                redraw_.RequestFull();
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

    const auto text = [this](int id, const wxString& caption, const platform::PixelRect& at) {
        auto* button = new wxButton(this, id, caption, ToWx(at).GetPosition(), ToWx(at).GetSize());
        button->Hide();
        return button;
    };
    pickList_ = text(kPickListId, core::LoadResourceString(kIdsPickListClose), layout.pickList);
    goto_ = new CWaypointPickButton(this, kGotoId, ToWx(layout.gotoList).GetPosition(),
                                    ToWx(layout.gotoList).GetSize());
    goto_->SetLabel("GoTo");
    goto_->Hide();
    back_ = text(kBackId, core::LoadResourceString(kIdsGoBack), layout.back);
    close_ = text(kCloseId, core::LoadResourceString(kIdsInfoClose), layout.close);
    alarmAck_ = new CHoldButton(this, kAlarmAckId, core::LoadResourceString(kIdsAlarmHold), me,
                                kReportHoldWParam, [this] { return clock_(); });
    alarmAck_->SetSize(ToWx(layout.alarmAck));
    alarmAck_->Hide();

    notes_ = new wxTextCtrl(this, kInfoBoxId, wxEmptyString, ToWx(layout.infoBox).GetPosition(),
                            ToWx(layout.infoBox).GetSize(),
                            wxTE_MULTILINE | wxTE_READONLY | wxVSCROLL | wxBORDER_SIMPLE);
    notes_->Hide();
    picture_ = new CPictureWnd(this, kPictureId, ToWx(layout.picture).GetPosition(),
                               ToWx(layout.picture).GetSize(), me);
    picture_->SetLabel("Info Image");
    picture_->FitToSize(layout.picture.Width(), layout.pictureFitHeight);
    picture_->Hide();
}

void CGPSmapView::LayChildren(int screenLayoutClass, int textButtonWidth) {
    layoutClass_ = std::clamp(screenLayoutClass, 0, 2);
    const int width = textButtonWidth == 68 || textButtonWidth == 70 ? textButtonWidth : 64;
    const MapChildLayout layout = LayMapChildren(layoutClass_, width);
    const std::pair<wxWindow*, const platform::PixelRect*> places[] = {
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
    picture_->FitToSize(layout.picture.Width(), layout.pictureFitHeight);
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

void CGPSmapView::RequestMapRedraw() {
    if (redraw_.RequestFull()) {
        model_.backBufferValid = 0;
        g_bTrackDrawContinue = 0;
    }
    Refresh(false);
    Update();
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
    if (layoutClass_ == 2) {
        zoom_->Show(navDisplay_ != 1);
        center_->Show(navDisplay_ == 0);
    }
    const wxSize client = GetClientSize();
    toolbar_->SetSize(3, client.y - 19, 18, 18);
    toolbar_->Show(showToolbarButton);
}

// --- Display modes and view operations.

void CGPSmapView::MapChanged() {
    model_.backBufferValid = 0;
    redraw_.Invalidate();
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

void CGPSmapView::ShowObjectOnMap(const core::GeoBox& object) {
    if (model_.displayMode == kFocusObject) return;
    RestartTaskStatistics();
    model_.FocusOnObject(object, kFocusObject, true, nav::CopyMapFix());
    SetMapDisplayMode(kFocusObject);
}

bool CGPSmapView::MapFileOpen() const {
    return mapFile_.IsOpen();
}

void CGPSmapView::ApplySettings(const MapViewSettings& changed) {
    settings_ = changed;
    model_.zoomFactor = changed.zoomFactor;
    model_.zoomedMapRadius = changed.zoomedMapRadius;
    model_.zoomedTrackPoints = changed.zoomedTrackCacheLength;
}

void CGPSmapView::ShowGlideModeImage(int image) {
    glideModeImage_ = image;
    RedrawGlideModeButton();
}

void CGPSmapView::RedrawGlideModeButton() {
    if (replay_->IconIndex() != glideModeImage_) replay_->SetIconIndex(glideModeImage_);
}

void CGPSmapView::ResumeMovingMap() {
    SetMapDisplayMode(kMovingMap);
    CenterMapOnFix();
    RestartTaskStatistics();
}

// --- Size, paint, destroy.

void CGPSmapView::OnSize(wxSizeEvent& event) {
    const wxSize client = GetClientSize();
    model_.client = {client.x, client.y};
    labelBottom_ = client.y - 3;
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
    input.labelBottom = labelBottom_;
    input.drawElements = model_.zoomed == 0 || g_showMapInThermalMode.load() != 0;
    input.overlayShown = g_bOverlayShown.load() != 0;
    input.drawWaypoints = DrawWaypointElements;
    const bool zoomed = model_.zoomed != 0;
    input.track = TrackDrawInput{input.draw.state, TrackStyleFor(settings_, zoomed),
                                 zoomed ? model_.zoomedTrackPoints : TrackPointLimit()};
    engine_->painter.RenderTaskLayer(client.x, client.y, input.draw);
    g_bTrackDrawContinue = 1;
    model_.backBufferValid = 1;
    engine_->render.Start(std::move(input));
}

void CGPSmapView::OnPaint(wxPaintEvent& /*event*/) {
    wxAutoBufferedPaintDC dc(this);
    const wxSize client = GetClientSize();
    RedrawGlideModeButton();
    if (model_.backBufferValid == 0) StartRender();
    redraw_.Painted();
    const platform::Image* frame = engine_->painter.Compose(
        client.x, client.y, engine_->render.handover, &reachableOutline_,
        PaintLayers(model_, client, labelBottom_, layoutClass_, navDisplay_, settings_));
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
