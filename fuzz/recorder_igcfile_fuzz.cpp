// Arbitrary bytes as the records of an IGC file.
#include <cstddef>
#include <cstdint>

#include "fuzz/recorder_flight_fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::ReadFlight("AXKVQ7Z KOR_VAN_WinCE\r\n", data, size, 0.0);
    fuzz::ReadFlight("AXKVQ7Z KOR_VAN_WinCE\r\n", data, size, 4.0 / 3600.0);
    return 0;
}
