#include "recorder/engine_noise_sensor.h"

namespace recorder {

CEngineNoiseSensor g_engineNoiseSensor;

// The engine-noise sensor fills these in; until then nothing is captured.
void CWaveRecorder::Close(std::uint32_t /*waitMs*/) {
    open_ = false;
}

void CEngineNoiseSensor::Start(void* /*notifyWindow*/, std::FILE* /*settingsFile*/) {}

void CEngineNoiseSensor::Restart() {}

void StartEngineNoiseSensor(void* notifyWindow, std::FILE* settingsFile) {
    g_engineNoiseSensor.Start(notifyWindow, settingsFile);
}

}  // namespace recorder
