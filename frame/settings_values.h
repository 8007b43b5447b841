#pragma once
// Settings of the main window's keys ("Options\KeyMap", "Settings",
// "Options\Fonts"). The initial values are the built-in defaults.

#include <atomic>

namespace frame {

inline std::atomic<int> g_enableHardwareKeys{1};  // "EnableHardwareKeys"
inline std::atomic<int> g_arrowKeysToDest{0};     // "ArrowKeysToDest"
// "goLeft" / "goRight": key codes kept as 16-bit characters.
inline std::atomic<char16_t> g_goLeft{u'L'};
inline std::atomic<char16_t> g_goRight{u'R'};

// "DoubleClick" (Options\Miscellaneous): the position view acts on a double
// click instead of a single one.
inline std::atomic<int> g_doubleClick{0};

}  // namespace frame
