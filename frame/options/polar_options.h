#pragma once
// The polar options page's values ("Settings\Polars", "Settings\Vario") in
// display units: the polar file or a fixed glide ratio, the glider's weight
// and ballast, the bugs (not stored) and the vario's averaging time.
// Applying fits the polar file again and rescales the polar in use. Without
// wx; UI thread only.

#include <string>

#include "frame/options/view_link.h"
#include "platform/settings_store.h"

namespace frame {

struct PolarOptions {
    int usePolar = 0;            // radio index: 0 the glide ratio, 1 the polar file
    std::wstring fileName;
    float glideRatio = 20.0F;    // 0.1..100
    float weightFactor = 1.0F;   // the weight ratio W^2, 0.5..3
    int averageSeconds = 20;     // 1..600
    int useBallastSetting = 0;
    int bugsPercent = 0;         // 0..80; B = 1 / (1 - per cent / 100)
    float ballastPercent = 20.0F;  // 0..200

    static PolarOptions FromRunning();

    // Tells the pilot (a box) when the chosen polar cannot be used; fields
    // left as shown keep their unrounded running values.
    void Apply(platform::SettingsStore& store, ViewLink& views) const;
};

// The bugs field's spin: 5 per step, kept within 0..80.
int StepBugs(int percent, int steps);

}  // namespace frame
