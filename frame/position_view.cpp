#include "frame/position_view.h"

#include <wx/dcbuffer.h>
#include <wx/textctrl.h>

#include "platform/window_messages.h"

namespace frame {
namespace {

constexpr int kNotesWindowId = 122;

}  // namespace

// The position page fills this in.
void CreateViewFonts() {}

CGPSposView::CGPSposView(wxWindow* parent, const wxPoint& position, const wxSize& size)
    : wxWindow(parent, wxID_ANY, position, size, wxFULL_REPAINT_ON_RESIZE) {
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    notes_ = new wxTextCtrl(this, kNotesWindowId, wxEmptyString, wxDefaultPosition, wxDefaultSize,
                            wxTE_MULTILINE | wxTE_READONLY);
    notes_->Hide();
    Bind(wxEVT_PAINT, &CGPSposView::OnPaint, this);
    registration_ = platform::gui::WindowRegistration(
        platform::kPosViewWindow, *this,
        [this](const platform::WindowMessage& message) { return OnWindowMessage(message); });
}

CGPSposView::~CGPSposView() {
    registration_.Reset();
    if (g_pPosView == this) g_pPosView = nullptr;
}

std::intptr_t CGPSposView::OnWindowMessage(const platform::WindowMessage& /*message*/) {
    Refresh(false);
    return 0;
}

void CGPSposView::OnPaint(wxPaintEvent& /*event*/) {
    wxAutoBufferedPaintDC dc(this);
    dc.SetBackground(*wxWHITE_BRUSH);
    dc.Clear();
}

}  // namespace frame
