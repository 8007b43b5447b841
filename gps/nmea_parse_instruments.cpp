// Flight instruments: $PBB50, the '!w' sentence, $LXWP0, $LXWP2, $PILC and
// $PTAS1.
#include <cmath>

#include "gps/nmea_comma_fields.h"
#include "gps/nmea_parse_internal.h"
#include "gps/nmea_scanner.h"

namespace gps::nmea_parse {
namespace {

void StoreVario(ParseContext& context, float knots) {
    context.fix.vario = knots;
    context.fix.instrumentTime = InstrumentTimeNow(context.environment);
    context.state.instruments.vario = true;
    context.fix.valueMask |= value_bit::kVario;
}

void StoreMacCready(ParseContext& context, float knots) {
    context.fix.macCready = knots;
    context.state.instruments.macCready = true;
    context.fix.valueMask |= value_bit::kMacCready;
}

bool StoreBallast(ParseContext& context, float factor) {
    return StoreFinite(factor, context.fix.ballast, context.state.instruments.ballast, context.fix,
                       value_bit::kBallast);
}

bool StoreBugs(ParseContext& context, float factor) {
    return StoreFinite(factor, context.fix.bugs, context.state.instruments.bugs, context.fix,
                       value_bit::kBugs);
}

void StoreAverageVario(ParseContext& context, float knots) {
    context.fix.averageVario = knots;
    context.state.instruments.averageVario = true;
    context.fix.valueMask |= value_bit::kAverageVario;
}

void StoreSecondVario(ParseContext& context, float knots) {
    context.fix.secondVario = knots;
    context.state.instruments.secondVario = true;
    context.fix.valueMask |= value_bit::kSecondVario;
}

}  // namespace

// "$PBB50,tas,vario,macCready,ias squared,bugs %,ballast,mode,temperature"
int ParseB50(ParseContext& context, std::string_view text) {
    float tas = 0, vario = 0, macCready = 0, iasSquared = 0, bugs = 0, ballast = 0, temp = 0;
    std::int32_t mode = 0;
    NmeaScanner scanner(text);
    scanner.Float(tas).Skip().Float(vario).Skip().Float(macCready).Skip().Float(iasSquared).Skip();
    scanner.Float(bugs).Skip().Float(ballast).Skip().Int(mode).Skip().Float(temp);
    if (scanner.Count() < 8) return 0;

    NmeaParserState& state = context.state;
    GpsFixRecord& fix = context.fix;
    state.instrumentKind = InstrumentKind::kB50;
    state.instrumentAirspeed = tas;
    state.instrumentAirspeedSquared = tas * tas;
    fix.trueAirspeed = tas;
    state.instruments.trueAirspeed = true;
    fix.valueMask |= value_bit::kTrueAirspeed;
    StoreVario(context, vario);
    StoreMacCready(context, macCready);
    StoreFinite(std::sqrt(iasSquared), fix.indicatedAirspeed, state.instruments.indicatedAirspeed,
                fix, value_bit::kIndicatedAirspeed);
    StoreBugs(context, 1.0F / (1.0005F - bugs / 100.0F));
    StoreBallast(context, std::sqrt(ballast));
    state.circlingMode = mode;
    fix.temperature = temp;
    state.instruments.temperature = true;
    fix.valueMask |= value_bit::kTemperature;
    fix.sourceMask |= source_bit::kB50 | source_bit::kAirspeed;
    return 1;
}

// "!w,wind direction,wind speed (0.1 m/s),wind age,-,-,-,tas (cm/s),vario,
// average,second vario (each 1/20 kt + 200),macCready (0.1 kt),ballast %,
// bugs %"
int ParseBangW(ParseContext& context, std::string_view text) {
    float v[10] = {};
    NmeaScanner scanner(text);
    scanner.Float(v[0]).Skip().Float(v[1]).Skip().Float(v[2]).Skip();
    scanner.SkipFloat().Skip().SkipFloat().Skip().SkipFloat().Skip();
    for (int i = 3; i < 10; ++i)
        scanner.Float(v[i]).Skip();
    if (scanner.Count() < 10) return 0;

    GpsFixRecord& fix = context.fix;
    context.state.instrumentKind = InstrumentKind::kBangW;
    StoreInstrumentAirspeed(context, v[3] * 0.019438444F);
    StoreVario(context, v[4] / 20.0F - 10.0F);
    StoreAverageVario(context, v[5] / 20.0F - 10.0F);
    StoreSecondVario(context, v[6] / 20.0F - 10.0F);
    StoreMacCready(context, v[7] / 10.0F);
    StoreBallast(context, std::sqrt(v[8] * 0.2F / 100.0F + 1.0F));
    TakeInstrumentWind(context, v[1] * 0.19438446F, static_cast<float>(WrapDegrees(v[0] - 180.0)));
    fix.sourceMask |= source_bit::kBangW | source_bit::kAirspeed;
    return 1;
}

// "$LXWP0,logger,ias km/h,altitude m,vario m/s (six samples),heading,
// wind direction,wind km/h"
int ParseLxwp0(ParseContext& context, std::string_view text) {
    const CommaFields fields(text);
    GpsFixRecord& fix = context.fix;
    NmeaParserState& state = context.state;
    const auto vario1 = fields.Float(3), vario2 = fields.Float(4), vario3 = fields.Float(5);
    if (vario1 && vario2 && vario3) {
        StoreVario(context, (*vario1 + *vario2 + *vario3) / 3.0F / kMpsPerKnot);
        fix.sourceMask |= source_bit::kLx;
    }
    if (const auto altitude = fields.Float(2)) {
        state.pressureSource |= pressure_source::kInstrument;
        if (state.instruments.vario) {
            StorePressureAltitude(context, *altitude * kFeetPerMetre);
        } else {
            StoreTimedPressureAltitude(context, *altitude * kFeetPerMetre);
        }
        fix.sourceMask |= source_bit::kLx;
    }
    if (const auto airspeed = fields.Float(1)) {
        const float indicated = *airspeed / kKmhPerKnot;
        const auto trueAirspeed =
            static_cast<float>(indicated / context.environment.DensityFactor());
        if (std::isfinite(trueAirspeed)) {
            fix.indicatedAirspeed = indicated;
            state.instruments.indicatedAirspeed = true;
            state.instrumentAirspeed = trueAirspeed;
            state.instrumentAirspeedSquared = trueAirspeed * trueAirspeed;
            fix.trueAirspeed = trueAirspeed;
            state.instruments.trueAirspeed = true;
            fix.sourceMask |= source_bit::kLx | source_bit::kAirspeed;
            fix.valueMask |= value_bit::kIndicatedAirspeed | value_bit::kTrueAirspeed;
        }
    }
    const auto windDirection = fields.Float(10), windSpeed = fields.Float(11);
    if (windDirection && windSpeed) {
        TakeInstrumentWind(context, *windSpeed / kKmhPerKnot,
                           static_cast<float>(WrapDegrees(*windDirection)));
    }
    return 1;
}

// "$LXWP2,macCready m/s,ballast (overload factor),bugs %". The instrument
// sends bugs as percent of degradation (0 = clean); the record holds the
// factor the polar is scaled by, 1 + percent / 100, which the instrument
// text shows back as the same percent.
int ParseLxwp2(ParseContext& context, std::string_view text) {
    const CommaFields fields(text);
    bool ballastTaken = false;
    bool bugsTaken = false;
    if (const auto macCready = fields.Float(0)) {
        StoreMacCready(context, *macCready / kMpsPerKnot);
        context.fix.sourceMask |= source_bit::kLx;
    }
    if (const auto ballast = fields.Float(1)) {
        ballastTaken = StoreBallast(context, std::sqrt(*ballast));
        if (ballastTaken) context.fix.sourceMask |= source_bit::kLx;
    }
    if (const auto bugs = fields.Float(2)) {
        bugsTaken = StoreBugs(context, 1.0F + *bugs / 100.0F);
        context.fix.sourceMask |= source_bit::kLx;
    }
    if (ballastTaken && bugsTaken) context.state.instrumentKind = InstrumentKind::kLx;
    return 1;
}

namespace {

// "$PILC,SET,qnh hPa": the correction from the standard to this QNH, feet.
int ParsePilcSet(ParseContext& context, std::string_view text) {
    float qnh = 0;
    if (NmeaScanner(text).Float(qnh).Count() < 1) return 0;
    const float x = qnh / 33.863636F - 29.92F;  // inches of mercury above standard
    context.state.qnhCorrection = x * (x * 15.6928F - 923.516F);
    return 0;
}

// "$PILC,PDA1,altitude m,vario m/s,wind direction,wind km/h,wind quality"
int ParsePilcPda1(ParseContext& context, std::string_view text) {
    float altitude = 0, vario = 0, direction = 0, speed = 0, quality = 0;
    NmeaScanner scanner(text);
    scanner.Float(altitude).Skip().Float(vario).Skip().Float(direction).Skip().Float(speed);
    const int count = scanner.Skip().Float(quality).Count();
    if (count < 2) return 0;
    NmeaParserState& state = context.state;
    state.pressureSource = pressure_source::kInstrument;
    state.instrumentKind = InstrumentKind::kPilc;
    StoreVario(context, vario / 0.5144F);
    const double correction = state.qnhCorrection >= -9000.0F
                                  ? state.qnhCorrection
                                  : context.environment.AutomaticQnhCorrection();
    StorePressureAltitude(context, static_cast<float>(altitude * kFeetPerMetre + correction));
    if (count == 5 && quality > 70.0F) {
        TakeInstrumentWind(context, speed / kKmhPerKnot,
                           static_cast<float>(WrapDegrees(direction)));
    }
    return 1;
}

}  // namespace

// The identifier's skip takes the sub-sentence's first letter with it.
int ParsePilc(ParseContext& context, std::string_view text) {
    if (text.starts_with("ET,")) return ParsePilcSet(context, text.substr(3));
    if (text.starts_with("DA1,")) return ParsePilcPda1(context, text.substr(4));
    return 0;
}

// "$PTAS1,vario,average vario (each 0.1 kt + 200),altitude ft + 2000,tas kt".
// Its values ride on the next sentence that asks for a commit.
int ParsePtas1(ParseContext& context, std::string_view text) {
    const CommaFields fields(text);
    GpsFixRecord& fix = context.fix;
    context.state.instrumentKind = InstrumentKind::kPtas1;
    if (const auto vario = fields.Float(0)) {
        StoreVario(context, (*vario - 200.0F) / 10.0F);
        fix.sourceMask |= source_bit::kPtas1;
    }
    if (const auto average = fields.Float(1)) {
        StoreAverageVario(context, (*average - 200.0F) / 10.0F);
        fix.sourceMask |= source_bit::kPtas1;
    }
    if (const auto altitude = fields.Float(2)) {
        context.state.pressureSource |= pressure_source::kInstrument;
        StorePressureAltitude(context, *altitude - 2000.0F);
        fix.sourceMask |= source_bit::kPtas1;
    }
    if (const auto airspeed = fields.Float(3)) {
        fix.trueAirspeed = *airspeed;
        context.state.instruments.trueAirspeed = true;
        fix.valueMask |= value_bit::kTrueAirspeed;
        const auto indicated = static_cast<float>(*airspeed * context.environment.DensityFactor());
        StoreFinite(indicated, fix.indicatedAirspeed, context.state.instruments.indicatedAirspeed,
                    fix, value_bit::kIndicatedAirspeed);
        fix.sourceMask |= source_bit::kPtas1 | source_bit::kAirspeed;
    }
    return 0;
}

}  // namespace gps::nmea_parse
