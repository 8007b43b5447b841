#pragma once
// A sentence file cut into epochs, the sentences of one second each, and
// the re-timing of sentences.
//
// An epoch starts at each "$PTAS1" and at each "$GPRMC" that does not follow
// a "$PTAS1"; the sentences after it up to the next such start belong to it.
// Its time is the date and time of its "$GPRMC" (or the time of its
// "$GPGGA" on the last date seen).

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace flight_text {

struct Epoch {
    std::vector<std::string> lines;  // without their line ends
    std::optional<long long> utc;    // seconds since 1970, UTC
};

std::vector<Epoch> SplitEpochs(std::string_view text);

// The sentence with the time of its $GPRMC or $GPGGA (and the date of its
// $GPRMC) set to utc, and its checksum recomputed; other sentences as they
// are.
std::string Retime(std::string_view line, long long utc);

// The sentence of a receiver standing still: a $GPRMC with speed 0, a
// $PTAS1 with no climb; other sentences as they are. The checksum is
// recomputed.
std::string Standing(std::string_view line);

// Whether a sentence's checksum matches its body.
bool ChecksumValid(std::string_view line);

}  // namespace flight_text
