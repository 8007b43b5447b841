#include "tools/quorlin/gui/quorlin_forms.h"

#include <wx/button.h>
#include <wx/colour.h>
#include <wx/notebook.h>
#include <wx/sizer.h>
#include <wx/panel.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/xrc/xmlres.h>

#include <string>

#include "mapdata/map_palette.h"
#include "platform/gui/colour_dialog.h"
#include "platform/gui/screen_fit.h"
#include "platform/message_box.h"
#include "platform/numbers.h"
#include "platform/utf.h"
#include "tools/quorlin/resources/ids/quorlin.h"

namespace quorlin {
namespace {

namespace gui = platform::gui;
namespace form_ids = xrc::quorlin::input_form_template;
namespace e00_ids = xrc::quorlin::e00_page;
using xrc::quorlin::kE00Page;
using xrc::quorlin::kInputFormTemplate;
using xrc::quorlin::kLandCoverPage;
using xrc::quorlin::kThresholdsTemplate;
using xrc::quorlin::land_cover_page::kFirstSetColour;
using xrc::quorlin::land_cover_page::kFirstSwatch;
using xrc::quorlin::land_cover_page::kLandCoverPage;
using xrc::quorlin::land_cover_page::kLastSetColour;
using xrc::quorlin::land_cover_page::kLastSwatch;
using xrc::quorlin::thresholds_template::kFirstCurrentLevel;
using xrc::quorlin::thresholds_template::kFirstLevel;
using xrc::quorlin::thresholds_template::kThresholdsTemplate;

void Say(wxWindow* parent, const wchar_t* text, const wchar_t* caption, unsigned icon) {
    platform::ShowMessageBox(parent, text, caption, platform::mb::kOk | icon);
}

void ShowOnly(wxWindow& dialog, std::initializer_list<int> ids, bool shown) {
    for (int id : ids) {
        if (wxWindow* w = dialog.FindWindow(id)) w->Show(shown);
    }
}

}  // namespace

CInputFormDlg::CInputFormDlg(wxWindow* parent, Mode mode, std::string_view prompt) : mode_(mode) {
    loaded_ = wxXmlResource::Get()->LoadDialog(this, parent, std::to_string(kInputFormTemplate));
    if (!loaded_) return;
    SetTitle(mode == kNumber ? "Input number" : "Input Coordinates");
    if (wxWindow* text = FindWindow(form_ids::kPrompt))
        text->SetLabel(wxString::FromUTF8(prompt.data(), prompt.size()));
    const bool coordinateMode = mode == kCoordinates;
    ShowOnly(*this, {form_ids::kNumber}, !coordinateMode);
    ShowOnly(*this,
             {form_ids::kLatDegrees, form_ids::kLatMinutes, form_ids::kLatSeconds, form_ids::kNorth,
              form_ids::kSouth, form_ids::kLonDegrees, form_ids::kLonMinutes, form_ids::kLonSeconds,
              form_ids::kEast, form_ids::kWest},
             coordinateMode);
    // The group boxes go with their controls.
    for (wxWindow* child : GetChildren()) {
        if (child->IsKindOf(wxCLASSINFO(wxStaticBox))) child->Show(coordinateMode);
    }
    Bind(wxEVT_BUTTON, &CInputFormDlg::OnOk, this, wxID_OK);
    Fit();
}

void CInputFormDlg::DoDataExchange(gui::CDataExchange* pDX) {
    if (mode_ == kNumber) {
        float value = static_cast<float>(number);
        gui::DDX_TextFloat(pDX, form_ids::kNumber, value);
        number = value;
        return;
    }
    CoordinateForm& f = coordinates;
    gui::DDX_TextDouble(pDX, form_ids::kLatDegrees, f.latDegrees);
    gui::DDV_MinMaxDouble(pDX, f.latDegrees, -90.9999999, 90.9999999);
    gui::DDX_TextDouble(pDX, form_ids::kLatMinutes, f.latMinutes);
    gui::DDX_TextDouble(pDX, form_ids::kLatSeconds, f.latSeconds);
    int south = f.south ? 1 : 0;
    gui::DDX_Radio(pDX, form_ids::kNorth, south);
    f.south = south == 1;
    gui::DDX_TextDouble(pDX, form_ids::kLonDegrees, f.lonDegrees);
    gui::DDX_TextDouble(pDX, form_ids::kLonMinutes, f.lonMinutes);
    gui::DDX_TextDouble(pDX, form_ids::kLonSeconds, f.lonSeconds);
    int west = f.east ? 0 : 1;
    gui::DDX_Radio(pDX, form_ids::kEast, west);
    f.east = west == 0;
}

void CInputFormDlg::ShowValues() {
    gui::UpdateData(*this, false, [this](gui::CDataExchange* pDX) { DoDataExchange(pDX); });
}

bool CInputFormDlg::Accept() {
    if (!gui::UpdateData(*this, true, [this](gui::CDataExchange* pDX) { DoDataExchange(pDX); })) return false;
    if (mode_ == kCoordinates && !JoinCoordinates(coordinates)) {
        Say(this, L"All numbers must be positive", L"", platform::mb::kIconExclamation);
        return false;
    }
    return true;
}

void CInputFormDlg::OnOk(wxCommandEvent&) {
    if (Accept()) EndModal(wxID_OK);
}

std::optional<double> RunNumberForm(wxWindow* parent, std::string_view prompt, double initial) {
    CInputFormDlg form(parent, CInputFormDlg::kNumber, prompt);
    if (!form.Loaded()) return std::nullopt;
    form.number = initial;
    form.ShowValues();
    if (platform::gui::ShowModalOnScreen(form) != wxID_OK) return std::nullopt;
    return form.number;
}

std::optional<Corner> RunCoordinateForm(wxWindow* parent, std::string_view prompt, Corner initial) {
    CInputFormDlg form(parent, CInputFormDlg::kCoordinates, prompt);
    if (!form.Loaded()) return std::nullopt;
    form.coordinates = SplitCoordinates(initial);
    form.ShowValues();
    if (platform::gui::ShowModalOnScreen(form) != wxID_OK) return std::nullopt;
    return JoinCoordinates(form.coordinates);
}

CThresholdsDlg::CThresholdsDlg(wxWindow* parent, platform::SettingsStore& store)
    : levels(LoadThresholds(store, kDefaultThresholds)), store_(store) {
    loaded_ = wxXmlResource::Get()->LoadDialog(this, parent, std::to_string(kThresholdsTemplate));
    if (!loaded_) return;
    for (int i = 0; i < kLevelCount; ++i) {
        if (wxWindow* current = FindWindow(kFirstCurrentLevel + i)) {
            current->SetLabel(platform::FormatC("%d", levels[static_cast<std::size_t>(i)]));
        }
    }
    gui::UpdateData(*this, false, [this](gui::CDataExchange* pDX) { DoDataExchange(pDX); });
    Bind(wxEVT_BUTTON, &CThresholdsDlg::OnOk, this, wxID_OK);
}

void CThresholdsDlg::DoDataExchange(gui::CDataExchange* pDX) {
    for (int i = 0; i < kLevelCount; ++i) {
        int& level = levels[static_cast<std::size_t>(i)];
        gui::DDX_TextInt(pDX, kFirstLevel + i, level);
        gui::DDV_MinMaxInt(pDX, level, 1, 20000);
        if (pDX->m_bSaveAndValidate && !pDX->Failed() && i > 0 && level <= levels[static_cast<std::size_t>(i - 1)]) {
            Say(this, L"Thresholds have to change monotonically", L"Elevation error", platform::mb::kIconHand);
            pDX->Fail();
        }
    }
}

bool CThresholdsDlg::Accept() {
    if (!gui::UpdateData(*this, true, [this](gui::CDataExchange* pDX) { DoDataExchange(pDX); })) return false;
    SaveThresholds(store_, levels);
    return true;
}

void CThresholdsDlg::OnOk(wxCommandEvent&) {
    if (Accept()) EndModal(wxID_OK);
}

bool RunThresholdsDialog(wxWindow* parent, platform::SettingsStore& store) {
    CThresholdsDlg dialog(parent, store);
    return dialog.Loaded() && platform::gui::ShowModalOnScreen(dialog) == wxID_OK;
}

COptionsSheet::COptionsSheet(wxWindow* parent, platform::SettingsStore& store, QuorlinOptions& options)
    : wxDialog(parent, wxID_ANY, "Program Options"), store_(store), options_(options), e00_(options.e00) {
    notebook_ = new wxNotebook(this, wxID_ANY);
    e00Page_ = wxXmlResource::Get()->LoadPanel(notebook_, std::to_string(kE00Page));
    landPage_ = wxXmlResource::Get()->LoadPanel(notebook_, std::to_string(kLandCoverPage));
    loaded_ = e00Page_ != nullptr && landPage_ != nullptr;
    if (!loaded_) return;
    notebook_->AddPage(e00Page_, "E00 Options");
    notebook_->AddPage(landPage_, "Land Cover");
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(notebook_, 1, wxEXPAND | wxALL, 4);
    // The sheet has no Apply button.
    sizer->Add(CreateStdDialogButtonSizer(wxOK | wxCANCEL), 0, wxALL | wxALIGN_RIGHT, 4);
    SetSizerAndFit(sizer);
    gui::UpdateData(*e00Page_, false, [this](gui::CDataExchange* pDX) { DoDataExchange(pDX); });
    Bind(wxEVT_BUTTON, &COptionsSheet::OnOk, this, wxID_OK);
    e00Page_->Bind(wxEVT_BUTTON, &COptionsSheet::OnReset, this, e00_ids::kResetE00);
    landPage_->Bind(wxEVT_BUTTON, &COptionsSheet::OnSetColour, this, kFirstSetColour,
                    kLastSetColour);
    ShowSwatches();
}

void COptionsSheet::SelectPage(int page) { notebook_->SetSelection(static_cast<std::size_t>(page)); }

void COptionsSheet::DoDataExchange(gui::CDataExchange* pDX) {
    E00Options& e = e00_;
    gui::DDX_TextInt(pDX, e00_ids::kIslandsColour, e.islandsColor);
    gui::DDV_MinMaxInt(pDX, e.islandsColor, 1, 16);
    gui::DDX_TextInt(pDX, e00_ids::kLakesColour, e.lakesColor);
    gui::DDV_MinMaxInt(pDX, e.lakesColor, 1, 16);
    gui::DDX_TextInt(pDX, e00_ids::kOtherLakesColour, e.otherLakesColor);
    gui::DDV_MinMaxInt(pDX, e.otherLakesColor, 1, 16);
    gui::DDX_TextInt(pDX, e00_ids::kRiversColour, e.riversColor);
    gui::DDX_TextInt(pDX, e00_ids::kBoundaryPolygon, e.bndPoly);
    gui::DDX_TextInt(pDX, e00_ids::kBoundaryPolygonType, e.bndPolyType);
    gui::DDX_TextFloat(pDX, e00_ids::kBoundaryValue, e.bndVal);
    gui::DDX_TextInt(pDX, e00_ids::kLonLatLineType, e.lonLatLineType);
    gui::DDX_TextFloat(pDX, e00_ids::kLonLatLineValue, e.lonLatLineValue);
    int quad = std::clamp(e.quadSize - 1, 0, 3);
    gui::DDX_Radio(pDX, e00_ids::kQuadSize, quad);
    e.quadSize = quad + 1;
}

bool COptionsSheet::Accept() {
    if (!gui::UpdateData(*e00Page_, true, [this](gui::CDataExchange* pDX) { DoDataExchange(pDX); })) return false;
    options_.e00 = e00_;
    SaveE00Options(store_, e00_);
    return true;
}

void COptionsSheet::OnOk(wxCommandEvent&) {
    if (Accept()) EndModal(wxID_OK);
}

void COptionsSheet::OnReset(wxCommandEvent&) {
    e00_ = ResetE00Options();
    gui::UpdateData(*e00Page_, false, [this](gui::CDataExchange* pDX) { DoDataExchange(pDX); });
}

void COptionsSheet::SetLandCover(int index, std::uint32_t colorref) {
    options_.landCovers[static_cast<std::size_t>(index)] = colorref;
    SaveLandCover(store_, index, colorref);
    ShowSwatches();
}

void COptionsSheet::OnSetColour(wxCommandEvent& event) {
    const int index = event.GetId() - kFirstSetColour;
    const mapdata::Rgb now = mapdata::RgbFromColorref(options_.landCovers[static_cast<std::size_t>(index)]);
    const auto c = platform::gui::ChooseColour(this, wxColour(now.red, now.green, now.blue), "Land cover colour");
    if (c) SetLandCover(index, mapdata::ColorrefFromRgb({c->Red(), c->Green(), c->Blue()}));
}

void COptionsSheet::ShowSwatches() {
    for (int i = 0; i <= kLastSwatch - kFirstSwatch; ++i) {
        wxWindow* swatch = landPage_->FindWindow(kFirstSwatch + i);
        if (swatch == nullptr) continue;
        const mapdata::Rgb c = mapdata::RgbFromColorref(options_.landCovers[static_cast<std::size_t>(i)]);
        swatch->SetBackgroundColour(wxColour(c.red, c.green, c.blue));
        swatch->Refresh();
    }
}

void ShowProgramOptions(wxWindow* parent, platform::SettingsStore& store, QuorlinOptions& options) {
    COptionsSheet sheet(parent, store, options);
    if (sheet.Loaded()) platform::gui::ShowModalOnScreen(sheet);
}

}  // namespace quorlin
