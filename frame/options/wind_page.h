#pragma once
// The wind options page (template 211): how and when the wind is estimated.
// Its values and the trigger choices each method allows are
// glide/wind_options.h; this is its window. UI thread only.

#include "frame/options/options_page.h"
#include "glide/wind_options.h"

class wxCommandEvent;

namespace frame {

class COptionsWinds final : public CScrolledPropertyPage {
  public:
    COptionsWinds();
    void OnApply() override;

  private:
    void DoDataExchange(platform::gui::CDataExchange* pDX) override;
    void OnInitDialog() override;
    void OnMethod(wxCommandEvent& event);
    void ShowTriggerChoices(int method);

    glide::WindOptions values_;
};

}  // namespace frame
