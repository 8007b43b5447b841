#include "platform/gui/file_dialog.h"

#include <wx/button.h>
#include <wx/dialog.h>
#include <wx/dirctrl.h>
#include <wx/filectrl.h>
#include <wx/generic/filectrlg.h>
#include <wx/sizer.h>
#include <wx/textctrl.h>

#include <system_error>

#include "platform/gui/screen_fit.h"
#include "platform/message_box.h"

namespace platform::gui {
namespace {

namespace fs = std::filesystem;

// Large enough for a list of names and their dates; shrunk to the work
// area where that is smaller.
constexpr int kPreferredWidth = 720;
constexpr int kPreferredHeight = 520;

wxString Native(const fs::path& path) { return wxString(path.native()); }

// The filter list without the empty entries a "||" ending would give.
wxString Filters(wxString wildcard) {
    while (wildcard.EndsWith("|")) wildcard.RemoveLast();
    return wildcard;
}

fs::path StartFolder(const FileDialogRequest& request) {
    std::error_code error;
    if (!request.folder.empty() && fs::is_directory(request.folder, error)) return request.folder;
    const fs::path parent = request.name.parent_path();
    if (!parent.empty() && fs::is_directory(parent, error)) return parent;
    return fs::current_path(error);
}

void AddButtons(wxDialog& dialog, wxSizer& column) {
    wxStdDialogButtonSizer* buttons = dialog.CreateStdDialogButtonSizer(wxOK | wxCANCEL);
    column.Add(buttons, wxSizerFlags().Expand().Border(wxALL, 6));
}

void Size(wxDialog& dialog, wxWindow* parent) {
    const wxRect area = WorkAreaOf(parent != nullptr ? parent : &dialog);
    dialog.SetSize(PlaceWithin(area, wxSize(kPreferredWidth, kPreferredHeight),
                               parent != nullptr ? parent->GetScreenRect() : wxRect()));
}

class FileChooser final : public wxDialog {
  public:
    FileChooser(wxWindow* parent, const FileDialogRequest& request)
        : wxDialog(parent, wxID_ANY, request.title, wxDefaultPosition, wxDefaultSize,
                   wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER),
          request_(request) {
        const long style = (request.save ? wxFC_SAVE : wxFC_OPEN) | wxFC_NOSHOWHIDDEN;
        const wxString filters = Filters(request.wildcard);
        files_ = new wxGenericFileCtrl(this, wxID_ANY, Native(StartFolder(request)),
                                       Native(request.name.filename()), filters, style);
        // A stored index beyond the filters (an older list) keeps the first.
        const int count = static_cast<int>(filters.Freq('|') + 1) / 2;
        if (request.filterIndex > 0 && request.filterIndex < count)
            files_->SetFilterIndex(request.filterIndex);
        auto* column = new wxBoxSizer(wxVERTICAL);
        column->Add(files_, wxSizerFlags(1).Expand().Border(wxLEFT | wxRIGHT | wxTOP, 6));
        AddButtons(*this, *column);
        SetSizer(column);
        Bind(wxEVT_FILECTRL_FILEACTIVATED, [this](wxFileCtrlEvent&) { Accept(); });
        FocusName();
        Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { Accept(); }, wxID_OK);
        Size(*this, parent);
    }

    const FileDialogAnswer& Answer() const { return answer_; }

  private:
    // The name field has the focus, its name without the extension selected,
    // so typing replaces the name and Return takes it.
    void FocusName() {
        for (wxWindow* child : files_->GetChildren()) {
            auto* name = dynamic_cast<wxTextCtrl*>(child);
            if (name == nullptr) continue;
            name->SetFocus();
            const wxString text = name->GetValue();
            const int dot = text.Find('.', true);
            name->SetSelection(0, dot == wxNOT_FOUND ? static_cast<long>(text.length()) : dot);
            return;
        }
    }

    // The typed or selected name, in the folder shown.
    fs::path Chosen() const {
        const wxString path = files_->GetPath();
        if (path.empty() || files_->GetFilename().empty()) return {};
        fs::path chosen(path.ToStdWstring());
        if (request_.save) chosen = WithDefaultExtension(chosen, request_.defaultExtension);
        return chosen;
    }

    void Accept() {
        const fs::path chosen = Chosen();
        if (chosen.empty()) return;
        std::error_code error;
        if (fs::is_directory(chosen, error)) {
            files_->SetDirectory(Native(chosen));
            return;
        }
        const bool exists = fs::exists(chosen, error);
        if (!request_.save && request_.mustExist && !exists) return;
        if (request_.save && request_.overwritePrompt && exists) {
            const std::wstring text =
                chosen.filename().wstring() + L" already exists.\nDo you want to replace it?";
            if (ShowMessageBox(this, text, request_.title.ToStdWstring(),
                               mb::kYesNo | mb::kIconExclamation) != kIdYes)
                return;
        }
        answer_ = {chosen, files_->GetFilterIndex()};
        EndModal(wxID_OK);
    }

    FileDialogRequest request_;
    wxGenericFileCtrl* files_ = nullptr;
    FileDialogAnswer answer_;
};

class FolderChooser final : public wxDialog {
  public:
    FolderChooser(wxWindow* parent, const wxString& title, const fs::path& start)
        : wxDialog(parent, wxID_ANY, title, wxDefaultPosition, wxDefaultSize,
                   wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER) {
        folders_ = new wxGenericDirCtrl(this, wxID_ANY, Native(start), wxDefaultPosition,
                                        wxDefaultSize, wxDIRCTRL_DIR_ONLY);
        auto* column = new wxBoxSizer(wxVERTICAL);
        column->Add(folders_, wxSizerFlags(1).Expand().Border(wxLEFT | wxRIGHT | wxTOP, 6));
        AddButtons(*this, *column);
        SetSizer(column);
        Size(*this, parent);
    }
    fs::path Chosen() const { return fs::path(folders_->GetPath().ToStdWstring()); }

  private:
    wxGenericDirCtrl* folders_ = nullptr;
};

}  // namespace

fs::path WithDefaultExtension(fs::path path, std::wstring_view extension) {
    if (!extension.empty() && !path.filename().has_extension()) path += L"." + std::wstring(extension);
    return path;
}

std::optional<FileDialogAnswer> ShowFileDialog(wxWindow* parent, const FileDialogRequest& request) {
    FileChooser dialog(parent, request);
    if (dialog.ShowModal() != wxID_OK) return std::nullopt;
    return dialog.Answer();
}

std::optional<fs::path> ShowFolderDialog(wxWindow* parent, const wxString& title,
                                         const fs::path& start) {
    FolderChooser dialog(parent, title, start);
    if (dialog.ShowModal() != wxID_OK) return std::nullopt;
    const fs::path chosen = dialog.Chosen();
    if (chosen.empty()) return std::nullopt;
    return chosen;
}

}  // namespace platform::gui
