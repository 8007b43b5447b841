#include "platform/sound_player.h"

#include <alsa/asoundlib.h>
#include <sndfile.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdarg>
#include <cstdint>
#include <functional>
#include <mutex>
#include <numbers>
#include <thread>
#include <utility>
#include <vector>

// alsa/error.h declares this one outside its extern "C" block, which would
// have C++ code look for a mangled name the library does not export.
namespace alsa_c {
extern "C" snd_local_error_handler_t snd_lib_error_set_local(snd_local_error_handler_t func);
}  // namespace alsa_c

namespace platform {
namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr unsigned kLatencyUs = 100000;  // the device's buffer, 0.1 s
constexpr std::size_t kChunkFrames = 1024;
constexpr int kPollMs = 20;
// A device that takes no data for this long has stalled; the sound is given
// up rather than holding its thread.
constexpr auto kStallLimit = 2s;
constexpr int kMaxChannels = 8;

struct Format {
    int channels = 1;
    unsigned rate = 0;
};

// Copies up to frames frames into buffer; 0 at the end of the sound.
using FrameSource = std::function<std::size_t(std::int16_t* buffer, std::size_t frames)>;

// Keeps ALSA's messages (a missing card, an unknown device) off stderr for
// this thread's calls: no device only means silence.
class QuietAlsaErrors {
  public:
    QuietAlsaErrors() : previous_(alsa_c::snd_lib_error_set_local(Ignore)) {}
    ~QuietAlsaErrors() { alsa_c::snd_lib_error_set_local(previous_); }
    QuietAlsaErrors(const QuietAlsaErrors&) = delete;
    QuietAlsaErrors& operator=(const QuietAlsaErrors&) = delete;

  private:
    static void Ignore(const char*, int, const char*, int, const char*, va_list) {}
    snd_local_error_handler_t previous_;
};

struct PcmCloser {
    void operator()(snd_pcm_t* pcm) const { snd_pcm_close(pcm); }
};
using Pcm = std::unique_ptr<snd_pcm_t, PcmCloser>;

struct SoundFileCloser {
    void operator()(SNDFILE* file) const { sf_close(file); }
};
using SoundFile = std::unique_ptr<SNDFILE, SoundFileCloser>;

// Opens the device without waiting for it when it is busy; null when it
// cannot be had in this format.
Pcm OpenPcm(const std::string& device, const Format& format) {
    snd_pcm_t* raw = nullptr;
    if (snd_pcm_open(&raw, device.c_str(), SND_PCM_STREAM_PLAYBACK, SND_PCM_NONBLOCK) < 0)
        return nullptr;
    Pcm pcm(raw);
    if (snd_pcm_set_params(raw, SND_PCM_FORMAT_S16, SND_PCM_ACCESS_RW_INTERLEAVED,
                           static_cast<unsigned>(format.channels), format.rate, 1, kLatencyUs) < 0)
        return nullptr;
    return pcm;
}

PlayResult WriteFrames(snd_pcm_t* pcm, const std::int16_t* data, std::size_t frames, int channels,
                       const std::stop_token& stop) {
    auto lastProgress = Clock::now();
    while (frames > 0) {
        if (stop.stop_requested()) return PlayResult::kStopped;
        const snd_pcm_sframes_t written = snd_pcm_writei(pcm, data, frames);
        if (written == -EAGAIN || written == 0) {
            if (Clock::now() - lastProgress > kStallLimit) return PlayResult::kNoDevice;
            snd_pcm_wait(pcm, kPollMs);
        } else if (written < 0) {
            if (snd_pcm_recover(pcm, static_cast<int>(written), 1) < 0)
                return PlayResult::kNoDevice;
        } else {
            data += written * channels;
            frames -= static_cast<std::size_t>(written);
            lastProgress = Clock::now();
        }
    }
    return PlayResult::kPlayed;
}

// Lets the device play what it still holds. Waits in short steps, so a stop
// request or a stalled device ends it soon.
PlayResult PlayOut(snd_pcm_t* pcm, const std::stop_token& stop) {
    if (snd_pcm_state(pcm) == SND_PCM_STATE_PREPARED) snd_pcm_start(pcm);
    const auto deadline = Clock::now() + kStallLimit;
    while (snd_pcm_state(pcm) == SND_PCM_STATE_RUNNING && Clock::now() < deadline) {
        if (stop.stop_requested()) return PlayResult::kStopped;
        snd_pcm_sframes_t delay = 0;
        if (snd_pcm_delay(pcm, &delay) < 0 || delay <= 0) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(kPollMs));
    }
    return PlayResult::kPlayed;
}

