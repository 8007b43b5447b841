#include "app/map_view_links.h"

#include <memory>
#include <optional>
#include <utility>

#include <wx/textctrl.h>
#include <wx/weakref.h>

#include "core/settings_values.h"
#include "fix/display_links.h"
#include "fix/first_fix.h"
#include "frame/frame_commands.h"
#include "frame/main_frame.h"
#include "frame/map_command_dialogs_wx.h"
#include "frame/map_command_target.h"
#include "frame/map_record_conversion.h"
#include "frame/new_waypoint_dialog.h"
#include "frame/position_links.h"
#include "frame/options/view_link.h"
#include "frame/position_view.h"
#include "glide/polar.h"
#include "glide/settings_values.h"
#include "glide/speed_to_fly_text.h"
#include "gps/nav_fix.h"
#include "map/elevation_file.h"
#include "map/map_point_link.h"
#include "map/map_timer_inputs.h"
#include "map/map_view.h"
#include "map/map_view_rules.h"
#include "mapdata/map_draw_state.h"
#include "map/task_layer_draw.h"
#include "map/waypoint_layer.h"
#include "nav/current_position.h"
#include "nav/olc_worker.h"
#include "nav/task_map_elements.h"
#include "platform/gui/file_dialog.h"
#include "platform/ui_post.h"
#include "platform/window_messages.h"

namespace app {
namespace {

// The links hold the map window weakly: they outlive it at exit, and do
// nothing once it is gone.
using ViewRef = wxWeakRef<map::CGPSmapView>;

class MapViewCommands final : public frame::MapCommandTarget {
  public:
    explicit MapViewCommands(map::CGPSmapView* view) : view_(view) {}

    int DisplayMode() const override { return View() != nullptr ? View()->DisplayMode() : 0; }
    void SetDisplayMode(int mode) override {
        if (View() != nullptr) View()->SetMapDisplayMode(mode);
    }
    bool FileOpen() const override { return View() != nullptr && View()->MapFileOpen(); }
    void RenderBackBuffer() override {
        if (View() != nullptr) View()->RequestMapRedraw();
    }
    void LayoutButtons(int flag) override {
        if (View() != nullptr) View()->LayoutButtons(flag != 0);
    }
    void RedrawGlideModeButton() override {
        if (View() != nullptr) View()->RedrawGlideModeButton();
    }
    void ZoomMap(int in) override {
        if (View() != nullptr) View()->ZoomMap(in != 0);
    }
    void SetMapRotation(double rotation) override {
        if (View() != nullptr) View()->SetMapRotation(static_cast<float>(rotation));
    }
    void ToggleZoomedMap() override {
        if (View() != nullptr) View()->ToggleZoomedMap();
    }
    void CenterMapOnFix() override {
        if (View() != nullptr) View()->CenterMapOnFix();
    }
    void ExportBinaryMap() override {
        frame::WxMapCommandDialogs dialogs(frame::g_hMainFrameWnd);
        if (View() != nullptr) View()->ExportBinaryMap(dialogs);
    }
    void ExportBitmap() override {
        frame::WxMapCommandDialogs dialogs(frame::g_hMainFrameWnd);
        if (View() != nullptr) View()->ExportBitmap(dialogs);
    }
    void ChooseOverlayFile() override {
        frame::WxMapCommandDialogs dialogs(frame::g_hMainFrameWnd);
        if (View() != nullptr) View()->ChooseOverlayFile(dialogs);
    }
    bool OverlayHasElements() const override { return View() != nullptr && View()->OverlayHasElements(); }
    bool BinaryMapLoaded() const override { return View() != nullptr && View()->BinaryMapLoaded(); }
    void AppendFixMark() override {
        if (View() == nullptr) return;
        nav::WaypointRecord mark = nav::CopyMapFix();
        const float terrain = gps::g_terrainElevation.load();
        if (terrain != gps::kUnknownTerrain) {
            mark.altitude = terrain;
            mark.altitudeKnown = true;
        }
        View()->AppendWaypointToMap(mark);
    }
    void SimplifyElements(double tolerance, double second) override {
        if (View() != nullptr) View()->SimplifyElements(tolerance, second);
    }
    void ChooseElevationModel() override { app::ChooseElevationModel(View()); }
    void ConvertMapRecords() override { app::ConvertMapRecords(View()); }
    int NewMapPoint() override {
        frame::CNewWaypointDialog dialog(frame::g_hMainFrameWnd, true);
        dialog.DoModal();
        return -1;  // a map point makes no waypoint list entry
    }

