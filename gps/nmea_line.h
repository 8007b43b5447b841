#pragma once
// One received line through framing, classification and parsing.

#include <span>

#include "gps/nmea_sentence_type.h"

namespace gps {

struct NmeaLineResult {
    // What the line classified as; kNone when it was dropped or went to the
    // FLARM library. Any other type shows that the port speaks at the right
    // rate (the reader re-arms its automatic baud search on it).
    SentenceType type = SentenceType::kNone;
    // The parser asks for the fix to be logged and committed.
    bool accepted = false;
};

// `line` is the reader's line: '$' first and LF last, a CR before the LF or
// none (a '!'-started line as '$' and three zero bytes). Anything else is
// dropped. The line is changed in place: its '*' becomes a zero byte. While
// a replay runs (g_bReplayRunning) a line is only classified, never parsed
// or accepted.
NmeaLineResult HandleNmeaLine(std::span<char> line);

}  // namespace gps
