#include "frame/main_frame.h"

#include <wx/dcclient.h>
#include <wx/menu.h>
#include <wx/textctrl.h>
#include <wx/toolbar.h>
#include <wx/xrc/xmlres.h>

#include <algorithm>
#include <bit>
#include <numbers>
#include <any>
#include <chrono>
#include <string>
#include <thread>
#include <utility>

#include "fix/fix_processing_thread.h"
#include "frame/bounded_wait.h"
#include "frame/flight_log_commands.h"
#include "frame/frame_commands.h"
#include "frame/frame_services_wx.h"
#include "frame/frame_tasks.h"
#include "frame/notes_controls.h"
#include "frame/position_view.h"
#include "frame/small_dialogs.h"
#include "frame/static_splitter.h"
#include "frame/team_dialog.h"
#include "frame/wind_dialog.h"
#include "glide/lifecycle.h"
#include "glide/thermal_drift.h"
#include "glide/wind_estimation.h"
#include "gps/gps_port.h"
#include "gps/nav_fix.h"
#include "map/elevation_file.h"
#include "map/map_view.h"
#include "nav/olc_worker.h"
#include "platform/gui/command_ids.h"
#include "platform/gui/resource_bundle.h"
#include "platform/message_box.h"
#include "platform/settings_store.h"
#include "platform/ui_post.h"
#include "recorder/engine_noise_sensor.h"
#include "recorder/flight_log_file.h"
#include "recorder/igc_header.h"
#include "recorder/logger_library.h"
#include "recorder/replay.h"
#include "recorder/settings_values.h"
#include "resources/ids/main_frame.h"
#include "resources/ids/strings.h"
#include "services/flarm_library.h"
#include "services/flight_log.h"
#include "services/string_resources.h"

