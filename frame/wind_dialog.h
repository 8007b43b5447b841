#pragma once
// The wind dialog (template 202 of the resource bundle): the wind history
// (newest first; selecting a line copies its direction and speed into the
// fields), a wind typed by direction and speed, or a typed compass heading
// from which the heading method computes the wind, and the heading method's
// reset. The logic is glide/wind_entry.h; this is its window.
//
// UI thread only.

#include <wx/dialog.h>

#include <string>

#include "platform/gui/ddx.h"

class wxCommandEvent;
class wxInitDialogEvent;

namespace frame {

class CSipEdit;
class CValueListBox;

class CWindDialog final : public wxDialog {
  public:
    // Loads the template from the installed bundle; without it DoModal
    // returns -1. The fields start from the current wind.
    explicit CWindDialog(wxWindow* parent);

    bool Loaded() const { return loaded_; }
    // wxID_OK (the wind was set) or wxID_CANCEL; -1 without a template.
    int DoModal();

  private:
    void DoDataExchange(platform::gui::CDataExchange* pDX);
    void PlaceHistoryList();
    void OnInitDialog(wxInitDialogEvent& event);
    void OnOK(wxCommandEvent& event);
    void OnResetHeading(wxCommandEvent& event);
    void OnSelectLine(wxCommandEvent& event);
    void SetControlText(int id, const wxString& text);

    CValueListBox* history_ = nullptr;
    CSipEdit* directionEdit_ = nullptr;
    CSipEdit* speedEdit_ = nullptr;
    float direction_ = 0.0F;  // degrees
    float speed_ = 0.0F;      // display speed unit
    std::wstring headingText_;
    float heading_ = 0.0F;  // -1: none typed
    bool loaded_ = false;
};

// The main window's wind command: runs the dialog.
void RunWindDialog(wxWindow* parent);

}  // namespace frame
