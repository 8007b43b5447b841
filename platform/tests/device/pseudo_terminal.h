#pragma once
// A pseudo-terminal for tests of serial-port code: the test holds the
// master side and plays the instrument; the code under test opens the
// slave side by its path.

#include <poll.h>
#include <pty.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <string_view>

#include "platform/unique_fd.h"

namespace platform::testing {

class PseudoTerminal {
  public:
    PseudoTerminal() {
        int master = -1;
        int slave = -1;
        char name[256] = {};
        if (::openpty(&master, &slave, name, nullptr, nullptr) != 0) return;
        master_.Reset(master);
        ::close(slave);  // the code under test opens its own
        path_ = name;
    }

    bool Valid() const { return master_.Valid(); }
    const std::string& Path() const { return path_; }
    int Master() const { return master_.Get(); }

    // Sends bytes as the instrument (waits while the slave's queue is full).
    void Send(std::string_view bytes) const {
        while (!bytes.empty()) {
            const ssize_t written = ::write(master_.Get(), bytes.data(), bytes.size());
            ASSERT_GT(written, 0) << "write to the pseudo-terminal failed";
            bytes.remove_prefix(static_cast<std::size_t>(written));
        }
    }

    // What the code under test sent, waiting up to a second for count bytes.
    std::string Receive(std::size_t count) const {
        std::string received;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(1);
        while (received.size() < count && std::chrono::steady_clock::now() < deadline) {
            pollfd entry{master_.Get(), POLLIN, 0};
            if (::poll(&entry, 1, 50) <= 0) continue;
            char buffer[256];
            const ssize_t n = ::read(master_.Get(), buffer, sizeof buffer);
            if (n > 0) received.append(buffer, static_cast<std::size_t>(n));
        }
        return received;
    }

    // The instrument goes away: the slave side hangs up.
    void Unplug() { master_.Reset(); }

  private:
    UniqueFd master_;
    std::string path_;
};

}  // namespace platform::testing
