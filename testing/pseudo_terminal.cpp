#include "testing/pseudo_terminal.h"

#include <poll.h>
#include <pty.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>

namespace test_support {

PseudoTerminal::PseudoTerminal() {
    int master = -1;
    int slave = -1;
    char name[256] = {};
    if (::openpty(&master, &slave, name, nullptr, nullptr) != 0) return;
    master_.Reset(master);
    ::close(slave);  // the code under test opens its own
    path_ = name;
}

void PseudoTerminal::Send(std::string_view bytes) const {
    while (!bytes.empty()) {
        const ssize_t written = ::write(master_.Get(), bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) throw std::runtime_error("write to the pseudo-terminal failed");
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
}

std::string PseudoTerminal::Receive(std::size_t count, std::chrono::milliseconds wait) const {
    std::string received;
    const auto deadline = std::chrono::steady_clock::now() + wait;
    while (received.size() < count && std::chrono::steady_clock::now() < deadline) {
        pollfd entry{master_.Get(), POLLIN, 0};
        if (::poll(&entry, 1, 50) <= 0) continue;
        char buffer[256];
        const ssize_t n = ::read(master_.Get(), buffer, sizeof buffer);
        if (n > 0) received.append(buffer, static_cast<std::size_t>(n));
    }
    return received;
}

}  // namespace test_support
