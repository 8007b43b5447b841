#include "gps/nmea_checksum.h"

namespace gps {

std::uint8_t NmeaChecksum(const char* start, int count) {
    std::uint8_t sum = 0;
    for (int i = 0; i < count; ++i)
        sum ^= static_cast<std::uint8_t>(start[i]);
    return sum;
}

int ChecksumDigitValue(char digit) {
    const int value = static_cast<signed char>(digit) - '0';
    return value > 9 ? (value & 31) - 7 : value;
}

}  // namespace gps