  private:
    map::CGPSmapView* View() const { return view_.get(); }

    ViewRef view_;
};

// The options pages' view link over the map window: what the built-in link
// keeps for a map that does not exist, the window shows.
class MapViewLink final : public frame::ViewLink {
  public:
    explicit MapViewLink(map::CGPSmapView* view) : view_(view) {}

    frame::MapViewValues Values() override {
        const bool first = !Loaded();
        frame::MapViewValues values = ViewLink::Values();
        if (first && View() != nullptr) {
            values.cursorBlinkMs = View()->MapTimerIntervalMs();
            ViewLink::SetValues(values);
        }
        return values;
    }
    void StartMapTimer(int intervalMs) override {
        if (View() != nullptr) View()->StartMapTimer(intervalMs);
    }
    void InvalidateMap() override {
        if (View() != nullptr) View()->Refresh();
    }
    int GlideModeIndicator() override {
        return View() != nullptr ? View()->GlideModeImage() : ViewLink::GlideModeIndicator();
    }
    void SetGlideModeIndicator(int image) override {
        ViewLink::SetGlideModeIndicator(image);
        if (View() == nullptr) return;
        View()->ShowGlideModeImage(image);
        View()->Refresh(true);
        View()->Update();
    }
    bool OutlineShown() override {
        return View() != nullptr ? View()->ReachableOutlineShown() : ViewLink::OutlineShown();
    }
    void SetOutlineShown(bool shown) override {
        ViewLink::SetOutlineShown(shown);
        if (View() != nullptr) View()->ShowReachableOutline(shown);
    }
    void RequestOutlineRecompute() override {
        if (View() != nullptr) View()->RecomputeReachableOutline();
    }
    void CreateMapFont() override {
        if (View() != nullptr) View()->CreateLabelFont();
    }
    void SetNotesFont(bool bold) override {
        ViewLink::SetNotesFont(bold);
        if (View() != nullptr) frame::SetNotesWeight(View()->NotesWindow(), bold);
    }
    void SetMapMargin(float fraction) override {
        if (View() != nullptr) View()->SetMapMargin(fraction);
    }
    void SetValues(const frame::MapViewValues& values) override {
        ViewLink::SetValues(values);
        map::CGPSmapView* view = View();
        if (view == nullptr) return;
        map::MapViewSettings settings = view->Settings();
        settings.dotSize = values.dotSize;
        settings.dotSpacing = values.dotSpacing;
        settings.zoomFactor = values.zoomFactor;
        settings.zoomedMapRadius = values.zoomedRadiusMetres;
        settings.zoomedTrackCacheLength = values.zoomedTrackLength;
        settings.showLiftInThermalMode = values.showLiftInThermalMode;
        settings.drawLinesInThermalMode = values.drawLinesInThermalMode;
        settings.allowGotoWithTask = values.allowGotoWithTask;
        settings.showGotoLine = values.showGotoLine;
        view->ApplySettings(settings);
    }

  private:
    map::CGPSmapView* View() const { return view_.get(); }

