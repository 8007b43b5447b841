#include "glide/wind_history.h"

#include <algorithm>
#include <atomic>
#include <deque>

#include "core/settings_values.h"
#include "glide/current_wind.h"
#include "gps/nav_fix.h"
#include "texts/display_texts.h"
#include "texts/wind_texts.h"

namespace glide {
namespace {

// Under WindLock.
std::deque<WindHistoryEntry> g_history;
std::size_t g_cursor = 0;

std::atomic<WindIndicatorRedraw> g_redraw{nullptr};

WindLineAltitude PublishedAltitude() {
    const std::shared_ptr<const gps::NavSnapshot> nav = gps::CurrentNav();
    if (nav->gpsAltitudeValid == 1) return {WindLineAltitude::Kind::kGps, nav->gpsAltitude};
    if (nav->pressureKnown) return {WindLineAltitude::Kind::kPressure, nav->pressureAltitude};
    return {};
}

std::optional<WindHistoryEntry> AtCursor() {
    if (g_history.empty()) return std::nullopt;
    return g_history[g_cursor];
}

}  // namespace

void FormatWindText() {
    const WindLineAltitude altitude = PublishedAltitude();
    const int altitudeUnit = core::g_unitAlt.load();
    const int speedUnit = core::g_unitSpeed.load();
    {
        const platform::CriticalSectionLock lock(WindLock);
        const gps::WindRecord wind = ToWindRecord(CurrentWind());
        g_history.push_front({WindHistoryLine(wind, altitude, altitudeUnit, speedUnit), wind});
        if (g_history.size() > kWindHistoryLength) g_history.pop_back();
        WindText.Set(WindDisplayText(wind, speedUnit));
        g_cursor = 0;
    }
    if (const WindIndicatorRedraw redraw = g_redraw.load()) redraw();
}

std::vector<WindHistoryEntry> WindHistory() {
    const platform::CriticalSectionLock lock(WindLock);
    return {g_history.begin(), g_history.end()};
}

std::optional<WindHistoryEntry> WindHistoryAtCursor() {
    const platform::CriticalSectionLock lock(WindLock);
    return AtCursor();
}

std::optional<WindHistoryEntry> StepWindHistoryCursor(int step) {
    const platform::CriticalSectionLock lock(WindLock);
    if (g_history.empty()) return std::nullopt;
    const auto last = static_cast<long long>(g_history.size()) - 1;
    g_cursor = static_cast<std::size_t>(
        std::clamp(static_cast<long long>(g_cursor) + step, 0LL, last));
    return AtCursor();
}

void ClearWindHistory() {
    const platform::CriticalSectionLock lock(WindLock);
    g_history.clear();
    g_cursor = 0;
}

bool WindIndicatorRedrawInstalled() {
    return g_redraw.load() != nullptr;
}

void SetWindIndicatorRedraw(WindIndicatorRedraw redraw) {
    g_redraw = redraw;
}

}  // namespace glide
