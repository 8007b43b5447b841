#include "map/overlay_command.h"

#include <filesystem>

#include "platform/message_box.h"
#include "resources/ids/strings.h"
#include "services/string_resources.h"

namespace map {
namespace {

constexpr int kFilterEntries = 5;

FileDialogRequest OverlayRequest(const std::wstring& current, int filterIndex) {
    FileDialogRequest request;
    request.title = L"Overlay File";
    request.defaultExtension = L"map";
    request.filter = std::wstring(kOverlayFilter);
    request.folder = std::filesystem::path(current).parent_path().wstring();
    request.filterIndex = filterIndex >= 1 && filterIndex <= kFilterEntries ? filterIndex : 1;
    return request;
}

bool AskRemoveOverlay() {
    return platform::ShowMessageBox(nullptr, core::LoadResourceString(ids::kIdsRemoveOverlay), L"",
                                    platform::mb::kYesNo | platform::mb::kIconQuestion |
                                        platform::mb::kTopmost) == platform::kIdYes;
}

}  // namespace

OverlayOutcome RunOverlayFileCommand(OverlaySite& site, MapCommandDialogs& dialogs) {
    if (site.displayMode && site.displayMode() != 0 && site.setDisplayMode) site.setDisplayMode(0);
    dialogs.SetModal(true);
    const auto storedIndex = static_cast<int>(site.settings.GetInt("Options\\Maps", "ovlExtIndex", 1));
    const std::optional<FileDialogAnswer> answer =
        dialogs.Open(OverlayRequest(site.currentPath, storedIndex));
    OverlayOutcome outcome{site.currentPath, false};
    if (answer) {
        outcome = {answer->path, answer->path != site.currentPath};
        site.settings.WriteInt("Options\\Maps", "ovlExtIndex",
                               static_cast<std::uint32_t>(answer->filterIndex));
    } else if (!site.currentPath.empty() && AskRemoveOverlay()) {
        outcome = {std::wstring(), true};
    }
    site.settings.WriteString("Settings", "OverlayFile", std::wstring_view(outcome.path));
    if (site.storePath) site.storePath(outcome.path);
    if (outcome.changed && site.reloadOverlay) site.reloadOverlay(outcome.path);
    dialogs.SetModal(false);
    if (site.finish) site.finish();
    return outcome;
}

}  // namespace map
