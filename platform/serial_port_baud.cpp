#include "platform/serial_port_baud.h"

// The numeric-rate interface (termios2, BOTHER) and <termios.h> declare the
// same names, so this file sees only the kernel's side.
#include <asm/termbits.h>
#include <sys/ioctl.h>

#include <array>
#include <cerrno>
#include <cstdlib>
#include <utility>

namespace platform::detail {
namespace {

constexpr std::array<std::pair<std::uint32_t, unsigned>, 17> kStandardRates{{
    {50, B50},
    {75, B75},
    {110, B110},
    {150, B150},
    {300, B300},
    {600, B600},
    {1200, B1200},
    {1800, B1800},
    {2400, B2400},
    {4800, B4800},
    {9600, B9600},
    {19200, B19200},
    {38400, B38400},
    {57600, B57600},
    {115200, B115200},
    {230400, B230400},
    {460800, B460800},
}};

unsigned RateCode(std::uint32_t rate) {
    for (const auto& [value, code] : kStandardRates) {
        if (value == rate) return code;
    }
    return BOTHER;
}

// Within 3 %: what a UART can divide its clock to and still be understood.
bool CloseEnough(std::uint32_t actual, std::uint32_t wanted) {
    const long difference = std::labs(static_cast<long>(actual) - static_cast<long>(wanted));
    return difference * 100 <= static_cast<long>(wanted) * 3;
}

}  // namespace

int SetTerminalRate(int fd, std::uint32_t rate) {
    if (rate == 0) return EINVAL;
    termios2 settings{};
    if (::ioctl(fd, TCGETS2, &settings) != 0) return errno;
    // Output rate from the code (or the number); the input rate follows it
    // (no separate input code).
    settings.c_cflag &= ~(CBAUD | (CBAUD << IBSHIFT));
    settings.c_cflag |= RateCode(rate);
    settings.c_ispeed = rate;
    settings.c_ospeed = rate;
    if (::ioctl(fd, TCSETS2, &settings) != 0) return errno;
    const std::optional<std::uint32_t> actual = TerminalRate(fd);
    if (actual && !CloseEnough(*actual, rate)) return EINVAL;
    return 0;
}

std::optional<std::uint32_t> TerminalRate(int fd) {
    termios2 settings{};
    if (::ioctl(fd, TCGETS2, &settings) != 0) return std::nullopt;
    return settings.c_ospeed;
}

}  // namespace platform::detail
