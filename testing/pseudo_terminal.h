#pragma once
// A pseudo-terminal for tests and benchmarks of serial-port code: the caller
// holds the master side and plays the instrument; the code under test opens
// the slave side by its path. Send and Receive may be called from any one
// thread at a time. Failures to write throw std::runtime_error, which a test
// reports as a failure and a benchmark as an abort.

#include <chrono>
#include <cstddef>
#include <string>
#include <string_view>

#include "platform/unique_fd.h"

namespace test_support {

class PseudoTerminal {
  public:
    PseudoTerminal();  // Valid() is false when no pseudo-terminal could be had

    bool Valid() const { return master_.Valid(); }
    const std::string& Path() const { return path_; }
    int Master() const { return master_.Get(); }

    // Sends bytes as the instrument, waiting while the slave's queue is full.
    void Send(std::string_view bytes) const;

    // What the code under test sent: up to count bytes, waiting at most
    // `wait` for them.
    std::string Receive(std::size_t count,
                        std::chrono::milliseconds wait = std::chrono::seconds(1)) const;

    // The instrument goes away: the slave side hangs up.
    void Unplug() { master_.Reset(); }

  private:
    platform::UniqueFd master_;
    std::string path_;
};

}  // namespace test_support
