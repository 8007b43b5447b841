#include "frame/position_view.h"

#include <wx/button.h>
#include <wx/dcclient.h>
#include <wx/spinbutt.h>
#include <wx/textctrl.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <mutex>

#include "core/elevation_model.h"
#include "core/settings_values.h"
#include "core/shared_locks.h"
#include "core/sound_queue.h"
#include "core/string_resources.h"
#include "core/terrain_sampling.h"
#include "fix/first_fix.h"
#include "frame/glide_info_values.h"
#include "frame/glide_info_window.h"
#include "frame/position_keyboard_edit.h"
#include "frame/position_spin.h"
#include "frame/settings_values.h"
#include "glide/altitude_required.h"
#include "glide/current_wind.h"
#include "glide/display_texts.h"
#include "glide/display_units.h"
#include "glide/final_glide.h"
#include "glide/glide_context.h"
#include "glide/glide_path.h"
#include "glide/polar.h"
#include "glide/queue_texts.h"
#include "glide/settings_values.h"
#include "glide/speed_to_fly_text.h"
#include "glide/thermal_average.h"
#include "glide/thermal_drift.h"
#include "glide/wind_history.h"
#include "glide/wind_texts.h"
#include "gps/gps_fix_record.h"
#include "gps/nav_fix.h"
#include "gps/settings_values.h"
#include "map/settings_values.h"
#include "nav/current_position.h"
#include "nav/destination_queue.h"
#include "nav/task_model.h"
#include "nav/task_texts.h"
#include "nav/team_options.h"
#include "platform/canvas.h"
#include "platform/gui/canvas_bitmap.h"
#include "platform/message_box.h"
#include "platform/numbers.h"
#include "platform/paths.h"
#include "platform/settings_store.h"
#include "platform/window_messages.h"

