#pragma once
// The compass options page (template 210): the limits of steady, straight
// flight under which heading samples are used, the heading correction and
// whether HDG headings are true. Its values are glide/compass_options.h;
// this is its window. UI thread only.

#include "frame/options/options_page.h"
#include "glide/compass_options.h"

namespace frame {

class COptionsCompass final : public COptionsPage {
  public:
    COptionsCompass();
    void OnApply() override;

  private:
    void DoDataExchange(platform::gui::CDataExchange* pDX) override;
    void OnInitDialog() override;

    glide::CompassOptions values_;
};

}  // namespace frame
