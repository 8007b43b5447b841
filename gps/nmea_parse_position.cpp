// Position, time, course and speed: RMC, VTG, GGA and GLL.
#include "core/settings_values.h"
#include "gps/nmea_parse_internal.h"
#include "gps/nmea_scanner.h"
#include "gps/settings_values.h"

namespace gps::nmea_parse {
namespace {

struct WireTime {
    std::int32_t hours = 0;
    std::int32_t minutes = 0;
    float seconds = 0;
};

// "%2d%2d%f": hhmmss.ss
NmeaScanner& ScanTime(NmeaScanner& scanner, WireTime& time) {
    return scanner.Int(time.hours, 2).Int(time.minutes, 2).Float(time.seconds);
}

// "%2lf%lf%*c%c%*c%3lf%lf%*c%c": ddmm.mm,N,dddmm.mm,E
NmeaScanner& ScanPosition(NmeaScanner& scanner, WirePosition& p) {
    scanner.Double(p.latDegrees, 2).Double(p.latMinutes);
    scanner.Refuse(LatitudeAbsurd(p.latDegrees, p.latMinutes), 2);
    scanner.Skip().Char(p.latLetter).Skip().Double(p.lonDegrees, 3).Double(p.lonMinutes);
    scanner.Refuse(LongitudeAbsurd(p.lonDegrees, p.lonMinutes), 2);
    return scanner.Skip().Char(p.lonLetter);
}

struct RmcFields {
    WireTime time;
    char status = 0;
    WirePosition position;
    float speed = 0;
    double course = 0;
    GpsDate date;
    double variation = 0;
    char variationLetter = 0;
};

int ScanRmc(std::string_view text, RmcFields& f) {
    NmeaScanner scanner(text);
    ScanTime(scanner, f.time).Skip().Char(f.status).Skip();
    ScanPosition(scanner, f.position).Skip().Float(f.speed).Skip().Double(f.course).Skip();
    scanner.Blanks().Int(f.date.day, 2).Int(f.date.month, 2).Int(f.date.year, 2);
    scanner.Skip().Double(f.variation).Skip().Char(f.variationLetter);
    return scanner.Count();
}

// The date of an RMC: from the full scan, else from the ninth field alone.
void UpdateDate(GpsDate& date, std::string_view text, int count, const GpsDate& scanned) {
    if (count >= 15) {
        date = scanned;
        date.known = true;
        return;
    }
    date.known = false;
    std::size_t pos = 0;
    for (int comma = 0; comma < 8; ++comma) {
        pos = text.find(',', pos);
        if (pos == std::string_view::npos) return;
        ++pos;
    }
    GpsDate field;
    if (NmeaScanner(text.substr(pos))
            .Int(field.day, 2)
            .Int(field.month, 2)
            .Int(field.year, 2)
            .Count() == 3) {
        date = field;
        date.known = true;
    }
}

}  // namespace

int ParseRmc(ParseContext& context, std::string_view text) {
    RmcFields f;
    const int count = ScanRmc(text, f);
    UpdateDate(context.state.date, text, count, f.date);
    if (count < 11) f.speed = 0;
    if (count < 10 || g_nmeaCode.load() != 0 || f.status != 'A') return 0;

    double variation = f.variation;
    if (count < 17) {
        core::g_useGpsVariation.store(0);  // this receiver sends none: for good
    } else if (IsLetter(f.variationLetter, 'W')) {
        variation = -variation;
    } else if (!IsLetter(f.variationLetter, 'E')) {
        return 0;
    }
    if (core::g_useGpsVariation.load() == 0) variation = core::g_variation.load();
    if (!HemispheresValid(f.position)) return 0;

    GpsFixRecord& fix = context.fix;
    fix.variation = variation;
    StoreTime(fix, f.time.hours, f.time.minutes, f.time.seconds);
    StorePosition(fix, f.position);
    fix.valueMask |= value_bit::kPosition | value_bit::kFixTime | value_bit::kVariation;

    const bool coursePresent = count >= 12;
    if (coursePresent || (count == 11 && f.speed < 0.001F)) {
        double course = fix.trueCourse;
        if (coursePresent) {
            course = WrapDegrees(f.course);
            fix.magneticCourse = WrapDegrees(course - context.environment.VariationInUse());
        }
        StoreCourseAndSpeed(context, course, f.speed);
        fix.valueMask |= value_bit::kCourseAndSpeed;
        fix.sourceMask |= source_bit::kRmcCourse;
    } else {
        fix.sourceMask |= source_bit::kPositionOnly;
    }
    return 1;
}

namespace {

struct VtgFields {
    double trueCourse = 0;
    double magneticCourse = 0;
    float speed = 0;
    char trueLetter = 'T';
    char magneticLetter = 'M';
    char speedLetter = 0;
};

// The forms a VTG comes in, tried in turn: with both courses; with an empty
// magnetic course (two layouts); with no course at all while standing.
bool ScanVtg(std::string_view text, const NmeaEnvironment& environment, VtgFields& f) {
    if (NmeaScanner(text)
            .Double(f.trueCourse)
            .Skip()
            .Char(f.trueLetter)
            .Skip()
            .Double(f.magneticCourse)
            .Skip()
            .Char(f.magneticLetter)
            .Skip()
            .Float(f.speed)
            .Skip()
            .Char(f.speedLetter)
            .Count() == 6) {
        return true;
    }
    f.magneticLetter = 'M';
    for (const int skips : {3, 4}) {
        NmeaScanner scanner(text);
        scanner.Double(f.trueCourse).Skip().Char(f.trueLetter);
        for (int i = 0; i < skips; ++i)
            scanner.Skip();
        if (scanner.Float(f.speed).Skip().Char(f.speedLetter).Count() >= 4) {
            f.magneticCourse = f.trueCourse;
            return true;
        }
    }
    f.trueLetter = 'T';
    NmeaScanner scanner(text);
    for (int i = 0; i < 6; ++i)
        scanner.Skip();
    if (scanner.Float(f.speed).Skip().Char(f.speedLetter).Count() >= 2 && f.speed == 0) {
        f.trueCourse = f.magneticCourse = environment.TrueCourse();
        return true;
    }
    return false;
}

}  // namespace

int ParseVtg(ParseContext& context, std::string_view text) {
    if (g_nmeaCode.load() == 0) return 0;
    VtgFields f;
    if (!ScanVtg(text, context.environment, f)) return 0;
    if (!IsLetter(f.trueLetter, 'T') || !IsLetter(f.magneticLetter, 'M') ||
        !IsLetter(f.speedLetter, 'N')) {
        return 0;
    }
    const double trueCourse = WrapDegrees(f.trueCourse);
    const double magneticCourse = WrapDegrees(f.magneticCourse);
    GpsFixRecord& fix = context.fix;
    StoreCourseAndSpeed(context, trueCourse, f.speed);
    fix.magneticCourse = magneticCourse;
    fix.variation = core::g_useGpsVariation.load() == 0
                        ? core::g_variation.load()
                        : WrapSignedDegrees(trueCourse - magneticCourse);
    fix.sourceMask |= source_bit::kVtg;
    fix.valueMask |= value_bit::kCourseAndSpeed | value_bit::kVariation;
    return 1;
}

namespace {

struct GgaFields {
    WireTime time;
    WirePosition position;
    std::int32_t quality = 0;
    std::int32_t satellites = 0;
    float hdop = 0;
    float altitude = 0;
    char altitudeUnit = 0;
    float geoidSeparation = 0;
    char geoidUnit = 0;
};

int ScanGga(std::string_view text, GgaFields& f) {
    NmeaScanner scanner(text);
    ScanTime(scanner, f.time).Skip();
    ScanPosition(scanner, f.position).Skip().Int(f.quality).Skip().Int(f.satellites).Skip();
    scanner.Float(f.hdop).Skip().Float(f.altitude).Blanks().Skip().Char(f.altitudeUnit);
    scanner.Skip().Float(f.geoidSeparation).Skip().Char(f.geoidUnit);
    return scanner.Count();
}

void StoreGgaAltitude(ParseContext& context, const GgaFields& f, int count) {
    GpsFixRecord& fix = context.fix;
    NmeaParserState& state = context.state;
    if (count >= 12) state.hdop = f.hdop;
    if (count < 14) {
        fix.gpsAltitudeValid = 0;
        return;
    }
    float altitude = f.altitude * kFeetPerMetre;
    if (count == 16) {
        const float separation = f.geoidSeparation * kFeetPerMetre;
        core::g_geoidSeparation.store(separation);
        fix.geoidSeparation = separation;
        state.geoidFromGps = true;
    }
    if (f.satellites < 3) {
        fix.gpsAltitudeValid = 0;
        return;
    }
    if (g_sirfGga.load() != 0) altitude -= core::g_geoidSeparation.load();
    fix.gpsAltitudeValid = 1;
    state.ggaAltitudeSeen = 1;
    fix.gpsAltitude = altitude;
    state.glideGpsAltitude = altitude;
    fix.sourceMask |= source_bit::kGpsAltitude;
    fix.gpsAltitudeTime = static_cast<float>(f.time.hours) +
                          static_cast<float>(f.time.minutes) / 60.0F + f.time.seconds / 3600.0F;
    fix.valueMask |= value_bit::kGpsAltitude;
}

}  // namespace

int ParseGga(ParseContext& context, std::string_view text) {
    GgaFields f;
    const int count = ScanGga(text, f);
    if (count < 10) return 0;
    const int code = g_nmeaCode.load();
    if (code != 2 && !(count > 13 && f.satellites > 2)) {
        context.fix.gpsAltitudeValid = 0;
        return 0;
    }
    if (f.quality == 0 || !HemispheresValid(f.position)) return 0;
    StoreGgaAltitude(context, f, count);
    if (code == 2) {
        StorePosition(context.fix, f.position);
        StoreTime(context.fix, f.time.hours, f.time.minutes, f.time.seconds);
        context.fix.valueMask |= value_bit::kPosition | value_bit::kFixTime;
        context.fix.sourceMask |= source_bit::kGgaPosition;
    }
    return 1;
}

int ParseGll(ParseContext& context, std::string_view text) {
    if (g_nmeaCode.load() != 1) return 0;
    WirePosition position;
    WireTime time;
    char status = 0;
    NmeaScanner scanner(text);
    ScanPosition(scanner, position).Skip();
    ScanTime(scanner, time).Skip().Char(status);
    if (scanner.Count() != 10 || !HemispheresValid(position) || status != 'A') return 0;
    StorePosition(context.fix, position);
    StoreTime(context.fix, time.hours, time.minutes, time.seconds);
    context.fix.sourceMask |= source_bit::kPositionOnly;
    context.fix.valueMask |= value_bit::kPosition | value_bit::kFixTime;
    return 1;
}

}  // namespace gps::nmea_parse
