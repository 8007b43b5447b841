#include "frame/map_command_dialogs_wx.h"

#include <wx/filedlg.h>
#include <wx/gdicmn.h>

#include <filesystem>
#include <utility>

#include "frame/frame_commands.h"
#include "frame/small_dialogs.h"

namespace frame {
namespace {

MapFileDialogHook& Hook() {
    static MapFileDialogHook hook;
    return hook;
}

}  // namespace

void SetMapFileDialogHook(MapFileDialogHook hook) { Hook() = std::move(hook); }

std::wstring WxFileFilter(std::wstring_view filter) {
    while (filter.ends_with(L"||")) filter.remove_suffix(1);
    if (filter.ends_with(L'|')) filter.remove_suffix(1);
    return std::wstring(filter);
}

std::optional<map::FileDialogAnswer> WxMapCommandDialogs::Save(const map::FileDialogRequest& request) {
    return Ask(true, request);
}

std::optional<map::FileDialogAnswer> WxMapCommandDialogs::Open(const map::FileDialogRequest& request) {
    return Ask(false, request);
}

std::optional<map::FileDialogAnswer> WxMapCommandDialogs::Ask(bool save,
                                                              const map::FileDialogRequest& request) {
    if (Hook()) return Hook()(save, request);
    const long style = save ? (wxFD_SAVE | wxFD_OVERWRITE_PROMPT) : wxFD_OPEN;
    const std::wstring name = std::filesystem::path(request.fileName).filename().wstring();
    wxFileDialog dialog(parent_, request.title, request.folder, name, WxFileFilter(request.filter), style);
    dialog.SetFilterIndex(request.filterIndex - 1);
    if (dialog.ShowModal() != wxID_OK) return std::nullopt;
    std::wstring path = dialog.GetPath().ToStdWstring();
    // The default extension goes on a name typed without one.
    if (save && !request.defaultExtension.empty() &&
        path.find(L'.', path.rfind(L'/') + 1) == std::wstring::npos) {
        path += L"." + request.defaultExtension;
    }
    return map::FileDialogAnswer{path, dialog.GetFilterIndex() + 1};
}

std::optional<map::ExportOptions> WxMapCommandDialogs::AskExportOptions() {
    const std::optional<MapExportValues> values = RunMapExportDialog(parent_);
    if (!values) return std::nullopt;
    return map::ExportOptions{values->scale, values->eightBits != 0};
}

void WxMapCommandDialogs::SetModal(bool open) { g_bModalDialogOpen = open ? 1 : 0; }

int WxMapCommandDialogs::DisplayDepth() const { return wxDisplayDepth(); }

}  // namespace frame
