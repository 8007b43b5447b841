#pragma once
// Turning one classified sentence into values of the pending fix record
// (PendingFix) and the parser state (g_nmeaState). Runs on the port
// reader's thread.

#include <string_view>

#include "gps/nmea_sentence_type.h"

namespace gps {

// `sentence` runs from its '$' to the end of its text (where the '*' was).
// Returns 1 when the sentence is to be logged and committed now, 0 when it
// was refused or its values wait for a later sentence. The binary frame has
// its own entry (ParseBinaryFrame); given here it gives 0.
int ParseNmeaSentence(std::string_view sentence, SentenceType type);

}  // namespace gps
