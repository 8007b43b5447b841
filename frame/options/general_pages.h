#pragma once
// The general options pages: the two miscellaneous pages, units, logging
// and the UTM ellipsoid. Each keeps its values in its plain model (misc_options.h,
// log_options.h, core/units_options.h, core/utm_options.h), taken from the
// running settings when the sheet is built; the page only moves them in and
// out of its controls. UI thread only.

#include "core/units_options.h"
#include "core/utm_options.h"
#include "frame/options/log_options.h"
#include "frame/options/misc2_options.h"
#include "frame/options/misc_options.h"
#include "frame/options/options_page.h"

class wxCommandEvent;

namespace frame {

class CKOR_VANoptionsMisc final : public CScrolledPropertyPage {
  public:
    CKOR_VANoptionsMisc();
    void OnApply() override;

  private:
    void DoDataExchange(platform::gui::CDataExchange* pDX) override;
    void OnInitDialog() override;
    void OnUseUtm(wxCommandEvent& event);
    void OnUseGpsVariation(wxCommandEvent& event);
    void UpdateDecimalMinutes();

    MiscOptions values_;
};

class CKOR_VANoptionsUnits final : public COptionsPage {
  public:
    CKOR_VANoptionsUnits();
    void OnApply() override;

  private:
    void DoDataExchange(platform::gui::CDataExchange* pDX) override;
    void OnInitDialog() override;

    core::UnitsOptions values_;
};

class CKOR_VANoptionsLog final : public CScrolledPropertyPage {
  public:
    CKOR_VANoptionsLog();
    void OnApply() override;

  private:
    void DoDataExchange(platform::gui::CDataExchange* pDX) override;
    void OnInitDialog() override;
    void OnFormat(wxCommandEvent& event);

    LogOptions values_;
};

class CKOR_VANoptionsMisc2 final : public CScrolledPropertyPage {
  public:
    CKOR_VANoptionsMisc2();
    void OnApply() override;

  private:
    void DoDataExchange(platform::gui::CDataExchange* pDX) override;
    void OnInitDialog() override;

    Misc2Options values_;
};

class CKOR_VANoptionsUTM final : public COptionsPage {
  public:
    CKOR_VANoptionsUTM();
    void OnApply() override;

  private:
    void DoDataExchange(platform::gui::CDataExchange* pDX) override;

    core::UtmOptions values_;
};

}  // namespace frame
