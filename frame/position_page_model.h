#pragma once
// The position page's rules without a window: its view modes, the display
// modes of its fields (saved as settings the moment they change), what a
// tap on each field does, and the gestures read from a press and a release.
//
// The page's window feeds it presses and releases with their times (the
// caller's clock: tests pass synthetic times), asks it what to do, and
// carries out what it answers (questions, the glide panel, the profile,
// texts of other subsystems). The state of the rest of the program that the
// rules look at comes in a PageConditions value per call. UI thread only.

#include <array>
#include <chrono>
#include <functional>
#include <optional>

#include "frame/position_layout.h"

namespace frame {

using PageClock = std::chrono::milliseconds;

// 0 the text fields, 1 the waypoint-altitude edit, 2 the terrain profile.
enum class ViewMode { kFields = 0, kAltitudeEdit = 1, kProfile = 2 };

inline constexpr PageClock kTapInterval{300};
inline constexpr PageClock kLongPress{601};
// The cycling value's indices: the last one (10) is the temperature.
inline constexpr int kCyclingLastIndex = 10;
inline constexpr int kCyclingTemperature = 10;

// The display modes the pilot chooses; each is a setting of its own.
struct PositionModes {
    int lonLatString = 0;  // top line 0-4
    int varioString = 0;   // second line 0-4
    int altString = 0;     // cycling value 0-10
    int togString = 1;     // altitude cell: 0 altitude, 1 track, 2 heading
    int showAltitudeDifference = 0;
    int windCorrection = 0;
    int autoSetMacCready = 0;
    int demProfileSize = 0;  // 1: the large profile
    int glideDisplayMode = 0;  // glide line: 0 altitude, 1 MacCready, 2 terrain (not stored)
    int taskVariant = 0;       // 0-2: which task statistic the task line shows (not stored)
    bool taskSpeedForm = true;  // the task text shows the speed, else the second distance
    friend bool operator==(const PositionModes&, const PositionModes&) = default;
};

// The settings the modes are saved as; the name is null for the modes that
// are not stored.
enum class PageSetting {
    kLonLatString,
    kVarioString,
    kAltString,
    kTogString,
    kShowAltitudeDifference,
    kWindCorrection,
    kAutoSetMacCready,
    kDemProfileSize,
    kGlideDisplayMode,
};
const char* SettingName(PageSetting setting);

// What the rest of the program is doing, as far as the page's rules care.
struct PageConditions {
    bool taskNavigation = false;  // a task is navigated
    bool taskFlown = false;       // ... with a target point (the next-point question)
    bool instrumentData = false;
    bool instrumentMacCready = false;  // an instrument supplies MacCready
    bool temperatureSource = false;
    bool instrumentWind = false;  // an instrument has sent a wind
    bool headingData = false;
    bool teamCodeEnabled = false;
    bool thermalMode = false;             // the map view's thermal mode
    bool autoMacCreadyAvailable = false;  // Settings\Vario "autoMacCready"
    bool validWind = false;
    bool destinationExists = false;
    bool usePolar = false;
    bool finalGlideMcKnown = false;  // the required MacCready is not negative
    bool autodetectPrompt = false;
    bool useDemInfo = false;
    bool terrainKnown = false;
    bool doubleClickOption = false;
    bool altStringCycling = false;
    // The destination is a waypoint other than the task's current or finish
    // point and not a marked point: its altitude may be edited.
    bool destinationEditable = false;
    std::array<int, 16> showQueue{1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1};
};

// What a tap on a field asks the window to do besides repainting.
enum class FieldAction {
    kNone,
    kRepaint,              // a mode changed (and was saved)
    kMacCreadyUp,          // the edit mode's key steps
    kMacCreadyDown,
    kAskRequiredMacCready,  // the yes/no question of the glide line
    kOpenProfile,
    kWindHistoryNewer,
    kWindHistoryOlder,
    kAutoMacCreadyToggled,  // the MacCready in use and its text follow
    kTrackTextChanged,      // TrackText is rewritten in the new form
    kTaskTextChanged,       // TaskText is rewritten in the new form
    kFlightTimeFormat,
    kResetDrift,
    kAdoptComputedWind,
    kWindCorrectionToggled,
    kNextPointChoiceToggled,
    kNextWaypoint,
    kPreviousWaypoint,
};

// What a release means.
enum class Gesture {
    kNone,                // nothing (a tap too soon after the last one, a double click's)
    kEditToggled,         // the edit mode's second line changed
    kProfileSizeToggled,  // the profile is requested again in its new size
    kProfileClosed,
    kShowProfile,
    kOpenGlidePanel,
    kAskNextPoint,
    kOpenAltitudeEdit,
    kShowAttachments,
    kTap,  // CycleFieldMode at the release point
};

class PositionPageModel {
  public:
    using SaveSetting = std::function<void(PageSetting, int)>;

