#include "map/elevation_file.h"

#include <memory>

#include "core/elevation_model.h"
#include "platform/message_box.h"
#include "platform/settings_store.h"
#include "platform/utf.h"
#include "resources/ids/strings.h"
#include "services/string_resources.h"

namespace map {
namespace {

using ids::kIdsElevationCaption;
using ids::kIdsElevationHeaderUnreadable;
using ids::kIdsElevationDataUnmappable;

void ShowElevationBox(unsigned textId) {
    platform::ShowMessageBox(nullptr, core::LoadResourceString(textId),
                             core::LoadResourceString(kIdsElevationCaption),
                             platform::mb::kIconHand | platform::mb::kTopmost);
}

}  // namespace

mapdata::CElevationModel& ElevationModel() {
    static mapdata::CElevationModel model;
    return model;
}

ElevationLoad LoadElevationModel(std::wstring_view headerFile) {
    mapdata::CElevationModel& model = ElevationModel();
    model.Close();
    ElevationLoad result = ElevationLoad::kNoFile;
    if (!headerFile.empty()) {
        const std::filesystem::path path(platform::ToUtf8(headerFile));
        if (!model.ParseHeader(path)) {
            result = ElevationLoad::kHeaderUnreadable;
        } else {
            result = model.MapDataFile() ? ElevationLoad::kLoaded : ElevationLoad::kDataUnmappable;
        }
    }
    core::SetElevationModel(model.View());
    return result;
}

DemFileDialog DemFileDialogFor(const std::filesystem::path& currentHeader) {
    DemFileDialog dialog;
    dialog.title = L"DEM Data info";
    dialog.wildcard = L"Header file (*.hdr)|*.hdr|All Files (*.*)|*.*";
    dialog.defaultExtension = L"hdr";
    const std::wstring path = currentHeader.wstring();
    const std::size_t slash = path.rfind(L'/');
    if (slash != std::wstring::npos && slash > 0) {
        dialog.folder = path.substr(0, slash);
        dialog.fileName = path.substr(slash + 1);
    } else {
        dialog.fileName = path;
    }
    return dialog;
}

ElevationLoad ApplyDemFileChoice(const std::optional<std::wstring>& chosen,
                                 const std::function<void()>& redraw) {
    ElevationLoad result = ElevationLoad::kNoFile;
    if (chosen) {
        result = LoadElevationModel(*chosen);
        if (result == ElevationLoad::kLoaded || result == ElevationLoad::kDataUnmappable) {
            platform::AppSettings().WriteString("Settings", "DEMheaderFile",
                                                std::wstring_view(*chosen));
        }
        if (result == ElevationLoad::kHeaderUnreadable) {
            ShowElevationBox(kIdsElevationHeaderUnreadable);
        } else if (result == ElevationLoad::kDataUnmappable) {
            ShowElevationBox(kIdsElevationDataUnmappable);
        }
    }
    if (redraw) redraw();
    return result;
}

}  // namespace map
