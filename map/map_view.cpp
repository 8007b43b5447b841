#include "map/map_view.h"

#include <wx/dcbuffer.h>
#include <wx/evtloop.h>
#include <wx/textctrl.h>

#include <chrono>
#include <thread>

#include "core/string_resources.h"
#include "gps/port_auto_baud.h"
#include "map/settings_values.h"
#include "platform/message_box.h"
#include "platform/settings_store.h"
#include "platform/window_messages.h"

namespace map {
namespace {

constexpr int kMapTimerId = 1;
constexpr int kNotesWindowId = 122;
constexpr unsigned kIdsTimerCaption = 2033;
constexpr unsigned kIdsNoTimer = 2035;

std::atomic<int> g_trackPointLimit{100000};

}  // namespace

void CreateMapFont() {
    if (g_pMapView != nullptr) g_pMapView->CreateLabelFont();
}

void LimitTrackPoints(int maxPoints) {
    if (g_trackPointLimit.load() > maxPoints) g_trackPointLimit = maxPoints;
}

int TrackPointLimit() {
    return g_trackPointLimit.load();
}

CGPSmapView::CGPSmapView(wxWindow* parent, const wxPoint& position, const wxSize& size)
    : wxWindow(parent, wxID_ANY, position, size, wxFULL_REPAINT_ON_RESIZE), timer_(this) {
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    const platform::SettingsStore& settings = platform::AppSettings();
    timerIntervalMs = static_cast<int>(settings.GetInt("Options\\Maps", "CursorBlinkTime", 400));
    g_mapFileName.Set(settings.GetString("Settings", "MapFile", g_mapFileName.Get()));

    notes_ = new wxTextCtrl(this, kNotesWindowId, wxEmptyString, wxDefaultPosition, wxDefaultSize,
                            wxTE_MULTILINE | wxTE_READONLY);
    notes_->Hide();
    CreateLabelFont();

    Bind(wxEVT_PAINT, &CGPSmapView::OnPaint, this);
    Bind(wxEVT_TIMER, &CGPSmapView::OnTimer, this);
    registration_ = platform::gui::WindowRegistration(
        platform::kMapViewWindow, *this,
        [this](const platform::WindowMessage& message) { return OnWindowMessage(message); });
    StartMapTimer(timerIntervalMs);
}

CGPSmapView::~CGPSmapView() {
    registration_.Reset();
    KillMapTimer();
    if (g_pMapView == this) g_pMapView = nullptr;
}

int CGPSmapView::RequestMapRedraw() {
    CGPSmapView* view = g_pMapView;
    if (view == nullptr) return 0;
    if (view->partialRedraw == 0) {
        view->fullRedraw = 1;
        g_bTrackDrawContinue = 0;
    }
    view->Refresh(true);
    view->Update();
    return 1;
}

int CGPSmapView::LoadMapFile(const std::wstring& /*fileName*/, int /*option*/) {
    // Map files are read by the map reader; until it is there, nothing is
    // chosen and the reader stays idle.
    return 0;
}

void CGPSmapView::WaitForMapReady(bool /*waitForElements*/, bool /*waitForDrawing*/) {
    while (mapReaderDone.load() == 0) {
        if (wxEventLoopBase* loop = wxEventLoopBase::GetActive())
            loop->YieldFor(wxEVT_CATEGORY_ALL);
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
    Refresh();
}

std::intptr_t CGPSmapView::OnWindowMessage(const platform::WindowMessage& message) {
    switch (message.message) {
        case platform::WM_USER_MAPFIXCOMMIT:
            g_bHaveFix = 1;
            break;
        case platform::WM_USER_MAPNEWFIX:
            Refresh(false);
            break;
        case platform::WM_APP_MAPREDRAW:
            drawingValid = 0;
            RequestMapRedraw();
            break;
        default:
            break;
    }
    return 0;
}

void CGPSmapView::OnPaint(wxPaintEvent& /*event*/) {
    wxAutoBufferedPaintDC dc(this);
    dc.SetBackground(*wxWHITE_BRUSH);
    dc.Clear();
    fullRedraw = 0;
    drawingValid = 1;
}

void CGPSmapView::OnTimer(wxTimerEvent& /*event*/) {
    gps::PollAutoBaud();
}

}  // namespace map
