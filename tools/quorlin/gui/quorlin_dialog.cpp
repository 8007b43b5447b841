#include "tools/quorlin/gui/quorlin_dialog.h"

#include <wx/app.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/colour.h>
#include <wx/dcclient.h>
#include <wx/menu.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/xrc/xmlres.h>

#include <memory>
#include <string>

#include "mapdata/map_palette.h"
#include "platform/gui/colour_dialog.h"
#include "platform/gui/file_dialog.h"
#include "platform/gui/screen_fit.h"
#include "platform/message_box.h"
#include "platform/numbers.h"
#include "platform/utf.h"
#include "tools/quorlin/gui/quorlin_forms.h"
#include "tools/quorlin/resources/ids/quorlin.h"

namespace quorlin {
namespace {

namespace gui = platform::gui;
using xrc::quorlin::main_dialog::kBorderColour;
using xrc::quorlin::main_dialog::kCentrePixel;
using xrc::quorlin::main_dialog::kChangeColours;
using xrc::quorlin::main_dialog::kChangeLevels;
using xrc::quorlin::main_dialog::kColumns;
using xrc::quorlin::main_dialog::kConvert;
using xrc::quorlin::main_dialog::kCornerContinuous;
using xrc::quorlin::main_dialog::kCreate;
using xrc::quorlin::main_dialog::kDeleteBitmaps;
using xrc::quorlin::main_dialog::kDrawBorders;
using xrc::quorlin::main_dialog::kEastText;
using xrc::quorlin::main_dialog::kElevationStrip;
using xrc::quorlin::main_dialog::kExit;
using xrc::quorlin::main_dialog::kExtract;
using xrc::quorlin::main_dialog::kFillClosed;
using xrc::quorlin::main_dialog::kFirstLevelText;
using xrc::quorlin::main_dialog::kGetDataFile;
using xrc::quorlin::main_dialog::kHighest;
using xrc::quorlin::main_dialog::kHighestLabel;
using xrc::quorlin::main_dialog::kInputName;
using xrc::quorlin::main_dialog::kInsert;
using xrc::quorlin::main_dialog::kLineStrip;
using xrc::quorlin::main_dialog::kLineTolerance;
using xrc::quorlin::main_dialog::kLowest;
using xrc::quorlin::main_dialog::kLowestLabel;
using xrc::quorlin::main_dialog::kMainDialog;
using xrc::quorlin::main_dialog::kMapColourSwatch;
using xrc::quorlin::main_dialog::kMenuButton;
using xrc::quorlin::main_dialog::kNorthText;
using xrc::quorlin::main_dialog::kOutputName;
using xrc::quorlin::main_dialog::kProgress;
using xrc::quorlin::main_dialog::kRemoveLonLat;
using xrc::quorlin::main_dialog::kReplaceMissing;
using xrc::quorlin::main_dialog::kReplacement;
using xrc::quorlin::main_dialog::kRows;
using xrc::quorlin::main_dialog::kSetMapColour;
using xrc::quorlin::main_dialog::kSetOutputBounds;
using xrc::quorlin::main_dialog::kSetOutputFile;
using xrc::quorlin::main_dialog::kSimplify;
using xrc::quorlin::main_dialog::kSouthText;
using xrc::quorlin::main_dialog::kThreshold;
using xrc::quorlin::main_dialog::kThresholdEdit;
using xrc::quorlin::main_dialog::kUpDownFiles;
using xrc::quorlin::main_dialog::kWestText;
using xrc::quorlin::kAboutTemplate;
// kMenuButton opens the menu of the same number; its items:
using xrc::quorlin::menu_button::kAboutCommand;
using xrc::quorlin::menu_button::kOptionsCommand;

constexpr std::chrono::milliseconds kProgressInterval{40};
constexpr std::chrono::milliseconds kPumpInterval{10};

// "Text|*.a; *.b|...||" as the file dialogs take it.
wxString WxFilter(std::string filter) {
    while (!filter.empty() && filter.back() == '|') filter.pop_back();
    std::string out;
    for (std::size_t i = 0; i < filter.size(); ++i) {
        if (filter[i] == ';' && i + 1 < filter.size() && filter[i + 1] == ' ') {
            out += ';';
            ++i;
        } else {
            out += filter[i];
        }
    }
    return wxString::FromUTF8(out);
}

wxString Text(std::string_view text) { return wxString::FromUTF8(text.data(), text.size()); }

void DDX_Bool(gui::CDataExchange* pDX, int id, bool& value) {
    int checked = value ? 1 : 0;
    gui::DDX_Check(pDX, id, checked);
    value = checked != 0;
}

}  // namespace

CQuorlinDlg::CQuorlinDlg(wxWindow* parent, platform::SettingsStore& store)
    : store_(store), model_(store, *this) {
    loaded_ = wxXmlResource::Get()->LoadDialog(this, parent, std::to_string(kMainDialog));
    if (!loaded_) return;
    Bind(wxEVT_INIT_DIALOG, &CQuorlinDlg::OnInitDialog, this);
    Bind(wxEVT_CLOSE_WINDOW, &CQuorlinDlg::OnClose, this);
    Bind(wxEVT_BUTTON, &CQuorlinDlg::OnButton, this);
    Bind(wxEVT_CHECKBOX, &CQuorlinDlg::OnCheck, this);
    Bind(wxEVT_TEXT, &CQuorlinDlg::OnThresholdText, this, kThresholdEdit);
    Bind(wxEVT_MENU, &CQuorlinDlg::OnMenu, this);
    progressTimer_.SetOwner(this);
    Bind(wxEVT_TIMER, [this](wxTimerEvent&) { ShowProgress(); }, progressTimer_.GetId());
    if (wxWindow* strip = FindWindow(kLineStrip)) strip->Bind(wxEVT_PAINT, &CQuorlinDlg::PaintLineStrip, this);
    if (wxWindow* strip = FindWindow(kElevationStrip)) strip->Bind(wxEVT_PAINT, &CQuorlinDlg::PaintElevationStrip, this);
    SetEscapeId(kExit);  // Escape is "Exit", refused while busy
}

int CQuorlinDlg::DoModal() { return loaded_ ? platform::gui::ShowModalOnScreen(*this) : -1; }

void CQuorlinDlg::OnInitDialog(wxInitDialogEvent&) {
    model_.Initialise();
    Refresh();
}

void CQuorlinDlg::DoDataExchange(gui::CDataExchange* pDX) {
    QuorlinState& s = model_.state;
    if (FindWindow(kRows) && FindWindow(kRows)->IsEnabled()) {
        gui::DDX_TextULong(pDX, kRows, s.grid.rows);
        gui::DDX_TextULong(pDX, kColumns, s.grid.columns);
    } else if (!pDX->m_bSaveAndValidate) {
        gui::DDX_TextULong(pDX, kRows, s.grid.rows);
        gui::DDX_TextULong(pDX, kColumns, s.grid.columns);
    }
    DDX_Bool(pDX, kThreshold, s.thresholdOn);
    DDX_Bool(pDX, kDrawBorders, s.drawBorders);
    gui::DDX_TextInt(pDX, kBorderColour, s.borderColourIndex);
    gui::DDV_MinMaxInt(pDX, s.borderColourIndex, 1, 16);
    DDX_Bool(pDX, kCornerContinuous, s.cornerContinuous);
    DDX_Bool(pDX, kFillClosed, s.fillClosed);
    DDX_Bool(pDX, kSimplify, s.simplify);
    gui::DDX_TextFloat(pDX, kLineTolerance, s.lineTolerance);
    gui::DDV_MinMaxFloat(pDX, s.lineTolerance, 0.01f, 100.0f);
    gui::DDX_TextShort(pDX, kReplacement, s.options.replaceMissingValue);
    gui::DDV_MinMaxShort(pDX, s.options.replaceMissingValue, -100, 30000);
    DDX_Bool(pDX, kDeleteBitmaps, s.deleteBitmaps);
    DDX_Bool(pDX, kRemoveLonLat, s.removeLonLat);
    DDX_Bool(pDX, kReplaceMissing, s.options.replaceMissing);
    DDX_Bool(pDX, kCentrePixel, s.centrePixel);
}

bool CQuorlinDlg::ReadControls() {
    return gui::UpdateData(*this, true, [this](gui::CDataExchange* pDX) { DoDataExchange(pDX); });
}

void CQuorlinDlg::Refresh() {
    exchanging_ = true;
    const QuorlinState& s = model_.state;
    const auto label = [this](int id, std::string_view text) {
        if (wxWindow* w = FindWindow(id)) w->SetLabel(Text(text));
    };
    label(kInputName, s.inputPath.string());
    label(kOutputName, s.outputPath.string());
    label(kNorthText, s.texts.north);
    label(kWestText, s.texts.west);
    label(kEastText, s.texts.east);
    label(kSouthText, s.texts.south);
    label(kHighest, s.texts.highest);
    label(kLowest, s.texts.lowest);
    // The strip's texts after its first ("0"): six levels, then every other
    // one of the higher levels.
    const Thresholds& t = s.options.thresholds;
    for (int i = 0; i <= 5; ++i)
        label(kFirstLevelText + 1 + i, platform::FormatC("%d", t[static_cast<std::size_t>(i)]));
    for (int i = 0; i < 4; ++i)
        label(kFirstLevelText + 7 + i, platform::FormatC("%d", t[static_cast<std::size_t>(7 + 2 * i)]));
    if (auto* edit = dynamic_cast<wxTextCtrl*>(FindWindow(kThresholdEdit))) {
        if (edit->GetValue().ToStdString() != s.thresholdText) edit->ChangeValue(Text(s.thresholdText));
    }
    gui::UpdateData(*this, false, [this](gui::CDataExchange* pDX) { DoDataExchange(pDX); });

    const ControlLayout layout = model_.Layout();
    for (const auto& [id, state] : layout.controls) {
        wxWindow* w = FindWindow(id);
        if (w == nullptr) continue;
        w->Show(state.shown);
        w->Enable(state.enabled);
        if (!state.label.empty()) w->SetLabel(Text(state.label));
    }
    // The names of the elevation texts go with them.
    for (const auto& [name, text] : {std::pair{kHighestLabel, kHighest}, std::pair{kLowestLabel, kLowest}}) {
        if (wxWindow* w = FindWindow(name)) w->Show(layout[text].shown);
    }
    if (wxWindow* rows = FindWindow(kRows)) rows->Enable(s.rowColumnEditsEnabled);
    if (wxWindow* columns = FindWindow(kColumns)) columns->Enable(s.rowColumnEditsEnabled);
    if (layout.fillCheck) {
        dynamic_cast<wxCheckBox*>(FindWindow(kFillClosed))->SetValue(*layout.fillCheck);
        model_.state.fillClosed = *layout.fillCheck;
    }
    if (layout.bordersCheck) {
        dynamic_cast<wxCheckBox*>(FindWindow(kDrawBorders))->SetValue(*layout.bordersCheck);
        model_.state.drawBorders = *layout.bordersCheck;
    }
    model_.state.showElevationStrip = layout.elevationStrip;
    if (wxWindow* swatch = FindWindow(kMapColourSwatch)) {
        swatch->SetBackgroundColour(wxColour(s.mapColour.red, s.mapColour.green, s.mapColour.blue));
        swatch->Refresh();
    }
    if (wxWindow* strip = FindWindow(kElevationStrip)) strip->Refresh();
    Layout();
    exchanging_ = false;
}

void CQuorlinDlg::ChooseInput(const std::filesystem::path& path) {
    if (model_.state.busy) return;
    model_.LoadInput(path);
    Refresh();
}

void CQuorlinDlg::ChooseOutput(const std::filesystem::path& path) {
    if (model_.state.busy) return;
    model_.state.outputPath = path;
    Refresh();
}

void CQuorlinDlg::Convert() {
    if (model_.state.busy || !ReadControls()) return;
    model_.OnConvert();
    Refresh();
}

bool CQuorlinDlg::RequestClose() {
    if (!model_.CanClose()) return false;
    if (IsModal()) EndModal(wxID_CANCEL);
    else Hide();
    return true;
}

void CQuorlinDlg::OnClose(wxCloseEvent& event) {
    if (!RequestClose() && event.CanVeto()) event.Veto();
}

void CQuorlinDlg::OnButton(wxCommandEvent& event) {
    QuorlinModel& m = model_;
    if (m.state.busy) return;
    switch (event.GetId()) {
        case kGetDataFile: m.OnGetDataFile(); break;
        case kSetOutputFile: m.OnSetOutputFile(); break;
        case kConvert: return Convert();
        case kChangeColours: m.OnChangeColors(); break;
        case kSetMapColour: m.OnSetMapColor(); break;
        case kChangeLevels: m.OnChangeLevels(); break;
        case kExtract: if (ReadControls()) m.OnExtract(); break;
        case kCreate: if (ReadControls()) m.OnCreateEmptyGrid(); break;
        case kInsert: if (ReadControls()) m.OnInsert(); break;
        case kSetOutputBounds: m.SetOutputBounds(); break;
        case kUpDownFiles: m.OnGenerateUpDown(); break;
        case kExit: case wxID_CANCEL: RequestClose(); return;
        case kMenuButton: {
            const std::unique_ptr<wxMenu> menu(wxXmlResource::Get()->LoadMenu(std::to_string(kMenuButton)));
            if (menu) PopupMenu(menu.get());
            return;
        }
        case wxID_OK: return;  // Enter never closes the dialog
        default: event.Skip(); return;
    }
    Refresh();
}

void CQuorlinDlg::OnCheck(wxCommandEvent& event) {
    if (exchanging_ || model_.state.busy) return;
    QuorlinState& s = model_.state;
    const bool on = event.IsChecked();
    switch (event.GetId()) {
        case kThreshold: model_.OnThresholdCheck(on); break;
        case kCornerContinuous: s.cornerContinuous = on; break;
        case kDeleteBitmaps: s.deleteBitmaps = on; break;
        case kFillClosed: s.fillClosed = on; break;
        default: return;
    }
    Refresh();
}

void CQuorlinDlg::OnThresholdText(wxCommandEvent& event) {
    if (exchanging_ || model_.state.busy) return;
    model_.OnThresholdChange(event.GetString().ToStdString());
    Refresh();
}

void CQuorlinDlg::OnMenu(wxCommandEvent& event) {
    if (event.GetId() == kAboutCommand) ShowAboutBox(this);
    else if (event.GetId() == kOptionsCommand) ShowOptionsSheet();
    else event.Skip();
}

void CQuorlinDlg::ShowOptionsSheet() {
    ShowProgramOptions(this, store_, model_.state.options);
}

// The cells of a strip: side by side, centred, one pixel inside its frame.
static void PaintCells(wxWindow& strip, int count, const std::function<wxColour(int)>& colour) {
    wxPaintDC dc(&strip);
    const wxSize size = strip.GetClientSize();
    const int w = (size.x - 2) / count;
    int x = (size.x - count * w) / 2;
    for (int i = 0; i < count; ++i, x += w) {
        dc.SetPen(*wxTRANSPARENT_PEN);
        dc.SetBrush(wxBrush(colour(i)));
        dc.DrawRectangle(x, 1, w, size.y - 2);
    }
}

void CQuorlinDlg::PaintLineStrip(wxPaintEvent& event) {
    auto* strip = dynamic_cast<wxWindow*>(event.GetEventObject());
    PaintCells(*strip, 16, [](int i) {
        const mapdata::Rgb c = mapdata::kMapPalette[static_cast<std::size_t>(i)];
        return wxColour(c.red, c.green, c.blue);
    });
}

void CQuorlinDlg::PaintElevationStrip(wxPaintEvent& event) {
    auto* strip = dynamic_cast<wxWindow*>(event.GetEventObject());
    if (!model_.state.showElevationStrip) {
        wxPaintDC dc(strip);
        return;
    }
    PaintCells(*strip, kLevelCount, [this](int i) {
        const Bgr c = model_.state.options.colours[static_cast<std::size_t>(i)];
        return wxColour(c.red, c.green, c.blue);
    });
}

// QuorlinUi.

void CQuorlinDlg::Message(std::string_view text, Icon icon, std::string_view caption) {
    const unsigned style = icon == Icon::kStop            ? platform::mb::kIconHand
                           : icon == Icon::kExclamation ? platform::mb::kIconExclamation
                                                        : platform::mb::kIconInformation;
    platform::ShowMessageBox(this, platform::FromUtf8(text), platform::FromUtf8(caption),
                             platform::mb::kOk | style | platform::mb::kTopmost);
}

bool CQuorlinDlg::Ask(std::string_view text, std::string_view title) {
    return platform::ShowMessageBox(this, platform::FromUtf8(text), platform::FromUtf8(title),
                                    platform::mb::kYesNo | platform::mb::kIconExclamation | platform::mb::kTopmost) ==
           platform::kIdYes;
}

void CQuorlinDlg::Progress(std::string_view text) {
    progressText_ = Text(text);
    if (text.empty() || std::chrono::steady_clock::now() - progressShown_ >= kProgressInterval) return ShowProgress();
    if (!progressTimer_.IsRunning()) progressTimer_.StartOnce(static_cast<int>(kProgressInterval.count()));
}

void CQuorlinDlg::ShowProgress() {
    progressTimer_.Stop();
    progressShown_ = std::chrono::steady_clock::now();
    if (wxWindow* line = FindWindow(kProgress)) {
        line->SetLabel(progressText_);
        line->Refresh();
        line->Update();
    }
}

void CQuorlinDlg::Pump() {
    // A conversion pumps once per ring, tens of thousands of times: events
    // are let through at most every 10 ms, often enough for the window.
    const auto now = std::chrono::steady_clock::now();
    if (now - pumped_ < kPumpInterval) return;
    pumped_ = now;
    if (wxTheApp) wxTheApp->Yield(true);
}

void CQuorlinDlg::EnableDialog(bool enable) {
    if (!enable) {
        disabled_.clear();
        for (wxWindow* child : GetChildren()) {
            if (child->IsEnabled()) {
                disabled_.push_back(child);
                child->Disable();
            }
        }
        return;
    }
    for (wxWindow* child : disabled_) child->Enable();
    disabled_.clear();
}

std::optional<ChosenFile> CQuorlinDlg::ChooseOpenFile(const FileChoice& choice) {
    platform::gui::FileDialogRequest dialog;
    dialog.title = "Select a file";
    dialog.name = choice.initial;
    dialog.wildcard = WxFilter(choice.filter);
    dialog.filterIndex = std::max(choice.filterIndex - 1, 0);
    const auto answer = platform::gui::ShowFileDialog(this, dialog);
    if (!answer) return std::nullopt;
    return ChosenFile{answer->path, answer->filterIndex + 1};
}

std::optional<ChosenFile> CQuorlinDlg::ChooseSaveFile(const FileChoice& choice) {
    platform::gui::FileDialogRequest dialog;
    dialog.title = "Select a file";
    dialog.name = choice.initial;
    dialog.wildcard = WxFilter(choice.filter);
    dialog.filterIndex = std::max(choice.filterIndex - 1, 0);
    dialog.save = true;
    const auto answer = platform::gui::ShowFileDialog(this, dialog);
    if (!answer) return std::nullopt;
    std::filesystem::path path = answer->path;
    if (path.filename().string().find('.') == std::string::npos) path += choice.defaultExtension;
    return ChosenFile{path, answer->filterIndex + 1};
}

std::optional<Bgr> CQuorlinDlg::ChooseColour() {
    const wxColour initial =
        lastColour_ ? wxColour(lastColour_->red, lastColour_->green, lastColour_->blue) : *wxBLACK;
    const auto c = platform::gui::ChooseColour(this, initial, "Map colour");
    if (!c) return std::nullopt;
    lastColour_ = Bgr{c->Blue(), c->Green(), c->Red()};
    return lastColour_;
}

std::optional<double> CQuorlinDlg::InputNumber(std::string_view prompt, double initial) {
    return RunNumberForm(this, prompt, initial);
}

std::optional<Corner> CQuorlinDlg::InputCoordinates(std::string_view prompt, Corner initial) {
    return RunCoordinateForm(this, prompt, initial);
}

bool CQuorlinDlg::EditThresholds() { return RunThresholdsDialog(this, store_); }


void ShowAboutBox(wxWindow* parent) {
    wxDialog about;
    if (!wxXmlResource::Get()->LoadDialog(&about, parent, std::to_string(kAboutTemplate))) return;
    platform::gui::ShowModalOnScreen(about);
}

}  // namespace quorlin
