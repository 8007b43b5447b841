#include "gps/nmea_line.h"

#include <string_view>

#include "gps/nmea_classify.h"
#include "gps/nmea_parse.h"

namespace gps {

NmeaLineResult HandleNmeaLine(std::span<char> line) {
    if (line.empty() || line.front() != '$' || line.back() != '\n') return {};
    const SentenceType type = ClassifyNmeaSentence(line);
    if (type == SentenceType::kNone) return {};
    // The sentence ends where its '*' was.
    const std::string_view sentence(line.data(), NmeaLineEnd(line) - 3);
    return {type, ParseNmeaSentence(sentence, type) != 0};
}

}  // namespace gps
