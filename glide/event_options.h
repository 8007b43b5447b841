#pragma once
// The events options page's values ("Options\Events"): which IGC event each
// modem line (CTS, DSR, RING, carrier detect) signals, as the event index of
// modem_event_labels.h, and whether the lines count inverted. Applying a
// change while an IGC log is open and a fix has come writes one "PEV Events"
// record of old and new values; the serial reader then takes the new labels
// and inversion (it keeps its remembered levels in step with the inversion,
// so the change itself is no line edge). Without wx; UI thread only.

#include <array>
#include <string>

#include "gps/port_services.h"
#include "platform/settings_store.h"

namespace glide {

struct EventOptions {
    std::array<int, 4> lines{};  // event index per line
    int invert = 0;

    static EventOptions FromStore(const platform::SettingsStore& store);

    // Two lines may not signal the same event (indices above 1).
    bool HasConflict() const;

    // Writes the values, the record of a change and the reader's labels.
    // `before` is what the page started from.
    void Apply(platform::SettingsStore& store, const EventOptions& before) const;

    bool operator==(const EventOptions&) const = default;
};

// The event record of a change, CR LF ended.
std::string EventChangeRecord(const gps::FixClock& time, const EventOptions& before,
                              const EventOptions& after);

}  // namespace glide