namespace frame {
namespace {

using platform::WM_APP;
using platform::WM_USER;

constexpr int kSpinRest = 30;
constexpr unsigned kCommandNextWaypoint = 32796;
constexpr unsigned kCommandPreviousWaypoint = 32797;
constexpr unsigned kAutodetectUpdate = WM_APP + 0x20;

// The fonts every page paints with; UI thread only.
PositionFonts& Fonts() {
    static PositionFonts fonts =
        MakePositionFonts(glide::g_baseSize.load(), core::g_fontFamily.Get());
    return fonts;
}

wxRect ToWx(const platform::Rect& rect) {
    return {rect.left, rect.top, rect.Width(), rect.Height()};
}

// The modes as the settings loader left them.
PositionModes StoredModes() {
    PositionModes modes;
    modes.lonLatString = glide::g_lonLatString.load();
    modes.varioString = glide::g_varioString.load();
    modes.altString = glide::g_altString.load();
    modes.togString = core::g_togString.load();
    modes.showAltitudeDifference = glide::g_showAltitudeDifference.load();
    modes.windCorrection = core::g_windCorrection.load();
    modes.autoSetMacCready = core::g_autoSetMacCready.load();
    modes.demProfileSize =
        static_cast<int>(platform::AppSettings().GetInt("Settings", "DEMprofileSize", 0));
    modes.glideDisplayMode = glide::g_glideDisplayMode.load();
    return modes;
}

// A mode changed: the running value follows and the setting is stored.
void SaveMode(PageSetting setting, int value) {
    switch (setting) {
        case PageSetting::kLonLatString: glide::g_lonLatString = value; break;
        case PageSetting::kVarioString: glide::g_varioString = value; break;
        case PageSetting::kAltString: glide::g_altString = value; break;
        case PageSetting::kTogString: core::g_togString = value; break;
        case PageSetting::kShowAltitudeDifference: glide::g_showAltitudeDifference = value; break;
        case PageSetting::kWindCorrection: core::g_windCorrection = value; break;
        case PageSetting::kAutoSetMacCready: core::g_autoSetMacCready = value; break;
        case PageSetting::kDemProfileSize: break;
        case PageSetting::kGlideDisplayMode: glide::g_glideDisplayMode = value; break;
    }
    if (const char* name = SettingName(setting)) {
        platform::AppSettings().WriteInt("Settings", name, static_cast<std::uint32_t>(value));
    }
}

bool DestinationEditable() {
    const std::scoped_lock lock(core::TaskLock);
    const int slot = nav::g_waypointQueue.current;
    if (nav::g_destinationValid == 0 || slot < 0 || slot >= nav::kQueueSlots) return false;
    const nav::QueueSlot& entry = nav::g_waypointQueue.slots[static_cast<std::size_t>(slot)];
    if (entry.record.HasMarker()) return false;
    const nav::QueueTaskPoint* point = entry.taskPoint;
    return point == nullptr ||
           (point != nav::g_taskTargetPoint.load() && point != nav::g_taskFinishPoint.load());
}

float GliderAltitude() {
    const float gps = gps::g_navFix.gpsAltitude.load();
    return gps::g_navFix.gpsAltitudeValid.load() != 0 ? gps : gps::g_navFix.qnhAltitude.load();
}

}  // namespace

void CreateViewFonts() {
    Fonts() = MakePositionFonts(glide::g_baseSize.load(), core::g_fontFamily.Get());
    if (g_pPosView != nullptr) g_pPosView->Refresh(false);
}

CGPSposView::CGPSposView(wxWindow* parent, const wxPoint& position, const wxSize& size)
    : wxWindow(parent, wxID_ANY, position, size, wxFULL_REPAINT_ON_RESIZE),
      model_(StoredModes(), SaveMode),
      clock_([] {
          return std::chrono::duration_cast<PageClock>(
              std::chrono::steady_clock::now().time_since_epoch());
      }),
      profileBuffer_(kProfileInitialPoints) {
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    glide::GroundClearanceText.Set(L"G: ?? ");
    CreateChildren();
    PlaceChildren();
    g_manualMacCready = core::g_macCready.load();
    Bind(wxEVT_PAINT, &CGPSposView::OnPaint, this);
    Bind(wxEVT_LEFT_DOWN, &CGPSposView::OnLeftDown, this);
    Bind(wxEVT_LEFT_UP, &CGPSposView::OnLeftUp, this);
    Bind(wxEVT_LEFT_DCLICK, &CGPSposView::OnLeftDoubleClick, this);
    registration_ = platform::gui::WindowRegistration(
        platform::kPosViewWindow, *this,
        [this](const platform::WindowMessage& message) { return OnWindowMessage(message); });
}

CGPSposView::~CGPSposView() {
    registration_.Reset();
    if (g_pPosView == this) g_pPosView = nullptr;
}

void CGPSposView::CreateChildren() {
    notes_ = new wxTextCtrl(this, kNotesEditId, wxEmptyString, wxDefaultPosition, wxDefaultSize,
                            wxTE_MULTILINE | wxTE_READONLY);
    notes_->Hide();
    glidePanel_ = new CGlideInfoWnd(this, wxDefaultPosition, wxDefaultSize);
    glidePanel_->onNextMode = [this](int mode) { OnShowPanel(mode); };
    glidePanel_->onClearPendingKeys = [this] {
        if (pendingKeyReset_) pendingKeyReset_();
    };
    altitudeEdit_ = new CKeyboardEdit(this, kAltitudeEditId);
    altitudeEdit_->Hide();
    setButton_ = new wxButton(this, kSetButtonId, core::LoadResourceString(2550));
    setButton_->Hide();
    setButton_->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnSetValueFromEdit(); });
    teamButton_ = new wxButton(this, kTeamButtonId, " ?? ");
    teamButton_->Hide();
    teamButton_->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnTeamCode(); });
    spin_ = new PositionSpin(this, kMacCreadySpinId, wxDefaultPosition, wxDefaultSize);
    spin_->SetRange(0, 75);
    spin_->SetValue(kSpinRest);
    spin_->Hide();
    spin_->Bind(wxEVT_SPIN_UP, &CGPSposView::OnSpin, this);
    spin_->Bind(wxEVT_SPIN_DOWN, &CGPSposView::OnSpin, this);
}

void CGPSposView::PlaceChildren() {
    const PositionLayout& layout = model_.Layout();
    glidePanel_->SetSize(ToWx(layout.glidePanel));
    notes_->SetSize(ToWx(layout.notesEdit));
    teamButton_->SetSize(ToWx(layout.teamButton));
    altitudeEdit_->SetSize(ToWx(layout.altitudeEdit));
    setButton_->SetSize(ToWx(layout.setButton));
    spin_->SetSize(ToWx(layout.macCreadySpin));
}

