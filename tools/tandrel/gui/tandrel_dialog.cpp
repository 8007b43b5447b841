#include "tools/tandrel/gui/tandrel_dialog.h"

#include <wx/button.h>
#include <wx/colour.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/utils.h>
#include <wx/xrc/xmlres.h>

#include <string>
#include <utility>

#include "mapdata/map_palette.h"
#include "platform/gui/colour_dialog.h"
#include "platform/gui/file_dialog.h"
#include "platform/gui/screen_fit.h"
#include "platform/message_box.h"
#include "platform/utf.h"
#include "tools/tandrel/resources/ids/tandrel.h"
#include "tools/tandrel/tandrel_settings.h"

namespace tandrel {
namespace {

namespace gui = platform::gui;

using namespace xrc::tandrel;

wxColour Colour(const mapdata::Rgb& rgb) { return {rgb.red, rgb.green, rgb.blue}; }

int ShowBox(std::string_view text, std::string_view caption, unsigned style) {
    return platform::ShowMessageBox(nullptr, platform::FromUtf8(text), platform::FromUtf8(caption), style);
}

// The engine's questions as message boxes; progress pumps the events that
// keep the window alive, with every window disabled meanwhile.
class DialogPrompts final : public ConversionPrompts {
  public:
    explicit DialogPrompts(wxDialog& dialog) : dialog_(dialog) {}

    void Tell(std::string_view text, std::string_view caption, std::optional<int> focus) override {
        ShowBox(text, caption, platform::mb::kOk | platform::mb::kIconExclamation);
        if (focus)
            if (wxWindow* control = dialog_.FindWindow(*focus)) control->SetFocus();
    }
    bool Ask(std::string_view text, std::string_view caption) override {
        return ShowBox(text, caption, platform::mb::kYesNo | platform::mb::kIconQuestion) == platform::kIdYes;
    }
    void Progress(std::string_view identifier) override {
        if (auto* name = dynamic_cast<wxStaticText*>(dialog_.FindWindow(kRunningName)))
            name->SetLabel(wxString::FromUTF8(identifier.data(), identifier.size()));
        wxSafeYield(nullptr, true);
    }