    explicit PositionPageModel(PositionModes modes = {}, SaveSetting save = {});

    const PositionModes& Modes() const { return modes_; }
    ViewMode Mode() const { return mode_; }
    const PositionLayout& Layout() const { return layout_; }
    PositionRowOrigins Rows() const { return rows_; }
    void SetRowOrigins(PositionRowOrigins rows);

    // The edit mode's two toggles: the second line shows the first task
    // statistic instead of MacCready, and the time since the start instead
    // of the third statistic.
    bool EditShowsFirstStatistic() const { return editFirstStatistic_; }
    bool EditShowsStartTime() const { return editStartTime_; }

    // --- The pointer. Times are the caller's clock.
    void Press(platform::Point at, PageClock time);
    Gesture Release(platform::Point at, PageClock time, const PageConditions& conditions);
    // A double click: CycleFieldMode with the double-click option in the
    // fields mode (true), back to the fields from the profile.
    bool DoubleClick(const PageConditions& conditions);
    // The main window's key replay: 19 the altitude-edit swipe, 15 the
    // next-point swipe, both only while a task is flown.
    Gesture ReplayKey(int key, const PageConditions& conditions) const;

    // --- The fields.
    FieldAction CycleFieldMode(platform::Point at, const PageConditions& conditions);
    // "AltStringCycling": the value steps on every paint.
    void AdvanceCyclingOnPaint(const PageConditions& conditions);
    // The next cycling index after index, with its skips; 0 when none
    // qualifies.
    static int NextCyclingIndex(int index, const PageConditions& conditions);
    // The modes the lines are painted in, after the fall-backs.
    int TopLineMode(const PageConditions& conditions) const;
    int SecondLineMode(const PageConditions& conditions);
    // The team-code button shows in top-line mode 4 (while the glide panel is hidden).
    bool TeamButtonWanted(const PageConditions& conditions) const;
    void SetMode(PageSetting setting, int value);
    // Takes over a value another part of the program changed (and stored).
    void AdoptMode(PageSetting setting, int value);

    // --- View modes.
    // WM_USER+5: true when the profile is to be drawn. Outside the profile
    // mode nothing changes; in it a missing buffer returns to the fields.
    bool TerrainProfileMessage(bool bufferExists);
    void OpenProfile() { mode_ = ViewMode::kProfile; }
    void CloseProfile() { mode_ = ViewMode::kFields; }
    void OpenAltitudeEdit();
    void CloseAltitudeEdit() { mode_ = ViewMode::kFields; }

    // --- Circling (WM_APP+4): the second line shows the vario or the wind
    // while circling, when "ShowWhileCircling" asks for it.
    void CirclingChanged(bool started, int showWhileCircling);

  private:
    FieldAction CycleTopLine(platform::Point at, const PageConditions& conditions);
    FieldAction CycleSecondLine(platform::Point at, const PageConditions& conditions);
    FieldAction CycleGlideLine(platform::Point at, const PageConditions& conditions);
    FieldAction CycleDestinationLine(platform::Point at, const PageConditions& conditions);
    FieldAction CycleCells(platform::Point at, const std::array<platform::PixelRect, 3>& cells,
                           const PageConditions& conditions);
    FieldAction CycleTaskLine(platform::Point at, const platform::PixelRect& line);
    Gesture ProfileTap(platform::Point at);
    std::optional<Gesture> Swipe(platform::Point from, platform::Point to,
                                 const PageConditions& conditions) const;
    void Change(PageSetting setting, int& field, int value);
    int& Field(PageSetting setting);

    PositionModes modes_;
    SaveSetting save_;
    PositionRowOrigins rows_ = kCompactRows;
    PositionLayout layout_;
    ViewMode mode_ = ViewMode::kFields;
    bool editFirstStatistic_ = false;
    bool editStartTime_ = false;
    int varioBeforeCircling_ = 0;
    bool circling_ = false;

    platform::Point pressPoint_{};
    std::optional<PageClock> pressTime_;  // only for presses in the destination line
    std::optional<PageClock> lastRelease_;
};

// The letter beside the wind text, after where the wind comes from: 'S'
// once an instrument has sent a wind of its own (the fix path's wind flag,
// whatever the glider does), 'C' while circling, 'T' otherwise.
wchar_t WindMark(bool instrumentWind, bool circling);

// Where the MacCready spin control rests between steps.
inline constexpr int kMacCreadySpinRest = 30;

// The manual MacCready after the spin control's thumb moved to position
// (kMacCreadySpinRest is the rest position): steps of 0.1 m/s in knots with the vario unit
// 1, else 0.2 kt; never below 0.
float MacCreadyAfterSpin(float manual, int position, int unitVario);
// One MacCready step of the spin control and the glide panel, knots.
float MacCreadyStep(int unitVario);

}  // namespace frame
