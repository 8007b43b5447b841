#pragma once
// How the GPS port's reader waits: by polling (the default) or for events.
//
// Polling, the reader looks at the port every 20 ms. Waiting for events it
// sleeps in poll() on the port and on a wake event until bytes arrive, a
// modem line changes (where the driver can tell; see
// platform/modem_line_watch.h) or somebody wakes it: a baud step request, a
// close, a new event mask. Either way sentences are handed on at their LF.
//
// The event mask keeps the values stored settings and the port dialog
// know. The receive event is "character received", or with "UseRxFlag"
// "LF received"; the reader reads whatever is queued when bytes arrive, so
// both hand each sentence on as its LF comes in.

#include <cstdint>
#include <memory>

#include "platform/wake_event.h"

namespace gps {

namespace comm_event {
inline constexpr std::uint32_t kRxChar = 0x001;
inline constexpr std::uint32_t kRxFlag = 0x002;
inline constexpr std::uint32_t kCts = 0x008;
inline constexpr std::uint32_t kDsr = 0x010;
inline constexpr std::uint32_t kRlsd = 0x020;
inline constexpr std::uint32_t kErr = 0x080;
inline constexpr std::uint32_t kRing = 0x100;
// The modem-line and error part of every mask.
inline constexpr std::uint32_t kLineEvents = kCts | kDsr | kRlsd | kErr | kRing;
inline constexpr std::uint32_t kModemLines = kCts | kDsr | kRlsd | kRing;
}  // namespace comm_event

// The polling flag: true while the reader polls. Every reader start sets
// it (and "noEventsRS232"); clearing it afterwards lets a running reader
// wait for events from its next pass on.
bool GpsPortPolling();
void SetGpsPortPolling(bool polling);

// Recomputes the receive event and the event mask from "UseRxFlag" and lets
// a waiting reader take the new mask.
void SetGpsPortEventMask();
std::uint32_t GpsPortReceiveEvent();
std::uint32_t GpsPortEventMask();

// The wake event of the running reader (null when none runs); the reader
// waiting for events wakes on it besides its port.
void SetGpsReaderWake(std::shared_ptr<const platform::WakeEvent> wake);
void WakeGpsPortReader();

}  // namespace gps
