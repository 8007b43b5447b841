#pragma once
// Settings of the main window's keys ("Options\KeyMap", "Settings",
// "Options\Fonts"). The initial values are the built-in defaults.

#include <atomic>

#include "glide/settings_values.h"

namespace frame {

inline std::atomic<int> g_enableHardwareKeys{1};  // "EnableHardwareKeys"
inline std::atomic<int> g_arrowKeysToDest{0};     // "ArrowKeysToDest"
// "goLeft" / "goRight": the turn letters, kept with the glide texts that
// show them.
using glide::g_goLeft;
using glide::g_goRight;

// "DoubleClick" (Options\Miscellaneous): the position view acts on a double
// click instead of a single one.
inline std::atomic<int> g_doubleClick{0};

}  // namespace frame
