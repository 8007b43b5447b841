#include "frame/options/fonts_page.h"

#include <wx/checkbox.h>
#include <wx/combobox.h>
#include <wx/fontenum.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include <algorithm>

#include "platform/settings_store.h"
#include "resources/ids/options_more.h"
#include "resources/ids/strings_options.h"
#include "services/string_resources.h"

namespace frame {
namespace {

namespace gui = platform::gui;

using xrc::options_more::fonts_page::kFamily;
using xrc::options_more::fonts_page::kFontsPage;
using xrc::options_more::fonts_page::kGuillemets;
using xrc::options_more::fonts_page::kLanguageLetters;
using xrc::options_more::fonts_page::kListOffset;
using xrc::options_more::fonts_page::kListOffsetSpin;
using xrc::options_more::fonts_page::kListPreview;
using xrc::options_more::fonts_page::kMainOffset;
using xrc::options_more::fonts_page::kMainOffsetSpin;
using xrc::options_more::fonts_page::kMainPreview;
using xrc::options_more::fonts_page::kMapBold;
using xrc::options_more::fonts_page::kMapOffset;
using xrc::options_more::fonts_page::kMapOffsetSpin;
using xrc::options_more::fonts_page::kMapPreview;
using xrc::options_more::fonts_page::kNotesBold;
using ids::kIdsMapPreview;
using ids::kIdsListPreview;
using ids::kIdsLeftWord;
using ids::kIdsListPreview;
using ids::kIdsMapPreview;
using ids::kIdsRightWord;
using xrc::options_more::kFamily;
using xrc::options_more::kGuillemets;
using xrc::options_more::kLanguageLetters;
using xrc::options_more::kListOffset;
using xrc::options_more::kListPreview;
using xrc::options_more::kMainOffset;
using xrc::options_more::kMainPreview;
using xrc::options_more::kMapBold;
using xrc::options_more::kMapOffset;
using xrc::options_more::kMapPreview;
using xrc::options_more::kNotesBold;

constexpr int kFaceLength = 31;

TurnLetters LanguageLetters() {
    TurnLetters letters;
    const std::wstring left = core::LoadResourceString(kIdsLeftWord);
    const std::wstring right = core::LoadResourceString(kIdsRightWord);
    if (!left.empty()) letters.left = static_cast<char16_t>(left[0]);
    if (!right.empty()) letters.right = static_cast<char16_t>(right[0]);
    return letters;
}

void SetChecked(wxWindow* page, int id, bool checked) {
    if (auto* box = dynamic_cast<wxCheckBox*>(page->FindWindow(id))) box->SetValue(checked);
}

}  // namespace

wxFont MakeFont(const wxString& face, int pixels, int weight) {
    wxFont font(wxFontInfo(wxSize(0, std::max(pixels, 1))).FaceName(face.Left(kFaceLength)).Family(wxFONTFAMILY_SWISS));
    font.SetNumericWeight(weight);
    return font;
}

COptionsFonts::COptionsFonts()
    : COptionsPage(kFontsPage, "Fonts"),
      values_(FontOptions::FromRunning(platform::AppSettings(), LanguageLetters())),
      mainSize_(values_.MainSize()),
      mapSize_(values_.MapSize()),
      listSize_(values_.ListSize()),
      mapBold_(values_.mapBold != 0) {
    Bind(wxEVT_COMBOBOX, &COptionsFonts::OnFamily, this, kFamily);
    Bind(wxEVT_TEXT, &COptionsFonts::OnFamily, this, kFamily);
    Bind(wxEVT_TEXT, &COptionsFonts::OnSize, this, kMainOffset);
    Bind(wxEVT_TEXT, &COptionsFonts::OnSize, this, kMapOffset);
    Bind(wxEVT_TEXT, &COptionsFonts::OnSize, this, kListOffset);
    Bind(wxEVT_CHECKBOX, &COptionsFonts::OnMapBold, this, kMapBold);
    Bind(wxEVT_CHECKBOX, &COptionsFonts::OnLetters, this, kGuillemets);
    Bind(wxEVT_CHECKBOX, &COptionsFonts::OnLetters, this, kLanguageLetters);
}

void COptionsFonts::OnInitDialog() {
    Show(kNotesBold, true);
    Show(kLanguageLetters, values_.letters.Offered());
    if (values_.letters.Offered()) {
        const std::wstring label = core::LoadResourceString(kIdsLeftWord) + L" / " +
                                   core::LoadResourceString(kIdsRightWord);
        SetLabel(kLanguageLetters, label);
    }
    if (auto* families = dynamic_cast<wxComboBox*>(FindWindow(kFamily))) {
        wxArrayString faces = wxFontEnumerator::GetFacenames();
        faces.Sort();
        families->Set(faces);
    }
    SetSpin(kMainOffsetSpin, FontOptions::kMainRange.minimum, FontOptions::kMainRange.maximum,
            values_.mainOffset, kMainOffset);
    SetSpin(kMapOffsetSpin, FontOptions::kMapRange.minimum, FontOptions::kMapRange.maximum,
            values_.mapOffset, kMapOffset);
    SetSpin(kListOffsetSpin, FontOptions::kListRange.minimum, FontOptions::kListRange.maximum,
            values_.listOffset, kListOffset);
    Layout();
}

void COptionsFonts::DoDataExchange(gui::CDataExchange* pDX) {
    // The family is kept as typed or stored, installed here or not.
    if (auto* families = dynamic_cast<wxComboBox*>(FindWindow(kFamily))) {
        if (pDX->m_bSaveAndValidate) {
            values_.family = families->GetValue().ToStdWstring();
        } else {
            families->ChangeValue(values_.family);
        }
    }
    gui::DDX_TextInt(pDX, kMainOffset, values_.mainOffset);
    gui::DDV_MinMaxInt(pDX, values_.mainOffset, FontOptions::kMainRange.minimum, FontOptions::kMainRange.maximum);
    gui::DDX_TextInt(pDX, kMapOffset, values_.mapOffset);
    gui::DDV_MinMaxInt(pDX, values_.mapOffset, FontOptions::kMapRange.minimum, FontOptions::kMapRange.maximum);
    gui::DDX_TextInt(pDX, kListOffset, values_.listOffset);
    gui::DDV_MinMaxInt(pDX, values_.listOffset, FontOptions::kListRange.minimum, FontOptions::kListRange.maximum);
    gui::DDX_Check(pDX, kMapBold, values_.mapBold);
    gui::DDX_Check(pDX, kNotesBold, values_.notesBold);
    gui::DDX_Check(pDX, kGuillemets, values_.guillemets);
    gui::DDX_Check(pDX, kLanguageLetters, values_.languageLetters);
    if (!pDX->m_bSaveAndValidate) UpdatePreview();
}

void COptionsFonts::OnFamily(wxCommandEvent&) {
    if (Initialised()) UpdatePreview();
}

void COptionsFonts::OnSize(wxCommandEvent& event) {
    const auto* field = dynamic_cast<const wxTextCtrl*>(event.GetEventObject());
    if (field == nullptr || !Initialised()) return;
    const std::wstring text = field->GetValue().ToStdWstring();
    switch (event.GetId()) {
        case kMainOffset:
            mainSize_ = FontOptions::kMainBase + ParseSizeOffset(text, mainSize_ - FontOptions::kMainBase, FontOptions::kMainRange);
            break;
        case kMapOffset:
            mapSize_ = FontOptions::kMapBase + ParseSizeOffset(text, mapSize_ - FontOptions::kMapBase, FontOptions::kMapRange);
            break;
        default:
            listSize_ = FontOptions::kListBase + ParseSizeOffset(text, listSize_ - FontOptions::kListBase, FontOptions::kListRange);
            break;
    }
    UpdatePreview();
}

void COptionsFonts::OnMapBold(wxCommandEvent& event) {
    mapBold_ = event.IsChecked();
    UpdatePreview();
}

// The two letter choices exclude each other.
void COptionsFonts::OnLetters(wxCommandEvent& event) {
    if (!event.IsChecked()) return;
    SetChecked(this, event.GetId() == kGuillemets ? kLanguageLetters : kGuillemets, false);
}

void COptionsFonts::UpdatePreview() {
    const auto* families = dynamic_cast<const wxComboBox*>(FindWindow(kFamily));
    const wxString face = families != nullptr ? families->GetValue() : wxString(values_.family);
    struct Preview {
        int id;
        wxString text;
        int size;
        int weight;
    };
    const Preview previews[] = {
        {kMainPreview, "106.5M  145m   50.2kF", mainSize_, 900},
        {kMapPreview, core::LoadResourceString(kIdsMapPreview), mapSize_, mapBold_ ? 700 : 400},
        {kListPreview, core::LoadResourceString(kIdsListPreview), listSize_, 900},
    };
    for (const Preview& p : previews) {
        auto* control = dynamic_cast<wxStaticText*>(FindWindow(p.id));
        if (control == nullptr) continue;
        control->SetFont(MakeFont(face, p.size, p.weight));
        control->SetLabel(p.text);
    }
    Layout();
}

void COptionsFonts::OnApply() {
    values_.Apply(platform::AppSettings(), Views());
}

}  // namespace frame
