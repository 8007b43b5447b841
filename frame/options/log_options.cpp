#include "frame/options/log_options.h"

#include <cmath>
#include <cstdint>

#include "core/settings_values.h"
#include "gps/raw_capture.h"
#include "nav/settings_values.h"
#include "platform/numbers.h"
#include "recorder/settings_values.h"

namespace frame {
namespace {

constexpr char kLogSection[] = "Options\\Logging";

void WriteLogInt(platform::SettingsStore& store, const char* name, int value) {
    store.WriteInt(kLogSection, name, static_cast<std::uint32_t>(value));
}

}  // namespace

LogOptions LogOptions::FromRunning() {
    LogOptions o;
    o.logFormat = core::g_logFormat;
    o.logSpeedTrack = core::g_logSpeedTrack;
    o.logInterval = core::g_logInterval;
    o.rawCapture = gps::g_bRawDataCapture;
    o.saveDroppedWpts = nav::g_saveDroppedWpts;
    o.screenUpdates = std::floor(core::g_screenUpdates * 36000.0F + 0.51F) / 10.0F;
    o.diskWarning = recorder::g_diskWarning;
    return o;
}

void LogOptions::Apply(platform::SettingsStore& store) const {
    // A page that was never shown keeps the running interval unrounded.
    if (screenUpdates != FromRunning().screenUpdates) {
        core::g_screenUpdates = (screenUpdates - 0.05F) / 3600.0F;
    }
    recorder::g_diskWarning = diskWarning;
    nav::g_saveDroppedWpts = saveDroppedWpts;
    core::g_logFormat = logFormat;
    core::g_logSpeedTrack = logSpeedTrack;
    core::g_logInterval = logInterval;
    core::g_logDataOn = 1;
    if (gps::g_bRawDataCapture.exchange(rawCapture) != rawCapture) gps::OpenRawDataLog();

    store.WriteString("Settings", "ScreenUpdates",
                      platform::FormatC("%.1f", static_cast<double>(screenUpdates)));
    WriteLogInt(store, "DiskWarning", diskWarning);
    WriteLogInt(store, "SaveDroppedWpts", saveDroppedWpts);
    WriteLogInt(store, "LogFormat", logFormat);
    WriteLogInt(store, "LogSpeedTrack", logSpeedTrack);
    WriteLogInt(store, "LogInterval", logInterval);
    WriteLogInt(store, "LogDataOn", 1);
}

}  // namespace frame