void CGPSposView::SetRowOrigins(PositionRowOrigins rows, int layoutWord) {
    model_.SetRowOrigins(rows);
    layoutWord_ = layoutWord;
    PlaceChildren();
    Refresh(false);
}

void CGPSposView::SetPendingKeyReset(std::function<void()> reset) {
    pendingKeyReset_ = std::move(reset);
}

PageConditions CGPSposView::Conditions() {
    // The glide panel, the thermal average and the options change these too.
    model_.AdoptMode(PageSetting::kAutoSetMacCready, core::g_autoSetMacCready.load());
    model_.AdoptMode(PageSetting::kWindCorrection, core::g_windCorrection.load());
    const gps::NavFix& fix = gps::g_navFix;
    PageConditions c;
    c.taskNavigation = nav::g_taskNavigationActive.load() != 0;
    c.taskFlown = c.taskNavigation && nav::g_taskTargetPoint.load() != nullptr;
    c.instrumentData = fix.instrumentTextShown.load();
    c.instrumentMacCready = fix.instrumentMacCreadyKnown.load();
    // Temperatures come with the instruments' data.
    c.temperatureSource = c.instrumentData;
    c.headingData = fix.headingValid.load();
    c.teamCodeEnabled = nav::TeamOptions::FromRunning().enable != 0;
    c.thermalMode = map::g_showMapInThermalMode.load() != 0 && fix.circling.load();
    c.autoMacCreadyAvailable = core::g_autoMacCready.load() != 0;
    c.validWind = glide::CurrentWind().valid;
    c.destinationExists = nav::g_destinationValid.load() != 0;
    c.usePolar = glide::CurrentPolar().usePolar;
    const int slot = model_.Modes().windCorrection != 0 ? 1 : 0;
    c.finalGlideMcKnown = glide::CurrentFinalGlide().macCready[static_cast<std::size_t>(slot)] >= 0.0F;
    c.autodetectPrompt = nav::g_bAutodetectNextPrompt.load() != 0 || nav::g_bAutodetectPrevPrompt.load() != 0;
    c.useDemInfo = glide::g_useDemInfo.load() != 0;
    c.terrainKnown = gps::g_terrainElevation.load() != gps::kUnknownTerrain;
    c.doubleClickOption = g_doubleClick.load() != 0;
    c.altStringCycling = glide::g_altStringCycling.load() != 0;
    c.destinationEditable = DestinationEditable();
    c.showQueue = g_showQueueFlags;
    return c;
}

// --- Painting.

PositionTextRequest CGPSposView::TextRequest() const {
    PositionTextRequest request;
    request.modes = model_.Modes();
    request.editFirstStatistic = model_.EditShowsFirstStatistic();
    request.editStartTime = model_.EditShowsStartTime();
    request.macCreadyShown = core::g_macCready.load() * glide::CurrentClimbUnit().factor;
    if (model_.Mode() == ViewMode::kAltitudeEdit) {
        const glide::DisplayUnit unit = glide::CurrentDistanceUnit();
        const std::wstring label = glide::g_positionTextLabels[1].Get();
        const std::wstring distance = glide::TaskDistanceText.Get();
        request.taskDistanceLine = label + L":" + distance + std::wstring(unit.name);
    }
    return request;
}

PositionPaint CGPSposView::PaintState(const PageConditions& conditions) {
    PositionPaint paint;
    paint.mode = model_.Mode();
    paint.topMode = model_.TopLineMode(conditions);
    paint.secondMode = model_.SecondLineMode(conditions);
    paint.thermalMode = conditions.thermalMode;
    if (core::g_autoSetMacCready.load() != 0) {
        paint.macCreadyMark = L'a';
    } else if (conditions.instrumentMacCready) {
        paint.macCreadyMark = L'B';
    }
    paint.windMark = gps::g_navFix.circling.load() ? L'C' : L'T';
    paint.destinationExists = conditions.destinationExists;
    paint.fixReceived = gps::g_navFix.fixTimeHours.load() != 0.0F;
    return paint;
}

