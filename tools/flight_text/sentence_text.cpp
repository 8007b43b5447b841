#include "tools/flight_text/sentence_text.h"

#include <cmath>

#include "platform/numbers.h"

namespace flight_text {

std::string NmeaChecksum(std::string_view body) {
    unsigned sum = 0;
    for (const char c : body) sum ^= static_cast<unsigned char>(c);
    return platform::FormatC("*%02X", sum);
}

// Appended piece by piece: GCC 12 at -O3 takes the chain of string
// temporaries for an overlapping copy and fails the release build.
std::string Sentence(std::string_view body) {
    std::string sentence;
    sentence.reserve(body.size() + 6);
    sentence += '$';
    sentence += body;
    sentence += NmeaChecksum(body);
    sentence += "\r\n";
    return sentence;
}

std::string NmeaAngle(double degrees, bool latitude) {
    const char hemisphere = latitude ? (degrees < 0.0 ? 'S' : 'N') : (degrees < 0.0 ? 'W' : 'E');
    const long long tenThousandths = std::llround(std::fabs(degrees) * 600000.0);
    const long long whole = tenThousandths / 600000;
    const double minutes = static_cast<double>(tenThousandths % 600000) / 10000.0;
    return platform::FormatC(latitude ? "%02lld%07.4f,%c" : "%03lld%07.4f,%c", whole, minutes,
                             hemisphere);
}

}  // namespace flight_text
