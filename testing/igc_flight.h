#pragma once
// A recorded flight played as a receiver would: the B records of an IGC
// file become RMC and GGA sentences, one epoch a fix, for the program to
// read through a pseudo-terminal.
//
// Only what the sentences need is read: the date ("HFDTE"), and each B
// record's time, position, validity and GPS altitude. A line that is not a
// well-formed B record is skipped; a time that goes back crosses midnight.
// Speed and track come from the fix before (none for the first).

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tools/flight_text/sentence_epochs.h"

namespace test_support {

struct IgcFix {
    long long utc = 0;       // seconds since 1970
    double latitude = 0.0;   // degrees, north positive
    double longitude = 0.0;  // degrees, east positive
    double gpsAltitudeM = 0.0;
    bool valid = true;  // 'A' (3-D fix); 'V' records give a receiver without a fix
};

std::vector<IgcFix> ReadIgcFixes(std::string_view text);
// Throws std::runtime_error when the file cannot be read.
std::vector<IgcFix> ReadIgcFile(const std::filesystem::path& file);

// The "$GPRMC" and "$GPGGA" of one fix, each ended by CR LF; previous gives
// the speed and track (null: standing, track 0). The RMC carries the
// magnetic variation (degrees, east positive) when one is given.
std::string FixSentences(const IgcFix& fix, const IgcFix* previous,
                         std::optional<double> variationEast = std::nullopt);

// The flight as the sentence epochs the demo's feeder plays.
std::vector<flight_text::Epoch> FlightEpochs(const std::vector<IgcFix>& fixes);

// Great-circle distance in metres and initial course in degrees (0..360).
double DistanceM(const IgcFix& from, const IgcFix& to);
double CourseDeg(const IgcFix& from, const IgcFix& to);

}  // namespace test_support
