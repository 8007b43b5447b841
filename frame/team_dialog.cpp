#include "frame/team_dialog.h"

#include <wx/button.h>
#include <wx/font.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/xrc/xmlres.h>

#include <algorithm>
#include <memory>
#include <string>

#include "gps/nav_fix.h"
#include "nav/destination_queue.h"
#include "nav/team_code.h"
#include "platform/gui/screen_fit.h"
#include "platform/settings_store.h"
#include "resources/ids/team_dialog.h"

namespace frame {
namespace {

// The character keys run from kFirstCharacter ("0"; "A" ten on) to
// kLastCharacter ("Z").
using xrc::team_dialog::kBackspace;
using xrc::team_dialog::kCodeField;
using xrc::team_dialog::kFirstCharacter;
using xrc::team_dialog::kLastCharacter;
using xrc::team_dialog::kNameText;
using xrc::team_dialog::kResultText;
using xrc::team_dialog::kShow;
using xrc::team_dialog::kTeamTemplate;

void SetText(wxWindow* control, const wxString& text) {
    if (auto* entry = dynamic_cast<wxTextEntry*>(control)) {
        entry->ChangeValue(text);
    } else if (control != nullptr) {
        control->SetLabel(text);
    }
}

}  // namespace

CTeamDialog::CTeamDialog(wxWindow* parent, nav::TeamDialogModel model) : model_(std::move(model)) {
    loaded_ = wxXmlResource::Get()->LoadDialog(this, parent, std::to_string(kTeamTemplate));
    if (!loaded_) return;
    Bind(wxEVT_BUTTON, &CTeamDialog::OnCharacter, this, kFirstCharacter, kLastCharacter);
    Bind(wxEVT_BUTTON, &CTeamDialog::OnBackspace, this, kBackspace);
    Bind(wxEVT_BUTTON, &CTeamDialog::OnShow, this, kShow);
    Bind(wxEVT_BUTTON, &CTeamDialog::OnOK, this, wxID_OK);
    Bind(wxEVT_CHAR_HOOK, &CTeamDialog::OnCharHook, this);
    SetFonts();
    // The larger fonts need their room.
    if (GetSizer() != nullptr) GetSizer()->SetSizeHints(this);
    SetText(FindWindow(kNameText), wxString(nav::CurrentTeamCoder()->Settings().wptName));
    if (wxWindow* show = FindWindow(kShow)) show->Enable(model_.CanShow());
    ShowCode();
}

int CTeamDialog::DoModal() {
    return loaded_ ? platform::gui::ShowModalOnScreen(*this) : -1;
}

// Bold, two points below the list font ("baseListSize").
void CTeamDialog::SetFonts() {
    const auto size = static_cast<int>(
        platform::AppSettings().GetInt("Options\\Fonts", "baseListSize", 16));
    const wxFont font(wxFontInfo(std::max(size - 2, 6)).Bold());
    for (int id : {kCodeField, kBackspace, kResultText}) {
        if (wxWindow* control = FindWindow(id)) control->SetFont(font);
    }
    for (int id = kFirstCharacter; id <= kLastCharacter; ++id) {
        if (wxWindow* control = FindWindow(id)) control->SetFont(font);
    }
}

void CTeamDialog::ShowCode() {
    SetText(FindWindow(kCodeField), wxString(model_.code));
}

void CTeamDialog::OnCharacter(wxCommandEvent& event) {
    if (const wxWindow* button = FindWindow(event.GetId())) {
        const wxString caption = button->GetLabel();
        if (!caption.empty()) model_.Append(static_cast<wchar_t>(caption[0].GetValue()));
    }
    ShowCode();
}

void CTeamDialog::OnBackspace(wxCommandEvent& /*event*/) {
    model_.Backspace();
    ShowCode();
}

void CTeamDialog::OnShow(wxCommandEvent& /*event*/) {
    SetText(FindWindow(kResultText), wxString(model_.ShowText()));
}

// A code that does not decode keeps the dialog open and sets nothing.
void CTeamDialog::OnOK(wxCommandEvent& /*event*/) {
    if (model_.code.empty()) {
        EndDialog(wxID_CANCEL);
        return;
    }
    result_ = model_.Result();
    if (!result_) {
        SetText(FindWindow(kResultText), wxString(L"???"));
        return;
    }
    EndDialog(wxID_OK);
}

// Backspace, digits and letters act like their buttons; other keys go on.
void CTeamDialog::OnCharHook(wxKeyEvent& event) {
    const int key = event.GetKeyCode();
    if (key == WXK_BACK) {
        model_.Backspace();
    } else if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z') ||
               (key >= 'a' && key <= 'z')) {
        const int upper = key >= 'a' ? key - 'a' + 'A' : key;
        model_.Append(static_cast<wchar_t>(upper));
    } else {
        event.Skip();
        return;
    }
    ShowCode();
}

void RunTeamCodeDialog(wxWindow* parent, bool haveFix) {
    nav::TeamDialogModel model;
    const std::shared_ptr<const nav::TeamCoder> coder = nav::CurrentTeamCoder();
    const nav::TeamSettings& team = coder->Settings();
    model.ownLon = team.centerLon;
    model.ownLat = team.centerLat;
    if (haveFix) {
        const std::shared_ptr<const gps::NavSnapshot> published = gps::CurrentNav();
        model.ownLon = published->lonRad;
        model.ownLat = published->latRad;
        model.ownKnown = true;
    }
    // The field shows the last code, unless it holds what no code can.
    if (nav::CleanTeamCode(team.lastCode, team.lastCode.size()) == team.lastCode)
        model.code = team.lastCode;
    CTeamDialog dialog(parent, std::move(model));
    if (dialog.DoModal() != wxID_OK || !dialog.Result()) return;
    nav::WaypointRecord record = dialog.Result()->record;
    if (const auto elevation = nav::TerrainElevation(record.longitude, record.latitude)) {
        record.altitude = *elevation;
        record.altitudeKnown = true;
    }
    nav::GoToWaypoint(record);
}

}  // namespace frame
