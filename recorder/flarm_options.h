#pragma once
// The FLARM options: the four warning sounds, the traffic window and the
// climb display held in the FLARM library's object, and switching the
// FLARM unit and the GPS port it hangs on to another baud rate together.
// The options page (frame/options/flarm_page.h) is their window.

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "platform/settings_store.h"
#include "services/flarm_library.h"

namespace recorder {

// The rates the unit knows, by its baud code (the list index). Code 3 is
// reserved by the unit and is no rate.
inline constexpr std::array<std::wstring_view, 7> kFlarmBaudItems{
    L"4800", L"9600", L"19200", L"(reserved)", L"38400", L"57600", L"115200"};

struct FlarmOptionValues {
    std::array<bool, 4> sounds{};  // bits 0x1, 0x2, 0x4, 0x8
    bool showTcas = false;
    bool climb = false;

    static FlarmOptionValues From(const CFLARMobject& object);
    // Into the object and the settings ("FLARMsounds", "FLARMshowTCAS",
    // "FLARMclimb" in "Settings"); the options word's other bits stay.
    void Apply(CFLARMobject& object, platform::SettingsStore& store) const;
};

// A baud item's rate: its text folded from full width and read as a
// positive decimal number; nothing otherwise.
std::optional<std::uint32_t> FlarmBaudItemRate(std::wstring_view text);

// The item shown for a port at rate: the first that reads as it, else 0.
int FlarmBaudItemFor(std::span<const std::wstring> items, std::uint32_t rate);

// Tells the unit on the open GPS port to change to the rate of item
// `index` ("$PFLAC,S,BAUD,<index>\r\n", sent under the port's lock), then
// after pauseMs sets the port to that rate; when that worked, itemText
// becomes the port's baud text and "Baud_RateStr" ("NMEA"). False, with
// nothing sent, without a port or when the item is no rate; false, with
// nothing stored, when the port refuses the rate.
bool SetFlarmBaud(int index, std::wstring_view itemText, platform::SettingsStore& store,
                  std::uint32_t pauseMs = 1000);

}  // namespace recorder
