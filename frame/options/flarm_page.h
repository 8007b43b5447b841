#pragma once
// The FLARM options page (template 238): the unit's four warning sounds,
// the traffic window and the climb display, and the baud command that
// switches the unit and the GPS port together. Its values are
// recorder/flarm_options.h; this is its window. The sheet has it only
// while the FLARM library's object exists. UI thread only.

#include "frame/options/options_page.h"
#include "recorder/flarm_options.h"

class wxCommandEvent;

namespace frame {

class CFLARMoptions final : public COptionsPage {
  public:
    CFLARMoptions();
    void OnApply() override;

  private:
    void DoDataExchange(platform::gui::CDataExchange* pDX) override;
    void OnInitDialog() override;
    void OnSetFlarmBaud(wxCommandEvent& event);

    int sounds_[4] = {};
    int showTcas_ = 0;
    int climb_ = 0;
};

}  // namespace frame