platform::Canvas& CGPSposView::Render() {
    const wxSize size = GetClientSize();
    const int width = std::max(size.x, 1);
    const int height = std::max(size.y, 1);
    if (!canvas_ || canvas_->Width() != width || canvas_->Height() != height) {
        canvas_ = std::make_unique<platform::Canvas>(width, height);
    }
    const PageConditions conditions = Conditions();
    model_.AdvanceCyclingOnPaint(conditions);
    const PositionPaint paint = PaintState(conditions);
    PositionTexts texts = TakePositionTexts(TextRequest());
    if (conditions.taskFlown && nav::g_bAutodetectNextPrompt.load() != 0) {
        texts.destinationNumber = L"+";
    }
    PaintPositionFields(*canvas_, model_.Layout(), paint, texts, Fonts());
    if (model_.Mode() == ViewMode::kProfile && profile_) {
        DrawProfile(*canvas_, *profile_, profileLabel_, Fonts().profileLabel);
    }
    canvas_->Finish();

    // Children that follow the modes.
    const bool fields = model_.Mode() == ViewMode::kFields;
    const bool panelShown = glidePanel_->IsShown();
    teamButton_->Show(fields && !panelShown && model_.TeamButtonWanted(conditions));
    spin_->Show(fields && !panelShown && paint.secondMode == 1 && paint.macCreadyMark == 0);
    glidePanel_->SetLineFont(Fonts().panel);
    return *canvas_;
}

void CGPSposView::OnPaint(wxPaintEvent& /*event*/) {
    const platform::Canvas& canvas = Render();
    wxPaintDC dc(this);
    if (platform::gui::CopyToBitmap(canvas.Pixels(), bitmap_)) dc.DrawBitmap(bitmap_, 0, 0);
}

// --- The pointer.

void CGPSposView::OnLeftDown(wxMouseEvent& event) {
    model_.Press({event.GetX(), event.GetY()}, clock_());
}

void CGPSposView::OnLeftUp(wxMouseEvent& event) {
    const platform::Point at{event.GetX(), event.GetY()};
    Carry(model_.Release(at, clock_(), Conditions()), at);
}

void CGPSposView::OnLeftDoubleClick(wxMouseEvent& event) {
    if (model_.DoubleClick(Conditions())) CycleFieldMode(event.GetPosition());
    Refresh(false);
}

void CGPSposView::Carry(Gesture gesture, platform::Point at) {
    switch (gesture) {
        case Gesture::kNone: return;
        case Gesture::kEditToggled:
        case Gesture::kProfileClosed: break;
        case Gesture::kProfileSizeToggled:
        case Gesture::kShowProfile: OnProfileRequest(); break;
        case Gesture::kOpenGlidePanel: ShowSettingsPanel(1); break;
        case Gesture::kAskNextPoint: AskNextPoint(); break;
        case Gesture::kOpenAltitudeEdit: OpenAltitudeEdit(); break;
        case Gesture::kShowAttachments: ShowAttachments(); break;
        case Gesture::kTap: CycleFieldMode({at.x, at.y}); return;
    }
    Refresh(false);
}

void CGPSposView::CycleFieldMode(wxPoint at) {
    Carry(model_.CycleFieldMode({at.x, at.y}, Conditions()));
    Refresh(false);
}

void CGPSposView::Carry(FieldAction action) {
    switch (action) {
        case FieldAction::kNone:
        case FieldAction::kRepaint: break;
        case FieldAction::kMacCreadyUp: StepMacCready(1); break;
        case FieldAction::kMacCreadyDown: StepMacCready(-1); break;
        case FieldAction::kAskRequiredMacCready: AskRequiredMacCready(); break;
        case FieldAction::kOpenProfile: OnProfileRequest(); break;
        case FieldAction::kWindHistoryNewer: StepWindHistory(-1); break;
        case FieldAction::kWindHistoryOlder: StepWindHistory(1); break;
        case FieldAction::kAutoMacCreadyToggled: UseMacCready(model_.Modes().autoSetMacCready != 0); break;
        case FieldAction::kTrackTextChanged: RewriteTrackText(); break;
        case FieldAction::kTaskTextChanged: RewriteTaskText(); break;
        case FieldAction::kFlightTimeFormat:
            if (onFlightTimeFormat) onFlightTimeFormat();
            break;
        case FieldAction::kResetDrift: glide::ResetDriftEstimate(gps::g_navFix.trackDeg.load()); break;
        case FieldAction::kAdoptComputedWind: AdoptComputedWind(); break;
        case FieldAction::kWindCorrectionToggled:
            glide::SetDestinationSeparator(model_.Modes().windCorrection != 0 ? L'>' : L':');
            glide::SpeedToFlyText(core::g_macCready.load());
            break;
        case FieldAction::kNextPointChoiceToggled:
            platform::PostWindowMessage(platform::kMainFrameWindow, kAutodetectUpdate, 0);
            break;
        case FieldAction::kNextWaypoint:
            platform::PostWindowMessage(platform::kMainFrameWindow, platform::WM_COMMAND,
                                        kCommandNextWaypoint);
            break;
        case FieldAction::kPreviousWaypoint:
            platform::PostWindowMessage(platform::kMainFrameWindow, platform::WM_COMMAND,
                                        kCommandPreviousWaypoint);
            break;
    }
}

