#pragma once
// The alarm-zone options page (template 231): QNH, transition altitude, the
// guards around airspace and the alarm switches. Its values are
// map/alarm_zone_options.h; this is its window. UI thread only.

#include "frame/options/options_page.h"
#include "map/alarm_zone_options.h"

class wxFocusEvent;

namespace frame {

class COptionsAlarmZones final : public CScrolledPropertyPage {
  public:
    COptionsAlarmZones();
    void OnApply() override;

  private:
    void DoDataExchange(platform::gui::CDataExchange* pDX) override;
    void OnInitDialog() override;
    void OnQnhFocus(wxFocusEvent& event);

    map::AlarmZoneOptions shown_;
    map::AlarmZoneOptions values_;
    int alarmDisplayed_ = 1;  // the box shows the inverse of "off, no display"
};

}  // namespace frame
