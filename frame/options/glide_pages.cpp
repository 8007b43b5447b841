#include "frame/options/glide_pages.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/spinbutt.h>
#include <wx/textctrl.h>

#include <string>

#include "core/settings_values.h"
#include "platform/gui/file_dialog.h"
#include "resources/ids/options_more.h"

namespace frame {
namespace {

namespace gui = platform::gui;

using xrc::options_more::kAverageTime;
using xrc::options_more::kBallast;
using xrc::options_more::kBallastSetting;
using xrc::options_more::kBrowse;
using xrc::options_more::kBugs;
using xrc::options_more::kBugsSpin;
using xrc::options_more::kCycleAltitudes;
using xrc::options_more::kCycleNote;
using xrc::options_more::kCyclePage;
using xrc::options_more::kFileName;
using xrc::options_more::kFirstLegWeight;
using xrc::options_more::kFirstMode;
using xrc::options_more::kGlideRatioOrPolar;
using xrc::options_more::kGotoMaxAatPoint;
using xrc::options_more::kGotoWithTask;
using xrc::options_more::kOlcPage;
using xrc::options_more::kPolarPage;
using xrc::options_more::kPostAtFinish;
using xrc::options_more::kPostRadius;
using xrc::options_more::kPostRadiusUnit;
using xrc::options_more::kResetClock;
using xrc::options_more::kStartFinishDirection;
using xrc::options_more::kTasksPage;
using xrc::options_more::kTextSize;
using xrc::options_more::kToDestination;
using xrc::options_more::kUpdateFinishGate;
using xrc::options_more::kWeightFactor;
using xrc::options_more::kZoneMargin;
using xrc::options_more::kZoneMarginUnit;

}  // namespace

// --- Polar.

COptionsPolars::COptionsPolars()
    : COptionsPage(kPolarPage, "Polar"), values_(PolarOptions::FromRunning()) {
    Bind(wxEVT_CHECKBOX, &COptionsPolars::OnBallastSetting, this, kBallastSetting);
    Bind(wxEVT_BUTTON, &COptionsPolars::OnBrowse, this, kBrowse);
}

void COptionsPolars::OnInitDialog() {
    EnableBallast(values_.useBallastSetting != 0);
    if (auto* spin = dynamic_cast<wxSpinButton*>(FindWindow(kBugsSpin))) {
        spin->SetRange(-80, 80);
        spin->SetValue(0);
        spin->Bind(wxEVT_SPIN_UP, &COptionsPolars::OnBugsSpin, this);
        spin->Bind(wxEVT_SPIN_DOWN, &COptionsPolars::OnBugsSpin, this);
    }
}

void COptionsPolars::EnableBallast(bool ballastSetting) {
    Enable(kBallast, ballastSetting);
    Enable(kWeightFactor, !ballastSetting);
}

void COptionsPolars::OnBallastSetting(wxCommandEvent& event) {
    EnableBallast(event.IsChecked());
}

// Each step moves the bugs by 5 within 0..80; the spin itself stays at 0.
void COptionsPolars::OnBugsSpin(wxSpinEvent& event) {
    auto* field = dynamic_cast<wxTextCtrl*>(FindWindow(kBugs));
    if (field == nullptr) return;
    long percent = 0;
    if (!field->GetValue().ToLong(&percent)) percent = values_.bugsPercent;
    const int steps = event.GetEventType() == wxEVT_SPIN_UP ? 1 : -1;
    field->ChangeValue(std::to_string(StepBugs(static_cast<int>(percent), steps)));
    event.Veto();
}

void COptionsPolars::OnBrowse(wxCommandEvent&) {
    auto* field = dynamic_cast<wxTextCtrl*>(FindWindow(kFileName));
    if (field == nullptr) return;
    platform::gui::FileDialogRequest dialog;
    dialog.title = "Glider Polar";
    dialog.name = field->GetValue().ToStdWstring();
    dialog.wildcard = "Polars files (*.plr)|*.plr|All Files (*.*)|*";
    if (const auto answer = platform::gui::ShowFileDialog(this, dialog))
        field->ChangeValue(answer->path.wstring());
}

void COptionsPolars::DoDataExchange(gui::CDataExchange* pDX) {
    gui::DDX_Radio(pDX, kGlideRatioOrPolar, values_.usePolar);
    gui::DDX_TextString(pDX, kFileName, values_.fileName);
    gui::DDX_TextFloat(pDX, xrc::options_more::kGlideRatio, values_.glideRatio);
    gui::DDV_MinMaxFloat(pDX, values_.glideRatio, 0.1F, 100.0F);
    gui::DDX_TextFloat(pDX, kWeightFactor, values_.weightFactor);
    gui::DDV_MinMaxFloat(pDX, values_.weightFactor, 0.5F, 3.0F);
    gui::DDX_TextInt(pDX, kAverageTime, values_.averageSeconds);
    gui::DDV_MinMaxInt(pDX, values_.averageSeconds, 1, 600);
    gui::DDX_Check(pDX, kBallastSetting, values_.useBallastSetting);
    gui::DDX_TextInt(pDX, kBugs, values_.bugsPercent);
    gui::DDV_MinMaxInt(pDX, values_.bugsPercent, 0, 80);
    gui::DDX_TextFloat(pDX, kBallast, values_.ballastPercent);
    gui::DDV_MinMaxFloat(pDX, values_.ballastPercent, 0.0F, 200.0F);
}

void COptionsPolars::OnApply() {
    values_.Apply(platform::AppSettings(), Views());
}

// --- Display cycle.

COptionsShowQueue::COptionsShowQueue()
    : CScrolledPropertyPage(kCyclePage, "Cycle"),
      values_(ShowQueueOptions::FromRunning(platform::AppSettings())) {}

void COptionsShowQueue::OnInitDialog() {
    CScrolledPropertyPage::OnInitDialog();
    for (int i = 0; i < kAltStringModes; ++i) Show(kFirstMode + i, true);
    Show(kCycleNote, false);
    Layout();
}

void COptionsShowQueue::DoDataExchange(gui::CDataExchange* pDX) {
    for (int i = 0; i < kAltStringModes; ++i) {
        gui::DDX_Check(pDX, kFirstMode + i, values_.inCycle[static_cast<std::size_t>(i)]);
    }
    gui::DDX_Check(pDX, kCycleAltitudes, values_.altStringCycling);
    gui::DDX_Radio(pDX, kTextSize, values_.resolution);
}

void COptionsShowQueue::OnApply() {
    values_.Apply(platform::AppSettings());
}

// --- OLC weights.

COptionsOLCdistance::COptionsOLCdistance()
    : COptionsPage(kOlcPage, "OLC"), values_(OlcOptions::FromRunning()) {}

void COptionsOLCdistance::DoDataExchange(gui::CDataExchange* pDX) {
    for (int leg = 0; leg < kOlcEditedLegs; ++leg) {
        int& weight = values_.weights[static_cast<std::size_t>(leg)];
        gui::DDX_TextInt(pDX, kFirstLegWeight + leg, weight);
        gui::DDV_MinMaxInt(pDX, weight, 0, 100);
    }
    gui::DDX_Check(pDX, kToDestination, values_.toDestination);
}

void COptionsOLCdistance::OnApply() {
    values_.Apply(platform::AppSettings());
}

// --- Tasks.

COptionsTasks::COptionsTasks()
    : CScrolledPropertyPage(kTasksPage, "Tasks"), values_(TaskOptions::FromRunning(Views())) {}

// The page shows the POST radius and two switches as stored; a page never
// shown writes back the running ones.
void COptionsTasks::OnInitDialog() {
    CScrolledPropertyPage::OnInitDialog();
    values_ = TaskOptions::FromStore(platform::AppSettings(), Views());
    const std::wstring_view unit = core::DistanceUnitName(core::g_unitDist);
    SetLabel(kPostRadiusUnit, wxString(unit.data(), unit.size()));
    SetLabel(kZoneMarginUnit, wxString(unit.data(), unit.size()));
}

void COptionsTasks::DoDataExchange(gui::CDataExchange* pDX) {
    gui::DDX_TextFloat(pDX, kPostRadius, values_.postRadius);
    gui::DDV_MinMaxFloat(pDX, values_.postRadius, 0.01F, 20.0F);
    gui::DDX_TextFloat(pDX, kZoneMargin, values_.zoneMargin);
    gui::DDV_MinMaxFloat(pDX, values_.zoneMargin, values_.MarginMinimum(), values_.MarginMaximum());
    gui::DDX_Check(pDX, kResetClock, values_.resetClock);
    gui::DDX_Check(pDX, kStartFinishDirection, values_.startEndCheckpointDirection);
    gui::DDX_Check(pDX, kPostAtFinish, values_.insertPostAtFinish);
    gui::DDX_Check(pDX, kGotoWithTask, values_.allowGotoWithTask);
    gui::DDX_Check(pDX, kUpdateFinishGate, values_.updateTaskFinishGate);
    gui::DDX_Check(pDX, kGotoMaxAatPoint, values_.gotoToMaxAatPoint);
}

void COptionsTasks::OnApply() {
    values_.Apply(platform::AppSettings(), Views(), opened_);
}

}  // namespace frame
