// The sound card's capture path without a sound card: a test-local ALSA
// configuration whose "file" plugin plays a raw sample file as the capture
// device. The blocks the capture thread hands over read as the levels the
// plain filter gives for the same samples.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <thread>

#include "recorder/engine_noise_level.h"
#include "recorder/tests/engine_noise_test_support.h"
#include "recorder/wave_recorder.h"
#include "testing/scratch_folder.h"

namespace recorder::testing {
namespace {

using namespace std::chrono_literals;

constexpr char kDevice[] = "kv_sample_file";

// Measures every block it is handed.
class LevelRecorder final : public CWaveRecorder {
  public:
    LevelRecorder() {
        SetFormat(kRate, 8, 1);
        AllocateBuffer(2000);
        SetQuiet(true);
    }
    ~LevelRecorder() override {
        while (!Close(150)) {
        }
    }
    LevelRecorder(const LevelRecorder&) = delete;
    LevelRecorder& operator=(const LevelRecorder&) = delete;

    std::vector<std::optional<int>> Levels() const {
        const std::lock_guard lock(mutex_);
        return levels_;
    }

  protected:
    void OnWaveData() override {
        const std::optional<std::uint16_t> level =
            EnlBlockLevel(std::span(buffer_.data(), bytesRecorded_), kRate, 100, true,
                          EnlFilterCoefficient(kRate, 100));
        {
            const std::lock_guard lock(mutex_);
            levels_.emplace_back(level);
        }
        Requeue();
    }
    void OnCaptureStalled() override {}

  private:
    mutable std::mutex mutex_;
    std::vector<std::optional<int>> levels_;
};

TEST(AlsaCaptureTest, ASampleFileReadsAsTheTableSays) {
    const test_support::ScratchFolder folder("kv-alsa");
    const std::vector<Block> blocks{Silence(), SquareWave(2000), EngineTone(40), Noise(60)};
    {
        std::ofstream raw(folder / "samples.raw", std::ios::binary);
        for (const Block& b : blocks)
            raw.write(reinterpret_cast<const char*>(b.data()), static_cast<long>(b.size()));
    }
    {
        std::ofstream conf(folder / "asound.conf");
        conf << "pcm." << kDevice << " {\n  type file\n  slave { pcm { type null } }\n"
             << "  file \"/dev/null\"\n  infile \"" << (folder / "samples.raw").string()
             << "\"\n  format \"raw\"\n}\n";
    }
    // Only this configuration: no sound card, no user settings.
    ::setenv("ALSA_CONFIG_PATH", (folder / "asound.conf").c_str(), 1);

    auto probe = MakeAlsaCapture(kDevice);
    WaveFormat format;
    if (const int result = probe->Open(format); result != 0) {
        GTEST_SKIP() << "ALSA's file plugin cannot be opened here (result " << result
                     << "): the capture path cannot be tried without a sound card";
    }
    probe->Close();
    probe.reset();

    SetCaptureSourceFactory([] { return MakeAlsaCapture(kDevice); });
    LevelRecorder recorder;
    ASSERT_TRUE(recorder.Open());
    ASSERT_TRUE(recorder.Start());
    for (int i = 0; i < 1000 && recorder.Levels().size() < blocks.size(); ++i)
        std::this_thread::sleep_for(10ms);
    EXPECT_TRUE(recorder.Close(150));
    SetCaptureSourceFactory(nullptr);
    ::unsetenv("ALSA_CONFIG_PATH");

    const std::vector<std::optional<int>> levels = recorder.Levels();
    ASSERT_GE(levels.size(), blocks.size());
    for (std::size_t i = 0; i < blocks.size(); ++i)
        EXPECT_EQ(levels[i], ReferenceLevel(blocks[i], 100, true)) << "block " << i;
    EXPECT_EQ(levels[1], std::optional<int>(996));
}

}  // namespace
}  // namespace recorder::testing
