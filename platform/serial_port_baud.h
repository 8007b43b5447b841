#pragma once
// Rates of a terminal device as numbers. Kept apart from serial_port.cpp
// because the kernel's numeric-rate interface and <termios.h> cannot be
// included in one file.

#include <cstdint>
#include <optional>

namespace platform::detail {

// Sets input and output rate of the terminal fd: the standard code where
// the rate has one, the number otherwise. 0 on success, else the system
// error number (EINVAL when the driver runs at a rate more than 3 % off).
int SetTerminalRate(int fd, std::uint32_t rate);

// The output rate the driver runs at; nothing when it cannot tell.
std::optional<std::uint32_t> TerminalRate(int fd);

}  // namespace platform::detail
