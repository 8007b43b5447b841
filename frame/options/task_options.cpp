#include "frame/options/task_options.h"

#include <cmath>
#include <cstdint>

#include "core/settings_values.h"
#include "nav/settings_values.h"
#include "platform/numbers.h"

namespace frame {
namespace {

constexpr char kTasks[] = "Settings\\Tasks";
constexpr float kSphereRadiusKm = 6371.0F;

float RoundTaskTo(float value, float step) {
    return std::floor(value / step + 0.5F) * step;
}

}  // namespace

TaskOptions TaskOptions::FromRunning(ViewLink& views) {
    TaskOptions o;
    o.distanceFactor = core::DistanceUnitFactor(core::g_unitDist);
    o.postRadius = RoundTaskTo(nav::g_postRadius * o.distanceFactor, 0.01F);
    o.zoneMargin =
        RoundTaskTo(nav::g_minMapZoneRadiusMargin * kSphereRadiusKm * o.distanceFactor, 0.01F);
    o.resetClock = nav::g_resetClock;
    o.startEndCheckpointDirection = nav::g_startEndCheckpointDirection;
    o.insertPostAtFinish = nav::g_insertPostAtFinish;
    o.allowGotoWithTask = views.Values().allowGotoWithTask;
    o.updateTaskFinishGate = nav::g_updateTaskFinishGate;
    o.gotoToMaxAatPoint = core::g_gotoToMaxAatPoint;
    return o;
}

TaskOptions TaskOptions::FromStore(const platform::SettingsStore& store, ViewLink& views) {
    TaskOptions o = FromRunning(views);
    const std::string text = store.GetString(kTasks, "POSTradius", std::string_view());
    if (const auto stored = platform::ScanFloat(text)) {
        o.postRadius = RoundTaskTo(stored->value * o.distanceFactor, 0.01F);
    }
    o.resetClock = static_cast<int>(store.GetInt(kTasks, "resetClock", static_cast<std::uint32_t>(o.resetClock)));
    o.startEndCheckpointDirection = static_cast<int>(
        store.GetInt(kTasks, "startEndCheckpointDirection", static_cast<std::uint32_t>(o.startEndCheckpointDirection)));
    return o;
}

void TaskOptions::Apply(platform::SettingsStore& store, ViewLink& views, const TaskOptions& opened) const {
    const TaskOptions& shown = opened;
    if (postRadius != shown.postRadius) nav::g_postRadius = postRadius / distanceFactor;
    if (zoneMargin != shown.zoneMargin) {
        nav::g_minMapZoneRadiusMargin = zoneMargin / (kSphereRadiusKm * distanceFactor);
    }
    nav::g_resetClock = resetClock;
    nav::g_startEndCheckpointDirection = startEndCheckpointDirection;
    nav::g_insertPostAtFinish = insertPostAtFinish;
    MapViewValues view = views.Values();
    view.allowGotoWithTask = allowGotoWithTask;
    views.SetValues(view);
    nav::g_updateTaskFinishGate = updateTaskFinishGate;
    core::g_gotoToMaxAatPoint = gotoToMaxAatPoint;

    store.WriteInt(kTasks, "resetClock", static_cast<std::uint32_t>(resetClock));
    store.WriteString(kTasks, "POSTradius", platform::FormatC("%f", static_cast<double>(nav::g_postRadius.load())));
    store.WriteInt(kTasks, "startEndCheckpointDirection", static_cast<std::uint32_t>(startEndCheckpointDirection));
    store.WriteInt(kTasks, "insertPOSTatFinish", static_cast<std::uint32_t>(insertPostAtFinish));
    store.WriteInt("Options\\Maps", "allowGOTOwithTask", static_cast<std::uint32_t>(allowGotoWithTask));
    store.WriteInt(kTasks, "updateTaskFinishGate", static_cast<std::uint32_t>(updateTaskFinishGate));
    store.WriteString(kTasks, "minMapZoneRadiusMargin",
                      platform::FormatC("%.2f", static_cast<double>(nav::g_minMapZoneRadiusMargin * kSphereRadiusKm)));
    store.WriteInt(kTasks, "GOTOtoMaxAATpt", static_cast<std::uint32_t>(gotoToMaxAatPoint));
}

}  // namespace frame
