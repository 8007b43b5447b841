#include "glide/modem_event_labels.h"

#include <atomic>
#include <cstddef>
#include <cstdint>

namespace glide {
namespace {

struct EventLabels {
    const char* on;
    const char* off;
};

EventLabels LabelsOf(int index) {
    switch (index) {
        case 2:
            return {"PEV", ""};
        case 3:
            return {"EON", "EOF"};
        case 4:
            return {"EUP", "EDN"};
        case 5:
            return {"STA", ""};
        case 6:
            return {"FIN", ""};
        case 7:
            return {"ONT", ""};
        default:
            return {"", ""};
    }
}

constexpr std::array<const char*, 4> kEventNames{"CTSevent", "DSRevent", "RINGevent",
                                                 "RLSDevent"};
constexpr const char* kEventsSection = "Options\\Events";

// The value held so far as default, as every start-up read does.
int ReadInt(const platform::SettingsStore& store, const char* name, int held) {
    return static_cast<std::int32_t>(
        store.GetInt(kEventsSection, name, static_cast<std::uint32_t>(held)));
}

}  // namespace

gps::ModemEventTexts ModemEventTextsFor(const std::array<int, 4>& indices) {
    gps::ModemEventTexts texts;
    for (std::size_t line = 0; line < indices.size(); ++line) {
        const EventLabels labels = LabelsOf(indices[line]);
        texts.high[line] = labels.on;
        texts.low[line] = labels.off;
    }
    return texts;
}

void LoadModemEventLabels(const platform::SettingsStore& store) {
    std::array<int, 4> indices{};
    for (std::size_t line = 0; line < indices.size(); ++line)
        indices[line] = ReadInt(store, kEventNames[line], 0);
    gps::SetModemEventTexts(ModemEventTextsFor(indices));
    gps::g_invertEvents = ReadInt(store, "InvertEvents", gps::g_invertEvents.load());
}

}  // namespace glide
