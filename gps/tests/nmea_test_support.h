#pragma once
// Shared by the sentence tests: lines with their checksum, a fake
// environment, and a fixture that starts every test from the load values.

#include <gtest/gtest.h>

#include <cstdio>
#include <numbers>
#include <string>
#include <string_view>

#include "core/settings_values.h"
#include "gps/gps_fix_record.h"
#include "gps/nmea_environment.h"
#include "gps/nmea_line.h"
#include "gps/nmea_parser_state.h"
#include "gps/settings_values.h"
#include "services/flarm_library.h"

namespace gps::testing {

// "$" + body + "*hh\r\n" with the XOR of the body's bytes.
inline std::string Sentence(std::string_view body) {
    unsigned sum = 0;
    for (const char c : body)
        sum ^= static_cast<unsigned char>(c);
    char tail[8];
    std::snprintf(tail, sizeof tail, "*%02X\r\n", sum);
    return "$" + std::string(body) + tail;
}

inline double Radians(double degrees) {
    return degrees * std::numbers::pi / 180.0;
}

class FakeEnvironment : public NmeaEnvironment {
  public:
    double VariationInUse() const override { return variation; }
    double TrueCourse() const override { return trueCourse; }
    double FixTime() const override { return fixTime; }
    double GpsAltitude() const override { return gpsAltitude; }
    double WindSpeed() const override { return windSpeed; }
    double WindDirection() const override { return windDirection; }
    double WindCorrectionAngle() const override { return windCorrectionAngle; }
    double DensityFactor() const override { return densityFactor; }
    double AutomaticQnhCorrection() const override { return automaticQnh; }
    platform::SystemTime UtcNow() const override { return utc; }
    platform::SystemTime LocalNow() const override { return local; }

    double variation = 0;
    double trueCourse = 0;
    double fixTime = 0;
    double gpsAltitude = kNoValue;
    double windSpeed = 0;
    double windDirection = 0;
    double windCorrectionAngle = 0;
    double densityFactor = 1.0;
    double automaticQnh = 0;
    platform::SystemTime utc{2024, 12, 6, 28, 13, 47, 49, 600};
    platform::SystemTime local{2024, 12, 6, 28, 14, 47, 49, 600};
};

class NmeaTest : public ::testing::Test {
  protected:
    void SetUp() override {
        PendingFix = GpsFixRecord{};
        InitGpsFixRecords(nullptr);
        ResetNmeaParserState();
        g_nmeaCode = 0;
        g_sirfGga = 0;
        core::g_useGpsVariation = 1;
        core::g_variation = 0.0;
        core::g_geoidSeparation = 0.0F;
        g_correction = 0.0F;
        g_hcHdgTrue = 1;
        g_windTriggerMask = -1;
        g_pFlarmObject = nullptr;
        SetNmeaEnvironment(&environment);
    }
    void TearDown() override {
        SetNmeaEnvironment(nullptr);
        g_pFlarmObject = nullptr;
    }

    // Runs a line through the whole input path.
    NmeaLineResult Handle(std::string line) { return HandleNmeaLine(line); }
    // The same for a sentence body given without '$' and checksum.
    NmeaLineResult HandleBody(std::string_view body) { return Handle(Sentence(body)); }

    static void PretendFlarmPresent() {
        static int object = 0;
        g_pFlarmObject = reinterpret_cast<CFLARMobject*>(&object);
    }

    FakeEnvironment environment;
    GpsFixRecord& fix = PendingFix;
    NmeaParserState& state = g_nmeaState;
};

}  // namespace gps::testing
