#pragma once
// The options pages of the glide and task computations: the polar (template
// 204), the display cycle (235), the OLC leg weights (237) and the task
// options (236). Their values and conversions are the plain
// polar_options.h, show_queue_options.h, olc_options.h and task_options.h;
// these are their windows. UI thread only.

#include "frame/options/olc_options.h"
#include "frame/options/options_page.h"
#include "frame/options/polar_options.h"
#include "frame/options/show_queue_options.h"
#include "frame/options/task_options.h"

class wxCommandEvent;
class wxSpinEvent;

namespace frame {

class COptionsPolars final : public COptionsPage {
  public:
    COptionsPolars();
    void OnApply() override;

  private:
    void DoDataExchange(platform::gui::CDataExchange* pDX) override;
    void OnInitDialog() override;
    void OnBallastSetting(wxCommandEvent& event);
    void OnBrowse(wxCommandEvent& event);
    void OnBugsSpin(wxSpinEvent& event);
    void EnableBallast(bool ballastSetting);

    PolarOptions values_;
};

class COptionsShowQueue final : public CScrolledPropertyPage {
  public:
    COptionsShowQueue();
    void OnApply() override;

  private:
    void DoDataExchange(platform::gui::CDataExchange* pDX) override;
    void OnInitDialog() override;

    ShowQueueOptions values_;
};

class COptionsOLCdistance final : public COptionsPage {
  public:
    COptionsOLCdistance();
    void OnApply() override;

  private:
    void DoDataExchange(platform::gui::CDataExchange* pDX) override;

    OlcOptions values_;
};

class COptionsTasks final : public CScrolledPropertyPage {
  public:
    COptionsTasks();
    void OnApply() override;

  private:
    void DoDataExchange(platform::gui::CDataExchange* pDX) override;
    void OnInitDialog() override;

    TaskOptions values_;
    const TaskOptions opened_ = values_;
};

}  // namespace frame
