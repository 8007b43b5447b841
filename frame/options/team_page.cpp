#include "frame/options/team_page.h"

#include <wx/combobox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include <cmath>

#include "core/angles.h"
#include "frame/task_dialog.h"
#include "nav/team_code.h"
#include "platform/message_box.h"
#include "platform/numbers.h"
#include "platform/settings_store.h"
#include "resources/ids/options_general.h"

namespace frame {
namespace {

namespace gui = platform::gui;

using xrc::options_general::team_page::kCentreName;
using xrc::options_general::team_page::kCode;
using xrc::options_general::team_page::kEast;
using xrc::options_general::team_page::kEnable;
using xrc::options_general::team_page::kGrid;
using xrc::options_general::team_page::kLatDegrees;
using xrc::options_general::team_page::kLatMinutes;
using xrc::options_general::team_page::kLatSeconds;
using xrc::options_general::team_page::kLonDegrees;
using xrc::options_general::team_page::kLonMinutes;
using xrc::options_general::team_page::kLonSeconds;
using xrc::options_general::team_page::kNorth;
using xrc::options_general::team_page::kPickCentre;
using xrc::options_general::team_page::kTeamPage;
constexpr int kLonFields[3] = {kLonDegrees, kLonMinutes, kLonSeconds};
constexpr int kLatFields[3] = {kLatDegrees, kLatMinutes, kLatSeconds};
using core::kRadiansPerDegree;

}  // namespace

COptionsTeam::COptionsTeam()
    : COptionsPage(kTeamPage, "Team"), values_(nav::TeamOptions::FromRunning()) {
    Bind(wxEVT_TEXT, &COptionsTeam::OnCodeTyped, this, kCode);
    Bind(wxEVT_BUTTON, &COptionsTeam::OnPickCentre, this, kPickCentre);
}

void COptionsTeam::OnInitDialog() {
    if (auto* combo = dynamic_cast<wxComboBox*>(FindWindow(kCode))) {
        combo->Append(std::wstring(nav::kTeamConventionOwn));
        combo->Append(std::wstring(nav::kTeamConventionBase36));
        combo->Append(std::wstring(nav::kTeamConventionGrid));
        const nav::CheckedTeamCode checked = nav::CheckTeamCode(values_.code);
        if (checked.convention == 3) combo->Append(values_.code);
    }
    ShowCentre(values_.lonWest, values_.latitude);
}

// The hemisphere buttons and the six angle fields of a centre; the fields
// reach the controls with the load exchange that follows, or at once.
void COptionsTeam::ShowCentre(double lonWest, double latitude) {
    const nav::AngleFields lon = nav::SplitAngle(lonWest);
    const nav::AngleFields lat = nav::SplitAngle(latitude);
    east_ = lon.negative ? 0 : 1;
    south_ = lat.negative ? 1 : 0;
    lonFields_[0] = lon.degrees;
    lonFields_[1] = lon.minutes;
    lonFields_[2] = lon.seconds;
    latFields_[0] = lat.degrees;
    latFields_[1] = lat.minutes;
    latFields_[2] = lat.seconds;
    SetLabel(kCentreName, values_.wptName);
}

void COptionsTeam::DoDataExchange(gui::CDataExchange* pDX) {
    gui::DDX_Check(pDX, kEnable, values_.enable);
    gui::DDX_Radio(pDX, kGrid, values_.grid);
    gui::DDX_Radio(pDX, kNorth, south_);
    gui::DDX_Radio(pDX, kEast, east_);
    const double lonMax[3] = {180.0, 59.999, 59.99};
    const double latMax[3] = {89.0, 59.9999, 59.99};
    for (int i = 0; i < 3; ++i) {
        gui::DDX_TextDouble(pDX, kLonFields[i], lonFields_[i]);
        gui::DDV_MinMaxDouble(pDX, lonFields_[i], 0.0, lonMax[i]);
    }
    for (int i = 0; i < 3; ++i) {
        gui::DDX_TextDouble(pDX, kLatFields[i], latFields_[i]);
        gui::DDV_MinMaxDouble(pDX, latFields_[i], 0.0, latMax[i]);
    }
    gui::DDX_CBStringFolded(pDX, kCode, values_.code);
    if (!pDX->m_bSaveAndValidate || pDX->Failed()) return;

    const bool lonTooFar = nav::JoinAngle(lonFields_[0], lonFields_[1], lonFields_[2]) > 180.0;
    const bool latTooFar = nav::JoinAngle(latFields_[0], latFields_[1], latFields_[2]) > 89.0;
    if (lonTooFar || latTooFar) {
        pDX->PrepareCtrl(lonTooFar ? kLonFields[0] : kLatFields[0]);
        platform::ShowMessageBox(nullptr, L"Error", L"KOR_VAN",
                                 platform::mb::kOk | platform::mb::kIconHand | platform::mb::kTopmost);
        pDX->Fail();
        return;
    }
    const nav::CheckedTeamCode checked = nav::CheckTeamCode(values_.code);
    if (auto* combo = dynamic_cast<wxComboBox*>(FindWindow(kCode))) combo->ChangeValue(checked.code);
    values_.code = checked.code;
    if (checked.refused) {
        pDX->PrepareCtrl(kCode);
        pDX->Fail();
        return;
    }
    values_.lonWest = nav::JoinAngle(lonFields_[0], lonFields_[1], lonFields_[2]) *
                      kRadiansPerDegree * (east_ == 0 ? -1.0 : 1.0);
    values_.latitude = nav::JoinAngle(latFields_[0], latFields_[1], latFields_[2]) *
                       kRadiansPerDegree * (south_ == 1 ? -1.0 : 1.0);
    if (const auto* name = FindWindow(kCentreName)) values_.wptName = name->GetLabel().ToStdWstring();
}

// Typing a private key: upper case, base-36 digits only, four at most.
void COptionsTeam::OnCodeTyped(wxCommandEvent&) {
    auto* combo = dynamic_cast<wxComboBox*>(FindWindow(kCode));
    if (combo == nullptr) return;
    const std::wstring typed = combo->GetValue().ToStdWstring();
    const std::wstring cleaned = nav::CleanTypedTeamCode(typed);
    if (cleaned == typed) return;
    combo->ChangeValue(cleaned);
    combo->SetInsertionPointEnd();
}

void COptionsTeam::OnPickCentre(wxCommandEvent&) {
    const std::optional<nav::WaypointRecord> picked = PickWaypoint(this);
    if (!picked) return;
    values_.wptName = std::wstring(picked->name.View());
    ShowCentre(picked->longitude, picked->latitude);
    for (int i = 0; i < 3; ++i) {
        if (auto* field = dynamic_cast<wxTextCtrl*>(FindWindow(kLonFields[i]))) {
            field->ChangeValue(platform::FormatC(i == 2 ? L"%03.1f" : L"%.0f", lonFields_[i]));
        }
        if (auto* field = dynamic_cast<wxTextCtrl*>(FindWindow(kLatFields[i]))) {
            field->ChangeValue(platform::FormatC(i == 2 ? L"%03.1f" : L"%.0f", latFields_[i]));
        }
    }
    gui::UpdateData(*this, false, [this](gui::CDataExchange* pDX) {
        gui::DDX_Radio(pDX, kNorth, south_);
        gui::DDX_Radio(pDX, kEast, east_);
    });
}

void COptionsTeam::OnApply() {
    if (!Initialised()) {
        nav::TeamOptions::ApplyRunning(platform::AppSettings());
        return;
    }
    values_.Apply(platform::AppSettings());
}

}  // namespace frame