// --- Field actions.

void CGPSposView::StepMacCready(int steps) {
    g_manualMacCready = MacCreadyAfterSpin(g_manualMacCready.load(), kSpinRest + steps,
                                           core::g_unitVario.load());
    const bool editing = model_.Mode() == ViewMode::kAltitudeEdit;
    if (editing) model_.SetMode(PageSetting::kAutoSetMacCready, 0);
    if (core::g_autoSetMacCready.load() == 0) UseMacCready(false);
    if (editing) gps::SignalNewGpsData(nav::kNewDataQueue);  // the task's texts follow
    Refresh(false);
}

void CGPSposView::OnSpin(wxSpinEvent& event) {
    const bool instrument = gps::g_navFix.instrumentMacCreadyKnown.load();
    if (!instrument || model_.Mode() == ViewMode::kAltitudeEdit) {
        StepMacCready(event.GetEventType() == wxEVT_SPIN_UP ? 1 : -1);
    }
    spin_->SetValue(kSpinRest);
}

void CGPSposView::AskRequiredMacCready() {
    const int slot = model_.Modes().windCorrection != 0 ? 1 : 0;
    const float required = glide::CurrentFinalGlide().macCready[static_cast<std::size_t>(slot)];
    if (required < 0.0F) return;
    const glide::DisplayUnit unit = glide::CurrentClimbUnit();
    const std::wstring text = core::LoadResourceString(2130) +
                              platform::FormatC(L" %03.1f", double{required * unit.factor}) +
                              std::wstring(unit.name) + L"\n" + core::LoadResourceString(2131);
    const unsigned style = platform::mb::kYesNo | platform::mb::kIconQuestion | platform::mb::kTopmost;
    if (platform::ShowMessageBox(this, text, L"", style) != platform::kIdYes) return;
    model_.SetMode(PageSetting::kAutoSetMacCready, 0);
    g_manualMacCready = required;
    UseMacCready(false);
}