PlayResult Play(const std::string& device, const Format& format, const FrameSource& source,
                const std::stop_token& stop) {
    const QuietAlsaErrors quiet;
    const Pcm pcm = OpenPcm(device, format);
    if (!pcm) return PlayResult::kNoDevice;
    std::vector<std::int16_t> buffer(kChunkFrames * static_cast<std::size_t>(format.channels));
    PlayResult result = PlayResult::kPlayed;
    while (result == PlayResult::kPlayed) {
        const std::size_t frames = source(buffer.data(), kChunkFrames);
        if (frames == 0) break;
        result = WriteFrames(pcm.get(), buffer.data(), frames, format.channels, stop);
    }
    if (result == PlayResult::kPlayed) result = PlayOut(pcm.get(), stop);
    snd_pcm_drop(pcm.get());
    return result;
}

// A 150 ms tone of 880 Hz, faded in and out so it does not click.
const std::vector<std::int16_t>& DefaultTone() {
    static const std::vector<std::int16_t> tone = [] {
        constexpr unsigned kRate = 22050;
        constexpr std::size_t kFrames = kRate * 150 / 1000;
        constexpr std::size_t kFade = kRate * 10 / 1000;
        std::vector<std::int16_t> samples(kFrames);
        for (std::size_t i = 0; i < kFrames; ++i) {
            const double fade = static_cast<double>(std::min({i, kFrames - 1 - i, kFade})) /
                                static_cast<double>(kFade);
            const double phase = 2.0 * std::numbers::pi * 880.0 * static_cast<double>(i) / kRate;
            samples[i] = static_cast<std::int16_t>(std::lround(9000.0 * fade * std::sin(phase)));
        }
        return samples;
    }();
    return tone;
}

std::mutex g_playerLock;
std::shared_ptr<SoundPlayer> g_player;  // guarded by g_playerLock; null: the default

std::shared_ptr<SoundPlayer> DefaultPlayer() {
    static const std::shared_ptr<SoundPlayer> player = std::make_shared<AlsaSoundPlayer>();
    return player;
}

}  // namespace

AlsaSoundPlayer::AlsaSoundPlayer(std::string device) : device_(std::move(device)) {}

PlayResult AlsaSoundPlayer::PlayFile(const std::filesystem::path& file, std::stop_token stop) {
    SF_INFO info{};
    const SoundFile sound(sf_open(file.c_str(), SFM_READ, &info));
    if (!sound || info.channels < 1 || info.channels > kMaxChannels || info.samplerate <= 0)
        return PlayResult::kBadFile;
    const Format format{info.channels, static_cast<unsigned>(info.samplerate)};
    const FrameSource source = [&sound](std::int16_t* buffer, std::size_t frames) {
        const sf_count_t read =
            sf_readf_short(sound.get(), buffer, static_cast<sf_count_t>(frames));
        return read > 0 ? static_cast<std::size_t>(read) : std::size_t{0};
    };
    return Play(device_, format, source, stop);
}

PlayResult AlsaSoundPlayer::PlayDefault(std::stop_token stop) {
    const std::vector<std::int16_t>& tone = DefaultTone();
    std::size_t next = 0;
    const FrameSource source = [&tone, &next](std::int16_t* buffer, std::size_t frames) {
        const std::size_t count = std::min(frames, tone.size() - next);
        std::copy_n(tone.begin() + static_cast<std::ptrdiff_t>(next), count, buffer);
        next += count;
        return count;
    };
    return Play(device_, Format{1, 22050}, source, stop);
}

std::shared_ptr<SoundPlayer> SetSoundPlayer(std::shared_ptr<SoundPlayer> player) {
    const std::lock_guard lock(g_playerLock);
    std::swap(g_player, player);
    return player;
}

std::shared_ptr<SoundPlayer> CurrentSoundPlayer() {
    {
        const std::lock_guard lock(g_playerLock);
        if (g_player) return g_player;
    }
    return DefaultPlayer();
}

}  // namespace platform
