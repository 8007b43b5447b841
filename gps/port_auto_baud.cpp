#include "gps/port_auto_baud.h"

#include <atomic>

#include "gps/gps_port.h"
#include "gps/port_events.h"
#include "gps/settings_values.h"

namespace gps {
namespace {

// Written by the reader (steps, sentences), the timer and the dialog; each a
// single word.
std::atomic<std::size_t> g_rateIndex{0};
std::atomic<bool> g_stepRequested{false};
std::atomic<bool> g_armed{false};
std::atomic<std::uint32_t> g_lastSentenceTick{platform::TickCount()};

}  // namespace

void ArmAutoBaud(std::uint32_t now) {
    g_lastSentenceTick = now;
    g_armed = true;
}

void RestartAutoBaud() {
    g_rateIndex = kAutoBaudRates.size();
    ArmAutoBaud();
}

void RequestNextBaudRate() {
    const platform::CriticalSectionLock lock(GpsPortLock);
    if (GpsPortOpen()) {
        g_stepRequested = true;
        // A silent port would otherwise keep a reader waiting for events
        // asleep, and the rate would never move.
        WakeGpsPortReader();
    } else {
        ArmAutoBaud();
    }
}

bool PollAutoBaud(std::uint32_t now) {
    if (g_autoBaud.load() == 0 || !g_armed.load()) return false;
    if (now - g_lastSentenceTick.load() <= kAutoBaudSilenceMs) return false;
    g_armed = false;
    RequestNextBaudRate();
    return true;
}

bool TakeBaudStepRequest() {
    return g_stepRequested.exchange(false);
}

bool BaudStepRequested() {
    return g_stepRequested.load();
}

std::uint32_t AdvanceAutoBaudRate() {
    std::size_t index = g_rateIndex.load() + 1;
    if (index >= kAutoBaudRates.size()) index = 0;
    g_rateIndex = index;
    return kAutoBaudRates[index];
}

std::size_t AutoBaudIndex() {
    return g_rateIndex.load();
}

bool AutoBaudArmed() {
    return g_armed.load();
}

}  // namespace gps
