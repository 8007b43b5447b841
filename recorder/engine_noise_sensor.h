#pragma once
// The engine-noise level from the sound card.

#include <cstdint>
#include <cstdio>

namespace recorder {

// The sound-card capture the engine-noise level is measured from.
class CWaveRecorder {
  public:
    bool IsOpen() const { return open_; }
    // Stops capturing, waiting at most waitMs for the capture to end.
    void Close(std::uint32_t waitMs);

  private:
    bool open_ = false;
};

class CEngineNoiseSensor {
  public:
    // Starts measuring; the sensor notifies notifyWindow and reads its filter
    // settings from the open "ENLset.txt" during the call.
    void Start(void* notifyWindow, std::FILE* settingsFile);
    // Closes and reopens the capture unless its restart limit is reached.
    void Restart();

    CWaveRecorder& Recorder() { return recorder_; }

  private:
    CWaveRecorder recorder_;
};

// The program's sensor.
extern CEngineNoiseSensor g_engineNoiseSensor;

// g_engineNoiseSensor.Start.
void StartEngineNoiseSensor(void* notifyWindow, std::FILE* settingsFile);

}  // namespace recorder
