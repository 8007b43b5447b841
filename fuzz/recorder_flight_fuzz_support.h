#pragma once
// Reads the input as a recorded flight after a header that fixes its type,
// and checks what every reader of records relies on.
#include <cmath>
#include <string>
#include <string_view>

#include "fuzz/fuzz_support.h"
#include "recorder/flight_file.h"

namespace fuzz {

inline void ReadFlight(std::string_view header, const std::uint8_t* data, std::size_t size,
                       double stepHours) {
    std::string bytes(header);
    bytes.append(reinterpret_cast<const char*>(data), size);
    MemoryFile memory(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    recorder::CFlightType file;
    if (!file.Open("/proc/self/fd/" + std::to_string(memory.fd()))) return;
    file.minimumStep = stepHours;
    std::size_t records = 0;
    while (const auto record = file.ParseRecord()) {
        ++records;
        Check(std::isfinite(record->latitude) && std::isfinite(record->lonWest));
        Check(std::isfinite(file.lastTime));
        Check(static_cast<std::size_t>(file.dayCount) <= records);
        Check(records <= bytes.size());
    }
    Check(!file.IsOpen());
}

}  // namespace fuzz
