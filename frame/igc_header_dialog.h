#pragma once
// The IGC header dialog (template 215 of the resource bundle): the window
// over recorder::IgcHeaderModel. The declaration runs it before a task is
// declared; on OK it stores the values and Lines() holds the header line of
// each kind (GPS, PRS, CID, CCL, SIT, SEC). UI thread.

#include <wx/dialog.h>

#include <string>
#include <vector>

#include "recorder/igc_header_model.h"

class wxComboBox;
class wxCommandEvent;

namespace frame {

class CIGCHeaderDlg final : public wxDialog {
  public:
    // Loads the template and the stored values; without the template the
    // dialog is not created and DoModal returns -1.
    explicit CIGCHeaderDlg(wxWindow* parent);
    CIGCHeaderDlg(const CIGCHeaderDlg&) = delete;
    CIGCHeaderDlg& operator=(const CIGCHeaderDlg&) = delete;

    // wxID_OK or wxID_CANCEL; -1 when the template could not be loaded.
    int DoModal();
    const std::vector<std::wstring>& Lines() const { return lines_; }
    recorder::IgcHeaderModel& Model() { return model_; }

  private:
    void FillControls();
    void ShowKind(recorder::HeaderKind kind);
    // The value shown for the current kind back into the model.
    void TakeKindValue();
    void OnKindChange(wxCommandEvent& event);
    void OnOK(wxCommandEvent& event);
    wxComboBox* Combo(int id) const;
    wxString Text(int id) const;

    recorder::IgcHeaderModel model_;
    recorder::HeaderKind shown_ = recorder::HeaderKind::kGps;
    std::vector<std::wstring> lines_;
    bool loaded_ = false;
};

}  // namespace frame
