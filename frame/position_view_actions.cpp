// What the position page does for its taps: MacCready steps, the two
// questions, the attachments, the wind history, the track and task texts.
#include "frame/position_view.h"

#include <wx/spinbutt.h>
#include <wx/textctrl.h>

#include <filesystem>
#include <mutex>

#include "core/settings_values.h"
#include "frame/glide_info_values.h"
#include "frame/position_spin.h"
#include "glide/current_wind.h"
#include "glide/final_glide.h"
#include "glide/speed_to_fly_text.h"
#include "glide/wind_history.h"
#include "gps/gps_fix_record.h"
#include "gps/nav_fix.h"
#include "gps/settings_values.h"
#include "nav/destination_queue.h"
#include "nav/task_model.h"
#include "nav/task_texts.h"
#include "platform/message_box.h"
#include "platform/numbers.h"
#include "platform/paths.h"
#include "platform/ui_post.h"
#include "platform/window_messages.h"
#include "resources/ids/strings_position.h"
#include "services/shared_locks.h"
#include "services/sound_queue.h"
#include "services/string_resources.h"
#include "texts/display_texts.h"
#include "texts/display_units.h"
#include "texts/queue_texts.h"
#include "texts/wind_texts.h"

namespace frame {

// --- Field actions.

void CGPSposView::StepMacCready(int steps) {
    g_manualMacCready = MacCreadyAfterSpin(g_manualMacCready.load(), kMacCreadySpinRest + steps,
                                           core::g_unitVario.load());
    const bool editing = model_.Mode() == ViewMode::kAltitudeEdit;
    if (editing) model_.SetMode(PageSetting::kAutoSetMacCready, 0);
    if (core::g_autoSetMacCready.load() == 0) UseMacCready(false);
    if (editing) gps::SignalNewGpsData(nav::kNewDataQueue);  // the task's texts follow
    Refresh(false);
}

void CGPSposView::OnSpin(wxSpinEvent& event) {
    const bool instrument = gps::CurrentNav()->instrumentMacCreadyKnown;
    if (!instrument || model_.Mode() == ViewMode::kAltitudeEdit) {
        StepMacCready(event.GetEventType() == wxEVT_SPIN_UP ? 1 : -1);
    }
    spin_->SetValue(kMacCreadySpinRest);
}

void CGPSposView::AskRequiredMacCready() {
    const int slot = model_.Modes().windCorrection != 0 ? 1 : 0;
    const float required = glide::CurrentFinalGlide().macCready[static_cast<std::size_t>(slot)];
    if (required < 0.0F) return;
    const glide::DisplayUnit unit = glide::CurrentClimbUnit();
    const std::wstring text = core::LoadResourceString(ids::kIdsRequiredMcText) +
                              platform::FormatC(L" %03.1f", double{required * unit.factor}) +
                              std::wstring(unit.name) + L"\n" +
                              core::LoadResourceString(ids::kIdsRequiredMcQuestion);
    const unsigned style = platform::mb::kYesNo | platform::mb::kIconQuestion | platform::mb::kTopmost;
    if (platform::ShowMessageBox(this, text, L"", style) != platform::kIdYes) return;
    model_.SetMode(PageSetting::kAutoSetMacCready, 0);
    g_manualMacCready = required;
    UseMacCready(false);
}

void CGPSposView::AskNextPoint() {
    const unsigned style = platform::mb::kYesNo | platform::mb::kIconQuestion | platform::mb::kTopmost;
    if (platform::ShowMessageBox(this, core::LoadResourceString(ids::kIdsAdvanceQuestion),
                                 L"KOR_VAN Win32", style) !=
        platform::kIdYes) {
        return;
    }
    int slot = nav::kNoQueueSlot;
    {
        const std::scoped_lock lock(core::TaskLock);
        const nav::CTaskPoint* target = nav::g_taskTargetPoint.load();
        if (target != nullptr && target->next != nullptr) slot = target->next->QueueSlot() & 0xFFFF;
    }
    if (slot != nav::kNoQueueSlot) nav::SelectQueueWaypoint(slot);
}

void CGPSposView::ShowAttachments() {
    nav::WaypointAttachments attachments;
    {
        const std::scoped_lock lock(core::TaskLock);
        const int slot = nav::g_waypointQueue.current;
        if (slot < 0 || slot >= nav::kQueueSlots) return;
        attachments = nav::g_waypointQueue.slots[static_cast<std::size_t>(slot)].record.attachments;
    }
    if (!attachments.comment.empty()) {
        notes_->SetValue(attachments.comment);
        notes_->Show();
    }
    if (!attachments.image.empty()) {
        platform::PostWindowMessage({platform::kMapViewWindow, platform::WM_USER_HIDEPOPUP,
                                     static_cast<std::uintptr_t>(GetId()), 0, attachments.image});
    }
    if (!attachments.sound.empty()) {
        std::filesystem::path sound(attachments.sound);
        if (sound.is_relative()) sound = platform::ExecutableFolder() / sound;
        core::PlaySoundAsync(sound.wstring());
    }
}

void CGPSposView::StepWindHistory(int step) {
    const std::optional<glide::WindHistoryEntry> before = glide::WindHistoryAtCursor();
    const std::optional<glide::WindHistoryEntry> after = glide::StepWindHistoryCursor(step);
    if (!before || !after || glide::WindHistory().size() < 2) return;
    if (after->line == before->line && after->wind.direction == before->wind.direction &&
        after->wind.speed == before->wind.speed) {
        return;  // at an end of the history
    }
    glide::Wind wind = glide::FromWindRecord(after->wind);
    wind.valid = true;
    glide::SetCurrentWind(wind);
    glide::WindText.Set(glide::WindDisplayText(after->wind, core::g_unitSpeed.load()));
    if (mapLink_.windChanged) mapLink_.windChanged();
}

void CGPSposView::AdoptComputedWind() {
    if (gps::g_windMethod.load() != gps::WindMethod::kNone) return;
    // Without a wind method the drift estimate's wind stays in the last
    // committed fix, its bit set; a calm is a wind like any other.
    gps::WindRecord computed;
    bool known = false;
    {
        const std::scoped_lock lock(gps::FixLock);
        computed = gps::CurrentFix.instrumentWind;
        known = (gps::CurrentFix.valueMask & gps::value_bit::kInstrumentWind) != 0;
    }
    if (!known) return;
    glide::Wind wind = glide::FromWindRecord(computed);
    wind.valid = true;
    glide::SetCurrentWind(wind);
    glide::FormatWindText();
    glide::DriftText.Overwrite(4, L">", 1);
    glide::SpeedToFlyText(core::g_macCready.load());
    if (mapLink_.windChanged) mapLink_.windChanged();
}

void CGPSposView::RewriteTrackText() {
    const std::shared_ptr<const gps::NavSnapshot> fix = gps::CurrentNav();
    switch (model_.Modes().togString) {
        case 0:
            glide::TrackText.Format(L" %3.0lft ", fix->trackDeg);
            break;
        case 2:
            glide::TrackText.Format(L" %3.0fh ", double{fix->magneticHeading});
            break;
        default:
            glide::TrackText.Format(L" %3.0lf%lc ", fix->magneticCourse,
                                    glide::CourseLetter(core::g_unitAlt.load()));
            break;
    }
}

void CGPSposView::RewriteTaskText() {
    nav::g_taskTextShowsRest = model_.Modes().taskSpeedForm ? 0 : 1;
    const std::scoped_lock lock(core::TaskLock);
    if (const nav::CTask* task = nav::g_currentTask.load()) nav::WriteTaskText(*task);
}

}  // namespace frame
