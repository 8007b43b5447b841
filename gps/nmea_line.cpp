#include "gps/nmea_line.h"

#include <string_view>

#include "gps/nav_fix.h"
#include "gps/nmea_classify.h"
#include "gps/nmea_parse.h"

namespace gps {

NmeaLineResult HandleNmeaLine(std::span<char> line) {
    if (line.empty() || line.front() != '$' || line.back() != '\n') return {};
    const SentenceType type = ClassifyNmeaSentence(line);
    if (type == SentenceType::kNone) return {};
    // A replay owns the pending fix: the sentence was read (and handed to
    // FLARM by the classification) but is neither parsed nor committed.
    if (g_bReplayRunning.load()) return {type, false};
    // The sentence ends where its '*' was.
    const std::string_view sentence(line.data(), NmeaLineEnd(line) - 3);
    return {type, ParseNmeaSentence(sentence, type) != 0};
}

}  // namespace gps
