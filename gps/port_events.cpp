#include "gps/port_events.h"

#include <atomic>
#include <mutex>
#include <utility>

#include "gps/settings_values.h"

namespace gps {
namespace {

std::atomic<bool> g_polling{true};
std::atomic<std::uint32_t> g_receiveEvent{comm_event::kRxChar};
std::atomic<std::uint32_t> g_eventMask{comm_event::kLineEvents | comm_event::kRxChar};

std::mutex g_wakeMutex;
std::shared_ptr<const platform::WakeEvent> g_wake;

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

void SetGpsReaderWake(std::shared_ptr<const platform::WakeEvent> wake) {
    const std::lock_guard lock(g_wakeMutex);
    g_wake = std::move(wake);
}

void WakeGpsPortReader() {
    const std::lock_guard lock(g_wakeMutex);
    if (g_wake && g_wake->Valid()) g_wake->Signal();
}

}  // namespace gps
