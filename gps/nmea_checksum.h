#pragma once
// The NMEA checksum: the XOR of the bytes between '$' and '*', sent as two
// hexadecimal digits behind the '*'.

#include <cstdint>

namespace gps {

// The XOR of `count` bytes from `start`; 0 when count <= 0.
std::uint8_t NmeaChecksum(const char* start, int count);

// The value of one transmitted checksum digit: the character minus '0', and
// when that is above 9, (value AND 31) - 7, so 'A'..'F' and 'a'..'f' both give
// 10..15. Characters that are no hex digit give values that rarely match; the
// byte is taken as signed, so bytes above 0x7F give negative values that
// never match.
int ChecksumDigitValue(char digit);

}  // namespace gps
