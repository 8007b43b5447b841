#include "gps/nmea_environment.h"

#include <atomic>

#include "core/settings_values.h"
#include "gps/gps_fix_record.h"

namespace gps {
namespace {

const NmeaEnvironment g_builtInEnvironment;
std::atomic<const NmeaEnvironment*> g_environment{&g_builtInEnvironment};

}  // namespace

double NmeaEnvironment::VariationInUse() const {
    return core::g_magneticVariation.load();
}

double NmeaEnvironment::GpsAltitude() const {
    return kNoValue;
}

void SetNmeaEnvironment(const NmeaEnvironment* environment) {
    g_environment.store(environment != nullptr ? environment : &g_builtInEnvironment);
}

const NmeaEnvironment& CurrentNmeaEnvironment() {
    return *g_environment.load();
}

}  // namespace gps