  private:
    wxDialog& dialog_;
};

// Exchanges a check box with a bool member.
void DDX_Bool(gui::CDataExchange* pDX, int id, bool& value) {
    int checked = value ? 1 : 0;
    gui::DDX_Check(pDX, id, checked);
    value = checked != 0;
}

}  // namespace

CTandrelDlg::CTandrelDlg(wxWindow* parent, platform::SettingsStore& store,
                         std::filesystem::path defaultFolder, std::string versionText)
    : store_(store), defaultFolder_(std::move(defaultFolder)), versionText_(std::move(versionText)) {
    LoadOptions(store_, options_);
    loaded_ = wxXmlResource::Get()->LoadDialog(this, parent, std::to_string(kMainDialog));
    if (!loaded_) return;
    Bind(wxEVT_INIT_DIALOG, &CTandrelDlg::OnInitDialog, this);
    Bind(wxEVT_BUTTON, &CTandrelDlg::OnRun, this, kRun);
    Bind(wxEVT_BUTTON, &CTandrelDlg::OnDone, this, kDone);
    Bind(wxEVT_BUTTON, &CTandrelDlg::OnDone, this, wxID_CANCEL);
    Bind(wxEVT_CLOSE_WINDOW, &CTandrelDlg::OnClose, this);
    Bind(wxEVT_BUTTON, &CTandrelDlg::OnSetOutputFile, this, kSetOutput);
    Bind(wxEVT_BUTTON, &CTandrelDlg::OnSetFill, this, kSetFill);
    Bind(wxEVT_TEXT, &CTandrelDlg::OnBorderColourChange, this, kBorderColourEdit);
    Bind(wxEVT_BUTTON, &CTandrelDlg::OnAbout, this, kAboutButton);
}

bool CTandrelDlg::OpenDafifFiles(const FolderChooser& chooser) {
    std::filesystem::path folder = LoadDafifFolder(store_);
    if (folder.empty()) folder = defaultFolder_;
    for (;;) {
        DafifOpening opening = OpenDafifFolder(folder);
        if (opening.missing.empty()) {
            files_ = std::move(opening.files);
            return true;
        }
        ShowBox(CannotOpenText(opening.missing), "Bad File", platform::mb::kOk | platform::mb::kIconHand);
        const auto chosen = chooser ? chooser() : std::nullopt;
        if (!chosen) return false;
        folder = *chosen;
        SaveDafifFolder(store_, folder);
    }
}

int CTandrelDlg::DoModal() {
    return loaded_ ? platform::gui::ShowModalOnScreen(*this) : -1;
}

void CTandrelDlg::OnInitDialog(wxInitDialogEvent& /*event*/) {
    gui::UpdateData(*this, false, [this](gui::CDataExchange* pDX) { DoDataExchange(pDX); });
    ShowSwatches();
    ShowRunning(false);
}

void CTandrelDlg::DoDataExchange(gui::CDataExchange* pDX) {
    TandrelOptions& o = options_;
    gui::DDX_TextDouble(pDX, kNorth, o.north);
    gui::DDV_MinMaxDouble(pDX, o.north, 0, 90);
    gui::DDX_TextDouble(pDX, kSouth, o.south);
    gui::DDV_MinMaxDouble(pDX, o.south, 0, 90);
    gui::DDX_TextDouble(pDX, kEast, o.east);
    gui::DDV_MinMaxDouble(pDX, o.east, 0, 180);
    gui::DDX_TextDouble(pDX, kWest, o.west);
    gui::DDV_MinMaxDouble(pDX, o.west, 0, 180);
    gui::DDX_Radio(pDX, kNorthNS, o.northNS);
    gui::DDX_Radio(pDX, kSouthNS, o.southNS);
    gui::DDX_Radio(pDX, kEastEW, o.eastEW);
    gui::DDX_Radio(pDX, kWestEW, o.westEW);
    std::wstring country = platform::FromUtf8(o.country);
    gui::DDX_TextString(pDX, kCountryEdit, country);
    gui::DDV_MaxChars(pDX, country, 8);
    o.country = platform::ToUtf8(country);
    DDX_Bool(pDX, kStrict, o.strict);
    DDX_Bool(pDX, kSkipHigh, o.skipHigh);
    gui::DDX_TextDouble(pDX, kMaxBottom, o.maxBottom);
    gui::DDV_MinMaxDouble(pDX, o.maxBottom, 1000, 100000);
    gui::DDX_Radio(pDX, kUnits, o.units);
    gui::DDX_TextDouble(pDX, kTopOffset, o.topOffset);
    gui::DDV_MinMaxDouble(pDX, o.topOffset, 0, 20000);
    gui::DDX_TextDouble(pDX, kBottomOffset, o.bottomOffset);
    gui::DDV_MinMaxDouble(pDX, o.bottomOffset, -1000, 20000);
    gui::DDX_TextInt(pDX, kBorderColourEdit, o.borderColour);
    gui::DDV_MinMaxInt(pDX, o.borderColour, 0, 16);
    DDX_Bool(pDX, kUseFill, o.fill);
    DDX_Bool(pDX, kWideBorder, o.wideBorder);
    DDX_Bool(pDX, kUseAnd, o.useAnd);
    DDX_Bool(pDX, kNoNotes, o.noNotes);
    int zeroAgl = static_cast<int>(o.zeroAgl);
    gui::DDX_Radio(pDX, kZeroAgl, zeroAgl);
    o.zeroAgl = static_cast<ZeroAgl>(std::clamp(zeroAgl, 0, 2));
    DDX_Bool(pDX, kExceptionRemarks, o.exceptionRemarks);
    for (int id = kFirstClassBox; id <= kLastSpecialBox; ++id) {
        bool on = o.Box(id);
        DDX_Bool(pDX, id, on);
        o.SetBox(id, on);
    }
    if (!pDX->m_bSaveAndValidate || pDX->Failed()) return;
    if (const auto error = ValidateOptions(o)) {
        if (error->focus) pDX->PrepareCtrl(*error->focus);
        ShowBox(error->text, error->caption, platform::mb::kOk | platform::mb::kIconExclamation);
        pDX->Fail();
    }
}

void CTandrelDlg::SetOutputFile(const std::filesystem::path& path) {
    options_.output = path;
    if (wxWindow* name = FindWindow(kOutputName))
        name->SetLabel(wxString::FromUTF8(ShortenedPath(path.string())));
}

void CTandrelDlg::RunConversion() {
    if (running_) return;
    if (!gui::UpdateData(*this, true, [this](gui::CDataExchange* pDX) { DoDataExchange(pDX); }))
        return;
    if (!SaveOptions(store_, options_))
        ShowBox("The options could not be saved.", "Tandrel", platform::mb::kOk | platform::mb::kIconExclamation);
    running_ = true;
    ShowRunning(true);
    DialogPrompts prompts(*this);
    tandrel::RunConversion(options_, {&files_, versionText_}, prompts);
    if (wxWindow* name = FindWindow(kRunningName)) name->SetLabel("-----");
    ShowRunning(false);
    running_ = false;
}

void CTandrelDlg::OnRun(wxCommandEvent& /*event*/) {
    RunConversion();
}

void CTandrelDlg::OnDone(wxCommandEvent& /*event*/) {
    if (!running_) EndModal(wxID_OK);
}

void CTandrelDlg::OnClose(wxCloseEvent& event) {
    if (running_ && event.CanVeto()) {
        event.Veto();
        return;
    }
    EndModal(wxID_CANCEL);
}

void CTandrelDlg::OnSetOutputFile(wxCommandEvent& /*event*/) {
    if (running_) return;
    platform::gui::FileDialogRequest dialog;
    dialog.title = "Output file";
    dialog.wildcard = "Map files (*.map)|*.map|All files   (*.*)|*.*";
    dialog.save = true;
    dialog.overwritePrompt = false;
    const auto answer = platform::gui::ShowFileDialog(this, dialog);
    if (!answer) return;
    std::filesystem::path path = answer->path;
    if (!path.has_extension() && answer->filterIndex == 0) path += ".map";
    SetOutputFile(path);
}

void CTandrelDlg::OnSetFill(wxCommandEvent& /*event*/) {
    if (running_) return;
    const auto chosen =
        platform::gui::ChooseColour(this, Colour(mapdata::RgbFromColorref(options_.fillColour)), "Fill colour");
    if (!chosen) return;
    options_.fillColour = mapdata::ColorrefFromRgb({chosen->Red(), chosen->Green(), chosen->Blue()});
    ShowSwatches();
}

void CTandrelDlg::OnBorderColourChange(wxCommandEvent& /*event*/) {
    ShowSwatches();
}

void CTandrelDlg::OnAbout(wxCommandEvent& /*event*/) {
    ShowAboutBox(this, versionText_);
}

void CTandrelDlg::ShowSwatches() {
    if (wxWindow* fill = FindWindow(kFillSwatch)) {
        fill->SetBackgroundColour(Colour(mapdata::RgbFromColorref(options_.fillColour)));
        fill->Refresh();
    }
    wxWindow* border = FindWindow(kBorderSwatch);
    const auto* edit = dynamic_cast<wxTextCtrl*>(FindWindow(kBorderColourEdit));
    if (border == nullptr || edit == nullptr) return;
    long number = 0;
    const auto colour = edit->GetValue().ToLong(&number) ? mapdata::PaletteColour(static_cast<int>(number))
                                                         : std::nullopt;
    border->Show(colour.has_value());
    if (colour) {
        border->SetBackgroundColour(Colour(*colour));
        border->Refresh();
    }
}

void CTandrelDlg::ShowRunning(bool running) {
    if (wxWindow* label = FindWindow(kRunningLabel)) label->Show(running);
    if (wxWindow* name = FindWindow(kRunningName)) name->Show(running);
    if (wxWindow* run = FindWindow(kRun)) run->Show(!running);
    Layout();
}

void ShowAboutBox(wxWindow* parent, const std::string& versionText) {
    wxDialog about;
    if (!wxXmlResource::Get()->LoadDialog(&about, parent, std::to_string(kAboutTemplate))) return;
    if (wxWindow* line = about.FindWindow(kAboutVersion))
        line->SetLabel(wxString::FromUTF8("Vostrel Version " + versionText));
    platform::gui::ShowModalOnScreen(about);
}

}  // namespace tandrel
