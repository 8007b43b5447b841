#pragma once
// The programs' file dialogs: one dialog, built from the toolkit's generic
// file control, for every "open" and "save as" of the four programs. The
// desktop's own file chooser keeps a size of its own (larger than a cockpit
// screen) and cannot be made to fit; this one is sized to the work area of
// its parent's display and placed over its parent. Return in the name field
// accepts, as OK does. UI thread only.

#include <wx/string.h>

#include <filesystem>
#include <optional>
#include <string>

class wxWindow;

namespace platform::gui {

struct FileDialogRequest {
    wxString title;
    std::filesystem::path folder;  // empty: the folder of `name`, else the current one
    std::filesystem::path name;    // the name offered; only its last part is shown
    wxString wildcard;             // "Text (*.txt)|*.txt|All files (*.*)|*.*"
    int filterIndex = 0;           // from 0
    bool save = false;
    bool overwritePrompt = true;   // save: ask before replacing a file
    bool mustExist = true;         // open: only a file that exists
    // Without the dot; goes on a typed name without an extension. Empty:
    // the name is taken as typed.
    std::wstring defaultExtension;
};

struct FileDialogAnswer {
    std::filesystem::path path;
    int filterIndex = 0;  // from 0
};

// The path with `extension` (no dot) added when its name has none.
std::filesystem::path WithDefaultExtension(std::filesystem::path path, std::wstring_view extension);

// Shows the dialog modally; the chosen file, or nothing when cancelled.
std::optional<FileDialogAnswer> ShowFileDialog(wxWindow* parent, const FileDialogRequest& request);

// The folder chooser beside it, sized and placed the same way.
std::optional<std::filesystem::path> ShowFolderDialog(wxWindow* parent, const wxString& title,
                                                      const std::filesystem::path& start);

}  // namespace platform::gui
