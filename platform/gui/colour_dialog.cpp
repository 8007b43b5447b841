#include "platform/gui/colour_dialog.h"

#include <wx/dcclient.h>
#include <wx/dialog.h>
#include <wx/sizer.h>
#include <wx/spinctrl.h>
#include <wx/stattext.h>

#include <functional>
#include <utility>

#include "platform/gui/screen_fit.h"

namespace platform::gui {
namespace {

// Finger-sized palette cells.
constexpr int kCellWidth = 40;
constexpr int kCellHeight = 30;
constexpr int kGap = 4;

// A patch of one colour, framed; a click on it says so.
class Swatch final : public wxWindow {
  public:
    Swatch(wxWindow* parent, const wxColour& colour, const wxSize& size,
           std::function<void(const wxColour&)> clicked = {})
        : wxWindow(parent, wxID_ANY, wxDefaultPosition, size), colour_(colour), clicked_(std::move(clicked)) {
        SetMinSize(size);
        Bind(wxEVT_PAINT, &Swatch::OnPaint, this);
        if (clicked_) Bind(wxEVT_LEFT_UP, [this](wxMouseEvent&) { clicked_(colour_); });
    }
    const wxColour& Colour() const { return colour_; }
    void SetColour(const wxColour& colour) {
        colour_ = colour;
        Refresh();
    }

  private:
    void OnPaint(wxPaintEvent&) {
        wxPaintDC dc(this);
        dc.SetPen(*wxBLACK_PEN);
        dc.SetBrush(wxBrush(colour_));
        dc.DrawRectangle(GetClientSize());
    }

    wxColour colour_;
    std::function<void(const wxColour&)> clicked_;
};

class ColourChooser final : public wxDialog {
  public:
    ColourChooser(wxWindow* parent, const wxColour& initial, const wxString& title)
        : wxDialog(parent, wxID_ANY, title) {
        auto* palette = new wxGridSizer(kPaletteColumns, kGap, kGap);
        for (const wxColour& colour : BasicColours())
            palette->Add(new Swatch(this, colour, wxSize(kCellWidth, kCellHeight),
                                    [this](const wxColour& c) { Present(c); }));
        auto* values = new wxFlexGridSizer(2, kGap, 2 * kGap);
        values->AddGrowableCol(1);
        const char* names[] = {"&Red", "&Green", "&Blue"};
        for (std::size_t i = 0; i < std::size(names); ++i) {
            values->Add(new wxStaticText(this, wxID_ANY, names[i]), wxSizerFlags().CentreVertical());
            parts_[i] = new wxSpinCtrl(this, wxID_ANY, wxEmptyString, wxDefaultPosition, wxDefaultSize,
                                       wxSP_ARROW_KEYS, 0, 255, 0);
            values->Add(parts_[i], wxSizerFlags().Expand());
            parts_[i]->Bind(wxEVT_SPINCTRL, [this](wxSpinEvent&) { Take(); });
            parts_[i]->Bind(wxEVT_TEXT, [this](wxCommandEvent&) { Take(); });
        }
        chosen_ = new Swatch(this, initial, wxSize(2 * kCellWidth, 2 * kCellHeight));
        auto* right = new wxBoxSizer(wxVERTICAL);
        right->Add(chosen_, wxSizerFlags().Expand().Border(wxBOTTOM, 2 * kGap));
        right->Add(values, wxSizerFlags().Expand());
        auto* row = new wxBoxSizer(wxHORIZONTAL);
        row->Add(palette, wxSizerFlags().Border(wxALL, 2 * kGap));
        row->Add(right, wxSizerFlags(1).Border(wxALL, 2 * kGap));
        auto* column = new wxBoxSizer(wxVERTICAL);
        column->Add(row, wxSizerFlags(1).Expand());
        column->Add(CreateStdDialogButtonSizer(wxOK | wxCANCEL), wxSizerFlags().Expand().Border(wxALL, 2 * kGap));
        SetSizerAndFit(column);
        Present(initial);
    }

