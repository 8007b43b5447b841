#include "app/port_services.h"

#include <cmath>

#include "frame/main_frame.h"
#include "gps/nav_fix.h"
#include "map/map_view.h"
#include "recorder/logger_library.h"
#include "services/flight_log.h"

namespace app {

bool ProgramPortServices::AppendLogRecords(std::span<const std::string_view> lines) {
    const platform::CriticalSectionLock lock(core::LogFileLock);
    if (!core::g_hFlightLog.IsOpen()) return false;
    bool written = true;
    for (const std::string_view line : lines)
        written = core::WriteLogLine(line) && written;
    return written;
}

bool ProgramPortServices::HaveFix() const {
    return map::g_bHaveFix.load() != 0;
}

gps::FixClock ProgramPortServices::CurrentFixClock() const {
    const std::shared_ptr<const gps::NavSnapshot> published = gps::CurrentNav();
    return {published->hours, published->minutes, static_cast<int>(std::floor(published->seconds))};
}

bool ProgramPortServices::SensorBoxLoaded() const {
    return recorder::SensorBoxLoaded();
}

void ProgramPortServices::SetLoggerToNmeaMode() {
    frame::CMainFrame::SetLoggerToNmeaMode();
}

}  // namespace app
