#include "app/map_view_links.h"

#include <memory>

#include <wx/textctrl.h>

#include "frame/main_frame.h"
#include "frame/map_command_dialogs.h"
#include "frame/map_command_target.h"
#include "frame/options/view_link.h"
#include "map/map_view.h"

namespace app {
namespace {

map::CGPSmapView* View() {
    return map::g_pMapView;
}

class MapViewCommands final : public frame::MapCommandTarget {
  public:
    int DisplayMode() const override { return View() != nullptr ? View()->DisplayMode() : 0; }
    void SetDisplayMode(int mode) override {
        if (View() != nullptr) View()->SetMapDisplayMode(mode);
    }
    bool FileOpen() const override { return View() != nullptr && View()->MapFileOpen(); }
    void RenderBackBuffer() override { map::CGPSmapView::RequestMapRedraw(); }
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
};

class MapViewLink final : public frame::ViewLink {
  public:
    void SetMapMargin(float fraction) override {
        if (View() != nullptr) View()->SetMapMargin(fraction);
    }
    void SetValues(const frame::MapViewValues& values) override {
        ViewLink::SetValues(values);
        map::CGPSmapView* view = View();
        if (view == nullptr) return;
        view->settings.dotSize = values.dotSize;
        view->settings.dotSpacing = values.dotSpacing;
        view->settings.zoomFactor = values.zoomFactor;
        view->Model().zoomFactor = values.zoomFactor;
        view->settings.zoomedMapRadius = values.zoomedRadiusMetres;
        view->Model().zoomedMapRadius = values.zoomedRadiusMetres;
        view->settings.zoomedTrackCacheLength = values.zoomedTrackLength;
        view->Model().zoomedTrackPoints = values.zoomedTrackLength;
        view->settings.showLiftInThermalMode = values.showLiftInThermalMode;
        view->settings.drawLinesInThermalMode = values.drawLinesInThermalMode;
        view->settings.allowGotoWithTask = values.allowGotoWithTask;
    }
};

// The map timer's popups are the main window's pop-up notes window.
void BindMapPopup(map::MapTimerSources& sources) {
    sources.popup = [] {
        const frame::CMainFrame* main = frame::g_hMainFrameWnd;
        if (main == nullptr || main->PopupText() == nullptr) return map::PopupState{};
        return map::PopupState{main->PopupText()->IsShown(), main->popupContentKind};
    };
    sources.showPopup = [](const std::wstring& text, int kind) {
        frame::CMainFrame* main = frame::g_hMainFrameWnd;
        if (main == nullptr || main->PopupText() == nullptr) return;
        main->PopupText()->SetValue(text);
        main->PopupText()->Show();
        main->popupContentKind = kind;
    };
    sources.hidePopup = [] {
        frame::CMainFrame* main = frame::g_hMainFrameWnd;
        if (main == nullptr || main->PopupText() == nullptr) return;
        main->PopupText()->Hide();
        main->popupContentKind = 0;
    };
}

}  // namespace

void InstallMapViewLinks() {
    frame::SetMapCommandTarget(std::make_shared<MapViewCommands>());
    frame::SetViews(std::make_unique<MapViewLink>());
    if (map::CGPSmapView* view = View()) {
        view->SetFrame(frame::g_hMainFrameWnd);
        BindMapPopup(view->TimerSources());
    }
}

void RemoveMapViewLinks() {
    frame::SetMapCommandTarget(nullptr);
    frame::SetViews(nullptr);
}

}  // namespace app
