#include "recorder/logger_library.h"

namespace recorder {

// The library bindings fill these in; until then neither library is used.
int BindLoggerLibrary(void* /*frame*/) {
    return 0;
}

int BindSensorBoxLibrary(void* /*frame*/) {
    return 0;
}

bool SensorBoxLoaded() {
    return false;
}

int LoggerType() {
    return 0;
}

void FreeLoggerLibrary() {}
void FreeSensorBoxLibrary() {}

}  // namespace recorder
