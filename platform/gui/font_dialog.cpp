#include "platform/gui/font_dialog.h"

#include <wx/checkbox.h>
#include <wx/dcclient.h>
#include <wx/dialog.h>
#include <wx/fontenum.h>
#include <wx/listbox.h>
#include <wx/settings.h>
#include <wx/sizer.h>
#include <wx/spinctrl.h>
#include <wx/stattext.h>

#include <algorithm>

#include "platform/gui/screen_fit.h"

namespace platform::gui {
namespace {

constexpr int kFontGap = 8;
// Room for a family name and about eight of them; the sample beneath.
const wxSize kFamiliesSize(240, 200);
const wxSize kSampleSize(300, 72);

// A line of text in the chosen font, cut at its edges rather than growing
// the dialog for a large size.
class Sample final : public wxWindow {
  public:
    explicit Sample(wxWindow* parent) : wxWindow(parent, wxID_ANY, wxDefaultPosition, kSampleSize) {
        SetMinSize(kSampleSize);
        SetBackgroundColour(*wxWHITE);
        Bind(wxEVT_PAINT, &Sample::OnPaint, this);
    }
    void SetSampleFont(const wxFont& font) {
        font_ = font;
        Refresh();
    }

  private:
    void OnPaint(wxPaintEvent&) {
        wxPaintDC dc(this);
        dc.SetPen(*wxGREY_PEN);
        dc.SetBrush(*wxWHITE_BRUSH);
        dc.DrawRectangle(GetClientSize());
        dc.SetClippingRegion(wxRect(GetClientSize()).Deflate(1));
        dc.SetFont(font_);
        dc.SetTextForeground(*wxBLACK);
        const wxString text = "AaBbYyZz 0123";
        const wxSize extent = dc.GetTextExtent(text);
        dc.DrawText(text, kFontGap, (GetClientSize().y - extent.y) / 2);
    }

    wxFont font_;
};

class FontChooser final : public wxDialog {
  public:
    FontChooser(wxWindow* parent, const wxFont& initial, const wxString& title)
        : wxDialog(parent, wxID_ANY, title) {
        wxArrayString faces = wxFontEnumerator::GetFacenames();
        faces.Sort();
        families_ = new wxListBox(this, wxID_ANY, wxDefaultPosition, kFamiliesSize, faces,
                                  wxLB_SINGLE | wxLB_NEEDED_SB);
        families_->SetMinSize(kFamiliesSize);
        points_ = new wxSpinCtrl(this, wxID_ANY, wxEmptyString, wxDefaultPosition, wxDefaultSize,
                                 wxSP_ARROW_KEYS, kSmallestFontPoints, kLargestFontPoints,
                                 std::clamp(initial.GetPointSize(), kSmallestFontPoints, kLargestFontPoints));
        bold_ = new wxCheckBox(this, wxID_ANY, "&Bold");
        bold_->SetValue(initial.GetWeight() >= wxFONTWEIGHT_BOLD);
        italic_ = new wxCheckBox(this, wxID_ANY, "&Italic");
        italic_->SetValue(initial.GetStyle() != wxFONTSTYLE_NORMAL);
        sample_ = new Sample(this);

        auto* size = new wxBoxSizer(wxHORIZONTAL);
        size->Add(new wxStaticText(this, wxID_ANY, "&Size"),
                  wxSizerFlags().CentreVertical().Border(wxRIGHT, kFontGap));
        size->Add(points_, wxSizerFlags(1));
        auto* right = new wxBoxSizer(wxVERTICAL);
        right->Add(size, wxSizerFlags().Expand().Border(wxBOTTOM, kFontGap));
        right->Add(bold_, wxSizerFlags().Border(wxBOTTOM, kFontGap));
        right->Add(italic_);
        auto* row = new wxBoxSizer(wxHORIZONTAL);
        row->Add(families_, wxSizerFlags(1).Expand().Border(wxRIGHT, kFontGap));
        row->Add(right, wxSizerFlags());
        auto* column = new wxBoxSizer(wxVERTICAL);
        column->Add(row, wxSizerFlags(1).Expand().Border(wxLEFT | wxRIGHT | wxTOP, kFontGap));
        column->Add(sample_, wxSizerFlags().Expand().Border(wxALL, kFontGap));
        column->Add(CreateStdDialogButtonSizer(wxOK | wxCANCEL),
                    wxSizerFlags().Expand().Border(wxALL, kFontGap));
        SetSizerAndFit(column);

        const int at = families_->FindString(initial.GetFaceName());
        if (at != wxNOT_FOUND) {
            families_->SetSelection(at);
            families_->EnsureVisible(at);
        }
        face_ = initial.GetFaceName();
        families_->Bind(wxEVT_LISTBOX, [this](wxCommandEvent&) { ShowSample(); });
        points_->Bind(wxEVT_SPINCTRL, [this](wxSpinEvent&) { ShowSample(); });
        points_->Bind(wxEVT_TEXT, [this](wxCommandEvent&) { ShowSample(); });
        for (wxCheckBox* box : {bold_, italic_})
            box->Bind(wxEVT_CHECKBOX, [this](wxCommandEvent&) { ShowSample(); });
        ShowSample();
    }

    wxFont Chosen() const {
        const int selected = families_->GetSelection();
        return wxFont(wxFontInfo(points_->GetValue())
                          .FaceName(selected != wxNOT_FOUND ? families_->GetString(selected) : face_)
                          .Bold(bold_->GetValue())
                          .Italic(italic_->GetValue()));
    }

  private:
    void ShowSample() { sample_->SetSampleFont(Chosen()); }

    wxListBox* families_ = nullptr;
    wxSpinCtrl* points_ = nullptr;
    wxCheckBox* bold_ = nullptr;
    wxCheckBox* italic_ = nullptr;
    Sample* sample_ = nullptr;
    wxString face_;  // the initial family, when the list lacks it
};

}  // namespace

std::optional<wxFont> ChooseFont(wxWindow* parent, const wxFont& initial, const wxString& title) {
    FontChooser dialog(parent, initial.IsOk() ? initial : wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT),
                       title);
    if (ShowModalOnScreen(dialog) != wxID_OK) return std::nullopt;
    return dialog.Chosen();
}

}  // namespace platform::gui
