#include "frame/options/alarm_zones_page.h"

#include "core/settings_values.h"
#include "gps/settings_values.h"
#include "platform/settings_store.h"
#include "resources/ids/options_general.h"

namespace frame {
namespace {

namespace gui = platform::gui;

using xrc::options_general::kQnh;
using xrc::options_general::kTransition;

}  // namespace

COptionsAlarmZones::COptionsAlarmZones()
    : CScrolledPropertyPage(231, "Airspace"),
      shown_(map::AlarmZoneOptions::FromRunning()),
      values_(shown_) {}

void COptionsAlarmZones::OnInitDialog() {
    CScrolledPropertyPage::OnInitDialog();
    const wxString altUnit = values_.metres ? "[ m ]" : "[ ft ]";
    SetLabel(1256, altUnit);
    SetLabel(1268, altUnit);
    SetLabel(1260, values_.horMetres ? "[ m ]" : "[ ft ]");
    SetLabel(1265, values_.hectopascal ? "[0.1 hPa]" : "[0.01 inHg]");
    alarmDisplayed_ = values_.permanentSuaAlarmOffNoDisplay != 0 ? 0 : 1;
    if (wxWindow* qnh = FindWindow(kQnh)) qnh->Bind(wxEVT_SET_FOCUS, &COptionsAlarmZones::OnQnhFocus, this);
    if (wxWindow* transition = FindWindow(kTransition)) transition->SetFocus();
}

// A QNH the pilot types must not be overwritten by the automatic estimate.
void COptionsAlarmZones::OnQnhFocus(wxFocusEvent& event) {
    gps::g_stopAutoQnh = 1;
    event.Skip();
}

void COptionsAlarmZones::DoDataExchange(gui::CDataExchange* pDX) {
    const auto qnh = values_.QnhRange();
    gui::DDX_TextInt(pDX, kQnh, values_.qnh);
    gui::DDV_MinMaxInt(pDX, values_.qnh, static_cast<int>(qnh.minimum), static_cast<int>(qnh.maximum));
    const auto transition = values_.TransitionRange();
    gui::DDX_TextFloat(pDX, kTransition, values_.transitionAltitude);
    gui::DDV_MinMaxFloat(pDX, values_.transitionAltitude, transition.minimum, transition.maximum);
    const auto above = values_.GuardAboveRange();
    gui::DDX_TextFloat(pDX, 1257, values_.altGuardAbove);
    gui::DDV_MinMaxFloat(pDX, values_.altGuardAbove, above.minimum, above.maximum);
    const auto below = values_.GuardBelowRange();
    gui::DDX_TextFloat(pDX, 1261, values_.altGuardBelow);
    gui::DDV_MinMaxFloat(pDX, values_.altGuardBelow, below.minimum, below.maximum);
    const auto horizontal = values_.HorGuardRange();
    gui::DDX_TextFloat(pDX, 1258, values_.horGuard);
    gui::DDV_MinMaxFloat(pDX, values_.horGuard, horizontal.minimum, horizontal.maximum);
    gui::DDX_Check(pDX, 1371, values_.exactSuaCheck);
    gui::DDX_Check(pDX, 1266, values_.showEnlarged);
    gui::DDX_Check(pDX, 1264, values_.pressureAltForZones);
    gui::DDX_Check(pDX, 1369, values_.permanentSuaAlarmOff);
    gui::DDX_Check(pDX, 1370, alarmDisplayed_);
    if (pDX->m_bSaveAndValidate) values_.permanentSuaAlarmOffNoDisplay = alarmDisplayed_ != 0 ? 0 : 1;
}

void COptionsAlarmZones::OnApply() {
    values_.Apply(platform::AppSettings(), shown_);
}

}  // namespace frame