    ViewRef view_;
};

// What the map timer reads of the fix, the glide computer and the task.
void BindMapTimerSources(map::MapTimerSources& sources) {
    sources.circling = [] { return gps::CurrentNav()->circling; };
    sources.speedDirector = [] { return map::SpeedDirectorNow(); };
    sources.task = [] { return map::TaskWarningNow(); };
    sources.olcPoint = [](const nav::WaypointRecord& fix) { nav::AddOlcPoint(&fix); };
    sources.firstFix = [] {
        glide::SpeedToFlyText(core::g_macCready.load());
        nav::StartOlcThread();
    };
    sources.destinationChanged = [] {
        glide::SpeedToFlyText(core::g_macCready.load());
        // The search starts over toward the new destination. (The abandon
        // flag is the stop's: a block that sees it takes no more points.)
        const auto olc = nav::CurrentOlcControl();
        if (olc == nullptr || olc->notRunning.load()) return;
        {
            const platform::CriticalSectionLock lock(olc->lock);
            ++olc->settingsChanges;
        }
        olc->wake.notify_all();
    };
    sources.repaintPositionPage = [] {
        if (frame::g_pPosView != nullptr) frame::g_pPosView->Refresh(false);
    };
    sources.waypointsChanged = [] {
        frame::CurrentMapCommandTarget().RenderBackBuffer();
    };
}

// The map timer's popups are the main window's pop-up notes window.
void BindMapPopup(map::MapTimerSources& sources) {
    sources.popup = [] {
        const frame::CMainFrame* main = frame::g_hMainFrameWnd;
        if (main == nullptr || main->PopupText() == nullptr) return map::PopupState{};
        return map::PopupState{main->PopupText()->IsShown(), main->popupContentKind};
    };
    sources.showPopup = [](const std::wstring& text, int kind) {
        if (frame::CMainFrame* main = frame::g_hMainFrameWnd) main->ShowPopup(text, kind);
    };
    sources.hidePopup = [] {
        if (frame::CMainFrame* main = frame::g_hMainFrameWnd) main->HidePopup();
    };
}

// What the fix-processing thread asks of the position page and the map:
// without it the page would be repainted only by the messages of straight
// flight (its fields would freeze while circling), and the map would never
// zoom onto a destination the glider approaches.
class FixDisplayLinks final : public gps::DisplayLinks {
  public:
    bool MapZoomFixed() const override { return map::g_mapDisplayMode.load() == map::kFocusObject; }
    void ZoomMap(const nav::WaypointRecord& target, float radiusKm, int mode) override {
        platform::PostWindowMessage({platform::kMapViewWindow, platform::WM_APP_MAPFOCUS,
                                     static_cast<std::uintptr_t>(mode), 0,
                                     map::MapFocusRequest{target, radiusKm}});
    }
    bool ProfileModeOn() const override { return frame::PositionPageShowsProfile(); }
    void InvalidatePositionPage() override { frame::InvalidatePositionPage(); }
};

// The reachable outline is computed from the map's position and the GPS
// altitude once the map has its first fix, and drawn at the map's
// projection (on the UI thread, which publishes it).
void BindReachableOutline(map::CGPSmapView& view) {
    glide::CReachableOutline& outline = view.ReachableOutline();
    outline.SetNotifyWindow(platform::kMapViewWindow);
    outline.SetFixSource([]() -> std::optional<glide::OutlineFix> {
        if (map::g_bHaveFix.load() == 0) return std::nullopt;
        const nav::WaypointRecord fix = nav::CopyMapFix();
        const std::shared_ptr<const gps::NavSnapshot> published = gps::CurrentNav();
        return glide::OutlineFix{fix.latitude, fix.longitude, published->gpsAltitude,
                                 published->gpsAltitudeValid != 0};
    });
    outline.SetProjector(
        [&view](const glide::OutlinePoint& point) -> std::optional<std::pair<double, double>> {
            const mapdata::ScreenPoint at =
                mapdata::ProjectToScreen(view.Model().Published(), {point.x, point.y, point.z});
            return std::pair<double, double>{at.x, at.y};
        });
    const wxSize size = view.GetClientSize();
    outline.CreateBitmap(size.x, size.y);
    outline.StartThread();
}

}  // namespace

void ConvertMapRecords(map::CGPSmapView* view) {
    if (view == nullptr || !view->MapFileOpen()) return;
    view->Redraw().BeginContentsChange();
    view->WaitForMapReady(true, true);
    // One dialog serves every record.
    frame::CNewWaypointDialog dialog(frame::g_hMainFrameWnd, true);
    dialog.presetHemispheres = true;
    dialog.Model().editingMapRecord = true;
    const bool decimalMinutes = core::g_decimalMinutes.load() != 0;
    int converted = 0;
    for (const map::CGPSmapView::PointRecord& record : view->PointRecords()) {
        if (!frame::MapRecordOffered(record.code)) continue;
        const frame::MapRecordPrefill prefill =
            frame::PrefillFor(record.position.latitude, record.position.longitude, decimalMinutes);
        nav::NewWaypointFields& f = dialog.Model().fields;
        f.name.clear();
        f.comment.clear();
        f.northSouth = prefill.north != 0 ? 0 : 1;
        f.eastWest = prefill.east != 0 ? 0 : 1;
        f.latDegrees = prefill.latitude.degrees;
        f.latMinutes = prefill.latitude.minutes;
        f.latSeconds = prefill.latitude.seconds;
        f.lonDegrees = prefill.longitude.degrees;
        f.lonMinutes = prefill.longitude.minutes;
        f.lonSeconds = prefill.longitude.seconds;
        f.mapCode = record.code;
        const bool cancelled = dialog.DoModal() != wxID_OK;
        if (frame::ConvertsRecord(cancelled, f.name, f.mapCode, view->HasPointElement(record)) &&
            view->RemovePointRecord(record)) {
            ++converted;
        }
    }
    if (converted > 0 && view->BinaryMapLoaded()) view->RewriteBinaryMap();
    view->Redraw().EndContentsChange();
    view->Redraw().Invalidate();
    view->RequestMapRedraw();
}

void ChooseElevationModel(map::CGPSmapView* view) {
    const map::DemFileDialog d = map::DemFileDialogFor(map::ElevationModel().HeaderPath());
    std::optional<std::wstring> chosen;
    frame::g_bModalDialogOpen = 1;
    {
        platform::gui::FileDialogRequest dialog;
        dialog.title = d.title;
        dialog.folder = d.folder;
        dialog.name = d.fileName;
        dialog.wildcard = d.wildcard;
        dialog.mustExist = false;
        if (const auto answer = platform::gui::ShowFileDialog(frame::g_hMainFrameWnd, dialog))
            chosen = answer->path.wstring();
    }
    frame::g_bModalDialogOpen = 0;
    // The map is drawn anew whatever was chosen, also after Cancel.
    map::ApplyDemFileChoice(chosen, [ref = ViewRef(view)] {
        if (ref.get() == nullptr) return;
        ref->Redraw().RequestFull();
        ref->RequestMapRedraw();
    });
}

void ShowGlideModeButton(map::CGPSmapView* view, bool replaying) {
    if (view == nullptr) return;
    view->ShowGlideModeImage(replaying ? map::kGlideReplayRunning
                                       : map::GlideModePicture(glide::CurrentPolar().usePolar,
                                                               glide::g_useConstantGlideSpeed.load() != 0));
}

void InstallMapViewLinks(map::CGPSmapView* view) {
    gps::SetDisplayLinks(std::make_shared<FixDisplayLinks>());
    frame::SetMapCommandTarget(std::make_shared<MapViewCommands>(view));
    frame::SetViews(std::make_unique<MapViewLink>(view));
    if (view != nullptr) nav::SetMapPointFile(map::MakeMapPointLink(*view));
    // The task code changes its zones under the task lock, sometimes on the
    // fix thread: the window is told by a post and draws them on its own.
    nav::SetTaskMapHook(std::make_shared<map::MapTaskHook>([] {
        platform::PostWindowMessage(platform::kMapViewWindow, platform::WM_APP_MAPREDRAW, 0, 0);
    }));
    // Waypoints with a map symbol are drawn by the map; a newly loaded file
    // is drawn at once.
    nav::SetWaypointMapHook(std::make_shared<map::WaypointElementMaker>([] {
        platform::PostWindowMessage(platform::kMapViewWindow, platform::WM_APP_MAPREDRAW, 0, 0);
    }));
    if (view != nullptr) {
        view->SetFrame(frame::g_hMainFrameWnd);
        BindMapPopup(view->TimerSources());
        BindMapTimerSources(view->TimerSources());
        BindReachableOutline(*view);
    }
}

void RemoveMapViewLinks() {
    gps::SetDisplayLinks(nullptr);
    frame::SetMapCommandTarget(nullptr);
    frame::SetViews(nullptr);
    nav::SetMapPointFile(nullptr);
    nav::SetTaskMapHook(nullptr);
    nav::SetWaypointMapHook(nullptr);
}

}  // namespace app
