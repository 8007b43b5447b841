// Arbitrary bytes as the stream of a binary-frame instrument: cut into
// frames, each frame parsed. Only whole 45-byte frames with a matching
// checksum may come out, and no frame may crash or leave a value in the fix
// record that is not a number.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "fuzz/fuzz_support.h"
#include "gps/gps_fix_record.h"
#include "gps/nmea_binary_frame.h"
#include "gps/nmea_environment.h"
#include "gps/nmea_frame_assembler.h"
#include "gps/nmea_parser_state.h"
#include "gps/settings_values.h"

namespace {

using namespace gps;

// A clock that moves on by 2.5 s at every reading, across midnight.
class SteppingEnvironment : public NmeaEnvironment {
  public:
    double DensityFactor() const override { return 0.9; }
    platform::SystemTime UtcNow() const override {
        tenths_ = (tenths_ + 25) % 864000;
        const int seconds = tenths_ / 10;
        return {2025,
                6,
                1,
                15,
                static_cast<std::uint16_t>(seconds / 3600),
                static_cast<std::uint16_t>(seconds / 60 % 60),
                static_cast<std::uint16_t>(seconds % 60),
                static_cast<std::uint16_t>(tenths_ % 10 * 100)};
    }
    void Reset() { tenths_ = 863500; }

  private:
    mutable int tenths_ = 863500;  // 23:58:30
};

using fuzz::Check;

void CheckFrame(const BinaryFrame& frame) {
    Check(frame[0] == '$' && frame[1] == 'w' && frame[2] == kBinaryFrameLength);
    std::uint8_t sum = 0;
    for (std::size_t i = 0; i < frame.size(); ++i)
        sum ^= i == 3 ? 0 : frame[i];
    Check(sum == frame[3]);
}

void CheckFinite(const GpsFixRecord& f) {
    Check(AllValuesFinite(f));
    Check(std::fabs(f.latitude) <= 1.5707964 && std::fabs(f.longitude) <= 3.1415927);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static SteppingEnvironment environment;
    environment.Reset();
    SetNmeaEnvironment(&environment);
    PendingFix = GpsFixRecord{};
    ResetNmeaParserState();
    g_windTriggerMask = -1;
    BinaryFrameAssembler assembler;
    assembler.Push({data, size}, [](const BinaryFrame& frame) {
        CheckFrame(frame);
        ParseBinaryFrame(frame);
        CheckFinite(PendingFix);
    });
    return 0;
}
