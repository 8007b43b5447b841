#include "gps/nmea_parse.h"

#include <cstddef>

#include "gps/nmea_parse_internal.h"

namespace gps {
namespace {

using nmea_parse::ParseContext;

// The length of the header before the fields: '$', the identifier and its
// comma.
std::size_t HeaderLength(SentenceType type) {
    switch (type) {
        case SentenceType::kBangW:
            return 6;  // '$', three zero bytes, "w,"
        case SentenceType::kGcs:
            return 8;  // "$xGCS,1,"
        case SentenceType::kPfsb:
            return 5;
        case SentenceType::kPfsBang:
            return 12;
        default:
            return 7;
    }
}

int Dispatch(ParseContext& context, std::string_view text, SentenceType type) {
    using namespace nmea_parse;
    switch (type) {
        case SentenceType::kRmc:
            return ParseRmc(context, text);
        case SentenceType::kVtg:
            return ParseVtg(context, text);
        case SentenceType::kGga:
            return ParseGga(context, text);
        case SentenceType::kGll:
            return ParseGll(context, text);
        case SentenceType::kHdm:
        case SentenceType::kHdg:
        case SentenceType::kHdt:
            return ParseHeading(context, text, type);
        case SentenceType::kB50:
            return ParseB50(context, text);
        case SentenceType::kRmz:
            return ParseRmz(context, text);
        case SentenceType::kBangW:
            return ParseBangW(context, text);
        case SentenceType::kAid:
        case SentenceType::kGcs:
        case SentenceType::kPwin:
        case SentenceType::kPressureMetres:
            return ParseMetricPressureAltitude(context, text, type);
        case SentenceType::kLxwp0:
            return ParseLxwp0(context, text);
        case SentenceType::kLxwp2:
            return ParseLxwp2(context, text);
        case SentenceType::kGsa:
            return ParseGsa(context, text);
        case SentenceType::kPilc:
            return ParsePilc(context, text);
        case SentenceType::kPtas1:
            return ParsePtas1(context, text);
        default:
            return 0;  // nothing to read ($xBSER, $PFSB, $PFS!), or not a sentence
    }
}

}  // namespace

int ParseNmeaSentence(std::string_view sentence, SentenceType type) {
    ParseContext context{PendingFix, g_nmeaState, CurrentNmeaEnvironment()};
    const std::size_t header = HeaderLength(type);
    const std::string_view text = sentence.size() > header ? sentence.substr(header) : "";
    return Dispatch(context, text, type);
}

}  // namespace gps
