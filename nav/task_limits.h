#pragma once
// The start limits and the altitude warnings of a task ("Settings\Task"),
// the values navigation and the map read from them, and what the task
// limits dialog does without its window.
//
// Stored units: altitudes and margins in whole feet, the start speed in
// tenths of a knot. The dialog shows altitudes in the user's altitude unit
// (feet, or metres rounded ×/÷ 3.2808) and the speed in the speed unit.
// UI thread, except the published limits (atomics, read anywhere).

#include <atomic>
#include <cstdint>

#include "nav/task_navigation.h"
#include "platform/settings_store.h"
#include "texts/display_units.h"

namespace nav {

// The altitude warnings (feet: maximum less margin) before the start and on
// task; 100000 while the warning is off. g_maxStartSpeed and
// g_maxStartAltitude (task_navigation.h) are the start limits.
inline constexpr float kNoSpeedLimit = 1000.0F;       // knots
inline constexpr float kNoAltitudeLimit = 100000.0F;  // feet
inline std::atomic<float> g_warningAltitudeBefore{kNoAltitudeLimit};
inline std::atomic<float> g_warningAltitudeOnTask{kNoAltitudeLimit};

inline constexpr char kTaskLimitsSection[] = "Settings\\Task";

// The nine stored values, defaults as a fresh installation has them.
struct TaskLimitSettings {
    int maxStartSpeed10 = 3000;  // "maxStartSpeed10", tenths of a knot
    int maxAltOnStart = 30000;   // "MaxAltOnStart", feet
    int maxAltBefore = 30000;    // "MaxAltBefore"
    int maxAltOnTask = 30000;    // "MaxAltOnTask"
    int altMarginBefore = 200;   // "AltMarginBefore"
    int altMarginOnTask = 200;   // "AltMarginOnTask"
    int startLimits = 0;         // "startLimits"
    int beforeLimits = 0;        // "beforeLimits"
    int onTaskLimits = 0;        // "onTaskLimits"

    static TaskLimitSettings Read(const platform::SettingsStore& store);
    void Write(platform::SettingsStore& store) const;
    friend bool operator==(const TaskLimitSettings&, const TaskLimitSettings&) = default;
};

// Publishes the limits: switched-off limits take the "off" values.
void ApplyTaskLimits(const TaskLimitSettings& settings);

struct FloatRange {
    float minimum;
    float maximum;
};

// The limits dialog's members in the units shown.
class TaskLimitsModel {
  public:
    TaskLimitsModel(const TaskLimitSettings& stored, bool metres, glide::DisplayUnit speedUnit);

    float maxStartAltitude = 0.0F;  // control 1336
    float maxStartSpeed = 0.0F;     // 1337, in the speed unit
    int maxAltBefore = 0;           // 1334
    int maxAltOnTask = 0;           // 1338
    int marginBefore = 0;           // 1335
    int marginOnTask = 0;           // 1339
    int startLimits = 0;            // 1389
    int beforeLimits = 0;           // 1385
    int onTaskLimits = 0;           // 1391

    bool Metres() const { return metres_; }
    const glide::DisplayUnit& SpeedUnit() const { return speedUnit_; }
    // The ranges the dialog enforces, in the units shown.
    FloatRange StartAltitudeRange() const;  // also "before"
    FloatRange TaskAltitudeRange() const;
    FloatRange MarginRange() const;
    FloatRange SpeedRange() const;

    // The values to store for what is shown.
    TaskLimitSettings ToSettings() const;
    // OK: stores the values, writes them and publishes the limits.
    TaskLimitSettings Accept(platform::SettingsStore& store) const;

  private:
    bool metres_;
    glide::DisplayUnit speedUnit_;
};

}  // namespace nav