namespace frame {
namespace {

using namespace std::chrono_literals;

using ids::kIdsMainWindowTitle;
using ids::kIdsElevationCaption;
using ids::kIdsElevationHeaderUnreadable;
using ids::kIdsElevationDataUnmappable;
using ids::kIdsResimplifyMap;

constexpr int kResimplifyMenuPosition = 5;
constexpr int kPortraitPositionExtra = 25;
using xrc::main_frame::kAbout;
using xrc::main_frame::kDeclareTask;
using xrc::main_frame::kExit;
using xrc::main_frame::kMainWindow;
using xrc::main_frame::kReplayFlight;
using xrc::main_frame::kStartLog;
constexpr int kPageProfileMode = 2;

// Key codes the map window takes with WM_USER_MAPKEY.
constexpr std::uintptr_t kVkLeft = 0x25;
constexpr std::uintptr_t kVkUp = 0x26;
constexpr std::uintptr_t kVkRight = 0x27;
constexpr std::uintptr_t kVkDown = 0x28;

std::function<void()> g_closeListener;

void ReadIgcHeaderTexts(const platform::SettingsStore& settings) {
    using recorder::g_igcHeaderTexts;
    struct Field {
        recorder::IgcHeaderText text;
        const char* name;
        std::size_t maxLength;
    };
    constexpr Field kFields[] = {
        {recorder::kIgcPilot, "PLT", 78},
        {recorder::kIgcGliderId, "GID", 30},
        {recorder::kIgcGliderType, "GTY", 30},
        {recorder::kIgcFlightType, "FTY", 30},
        {recorder::kIgcCompetitionClass, "CCL", 30},
        {recorder::kIgcCompetitionId, "CID", 30},
    };
    for (const Field& field : kFields) {
        const std::wstring text = settings.GetString("IGCHeaders", field.name, L"Unknown");
        g_igcHeaderTexts[field.text].Set(text.substr(0, field.maxLength));
    }
    g_igcHeaderTexts[recorder::kIgcSpare].Set(L"Unknown");
}

void LoadElevationModel(const std::wstring& headerFile) {
    const auto box = [](unsigned textId) {
        platform::ShowMessageBox(nullptr, core::LoadResourceString(textId),
                                 core::LoadResourceString(kIdsElevationCaption),
                                 platform::mb::kIconHand | platform::mb::kTopmost);
    };
    switch (map::LoadElevationModel(headerFile)) {
        case map::ElevationLoad::kHeaderUnreadable:
            box(kIdsElevationHeaderUnreadable);
            break;
        case map::ElevationLoad::kDataUnmappable:
            box(kIdsElevationDataUnmappable);
            break;
        case map::ElevationLoad::kNoFile:
        case map::ElevationLoad::kLoaded:
            break;
    }
}

void PostMapKey(std::uintptr_t key) {
    platform::PostWindowMessage(platform::kMapViewWindow, platform::WM_USER_MAPKEY, key, 1);
}

// The popup grows (down, then up where its window ends) until every line of
// its text shows, the lines the box wraps counted; it never shrinks below
// the size its window gave it.
void FitPopupToText(wxTextCtrl& popup) {
    wxClientDC dc(&popup);
    dc.SetFont(popup.GetFont());
    const int width = std::max(popup.GetClientSize().x - 8, 1);
    int rows = 0;
    for (int i = 0; i < popup.GetNumberOfLines(); ++i) {
        const int textWidth = dc.GetTextExtent(popup.GetLineText(i)).x;
        rows += std::max(1, (textWidth + width - 1) / width);
    }
    const wxSize room = popup.GetParent()->GetClientSize();
    const wxRect now = popup.GetRect();
    const int frame = popup.GetSize().y - popup.GetClientSize().y;
    const int height = std::min(std::max(now.height, rows * dc.GetCharHeight() + frame + 8), room.y);
    popup.SetSize(now.x, std::max(0, std::min(now.y, room.y - height)), now.width, height);
}

}  // namespace

CMainFrame::CMainFrame() {
    const platform::SettingsStore& settings = platform::AppSettings();
    g_diskSpaceWarningSize =
        static_cast<int>(settings.GetInt("Settings", "diskSpaceWarningSize", 1000));
    g_demHeaderFile.Set(settings.GetString("Settings", "DEMheaderFile", std::wstring_view()));
    ReadIgcHeaderTexts(settings);
    LoadElevationModel(g_demHeaderFile.Get());
}

CMainFrame::~CMainFrame() {
    registration_.Reset();
    SetDeclarationDialogs({});
    commands_.reset();
    tasks_.reset();
    services_.reset();
    recorder::FreeLoggerLibrary();
    if (g_hMainFrameWnd == this) g_hMainFrameWnd = nullptr;
}

bool CMainFrame::LoadFrame(ScreenSize screen) {
    g_nPosViewHeight = 100;
    g_nPosViewWidth = 240;
    if (!Create(nullptr, wxID_ANY, core::LoadResourceString(kIdsMainWindowTitle), wxPoint(0, 0),
                wxSize(screen.width, screen.height), wxDEFAULT_FRAME_STYLE)) {
        return false;
    }
    if (const auto bundle = platform::gui::InstalledBundle()) SetIcon(bundle->Icon(kMainWindow));
    CreateBars();
    // Hiding the toolbar is for hand-held screens; here it stays.
    platform::AppSettings().GetInt("Settings", "AllowHideToolBar", 0);
    CreateClient(screen);

    BindFlightLogCommands(*this);
    BindCommands();
    Bind(wxEVT_CHAR_HOOK, &CMainFrame::OnCharHook, this);
    Bind(wxEVT_CLOSE_WINDOW, &CMainFrame::OnClose, this);
    Bind(wxEVT_DESTROY, &CMainFrame::OnDestroyWindow, this);
    registration_ = platform::gui::WindowRegistration(
        platform::kMainFrameWindow, *this,
        [this](const platform::WindowMessage& message) { return OnWindowMessage(message); });
    return true;
}

void CMainFrame::CreateBars() {
    wxXmlResource& resources = *wxXmlResource::Get();
    if (wxMenuBar* menus = resources.LoadMenuBar(std::to_string(kMainWindow))) SetMenuBar(menus);
    if (wxToolBar* tools = resources.LoadToolBar(this, std::to_string(kMainWindow)))
        SetToolBar(tools);
}

void CMainFrame::CreateClient(ScreenSize screen) {
    g_bPortrait = IsPortraitScreen(screen.width, screen.height) ? 1 : 0;
    g_hMainFrameWnd = this;
    if (g_bPortrait != 0) g_nPosViewHeight += kPortraitPositionExtra;
    const int positionLength = g_bPortrait != 0 ? g_nPosViewHeight : g_nPosViewWidth;
    splitter_ = new CStaticSplitter(this, g_bPortrait != 0, positionLength);

    const wxSize client = GetClientSize();
    const PaneLayout layout =
        SplitClientArea(g_bPortrait != 0, client.x, client.y, g_nPosViewHeight, g_nPosViewWidth);
    const auto at = [](const platform::PixelRect& r) { return wxPoint(r.left, r.top); };
    const auto size = [](const platform::PixelRect& r) { return wxSize(r.Width(), r.Height()); };
    auto* position = new frame::CGPSposView(splitter_, at(layout.position), size(layout.position));
    auto* mapView = new map::CGPSmapView(splitter_, at(layout.map), size(layout.map));
    splitter_->SetPanes(mapView, position);

    mapView_ = mapView;
    // Both panes are children of the splitter and go together.
    position->SetMapLink(FrameMapLink(*mapView));
    frame::g_pPosView = position;
    popupText_ = &position->NotesWindow();
    notes_.push_back(std::make_unique<ColorEdit>(position->NotesWindow(), platform::kMainFrameWindow));
    notes_.push_back(std::make_unique<ColorEdit>(mapView->NotesWindow(), platform::kMainFrameWindow));
    position->SetFrame(this);
    // The flight-time field's tap starts and stops the frame's stopwatch.
    position->onFlightTimeFormat = [this] {
        if (commands_ != nullptr) commands_->FormatTimeToGo();
    };
    mapView->SetFrame(this);

    glide::SetWindEstimatorWindow(platform::kMainFrameWindow);
    glide::LoadWindEstimatorSettings();
    InsertResimplifyItem();
}

// Every command of the message table goes to the commands, and every item
// with an update handler takes its state from them. The flight-log commands
// keep the bindings that come with their save dialog.
void CMainFrame::BindCommands() {
    services_ = std::make_unique<WxFrameServices>(*this);
    tasks_ = std::make_unique<ProgramFrameTasks>();
    commands_ =
        std::make_unique<FrameCommands>(services_->Services(*tasks_), platform::AppSettings());
    for (const MessageTableEntry& entry : kFrameMessageTable) {
        const int command = static_cast<int>(entry.id);
        const int id = platform::gui::WxIdFromCommand(command);
        if (entry.kind == EntryKind::kCommand) {
            if (command == cmd::kStartLog || command == cmd::kReplayFlight ||
                command == cmd::kDeclareTask) {
                continue;
            }
            Bind(
                wxEVT_MENU, [this, command](wxCommandEvent&) { commands_->Execute(command); }, id);
        } else if (entry.kind == EntryKind::kUpdate) {
            Bind(
                wxEVT_UPDATE_UI,
                [this, command](wxUpdateUIEvent& event) {
                    const UiState state = commands_->Update(command);
                    event.Enable(state.enabled);
                    if (event.IsCheckable()) event.Check(state.checked);
                },
                id);
        }
    }
    Bind(
        wxEVT_MENU, [this](wxCommandEvent&) { ShowAboutBox(this); },
        platform::gui::WxIdFromCommand(kAbout));
    Bind(
        wxEVT_MENU, [this](wxCommandEvent&) { Close(); },
        platform::gui::WxIdFromCommand(kExit));
    // A declaration chooses its task in the task editor (a cancel keeps the
    // flown task) and is confirmed in its own dialog.
    SetDeclarationDialogs({[this](int /*mode*/) {
                               commands_->declareMode = 1;
                               const int result = commands_->SelectTask(false);
                               commands_->declareMode = 0;
                               return result;
                           },
                           [this] { return ConfirmDeclaration(this); }});
}

void CMainFrame::InsertResimplifyItem() {
    wxMenu* first = GetSubMenuAt(0);
    if (first == nullptr) return;
    const auto position = std::min<std::size_t>(kResimplifyMenuPosition, first->GetMenuItemCount());
    first->Insert(position, platform::gui::WxIdFromCommand(kCommandResimplifyMap),
                  core::LoadResourceString(kIdsResimplifyMap));
}

wxMenu* CMainFrame::GetSubMenuAt(int index) const {
    const wxMenuBar* menus = GetMenuBar();
    if (menus == nullptr || index < 0 || static_cast<std::size_t>(index) >= menus->GetMenuCount()) {
        return nullptr;
    }
    return menus->GetMenu(static_cast<std::size_t>(index));
}

NavDisplayArea CMainFrame::NavArea() const {
    const wxSize client = splitter_ != nullptr ? splitter_->GetClientSize() : GetClientSize();
    return {g_bPortrait != 0, client.y, client.x, g_nPosViewHeight, g_nPosViewWidth};
}

void CMainFrame::ApplyNavLayout(const NavDisplayLayout& layout) {
    platform::AppSettings().WriteInt("Settings", "lastNavDisplaySetting",
                                     static_cast<std::uint32_t>(layout.stored));
    g_nNavDisplay = layout.state;
    positionLayoutWord = layout.layoutWord;
    if (layout.origins) rowOrigins = *layout.origins;
    fieldRows = FieldRowsFor(rowOrigins);
    if (splitter_ != nullptr) splitter_->SetPaneLengths(layout.mapLength, layout.positionLength);
    if (mapView_ != nullptr) mapView_->Redraw().Invalidate();
    if (g_pPosView != nullptr) {
        g_pPosView->SetRowOrigins({rowOrigins.upper, rowOrigins.lower}, positionLayoutWord);
        g_pPosView->Refresh();
    }
}

void CMainFrame::RestoreNavDisplay(int fromCommand) {
    ApplyNavLayout(RestoreNavLayout(NavArea(), g_nNavDisplay, fromCommand != 0));
}

void CMainFrame::ShowPopup(const std::wstring& text, int contentKind) {
    if (popupText_ == nullptr) return;
    popupText_->SetValue(text);
    FitPopupToText(*popupText_);
    popupText_->Show();
    popupContentKind = contentKind;
}

void CMainFrame::HidePopup() {
    if (popupText_ != nullptr) popupText_->Hide();
    popupContentKind = 0;
}

void CMainFrame::SaveNavDisplay() {
    const bool shown = popupText_ != nullptr && popupText_->IsShown();
    wxTextCtrl* mapNotes = mapView_ != nullptr ? &mapView_->NotesWindow() : nullptr;
    if (popupText_ != nullptr && popupText_ != mapNotes && mapNotes != nullptr) {
        mapNotes->SetValue(popupText_->GetValue());
    }
    if (popupText_ != nullptr) popupText_->Hide();
    if (mapNotes != nullptr) popupText_ = mapNotes;
    ApplyNavLayout(SaveNavLayout(NavArea(), g_nNavDisplay));
    if (popupText_ != nullptr) popupText_->Show(shown);
}

void CMainFrame::OnSwitchNavDisplay() {
    if (g_nNavDisplay != kNavAlternate) {
        const bool shown = popupText_ != nullptr && popupText_->IsShown();
        wxTextCtrl* pageNotes = g_pPosView != nullptr ? &g_pPosView->NotesWindow() : nullptr;
        if (popupText_ != nullptr && popupText_ != pageNotes && pageNotes != nullptr) {
            pageNotes->SetValue(popupText_->GetValue());
            popupText_->Hide();
        }
        RestoreNavDisplay(1);
        if (pageNotes != nullptr) popupText_ = pageNotes;
        if (popupText_ != nullptr) popupText_->Show(shown);
    } else {
        SaveNavDisplay();
    }
    if (services_ == nullptr) return;
    services_->LayoutButtons();
    // The profile view of the page draws the drift, or the course without it.
    if (g_nNavDisplay != kNavFullMap && services_->Mode() == kPageProfileMode) {
        if (glide::g_driftValid.load() != 0) {
            platform::PostWindowMessage(platform::kPosViewWindow, platform::WM_USER_MAPNEWFIX, 1, 0);
        } else {
            const auto course =
                static_cast<float>(gps::CurrentNav()->trackDeg * std::numbers::pi / 180.0);
            platform::PostWindowMessage(platform::kPosViewWindow, platform::WM_USER_MAPNEWFIX, 0,
                                        static_cast<std::intptr_t>(std::bit_cast<std::uint32_t>(course)));
        }
    }
}

void CMainFrame::SetLoggerToNmeaMode() {
    if (recorder::g_bLoggerLibraryBound.load() == 0 || !gps::GpsPortOpen() ||
        (recorder::LoggerType() & 0xFF) != 4) {
        return;
    }
    gps::WriteGpsPortByte(0x03);
    std::this_thread::sleep_for(5000ms);
    for (const char c : std::string_view("NMEA\r"))
        gps::WriteGpsPortByte(static_cast<std::uint8_t>(c));
}

void CMainFrame::SetCloseListener(std::function<void()> listener) {
    g_closeListener = std::move(listener);
}

std::intptr_t CMainFrame::OnWindowMessage(const platform::WindowMessage& message) {
    switch (message.message) {
        case WM_APP_RAISEFRAME:
            Show();
            Iconize(false);
            Raise();
            return 1;
        case platform::WM_COMMAND: {
            // A command posted as if chosen from the menu.
            wxCommandEvent command(
                wxEVT_MENU, platform::gui::WxIdFromCommand(static_cast<int>(message.wParam)));
            command.SetEventObject(this);
            GetEventHandler()->QueueEvent(command.Clone());
            return 0;
        }
        default:
            return commands_ != nullptr ? commands_->OnMessage(message) : 0;
    }
}

void CMainFrame::OnCharHook(wxKeyEvent& event) {
    const bool popupShown = popupText_ != nullptr && popupText_->IsShown();
    switch (event.GetKeyCode()) {
        case WXK_UP:
        case WXK_DOWN:
            if (popupShown) {
                popupText_->ScrollLines(event.GetKeyCode() == WXK_UP ? -2 : 2);
            } else {
                PostMapKey(event.GetKeyCode() == WXK_UP ? kVkUp : kVkDown);
            }
            break;
        case WXK_LEFT:
            PostMapKey(kVkLeft);
            break;
        case WXK_RIGHT:
            PostMapKey(kVkRight);
            break;
        default:
            break;
    }
    event.Skip();
}

void CMainFrame::OnClose(wxCloseEvent& /*event*/) {
    if (closing_) return;
    closing_ = true;
    StopWorkers();
    if (g_closeListener) g_closeListener();
    Destroy();
}

// The close, in this order: the flight log, the reachable outline, the map
// reader and timer, a replay, the GPS port, the waits for the map reader and
// the replay, the contest worker, the fix-processing thread, the FLARM
// library's threads, the sound capture, and the wind estimator's settings.
void CMainFrame::StopWorkers() {
    // Workers waiting for this thread are let go from here on.
    platform::SetProgramStopping(true);
    if (core::g_hFlightLog.IsOpen()) recorder::CloseFlightLog();

    map::CGPSmapView* mapView = mapView_;
    if (mapView != nullptr) {
        mapView->StopReachableOutline(10);
        mapView->StopMapRead();
        mapView->KillMapTimer();
    }
    recorder::g_bReplayClosing = gps::g_bReplayRunning.exchange(false);
    if (gps::GpsPortOpen()) gps::CloseGpsPort();

    // A replay clears its closing flag when it ends.
    WaitWhileBusy(
        [mapView] {
            return recorder::g_bReplayClosing.load() ||
                   (mapView != nullptr && !mapView->MapReadDone());
        },
        20s, 30ms);
    recorder::JoinReplay();
    nav::StopOlcThreadsAndWait(20000);
    gps::StopFixProcessing(20000);
    if (FlarmPresent() && core::g_flarm.terminateThreads != nullptr) {
        core::g_flarm.terminateThreads(nullptr);
    }
    recorder::CWaveRecorder& capture = recorder::g_engineNoiseSensor.Recorder();
    if (capture.IsOpen()) capture.Close(150);
    glide::SaveWindEstimatorSettings();
}

void CMainFrame::OnDestroyWindow(wxWindowDestroyEvent& event) {
    if (event.GetEventObject() == this) {
        registration_.Reset();
        if (gps::GpsPortOpen()) gps::CloseGpsPort();
    }
    event.Skip();
}

}  // namespace frame
