// Arbitrary bytes as the lines of a text log, plain, in UTM and quoted,
// and as a plain list of positions.
#include <cstddef>
#include <cstdint>

#include "fuzz/recorder_flight_fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::ReadFlight("KOR_VAN WinCE log data\r\n", data, size, 0.0);
    fuzz::ReadFlight("UTM KOR_VAN WinCE log data\r\n", data, size, 0.0);
    fuzz::ReadFlight("\"KOR FLIGHT data\"\r\n", data, size, 1.0 / 3600.0);
    fuzz::ReadFlight("0.0000000000\r\n", data, size, 0.0);
    return 0;
}
