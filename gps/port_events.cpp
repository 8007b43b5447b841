#include "gps/port_events.h"

#include <atomic>

#include "gps/settings_values.h"

namespace gps {
namespace {

std::atomic<bool> g_polling{true};
std::atomic<std::uint32_t> g_receiveEvent{comm_event::kRxChar};
std::atomic<std::uint32_t> g_eventMask{comm_event::kLineEvents | comm_event::kRxChar};

// Lives as long as the program: a reader left running past the close limit
// may still wait on it.
const platform::WakeEvent& Wake() {
    static const platform::WakeEvent* const wake = new platform::WakeEvent;
    return *wake;
}

}  // namespace

bool GpsPortPolling() {
    return g_polling.load();
}

void SetGpsPortPolling(bool polling) {
    g_polling = polling;
    WakeGpsPortReader();
}

void SetGpsPortEventMask() {
    const std::uint32_t receive =
        g_useRxFlag.load() != 0 ? comm_event::kRxFlag : comm_event::kRxChar;
    g_receiveEvent = receive;
    g_eventMask = comm_event::kLineEvents | receive;
    WakeGpsPortReader();
}

std::uint32_t GpsPortReceiveEvent() {
    return g_receiveEvent.load();
}

std::uint32_t GpsPortEventMask() {
    return g_eventMask.load();
}

const platform::WakeEvent* GpsReaderWake() {
    return Wake().Valid() ? &Wake() : nullptr;
}

void WakeGpsPortReader() {
    if (Wake().Valid()) Wake().Signal();
}

}  // namespace gps
