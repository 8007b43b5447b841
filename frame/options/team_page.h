#pragma once
// The team options page (template 289): team codes on or off, the
// convention or private key, the grid level and the centre, picked from the
// waypoints or typed in degrees, minutes and seconds. Its values and checks
// are nav/team_options.h; this is its window. UI thread only.

#include <string>

#include "frame/options/options_page.h"
#include "nav/team_options.h"

class wxCommandEvent;

namespace frame {

class COptionsTeam final : public COptionsPage {
  public:
    COptionsTeam();
    void OnApply() override;

  private:
    void DoDataExchange(platform::gui::CDataExchange* pDX) override;
    void OnInitDialog() override;
    void OnCodeTyped(wxCommandEvent& event);
    void OnPickCentre(wxCommandEvent& event);
    void ShowCentre(double lonWest, double latitude);

    nav::TeamOptions values_;
    int south_ = 0;  // 0 north, 1 south
    int east_ = 0;   // 0 east, 1 west
    double lonFields_[3] = {};
    double latFields_[3] = {};
};

}  // namespace frame
