#pragma once
// Telling sentences apart and checking their frame: which of the known
// sentence types a received line is, whether its checksum holds, and
// handing FLARM traffic sentences to the FLARM library.

#include <cstddef>
#include <span>

#include "gps/nmea_sentence_type.h"

namespace gps {

// The FLARM library's TransferData: the sentence type, the text behind the
// sentence identifier and its comma, the published true course and the wind
// correction angle (degrees), and 0.
using FlarmTransferFn = void (*)(int type, const char* text, float trueCourse,
                                 float windCorrectionAngle, int reserved);

// Installs where FLARM sentences go (null: nowhere). Install it before the
// reader starts.
void SetFlarmTransfer(FlarmTransferFn transfer);

// Where a line's text ends: the index of its LF, or of the CR right before
// it. An LF alone ends a line as CR LF does, and the CR never counts.
std::size_t NmeaLineEnd(std::span<const char> line);

// Classifies one received line: `line` runs from its '$' to its LF, with or
// without a CR before it (a '!'-started line comes as '$' and three zero
// bytes, then the rest). Decides on the identifier's characters (the talker
// is not checked), then requires "*hh" right before the line end with a
// matching checksum.
// On success the '*' has become a zero byte, so the sentence ends before its
// checksum. FLARM traffic sentences (only while FLARM is present) go to the
// FLARM library and give kNone, as does anything not taken.
SentenceType ClassifyNmeaSentence(std::span<char> line);

}  // namespace gps
