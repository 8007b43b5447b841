#include "frame/options/alarm_zones_page.h"

#include "core/settings_values.h"
#include "gps/settings_values.h"
#include "platform/settings_store.h"
#include "resources/ids/options_general.h"

namespace frame {
namespace {

namespace gui = platform::gui;

using xrc::options_general::alarm_zones_page::kAlarmOff;
using xrc::options_general::alarm_zones_page::kAlarmZonesPage;
using xrc::options_general::alarm_zones_page::kExactCheck;
using xrc::options_general::alarm_zones_page::kGuardAbove;
using xrc::options_general::alarm_zones_page::kGuardAboveUnit;
using xrc::options_general::alarm_zones_page::kGuardBelow;
using xrc::options_general::alarm_zones_page::kHorizontalGuard;
using xrc::options_general::alarm_zones_page::kHorizontalGuardUnit;
using xrc::options_general::alarm_zones_page::kPressureAltitude;
using xrc::options_general::alarm_zones_page::kQnh;
using xrc::options_general::alarm_zones_page::kQnhUnit;
using xrc::options_general::alarm_zones_page::kShowAlarm;
using xrc::options_general::alarm_zones_page::kShowEnlarged;
using xrc::options_general::alarm_zones_page::kTransition;
using xrc::options_general::alarm_zones_page::kTransitionUnit;

}  // namespace

COptionsAlarmZones::COptionsAlarmZones()
    : CScrolledPropertyPage(kAlarmZonesPage, "Airspace"),
      shown_(map::AlarmZoneOptions::FromRunning()),
      values_(shown_) {}

void COptionsAlarmZones::OnInitDialog() {
    CScrolledPropertyPage::OnInitDialog();
    const wxString altUnit = values_.metres ? "[ m ]" : "[ ft ]";
    SetLabel(kGuardAboveUnit, altUnit);
    SetLabel(kTransitionUnit, altUnit);
    SetLabel(kHorizontalGuardUnit, values_.horMetres ? "[ m ]" : "[ ft ]");
    SetLabel(kQnhUnit, values_.hectopascal ? "[0.1 hPa]" : "[0.01 inHg]");
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
    gui::DDX_TextFloat(pDX, kGuardAbove, values_.altGuardAbove);
    gui::DDV_MinMaxFloat(pDX, values_.altGuardAbove, above.minimum, above.maximum);
    const auto below = values_.GuardBelowRange();
    gui::DDX_TextFloat(pDX, kGuardBelow, values_.altGuardBelow);
    gui::DDV_MinMaxFloat(pDX, values_.altGuardBelow, below.minimum, below.maximum);
    const auto horizontal = values_.HorGuardRange();
    gui::DDX_TextFloat(pDX, kHorizontalGuard, values_.horGuard);
    gui::DDV_MinMaxFloat(pDX, values_.horGuard, horizontal.minimum, horizontal.maximum);
    gui::DDX_Check(pDX, kExactCheck, values_.exactSuaCheck);
    gui::DDX_Check(pDX, kShowEnlarged, values_.showEnlarged);
    gui::DDX_Check(pDX, kPressureAltitude, values_.pressureAltForZones);
    gui::DDX_Check(pDX, kAlarmOff, values_.permanentSuaAlarmOff);
    gui::DDX_Check(pDX, kShowAlarm, alarmDisplayed_);
    if (pDX->m_bSaveAndValidate) values_.permanentSuaAlarmOffNoDisplay = alarmDisplayed_ != 0 ? 0 : 1;
}

void COptionsAlarmZones::OnApply() {
    values_.Apply(platform::AppSettings(), shown_);
}

}  // namespace frame
