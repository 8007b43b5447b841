#pragma once
// The instrument's 45-byte binary frame: '$', 'w', the length byte (45), a
// checksum byte (the XOR of all other bytes of the frame), the subtype and
// the values. 16-bit values are little-endian; an angle is a 4-byte float
// stored exponent first, in radians times 4.

#include <array>
#include <cstddef>
#include <cstdint>

namespace gps {

inline constexpr std::size_t kBinaryFrameLength = 45;
using BinaryFrame = std::array<std::uint8_t, kBinaryFrameLength>;

// The float of the 4-byte angle field at `field`.
float DecodeFrameAngle(const std::uint8_t* field);

// Turns a frame into values of the pending fix record: subtype 0 is a
// position with course, speeds, varios and pressure altitude, subtype 2 the
// instrument's MacCready and wind. Returns 1 when the fix is to be logged
// and committed; 0 for other subtypes, positions that cannot be, and a
// position frame that repeats the last one too soon.
int ParseBinaryFrame(const BinaryFrame& frame);

}  // namespace gps
