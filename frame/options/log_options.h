#pragma once
// The logging options page's values ("Options\Logging", "ScreenUpdates" in
// "Settings") in display units, taken from the running settings and written
// back to them and to the settings store. The raw serial capture is switched
// but not stored. Without wx; UI thread only.

#include "platform/settings_store.h"

namespace frame {

struct LogOptions {
    int logFormat = 1;  // 1 IGC
    int logSpeedTrack = 1;
    int logInterval = 1;  // fixes between records, 0..1000
    int rawCapture = 0;
    int saveDroppedWpts = 1;
    float screenUpdates = 2.0F;  // seconds, 1..20
    int diskWarning = 1000;

    static LogOptions FromRunning();
    // Also switches logging on ("LogDataOn" 1) every time, and opens or
    // closes the raw capture file when the capture flag changed.
    void Apply(platform::SettingsStore& store) const;
};

}  // namespace frame
