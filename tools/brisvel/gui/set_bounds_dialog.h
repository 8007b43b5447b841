#pragma once
// The Set Bounds dialog (132): degrees, minutes and hemisphere of the four
// bounds a map is written for, beside the shapefile's box. UI thread.

#include <wx/dialog.h>

#include "platform/gui/ddx.h"
#include "tools/brisvel/set_bounds.h"

namespace brisvel {

class CSetBoundsDlg final : public wxDialog {
  public:
    // fileBox: the shapefile's box, shown beside the entries.
    CSetBoundsDlg(wxWindow* parent, const core::GeoBox& bounds, const core::GeoBox& fileBox);
    bool Loaded() const { return loaded_; }
    // The bounds accepted by OK.
    core::GeoBox Result() const { return values_.ToBounds(); }
    // Takes the controls' values as OK does; false when one is refused.
    bool Accept();

  private:
    void OnInitDialog(wxInitDialogEvent& event);
    void OnOk(wxCommandEvent& event);
    void DoDataExchange(platform::gui::CDataExchange* pDX);

    SetBoundsValues values_;
    core::GeoBox fileBox_;
    bool loaded_ = false;
};

}  // namespace brisvel
