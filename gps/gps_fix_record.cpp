#include "gps/gps_fix_record.h"

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

}  // namespace gps
