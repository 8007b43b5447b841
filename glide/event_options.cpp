#include "glide/event_options.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/settings_values.h"
#include "glide/modem_event_labels.h"
#include "gps/port_modem_lines.h"
#include "platform/numbers.h"

namespace glide {
namespace {

constexpr char kEvents[] = "Options\\Events";
constexpr std::array<const char*, 4> kNames{"CTSevent", "DSRevent", "RINGevent", "RLSDevent"};

}  // namespace

EventOptions EventOptions::FromStore(const platform::SettingsStore& store) {
    EventOptions o;
    for (std::size_t i = 0; i < kNames.size(); ++i) {
        o.lines[i] = static_cast<std::int32_t>(store.GetInt(kEvents, kNames[i], 0));
    }
    o.invert = gps::g_invertEvents;
    return o;
}

bool EventOptions::HasConflict() const {
    for (std::size_t i = 0; i < lines.size(); ++i) {
        for (std::size_t j = i + 1; j < lines.size(); ++j) {
            if (lines[i] > 1 && lines[i] == lines[j]) return true;
        }
    }
    return false;
}

std::string EventChangeRecord(const gps::FixClock& time, const EventOptions& before,
                              const EventOptions& after) {
    const auto& b = before.lines;
    const auto& a = after.lines;
    return platform::FormatC("E%02d%02d%02dPEV Events %d%d%d%d-%d to %d%d%d%d-%d\r\n", time.hours,
                             time.minutes, time.seconds, b[0], b[1], b[2], b[3], before.invert,
                             a[0], a[1], a[2], a[3], after.invert);
}

void EventOptions::Apply(platform::SettingsStore& store, const EventOptions& before) const {
    gps::PortReaderServices& services = gps::CurrentPortReaderServices();
    if (!(*this == before) && core::g_logFormat == 1 && services.HaveFix()) {
        const std::string record = EventChangeRecord(services.CurrentFixClock(), before, *this);
        const std::string_view line = record;
        services.AppendLogRecords({&line, 1});
    }
    gps::g_invertEvents = invert;
    for (std::size_t i = 0; i < kNames.size(); ++i) {
        store.WriteInt(kEvents, kNames[i], static_cast<std::uint32_t>(lines[i]));
    }
    store.WriteInt(kEvents, "InvertEvents", static_cast<std::uint32_t>(invert));
    gps::SetModemEventTexts(ModemEventTextsFor(lines));
}

}  // namespace glide
