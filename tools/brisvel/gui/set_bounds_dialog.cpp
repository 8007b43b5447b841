#include "tools/brisvel/gui/set_bounds_dialog.h"

#include <wx/xrc/xmlres.h>

namespace brisvel {
namespace {

namespace gui = platform::gui;

// The controls of one bound: degrees, minutes, hemisphere; the box text
// is degrees + 1000.
struct BoundControls {
    int degrees, minutes, hemisphere;
    double maximum;
};
constexpr BoundControls kMaxLat{1019, 1020, 1021, 90.0};
constexpr BoundControls kMinLat{1023, 1024, 1025, 90.0};
constexpr BoundControls kMaxLon{1027, 1028, 1029, 180.0};
constexpr BoundControls kMinLon{1031, 1032, 1033, 180.0};

void Exchange(gui::CDataExchange* pDX, const BoundControls& c, BoundEntry& entry) {
    gui::DDX_TextDouble(pDX, c.degrees, entry.degrees);
    gui::DDV_MinMaxDouble(pDX, entry.degrees, 0.0, c.maximum);
    gui::DDX_TextDouble(pDX, c.minutes, entry.minutes);
    int hemisphere = entry.southOrWest ? 1 : 0;
    gui::DDX_CBIndex(pDX, c.hemisphere, hemisphere);
    entry.southOrWest = hemisphere == 1;
}

}  // namespace

CSetBoundsDlg::CSetBoundsDlg(wxWindow* parent, const core::GeoBox& bounds, const core::GeoBox& fileBox)
    : values_(SetBoundsValues::From(bounds)), fileBox_(fileBox) {
    loaded_ = wxXmlResource::Get()->LoadDialog(this, parent, "132");
    if (!loaded_) return;
    Bind(wxEVT_INIT_DIALOG, &CSetBoundsDlg::OnInitDialog, this);
    Bind(wxEVT_BUTTON, &CSetBoundsDlg::OnOk, this, wxID_OK);
}

void CSetBoundsDlg::OnInitDialog(wxInitDialogEvent& /*event*/) {
    gui::UpdateData(*this, false, [this](gui::CDataExchange* pDX) { DoDataExchange(pDX); });
    const std::pair<int, std::string> texts[] = {
        {kMaxLat.degrees + 1000, BoundText(static_cast<float>(fileBox_.north), true)},
        {kMinLat.degrees + 1000, BoundText(static_cast<float>(fileBox_.south), true)},
        {kMaxLon.degrees + 1000, BoundText(static_cast<float>(fileBox_.east), false)},
        {kMinLon.degrees + 1000, BoundText(static_cast<float>(fileBox_.west), false)},
    };
    for (const auto& [id, text] : texts)
        if (wxWindow* label = FindWindow(id)) label->SetLabel(wxString::FromUTF8(text));
    Fit();
}

void CSetBoundsDlg::DoDataExchange(gui::CDataExchange* pDX) {
    Exchange(pDX, kMaxLat, values_.maxLat);
    Exchange(pDX, kMinLat, values_.minLat);
    Exchange(pDX, kMaxLon, values_.maxLon);
    Exchange(pDX, kMinLon, values_.minLon);
}

bool CSetBoundsDlg::Accept() {
    return gui::UpdateData(*this, true, [this](gui::CDataExchange* pDX) { DoDataExchange(pDX); });
}

void CSetBoundsDlg::OnOk(wxCommandEvent& /*event*/) {
    if (Accept()) EndModal(wxID_OK);
}

}  // namespace brisvel
