#pragma once
// Helpers shared by the benchmarks.

#include <pty.h>
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "platform/unique_fd.h"

namespace bench {

// The value below which the given fraction of the values lie.
inline double Percentile(std::vector<double> values, double fraction) {
    if (values.empty()) return 0;
    const auto at = static_cast<std::size_t>(fraction * static_cast<double>(values.size() - 1));
    std::nth_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(at),
                     values.end());
    return values[at];
}

// A pseudo-terminal: the benchmark writes to the master side as the
// instrument; the code measured opens the slave side by its path.
struct PseudoTerminal {
    platform::UniqueFd master;
    std::string path;
};

inline std::optional<PseudoTerminal> OpenPseudoTerminal() {
    int master = -1;
    int slave = -1;
    char path[256] = {};
    if (::openpty(&master, &slave, path, nullptr, nullptr) != 0) return std::nullopt;
    ::close(slave);
    return PseudoTerminal{platform::UniqueFd(master), path};
}

}  // namespace bench
