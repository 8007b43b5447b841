#include "tools/brisvel/gui/shape_bar.h"

#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/combobox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/xrc/xmlres.h>

#include <string>

#include "tools/brisvel/gui/display_text.h"
#include "tools/brisvel/gui/symbol_combo.h"
#include "tools/brisvel/resources/ids/brisvel.h"

namespace brisvel {
namespace {

using xrc::brisvel::shape_bar::kAdd;
using xrc::brisvel::shape_bar::kAll;
using xrc::brisvel::shape_bar::kCounter;
using xrc::brisvel::shape_bar::kElevation;
using xrc::brisvel::shape_bar::kEntry;
using xrc::brisvel::shape_bar::kFeet;
using xrc::brisvel::shape_bar::kFieldList;
using xrc::brisvel::shape_bar::kFindNext;
using xrc::brisvel::shape_bar::kList;
using xrc::brisvel::shape_bar::kListCaption;
using xrc::brisvel::shape_bar::kNext;
using xrc::brisvel::shape_bar::kNoFill;
using xrc::brisvel::shape_bar::kNote;
using xrc::brisvel::shape_bar::kNoteCaption;
using xrc::brisvel::shape_bar::kReset;
using xrc::brisvel::shape_bar::kSearchAddAll;
using xrc::brisvel::shape_bar::kSearchNext;
using xrc::brisvel::shape_bar::kSearchText;
using xrc::brisvel::shape_bar::kSetFont;
using xrc::brisvel::shape_bar::kShapeBar;
using xrc::brisvel::shape_bar::kSymbolList;
using xrc::brisvel::shape_bar::kWideLine;

template <typename Control>
Control* Find(wxWindow& parent, int id) {
    return dynamic_cast<Control*>(parent.FindWindow(id));
}

}  // namespace

CShapeBar::CShapeBar(wxWindow* parent, ShapeBarModel& model, const SymbolArt& art,
                     std::function<void()> chooseFont)
    : model_(model), art_(art), chooseFont_(std::move(chooseFont)) {
    loaded_ = wxXmlResource::Get()->LoadPanel(this, parent, std::to_string(kShapeBar));
    if (!loaded_) return;
    combo_ = new CSymbolCombo(this, kSymbolList, art_);
    loaded_ = wxXmlResource::Get()->AttachUnknownControl(std::to_string(kSymbolList), combo_, this);
    Bindings();
    ShowModel();
}

void CShapeBar::Bindings() {
    for (const int id : {kNext, kAdd, kAll, kFindNext, kSearchNext, kSearchAddAll, kList, kReset, kSetFont})
        Bind(wxEVT_BUTTON, [this, id](wxCommandEvent&) { OnCommand(id); }, id);
    Bind(wxEVT_CHOICE, [this](wxCommandEvent& event) {
        if (showing_) return;
        model_.SelectField(event.GetSelection());
        ShowModel();
    }, kFieldList);
    combo_->Bind(wxEVT_COMBOBOX, [this](wxCommandEvent& event) {
        if (showing_) return;
        model_.SelectListEntry(event.GetSelection());
        ShowModel();
    });
    combo_->Bind(wxEVT_TEXT, [this](wxCommandEvent& event) {
        if (showing_) return;
        model_.TypeListEntry(event.GetString().ToStdString());
    });
    const auto entryChanged = [this](wxCommandEvent& event) {
        if (showing_) return;
        model_.EditEntry(StoredText(event.GetString(), model_.EntryText()));
    };
    Bind(wxEVT_TEXT, entryChanged, kEntry);
    Bind(wxEVT_COMBOBOX, entryChanged, kEntry);
    Bind(wxEVT_TEXT, [this](wxCommandEvent& event) {
        if (!showing_) model_.EditNote(StoredText(event.GetString(), model_.EntryText()));
    }, kNote);
    Bind(wxEVT_TEXT, [this](wxCommandEvent& event) {
        if (!showing_) model_.SetSearchText(StoredText(event.GetString(), model_.EntryText()));
    }, kSearchText);
    Bind(wxEVT_CHECKBOX, [this](wxCommandEvent& event) {
        model_.SetFeet(event.IsChecked());
        ShowModel();
    }, kFeet);
    Bind(wxEVT_CHECKBOX, [this](wxCommandEvent& event) {
        model_.SetWideLine(event.IsChecked());
        ShowModel();
    }, kWideLine);
    Bind(wxEVT_CHECKBOX, [this](wxCommandEvent& event) {
        model_.SetNoFill(event.IsChecked());
        ShowModel();
    }, kNoFill);
}

void CShapeBar::Click(int id) {
    OnCommand(id);
}

void CShapeBar::OnCommand(int id) {
    switch (id) {
        case kNext: model_.Next(); break;
        case kAdd: model_.Add(); break;
        case kAll: model_.All(); break;
        case kFindNext: model_.FindNext(); break;
        case kSearchNext: model_.SearchNext(); break;
        case kSearchAddAll: model_.SearchAddAll(); break;
        case kList: model_.List(); break;
        case kReset: model_.Reset(); break;
        case kSetFont:
            if (chooseFont_ && model_.Document()) chooseFont_();
            break;
        default: break;
    }
    ShowModel();
}

void CShapeBar::ShowModel() {
    if (!loaded_) return;
    showing_ = true;
    if (auto* counter = Find<wxStaticText>(*this, kCounter)) counter->SetLabel(model_.CounterText());
    if (auto* fields = Find<wxChoice>(*this, kFieldList)) {
        wxArrayString names;
        for (const ListItem& field : model_.Fields()) names.Add(DisplayText(field.text));
        if (fields->GetStrings() != names) fields->Set(names);
        fields->SetSelection(model_.FieldSelection());
    }
    std::vector<std::string> shown;
    for (unsigned i = 0; i < combo_->GetCount(); ++i) shown.push_back(combo_->GetString(i).ToStdString());
    std::vector<std::string> wanted;
    for (const ListItem& item : model_.ListItems()) wanted.push_back(item.text);
    if (shown != wanted || combo_->ColourMode() != model_.ColourMode())
        combo_->SetItems(model_.ListItems(), model_.ColourMode());
    if (model_.ListSelection() >= 0) combo_->SetSelection(model_.ListSelection());
    combo_->ChangeValue(wxString::FromUTF8(model_.ListText()));
    if (auto* entry = Find<wxComboBox>(*this, kEntry)) {
        wxArrayString choices;
        for (const std::string& choice : model_.EntryChoices()) choices.Add(DisplayText(choice));
        if (entry->GetStrings() != choices) entry->Set(choices);
        entry->ChangeValue(DisplayText(model_.EntryText()));
    }
    if (auto* note = Find<wxTextCtrl>(*this, kNote)) {
        const wxString text = DisplayText(model_.Note());
        if (note->GetValue() != text) note->ChangeValue(text);
    }
    if (auto* search = Find<wxTextCtrl>(*this, kSearchText)) {
        const wxString text = DisplayText(model_.SearchText());
        if (search->GetValue() != text) search->ChangeValue(text);
    }
    if (auto* elevation = Find<wxStaticText>(*this, kElevation)) elevation->SetLabel(model_.ElevationLabel());
    if (auto* box = Find<wxCheckBox>(*this, kFeet)) box->SetValue(model_.Feet());
    if (auto* box = Find<wxCheckBox>(*this, kWideLine)) box->SetValue(model_.WideLine());
    if (auto* box = Find<wxCheckBox>(*this, kNoFill)) box->SetValue(model_.NoFill());
    ShowLayout();
    showing_ = false;
}

void CShapeBar::ShowLayout() {
    const BarLayout layout = model_.Layout();
    const auto show = [this](int id, bool on) {
        if (wxWindow* control = FindWindow(id)) control->Show(on);
    };
    show(kListCaption, layout.listCaption);
    show(kSymbolList, layout.listCaption);
    show(kNote, layout.note);
    show(kNoteCaption, layout.note);
    show(kSetFont, layout.setFont);
    show(kWideLine, layout.wideLine);
    show(kNoFill, layout.noFill);
    show(kElevation, layout.elevation);
    show(kFeet, layout.feet);
    if (wxWindow* caption = FindWindow(kListCaption)) caption->SetLabel(layout.caption);
    Layout();
}

}  // namespace brisvel
