#pragma once
// The engine-noise level from the sound card.

#include <cstdio>

namespace recorder {

// Starts measuring; the sensor notifies notifyWindow and reads its filter
// settings from the open "ENLset.txt" during the call.
void StartEngineNoiseSensor(void* notifyWindow, std::FILE* settingsFile);

}  // namespace recorder