    wxColour Chosen() const { return chosen_->Colour(); }

  private:
    void Present(const wxColour& colour) {
        const unsigned char values[] = {colour.Red(), colour.Green(), colour.Blue()};
        for (std::size_t i = 0; i < parts_.size(); ++i)
            parts_[i]->SetValue(values[i]);
        chosen_->SetColour(colour);
    }
    // The typed values make the colour.
    void Take() {
        chosen_->SetColour(wxColour(static_cast<unsigned char>(parts_[0]->GetValue()),
                                    static_cast<unsigned char>(parts_[1]->GetValue()),
                                    static_cast<unsigned char>(parts_[2]->GetValue())));
    }

    std::array<wxSpinCtrl*, 3> parts_{};
    Swatch* chosen_ = nullptr;
};

}  // namespace

const std::array<wxColour, 48>& BasicColours() {
    static const std::array<wxColour, 48> colours = {
        wxColour(0xFF, 0x80, 0x80), wxColour(0xFF, 0xFF, 0x80), wxColour(0x80, 0xFF, 0x80),
        wxColour(0x00, 0xFF, 0x80), wxColour(0x80, 0xFF, 0xFF), wxColour(0x00, 0x80, 0xFF),
        wxColour(0xFF, 0x80, 0xC0), wxColour(0xFF, 0x80, 0xFF),
        wxColour(0xFF, 0x00, 0x00), wxColour(0xFF, 0xFF, 0x00), wxColour(0x80, 0xFF, 0x00),
        wxColour(0x00, 0xFF, 0x40), wxColour(0x00, 0xFF, 0xFF), wxColour(0x00, 0x80, 0xC0),
        wxColour(0x80, 0x80, 0xC0), wxColour(0xFF, 0x00, 0xFF),
        wxColour(0x80, 0x40, 0x40), wxColour(0xFF, 0x80, 0x40), wxColour(0x00, 0xFF, 0x00),
        wxColour(0x00, 0x80, 0x80), wxColour(0x00, 0x40, 0x80), wxColour(0x80, 0x80, 0xFF),
        wxColour(0x80, 0x00, 0x40), wxColour(0xFF, 0x00, 0x80),
        wxColour(0x80, 0x00, 0x00), wxColour(0xFF, 0x80, 0x00), wxColour(0x00, 0x80, 0x00),
        wxColour(0x00, 0x80, 0x40), wxColour(0x00, 0x00, 0xFF), wxColour(0x00, 0x00, 0xA0),
        wxColour(0x80, 0x00, 0x80), wxColour(0x80, 0x00, 0xFF),
        wxColour(0x40, 0x00, 0x00), wxColour(0x80, 0x40, 0x00), wxColour(0x00, 0x40, 0x00),
        wxColour(0x00, 0x40, 0x40), wxColour(0x00, 0x00, 0x80), wxColour(0x00, 0x00, 0x40),
        wxColour(0x40, 0x00, 0x40), wxColour(0x40, 0x00, 0x80),
        wxColour(0x00, 0x00, 0x00), wxColour(0x80, 0x80, 0x00), wxColour(0x80, 0x80, 0x40),
        wxColour(0x80, 0x80, 0x80), wxColour(0x40, 0x80, 0x80), wxColour(0xC0, 0xC0, 0xC0),
        wxColour(0xA0, 0xA0, 0xA4), wxColour(0xFF, 0xFF, 0xFF),
    };
    return colours;
}

std::optional<wxColour> ChooseColour(wxWindow* parent, const wxColour& initial, const wxString& title) {
    ColourChooser dialog(parent, initial.IsOk() ? initial : *wxBLACK, title);
    if (ShowModalOnScreen(dialog) != wxID_OK) return std::nullopt;
    return dialog.Chosen();
}

}  // namespace platform::gui
