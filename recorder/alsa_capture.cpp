// Sound capture from ALSA: unsigned 8-bit samples, resampled by ALSA where
// the device runs at another rate or format, read without blocking after a
// bounded wait so that the capture thread sees its stop flag in time.

#include <alsa/asoundlib.h>

#include <algorithm>
#include <cerrno>
#include <mutex>
#include <utility>

#include "recorder/capture_source.h"

namespace recorder {
namespace {

constexpr unsigned kLatencyUs = 500000;

// ALSA's error as a multimedia result: an absent device as no driver.
int MmResult(int error) {
    switch (-error) {
        case 0:
            return 0;
        case ENOENT:
        case ENODEV:
        case ENXIO:
            return mm::kNoDriver;
        case EBUSY:
            return mm::kAllocated;
        case ENOMEM:
            return mm::kNoMemory;
        case EINVAL:
            return mm::kBadFormat;
        default:
            return mm::kUnspecified;
    }
}

class AlsaCapture final : public CaptureSource {
  public:
    explicit AlsaCapture(std::string device) : device_(std::move(device)) {}
    ~AlsaCapture() override { Close(); }
    AlsaCapture(const AlsaCapture&) = delete;
    AlsaCapture& operator=(const AlsaCapture&) = delete;

    int Open(const WaveFormat& format) override {
        Close();
        if (format.bitsPerSample != 8) return mm::kBadFormat;
        int error = snd_pcm_open(&pcm_, device_.c_str(), SND_PCM_STREAM_CAPTURE, SND_PCM_NONBLOCK);
        if (error < 0) {
            pcm_ = nullptr;
            return MmResult(error);
        }
        error = snd_pcm_set_params(pcm_, SND_PCM_FORMAT_U8, SND_PCM_ACCESS_RW_INTERLEAVED,
                                   format.channels, format.samplesPerSecond, 1, kLatencyUs);
        if (error < 0) {
            Close();
            return MmResult(error);
        }
        frameBytes_ = format.blockAlign == 0 ? 1 : format.blockAlign;
        snd_pcm_uframes_t bufferFrames = 0;
        snd_pcm_uframes_t periodFrames = 0;
        if (snd_pcm_get_params(pcm_, &bufferFrames, &periodFrames) == 0 && periodFrames > 0)
            readFrames_ = periodFrames;
        return 0;
    }

    int Start() override {
        if (pcm_ == nullptr) return mm::kBadDeviceId;
        const snd_pcm_state_t state = snd_pcm_state(pcm_);
        if (state == SND_PCM_STATE_RUNNING) return 0;
        if (state != SND_PCM_STATE_PREPARED) {
            if (const int error = snd_pcm_prepare(pcm_); error < 0) return MmResult(error);
        }
        const int error = snd_pcm_start(pcm_);
        return error < 0 ? MmResult(error) : 0;
    }

    int Read(std::span<std::uint8_t> into, int waitMs) override {
        if (pcm_ == nullptr) return -1;
        // A period at a time: some plugins refuse more than their buffer.
        const snd_pcm_uframes_t frames =
            std::min<snd_pcm_uframes_t>(into.size() / frameBytes_, readFrames_);
        if (frames == 0) return 0;
        snd_pcm_sframes_t got = snd_pcm_readi(pcm_, into.data(), frames);
        if (got == -EAGAIN) {
            const int ready = snd_pcm_wait(pcm_, waitMs);
            if (ready == 0) return 0;
            got = ready < 0 ? ready : snd_pcm_readi(pcm_, into.data(), frames);
        }
        if (got == -EAGAIN) return 0;
        if (got < 0) {
            // An overrun or a suspended device: start over, losing what was
            // not read.
            if (snd_pcm_recover(pcm_, static_cast<int>(got), 1) == 0 && Start() == 0) return 0;
            return -1;
        }
        return static_cast<int>(got * frameBytes_);
    }

    void Close() override {
        if (pcm_ == nullptr) return;
        snd_pcm_drop(pcm_);
        snd_pcm_close(pcm_);
        pcm_ = nullptr;
    }

  private:
    std::string device_;
    snd_pcm_t* pcm_ = nullptr;
    unsigned frameBytes_ = 1;
    snd_pcm_uframes_t readFrames_ = 1024;
};

std::mutex g_factoryMutex;
CaptureSourceFactory g_factory;

}  // namespace

std::unique_ptr<CaptureSource> MakeAlsaCapture(std::string device) {
    return std::make_unique<AlsaCapture>(std::move(device));
}

void SetCaptureSourceFactory(CaptureSourceFactory factory) {
    const std::lock_guard lock(g_factoryMutex);
    g_factory = std::move(factory);
}

std::unique_ptr<CaptureSource> MakeCaptureSource() {
    {
        const std::lock_guard lock(g_factoryMutex);
        if (g_factory) return g_factory();
    }
    return MakeAlsaCapture("default");
}

}  // namespace recorder
