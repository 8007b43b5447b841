#include "map/map_export_command.h"

#include <filesystem>
#include <mutex>
#include <string>

#include "map/map_export.h"
#include "mapdata/binary_map.h"
#include "platform/message_box.h"
#include "platform/sys_error.h"
#include "platform/whole_file.h"

namespace map {
namespace {

// A file dialog's answer with the modal-dialog flag raised around it.
std::optional<FileDialogAnswer> AskSavePath(MapCommandDialogs& dialogs, const FileDialogRequest& request) {
    dialogs.SetModal(true);
    std::optional<FileDialogAnswer> answer = dialogs.Save(request);
    dialogs.SetModal(false);
    return answer;
}

FileDialogRequest SaveRequest(const std::wstring& mapPath, std::wstring title, std::wstring_view filter,
                              std::wstring_view extension) {
    FileDialogRequest request;
    request.title = std::move(title);
    request.defaultExtension = std::wstring(extension.substr(1));
    request.filter = std::wstring(filter);
    request.folder = std::filesystem::path(mapPath).parent_path().wstring();
    request.fileName = ReplaceExtension(mapPath, extension);
    return request;
}

void ReportFileError(const std::filesystem::path& file, std::error_code error) {
    const std::wstring text = file.wstring() + L"\r\n  " + platform::SystemErrorText(error.value());
    platform::ShowMessageBox(nullptr, text, L"File Error", platform::mb::kIconHand | platform::mb::kTopmost);
}

// The window's lists as a binary map, replacing whatever is at path.
std::error_code WriteLists(MapExportSite& site, const std::filesystem::path& path) {
    std::string bytes;
    {
        const std::lock_guard lock(site.lists.lock);
        bytes = mapdata::BuildBinaryMap(
            {site.lists.general, site.lists.zones, site.lists.symbols17, site.lists.symbols27},
            site.mapFile.HeaderText());
    }
    return platform::ReplaceWholeFile(path, bytes);
}

}  // namespace

void RunExportBinaryMap(MapExportSite& site, MapCommandDialogs& dialogs) {
    if (!site.mapReady) return;
    const std::wstring loaded = site.mapFile.GetFullPath();
    const FileDialogRequest request = SaveRequest(loaded, L"Binary Map File", kBinaryMapFilter, L".gpm");
    for (;;) {
        const std::optional<FileDialogAnswer> answer = AskSavePath(dialogs, request);
        if (!answer) return;
        const std::filesystem::path chosen(answer->path);
        const BinaryTarget target = ClassifyBinaryTarget(chosen, loaded, site.mapFile.IsBinary());
        if (target == BinaryTarget::kAskAgain) continue;
        if (site.stopDrawing) site.stopDrawing();
        if (target == BinaryTarget::kRewriteLoaded) {
            // The map's own file is replaced whole: its object must read
            // the new one before anything appends to it.
            const std::error_code error = WriteLists(site, loaded);
            if (error) ReportFileError(loaded, error);
            if (!error && !site.mapFile.Reopen()) {
                ReportFileError(loaded, std::make_error_code(std::errc::io_error));
            }
            return;
        }
        if (const std::error_code error = WriteLists(site, chosen)) ReportFileError(chosen, error);
        return;
    }
}

void RunExportBitmap(MapExportSite& site, MapCommandDialogs& dialogs) {
    if (!site.mapReady) return;
    const std::wstring loaded = site.mapFile.GetFullPath();
    const std::optional<FileDialogAnswer> answer =
        AskSavePath(dialogs, SaveRequest(loaded, L"Export Map File", kBitmapFilter, L".bmp"));
    if (!answer) return;
    dialogs.SetModal(true);
    const std::optional<ExportOptions> options = dialogs.AskExportOptions();
    dialogs.SetModal(false);
    if (!options) return;

    ExportJob job;
    job.draw = site.drawBase;
    job.draw.state = ExportTransform(site.view, options->scale);
    job.size = ExportBitmapSize(site.view.drawRect, options->scale);
    job.draw.clientHeight = job.size.height;
    job.bitCount = ExportBitCount(dialogs.DisplayDepth(), options->eightBit);
    if (site.stopDrawing) site.stopDrawing();
    const ExportResult result = ExportMapBitmap(site.lists, job, std::filesystem::path(answer->path));
    if (result.status == ExportStatus::kRefused || result.status == ExportStatus::kWriteFailed) {
        platform::ShowMessageBox(nullptr, result.message, L"Export Map File",
                                 platform::mb::kIconExclamation | platform::mb::kTopmost);
    }
}

}  // namespace map