void CGPSposView::AskNextPoint() {
    const unsigned style = platform::mb::kYesNo | platform::mb::kIconQuestion | platform::mb::kTopmost;
    if (platform::ShowMessageBox(this, core::LoadResourceString(2551), L"KOR_VAN Win32", style) !=
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
}

void CGPSposView::AdoptComputedWind() {
    if (gps::g_windMethod.load() != gps::WindMethod::kNone) return;
    gps::WindRecord computed;
    {
        const std::scoped_lock lock(gps::FixLock);
        computed = gps::CurrentFix.instrumentWind;
    }
    if (!(computed.speed > 0.0F)) return;  // no wind computed yet
    glide::Wind wind = glide::FromWindRecord(computed);
    wind.valid = true;
    glide::SetCurrentWind(wind);
    glide::FormatWindText();
    glide::DriftText.Overwrite(4, L">", 1);
    glide::SpeedToFlyText(core::g_macCready.load());
}

void CGPSposView::RewriteTrackText() {
    const gps::NavFix& fix = gps::g_navFix;
    switch (model_.Modes().togString) {
        case 0: glide::TrackText.Format(L" %3.0lft ", fix.trackDeg.load()); break;
        case 2: glide::TrackText.Format(L" %3.0fh ", double{fix.magneticHeading.load()}); break;
        default:
            glide::TrackText.Format(L" %3.0lf%lc ", fix.magneticCourse.load(),
                                    glide::CourseLetter(core::g_unitAlt.load()));
            break;
    }
}

void CGPSposView::RewriteTaskText() {
    nav::g_taskTextShowsRest = model_.Modes().taskSpeedForm ? 0 : 1;
    const std::scoped_lock lock(core::TaskLock);
    if (const nav::CTask* task = nav::g_currentTask.load()) nav::WriteTaskText(*task);
}

// --- The glide panel.

void CGPSposView::ShowSettingsPanel(int flag) {
    if (model_.Mode() == ViewMode::kAltitudeEdit) return;
    if (flag == 1) {
        teamButton_->Hide();
        altitudeEdit_->Hide();
        spin_->Hide();
        glidePanel_->OpenMode(glidePanel_->Mode());
        glidePanel_->Show();
        glidePanel_->Raise();
    } else if (glidePanel_->IsShown()) {
        glidePanel_->OnCloseButton();
    }
    Refresh(false);
}

void CGPSposView::OnShowPanel(int afterMode) {
    glidePanel_->OpenMode(GlideInfoModel::ModeAfter(afterMode));
}

// --- The altitude edit.

void CGPSposView::OpenAltitudeEdit() {
    std::optional<AltitudeEditTarget> target = CaptureDestinationForEdit();
    if (!target) return;
    if (glidePanel_->IsShown()) glidePanel_->OnCloseButton();
    editTarget_ = std::move(target);
    savedManualMacCready_ = g_manualMacCready.load();
    savedAutoSetMacCready_ = core::g_autoSetMacCready.load();
    g_manualMacCready = core::g_macCready.load();
    model_.SetMode(PageSetting::kAutoSetMacCready, 0);
    const nav::WaypointRecord& record = editTarget_->copy;
    altitudeEdit_->SetValue(record.altitudeKnown
                                ? AltitudeEditText(record.altitude, core::g_unitAlt.load())
                                : std::wstring());
    model_.OpenAltitudeEdit();
    teamButton_->Hide();
    spin_->Hide();
    altitudeEdit_->Show();
    setButton_->Show();
    Refresh(false);
}

void CGPSposView::OnShowAltitude(float feet) {
    if (model_.Mode() != ViewMode::kAltitudeEdit) return;
    const double shown = core::g_unitAlt.load() != 0 ? feet / nav::kFeetPerMetre : feet;
    altitudeEdit_->SetValue(platform::FormatC(L"%.0f", shown));
}

void CGPSposView::OnSetValueFromEdit() {
    setButton_->Hide();
    g_manualMacCready = savedManualMacCready_;
    model_.SetMode(PageSetting::kAutoSetMacCready, savedAutoSetMacCready_);
    UseMacCready(savedAutoSetMacCready_ != 0);
    if (editTarget_) {
        TaskFileTarget file;
        bool taskLoaded = false;
        {
            const std::scoped_lock lock(core::TaskLock);
            taskLoaded = !nav::g_taskList.empty();
        }
        if (taskLoaded) {
            file.path = platform::AppSettings().GetString("Settings", "TaskFileName", std::wstring());
        }
        SetEditedAltitude(*editTarget_, altitudeEdit_->GetValue().ToStdWstring(),
                          core::g_unitAlt.load(), file);
    }
    editTarget_.reset();
    altitudeEdit_->Hide();
    // The navigation texts follow the new altitude.
    gps::SignalNewGpsData(nav::kNewDataQueue);
    model_.CloseAltitudeEdit();
    if (nav::g_currentTask.load() != nullptr) RewriteTaskText();
    Refresh(false);
}

// --- The terrain profile.

void CGPSposView::OnProfileRequest() {
    if (gps::g_terrainElevation.load() == gps::kUnknownTerrain) return;
    model_.OpenProfile();
    const bool leg = glide::g_driftValid.load() != 0;
    const float track = static_cast<float>(gps::g_navFix.trackRad.load());
    CallAfter([this, leg, track] { DrawTerrainProfile(leg, track); });
}

void CGPSposView::DrawTerrainProfile(bool legProfile, float trackRadians) {
    if (!model_.TerrainProfileMessage(!profileBuffer_.empty())) {
        Refresh(false);
        return;
    }
    nav::WaypointRecord position;
    {
        const std::scoped_lock lock(core::MapLock);
        position = nav::g_mapFix;
    }
    ProfileInput input;
    input.altitude = GliderAltitude();
    input.large = model_.Modes().demProfileSize != 0;
    std::size_t count = 0;
    if (legProfile) {
        const std::scoped_lock lock(glide::GlidePathLock);
        const glide::ProfileCopy& copy = glide::GlidePathProfile;
        count = copy.samples.size();
        profileBuffer_.resize(ProfileBufferSize(profileBuffer_.size(), count));
        std::copy(copy.samples.begin(), copy.samples.end(), profileBuffer_.begin());
        input.lowest = copy.lowest;
        input.highest = copy.highest;
        profileLabel_ = L"LEG";
    } else {
        const std::shared_ptr<const core::ElevationModel> model = core::CurrentElevationModel();
        input.lengthKm = ProfileLengthKm(std::nullopt);
        const core::TerrainProfile sampled = core::SampleAlongCourse(
            model.get(), position.longitude, position.latitude, trackRadians, input.lengthKm);
        if (sampled.status != core::SampleStatus::kNone) {
            count = sampled.samples.size();
            profileBuffer_.resize(ProfileBufferSize(profileBuffer_.size(), count));
            std::copy(sampled.samples.begin(), sampled.samples.end(), profileBuffer_.begin());
        }
        input.lowest = sampled.lowest;
        input.highest = sampled.highest;
        profileLabel_ = L"TRK";
        const glide::GlideContext context = glide::CurrentGlideContext();
        for (const float speed : {gps::g_navFix.indicatedAirspeed.load(), glide::StfSpeed.load()}) {
            const float required = glide::AltitudeRequiredAtSpeed(context, input.lengthKm, 0.0F, speed,
                                                                   trackRadians, true);
            // An unreachable result draws no line.
            if (required == glide::kUnreachableAtSpeed) continue;
            input.glideEnds.push_back(input.altitude - (required - context.safetyAltitude));
        }
    }
    input.ground = std::span<const float>(profileBuffer_.data(), count);
    const glide::DisplayUnit distance = glide::CurrentDistanceUnit();
    const ProfileUnits units{core::g_unitDist.load(), distance.factor, core::g_unitAlt.load()};
    profile_ = LayOutProfile(input, model_.Layout(), std::max(GetClientSize().x, 1), units);
    if (!profile_) model_.CloseProfile();  // fewer than two samples: no profile
    Refresh(false);
}

// --- Messages.

void CGPSposView::OnHideChild(int id) {
    if (wxWindow* child = FindWindow(id); child != nullptr && child->GetParent() == this) {
        child->Hide();
    }
    Refresh(false);
}

void CGPSposView::OnCirclingChange(bool started, bool finishThermal) {
    model_.CirclingChanged(started, glide::g_showWhileCircling.load());
    if (!started && finishThermal) glide::CommitThermalClimb();
    Refresh(false);
}

void CGPSposView::OnReplayTap(int key) {
    Carry(model_.ReplayKey(key, Conditions()), {});
}

void CGPSposView::OnTeamCode() {
    platform::PostWindowMessage(platform::kMainFrameWindow, platform::WM_APP_TEAMCODE);
}

std::intptr_t CGPSposView::OnWindowMessage(const platform::WindowMessage& message) {
    switch (message.message) {
        case WM_USER + 5:
            // The senders disagree on the unit of the track in lParam (the
            // per-fix pass sends degrees, the layout switch radians): the
            // published track is the same value, in radians.
            DrawTerrainProfile(message.wParam == 1,
                               static_cast<float>(gps::g_navFix.trackRad.load()));
            return 0;
        case WM_USER + 10: OnHideChild(static_cast<int>(message.wParam)); return 0;
        case WM_APP + 2: OnShowPanel(static_cast<int>(message.wParam)); return 0;
        case WM_APP + 4: OnCirclingChange(message.lParam == 1, message.wParam != 0); return 0;
        case WM_APP + 5:
            if (const float* feet = std::any_cast<float>(&message.payload)) OnShowAltitude(*feet);
            return 0;
        case WM_APP + 6: OnProfileRequest(); return 0;
        case WM_APP + 7: OnReplayTap(static_cast<int>(message.wParam)); return 0;
        default: Refresh(false); return 0;
    }
}

}  // namespace frame
