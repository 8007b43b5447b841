#include "frame/wind_dialog.h"

#include <wx/button.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/xrc/xmlres.h>

#include <string>

#include "frame/sip_edit.h"
#include "frame/value_list_box.h"
#include "glide/heading_wind.h"
#include "glide/wind_entry.h"
#include "glide/wind_history.h"
#include "gps/settings_values.h"
#include "platform/gui/screen_fit.h"
#include "platform/message_box.h"
#include "platform/numbers.h"
#include "resources/ids/strings_wind.h"
#include "resources/ids/wind_dialog.h"
#include "services/string_resources.h"
#include "texts/display_units.h"

namespace frame {
namespace {

namespace gui = platform::gui;

using xrc::wind_dialog::kDirectionEdit;
using xrc::wind_dialog::kHeadingEdit;
using xrc::wind_dialog::kHistoryList;
using xrc::wind_dialog::kResetHeading;
using xrc::wind_dialog::kSpeedEdit;
constexpr int kWindSpeedUnit = xrc::wind_dialog::kSpeedUnit;
using xrc::wind_dialog::kWindTemplate;
constexpr int kWindOkCommand = 1080;

}  // namespace

CWindDialog::CWindDialog(wxWindow* parent) {
    const glide::WindDialogValues values = glide::InitialWindDialogValues();
    direction_ = values.direction;
    speed_ = values.speed;
    loaded_ = wxXmlResource::Get()->LoadDialog(this, parent, std::to_string(kWindTemplate));
    if (!loaded_) return;
    PlaceHistoryList();
    Bind(wxEVT_INIT_DIALOG, &CWindDialog::OnInitDialog, this);
    Bind(wxEVT_BUTTON, &CWindDialog::OnOK, this, wxID_OK);
    Bind(wxEVT_BUTTON, &CWindDialog::OnOK, this, kWindOkCommand);
    Bind(wxEVT_MENU, &CWindDialog::OnOK, this, kWindOkCommand);
    Bind(wxEVT_BUTTON, &CWindDialog::OnResetHeading, this, kResetHeading);
    Bind(wxEVT_LISTBOX, &CWindDialog::OnSelectLine, this, kHistoryList);
}

// The template holds a plain panel where the history goes; the list box is
// drawn by the program, so it is made here and takes the panel's place and id.
void CWindDialog::PlaceHistoryList() {
    wxWindow* placeholder = FindWindow(kHistoryList);
    if (placeholder == nullptr || placeholder->GetContainingSizer() == nullptr) return;
    auto* list = new CValueListBox(this, wxID_ANY);
    list->SetMinSize(placeholder->GetMinSize());
    placeholder->GetContainingSizer()->Replace(placeholder, list);
    placeholder->Destroy();
    list->SetId(kHistoryList);
}

int CWindDialog::DoModal() {
    return loaded_ ? platform::gui::ShowModalOnScreen(*this) : -1;
}

void CWindDialog::DoDataExchange(gui::CDataExchange* pDX) {
    gui::DDX_Control(pDX, kHistoryList, history_);
    gui::DDX_Control(pDX, kDirectionEdit, directionEdit_);
    gui::DDX_Control(pDX, kSpeedEdit, speedEdit_);
    gui::DDX_TextFloat(pDX, kDirectionEdit, direction_);
    gui::DDV_MinMaxFloat(pDX, direction_, 0.0F, glide::kWindDirectionMax);
    gui::DDX_TextFloat(pDX, kSpeedEdit, speed_);
    gui::DDV_MinMaxFloat(pDX, speed_, 0.0F, glide::kWindSpeedMax);
    gui::DDX_TextString(pDX, kHeadingEdit, headingText_);
    if (!pDX->m_bSaveAndValidate || pDX->Failed()) return;
    const glide::HeadingEntry entry = glide::ReadHeadingText(headingText_);
    heading_ = entry.heading;
    if (entry.refusal != 0) {
        pDX->PrepareCtrl(kHeadingEdit);
        platform::ShowMessageBox(this, core::LoadResourceString(entry.refusal),
                                 core::LoadResourceString(ids::kIdsWindHeadingCaption),
                                 platform::mb::kIconExclamation | platform::mb::kTopmost);
        pDX->Fail();
    }
}

void CWindDialog::OnInitDialog(wxInitDialogEvent& /*event*/) {
    gui::UpdateData(*this, false, [this](gui::CDataExchange* pDX) { DoDataExchange(pDX); });
    SetControlText(kWindSpeedUnit, wxString(std::wstring(glide::CurrentSpeedUnit().name)));
    if (history_ != nullptr) {
        for (const glide::WindHistoryEntry& entry : glide::WindHistory())
            history_->Append(wxString(entry.line));
        history_->SetFocus();
    }
    const gps::WindMethod method = gps::g_windMethod.load();
    if (wxWindow* reset = FindWindow(kResetHeading)) {
        reset->Enable(method == gps::WindMethod::kHeading ||
                      method == gps::WindMethod::kAirspeedFit);
    }
}

void CWindDialog::OnOK(wxCommandEvent& /*event*/) {
    if (!gui::UpdateData(*this, true, [this](gui::CDataExchange* pDX) { DoDataExchange(pDX); }))
        return;
    if (heading_ >= 0.0F) {
        glide::ApplyWindHeading(heading_);
    } else {
        glide::ApplyWindEntry(direction_, speed_);
    }
    glide::FinishWindEntry();
    EndDialog(wxID_OK);
}

void CWindDialog::OnResetHeading(wxCommandEvent& /*event*/) {
    glide::ResetHeadingWind();
}

void CWindDialog::OnSelectLine(wxCommandEvent& /*event*/) {
    if (history_ == nullptr) return;
    const auto values = glide::WindValuesOfLine(history_->GetString(history_->GetSelection()).ToStdWstring());
    if (!values) return;
    SetControlText(kDirectionEdit, platform::FormatC(L"%.1f", double{values->direction}));
    SetControlText(kSpeedEdit, platform::FormatC(L"%.1f", double{values->speed}));
}

void CWindDialog::SetControlText(int id, const wxString& text) {
    wxWindow* control = FindWindow(id);
    if (auto* entry = dynamic_cast<wxTextEntry*>(control)) {
        entry->ChangeValue(text);
    } else if (control != nullptr) {
        control->SetLabel(text);
    }
}

void RunWindDialog(wxWindow* parent) {
    CWindDialog dialog(parent);
    dialog.DoModal();
}

}  // namespace frame
