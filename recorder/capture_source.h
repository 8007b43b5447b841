#pragma once
// Where captured sound comes from: the sound card through ALSA, or what a
// test gives. Opened and closed on the UI thread, read on the capture
// thread only while open.

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>

#include "recorder/pcm_buffer.h"

namespace recorder {

class CaptureSource {
  public:
    virtual ~CaptureSource() = default;
    // 0, or the multimedia result (mm::) of the failure.
    virtual int Open(const WaveFormat& format) = 0;
    // Begins capturing; 0 or the multimedia result.
    virtual int Start() = 0;
    // Waits at most waitMs for samples and reads what has come into `into`:
    // the bytes read, 0 when none came in time, negative when the device
    // failed (the caller waits before it reads again).
    virtual int Read(std::span<std::uint8_t> into, int waitMs) = 0;
    virtual void Close() = 0;
};

// The sound card's capture device `device` ("default": the system's).
std::unique_ptr<CaptureSource> MakeAlsaCapture(std::string device);

// Makes the source the recorder opens; null restores ALSA's "default".
using CaptureSourceFactory = std::function<std::unique_ptr<CaptureSource>()>;
void SetCaptureSourceFactory(CaptureSourceFactory factory);
std::unique_ptr<CaptureSource> MakeCaptureSource();

}  // namespace recorder
