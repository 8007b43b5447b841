#pragma once
// The reachable-outline options page's values ("Options\Maps"): whether the
// map shows the outline, the MacCready it is computed with (its own, in the
// climb unit, or the one in use) and its number of points (from the next
// start). Without wx; UI thread only.

#include "frame/options/view_link.h"
#include "platform/settings_store.h"

namespace frame {

struct OutlineOptions {
    float macCready = 0.0F;  // climb unit, 0..20
    float climbFactor = 1.0F;
    int pointCount = 48;     // 48..240
    int useMacCreadyInUse = 0;  // the contrary of "ReachableUseDefaultMC"
    int shown = 0;
    int shownAtOpen = 0;

    static OutlineOptions FromRunning(ViewLink& views);
    // A change of what the outline shows or is computed with asks the map
    // to compute it again.
    // `opened`: the values the page was built with; fields left as they were
    // keep their unrounded running values, whatever units changed since.
    void Apply(platform::SettingsStore& store, ViewLink& views, const OutlineOptions& opened) const;
};

}  // namespace frame
