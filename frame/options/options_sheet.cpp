#include "frame/options/options_sheet.h"

#include <wx/button.h>
#include <wx/gdicmn.h>
#include <wx/choicebk.h>
#include <wx/sizer.h>

#include "frame/options/alarm_zones_page.h"
#include "frame/options/compass_page.h"
#include "frame/options/events_page.h"
#include "frame/options/flarm_page.h"
#include "frame/options/fonts_page.h"
#include "frame/options/general_pages.h"
#include "frame/options/glide_pages.h"
#include "frame/options/map_pages.h"
#include "frame/options/options_page.h"
#include "frame/options/team_page.h"
#include "frame/options/wind_page.h"
#include "platform/gui/screen_fit.h"
#include "resources/ids/strings_options.h"
#include "services/string_resources.h"

namespace frame {

int g_nLastOptionsPage = 0;

namespace {
using ids::kIdsSettingsTitle;
// Room for the tallest pages but one on an 800 x 480 screen (the sheet is
// cut to a smaller work area when shown); taller pages scroll.
constexpr int kSheetWidth = 560;
constexpr int kSheetHeight = 460;
// The least height of the pages' area, their list above it.
constexpr int kLeastPageHeight = 160;
}  // namespace

CKOR_VANoptions::CKOR_VANoptions(const wxString& caption, wxWindow* parent, unsigned startPage)
    : wxDialog(parent, wxID_ANY, caption, wxDefaultPosition, wxSize(kSheetWidth, kSheetHeight),
               wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER) {
    g_nScrollUnit = ScrollUnitForDpi(wxGetDisplayPPI().GetWidth());
    // Nineteen tabs do not fit a hand-held screen: the pages are chosen from
    // a list above them.
    book_ = new wxChoicebook(this, wxID_ANY);
    // The order of the tabs is the order pilots know.
    AddPage(std::make_unique<CKOR_VANoptionsLog>());
    AddPage(std::make_unique<CKOR_VANoptionsMaps>());
    AddPage(std::make_unique<COptionsThermalMode>());
    AddPage(std::make_unique<COptionsPolars>());
    AddPage(std::make_unique<CKOR_VANoptionsMisc>());
    AddPage(std::make_unique<CKOR_VANoptionsMisc2>());
    AddPage(std::make_unique<COptionsCompass>());
    AddPage(std::make_unique<COptionsWinds>());
    AddPage(std::make_unique<COptionsAlarmZones>());
    AddPage(std::make_unique<COptionsShowQueue>());
    AddPage(std::make_unique<COptionsOLCdistance>());
    AddPage(std::make_unique<COptionsTeam>());
    AddPage(std::make_unique<COptionsEvents>());
    AddPage(std::make_unique<CKOR_VANoptionsUnits>());
    AddPage(std::make_unique<COptionsTasks>());
    AddPage(std::make_unique<CReachableOutlineOptions>());
    AddPage(std::make_unique<CKOR_VANoptionsUTM>());
    AddPage(std::make_unique<COptionsFonts>());
    // The 19th page, only while the FLARM library's object exists.
    if (FlarmPresent()) AddPage(std::make_unique<CFLARMoptions>());

    // The pages scroll what they cannot show, so the sheet never asks for
    // more height than the screen leaves: else the whole sheet scrolled and
    // OK and Cancel lay below the screen's edge.
    book_->SetMinSize(wxSize(book_->GetBestSize().x, kLeastPageHeight));
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(book_, 1, wxEXPAND | wxALL, 4);
    sizer->Add(CreateStdDialogButtonSizer(wxOK | wxCANCEL), 0, wxEXPAND | wxALL, 4);
    SetSizer(sizer);

    const std::wstring title = core::LoadResourceString(kIdsSettingsTitle);
    if (!title.empty()) SetTitle(title);

    book_->Bind(wxEVT_CHOICEBOOK_PAGE_CHANGING, &CKOR_VANoptions::OnPageChanging, this);
    book_->Bind(wxEVT_CHOICEBOOK_PAGE_CHANGED, &CKOR_VANoptions::OnPageChanged, this);
    Bind(wxEVT_BUTTON, &CKOR_VANoptions::OnOK, this, wxID_OK);
    SetActivePage(static_cast<int>(startPage) < PageCount() ? static_cast<int>(startPage) : 0);
}

CKOR_VANoptions::~CKOR_VANoptions() = default;

void CKOR_VANoptions::AddPage(std::unique_ptr<COptionsPage> page) {
    if (!page->CreatePage(book_)) return;  // a bundle without the template
    COptionsPage* raw = page.release();  // the book owns its pages from here
    book_->AddPage(raw, raw->Title());
    pages_.push_back(raw);
}

int CKOR_VANoptions::PageCount() const {
    return static_cast<int>(pages_.size());
}

COptionsPage* CKOR_VANoptions::Page(int index) const {
    return index >= 0 && index < PageCount() ? pages_[static_cast<std::size_t>(index)] : nullptr;
}

int CKOR_VANoptions::ActivePage() const {
    return book_->GetSelection();
}

void CKOR_VANoptions::SetActivePage(int index) {
    if (Page(index) == nullptr) return;
    book_->ChangeSelection(static_cast<std::size_t>(index));
    Page(index)->Activate();
}

void CKOR_VANoptions::OnPageChanging(wxBookCtrlEvent& event) {
    COptionsPage* leaving = Page(event.GetOldSelection());
    if (leaving != nullptr && !leaving->Validate()) event.Veto();
}

void CKOR_VANoptions::OnPageChanged(wxBookCtrlEvent& event) {
    if (COptionsPage* page = Page(event.GetSelection())) page->Activate();
}

bool CKOR_VANoptions::ApplyAll() {
    // The page on show first: its refusal keeps the sheet where the pilot is.
    const int active = ActivePage();
    if (Page(active) != nullptr && !Page(active)->Validate()) return false;
    for (int i = 0; i < PageCount(); ++i) {
        if (i != active && !Page(i)->Validate()) {
            SetActivePage(i);
            return false;
        }
    }
    for (COptionsPage* page : pages_) page->OnApply();
    g_nLastOptionsPage = active;
    return true;
}

void CKOR_VANoptions::OnOK(wxCommandEvent&) {
    if (ApplyAll()) EndModal(wxID_OK);
}

int RunOptionsSheet(wxWindow* parent, int startPage) {
    CKOR_VANoptions sheet("KOR_VAN options", parent, static_cast<unsigned>(startPage));
    return platform::gui::ShowModalOnScreen(sheet);
}

}  // namespace frame
