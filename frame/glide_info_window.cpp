#include "frame/glide_info_window.h"

#include <wx/button.h>
#include <wx/dcclient.h>
#include <wx/spinbutt.h>

#include "frame/glide_info_values.h"
#include "frame/position_layout.h"
#include "frame/position_spin.h"

namespace frame {
namespace {

// Two finger-sized buttons side by side at the right end; the line
// between them and the close button.
constexpr int kSpinX = 167;
const wxSize kSpinSize{2 * kFingerButton, 41};
const wxRect kLineRect{42, 0, kSpinX - 44, 36};

}  // namespace

CGlideInfoWnd::CGlideInfoWnd(wxWindow* owner, const wxPoint& position, const wxSize& size)
    : wxWindow(owner, kId, position, size, wxBORDER_NONE, "SettingsChange") {
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    close_ = new wxButton(this, kCloseButtonId, "OK", wxPoint(4, 4), wxSize(34, 34),
                          wxBU_EXACTFIT | wxBORDER_SIMPLE);
    spin_ = new PositionSpin(this, kSpinId, wxPoint(kSpinX, 0), kSpinSize);
    spin_->SetRange(-1000, 1000);
    spin_->SetValue(0);
    Bind(wxEVT_PAINT, &CGlideInfoWnd::OnPaint, this);
    Bind(wxEVT_LEFT_UP, &CGlideInfoWnd::OnLeftUp, this);
    Bind(wxEVT_SHOW, &CGlideInfoWnd::OnShow, this);
    Bind(wxEVT_SIZE, &CGlideInfoWnd::OnSize, this);
    spin_->Bind(wxEVT_SPIN_UP, &CGlideInfoWnd::OnSpin, this);
    spin_->Bind(wxEVT_SPIN_DOWN, &CGlideInfoWnd::OnSpin, this);
    close_->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnCloseButton(); });
    Hide();
}

void CGlideInfoWnd::SetLineFont(const platform::Font& font) {
    font_ = font;
    Refresh(false);
}

void CGlideInfoWnd::OpenMode(int mode) {
    model_.Open(mode, LoadGlideValues(), CurrentGlideUnits());
    Refresh(false);
}

void CGlideInfoWnd::ClearKeys() {
    keyFlags[0] = keyFlags[1] = false;
    if (onClearPendingKeys) onClearPendingKeys();
}

void CGlideInfoWnd::Apply(unsigned change) {
    ApplyGlideValues(change, model_.Values());
    if ((change & kGlideNextMode) != 0 && onNextMode) onNextMode(model_.Mode());
    Refresh(false);
}

void CGlideInfoWnd::StepSelectedValue(int delta) {
    Apply(model_.StepSelectedValue(delta));
    ClearKeys();
}

void CGlideInfoWnd::HandleTap(int x, int y) {
    const unsigned change = model_.HandleTap(x, y);
    ClearKeys();
    Apply(change);
}

void CGlideInfoWnd::OnCloseButton() {
    Apply(model_.Close());
    ClearKeys();
    Hide();
}

void CGlideInfoWnd::OnPaint(wxPaintEvent& /*event*/) {
    wxPaintDC dc(this);
    dc.SetBackground(*wxWHITE_BRUSH);
    dc.Clear();
    dc.SetFont(wxFont(wxFontInfo(wxSize(0, font_.height))
                          .FaceName(wxString::FromUTF8(font_.face))
                          .Weight(font_.weight)));
    dc.SetTextForeground(*wxBLACK);
    dc.DrawLabel(model_.Line(), kLineRect, wxALIGN_LEFT | wxALIGN_CENTER_VERTICAL);
}

void CGlideInfoWnd::OnLeftUp(wxMouseEvent& event) {
    HandleTap(event.GetX(), event.GetY());
}

void CGlideInfoWnd::OnSpin(wxSpinEvent& event) {
    StepSelectedValue(event.GetEventType() == wxEVT_SPIN_UP ? 1 : -1);
    spin_->SetValue(0);
}

void CGlideInfoWnd::OnShow(wxShowEvent& event) {
    keyFlags[0] = keyFlags[1] = false;
    event.Skip();
}

void CGlideInfoWnd::OnSize(wxSizeEvent& event) {
    spin_->SetSize(kSpinX, 0, kSpinSize.x, kSpinSize.y);
    event.Skip();
}

}  // namespace frame
