#include "frame/small_dialogs.h"

#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/xrc/xmlres.h>

#include <string>

#include "frame/dialog_controls.h"
#include "frame/main_frame.h"
#include "platform/gui/ddx.h"
#include "platform/gui/screen_fit.h"
#include "platform/settings_store.h"
#include "recorder/logger_library.h"
#include "resources/ids/about_box.h"
#include "resources/ids/frame_dialogs.h"
#include "resources/ids/help_dialog.h"
#include "resources/ids/strings.h"
#include "services/module_services.h"
#include "services/string_resources.h"

namespace frame {
namespace {

namespace gui = platform::gui;

const wxSize kHelpPageSize(760, 440);
using xrc::frame_dialogs::kConfirmDeclare;
using xrc::frame_dialogs::kConfirmTemplate;
using xrc::frame_dialogs::kExportEightBits;
using xrc::frame_dialogs::kExportScale;
using xrc::frame_dialogs::kMapExportTemplate;
using xrc::about_box::kAboutClose;
using xrc::about_box::kAboutLandscape;
using xrc::about_box::kAboutLogger;
using xrc::about_box::kAboutMaker;
using xrc::about_box::kAboutPortrait;
using xrc::about_box::kAboutTitle;
using xrc::about_box::kAboutWhat;
using xrc::help_dialog::kHelpPage;
constexpr int kAboutTextWidth = 320;
using ids::kIdsAboutWhat;
using ids::kIdsAboutMaker;
using ids::kIdsAboutTitle;

}  // namespace

CAboutDlg::CAboutDlg(wxWindow* parent, int loggerType) : loggerType_(loggerType) {
    loaded_ = wxXmlResource::Get()->LoadDialog(
        this, parent, std::to_string(g_bPortrait != 0 ? kAboutPortrait : kAboutLandscape));
    if (loaded_) Bind(wxEVT_INIT_DIALOG, &CAboutDlg::OnInitDialog, this);
    if (loaded_) Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { EndModal(wxID_OK); }, kAboutClose);
}

void CAboutDlg::OnInitDialog(wxInitDialogEvent& /*event*/) {
    const std::wstring title =
        core::LoadResourceString(kIdsAboutTitle) + L" " + core::GetProgramVersionText();
    SetControlText(*this, kAboutTitle, PatchAboutTitle(title));
    if (const auto name = LoggerTypeName(loggerType_)) SetControlText(*this, kAboutLogger, *name);
    SetControlText(*this, kAboutWhat, core::LoadResourceString(kIdsAboutWhat));
    SetControlText(*this, kAboutMaker, core::LoadResourceString(kIdsAboutMaker));
    // The texts replace the layout's own: the box grows to hold them, the
    // long line broken where a narrow screen needs it.
    if (auto* what = dynamic_cast<wxStaticText*>(FindWindow(kAboutWhat)))
        what->Wrap(kAboutTextWidth);
    if (GetSizer() != nullptr) GetSizer()->SetSizeHints(this);
    gui::FitOnScreen(*this);
    FocusControl(*this, kAboutClose);
}

void ShowAboutBox(wxWindow* parent) {
    CAboutDlg dialog(parent, recorder::LoggerType());
    dialog.DoModal();
}

bool ShowHelpPage(wxWindow* parent) {
    wxDialog dialog;
    if (!wxXmlResource::Get()->LoadDialog(&dialog, parent, std::to_string(kHelpPage))) return false;
    // The page's sizer asks next to nothing for its text: without a size
    // the window shrank to its OK button. It takes the size it was written
    // for, as far as the screen allows.
    dialog.SetSize(kHelpPageSize);
    gui::ShowModalOnScreen(dialog);
    return true;
}

CMapExportDlg::CMapExportDlg(wxWindow* parent, MapExportValues values) : values_(values) {
    loaded_ = wxXmlResource::Get()->LoadDialog(this, parent, std::to_string(kMapExportTemplate));
    if (!loaded_) return;
    Bind(wxEVT_INIT_DIALOG, &CMapExportDlg::OnInitDialog, this);
    Bind(wxEVT_BUTTON, &CMapExportDlg::OnOK, this, wxID_OK);
}

