#include "tools/flight_text/sentence_text.h"

#include <cmath>

#include "platform/numbers.h"

namespace flight_text {

std::string NmeaChecksum(std::string_view body) {
    unsigned sum = 0;
    for (const char c : body) sum ^= static_cast<unsigned char>(c);
    return platform::FormatC("*%02X", sum);
}

std::string Sentence(std::string_view body) {
    return "$" + std::string(body) + NmeaChecksum(body) + "\r\n";
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
