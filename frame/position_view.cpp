#include "frame/position_view.h"

#include <wx/button.h>
#include <wx/dcclient.h>
#include <wx/spinbutt.h>
#include <wx/textctrl.h>

#include <algorithm>
#include <cstdint>
#include <mutex>

#include "core/settings_values.h"
#include "fix/first_fix.h"
#include "fix/fix_commit.h"
#include "frame/glide_info_values.h"
#include "frame/glide_info_window.h"
#include "frame/position_keyboard_edit.h"
#include "frame/position_links.h"
#include "frame/position_map_box.h"
#include "frame/position_spin.h"
#include "frame/settings_values.h"
#include "glide/current_wind.h"
#include "glide/final_glide.h"
#include "glide/polar.h"
#include "glide/settings_values.h"
#include "glide/speed_to_fly_text.h"
#include "glide/thermal_average.h"
#include "glide/thermal_drift.h"
#include "gps/nav_fix.h"
#include "map/map_view.h"
#include "map/map_view_model.h"
#include "nav/current_position.h"
#include "nav/destination_queue.h"
#include "nav/task_model.h"
#include "nav/team_options.h"
#include "platform/canvas.h"
#include "platform/gui/canvas_bitmap.h"
#include "platform/numbers.h"
#include "platform/settings_store.h"
#include "platform/ui_post.h"
#include "platform/window_messages.h"
#include "resources/ids/main_frame.h"
#include "resources/ids/strings_position.h"
#include "services/shared_locks.h"
#include "services/string_resources.h"
#include "texts/display_texts.h"
#include "texts/display_units.h"

namespace frame {
namespace {

using platform::WM_APP;
using platform::WM_USER;

using xrc::main_frame::kNextWaypoint;
using xrc::main_frame::kPreviousWaypoint;
constexpr unsigned kAutodetectUpdate = WM_APP + 0x20;

// The fonts every page paints with; UI thread only.
PositionFonts& Fonts() {
    static PositionFonts fonts =
        MakePositionFonts(glide::g_baseSize.load(), core::g_fontFamily.Get());
    return fonts;
}

wxRect ToWx(const platform::PixelRect& rect) {
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
    // The fix-processing thread writes the glide and destination texts in
    // these forms: they are rebuilt at once rather than with the next fix.
    if (setting == PageSetting::kShowAltitudeDifference || setting == PageSetting::kWindCorrection ||
        setting == PageSetting::kGlideDisplayMode) {
        gps::SignalNewGpsData(nav::kNewDataQueue);
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

}  // namespace

PositionMapLink FrameMapLink(map::CGPSmapView& view) {
    PositionMapLink link;
    link.showObjectOnMap = [&view](const nav::WaypointRecord& record) {
        std::optional<nav::WaypointRecord> aircraft;
        if (map::g_bHaveFix.load() != 0) aircraft = nav::CopyMapFix();
        view.ShowObjectOnMap(WaypointBoxWithAircraft(record, aircraft));
    };
    link.resumeMovingMap = [&view] { view.ResumeMovingMap(); };
    link.inThermalMode = [&view] { return view.DisplayMode() == map::kZoomedMap; };
    link.windChanged = [&view] { view.Refresh(false); };
    return link;
}

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
    g_positionPageShowsProfile = false;
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
    setButton_ = new wxButton(this, kSetButtonId, core::LoadResourceString(ids::kIdsSetButton));
    setButton_->Hide();
    setButton_->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnSetValueFromEdit(); });
    teamButton_ = new wxButton(this, kTeamButtonId, " ?? ");
    teamButton_->Hide();
    teamButton_->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnTeamCode(); });
    spin_ = new PositionSpin(this, kMacCreadySpinId, wxDefaultPosition, wxDefaultSize);
    spin_->SetRange(0, 75);
    spin_->SetValue(kMacCreadySpinRest);
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
    const std::shared_ptr<const gps::NavSnapshot> fix = gps::CurrentNav();
    PageConditions c;
    c.taskNavigation = nav::g_taskNavigationActive.load() != 0;
    c.taskFlown = c.taskNavigation && nav::g_taskTargetPoint.load() != nullptr;
    c.instrumentData = fix->instrumentTextShown;
    c.instrumentMacCready = fix->instrumentMacCreadyKnown;
    {
        const platform::CriticalSectionLock lock(gps::FixLock);
        c.temperatureSource = gps::g_currentInstruments.delivered.temperature;
        c.instrumentWind = gps::g_currentInstruments.delivered.wind;
    }
    c.headingData = fix->headingValid;
    c.teamCodeEnabled = nav::TeamOptions::FromRunning().enable != 0;
    c.thermalMode = mapLink_.inThermalMode && mapLink_.inThermalMode();
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
        float flown = 0.0F;
        double startHours = -1.0;
        {
            const std::scoped_lock lock(core::TaskLock);
            if (const nav::CTask* task = nav::g_currentTask.load()) flown = task->distanceFlown;
            const nav::CTaskPoint* start = nav::g_taskStartPoint.load();
            const nav::CTaskPoint* target = nav::g_taskTargetPoint.load();
            if (start != nullptr && target != nullptr && target != start && start->IsReached()) {
                startHours = start->timeReached;
            }
        }
        const glide::DisplayUnit unit = glide::CurrentDistanceUnit();
        request.taskDistanceLine = EditTopLine(glide::g_positionTextLabels[0].Get(),
                                               double{flown * unit.factor}, unit.name);
        // Fix and start times are both fix times: the time offset cancels.
        request.startTime = TimeSinceStartText(double{gps::CurrentNav()->fixTimeHours}, startHours);
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
    const std::shared_ptr<const gps::NavSnapshot> fix = gps::CurrentNav();
    paint.windMark = WindMark(conditions.instrumentWind, fix->circling);
    paint.destinationExists = conditions.destinationExists;
    paint.fixReceived = fix->fixTimeHours != 0.0F;
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
    g_positionPageShowsProfile = model_.Mode() == ViewMode::kProfile;
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
        case FieldAction::kResetDrift:
            glide::ResetDriftEstimate(gps::CurrentNav()->trackDeg);
            break;
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
                                        kNextWaypoint);
            break;
        case FieldAction::kPreviousWaypoint:
            platform::PostWindowMessage(platform::kMainFrameWindow, platform::WM_COMMAND,
                                        kPreviousWaypoint);
            break;
    }
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
    if (mapLink_.showObjectOnMap) mapLink_.showObjectOnMap(record);
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
    if (mapLink_.resumeMovingMap) mapLink_.resumeMovingMap();
    model_.CloseAltitudeEdit();
    if (nav::g_currentTask.load() != nullptr) RewriteTaskText();
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
                               static_cast<float>(gps::CurrentNav()->trackRad));
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
