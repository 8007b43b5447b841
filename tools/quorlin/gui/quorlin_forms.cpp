#include "tools/quorlin/gui/quorlin_forms.h"

#include <wx/button.h>
#include <wx/colour.h>
#include <wx/notebook.h>
#include <wx/sizer.h>
#include <wx/panel.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/xrc/xmlres.h>

#include "mapdata/map_palette.h"
#include "platform/gui/colour_dialog.h"
#include "platform/gui/screen_fit.h"
#include "platform/message_box.h"
#include "platform/numbers.h"
#include "platform/utf.h"

namespace quorlin {
namespace {

namespace gui = platform::gui;

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
    loaded_ = wxXmlResource::Get()->LoadDialog(this, parent, "133");
    if (!loaded_) return;
    SetTitle(mode == kNumber ? "Input number" : "Input Coordinates");
    if (wxWindow* text = FindWindow(1003)) text->SetLabel(wxString::FromUTF8(prompt.data(), prompt.size()));
    const bool coordinateMode = mode == kCoordinates;
    ShowOnly(*this, {1008}, !coordinateMode);
    ShowOnly(*this, {1000, 1001, 1002, 1005, 1007, 1013, 1014, 1015, 1019, 1020}, coordinateMode);
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
        gui::DDX_TextFloat(pDX, 1008, value);
        number = value;
        return;
    }
    CoordinateForm& f = coordinates;
    gui::DDX_TextDouble(pDX, 1000, f.latDegrees);
    gui::DDV_MinMaxDouble(pDX, f.latDegrees, -90.9999999, 90.9999999);
    gui::DDX_TextDouble(pDX, 1001, f.latMinutes);
    gui::DDX_TextDouble(pDX, 1002, f.latSeconds);
    int south = f.south ? 1 : 0;
    gui::DDX_Radio(pDX, 1005, south);
    f.south = south == 1;
    gui::DDX_TextDouble(pDX, 1013, f.lonDegrees);
    gui::DDX_TextDouble(pDX, 1014, f.lonMinutes);
    gui::DDX_TextDouble(pDX, 1015, f.lonSeconds);
    int west = f.east ? 0 : 1;
    gui::DDX_Radio(pDX, 1019, west);
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
    loaded_ = wxXmlResource::Get()->LoadDialog(this, parent, "129");
    if (!loaded_) return;
    for (int i = 0; i < kLevelCount; ++i) {
        if (wxWindow* current = FindWindow(1080 + i)) {
            current->SetLabel(platform::FormatC("%d", levels[static_cast<std::size_t>(i)]));
        }
    }
    gui::UpdateData(*this, false, [this](gui::CDataExchange* pDX) { DoDataExchange(pDX); });
    Bind(wxEVT_BUTTON, &CThresholdsDlg::OnOk, this, wxID_OK);
}

void CThresholdsDlg::DoDataExchange(gui::CDataExchange* pDX) {
    for (int i = 0; i < kLevelCount; ++i) {
        int& level = levels[static_cast<std::size_t>(i)];
        gui::DDX_TextInt(pDX, 1095 + i, level);
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
    e00Page_ = wxXmlResource::Get()->LoadPanel(notebook_, "106");
    landPage_ = wxXmlResource::Get()->LoadPanel(notebook_, "136");
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
    e00Page_->Bind(wxEVT_BUTTON, &COptionsSheet::OnReset, this, 1069);
    landPage_->Bind(wxEVT_BUTTON, &COptionsSheet::OnSetColour, this, 1097, 1111);
    ShowSwatches();
}

void COptionsSheet::SelectPage(int page) { notebook_->SetSelection(static_cast<std::size_t>(page)); }

void COptionsSheet::DoDataExchange(gui::CDataExchange* pDX) {
    E00Options& e = e00_;
    gui::DDX_TextInt(pDX, 1071, e.islandsColor);
    gui::DDV_MinMaxInt(pDX, e.islandsColor, 1, 16);
    gui::DDX_TextInt(pDX, 1067, e.lakesColor);
    gui::DDV_MinMaxInt(pDX, e.lakesColor, 1, 16);
    gui::DDX_TextInt(pDX, 1068, e.otherLakesColor);
    gui::DDV_MinMaxInt(pDX, e.otherLakesColor, 1, 16);
    gui::DDX_TextInt(pDX, 1070, e.riversColor);
    gui::DDX_TextInt(pDX, 1072, e.bndPoly);
    gui::DDX_TextInt(pDX, 1073, e.bndPolyType);
    gui::DDX_TextFloat(pDX, 1075, e.bndVal);
    gui::DDX_TextInt(pDX, 1074, e.lonLatLineType);
    gui::DDX_TextFloat(pDX, 1076, e.lonLatLineValue);
    int quad = std::clamp(e.quadSize - 1, 0, 3);
    gui::DDX_Radio(pDX, 1077, quad);
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
    const int index = event.GetId() - 1097;
    const mapdata::Rgb now = mapdata::RgbFromColorref(options_.landCovers[static_cast<std::size_t>(index)]);
    const auto c = platform::gui::ChooseColour(this, wxColour(now.red, now.green, now.blue), "Land cover colour");
    if (c) SetLandCover(index, mapdata::ColorrefFromRgb({c->Red(), c->Green(), c->Blue()}));
}

void COptionsSheet::ShowSwatches() {
    for (int i = 0; i < 15; ++i) {
        wxWindow* swatch = landPage_->FindWindow(1024 + i);
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
