#include "frame/waypoint_file_chooser.h"

#include <wx/thread.h>

#include "nav/waypoint_file_open.h"
#include "platform/gui/file_dialog.h"

namespace frame {

void InstallWaypointFileChooser(wxWindow* parent) {
    if (parent == nullptr) {
        nav::SetWaypointFileChooser(nullptr);
        return;
    }
    nav::SetWaypointFileChooser(
        [parent](bool openMode, const std::wstring& current) -> std::optional<std::wstring> {
            // A dialog belongs to the UI thread; elsewhere the choice is cancelled.
            if (!wxIsMainThread()) return std::nullopt;
            platform::gui::FileDialogRequest dialog;
            dialog.title = nav::kWaypointDialogTitle;
            dialog.name = current;
            dialog.wildcard = openMode ? nav::kWaypointOpenFilter : nav::kWaypointSaveFilter;
            // Opening a file that is not there creates it.
            dialog.save = !openMode;
            dialog.mustExist = false;
            dialog.overwritePrompt = false;
            dialog.defaultExtension = nav::kWaypointDefaultExtension;
            const auto answer = platform::gui::ShowFileDialog(parent, dialog);
            if (!answer) return std::nullopt;
            return platform::gui::WithDefaultExtension(answer->path, nav::kWaypointDefaultExtension)
                .wstring();
        });
}

}  // namespace frame
