#pragma once
// The map window's timer duties as plain state machines, free of wx. Each
// tick is given the time it runs at (steady-clock milliseconds, so a clock
// set from the GPS never shortens or stretches a hold) and what it needs of
// the shared state; it answers what the window is to show or hide. Sounds go
// through a SoundSink, which the window binds to the sound queue (SoundLock,
// 3000 ms) and tests bind to a recorder. UI thread only.

#include <atomic>
#include <cstdint>
#include <string>

namespace map {

using SteadyMs = std::int64_t;

// Ticks of the map timer during which the map starts no sound of its own
// (speed director); whoever plays a sound sets it to 20.
inline std::atomic<int> g_soundHoldOff{0};
inline constexpr int kSoundHoldOffTicks = 20;

inline constexpr wchar_t kZoneAlarmSound[] = L"korvn!lt.wav";
inline constexpr wchar_t kFlyFasterSound[] = L"korvn!fs.wav";
inline constexpr wchar_t kFlySlowerSound[] = L"korvn!sl.wav";

class SoundSink {
  public:
    virtual ~SoundSink() = default;
    // A file name as given (the window puts the sound folder in front).
    virtual void Play(const std::wstring& fileName) = 0;
};

// --- 2. Fix age, the no-fix mark and the speed director.

// The fix age the fix thread resets to 0 with every fix, in hours.
inline constexpr double kFreshFixHours = 0.005;   // below: the port counts as quiet
inline constexpr double kValidFixHours = 0.011;   // at most: the fix is current
inline constexpr double kBackButtonAgeHours = -0.045;

struct FixAgeStep {
    bool clearDataReceived = false;  // the port's data-received flag
    bool fixCurrent = false;         // the speed director runs
    bool clearNoFixMark = false;     // hide the mark's window, clear the mark
    bool setNoFixMark = false;       // "*", show and repaint its window
};

// Adds the timer period to ageHours and says what follows from it.
FixAgeStep AdvanceFixAge(double& ageHours, int periodMs, bool noFixMarkSet);

struct SpeedDirectorInput {
    bool enabled = false;       // "speedDirector"
    bool circling = false;
    bool polarFitted = false;
    float tolerance = 1.0F;     // "speedDirectorTolerance"
    float airspeed = 0.0F;      // the estimate v
    float speedToFly = 0.0F;    // s
    float groundSpeedKnots = 0.0F;
};

// One tick of the speed director on g_soundHoldOff: the sound it plays, or
// an empty string.
std::wstring SpeedDirectorTick(const SpeedDirectorInput& in);

// --- 3. The zone alarm.

struct ZoneAlarmVerdict {
    bool active = false;
    std::uintptr_t zone = 0;    // identity of the alarmed zone, 0 none
    std::wstring zoneSound;     // the zone's own sound, empty: the default
    std::wstring popupText;     // altitude band and note
};

struct ZoneAlarmStep {
    bool soundStarted = false;
    std::wstring sound;
    bool showButton = false;
    bool hideButton = false;
    bool showPopup = false;  // kind 1, with the verdict's text
    bool hidePopup = false;  // the zone-alarm popup, if it still shows
};

class ZoneAlarmAnnouncer {
  public:
    static constexpr SteadyMs kPopupMs = 30000;
    static constexpr SteadyMs kCirclingHoldMs = 30000;

    ZoneAlarmStep Tick(const ZoneAlarmVerdict& verdict, bool circling, SteadyMs now);
    // The hold or acknowledge button was used: it is hidden.
    void ButtonHidden() { buttonShown_ = false; }
    bool ButtonShown() const { return buttonShown_; }

  private:
    bool buttonShown_ = false;
    bool popupShown_ = false;
    std::uintptr_t announced_ = 0;
    SteadyMs popupEnd_ = 0;
    SteadyMs quietSince_ = -1;
};

// --- 5. The destination sound, 500 ms after the destination moved.

class DestinationSound {
  public:
    static constexpr SteadyMs kDelayMs = 500;
    void Moved(SteadyMs now) { movedAt_ = now; }
    bool Pending() const { return movedAt_ >= 0; }
    // True once, when the delay has passed; the move is consumed.
    bool Due(SteadyMs now);

  private:
    SteadyMs movedAt_ = -1;
};

// --- 6. The task altitude warning.

struct TaskAltitudeLimits {  // "Settings\Task"
    bool beforeLimits = false;
    float maxAltBefore = 0.0F;
    float altMarginBefore = 0.0F;
    bool onTaskLimits = false;
    float maxAltOnTask = 0.0F;
    float altMarginOnTask = 0.0F;

    // The height not to exceed; 100000 when that limit is off.
    float Limit(bool beforeStart) const;
    // From the two working limits the task code publishes (maximum less
    // margin, 100000 for a limit that is off).
    static TaskAltitudeLimits FromWorking(float before, float onTask);
};

// A task is flown: the altitude (pressure altitude when known, else the
// GPS altitude), whether its start point is still the point flown to, and
// the limits.
struct TaskWarningInput {
    float altitude = 0.0F;
    bool beforeStart = true;
    TaskAltitudeLimits limits;
};

struct PopupState {
    bool shown = false;
    int kind = 0;
};

struct TaskWarningStep {
    bool warn = false;       // play the zone sound, popup ids::kIdsAboveAltitudeLimit as kind 2
    bool hidePopup = false;  // hide the kind-2 popup
};

class TaskAltitudeWarning {
  public:
    static constexpr SteadyMs kRearmMs = 300000;
    static constexpr SteadyMs kSecondPopupMs = 5000;

    TaskWarningStep Tick(float altitude, bool beforeStart, const TaskAltitudeLimits& limits,
                         PopupState popup, SteadyMs now);

  private:
    bool warned_ = false;  // a warning was given; it waits for its re-arm
    SteadyMs warnedAt_ = 0;
    SteadyMs dueAt_ = -1;
};

}  // namespace map
