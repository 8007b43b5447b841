#include "nav/task_limits.h"

#include <cmath>
#include <cstdint>
#include <string_view>

#include "core/waypoint_record.h"

namespace nav {
namespace {

int ReadInt(const platform::SettingsStore& store, std::string_view name, int fallback) {
    return static_cast<int>(
        store.GetInt(kTaskLimitsSection, name, static_cast<std::uint32_t>(fallback)));
}

void WriteInt(platform::SettingsStore& store, std::string_view name, int value) {
    store.WriteInt(kTaskLimitsSection, name, static_cast<std::uint32_t>(value));
}

// Feet shown in metres: rounded to whole metres.
float FeetToShown(int feet, bool metres) {
    return metres ? std::round(static_cast<float>(feet) / static_cast<float>(kFeetPerMetre))
                  : static_cast<float>(feet);
}

// A shown altitude back in whole feet: x 3.2808 + 0.5, truncated.
int ShownToFeet(float shown, bool metres) {
    const double feet = metres ? shown * kFeetPerMetre : shown;
    return static_cast<int>(feet + 0.5);
}

}  // namespace

TaskLimitSettings TaskLimitSettings::Read(const platform::SettingsStore& store) {
    const TaskLimitSettings d;
    return {.maxStartSpeed10 = ReadInt(store, "maxStartSpeed10", d.maxStartSpeed10),
            .maxAltOnStart = ReadInt(store, "MaxAltOnStart", d.maxAltOnStart),
            .maxAltBefore = ReadInt(store, "MaxAltBefore", d.maxAltBefore),
            .maxAltOnTask = ReadInt(store, "MaxAltOnTask", d.maxAltOnTask),
            .altMarginBefore = ReadInt(store, "AltMarginBefore", d.altMarginBefore),
            .altMarginOnTask = ReadInt(store, "AltMarginOnTask", d.altMarginOnTask),
            .startLimits = ReadInt(store, "startLimits", d.startLimits),
            .beforeLimits = ReadInt(store, "beforeLimits", d.beforeLimits),
            .onTaskLimits = ReadInt(store, "onTaskLimits", d.onTaskLimits)};
}

void TaskLimitSettings::Write(platform::SettingsStore& store) const {
    WriteInt(store, "maxStartSpeed10", maxStartSpeed10);
    WriteInt(store, "MaxAltOnStart", maxAltOnStart);
    WriteInt(store, "MaxAltBefore", maxAltBefore);
    WriteInt(store, "MaxAltOnTask", maxAltOnTask);
    WriteInt(store, "AltMarginBefore", altMarginBefore);
    WriteInt(store, "AltMarginOnTask", altMarginOnTask);
    WriteInt(store, "startLimits", startLimits);
    WriteInt(store, "beforeLimits", beforeLimits);
    WriteInt(store, "onTaskLimits", onTaskLimits);
}

void ApplyTaskLimits(const TaskLimitSettings& s) {
    const bool start = s.startLimits != 0;
    g_maxStartSpeed = start ? static_cast<float>(s.maxStartSpeed10) / 10.0F : kNoSpeedLimit;
    g_maxStartAltitude = start ? static_cast<float>(s.maxAltOnStart) : kNoAltitudeLimit;
    g_warningAltitudeBefore = s.beforeLimits != 0
                                  ? static_cast<float>(s.maxAltBefore - s.altMarginBefore)
                                  : kNoAltitudeLimit;
    g_warningAltitudeOnTask = s.onTaskLimits != 0
                                  ? static_cast<float>(s.maxAltOnTask - s.altMarginOnTask)
                                  : kNoAltitudeLimit;
}

TaskLimitsModel::TaskLimitsModel(const TaskLimitSettings& stored, bool metres,
                                 glide::DisplayUnit speedUnit)
    : metres_(metres), speedUnit_(speedUnit) {
    maxStartAltitude = FeetToShown(stored.maxAltOnStart, metres);
    const float knots = static_cast<float>(stored.maxStartSpeed10) / 10.0F;
    maxStartSpeed = std::round(knots * speedUnit.factor * 10.0F) / 10.0F;
    maxAltBefore = static_cast<int>(FeetToShown(stored.maxAltBefore, metres));
    maxAltOnTask = static_cast<int>(FeetToShown(stored.maxAltOnTask, metres));
    marginBefore = static_cast<int>(FeetToShown(stored.altMarginBefore, metres));
    marginOnTask = static_cast<int>(FeetToShown(stored.altMarginOnTask, metres));
    startLimits = stored.startLimits;
    beforeLimits = stored.beforeLimits;
    onTaskLimits = stored.onTaskLimits;
}

FloatRange TaskLimitsModel::StartAltitudeRange() const {
    return {0.0F, metres_ ? 10000.0F : 30000.0F};
}
FloatRange TaskLimitsModel::TaskAltitudeRange() const {
    return {0.0F, metres_ ? 20000.0F : 66000.0F};
}
FloatRange TaskLimitsModel::MarginRange() const {
    return {0.0F, metres_ ? 500.0F : 1500.0F};
}
FloatRange TaskLimitsModel::SpeedRange() const {
    // km/h is the one unit whose numbers run past 300.
    return {0.0F, speedUnit_.factor > 1.5F ? 500.0F : 300.0F};
}

TaskLimitSettings TaskLimitsModel::ToSettings() const {
    const float knots = std::round(maxStartSpeed / speedUnit_.factor * 10.0F) / 10.0F;
    return {.maxStartSpeed10 = static_cast<int>(knots * 10.0F + 0.01F),
            .maxAltOnStart = ShownToFeet(maxStartAltitude, metres_),
            .maxAltBefore = ShownToFeet(static_cast<float>(maxAltBefore), metres_),
            .maxAltOnTask = ShownToFeet(static_cast<float>(maxAltOnTask), metres_),
            .altMarginBefore = ShownToFeet(static_cast<float>(marginBefore), metres_),
            .altMarginOnTask = ShownToFeet(static_cast<float>(marginOnTask), metres_),
            .startLimits = startLimits,
            .beforeLimits = beforeLimits,
            .onTaskLimits = onTaskLimits};
}

TaskLimitSettings TaskLimitsModel::Accept(platform::SettingsStore& store) const {
    const TaskLimitSettings settings = ToSettings();
    settings.Write(store);
    ApplyTaskLimits(settings);
    return settings;
}

}  // namespace nav
