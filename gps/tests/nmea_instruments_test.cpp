// Headings, altitudes, the flight instruments' sentences and GSA.
#include <cmath>

#include "gps/tests/nmea_test_support.h"

namespace gps::testing {
namespace {

constexpr std::uint32_t kAllB50Values = 0x107C4;
constexpr std::uint32_t kAllBangWValues = 0x35C4;

class InstrumentTest : public NmeaTest {
  protected:
    // A '!'-started sentence as the reader stores it: '$', three zero bytes.
    NmeaLineResult HandleBangW(std::string_view fields) {
        std::string line = Sentence(std::string("w,") + std::string(fields));
        line.insert(1, 3, '\0');
        return Handle(line);
    }
    float LocalHours() const {
        const platform::SystemTime& t = environment.local;
        return t.hour + t.minute / 60.0F + (t.second + t.milliseconds / 1000.0F) / 3600.0F;
    }
};

TEST_F(InstrumentTest, HeadingsAddTheCorrectionAndTheVariation) {
    g_correction = 2.0F;
    environment.variation = 5.0;
    struct Case {
        const char* body;
        int hdgTrue;
        float magnetic;
        float trueHeading;
    };
    const Case cases[] = {
        {"HCHDM,100,M", 1, 102, 107},    {"HCHDT,358,T", 1, 355, 0},
        {"HCHDG,100,,,5,E", 1, 97, 102}, {"HCHDG,100,,,5,E", 0, 102, 107},
        {"HCHDM,-10,m", 1, 352, 357},
    };
    for (const Case& c : cases) {
        g_hcHdgTrue = c.hdgTrue;
        fix = GpsFixRecord{};
        ASSERT_TRUE(HandleBody(c.body).accepted) << c.body;
        EXPECT_FLOAT_EQ(fix.magneticHeading, c.magnetic) << c.body;
        EXPECT_NEAR(fix.trueHeading, c.trueHeading, 1e-4) << c.body;
        EXPECT_NEAR(state.sinHeading, std::sin(Radians(c.trueHeading)), 1e-6);
        EXPECT_NEAR(state.cosHeading, std::cos(Radians(c.trueHeading)), 1e-6);
        EXPECT_EQ(fix.valueMask, value_bit::kHeading);
        EXPECT_EQ(fix.sourceMask, source_bit::kHeading);
    }
    EXPECT_FALSE(HandleBody("HCHDM,100,T").accepted);
    EXPECT_FALSE(HandleBody("HCHDT,100").accepted);
    EXPECT_FALSE(HandleBody("HCHDG,").accepted);
}

TEST_F(InstrumentTest, RmzIsPressureAltitudeOnceFlarmWasSeen) {
    environment.fixTime = 13.5;
    state.flarmSeen = true;
    EXPECT_TRUE(HandleBody("PGRMZ,1234,F,2").accepted);
    EXPECT_FLOAT_EQ(fix.pressureAltitude, 1234);
    EXPECT_EQ(state.pressureSource, pressure_source::kRmz);
    EXPECT_EQ(fix.pressureSource, pressure_source::kRmz);
    EXPECT_FLOAT_EQ(fix.pressureAltitudeTime, 13.5F);
    EXPECT_EQ(fix.sourceMask, source_bit::kPressureAltitude);
    EXPECT_EQ(fix.valueMask, value_bit::kPressureAltitude);

    fix = GpsFixRecord{};
    EXPECT_TRUE(HandleBody("PGRMZ,400,m").accepted);  // two values: pressure altitude
    EXPECT_FLOAT_EQ(fix.pressureAltitude, 400 * 3.2808F);

    state.pressureSource |= pressure_source::kInstrument;  // an instrument has it
    fix = GpsFixRecord{};
    EXPECT_FALSE(HandleBody("PGRMZ,1234,F,2").accepted);
    EXPECT_EQ(fix.valueMask, 0U);
}

TEST_F(InstrumentTest, RmzIsGpsAltitudeWithoutGgaAltitudes) {
    environment.fixTime = 10.25;
    EXPECT_TRUE(HandleBody("PGRMZ,1234,F,3").accepted);
    EXPECT_FLOAT_EQ(fix.gpsAltitude, 1234);
    EXPECT_EQ(fix.gpsAltitudeValid, 1);
    EXPECT_TRUE(state.rmzAltitudeSeen);
    EXPECT_FLOAT_EQ(fix.gpsAltitudeTime, 10.25F);
    EXPECT_EQ(fix.sourceMask, source_bit::kGpsAltitude);
    EXPECT_EQ(fix.valueMask, value_bit::kGpsAltitude);

    EXPECT_FALSE(HandleBody("PGRMZ,1234,F,2").accepted);  // no FLARM: a 2D fix's altitude
    EXPECT_EQ(fix.gpsAltitudeValid, 0);

    // An empty altitude leaves no stale altitude marked valid either.
    for (const char* body : {"PGRMZ,,F,3", "PGRMZ,", "PGRMZ,1234"}) {
        SCOPED_TRACE(body);
        ASSERT_TRUE(HandleBody("PGRMZ,1234,F,3").accepted);
        EXPECT_FALSE(HandleBody(body).accepted);
        EXPECT_EQ(fix.gpsAltitudeValid, 0);
    }

    state.ggaAltitudeSeen = 1;
    fix = GpsFixRecord{};
    EXPECT_FALSE(HandleBody("PGRMZ,1234,F,3").accepted);
    EXPECT_EQ(fix.valueMask, 0U);
    EXPECT_FALSE(HandleBody("PGRMZ,,F,3").accepted);
}

TEST_F(InstrumentTest, PressureAltitudesInMetres) {
    environment.fixTime = 9.0;
    struct Case {
        const char* body;
        float metres;
    };
    const Case cases[] = {
        {"PGAID,A,523.0", 523.0F},      {"PGCS,1,0FC2,FFF6,0220", -10.0F},
        {"PGCS,1,0FC2,0220,,", 544.0F}, {"LPWIN,1,2,6850", 685.0F},
        {"PZAN1,01234", 1234.0F},       {"PFSRA,1234.5", 1234.5F},
    };
    for (const Case& c : cases) {
        fix = GpsFixRecord{};
        ASSERT_TRUE(HandleBody(c.body).accepted) << c.body;
        EXPECT_FLOAT_EQ(fix.pressureAltitude, c.metres * 3.2808F) << c.body;
        EXPECT_EQ(fix.pressureSource & pressure_source::kInstrument, pressure_source::kInstrument);
        EXPECT_FLOAT_EQ(fix.pressureAltitudeTime, 9.0F);
        EXPECT_EQ(fix.sourceMask, source_bit::kPressureAltitude);
        EXPECT_EQ(fix.valueMask, value_bit::kPressureAltitude);
    }
    fix = GpsFixRecord{};
    EXPECT_FALSE(HandleBody("PZAN1,abc").accepted);
    EXPECT_EQ(fix.valueMask, 0U);
}

TEST_F(InstrumentTest, B50) {
    ASSERT_TRUE(HandleBody("PBB50,100,.5,1.5,10000,10,1.21,1,15").accepted);
    EXPECT_EQ(state.instrumentKind, InstrumentKind::kB50);
    EXPECT_FLOAT_EQ(fix.trueAirspeed, 100);
    EXPECT_FLOAT_EQ(state.instrumentAirspeed, 100);
    EXPECT_FLOAT_EQ(state.instrumentAirspeedSquared, 10000);
    EXPECT_FLOAT_EQ(fix.indicatedAirspeed, 100);
    EXPECT_FLOAT_EQ(fix.vario, 0.5F);
    EXPECT_FLOAT_EQ(fix.macCready, 1.5F);
    EXPECT_FLOAT_EQ(fix.bugs, 1 / (1.0005F - 0.1F));
    EXPECT_FLOAT_EQ(fix.ballast, 1.1F);
    EXPECT_EQ(state.circlingMode, 1);
    EXPECT_FLOAT_EQ(fix.temperature, 15);
    EXPECT_FLOAT_EQ(fix.instrumentTime, LocalHours());
    EXPECT_EQ(fix.valueMask, kAllB50Values);
    EXPECT_EQ(fix.sourceMask, source_bit::kB50 | source_bit::kAirspeed);
    EXPECT_TRUE(state.instruments.vario && state.instruments.ballast && state.instruments.bugs);

    // Fields whose formulas give no number never reach the polar.
    fix = GpsFixRecord{};
    fix.ballast = 1.0F;
    fix.indicatedAirspeed = 50;
    ASSERT_TRUE(HandleBody("PBB50,100,.5,1.5,-4,0,-1,1,15").accepted);
    EXPECT_FLOAT_EQ(fix.ballast, 1.0F);
    EXPECT_FLOAT_EQ(fix.indicatedAirspeed, 50);
    EXPECT_EQ(fix.valueMask,
              kAllB50Values & ~(value_bit::kBallast | value_bit::kIndicatedAirspeed));

    fix = GpsFixRecord{};
    EXPECT_FALSE(HandleBody("PBB50,100,.5,1.5,10000,10,1.21,1").accepted);
    EXPECT_EQ(fix.valueMask, 0U);
}

TEST_F(InstrumentTest, BangWInstrumentAndItsWind) {
    environment.densityFactor = 0.9;
    environment.gpsAltitude = 3000;
    environment.fixTime = 11.5;
    ASSERT_TRUE(HandleBangW("180,50,0,500,1100,1013,2500,210,200,195,15,0,0").accepted);
    EXPECT_EQ(state.instrumentKind, InstrumentKind::kBangW);
    const float airspeed = 2500 * 0.019438444F;
    EXPECT_FLOAT_EQ(fix.trueAirspeed, airspeed);
    EXPECT_FLOAT_EQ(fix.indicatedAirspeed, airspeed * 0.9F);
    EXPECT_FLOAT_EQ(fix.vario, 0.5F);
    EXPECT_FLOAT_EQ(fix.averageVario, 0.0F);
    EXPECT_FLOAT_EQ(fix.secondVario, -0.25F);
    EXPECT_FLOAT_EQ(fix.macCready, 1.5F);
    EXPECT_FLOAT_EQ(fix.ballast, 1.0F);
    EXPECT_EQ(fix.valueMask, kAllBangWValues | value_bit::kInstrumentWind);
    EXPECT_EQ(fix.sourceMask, source_bit::kBangW | source_bit::kAirspeed);

    // A wind from the north: x (north) carries it all.
    const WindRecord& wind = fix.instrumentWind;
    const float speed = 50 * 0.19438446F;
    EXPECT_FLOAT_EQ(wind.direction, 0);
    EXPECT_FLOAT_EQ(wind.speed, speed);
    EXPECT_FLOAT_EQ(wind.speedAgain, speed);
    EXPECT_FLOAT_EQ(wind.speedSquared, speed * speed);
    EXPECT_FLOAT_EQ(wind.x, speed);
    EXPECT_NEAR(wind.y, 0, 1e-6);
    EXPECT_FLOAT_EQ(wind.altitude, 3000);
    EXPECT_FLOAT_EQ(wind.time, 11.5F);

    // From the east: y (east) carries it.
    ASSERT_TRUE(HandleBangW("270,50,0,500,1100,1013,2500,210,200,195,15,0,0").accepted);
    EXPECT_FLOAT_EQ(wind.direction, 90);
    EXPECT_NEAR(wind.x, 0, 1e-5);
    EXPECT_FLOAT_EQ(wind.y, speed);
}

TEST_F(InstrumentTest, InstrumentWindOnlyWhenTakenFromTheInstrumentAndNew) {
    const char* const fields = "270,50,0,500,1100,1013,2500,210,200,195,15,0,0";
    g_windTriggerMask = 512;
    ASSERT_TRUE(HandleBangW(fields).accepted);
    EXPECT_EQ(fix.valueMask & value_bit::kInstrumentWind, 0U);

    g_windTriggerMask = -1;
    environment.windSpeed = 50 * 0.19438446F;
    environment.windDirection = 90;
    fix.valueMask = 0;
    ASSERT_TRUE(HandleBangW(fields).accepted);
    EXPECT_EQ(fix.valueMask & value_bit::kInstrumentWind, 0U);
}

TEST_F(InstrumentTest, Lxwp0) {
    environment.densityFactor = 0.8;
    ASSERT_TRUE(HandleBody("LXWP0,Y,222.3,1665.5,1.71,1.65,1.59,,,,239,174,10.1").accepted);
    EXPECT_FLOAT_EQ(fix.vario, (1.71F + 1.65F + 1.59F) / 3 / 0.5145F);
    EXPECT_FLOAT_EQ(fix.pressureAltitude, 1665.5F * 3.2808F);
    EXPECT_EQ(fix.pressureSource, pressure_source::kInstrument);
    EXPECT_FLOAT_EQ(fix.indicatedAirspeed, 222.3F / 1.852F);
    EXPECT_FLOAT_EQ(fix.trueAirspeed, 222.3F / 1.852F / 0.8F);
    EXPECT_FLOAT_EQ(fix.instrumentWind.direction, 174);
    EXPECT_FLOAT_EQ(fix.instrumentWind.speed, 10.1F / 1.852F);
    // The vario came first: its pressure altitude is no separate source.
    EXPECT_EQ(fix.sourceMask, source_bit::kLx | source_bit::kAirspeed);
    EXPECT_EQ(fix.valueMask, value_bit::kVario | value_bit::kPressureAltitude |
                                 value_bit::kIndicatedAirspeed | value_bit::kTrueAirspeed |
                                 value_bit::kInstrumentWind);
}

TEST_F(InstrumentTest, Lxwp0FieldsMayBeMissingOneByOne) {
    environment.fixTime = 8.0;
    environment.densityFactor = 0.0;  // a true airspeed cannot be had
    ASSERT_TRUE(HandleBody("LXWP0,N,88.0,1200,1.71,,,,,,239,,").accepted);
    EXPECT_EQ(fix.valueMask, value_bit::kPressureAltitude);
    EXPECT_EQ(fix.sourceMask, source_bit::kLx | source_bit::kPressureAltitude);
    EXPECT_FLOAT_EQ(fix.pressureAltitudeTime, 8.0F);
    EXPECT_FALSE(state.instruments.trueAirspeed);
}

TEST_F(InstrumentTest, Lxwp2BugsArePercentOfDegradation) {
    ASSERT_TRUE(HandleBody("LXWP2,1.5,1.21,10,2.96,-3.03,1.35,45").accepted);
    EXPECT_FLOAT_EQ(fix.macCready, 1.5F / 0.5145F);
    EXPECT_FLOAT_EQ(fix.ballast, 1.1F);
    EXPECT_FLOAT_EQ(fix.bugs, 1.1F);
    EXPECT_EQ(state.instrumentKind, InstrumentKind::kLx);
    EXPECT_EQ(fix.sourceMask, source_bit::kLx);
    EXPECT_EQ(fix.valueMask, value_bit::kMacCready | value_bit::kBallast | value_bit::kBugs);

    ResetNmeaParserState();
    fix = GpsFixRecord{};
    ASSERT_TRUE(HandleBody("LXWP2,,-1,0").accepted);  // clean, and a ballast with no root
    EXPECT_FLOAT_EQ(fix.bugs, 1.0F);
    EXPECT_EQ(fix.valueMask, value_bit::kBugs);
    EXPECT_EQ(state.instrumentKind, InstrumentKind::kNone);
}

TEST_F(InstrumentTest, PilcSetsTheQnhAndPda1UsesIt) {
    environment.automaticQnh = 55.0;
    ASSERT_TRUE(HandleBody("PILC,PDA1,1000,1.5,270,36,80").accepted);
    EXPECT_FLOAT_EQ(fix.pressureAltitude, 1000 * 3.2808F + 55.0F);

    EXPECT_FALSE(HandleBody("PILC,SET,1023.25").accepted);
    const float x = 1023.25F / 33.863636F - 29.92F;
    const float correction = x * (x * 15.6928F - 923.516F);
    EXPECT_FLOAT_EQ(state.qnhCorrection, correction);
    EXPECT_LT(correction, -250);  // about 27 ft per hPa above standard

    fix = GpsFixRecord{};
    ASSERT_TRUE(HandleBody("PILC,PDA1,1000,1.5,270,36,80").accepted);
    EXPECT_FLOAT_EQ(fix.pressureAltitude, 1000 * 3.2808F + correction);
    EXPECT_FLOAT_EQ(fix.vario, 1.5F / 0.5144F);
    EXPECT_EQ(state.pressureSource, pressure_source::kInstrument);
    EXPECT_EQ(state.instrumentKind, InstrumentKind::kPilc);
    EXPECT_FLOAT_EQ(fix.instrumentWind.direction, 270);
    EXPECT_EQ(fix.valueMask,
              value_bit::kVario | value_bit::kPressureAltitude | value_bit::kInstrumentWind);

    fix = GpsFixRecord{};
    ASSERT_TRUE(HandleBody("PILC,PDA1,1000,1.5,270,36,70").accepted);  // poor wind
    EXPECT_EQ(fix.valueMask, value_bit::kVario | value_bit::kPressureAltitude);
    EXPECT_FALSE(HandleBody("PILC,PDA1,1000").accepted);
    EXPECT_FALSE(HandleBody("PILC,XYZ,1").accepted);
}

TEST_F(InstrumentTest, Ptas1WaitsForTheNextSentence) {
    environment.densityFactor = 0.9;
    const NmeaLineResult result = HandleBody("PTAS1,201,203,02356,100");
    EXPECT_EQ(result.type, SentenceType::kPtas1);
    EXPECT_FALSE(result.accepted);
    EXPECT_FLOAT_EQ(fix.vario, 0.1F);
    EXPECT_FLOAT_EQ(fix.averageVario, 0.3F);
    EXPECT_FLOAT_EQ(fix.pressureAltitude, 356);
    EXPECT_FLOAT_EQ(fix.trueAirspeed, 100);
    EXPECT_FLOAT_EQ(fix.indicatedAirspeed, 90);
    EXPECT_EQ(state.instrumentKind, InstrumentKind::kPtas1);
    EXPECT_EQ(fix.sourceMask, source_bit::kPtas1 | source_bit::kAirspeed);
    EXPECT_EQ(fix.valueMask, value_bit::kVario | value_bit::kAverageVario |
                                 value_bit::kPressureAltitude | value_bit::kTrueAirspeed |
                                 value_bit::kIndicatedAirspeed);
}

TEST_F(InstrumentTest, GsaSatelliteList) {
    EXPECT_TRUE(HandleBody("GPGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1").accepted);
    EXPECT_EQ(state.satellites.Text(), "0405091224");
    EXPECT_TRUE(state.satellites.changed);

    // Until the log writer takes the change, later lists wait.
    EXPECT_TRUE(HandleBody("GPGSA,A,3,07,,,,,,,,,,,,2.5,1.3,2.1").accepted);
    EXPECT_EQ(state.satellites.Text(), "0405091224");

    state.satellites.changed = false;
    EXPECT_TRUE(HandleBody("GPGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1").accepted);
    EXPECT_FALSE(state.satellites.changed);

    // One-digit ids get a '0'; longer ones and junk are left out.
    EXPECT_TRUE(HandleBody("GPGSA,A,3,4,135,7,x1,99,01,02,03,04,05,06,07,08,2.5,1.3,2.1").accepted);
    EXPECT_EQ(state.satellites.Text(), "04079901020304050607");
    EXPECT_TRUE(state.satellites.changed);
}

}  // namespace
}  // namespace gps::testing
