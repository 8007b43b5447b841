#pragma once
// The search for the rate of a receiver whose rate is not known.
//
// Every sentence that classifies shows the rate is right and re-arms the
// search. When "AutoBaud" is on and no sentence has come for more than
// 4.5 s, the map view's timer (PollAutoBaud) asks the reader to step to the
// next rate of the cycle; the reader re-arms after each step, so the rate
// moves on every 4.5 s or so until a sentence comes.

#include <array>
#include <cstddef>
#include <cstdint>

#include "platform/clock.h"

namespace gps {

// 115200 is not in the cycle.
inline constexpr std::array<std::uint32_t, 7> kAutoBaudRates{4800,  9600,  14400, 19200,
                                                             28800, 38400, 57600};
inline constexpr std::uint32_t kAutoBaudSilenceMs = 4500;

// A sentence came (or a step was made) at `now`: the search waits again.
void ArmAutoBaud(std::uint32_t now = platform::TickCount());

// The port dialog's "AutoReset" tick: armed now, and the next step goes to
// the first rate of the cycle.
void RestartAutoBaud();

// Asks the reader to step to the next rate. Without a port it only re-arms.
void RequestNextBaudRate();

// The timer's part: with "AutoBaud" on, the search armed and more than 4.5 s
// since the last sentence at `now`, disarms and requests the next rate.
// True when it requested.
bool PollAutoBaud(std::uint32_t now = platform::TickCount());

// The reader's part: takes a pending step request.
bool TakeBaudStepRequest();
bool BaudStepRequested();
// Advances to the next rate of the cycle (after the last, and after a
// restart, the first) and returns it.
std::uint32_t AdvanceAutoBaudRate();

// The rate index last applied (0..6; 7 after a restart). For the dialog
// and tests.
std::size_t AutoBaudIndex();
bool AutoBaudArmed();

}  // namespace gps
