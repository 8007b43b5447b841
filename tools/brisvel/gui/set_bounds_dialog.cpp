#include "tools/brisvel/gui/set_bounds_dialog.h"

#include <wx/xrc/xmlres.h>

#include <string>

#include "tools/brisvel/resources/ids/brisvel.h"

namespace brisvel {
namespace {

namespace gui = platform::gui;
using xrc::brisvel::set_bounds_template::kMaxLatDegrees;
using xrc::brisvel::set_bounds_template::kMaxLatHemisphere;
using xrc::brisvel::set_bounds_template::kMaxLatInFile;
using xrc::brisvel::set_bounds_template::kMaxLatMinutes;
using xrc::brisvel::set_bounds_template::kMaxLonDegrees;
using xrc::brisvel::set_bounds_template::kMaxLonHemisphere;
using xrc::brisvel::set_bounds_template::kMaxLonInFile;
using xrc::brisvel::set_bounds_template::kMaxLonMinutes;
using xrc::brisvel::set_bounds_template::kMinLatDegrees;
using xrc::brisvel::set_bounds_template::kMinLatHemisphere;
using xrc::brisvel::set_bounds_template::kMinLatInFile;
using xrc::brisvel::set_bounds_template::kMinLatMinutes;
using xrc::brisvel::set_bounds_template::kMinLonDegrees;
using xrc::brisvel::set_bounds_template::kMinLonHemisphere;
using xrc::brisvel::set_bounds_template::kMinLonInFile;
using xrc::brisvel::set_bounds_template::kMinLonMinutes;
using xrc::brisvel::set_bounds_template::kSetBoundsTemplate;

// The controls of one bound: degrees, minutes, hemisphere and the text of
// the file's bound.
struct BoundControls {
    int degrees, minutes, hemisphere, inFile;
    double maximum;
};
constexpr BoundControls kMaxLat{kMaxLatDegrees, kMaxLatMinutes, kMaxLatHemisphere, kMaxLatInFile,
                                90.0};
constexpr BoundControls kMinLat{kMinLatDegrees, kMinLatMinutes, kMinLatHemisphere, kMinLatInFile,
                                90.0};
constexpr BoundControls kMaxLon{kMaxLonDegrees, kMaxLonMinutes, kMaxLonHemisphere, kMaxLonInFile,
                                180.0};
constexpr BoundControls kMinLon{kMinLonDegrees, kMinLonMinutes, kMinLonHemisphere, kMinLonInFile,
                                180.0};

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
    loaded_ = wxXmlResource::Get()->LoadDialog(this, parent, std::to_string(kSetBoundsTemplate));
    if (!loaded_) return;
    Bind(wxEVT_INIT_DIALOG, &CSetBoundsDlg::OnInitDialog, this);
    Bind(wxEVT_BUTTON, &CSetBoundsDlg::OnOk, this, wxID_OK);
}

void CSetBoundsDlg::OnInitDialog(wxInitDialogEvent& /*event*/) {
    gui::UpdateData(*this, false, [this](gui::CDataExchange* pDX) { DoDataExchange(pDX); });
    const std::pair<int, std::string> texts[] = {
        {kMaxLat.inFile, BoundText(static_cast<float>(fileBox_.north), true)},
        {kMinLat.inFile, BoundText(static_cast<float>(fileBox_.south), true)},
        {kMaxLon.inFile, BoundText(static_cast<float>(fileBox_.east), false)},
        {kMinLon.inFile, BoundText(static_cast<float>(fileBox_.west), false)},
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
