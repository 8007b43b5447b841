#include "frame/flight_log_commands.h"

#include <wx/frame.h>
#include <wx/menu.h>

#include <memory>
#include <optional>
#include <vector>

#include "core/settings_values.h"
#include "frame/frame_commands.h"
#include "frame/igc_header_dialog.h"
#include "frame/task_dialog.h"
#include "glide/speed_to_fly_text.h"
#include "gps/nav_fix.h"
#include "nav/task_model.h"
#include "platform/gui/command_ids.h"
#include "platform/gui/file_dialog.h"
#include "platform/settings_store.h"
#include "recorder/flight_file.h"
#include "recorder/flight_log_file.h"
#include "recorder/replay.h"
#include "recorder/settings_values.h"
#include "recorder/task_declaration.h"
#include "resources/ids/strings_recorder.h"
#include "services/string_resources.h"

namespace frame {
namespace {

using ids::kIdsReplayFlight;
using ids::kIdsStopReplay;

constexpr char kLogFilters[] = "Text logs (*.gps)|*.gps|IGC logs (*.igc)|*.igc|All files (*.*)|*.*";
constexpr char kFlightFilters[] =
    "KOR_VAN files (*.gps)|*.gps|IGC files (*.igc)|*.igc|All files (*.*)|*.*";

// The file dialogs count filters from 1, the toolkit from 0. The name
// comes back as typed: the log gives it the extension of its format.
std::optional<recorder::LogSaveAnswer> ShowSaveDialog(wxWindow* parent,
                                                      const recorder::LogSaveRequest& request) {
    platform::gui::FileDialogRequest dialog;
    dialog.title = request.title;
    dialog.folder = request.folder;
    dialog.name = request.name;
    dialog.wildcard = kLogFilters;
    dialog.filterIndex = request.filterIndex - 1;
    dialog.save = true;
    const auto answer = platform::gui::ShowFileDialog(parent, dialog);
    if (!answer) return std::nullopt;
    return recorder::LogSaveAnswer{answer->path, answer->filterIndex + 1};
}

// Opens the flight to replay through the open dialog; null when cancelled
// or unreadable.
std::unique_ptr<recorder::CFlightType> OpenFlightFile(wxWindow* parent) {
    platform::SettingsStore& settings = platform::AppSettings();
    platform::gui::FileDialogRequest dialog;
    dialog.title = "Flight File";
    dialog.folder = settings.GetString("Settings", "FlightFileFolder", std::wstring_view(L""));
    dialog.wildcard = kFlightFilters;
    dialog.filterIndex = static_cast<int>(settings.GetInt("Settings", "ReplayFileIndex", 1)) - 1;
    const auto answer = platform::gui::ShowFileDialog(parent, dialog);
    if (!answer) return nullptr;
    settings.WriteInt("Settings", "ReplayFileIndex",
                      static_cast<std::uint32_t>(answer->filterIndex + 1));
    settings.WriteString("Settings", "FlightFileFolder",
                         (answer->path.parent_path() / "").wstring());
    auto file = std::make_unique<recorder::CFlightType>();
    if (!file->Open(answer->path)) return nullptr;
    return file;
}

void SetReplayItem(wxFrame& frame, bool running) {
    wxMenuBar* menus = frame.GetMenuBar();
    if (menus == nullptr) return;
    wxMenuItem* item = menus->FindItem(platform::gui::WxIdFromCommand(cmd::kReplayFlight));
    if (item != nullptr)
        item->SetItemLabel(core::LoadResourceString(running ? kIdsStopReplay : kIdsReplayFlight));
}

DeclarationDialogs g_declarationDialogs;

// The navigation state a replay starts from.
void ResetForReplay() {
    gps::ResetNavFix();
    recorder::RunReplayStartSteps();
}

}  // namespace

void BindFlightLogCommands(wxFrame& frame) {
    recorder::SetLogSaveDialog([&frame](const recorder::LogSaveRequest& request) {
        return ShowSaveDialog(&frame, request);
    });
    // The task editor's Declare button declares the edited task whether or
    // not it is being flown yet: the pilot declares before take-off.
    SetTaskDeclarationWriter(
        [](const nav::CTask& task) { recorder::WriteTaskDeclaration(task, 1); });
    frame.Bind(
        wxEVT_MENU, [](wxCommandEvent&) { recorder::StartFlightLog(0, 0); },
        platform::gui::WxIdFromCommand(cmd::kStartLog));
    frame.Bind(
        wxEVT_MENU, [&frame](wxCommandEvent&) { OnReplayFlight(frame); },
        platform::gui::WxIdFromCommand(cmd::kReplayFlight));
    frame.Bind(
        wxEVT_MENU, [&frame](wxCommandEvent&) { OnDeclareTask(frame); },
        platform::gui::WxIdFromCommand(cmd::kDeclareTask));
}

void SetDeclarationDialogs(DeclarationDialogs dialogs) {
    g_declarationDialogs = std::move(dialogs);
}

void OnDeclareTask(wxFrame& frame) {
    recorder::DeclarationSteps steps;
    steps.selectTask = [](int mode) {
        if (g_declarationDialogs.selectTask) return g_declarationDialogs.selectTask(mode);
        return mode == 1 && nav::g_currentTask.load() != nullptr ? 1 : 2;
    };
    steps.currentTask = []() -> const nav::CTask* { return nav::g_currentTask.load(); };
    steps.headerDialog = [&frame]() -> std::optional<std::vector<std::wstring>> {
        CIGCHeaderDlg dialog(&frame);
        if (dialog.DoModal() != wxID_OK) return std::nullopt;
        return dialog.Lines();
    };
    steps.confirm = [] {
        return g_declarationDialogs.confirm ? g_declarationDialogs.confirm() : true;
    };
    steps.startLog = [] { return recorder::StartFlightLog(1, 1); };
    recorder::DeclareTask(steps);
}

void OnReplayFlight(wxFrame& frame) {
    if (recorder::ReplayThreadRunning()) {
        recorder::StopReplay();
        return;
    }
    if (const auto refuses = recorder::CurrentReplayMapHooks().refusesReplay; refuses && refuses())
        return;
    recorder::JoinReplay();
    std::unique_ptr<recorder::CFlightType> file = OpenFlightFile(&frame);
    if (!file) return;
    ResetForReplay();
    SetReplayItem(frame, true);
    recorder::g_replayPacing = -1;
    recorder::StartReplay(std::move(file));
}

void OnReplayFinished(wxFrame& frame) {
    // The end of an earlier replay, told after a new one started.
    if (!recorder::LastReplayEnded()) return;
    recorder::JoinReplay();
    SetReplayItem(frame, false);
    gps::g_bReplayRunning = false;
    recorder::g_replayPacing = -1;
    recorder::RunReplayEndSteps();
    glide::SpeedToFlyText(core::g_macCready.load());
    frame.Refresh();
}

}  // namespace frame
