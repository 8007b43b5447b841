#include "frame/gps_port_dialog.h"

#include <wx/checkbox.h>
#include <wx/combobox.h>
#include <wx/textctrl.h>
#include <wx/xrc/xmlres.h>

#include <string>
#include <utility>
#include <vector>

#include "gps/gps_port.h"
#include "gps/port_dialog_feed.h"
#include "platform/gui/screen_fit.h"
#include "platform/serial_port_names.h"
#include "platform/window_messages.h"
#include "resources/ids/gps_port_dialog.h"

namespace frame {
namespace {

namespace gui = platform::gui;

// Controls.
using xrc::gps_port_dialog::kAutoResetCheck;
using xrc::gps_port_dialog::kBaudCombo;
using xrc::gps_port_dialog::kGeoidEdit;
using xrc::gps_port_dialog::kGeoidUnit;
using xrc::gps_port_dialog::kGpsPortTemplate;
using xrc::gps_port_dialog::kIgnoreErrorsCheck;
using xrc::gps_port_dialog::kNoEventsCheck;
using xrc::gps_port_dialog::kPortCombo;
using xrc::gps_port_dialog::kRxFlagCheck;
using xrc::gps_port_dialog::kSentenceSetRadio;
using xrc::gps_port_dialog::kSerialText;
using xrc::gps_port_dialog::kSirfGgaCheck;
// A command that acts as OK.
constexpr int kGpsOkCommand = 1080;

}  // namespace

CGpsPortDialog::CGpsPortDialog(wxWindow* parent, gps::GpsPortDialogModel model)
    : model_(std::move(model)) {
    loaded_ = wxXmlResource::Get()->LoadDialog(this, parent, std::to_string(kGpsPortTemplate));
    if (!loaded_) return;
    Bind(wxEVT_INIT_DIALOG, &CGpsPortDialog::OnInitDialog, this);
    Bind(wxEVT_BUTTON, &CGpsPortDialog::OnOK, this, wxID_OK);
    Bind(wxEVT_BUTTON, &CGpsPortDialog::OnOK, this, kGpsOkCommand);
    Bind(wxEVT_MENU, &CGpsPortDialog::OnOK, this, kGpsOkCommand);
    Bind(wxEVT_BUTTON, &CGpsPortDialog::OnCancel, this, wxID_CANCEL);
    Bind(wxEVT_CHECKBOX, &CGpsPortDialog::OnAutoReset, this, kAutoResetCheck);
}

CGpsPortDialog::~CGpsPortDialog() {
    StopFeed();
}

int CGpsPortDialog::DoModal() {
    return loaded_ ? platform::gui::ShowModalOnScreen(*this) : -1;
}

void CGpsPortDialog::DoDataExchange(gui::CDataExchange* pDX) {
    gui::DDX_Radio(pDX, kSentenceSetRadio, model_.sentenceSet);
    gui::DDX_Check(pDX, kRxFlagCheck, model_.useRxFlag);
    gui::DDX_TextLong(pDX, kGeoidEdit, model_.geoidSeparation);
    const gps::IntRange geoid = model_.GeoidRange();
    gui::DDV_MinMaxLong(pDX, model_.geoidSeparation, geoid.minimum, geoid.maximum);
    gui::DDX_TextLong(pDX, kBaudCombo, model_.baudRate);
    gui::DDV_MinMaxLong(pDX, model_.baudRate, gps::kPortDialogBaudRange.minimum,
                        gps::kPortDialogBaudRange.maximum);
}

void CGpsPortDialog::OnInitDialog(wxInitDialogEvent& /*event*/) {
    gui::UpdateData(*this, false, [this](gui::CDataExchange* pDX) { DoDataExchange(pDX); });
    SetControlText(kBaudCombo, gps::GpsPortBaudText());
    if (model_.Metric()) SetControlText(kGeoidUnit, "m");
    FillPortCombo();

    const gps::GpsPortChecks checks = gps::GpsPortChecks::InForce();
    SetCheck(kSirfGgaCheck, checks.sirfGga);
    SetCheck(kAutoResetCheck, checks.autoReset);
    SetCheck(kNoEventsCheck, checks.noEventsRS232);
    if (wxWindow* noEvents = FindWindow(kNoEventsCheck)) noEvents->Disable();
    SetCheck(kIgnoreErrorsCheck, checks.ignoreComErrors);

    // From here on the reader tells the dialog what arrives.
    registration_ =
        gui::WindowRegistration(platform::kGpsPortDialogWindow, *this,
                                [this](const platform::WindowMessage& message) -> std::intptr_t {
                                    if (message.message == platform::WM_APP_SERIALDATA)
                                        return OnSerialData();
                                    if (message.message == platform::WM_APP_PORTSTATUS)
                                        return OnPortStatus();
                                    return 0;
                                });
    gps::SetGpsPortDialogOpen(true);
    feeding_ = true;
}

void CGpsPortDialog::FillPortCombo() {
    auto* combo = dynamic_cast<wxComboBox*>(FindWindow(kPortCombo));
    if (combo == nullptr) return;
    const std::vector<std::wstring> entries = gps::PortDialogEntries(platform::ListSerialPorts());
    combo->Clear();
    for (const std::wstring& entry : entries)
        combo->Append(entry);
    const int selected = gps::FindPortDialogEntry(entries, model_.portName);
    if (selected >= 0) combo->SetSelection(selected);
    combo->ChangeValue(model_.portName);
}

void CGpsPortDialog::OnOK(wxCommandEvent& /*event*/) {
    if (!gui::UpdateData(*this, true, [this](gui::CDataExchange* pDX) { DoDataExchange(pDX); }))
        return;
    const gps::GpsPortChecks checks{.sirfGga = Check(kSirfGgaCheck),
                                    .autoReset = Check(kAutoResetCheck),
                                    .noEventsRS232 = Check(kNoEventsCheck),
                                    .ignoreComErrors = Check(kIgnoreErrorsCheck)};
    if (!model_.Accept(ControlText(kPortCombo).ToStdWstring(), checks)) return;
    StopFeed();
    EndDialog(wxID_OK);
}

void CGpsPortDialog::OnCancel(wxCommandEvent& /*event*/) {
    StopFeed();
    EndDialog(wxID_CANCEL);
}

void CGpsPortDialog::OnAutoReset(wxCommandEvent& event) {
    gps::ApplyAutoResetTick(event.IsChecked());
}

std::intptr_t CGpsPortDialog::OnSerialData() {
    SetControlText(kSerialText, gps::PortDialogLine(gps::GpsPortDialogText()));
    if (auto* text = dynamic_cast<wxTextCtrl*>(FindWindow(kSerialText)))
        text->ShowPosition(text->GetLastPosition());  // the newest characters
    return 1;
}

std::intptr_t CGpsPortDialog::OnPortStatus() {
    SetControlText(kBaudCombo, gps::GpsPortBaudText());
    // "GPS lost" or "GPS back" while the receiver's link is not simply up.
    SetControlText(kSerialText, gps::GpsLinkText());
    return 1;
}

void CGpsPortDialog::StopFeed() {
    if (!feeding_) return;
    gps::SetGpsPortDialogOpen(false);
    registration_.Reset();
    feeding_ = false;
}

void CGpsPortDialog::SetCheck(int id, int value) {
    if (auto* box = dynamic_cast<wxCheckBox*>(FindWindow(id))) box->SetValue(value != 0);
}

int CGpsPortDialog::Check(int id) const {
    const auto* box = dynamic_cast<const wxCheckBox*>(FindWindow(id));
    return box != nullptr && box->GetValue() ? 1 : 0;
}

void CGpsPortDialog::SetControlText(int id, const wxString& text) {
    wxWindow* control = FindWindow(id);
    if (auto* entry = dynamic_cast<wxTextEntry*>(control)) {
        entry->ChangeValue(text);
    } else if (control != nullptr) {
        control->SetLabel(text);
    }
}

wxString CGpsPortDialog::ControlText(int id) const {
    const auto* entry = dynamic_cast<const wxTextEntry*>(FindWindow(id));
    return entry != nullptr ? entry->GetValue() : wxString();
}

}  // namespace frame
