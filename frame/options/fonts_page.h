#pragma once
// The fonts options page (template 217): the family, three sizes with a
// live preview, bold map labels and notes, and the turn letters. Its values
// are the plain font_options.h; this is its window. UI thread only.

#include <wx/font.h>

#include "frame/options/font_options.h"
#include "frame/options/options_page.h"

class wxCommandEvent;

namespace frame {

class COptionsFonts final : public COptionsPage {
  public:
    COptionsFonts();
    void OnApply() override;

  private:
    void DoDataExchange(platform::gui::CDataExchange* pDX) override;
    void OnInitDialog() override;
    void OnFamily(wxCommandEvent& event);
    void OnSize(wxCommandEvent& event);
    void OnMapBold(wxCommandEvent& event);
    void OnLetters(wxCommandEvent& event);
    void UpdatePreview();

    FontOptions values_;
    // The sizes the preview shows while the pilot types.
    int mainSize_;
    int mapSize_;
    int listSize_;
    bool mapBold_;
};

// A font of `pixels` character height in `face` (fontconfig stands in for a
// family this system lacks).
wxFont MakeFont(const wxString& face, int pixels, int weight);

}  // namespace frame
