#include "frame/task_point_dialog.h"

#include <wx/choice.h>
#include <wx/xrc/xmlres.h>

#include <string>

#include "core/settings_values.h"
#include "frame/dialog_controls.h"
#include "platform/gui/screen_fit.h"
#include "platform/message_box.h"
#include "platform/settings_store.h"
#include "recorder/logger_library.h"
#include "resources/ids/strings_recorder.h"
#include "resources/ids/strings_task_dialogs.h"
#include "resources/ids/task_point_dialog.h"
#include "services/string_resources.h"

namespace frame {
namespace {

namespace gui = platform::gui;

// Controls.
using xrc::task_point_dialog::kCylinderRadius;
using xrc::task_point_dialog::kFinishDirection;
using xrc::task_point_dialog::kFinishRadius;
using xrc::task_point_dialog::kFinishType;
using xrc::task_point_dialog::kHasCylinder;
using xrc::task_point_dialog::kHasSector;
using xrc::task_point_dialog::kInnerRadius;
using xrc::task_point_dialog::kInnerUsed;
using xrc::task_point_dialog::kNotCountedNote;
using xrc::task_point_dialog::kSameZone;
using xrc::task_point_dialog::kSectorAngle;
using xrc::task_point_dialog::kSectorDirection;
using xrc::task_point_dialog::kSectorMode;
using xrc::task_point_dialog::kSectorRadius;
using xrc::task_point_dialog::kStartDirection;
using xrc::task_point_dialog::kStartRadius;
using xrc::task_point_dialog::kStartType;
using xrc::task_point_dialog::kTaskPointTemplate;
using xrc::task_point_dialog::kTransfer;
using xrc::task_point_dialog::kTurnpoint;
using xrc::task_point_dialog::kUnitLabel;

// Start types are the four strings from kIdsFirstZoneType on, finish types the
// first three.
using ids::kIdsFirstZoneType;

wxChoice* ChoiceOf(wxWindow& dialog, int id) {
    return dynamic_cast<wxChoice*>(dialog.FindWindow(id));
}

wxString DistanceLabel(int unit) {
    return unit == 1 ? "[N]" : unit == 2 ? "[km]" : "[M]";
}

}  // namespace

CTaskPointDialog::CTaskPointDialog(wxWindow* parent, nav::CTask& task, bool declaring)
    : declaring_(declaring) {
    const bool recorder = recorder::g_bLoggerLibraryBound.load() != 0;
    model_.emplace(task, nav::ZoneSettings::Read(platform::AppSettings(), recorder),
                   core::DistanceUnitFactor(core::g_unitDist.load()));
    loaded_ = wxXmlResource::Get()->LoadDialog(this, parent, std::to_string(kTaskPointTemplate));
    if (!loaded_) return;
    Bind(wxEVT_INIT_DIALOG, &CTaskPointDialog::OnInitDialog, this);
    Bind(wxEVT_BUTTON, &CTaskPointDialog::OnOK, this, wxID_OK);
    Bind(wxEVT_CHOICE, &CTaskPointDialog::OnTurnpointChanged, this, kTurnpoint);
    Bind(wxEVT_CHECKBOX, &CTaskPointDialog::OnSameZoneChanged, this, kSameZone);
    for (const int box : {kHasCylinder, kHasSector, kInnerUsed})
        Bind(wxEVT_CHECKBOX, &CTaskPointDialog::OnZoneBoxChanged, this, box);
}

int CTaskPointDialog::DoModal() {
    return loaded_ ? platform::gui::ShowModalOnScreen(*this) : -1;
}

void CTaskPointDialog::DoDataExchange(gui::CDataExchange* pDX) {
    nav::TaskZonesModel& m = *model_;
    gui::DDX_CBIndex(pDX, kStartType, m.startType);
    gui::DDX_CBIndex(pDX, kFinishType, m.finishType);
    gui::DDX_Check(pDX, kTransfer, m.transferToLogger);
    gui::DDX_TextFloat(pDX, kStartRadius, m.startRadius);
    gui::DDV_MinMaxFloat(pDX, m.startRadius, 0.0F, 100.0F);
    gui::DDX_TextFloat(pDX, kStartDirection, m.startDirection);
    gui::DDV_MinMaxFloat(pDX, m.startDirection, 0.0F, 359.99F);
    gui::DDX_TextFloat(pDX, kFinishRadius, m.finishRadius);
    gui::DDV_MinMaxFloat(pDX, m.finishRadius, 0.0F, 100.0F);
    gui::DDX_TextFloat(pDX, kFinishDirection, m.finishDirection);
    gui::DDV_MinMaxFloat(pDX, m.finishDirection, 0.0F, 359.99F);
    gui::DDX_Check(pDX, kSameZone, m.sameZoneForAll);
    nav::TurnpointZone& z = shown_;
    gui::DDX_Check(pDX, kHasCylinder, z.hasCylinder);
    gui::DDX_Check(pDX, kHasSector, z.hasSector);
    gui::DDX_Check(pDX, kInnerUsed, z.innerUsed);
    gui::DDX_Check(pDX, kSectorMode, z.sectorMode);
    gui::DDX_TextFloat(pDX, kCylinderRadius, z.cylinderRadius);
    gui::DDV_MinMaxFloat(pDX, z.cylinderRadius, 0.0F, 300.0F);
    gui::DDX_TextFloat(pDX, kSectorRadius, z.sectorRadius);
    gui::DDV_MinMaxFloat(pDX, z.sectorRadius, 0.0F, 600.0F);
    gui::DDX_TextFloat(pDX, kSectorAngle, z.sectorAngle);
    gui::DDV_MinMaxFloat(pDX, z.sectorAngle, 1.0F, 359.0F);
    gui::DDX_TextFloat(pDX, kSectorDirection, z.sectorDirection);
    gui::DDV_MinMaxFloat(pDX, z.sectorDirection, 0.0F, 359.99F);
    gui::DDX_TextFloat(pDX, kInnerRadius, z.innerRadius);
    gui::DDV_MinMaxFloat(pDX, z.innerRadius, 0.0F, 600.0F);
}

bool CTaskPointDialog::Read() {
    return gui::UpdateData(*this, true, [this](gui::CDataExchange* pDX) { DoDataExchange(pDX); });
}

void CTaskPointDialog::Show(const nav::TurnpointZone& zone) {
    shown_ = zone;
    gui::UpdateData(*this, false, [this](gui::CDataExchange* pDX) { DoDataExchange(pDX); });
    ShowControl(*this, kNotCountedNote, zone.notCounted != 0);
    UpdateVisibility();
}

void CTaskPointDialog::OnInitDialog(wxInitDialogEvent& /*event*/) {
    nav::TaskZonesModel& m = *model_;
    wxChoice* start = ChoiceOf(*this, kStartType);
    wxChoice* finish = ChoiceOf(*this, kFinishType);
    for (unsigned i = 0; i < 4; ++i) {
        const wxString text(core::LoadResourceString(kIdsFirstZoneType + i));
        if (start != nullptr) start->Append(text);
        if (finish != nullptr && i < 3) finish->Append(text);
    }
    EnableControl(*this, kTransfer, declaring_ && recorder::g_bLoggerLibraryBound.load() != 0);
    SetControlText(*this, kUnitLabel, DistanceLabel(core::g_unitDist.load()));
    if (wxChoice* turnpoints = ChoiceOf(*this, kTurnpoint)) {
        for (const std::wstring& name : m.TurnpointNames())
            turnpoints->Append(name);
        if (m.TurnpointCount() > 0) turnpoints->SetSelection(0);
    }
    selected_ = 0;
    Show(m.sameZoneForAll != 0 || m.TurnpointCount() == 0 ? m.common : m.Turnpoint(0));
    Layout();
    Fit();
}

void CTaskPointDialog::StoreSelected() {
    nav::TaskZonesModel& m = *model_;
    if (m.sameZoneForAll != 0 || m.TurnpointCount() == 0) {
        m.common = shown_;
    } else {
        m.StoreTurnpoint(selected_, shown_);
    }
}

void CTaskPointDialog::OnTurnpointChanged(wxCommandEvent& event) {
    nav::TaskZonesModel& m = *model_;
    if (!Read()) {
        if (wxChoice* turnpoints = ChoiceOf(*this, kTurnpoint)) turnpoints->SetSelection(selected_);
        return;
    }
    StoreSelected();
    const int next = event.GetSelection();
    if (next < 0 || next >= m.TurnpointCount()) return;
    selected_ = next;
    Show(m.Turnpoint(next));
}

void CTaskPointDialog::OnSameZoneChanged(wxCommandEvent& event) {
    nav::TaskZonesModel& m = *model_;
    const bool on = event.IsChecked();
    m.sameZoneForAll = on ? 0 : 1;  // the edits still belong to the old mode
    if (!Read()) {
        SetCheck(*this, kSameZone, m.sameZoneForAll);
        return;
    }
    m.sameZoneForAll = on ? 0 : 1;
    StoreSelected();
    m.SetSameZoneForAll(on);
    if (on) {
        Show(m.common);
    } else if (m.TurnpointCount() > 0) {
        Show(m.Turnpoint(selected_));
    } else {
        UpdateVisibility();
    }
}

void CTaskPointDialog::OnZoneBoxChanged(wxCommandEvent& /*event*/) {
    UpdateVisibility();
}

void CTaskPointDialog::UpdateVisibility() {
    const bool same = CheckOf(*this, kSameZone) != 0;
    const bool cylinder = CheckOf(*this, kHasCylinder) != 0;
    const bool sector = CheckOf(*this, kHasSector) != 0;
    const bool innerBox = sector && !cylinder && !same;
    ShowControl(*this, kInnerUsed, innerBox);
    ShowControl(*this, kInnerRadius, innerBox && CheckOf(*this, kInnerUsed) != 0);
    ShowControl(*this, kCylinderRadius, cylinder);
    EnableControl(*this, kTurnpoint, !same);
    EnableControl(*this, kSectorDirection, !same);
    ShowControl(*this, kSectorMode, !same);
    Layout();
}

void CTaskPointDialog::OnOK(wxCommandEvent& /*event*/) {
    if (!Read()) return;
    StoreSelected();
    if (const auto refusal = model_->Accept(platform::AppSettings())) {
        if (refusal->textId != 0) {
            platform::ShowMessageBox(this, core::LoadResourceString(refusal->textId),
                                     core::LoadResourceString(ids::kIdsTaskCaption),
                                     platform::mb::kOk | platform::mb::kIconHand);
        }
        if (refusal->controlId != 0) FocusControl(*this, refusal->controlId);
        return;
    }
    EndModal(wxID_OK);
}

bool RunTaskPointDialog(wxWindow* parent, nav::CTask& task, bool declaring) {
    CTaskPointDialog dialog(parent, task, declaring);
    return dialog.DoModal() == wxID_OK;
}

}  // namespace frame
