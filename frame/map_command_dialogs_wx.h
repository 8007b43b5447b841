#pragma once
// The real dialogs of the map's file commands: wx file dialogs, the export
// options dialog (CMapExportDlg) and the modal-dialog flag. A test hook
// answers the file dialogs instead of a person. UI thread only.

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "map/map_command_dialogs.h"

class wxWindow;

namespace frame {

// What the hook gets: whether a save dialog is asked for, and the request.
// It gives the answer, or nothing for Cancel.
using MapFileDialogHook =
    std::function<std::optional<map::FileDialogAnswer>(bool save, const map::FileDialogRequest&)>;
// Installs the hook (an empty one shows the dialogs again).
void SetMapFileDialogHook(MapFileDialogHook hook);

// A filter in the "Name|*.a||" form as wx takes it (without the closing
// bars).
std::wstring WxFileFilter(std::wstring_view filter);

class WxMapCommandDialogs final : public map::MapCommandDialogs {
  public:
    explicit WxMapCommandDialogs(wxWindow* parent) : parent_(parent) {}
    std::optional<map::FileDialogAnswer> Save(const map::FileDialogRequest& request) override;
    std::optional<map::FileDialogAnswer> Open(const map::FileDialogRequest& request) override;
    std::optional<map::ExportOptions> AskExportOptions() override;
    void SetModal(bool open) override;
    int DisplayDepth() const override;

  private:
    std::optional<map::FileDialogAnswer> Ask(bool save, const map::FileDialogRequest& request);
    wxWindow* parent_;
};

}  // namespace frame
