#include "frame/igc_header_dialog.h"

#include <wx/combobox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/xrc/xmlres.h>

#include <string>
#include <utility>

#include "core/history_list.h"
#include "frame/notes_controls.h"
#include "platform/clock.h"
#include "platform/gui/screen_fit.h"
#include "platform/message_box.h"
#include "platform/settings_store.h"
#include "resources/ids/igc_header_dialog.h"
#include "resources/ids/strings_recorder.h"
#include "services/flight_log.h"
#include "services/string_resources.h"

namespace frame {
namespace {

using recorder::HeaderKind;

using xrc::igc_header_dialog::kConfirmationEdit;
using xrc::igc_header_dialog::kConfirmationLabel;
using xrc::igc_header_dialog::kDatumBox;
using xrc::igc_header_dialog::kFxaEdit;
using xrc::igc_header_dialog::kFxaLabel;
using xrc::igc_header_dialog::kGliderIdBox;
using xrc::igc_header_dialog::kGliderTypeBox;
using xrc::igc_header_dialog::kIgcHeaderTemplate;
using xrc::igc_header_dialog::kKindBox;
using xrc::igc_header_dialog::kKindLabel;
using xrc::igc_header_dialog::kPhraseEdit;
using xrc::igc_header_dialog::kPilotBox;
using xrc::igc_header_dialog::kValueBox;
using xrc::igc_header_dialog::kValueEdit;

// The name boxes and their remembered lists.
constexpr std::pair<int, const char*> kNameBoxes[] = {{kPilotBox, "IGCHeaders\\PilotNames"},
                                                      {kGliderIdBox, "IGCHeaders\\GliderIDs"},
                                                      {kGliderTypeBox, "IGCHeaders\\GliderTypes"}};
using ids::kIdsPhraseCaption;
using ids::kIdsPhraseMismatch;
using ids::kIdsPhraseTooShort;
using ids::kIdsFxaCaption;
using ids::kIdsFxaRange;

// The kinds' display names, in the order of HeaderKind.
constexpr std::array<unsigned, 6> kKindNameIds{
    ids::kIdsKindGps,           ids::kIdsKindPressureSensor, ids::kIdsKindCompetitionId,
    ids::kIdsKindCompetitionClass, ids::kIdsKindSite,        ids::kIdsKindSecurityPhrase};

bool UsesValueBox(HeaderKind kind) {
    return kind != HeaderKind::kSit && kind != HeaderKind::kSec;
}

void Fill(wxComboBox* box, const std::vector<std::wstring>& entries, const std::wstring& text) {
    if (box == nullptr) return;
    box->Clear();
    for (const std::wstring& entry : entries)
        box->Append(entry);
    box->ChangeValue(text);
}

}  // namespace

CIGCHeaderDlg::CIGCHeaderDlg(wxWindow* parent)
    : model_(recorder::IgcHeaderModel::Load(platform::AppSettings())) {
    loaded_ = wxXmlResource::Get()->LoadDialog(this, parent, std::to_string(kIgcHeaderTemplate));
    if (!loaded_) return;
    FillControls();
    for (const auto& [id, section] : kNameBoxes)
        if (wxComboBox* box = Combo(id)) BindHistoryKeys(*box, section);
    // The value box's list is saved when another kind is chosen.
    if (wxComboBox* box = Combo(kValueBox)) BindHistoryKeys(*box, "");
    Bind(wxEVT_COMBOBOX, &CIGCHeaderDlg::OnKindChange, this, kKindBox);
    Bind(wxEVT_BUTTON, &CIGCHeaderDlg::OnOK, this, wxID_OK);
}

int CIGCHeaderDlg::DoModal() {
    return loaded_ ? platform::gui::ShowModalOnScreen(*this) : -1;
}

wxComboBox* CIGCHeaderDlg::Combo(int id) const {
    return dynamic_cast<wxComboBox*>(FindWindow(id));
}

wxString CIGCHeaderDlg::Text(int id) const {
    if (const auto* combo = Combo(id)) return combo->GetValue();
    if (const auto* edit = dynamic_cast<wxTextCtrl*>(FindWindow(id))) return edit->GetValue();
    return {};
}

void CIGCHeaderDlg::FillControls() {
    const platform::SettingsStore& settings = platform::AppSettings();
    Fill(Combo(kPilotBox), core::LoadHistory(settings, "IGCHeaders\\PilotNames"), model_.pilot);
    Fill(Combo(kGliderIdBox), core::LoadHistory(settings, "IGCHeaders\\GliderIDs"),
         model_.gliderId);
    Fill(Combo(kGliderTypeBox), core::LoadHistory(settings, "IGCHeaders\\GliderTypes"),
         model_.gliderType);
    if (wxComboBox* datum = Combo(kDatumBox)) {
        datum->Append("WGS-84");
        datum->SetSelection(model_.datumIndex);
    }
    if (auto* fxa = dynamic_cast<wxTextCtrl*>(FindWindow(kFxaEdit)))
        fxa->ChangeValue(std::to_string(model_.fxa));
    if (wxComboBox* kinds = Combo(kKindBox)) {
        for (const std::string_view code : recorder::kHeaderKindCodes)
            kinds->Append(wxString(code.data(), code.size()));
        kinds->SetSelection(0);
    }
    ShowKind(HeaderKind::kGps);
}

void CIGCHeaderDlg::ShowKind(HeaderKind kind) {
    shown_ = kind;
    const auto index = static_cast<std::size_t>(kind);
    if (auto* label = dynamic_cast<wxStaticText*>(FindWindow(kKindLabel)))
        label->SetLabel(core::LoadResourceString(kKindNameIds[index]));
    const bool sec = kind == HeaderKind::kSec;
    const bool box = UsesValueBox(kind);
    for (const int id : {kPhraseEdit, kConfirmationEdit, kConfirmationLabel})
        if (wxWindow* w = FindWindow(id)) w->Show(sec);
    for (const int id : {kFxaLabel, kFxaEdit})
        if (wxWindow* w = FindWindow(id)) w->Show(!sec);
    if (wxWindow* w = FindWindow(kValueBox)) w->Show(box);
    if (wxWindow* w = FindWindow(kValueEdit)) w->Show(!sec && !box);
    if (box) {
        Fill(Combo(kValueBox),
             core::LoadHistory(platform::AppSettings(), recorder::KindHistorySection(kind)),
             model_.kindValues[index]);
    } else if (auto* edit = dynamic_cast<wxTextCtrl*>(FindWindow(kValueEdit))) {
        edit->ChangeValue(model_.kindValues[index]);
    }
    Layout();
}

void CIGCHeaderDlg::TakeKindValue() {
    if (shown_ == HeaderKind::kSec) return;
    if (wxComboBox* box = Combo(kValueBox); box != nullptr && UsesValueBox(shown_)) {
        AddComboHistoryText(*box, false);
        core::SaveHistory(platform::AppSettings(), recorder::KindHistorySection(shown_),
                          ComboHistoryEntries(*box));
    }
    model_.kindValues[static_cast<std::size_t>(shown_)] =
        Text(UsesValueBox(shown_) ? kValueBox : kValueEdit).ToStdWstring();
}

void CIGCHeaderDlg::OnKindChange(wxCommandEvent& /*event*/) {
    TakeKindValue();
    const wxComboBox* kinds = Combo(kKindBox);
    const int selected = kinds != nullptr ? kinds->GetSelection() : 0;
    ShowKind(static_cast<HeaderKind>(std::clamp(selected, 0, 5)));
}

void CIGCHeaderDlg::OnOK(wxCommandEvent& /*event*/) {
    TakeKindValue();
    model_.pilot = Text(kPilotBox).ToStdWstring();
    model_.gliderId = Text(kGliderIdBox).ToStdWstring();
    model_.gliderType = Text(kGliderTypeBox).ToStdWstring();
    long fxa = 0;
    model_.fxa = Text(kFxaEdit).ToLong(&fxa) ? static_cast<int>(fxa) : 0;
    model_.phrase = Text(kPhraseEdit).ToStdWstring();
    model_.confirmation = Text(kConfirmationEdit).ToStdWstring();
    const auto box = [](unsigned text, unsigned caption) {
        platform::ShowMessageBox(nullptr, core::LoadResourceString(text),
                                 core::LoadResourceString(caption), platform::mb::kIconHand);
    };
    switch (model_.Check()) {
        case recorder::IgcHeaderModel::Problem::kFxaRange:
            box(kIdsFxaRange, kIdsFxaCaption);
            return;
        case recorder::IgcHeaderModel::Problem::kPhraseMismatch:
        case recorder::IgcHeaderModel::Problem::kPhraseTooShort: {
            const bool mismatch =
                model_.Check() == recorder::IgcHeaderModel::Problem::kPhraseMismatch;
            box(mismatch ? kIdsPhraseMismatch : kIdsPhraseTooShort, kIdsPhraseCaption);
            if (wxComboBox* kinds = Combo(kKindBox)) kinds->SetSelection(5);
            ShowKind(HeaderKind::kSec);
            return;
        }
        case recorder::IgcHeaderModel::Problem::kNone:
            break;
    }
    for (const auto& [id, section] : kNameBoxes) {
        if (wxComboBox* names = Combo(id)) {
            AddComboHistoryText(*names, false);
            core::SaveHistory(platform::AppSettings(), section, ComboHistoryEntries(*names));
        }
    }
    const platform::SystemTime utc = platform::ToSystemTimeUtc(core::LogNow());
    lines_ = model_.Accept(platform::AppSettings(), utc.milliseconds);
    EndModal(wxID_OK);
}

}  // namespace frame
