#pragma once
// The map options pages: the map itself (template 178), thermal mode (206)
// and the reachable outline (292). Their values and conversions are the
// plain maps_options.h, thermal_options.h and outline_options.h; these are
// their windows. UI thread only.

#include "frame/options/maps_options.h"
#include "frame/options/options_page.h"
#include "frame/options/outline_options.h"
#include "frame/options/thermal_options.h"

namespace frame {

class CKOR_VANoptionsMaps final : public CScrolledPropertyPage {
  public:
    CKOR_VANoptionsMaps();
    void OnApply() override;

  private:
    void DoDataExchange(platform::gui::CDataExchange* pDX) override;
    void OnInitDialog() override;

    MapsOptions values_;
    const MapsOptions opened_ = values_;
};

class COptionsThermalMode final : public CScrolledPropertyPage {
  public:
    COptionsThermalMode();
    void OnApply() override;

  private:
    void DoDataExchange(platform::gui::CDataExchange* pDX) override;
    void OnInitDialog() override;

    ThermalModeOptions values_;
    const ThermalModeOptions opened_ = values_;
};

class CReachableOutlineOptions final : public COptionsPage {
  public:
    CReachableOutlineOptions();
    void OnApply() override;

  private:
    void DoDataExchange(platform::gui::CDataExchange* pDX) override;
    void OnInitDialog() override;

    OutlineOptions values_;
    const OutlineOptions opened_ = values_;
};

}  // namespace frame
