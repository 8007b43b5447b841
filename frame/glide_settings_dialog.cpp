#include "frame/glide_settings_dialog.h"

#include <wx/xrc/xmlres.h>

#include <string>

#include "core/settings_values.h"
#include "frame/dialog_controls.h"
#include "frame/frame_commands.h"
#include "frame/options/view_link.h"
#include "glide/speed_to_fly_text.h"
#include "nav/destination_queue.h"
#include "nav/task_model.h"
#include "platform/gui/ddx.h"
#include "platform/gui/screen_fit.h"
#include "platform/message_box.h"
#include "platform/numbers.h"
#include "platform/settings_store.h"
#include "resources/ids/frame_dialogs.h"
#include "resources/ids/strings_frame.h"
#include "services/shared_locks.h"
#include "services/string_resources.h"
#include "texts/display_texts.h"

namespace frame {
namespace {

namespace gui = platform::gui;

using xrc::frame_dialogs::kAltComp;
using xrc::frame_dialogs::kAutoZoom;
using xrc::frame_dialogs::kConstantSpeed;
using xrc::frame_dialogs::kGlideSettingsTemplate;
using xrc::frame_dialogs::kNextPrompt;
using xrc::frame_dialogs::kNumbered;
using xrc::frame_dialogs::kPrevPrompt;
using xrc::frame_dialogs::kRadius;
using xrc::frame_dialogs::kRadiusUnit;
using xrc::frame_dialogs::kShowAltDifference;
using xrc::frame_dialogs::kUseDem;
using xrc::frame_dialogs::kUseMcr;
using ids::kIdsKilometres;
using ids::kIdsMiles;
using ids::kIdsNumberPrevious;
using ids::kIdsNumberNext;
using ids::kIdsMissingPointText;
using ids::kIdsMissingPointCaption;

constexpr int kDialogKilometres = 2;

bool DetectedNextPoint() {
    const platform::CriticalSectionLock lock(core::TaskLock);
    const nav::CTaskPoint* target = nav::g_taskTargetPoint.load();
    return target != nullptr && target->next != nullptr &&
           target->next != nav::g_taskStartPoint.load();
}

}  // namespace

CGlideSettingsDlg::CGlideSettingsDlg(wxWindow* parent) {
    navigating_ = nav::g_taskNavigationActive.load() != 0;
    nextDetected_ = navigating_ && DetectedNextPoint();
    values_ = GlideSettingsValues::InForce(navigating_, nextDetected_);
    loaded_ =
        wxXmlResource::Get()->LoadDialog(this, parent, std::to_string(kGlideSettingsTemplate));
    if (!loaded_) return;
    Bind(wxEVT_INIT_DIALOG, &CGlideSettingsDlg::OnInitDialog, this);
    Bind(wxEVT_BUTTON, &CGlideSettingsDlg::OnOK, this, wxID_OK);
    Bind(wxEVT_CHECKBOX, &CGlideSettingsDlg::OnCheck1193, this, kNextPrompt);
    Bind(wxEVT_CHECKBOX, &CGlideSettingsDlg::OnCheck1187, this, kPrevPrompt);
}

int CGlideSettingsDlg::DoModal() { return loaded_ ? platform::gui::ShowModalOnScreen(*this) : -1; }

void CGlideSettingsDlg::DoDataExchange(gui::CDataExchange* pDX) {
    gui::DDX_Check(pDX, kNumbered, values_.numberedPrompt);
    gui::DDX_Check(pDX, kShowAltDifference, values_.showAltDifference);
    gui::DDX_Check(pDX, kPrevPrompt, values_.prevPrompt);
    gui::DDX_TextFloat(pDX, kAltComp, values_.altCompFactor);
    gui::DDV_MinMaxFloat(pDX, values_.altCompFactor, 0.0F, 1.0F);
    gui::DDX_Check(pDX, kAutoZoom, values_.autoZoom);
    gui::DDX_TextFloat(pDX, kRadius, values_.detectRadius);
    if (values_.detectRadius != 0.0F) {
        if (core::g_unitDist.load() == kDialogKilometres) {
            gui::DDV_MinMaxFloat(pDX, values_.detectRadius, 0.05F, 10.0F);
        } else {
            gui::DDV_MinMaxFloat(pDX, values_.detectRadius, 0.03F, 6.1F);
        }
    }
}

void CGlideSettingsDlg::OnInitDialog(wxInitDialogEvent& /*event*/) {
    const int numbered = values_.numberedPrompt;
    gui::UpdateData(*this, false, [this](gui::CDataExchange* pDX) { DoDataExchange(pDX); });
    SetCheck(*this, kNextPrompt, values_.nextPrompt);
    EnableControl(*this, kNextPrompt, nextDetected_);
    EnableControl(*this, kPrevPrompt, navigating_);
    SetCheck(*this, kConstantSpeed, values_.constantGlideSpeed);
    SetCheck(*this, kUseMcr, values_.useMcrForAlt);
    SetCheck(*this, kUseDem, values_.useDemInfo);
    SetControlText(*this, kRadiusUnit,
                   core::LoadResourceString(core::g_unitDist.load() == kDialogKilometres ? kIdsKilometres
                                                                                   : kIdsMiles));
    wxCommandEvent none;
    OnCheck1193(none);
    OnCheck1187(none);
    SetCheck(*this, kNumbered, numbered);
}

void CGlideSettingsDlg::OnCheck1193(wxCommandEvent& /*event*/) {
    if (CheckOf(*this, kNextPrompt) != 0) {
        SetCheck(*this, kPrevPrompt, 0);
        SetControlText(*this, kNumbered, core::LoadResourceString(kIdsNumberNext));
        SetCheck(*this, kNumbered, 1);
    }
    EnableNumbering();
}

void CGlideSettingsDlg::OnCheck1187(wxCommandEvent& /*event*/) {
    if (CheckOf(*this, kPrevPrompt) != 0) {
        SetCheck(*this, kNextPrompt, 0);
        SetControlText(*this, kNumbered, core::LoadResourceString(kIdsNumberPrevious));
    }
    EnableNumbering();
}

void CGlideSettingsDlg::EnableNumbering() {
    EnableControl(*this, kNumbered,
                  CheckOf(*this, kNextPrompt) != 0 || CheckOf(*this, kPrevPrompt) != 0);
}

void CGlideSettingsDlg::OnOK(wxCommandEvent& /*event*/) {
    if (!gui::UpdateData(*this, true, [this](gui::CDataExchange* pDX) { DoDataExchange(pDX); }))
        return;
    values_.nextPrompt = CheckOf(*this, kNextPrompt);
    values_.useMcrForAlt = CheckOf(*this, kUseMcr);
    values_.constantGlideSpeed = CheckOf(*this, kConstantSpeed);
    values_.useDemInfo = CheckOf(*this, kUseDem);
    bool recompute = false;
    if (!values_.Apply(platform::AppSettings(), &recompute)) return;
    if (recompute) Views().RequestOutlineRecompute();
    UpdateAutodetectText();
    glide::SpeedToFlyText(core::g_macCready.load());
    EndDialog(wxID_OK);
}

int RunGlideSettingsDialog(wxWindow* parent) {
    CGlideSettingsDlg dialog(parent);
    return dialog.DoModal() == wxID_OK ? 1 : 2;
}

void UpdateAutodetectText() {
    auto& prev = nav::g_bAutodetectPrevPrompt;
    auto& next = nav::g_bAutodetectNextPrompt;
    if (prev.load() == 0 && next.load() == 0) return;
    if (prev.load() != 0) next = 0;
    std::wstring text;
    {
        const platform::CriticalSectionLock lock(core::TaskLock);
        const nav::CTaskPoint* target = nav::g_taskTargetPoint.load();
        const nav::CTaskPoint* point = nullptr;
        if (target != nullptr) point = prev.load() != 0 ? target->previous : target->next;
        if (point != nullptr) {
            const int slot = point->QueueSlot();
            text = g_bAutodetectNumbered.load() != 0 && slot != nav::kNoQueueSlot
                       ? platform::FormatC(L"%d,", slot + 1) + point->name
                       : L"F," + point->name;
        }
    }
    if (text.empty()) {
        prev = 0;
        next = 0;
        platform::ShowMessageBox(nullptr, core::LoadResourceString(kIdsMissingPointText),
                                 core::LoadResourceString(kIdsMissingPointCaption),
                                 platform::mb::kIconHand | platform::mb::kTopmost);
        return;
    }
    glide::DestinationNameText.Set(text);
}

}  // namespace frame
