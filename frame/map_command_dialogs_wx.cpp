#include "frame/map_command_dialogs_wx.h"

#include <wx/gdicmn.h>

#include <filesystem>
#include <utility>

#include "frame/frame_commands.h"
#include "frame/small_dialogs.h"
#include "platform/gui/file_dialog.h"

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
    platform::gui::FileDialogRequest dialog;
    dialog.title = request.title;
    dialog.folder = request.folder;
    dialog.name = request.fileName;
    dialog.wildcard = WxFileFilter(request.filter);
    dialog.filterIndex = request.filterIndex - 1;
    dialog.save = save;
    dialog.mustExist = false;
    dialog.defaultExtension = request.defaultExtension;
    const auto answer = platform::gui::ShowFileDialog(parent_, dialog);
    if (!answer) return std::nullopt;
    return map::FileDialogAnswer{answer->path.wstring(), answer->filterIndex + 1};
}

std::optional<map::ExportOptions> WxMapCommandDialogs::AskExportOptions() {
    const std::optional<MapExportValues> values = RunMapExportDialog(parent_);
    if (!values) return std::nullopt;
    return map::ExportOptions{values->scale, values->eightBits != 0};
}

void WxMapCommandDialogs::SetModal(bool open) { g_bModalDialogOpen = open ? 1 : 0; }

int WxMapCommandDialogs::DisplayDepth() const { return wxDisplayDepth(); }

}  // namespace frame
