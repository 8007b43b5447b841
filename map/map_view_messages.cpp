// The map window's message dispatch and its handlers: the window
// messages other threads and panes post, the buttons, the pointer and the
// map keys.
#include "map/map_view_engine.h"

#include <wx/frame.h>
#include <wx/toolbar.h>

#include <algorithm>
#include <any>
#include <atomic>
#include <cmath>
#include <fstream>
#include <optional>

#include "core/elevation_model.h"
#include "core/settings_values.h"
#include "core/waypoint_attachments.h"
#include "fix/first_fix.h"
#include "gps/nav_fix.h"
#include "map/alarm_zone_check.h"
#include "map/alarm_zone_thread.h"
#include "map/drawing_tables.h"
#include "map/map_loader.h"
#include "map/map_painter.h"
#include "map/map_read_thread.h"
#include "map/map_render.h"
#include "map/settings_values.h"
#include "map/tap_info.h"
#include "map/task_layer_draw.h"
#include "map/track_draw.h"
#include "map/waypoint_layer.h"
#include "mapdata/map_file.h"
#include "mapdata/map_text_element.h"
#include "nav/current_position.h"
#include "nav/destination_queue.h"
#include "nav/settings_values.h"
#include "nav/task_model.h"
#include "nav/task_zone.h"
#include "nav/waypoint_list.h"
#include "platform/settings_store.h"
#include "platform/ui_post.h"
#include "platform/window_messages.h"
#include "resources/ids/main_frame.h"
#include "services/module_services.h"
#include "services/shared_locks.h"
#include "services/string_resources.h"
#include "texts/display_texts.h"

namespace map {

using view_parts::ArrivalFrom;
using view_parts::RestartTaskStatistics;
using view_parts::SetZoneFlags;
using view_parts::TrackStyleFor;

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
            OnCirclingChanged(message.lParam == 1);
            break;
        case platform::WM_APP_MAPREAD:
            engine_->loader.OnMapReadDone(static_cast<int>(message.lParam));
            if (message.lParam == 0) mapReadDone_ = true;
            MapChanged();
            break;
        case platform::WM_APP_REACH_READY:
            if (reachableOutline_.Shown()) Refresh(false);
            break;
        case platform::WM_APP_MAPREDRAW:
            if (message.lParam == kRenderReady) {
                Refresh(false);
            } else {
                redraw_.Invalidate();
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
            const GlideButtonAction action = GlideModeButton(glideModeImage_, pressed);
            if (action.replayHold) g_replayHold = *action.replayHold ? 1 : 0;
            if (action.postPolarToggle)
                platform::PostWindowMessage(platform::kMainFrameWindow, platform::WM_COMMAND,
                                            xrc::main_frame::kToggleUsePolar);
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
            HidePickList();
            break;
        case kCloseId:
            g_infoClosed = 1;
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
    HidePickList();
}

void CGPSmapView::HidePickList() {
    goto_->Hide();
    goto_->RemoveAllRows();
    pickList_->Hide();
    picked_.clear();
}

// Circling ended (false) or the thermal is to be zoomed into (true): only
// with zoom on circling ("autoZoom") on; a zoom the pilot chose stays.
void CGPSmapView::OnCirclingChanged(bool zoomIn) {
    if (core::g_autoZoom.load() == 0) return;
    if (zoomIn) {
        SetMapDisplayMode(kZoomedMap);
    } else if (model_.displayMode != kFocusObject && model_.zoomed != 0) {
        SetMapDisplayMode(model_.modeBeforeZoom);
    }
}

// A new destination ends a view focused on a point: the fix thread focuses
// the map on the point the glider approaches and returns to the moving map
// only when it leaves that point, which it no longer watches once the next
// point is the destination (after the last turn point the map would stay
// at the cylinder's scale for the whole final glide). The thermal view
// stays while a task is flown.
void CGPSmapView::OnDestinationChanged() {
    destinationSound_.Moved(clock_());
    const bool taskFlown = nav::g_taskNavigationActive.load() != 0;
    const bool focused = model_.displayMode == kFocusPoint ||
                         (model_.zoomed != 0 && model_.modeBeforeZoom == kFocusPoint);
    if (focused || (!taskFlown && model_.displayMode == kZoomedMap)) {
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
    reachableOutline_.Restart();
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
    if (olcFeed_.HandOver(gps::CurrentNav()->circling, static_cast<std::uint32_t>(clock_())) &&
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
    const std::shared_ptr<const gps::NavSnapshot> published = gps::CurrentNav();
    const int colourIndex = core::TrackColourIndex(published->averageVario, published->vario);
    const platform::Point at = ProjectToScreenPoint(model_.Published(), nav::CopyMapFix());
    const TrackStyle style = TrackStyleFor(settings_, model_.zoomed != 0);
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
    query.arrival = ArrivalFrom(nav::CopyMapFix(), query.altitudeInMetres);
    TapInfo info;
    {
        const std::lock_guard lock(engine_->lists.lock);
        const platform::CriticalSectionLock waypoints(nav::WaypointListLock);
        info = BuildTapInfo(engine_->lists, WaypointTapPoints(), state, query);
    }
    if (!info.text.empty() && sources_.showPopup) sources_.showPopup(info.text, kObjectInfoPopup);
    if (info.picked.empty()) return;
    picked_ = std::move(info.picked);
    goto_->RemoveAllRows();
    for (const PickedObject& picked : picked_) {
        nav::WaypointRecord row = picked.position;
        row.name.Assign(picked.name);
        goto_->AddRow(row, picked.arrival);
    }
    goto_->Show();
    pickList_->Show();
}

// A tap in mode 3 moves the destination's task point target there when the
// tap lies in its zone; the task's legs and statistics follow.
void CGPSmapView::MoveTaskTargetTo(const nav::WaypointRecord& tapped) {
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
    RestartTaskStatistics();
    if (const auto terrain = core::CurrentElevationModel()) {
        if (const std::optional<float> feet = terrain->GetElevationAt(tapped.longitude, tapped.latitude)) {
            platform::SendWindowMessage(
                {platform::kPosViewWindow, platform::WM_APP_SHOWALTITUDE, 0, 0, *feet});
        }
    }
    MapChanged();
    if (sources_.repaintPositionPage) sources_.repaintPositionPage();
}

}  // namespace map
