// Arbitrary bytes as a received sentence stream: cut into lines as the port
// reader cuts them, then through classification and parsing. The first byte
// picks the settings. No line may crash or leave a value in the fix record
// that is not a number.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "core/settings_values.h"
#include "fuzz/fuzz_support.h"
#include "gps/gps_fix_record.h"
#include "gps/nmea_classify.h"
#include "gps/nmea_environment.h"
#include "gps/nmea_line.h"
#include "gps/nmea_parser_state.h"
#include "gps/settings_values.h"
#include "services/flarm_library.h"

namespace {

using namespace gps;

// A fixed clock and published values, so that every run is the same.
class FixedEnvironment : public NmeaEnvironment {
  public:
    double DensityFactor() const override { return 0.85; }
    double FixTime() const override { return 12.5; }
    platform::SystemTime UtcNow() const override { return {2025, 6, 1, 15, 12, 30, 5, 250}; }
    platform::SystemTime LocalNow() const override { return {2025, 6, 1, 15, 14, 30, 5, 250}; }
};

using fuzz::Check;

void CheckFinite(const GpsFixRecord& f) {
    Check(AllValuesFinite(f));
    Check(f.magneticCourse >= 0 && f.magneticCourse < 360);
    Check(f.trueHeading >= 0 && f.trueHeading < 360);
}

void Configure(std::uint8_t flags) {
    static int flarmObject = 0;
    PendingFix = GpsFixRecord{};
    InitGpsFixRecords(nullptr);
    ResetNmeaParserState();
    g_nmeaCode = flags & 3;
    g_pFlarmObject = (flags & 4) != 0 ? reinterpret_cast<CFLARMobject*>(&flarmObject) : nullptr;
    g_sirfGga = (flags >> 3) & 1;
    core::g_useGpsVariation = (flags >> 4) & 1;
    core::g_variation = 3.5;
    core::g_geoidSeparation = 0.0F;
    g_hcHdgTrue = (flags >> 5) & 1;
    g_windTriggerMask = (flags & 0x40) != 0 ? -1 : 512;
    g_correction = (flags & 0x80) != 0 ? 12.0F : 0.0F;
}

// The reader's line: '$' (or '!' stored as '$' and three zero bytes) up to
// an LF, at most 251 bytes before it.
void FeedLines(std::span<const std::uint8_t> bytes) {
    std::vector<char> line;
    bool collecting = false;
    for (const std::uint8_t byte : bytes) {
        if (!collecting) {
            if (byte != '$' && byte != '!') continue;
            line.assign(1, '$');
            if (byte == '!') line.insert(line.end(), 3, '\0');
            collecting = true;
            continue;
        }
        if (byte != '\n') {
            if (line.size() < 252) line.push_back(static_cast<char>(byte));
            continue;
        }
        collecting = false;
        if (line.size() >= 252) continue;
        line.push_back('\n');
        HandleNmeaLine(line);
        CheckFinite(PendingFix);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    static const FixedEnvironment environment;
    SetNmeaEnvironment(&environment);
    Configure(data[0]);
    FeedLines({data + 1, size - 1});
    return 0;
}
