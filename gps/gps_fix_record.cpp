#include "gps/gps_fix_record.h"

#include <cmath>

namespace gps {

GpsFixRecord PendingFix;
GpsFixRecord CurrentFix;

void InitGpsFixRecords(platform::CriticalSection* fixLock) {
    for (GpsFixRecord* record : {&PendingFix, &CurrentFix}) {
        record->lock = fixLock;
        record->sourceMask = 0;
        record->valueMask = 0;
        record->densityBase = 1.0F;
    }
    PendingFix.pressureAltitudeTime = kNoTime;
    PendingFix.geoidSeparation = 0;
}

bool AllValuesFinite(const GpsFixRecord& f) {
    const double values[] = {f.lonDegrees,
                             f.latDegrees,
                             f.lonMinutes,
                             f.latMinutes,
                             f.latitude,
                             f.longitude,
                             f.magneticCourse,
                             f.trueCourse,
                             f.trueCourseRad,
                             f.variation,
                             f.groundSpeed,
                             f.gpsAltitude,
                             f.pressureAltitude,
                             f.densityBase,
                             f.geoidSeparation,
                             f.seconds,
                             f.fixTime,
                             f.pressureAltitudeTime,
                             f.gpsAltitudeTime,
                             f.vario,
                             f.instrumentTime,
                             f.macCready,
                             f.secondVario,
                             f.averageVario,
                             f.bugs,
                             f.ballast,
                             f.temperature,
                             f.indicatedAirspeed,
                             f.trueAirspeed,
                             f.magneticHeading,
                             f.trueHeading,
                             f.instrumentWind.x,
                             f.instrumentWind.y,
                             f.instrumentWind.speed,
                             f.instrumentWind.direction,
                             f.instrumentWind.speedSquared,
                             f.instrumentWind.altitude,
                             f.instrumentWind.time};
    for (const double value : values) {
        if (!std::isfinite(value)) return false;
    }
    return true;
}

}  // namespace gps
