#pragma once
// The GPS port dialog (template 130 of the resource bundle): the window over
// gps::GpsPortDialogModel.
//
// The frame makes it, fills Model(), runs DoModal() and, when
// Model().changed is set, stores the port settings and reopens the port.
// While it is open it is registered as the GPS port dialog window, so the
// reader's WM_APP_SERIALDATA and the baud changes' WM_APP_PORTSTATUS reach
// it and it shows the text arriving on the port.

#include <wx/dialog.h>

#include <cstdint>

#include "gps/port_dialog_model.h"
#include "platform/gui/ddx.h"
#include "platform/gui/ui_bridge.h"

class wxCommandEvent;
class wxInitDialogEvent;

namespace frame {

class CGpsPortDialog final : public wxDialog {
  public:
    // Loads the template from the installed bundle; without it the dialog
    // is not created and DoModal returns -1.
    explicit CGpsPortDialog(wxWindow* parent, gps::GpsPortDialogModel model = {});
    ~CGpsPortDialog() override;
    CGpsPortDialog(const CGpsPortDialog&) = delete;
    CGpsPortDialog& operator=(const CGpsPortDialog&) = delete;

    gps::GpsPortDialogModel& Model() { return model_; }
    const gps::GpsPortDialogModel& Model() const { return model_; }

    bool Loaded() const { return loaded_; }
    // wxID_OK or wxID_CANCEL; -1 when the template could not be loaded.
    int DoModal();

  private:
    void DoDataExchange(platform::gui::CDataExchange* pDX);
    void OnInitDialog(wxInitDialogEvent& event);
    void OnOK(wxCommandEvent& event);
    void OnCancel(wxCommandEvent& event);
    void OnAutoReset(wxCommandEvent& event);
    std::intptr_t OnSerialData();
    std::intptr_t OnPortStatus();

    void FillPortCombo();
    void SetCheck(int id, int value);
    int Check(int id) const;
    void SetControlText(int id, const wxString& text);
    wxString ControlText(int id) const;
    // The reader stops telling the dialog anything.
    void StopFeed();

    gps::GpsPortDialogModel model_;
    platform::gui::WindowRegistration registration_;
    bool feeding_ = false;  // registered, and the reader feeds the dialog
    bool loaded_ = false;
};

}  // namespace frame