namespace {

void ExchangeExport(gui::CDataExchange* pDX, MapExportValues& values) {
    gui::DDX_TextFloat(pDX, kExportScale, values.scale);
    gui::DDV_MinMaxFloat(pDX, values.scale, 1.0F, 50.0F);
    gui::DDX_Check(pDX, kExportEightBits, values.eightBits);
}

}  // namespace

void CMapExportDlg::OnInitDialog(wxInitDialogEvent& /*event*/) {
    gui::UpdateData(*this, false, [this](gui::CDataExchange* pDX) { ExchangeExport(pDX, values_); });
}

void CMapExportDlg::OnOK(wxCommandEvent& /*event*/) {
    if (!gui::UpdateData(*this, true,
                         [this](gui::CDataExchange* pDX) { ExchangeExport(pDX, values_); })) {
        return;
    }
    EndDialog(wxID_OK);
}

std::optional<MapExportValues> RunMapExportDialog(wxWindow* parent) {
    platform::SettingsStore& store = platform::AppSettings();
    CMapExportDlg dialog(parent, LoadMapExportValues(store));
    if (dialog.DoModal() != wxID_OK) return std::nullopt;
    StoreMapExportValues(store, dialog.Values());
    return dialog.Values();
}

CDeclareConfirmDlg::CDeclareConfirmDlg(wxWindow* parent) {
    loaded_ = wxXmlResource::Get()->LoadDialog(this, parent, std::to_string(kConfirmTemplate));
    if (!loaded_) return;
    Bind(wxEVT_INIT_DIALOG, &CDeclareConfirmDlg::OnInitDialog, this);
    Bind(wxEVT_BUTTON, &CDeclareConfirmDlg::OnDeclare, this, kConfirmDeclare);
    Bind(wxEVT_BUTTON, &CDeclareConfirmDlg::OnCancel, this, wxID_CANCEL);
    Bind(wxEVT_CHAR_HOOK, &CDeclareConfirmDlg::OnCharHook, this);
    Bind(wxEVT_SIZE, &CDeclareConfirmDlg::OnSize, this);
    // Enter has no button to press.
    SetAffirmativeId(wxID_NONE);
}

void CDeclareConfirmDlg::OnInitDialog(wxInitDialogEvent& event) {
    initial_ = GetRect();
    event.Skip();
}

void CDeclareConfirmDlg::OnDeclare(wxCommandEvent& /*event*/) {
    m_nResult = 2;
    EndDialog(wxID_OK);
}

void CDeclareConfirmDlg::OnCancel(wxCommandEvent& /*event*/) {
    m_nResult = 1;
    EndDialog(wxID_CANCEL);
}

void CDeclareConfirmDlg::OnCharHook(wxKeyEvent& event) {
    if (event.GetKeyCode() == WXK_RETURN || event.GetKeyCode() == WXK_NUMPAD_ENTER) return;
    event.Skip();
}

void CDeclareConfirmDlg::OnSize(wxSizeEvent& event) {
    event.Skip();
    if (initial_.IsEmpty()) return;
    const wxSize now = event.GetSize();
    switch (DeclareConfirmResize({initial_.width, initial_.height}, {now.x, now.y})) {
        case ConfirmResize::kDefault:
            break;
        case ConfirmResize::kRestoreInitial:
            SetSize(initial_.GetSize());
            Raise();
            Centre();
            break;
        case ConfirmResize::kCentre:
            Centre();
            break;
    }
}

bool ConfirmDeclaration(wxWindow* parent) {
    CDeclareConfirmDlg dialog(parent);
    // Enter cannot close it, so one run gives the answer.
    dialog.DoModal();
    return dialog.m_nResult == 2;
}

}  // namespace frame
