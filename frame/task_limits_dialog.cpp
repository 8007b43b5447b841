#include "frame/task_limits_dialog.h"

#include <wx/xrc/xmlres.h>

#include <string>

#include "core/settings_values.h"
#include "frame/dialog_controls.h"
#include "platform/gui/screen_fit.h"
#include "platform/settings_store.h"
#include "resources/ids/task_limits_dialog.h"
#include "texts/display_units.h"

namespace frame {
namespace {

namespace gui = platform::gui;

using xrc::task_limits_dialog::kBeforeLimits;
using xrc::task_limits_dialog::kMarginBefore;
using xrc::task_limits_dialog::kMarginBeforeUnit;
using xrc::task_limits_dialog::kMarginOnTask;
using xrc::task_limits_dialog::kMarginOnTaskUnit;
using xrc::task_limits_dialog::kMaxAltBefore;
using xrc::task_limits_dialog::kMaxAltBeforeUnit;
using xrc::task_limits_dialog::kMaxAltOnTask;
using xrc::task_limits_dialog::kMaxAltOnTaskUnit;
using xrc::task_limits_dialog::kMaxStartAltitude;
using xrc::task_limits_dialog::kMaxStartAltitudeUnit;
using xrc::task_limits_dialog::kMaxStartSpeed;
using xrc::task_limits_dialog::kOnTaskLimits;
using xrc::task_limits_dialog::kSpeedUnitLabel;
using xrc::task_limits_dialog::kStartLimits;
using xrc::task_limits_dialog::kTaskLimitsTemplate;
using xrc::task_limits_dialog::kTriangleNote;
constexpr int kUnitLabels[] = {kMaxStartAltitudeUnit, kMaxAltBeforeUnit, kMarginBeforeUnit,
                               kMaxAltOnTaskUnit, kMarginOnTaskUnit};

}  // namespace

CTaskLimitsDialog::CTaskLimitsDialog(wxWindow* parent)
    : model_(nav::TaskLimitSettings::Read(platform::AppSettings()), core::g_unitAlt.load() != 0,
             glide::CurrentSpeedUnit()) {
    loaded_ = wxXmlResource::Get()->LoadDialog(this, parent, std::to_string(kTaskLimitsTemplate));
    if (!loaded_) return;
    Bind(wxEVT_INIT_DIALOG, &CTaskLimitsDialog::OnInitDialog, this);
    Bind(wxEVT_BUTTON, &CTaskLimitsDialog::OnOK, this, wxID_OK);
}

int CTaskLimitsDialog::DoModal() {
    return loaded_ ? platform::gui::ShowModalOnScreen(*this) : -1;
}

void CTaskLimitsDialog::DoDataExchange(gui::CDataExchange* pDX) {
    nav::TaskLimitsModel& m = model_;
    const nav::FloatRange start = m.StartAltitudeRange();
    const nav::FloatRange task = m.TaskAltitudeRange();
    const nav::FloatRange margin = m.MarginRange();
    const nav::FloatRange speed = m.SpeedRange();
    gui::DDX_Check(pDX, kStartLimits, m.startLimits);
    gui::DDX_TextFloat(pDX, kMaxStartAltitude, m.maxStartAltitude);
    gui::DDV_MinMaxFloat(pDX, m.maxStartAltitude, start.minimum, start.maximum);
    gui::DDX_TextFloat(pDX, kMaxStartSpeed, m.maxStartSpeed);
    gui::DDV_MinMaxFloat(pDX, m.maxStartSpeed, speed.minimum, speed.maximum);
    gui::DDX_Check(pDX, kBeforeLimits, m.beforeLimits);
    gui::DDX_TextInt(pDX, kMaxAltBefore, m.maxAltBefore);
    gui::DDV_MinMaxInt(pDX, m.maxAltBefore, static_cast<int>(start.minimum),
                       static_cast<int>(start.maximum));
    gui::DDX_TextInt(pDX, kMarginBefore, m.marginBefore);
    gui::DDV_MinMaxInt(pDX, m.marginBefore, 0, static_cast<int>(margin.maximum));
    gui::DDX_Check(pDX, kOnTaskLimits, m.onTaskLimits);
    gui::DDX_TextInt(pDX, kMaxAltOnTask, m.maxAltOnTask);
    gui::DDV_MinMaxInt(pDX, m.maxAltOnTask, 0, static_cast<int>(task.maximum));
    gui::DDX_TextInt(pDX, kMarginOnTask, m.marginOnTask);
    gui::DDV_MinMaxInt(pDX, m.marginOnTask, 0, static_cast<int>(margin.maximum));
}

void CTaskLimitsDialog::OnInitDialog(wxInitDialogEvent& /*event*/) {
    gui::UpdateData(*this, false, [this](gui::CDataExchange* pDX) { DoDataExchange(pDX); });
    for (const int label : kUnitLabels)
        SetControlText(*this, label, model_.Metres() ? "[m]" : "[ft]");
    SetControlText(*this, kSpeedUnitLabel, wxString(std::wstring(model_.SpeedUnit().name)));
    ShowControl(*this, kTriangleNote, showTriangleNote);
    Layout();
    Fit();
}

void CTaskLimitsDialog::OnOK(wxCommandEvent& /*event*/) {
    if (!gui::UpdateData(*this, true, [this](gui::CDataExchange* pDX) { DoDataExchange(pDX); }))
        return;
    model_.Accept(platform::AppSettings());
    EndModal(wxID_OK);
}

bool RunTaskLimitsDialog(wxWindow* parent, bool triangle) {
    CTaskLimitsDialog dialog(parent);
    dialog.showTriangleNote = triangle;
    return dialog.DoModal() == wxID_OK;
}

}  // namespace frame
