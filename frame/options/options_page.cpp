#include "frame/options/options_page.h"

#include <wx/scrolwin.h>
#include <wx/sizer.h>
#include <wx/spinbutt.h>
#include <wx/textctrl.h>
#include <wx/xrc/xmlres.h>

#include <algorithm>
#include <string>

namespace frame {

namespace gui = platform::gui;

COptionsPage::COptionsPage(int templateId, wxString title)
    : templateId_(templateId), title_(std::move(title)) {}

bool COptionsPage::CreatePage(wxWindow* book) {
    return wxXmlResource::Get()->LoadPanel(this, book, std::to_string(templateId_));
}

void COptionsPage::Activate() {
    if (initialised_) return;
    initialised_ = true;
    OnInitDialog();
    gui::UpdateData(*this, false, [this](gui::CDataExchange* pDX) { DoDataExchange(pDX); });
    // The texts just set (units, names) take their room.
    SendSizeEvent();
}

bool COptionsPage::Validate() {
    if (!initialised_) return true;
    return gui::UpdateData(*this, true, [this](gui::CDataExchange* pDX) { DoDataExchange(pDX); });
}

void COptionsPage::SetLabel(int id, const wxString& text) {
    if (wxWindow* control = FindWindow(id)) control->SetLabel(text);
}

void COptionsPage::Enable(int id, bool enable) {
    if (wxWindow* control = FindWindow(id)) control->Enable(enable);
}

void COptionsPage::Show(int id, bool show) {
    if (wxWindow* control = FindWindow(id)) control->Show(show);
}

void COptionsPage::SetSpin(int id, int minimum, int maximum, int position, int buddyId) {
    auto* spin = dynamic_cast<wxSpinButton*>(FindWindow(id));
    if (spin == nullptr) return;
    spin->SetRange(minimum, maximum);
    spin->SetValue(position);
    spin->Bind(wxEVT_SPIN, [this, buddyId](wxSpinEvent& event) {
        if (auto* buddy = dynamic_cast<wxTextCtrl*>(FindWindow(buddyId))) {
            buddy->ChangeValue(std::to_string(event.GetPosition()));
        }
    });
}

CScrolledPropertyPage::CScrolledPropertyPage(int templateId, wxString title, int lastControlId)
    : COptionsPage(templateId, std::move(title)), lastControlId_(lastControlId) {
    Bind(wxEVT_SCROLLWIN_TOP, &CScrolledPropertyPage::OnVScroll, this);
    Bind(wxEVT_SCROLLWIN_BOTTOM, &CScrolledPropertyPage::OnVScroll, this);
    Bind(wxEVT_SCROLLWIN_LINEUP, &CScrolledPropertyPage::OnVScroll, this);
    Bind(wxEVT_SCROLLWIN_LINEDOWN, &CScrolledPropertyPage::OnVScroll, this);
    Bind(wxEVT_SCROLLWIN_PAGEUP, &CScrolledPropertyPage::OnVScroll, this);
    Bind(wxEVT_SCROLLWIN_PAGEDOWN, &CScrolledPropertyPage::OnVScroll, this);
    Bind(wxEVT_SCROLLWIN_THUMBTRACK, &CScrolledPropertyPage::OnVScroll, this);
    Bind(wxEVT_SIZE, &CScrolledPropertyPage::OnSize, this);
}

void CScrolledPropertyPage::OnInitDialog() {
    scrollReady_ = false;
    scroll_ = ScrollState{};
    scroll_.unit = g_nScrollUnit;
    LayOutUnscrolled();
    const int clientHeight = GetClientSize().GetHeight();
    scroll_.contentBottom = ContentBottom(clientHeight - 10, scroll_.unit);
    const wxWindow* last = lastControlId_ != 0 ? FindWindow(lastControlId_) : nullptr;
    if (last != nullptr) scroll_.contentBottom = ContentBottom(last->GetRect().GetBottom() + 1, scroll_.unit);
    if (last != nullptr) {
        UpdateScrollRange(scroll_, clientHeight);
        UpdateBar();
    }
    scrollReady_ = true;
}

void CScrolledPropertyPage::OnVScroll(wxScrollWinEvent& event) {
    if (event.GetOrientation() != wxVERTICAL) return;
    const wxEventType type = event.GetEventType();
    ScrollCode code = ScrollCode::kOther;
    if (type == wxEVT_SCROLLWIN_LINEUP) code = ScrollCode::kLineUp;
    else if (type == wxEVT_SCROLLWIN_LINEDOWN) code = ScrollCode::kLineDown;
    else if (type == wxEVT_SCROLLWIN_PAGEUP) code = ScrollCode::kPageUp;
    else if (type == wxEVT_SCROLLWIN_PAGEDOWN) code = ScrollCode::kPageDown;
    else if (type == wxEVT_SCROLLWIN_THUMBTRACK) code = ScrollCode::kThumbTrack;
    else if (type == wxEVT_SCROLLWIN_TOP) code = ScrollCode::kTop;
    else if (type == wxEVT_SCROLLWIN_BOTTOM) code = ScrollCode::kBottom;
    MoveContents(Scroll(scroll_, code, event.GetPosition()));
}

// The sizer lays the controls out afresh at their unscrolled places; they
// then move up by the scroll offset again.
void CScrolledPropertyPage::OnSize(wxSizeEvent&) {
    LayOutUnscrolled();
    if (!scrollReady_) return;
    Resize(scroll_, GetClientSize().GetHeight());
    MoveContents(scroll_.scrollOffset);
}

void CScrolledPropertyPage::LayOutUnscrolled() {
    wxSizer* sizer = GetSizer();
    if (sizer == nullptr) {
        Layout();
        return;
    }
    const wxSize client = GetClientSize();
    sizer->SetDimension(wxPoint(0, 0), wxSize(client.x, std::max(client.y, sizer->GetMinSize().y)));
}

void CScrolledPropertyPage::ScrollToTop() {
    MoveContents(frame::ScrollToTop(scroll_));
}

void CScrolledPropertyPage::MoveContents(int pixels) {
    if (pixels != 0) {
        for (wxWindow* child : GetChildren()) child->Move(child->GetPosition() + wxPoint(0, pixels));
        Refresh();
    }
    UpdateBar();
}

void CScrolledPropertyPage::UpdateBar() {
    // Range 0..max with a one-step thumb; wx counts the range past the thumb.
    SetScrollbar(wxVERTICAL, scroll_.scrollPos, 1, scroll_.scrollMax + 1);
}

}  // namespace frame
