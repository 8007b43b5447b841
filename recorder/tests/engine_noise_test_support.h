#pragma once
// Sound for the engine-noise tests: synthetic blocks, a capture source that
// delivers what the test feeds it (and stalls when fed nothing), and the
// level worked out again in plain double precision.

#include <algorithm>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <vector>

#include "recorder/capture_source.h"

namespace recorder::testing {

inline constexpr int kRate = 8000;
inline constexpr std::size_t kBlockBytes = 16000;

using Block = std::vector<std::uint8_t>;

inline Block Silence(std::size_t bytes = kBlockBytes) {
    return Block(bytes, 128);
}

// 0 and 255 in turn, each for halfPeriod samples.
inline Block SquareWave(std::size_t halfPeriod, std::size_t bytes = kBlockBytes) {
    Block b(bytes);
    for (std::size_t i = 0; i < bytes; ++i)
        b[i] = (i / halfPeriod) % 2 == 0 ? 0 : 255;
    return b;
}

// Noise of the given amplitude around 128, from a fixed seed.
inline Block Noise(int amplitude, std::uint32_t seed = 12345) {
    Block b(kBlockBytes);
    for (std::uint8_t& x : b) {
        seed = seed * 1103515245U + 12345U;
        const int r = static_cast<int>((seed >> 16) % (2U * amplitude + 1U)) - amplitude;
        x = static_cast<std::uint8_t>(std::clamp(128 + r, 0, 255));
    }
    return b;
}

// A two-stroke engine's hum: 90 Hz with its harmonic at 180 Hz, slowly
// swelling.
inline Block EngineTone(double amplitude) {
    Block b(kBlockBytes);
    const double pi = 3.14159265358979323846;
    for (std::size_t i = 0; i < b.size(); ++i) {
        const double t = static_cast<double>(i) / kRate;
        const double swell = 0.8 + 0.2 * std::sin(2 * pi * 0.5 * t);
        const double v = amplitude * swell *
                         (std::sin(2 * pi * 90 * t) + 0.4 * std::sin(2 * pi * 180 * t)) / 1.4;
        b[i] = static_cast<std::uint8_t>(std::clamp(std::lround(128 + v), 0L, 255L));
    }
    return b;
}

// The level as the filter is described, written anew in double precision.
inline std::optional<int> ReferenceLevel(const Block& b, int settle, bool twoStage) {
    const double k = static_cast<float>(1.0 / (std::exp(10000.0 / (kRate * settle)) - 1.0));
    const std::size_t skip = kRate / 3;
    const std::size_t settleSamples = static_cast<std::size_t>(settle) * kRate / 2000;
    if (b.size() <= skip + settleSamples + 1) return std::nullopt;
    double y1 = 128, y = 128, lo = 255, hi = 0;
    for (std::size_t i = skip; i < b.size(); ++i) {
        if (twoStage) {
            y1 = (y1 * k + b[i]) / (k + 1);
            y = (y * k + y1) / (k + 1);
        } else {
            y = (y * k + b[i]) / (k + 1);
        }
        if (i - skip > settleSamples) {
            lo = std::min(lo, y);
            hi = std::max(hi, y);
        }
    }
    return std::min(static_cast<int>((hi - lo) * 1000 / 256), 999);
}

// What a FedSource delivers; shared with the test.
struct Feed {
    std::mutex mutex;
    std::condition_variable fed;
    std::deque<std::uint8_t> bytes;
    int opens = 0;
    int openResult = 0;

    void Push(const Block& block) {
        {
            const std::lock_guard lock(mutex);
            bytes.insert(bytes.end(), block.begin(), block.end());
        }
        fed.notify_all();
    }
};

class FedSource final : public CaptureSource {
  public:
    explicit FedSource(std::shared_ptr<Feed> feed) : feed_(std::move(feed)) {}
    int Open(const WaveFormat& /*format*/) override {
        const std::lock_guard lock(feed_->mutex);
        ++feed_->opens;
        return feed_->openResult;
    }
    int Start() override { return 0; }
    int Read(std::span<std::uint8_t> into, int waitMs) override {
        std::unique_lock lock(feed_->mutex);
        feed_->fed.wait_for(lock, std::chrono::milliseconds(waitMs),
                            [this] { return !feed_->bytes.empty(); });
        const std::size_t n = std::min(into.size(), feed_->bytes.size());
        std::copy_n(feed_->bytes.begin(), n, into.begin());
        feed_->bytes.erase(feed_->bytes.begin(), feed_->bytes.begin() + static_cast<long>(n));
        return static_cast<int>(n);
    }
    void Close() override {}

  private:
    std::shared_ptr<Feed> feed_;
};

// Every capture opened from now on reads `feed`; undone at destruction.
class ScopedFeed {
  public:
    ScopedFeed() {
        SetCaptureSourceFactory([f = feed] { return std::make_unique<FedSource>(f); });
    }
    ~ScopedFeed() { SetCaptureSourceFactory(nullptr); }
    ScopedFeed(const ScopedFeed&) = delete;
    ScopedFeed& operator=(const ScopedFeed&) = delete;

    std::shared_ptr<Feed> feed = std::make_shared<Feed>();
};

}  // namespace recorder::testing
