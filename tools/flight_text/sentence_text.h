#pragma once
// Receiver sentences as text, in the C locale: the "*hh" checksum, a whole
// sentence from its body, and positions as the sentences write them.

#include <string>
#include <string_view>

namespace flight_text {

// "*hh" checksum of a sentence body (between '$' and '*').
std::string NmeaChecksum(std::string_view body);

// "$<body>*hh" and CR LF.
std::string Sentence(std::string_view body);

// "ddmm.mmmm,H" for a latitude, "dddmm.mmmm,H" for a longitude (degrees,
// north and east positive).
std::string NmeaAngle(double degrees, bool latitude);

}  // namespace flight_text
