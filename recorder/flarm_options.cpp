#include "recorder/flarm_options.h"

#include <chrono>
#include <thread>

#include "gps/gps_port.h"
#include "gps/port_auto_baud.h"
#include "platform/ddx_text.h"
#include "platform/numbers.h"

namespace recorder {
namespace {

constexpr std::string_view kSettings = "Settings";

}  // namespace

FlarmOptionValues FlarmOptionValues::From(const CFLARMobject& object) {
    FlarmOptionValues v;
    for (std::size_t i = 0; i < v.sounds.size(); ++i)
        v.sounds[i] = (object.sounds & (1 << i)) != 0;
    v.showTcas = object.showTcas != 0;
    v.climb = object.climb != 0;
    return v;
}

void FlarmOptionValues::Apply(CFLARMobject& object, platform::SettingsStore& store) const {
    std::int32_t word = object.sounds;
    for (std::size_t i = 0; i < sounds.size(); ++i) {
        const std::int32_t bit = 1 << i;
        word = sounds[i] ? (word | bit) : (word & ~bit);
    }
    object.sounds = word;
    object.showTcas = showTcas ? 1 : 0;
    object.climb = climb ? 1 : 0;
    store.WriteInt(kSettings, "FLARMsounds", static_cast<std::uint32_t>(word));
    store.WriteInt(kSettings, "FLARMshowTCAS", static_cast<std::uint32_t>(object.showTcas));
    store.WriteInt(kSettings, "FLARMclimb", static_cast<std::uint32_t>(object.climb));
}

std::optional<std::uint32_t> FlarmBaudItemRate(std::wstring_view text) {
    const std::optional<std::int32_t> rate = platform::ParseFieldInt(text);
    if (!rate || *rate <= 0) return std::nullopt;
    return static_cast<std::uint32_t>(*rate);
}

int FlarmBaudItemFor(std::span<const std::wstring> items, std::uint32_t rate) {
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (FlarmBaudItemRate(items[i]) == rate) return static_cast<int>(i);
    }
    return 0;
}

bool SetFlarmBaud(int index, std::wstring_view itemText, platform::SettingsStore& store,
                  std::uint32_t pauseMs) {
    // Rate 0 would hang the line up.
    const std::optional<std::uint32_t> rate = FlarmBaudItemRate(itemText);
    if (!rate || index < 0 || !gps::GpsPortOpen()) return false;
    // A baud search must not step the port away while the unit changes.
    gps::TakeBaudStepRequest();
    gps::ArmAutoBaud();
    const std::string command = platform::FormatC("$PFLAC,S,BAUD,%d\r\n", index);
    {
        const platform::CriticalSectionLock lock(gps::GpsPortLock);
        for (const char c : command) {
            if (!gps::WriteGpsPortByte(static_cast<std::uint8_t>(c))) return false;
        }
    }
    // The unit switches after the whole command; the port follows later.
    gps::DrainGpsPort();
    std::this_thread::sleep_for(std::chrono::milliseconds(pauseMs));
    if (!gps::SetGpsPortBaud(*rate)) return false;
    gps::SetGpsPortBaudText(itemText);
    store.WriteString("NMEA", "Baud_RateStr", itemText);
    return true;
}

}  // namespace recorder
