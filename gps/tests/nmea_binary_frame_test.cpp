// The 45-byte binary frames: cutting them from the byte stream, and their
// values.
#include <bit>
#include <cmath>
#include <vector>

#include "gps/nmea_binary_frame.h"
#include "gps/nmea_frame_assembler.h"
#include "gps/tests/nmea_test_support.h"

namespace gps::testing {
namespace {

// The angle field of a float, written independently of the decoder: the
// IEEE bytes little-endian are b0..b3; the field puts the exponent first.
void PutAngle(BinaryFrame& frame, std::size_t offset, float value) {
    const auto bits = std::bit_cast<std::uint32_t>(value);
    const std::uint8_t b[4] = {
        static_cast<std::uint8_t>(bits), static_cast<std::uint8_t>(bits >> 8),
        static_cast<std::uint8_t>(bits >> 16), static_cast<std::uint8_t>(bits >> 24)};
    frame[offset] = static_cast<std::uint8_t>(((b[3] & 0x7F) << 1) | (b[2] >> 7));
    frame[offset + 1] = static_cast<std::uint8_t>((b[2] & 0x7F) | (b[3] & 0x80));
    frame[offset + 2] = b[1];
    frame[offset + 3] = b[0];
}

void Put16(BinaryFrame& frame, std::size_t offset, int value) {
    frame[offset] = static_cast<std::uint8_t>(value & 0xFF);
    frame[offset + 1] = static_cast<std::uint8_t>((value >> 8) & 0xFF);
}

void Seal(BinaryFrame& frame) {
    frame[0] = '$';
    frame[1] = 'w';
    frame[2] = 45;
    std::uint8_t sum = 0;
    for (std::size_t i = 0; i < frame.size(); ++i) {
        if (i != 3) sum ^= frame[i];
    }
    frame[3] = sum;
}

BinaryFrame PositionFrame(double latDegrees, double lonEastDegrees) {
    BinaryFrame frame{};
    frame[4] = 0;
    Put16(frame, 13, 1000);  // pressure altitude, m
    Put16(frame, 23, 15);    // average vario, 0.1 m/s
    Put16(frame, 25, -10);   // second vario
    Put16(frame, 27, 25);    // vario
    Put16(frame, 29, 1900);  // airspeed, 0.1 km/h
    Put16(frame, 31, 1852);  // ground speed, 0.1 km/h
    Put16(frame, 33, 2705);  // course, 0.1 degree
    PutAngle(frame, 35, static_cast<float>(Radians(latDegrees) * 4));
    PutAngle(frame, 39, static_cast<float>(Radians(lonEastDegrees) * 4));
    Seal(frame);
    return frame;
}

class BinaryFrameTest : public NmeaTest {
  protected:
    void SetUp() override {
        NmeaTest::SetUp();
        g_nmeaCode = 3;
        At(13, 47, 49, 600);
    }
    void At(int hour, int minute, int second, int milliseconds) {
        environment.utc.hour = static_cast<std::uint16_t>(hour);
        environment.utc.minute = static_cast<std::uint16_t>(minute);
        environment.utc.second = static_cast<std::uint16_t>(second);
        environment.utc.milliseconds = static_cast<std::uint16_t>(milliseconds);
    }
};

TEST_F(BinaryFrameTest, AnglesAreStoredExponentFirst) {
    for (const float value : {1.0F, -0.837F, 3.1415927F, 0.0F, -6.2831855F}) {
        BinaryFrame frame{};
        PutAngle(frame, 0, value);
        EXPECT_EQ(DecodeFrameAngle(frame.data()), value);
    }
    const std::uint8_t one[4] = {0x7F, 0x00, 0x00, 0x00};  // exponent 127, mantissa 0
    EXPECT_EQ(DecodeFrameAngle(one), 1.0F);
}

TEST_F(BinaryFrameTest, PositionFrame) {
    environment.variation = 2.0;
    environment.densityFactor = 0.9;
    ASSERT_EQ(ParseBinaryFrame(PositionFrame(47.5, 12.25)), 1);
    EXPECT_NEAR(fix.latitude, Radians(47.5), 1e-6);
    EXPECT_NEAR(fix.longitude, -Radians(12.25), 1e-6);  // east is negative
    EXPECT_EQ(fix.latLetter, 'N');
    EXPECT_EQ(fix.lonLetter, 'E');
    EXPECT_DOUBLE_EQ(fix.latDegrees, 47);
    EXPECT_NEAR(fix.latMinutes, 30, 1e-3);
    EXPECT_DOUBLE_EQ(fix.lonDegrees, 12);
    EXPECT_NEAR(fix.lonMinutes, 15, 1e-3);
    EXPECT_EQ(fix.hours, 13);  // UTC
    EXPECT_EQ(fix.minutes, 47);
    EXPECT_FLOAT_EQ(fix.seconds, 49.6F);
    EXPECT_FLOAT_EQ(fix.pressureAltitude, 1000 * 3.2808F);
    EXPECT_EQ(fix.pressureSource, pressure_source::kInstrument);
    EXPECT_NEAR(fix.trueCourse, 270.5, 1e-4);
    EXPECT_NEAR(fix.magneticCourse, 268.5, 1e-4);
    EXPECT_FLOAT_EQ(fix.groundSpeed, 100.0F);
    EXPECT_FLOAT_EQ(fix.trueAirspeed, 190.0F / 1.852F);
    EXPECT_FLOAT_EQ(fix.indicatedAirspeed, 190.0F / 1.852F * 0.9F);
    EXPECT_FLOAT_EQ(fix.vario, 2.5F / 0.5145F);
    EXPECT_FLOAT_EQ(fix.secondVario, -1.0F / 0.5145F);
    EXPECT_FLOAT_EQ(fix.averageVario, 1.5F / 0.5145F);
    EXPECT_EQ(state.ggaAltitudeSeen, -1);
    EXPECT_EQ(state.instrumentKind, InstrumentKind::kBinaryFrame);
    EXPECT_EQ(fix.sourceMask, 0x1010U | 0x1201U);
    EXPECT_EQ(fix.valueMask, 0x11U | 0x70C6U);
}

TEST_F(BinaryFrameTest, RepeatedFramesAreDroppedAcrossMidnightToo) {
    struct Step {
        int hour, minute, second, ms;
        double lat;
        int parsed;
    };
    const Step steps[] = {
        {23, 59, 57, 0, 47.5, 1},   {23, 59, 58, 900, 47.6, 0},  // 1.9 s later
        {23, 59, 59, 100, 47.6, 1},                              // 2.1 s later, moved
        {0, 0, 1, 100, 47.6, 0},                                 // 2.0 s later, not moved
        {0, 0, 3, 0, 47.6, 1},                                   // 3.9 s later
        {0, 0, 4, 0, 47.7, 0},                                   // 1.0 s later
        {0, 0, 5, 100, 47.7, 1},                                 // 2.1 s later, moved
    };
    for (const Step& s : steps) {
        At(s.hour, s.minute, s.second, s.ms);
        EXPECT_EQ(ParseBinaryFrame(PositionFrame(s.lat, 12.25)), s.parsed)
            << s.hour << ":" << s.minute << ":" << s.second << "." << s.ms;
    }
}

TEST_F(BinaryFrameTest, SettingsFrameGivesMacCreadyAndWind) {
    BinaryFrame frame{};
    frame[4] = 2;
    frame[13] = 4;
    Put16(frame, 19, 370);  // 37 km/h
    PutAngle(frame, 21, static_cast<float>(Radians(270) * 4));
    Seal(frame);
    ASSERT_EQ(ParseBinaryFrame(frame), 1);
    EXPECT_FLOAT_EQ(fix.macCready, 4 / 0.5145F * 0.5F);
    EXPECT_NEAR(fix.instrumentWind.direction, 90, 1e-4);
    EXPECT_FLOAT_EQ(fix.instrumentWind.speed, 37 / 1.852F);
    EXPECT_EQ(fix.sourceMask, source_bit::kBinaryFrame | source_bit::kGpsAltitude);
    EXPECT_EQ(fix.valueMask, value_bit::kMacCready | value_bit::kInstrumentWind);
}

TEST_F(BinaryFrameTest, FramesThatCannotBeChangeNothing) {
    BinaryFrame other = PositionFrame(47.5, 12.25);
    other[4] = 1;
    EXPECT_EQ(ParseBinaryFrame(other), 0);

    for (const float angle : {std::nanf(""), INFINITY, 7.0F /* beyond the pole */}) {
        BinaryFrame frame = PositionFrame(47.5, 12.25);
        PutAngle(frame, 35, angle);
        Seal(frame);
        EXPECT_EQ(ParseBinaryFrame(frame), 0);
    }
    EXPECT_EQ(fix.valueMask, 0U);
    EXPECT_EQ(fix.latitude, 0.0);
}

std::vector<BinaryFrame> Assemble(BinaryFrameAssembler& assembler,
                                  const std::vector<std::uint8_t>& bytes) {
    std::vector<BinaryFrame> frames;
    assembler.Push(bytes, [&](const BinaryFrame& frame) { frames.push_back(frame); });
    return frames;
}

void Append(std::vector<std::uint8_t>& bytes, const BinaryFrame& frame) {
    bytes.insert(bytes.end(), frame.begin(), frame.end());
}

TEST_F(BinaryFrameTest, AssemblerCutsFramesFromTheStream) {
    const BinaryFrame a = PositionFrame(47.5, 12.25);
    const BinaryFrame b = PositionFrame(-33.9, -70.6);
    std::vector<std::uint8_t> bytes = {'x', '$', '$', 'w'};  // junk, a false start
    Append(bytes, a);
    bytes.push_back('$');
    Append(bytes, b);
    BinaryFrameAssembler assembler;
    const std::vector<BinaryFrame> frames = Assemble(assembler, bytes);
    ASSERT_EQ(frames.size(), 2U);
    EXPECT_EQ(frames[0], a);
    EXPECT_EQ(frames[1], b);

    // Byte by byte gives the same.
    BinaryFrameAssembler single;
    int count = 0;
    for (const std::uint8_t byte : bytes)
        count += single.Push(byte) != nullptr;
    EXPECT_EQ(count, 2);
}

TEST_F(BinaryFrameTest, AssemblerResynchronisesOnDollar) {
    const BinaryFrame good = PositionFrame(47.5, 12.25);

    // A length other than 45 is dropped at once.
    std::vector<std::uint8_t> bytes = {'$', 'w', 44};
    Append(bytes, good);
    BinaryFrameAssembler assembler;
    EXPECT_EQ(Assemble(assembler, bytes).size(), 1U);

    // A broken frame that hides the start of a good one: the search goes on
    // inside the dropped bytes.
    BinaryFrame broken = PositionFrame(10, 10);
    broken[3] ^= 0xFF;
    std::vector<std::uint8_t> hidden(broken.begin(), broken.begin() + 20);
    Append(hidden, good);
    const std::vector<BinaryFrame> frames = Assemble(assembler, hidden);
    ASSERT_EQ(frames.size(), 1U);
    EXPECT_EQ(frames[0], good);

    // A frame with a wrong checksum is never handed on.
    std::vector<std::uint8_t> wrong(broken.begin(), broken.end());
    EXPECT_TRUE(Assemble(assembler, wrong).empty());
}

}  // namespace
}  // namespace gps::testing
