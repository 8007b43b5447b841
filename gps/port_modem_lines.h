#pragma once
// Modem-line changes of the GPS port as IGC event records.
//
// An instrument can signal events (engine on, undercarriage down, start...)
// on the modem input lines CTS, DSR, RING and carrier detect. A change that
// flips back within 300 ms is a bounce and is ignored; a lasting one is
// written as "E" + fix time + its event text once the program has a fix,
// when the flight log is IGC. Edges whose text is empty are not written.
// With another log format the events wait until IGC logging is on.

#include <array>
#include <atomic>
#include <optional>
#include <string>

#include "gps/port_services.h"

namespace gps {

// The event text of each line (CTS, DSR, RING, carrier detect) going high
// and going low; an empty text means that edge is not logged. Set by the
// display texts and the events page from "Options\Events".
struct ModemEventTexts {
    std::array<std::string, 4> high;
    std::array<std::string, 4> low;
};
void SetModemEventTexts(const ModemEventTexts& texts);
ModemEventTexts GetModemEventTexts();

// "InvertEvents": a line counts as high when its signal is off.
inline std::atomic<int> g_invertEvents{0};

class ModemLineMonitor {
  public:
    static constexpr int kBounceMs = 300;
    static constexpr int kMinuteMs = 60000;

    // Starts from the lines as read now (nothing: reading failed, all low);
    // every line counts as having changed at nowMs, the milliseconds within
    // the current UTC minute.
    void Start(std::optional<unsigned> lines, int nowMs);

    // One look at the lines (modem_line bits as read; nothing when reading
    // failed) at nowMs; writes the event records that are due.
    void Look(std::optional<unsigned> lines, int nowMs, PortReaderServices& services);

  private:
    // The levels of the lines (inverted when "InvertEvents" is set); keeps
    // the remembered levels in step when that setting changed.
    unsigned Levels(std::optional<unsigned> lines);
    // Drops bounces and edges without text from changed; returns the rest.
    unsigned LastingChanges(unsigned changed, unsigned& levels, int nowMs);
    void WritePending(PortReaderServices& services);

    unsigned stable_ = 0;
    bool stableInverted_ = false;
    std::array<int, 4> lastChangeMs_{};
    unsigned pendingBits_ = 0;
    unsigned pendingLevels_ = 0;
};

// Milliseconds within the current UTC minute (second * 1000 + millisecond).
int MillisecondsInMinute();

}  // namespace gps
