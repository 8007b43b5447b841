#pragma once
// Telling sentences apart and checking their frame: which of the known
// sentence types a received line is, whether its checksum holds, and
// handing FLARM traffic sentences to the FLARM library.

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

// Classifies one received line: `line` runs from its '$' to its LF
// (a '!'-started line comes as '$' and three zero bytes, then the rest).
// Decides on the identifier's characters (the talker is not checked), then
// requires "*hh" three places before the LF with a matching checksum.
// On success the '*' has become a zero byte, so the sentence ends before its
// checksum. FLARM traffic sentences (only while FLARM is present) go to the
// FLARM library and give kNone, as does anything not taken.
SentenceType ClassifyNmeaSentence(std::span<char> line);

}  // namespace gps
