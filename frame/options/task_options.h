#pragma once
// The task options page's values ("Settings\Tasks", "Options\Maps") in
// display units: the radius of a point inserted after the start (POST), the
// margin of the zones drawn on the map, and six task behaviours. Without wx;
// UI thread only.

#include "frame/options/view_link.h"
#include "platform/settings_store.h"

namespace frame {

struct TaskOptions {
    float postRadius = 1.61F;   // distance unit, 0.01..20
    float zoneMargin = 1.3F;    // distance unit, 0.1..10 x the unit's factor
    int resetClock = 0;
    int startEndCheckpointDirection = 1;
    int insertPostAtFinish = 0;
    int allowGotoWithTask = 0;
    int updateTaskFinishGate = 0;
    int gotoToMaxAatPoint = 0;
    float distanceFactor = 1.0F;  // display distance per km

    static TaskOptions FromRunning(ViewLink& views);
    // What the page shows once opened: the POST radius and two switches as
    // stored, the rest running.
    static TaskOptions FromStore(const platform::SettingsStore& store, ViewLink& views);

    float MarginMinimum() const { return 0.1F * distanceFactor; }
    float MarginMaximum() const { return 10.0F * distanceFactor; }

    // `opened`: the values the page was built with; fields left as they were
    // keep their unrounded running values, whatever units changed since.
    void Apply(platform::SettingsStore& store, ViewLink& views, const TaskOptions& opened) const;
};

}  // namespace frame
