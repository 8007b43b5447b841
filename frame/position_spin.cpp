#include "frame/position_spin.h"

#include <wx/button.h>
#include <wx/spinbutt.h>

#include <algorithm>

namespace frame {

PositionSpin::PositionSpin(wxWindow* parent, int id, const wxPoint& position, const wxSize& size)
    : wxWindow(parent, id, position, size, wxBORDER_NONE) {
    up_ = new wxButton(this, wxID_ANY, "+", wxDefaultPosition, wxDefaultSize,
                       wxBU_EXACTFIT | wxBORDER_SIMPLE);
    down_ = new wxButton(this, wxID_ANY, L"\u2212", wxDefaultPosition, wxDefaultSize,
                         wxBU_EXACTFIT | wxBORDER_SIMPLE);
    up_->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { Press(true); });
    down_->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { Press(false); });
    Bind(wxEVT_SIZE, &PositionSpin::OnSize, this);
    SetSize(size);
}

void PositionSpin::SetRange(int minimum, int maximum) {
    minimum_ = minimum;
    maximum_ = std::max(minimum, maximum);
    value_ = std::clamp(value_, minimum_, maximum_);
}

void PositionSpin::SetValue(int value) {
    value_ = std::clamp(value, minimum_, maximum_);
}

void PositionSpin::Press(bool up) {
    value_ = std::clamp(value_ + (up ? 1 : -1), minimum_, maximum_);
    wxSpinEvent event(up ? wxEVT_SPIN_UP : wxEVT_SPIN_DOWN, GetId());
    event.SetEventObject(this);
    event.SetPosition(value_);
    GetEventHandler()->ProcessEvent(event);
}

void PositionSpin::OnSize(wxSizeEvent& event) {
    const wxSize size = GetClientSize();
    if (size.x > size.y) {
        // Side by side: down on the left, up on the right.
        const int half = size.x / 2;
        down_->SetSize(0, 0, half, size.y);
        up_->SetSize(half, 0, size.x - half, size.y);
    } else {
        const int half = size.y / 2;
        up_->SetSize(0, 0, size.x, half);
        down_->SetSize(0, half, size.x, size.y - half);
    }
    event.Skip();
}

}  // namespace frame
