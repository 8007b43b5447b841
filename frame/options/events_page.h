#pragma once
// The events options page (template 219): which IGC event each modem line
// signals and whether the lines count inverted. Its values are
// glide/event_options.h; this is its window. UI thread only.

#include "frame/options/options_page.h"
#include "glide/event_options.h"

namespace frame {

class COptionsEvents final : public COptionsPage {
  public:
    COptionsEvents();
    void OnApply() override;

  private:
    void DoDataExchange(platform::gui::CDataExchange* pDX) override;
    void OnInitDialog() override;

    glide::EventOptions before_;
    glide::EventOptions values_;
};

}  // namespace frame
