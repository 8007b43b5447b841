#include "recorder/engine_noise_sensor.h"

namespace recorder {

// The engine-noise sensor fills this in.
void StartEngineNoiseSensor(void* /*notifyWindow*/, std::FILE* /*settingsFile*/) {}

}  // namespace recorder
