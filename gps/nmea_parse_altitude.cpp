// Headings (HDM, HDG, HDT) and altitudes (RMZ and the pressure altitudes in
// metres of several instruments).
#include "gps/nmea_parse_internal.h"
#include "gps/nmea_scanner.h"
#include "gps/settings_values.h"

namespace gps::nmea_parse {

int ParseHeading(ParseContext& context, std::string_view text, SentenceType type) {
    float value = 0;
    if (type == SentenceType::kHdg) {
        if (NmeaScanner(text).Float(value).Count() < 1) return 0;
    } else {
        char reference = 0;
        const char expected = type == SentenceType::kHdm ? 'M' : 'T';
        if (NmeaScanner(text).Float(value).Skip().Char(reference).Count() < 2 ||
            !IsLetter(reference, expected)) {
            return 0;
        }
    }
    const double heading = static_cast<double>(value) + g_correction.load();
    const double variation = context.environment.VariationInUse();
    const bool magnetic =
        type == SentenceType::kHdm || (type == SentenceType::kHdg && g_hcHdgTrue.load() == 0);
    if (magnetic) {
        StoreHeadings(context, heading, heading + variation);
    } else {
        StoreHeadings(context, heading - variation, heading);
    }
    return 1;
}

int ParseRmz(ParseContext& context, std::string_view text) {
    float altitude = 0;
    char unit = 0;
    std::int32_t dimension = 0;
    // An empty or unreadable altitude still clears the GPS altitude's
    // validity below, so a stale altitude is never kept as valid.
    const int count =
        NmeaScanner(text).Float(altitude).Skip().Char(unit).Skip().Int(dimension).Count();
    if (IsLetter(unit, 'M')) altitude *= kFeetPerMetre;
    NmeaParserState& state = context.state;
    GpsFixRecord& fix = context.fix;
    const bool pressure = count == 2 || (state.flarmSeen && dimension == 2);
    if (pressure && (state.pressureSource & pressure_source::kInstrument) == 0) {
        state.pressureSource |= pressure_source::kRmz;
        StoreTimedPressureAltitude(context, altitude);
        return 1;
    }
    if (state.ggaAltitudeSeen != 0) return 0;
    if (count == 3 && dimension > 2) {
        fix.gpsAltitude = altitude;
        fix.gpsAltitudeValid = 1;
        state.rmzAltitudeSeen = true;
        fix.sourceMask |= source_bit::kGpsAltitude;
        fix.gpsAltitudeTime = static_cast<float>(context.environment.FixTime());
        fix.valueMask |= value_bit::kGpsAltitude;
        return 1;
    }
    fix.gpsAltitudeValid = 0;
    return 0;
}

int ParseMetricPressureAltitude(ParseContext& context, std::string_view text, SentenceType type) {
    float metres = 0;
    int count = 0;
    switch (type) {
        case SentenceType::kAid:  // "%*c%*c%f"
            count = NmeaScanner(text).Skip().Skip().Float(metres).Count();
            break;
        case SentenceType::kGcs: {  // "%*c%*x%*c%hx": 16 bits, signed
            std::int16_t value = 0;
            count = NmeaScanner(text).Skip().SkipHex().Skip().Hex16(value).Count();
            metres = value;
            break;
        }
        case SentenceType::kPwin:  // "%*d%*c%*d%*c%f", decimetres
            count = NmeaScanner(text).SkipInt().Skip().SkipInt().Skip().Float(metres).Count();
            metres /= 10.0F;
            break;
        default:  // "%f"
            count = NmeaScanner(text).Float(metres).Count();
            break;
    }
    if (count != 1) return 0;
    context.state.pressureSource |= pressure_source::kInstrument;
    StoreTimedPressureAltitude(context, metres * kFeetPerMetre);
    return 1;
}

}  // namespace gps::nmea_parse
