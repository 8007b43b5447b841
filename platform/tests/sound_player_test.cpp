#include "platform/sound_player.h"
#include "testing/scratch_folder.h"

#include <gtest/gtest.h>
#include <sndfile.h>
#include <stdlib.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <vector>

namespace {

namespace fs = std::filesystem;
using platform::AlsaSoundPlayer;
using platform::PlayResult;
using Clock = std::chrono::steady_clock;

// Only reached when something waits for a device instead of giving up.
constexpr auto kQuick = std::chrono::seconds(5);

class SoundPlayerTest : public ::testing::Test {
  protected:
    // A mono 16-bit WAV file holding a 440 Hz tone.
    fs::path WriteTone(const std::string& name, int rate, int frames) const {
        const fs::path file = folder_ / name;
        SF_INFO info{};
        info.samplerate = rate;
        info.channels = 1;
        info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
        SNDFILE* sound = sf_open(file.c_str(), SFM_WRITE, &info);
        EXPECT_NE(sound, nullptr) << sf_strerror(nullptr);
        std::vector<short> samples(static_cast<std::size_t>(frames));
        for (std::size_t i = 0; i < samples.size(); ++i)
            samples[i] = static_cast<short>(8000.0 * std::sin(0.0628 * static_cast<double>(i)));
        EXPECT_EQ(sf_writef_short(sound, samples.data(), frames), frames);
        sf_close(sound);
        return file;
    }

    fs::path WriteText(const std::string& name, const std::string& text) const {
        const fs::path file = folder_ / name;
        std::ofstream(file) << text;
        return file;
    }

    const test_support::ScratchFolder scratch_{"kv-sound"};
    const fs::path& folder_ = scratch_.Path();
};

TEST_F(SoundPlayerTest, AGeneratedFilePlaysOnTheNullDevice) {
    const fs::path file = WriteTone("tone.wav", 8000, 1600);
    AlsaSoundPlayer player("null");
    const auto start = Clock::now();
    const PlayResult result = player.PlayFile(file, {});
    if (result == PlayResult::kNoDevice) {
        EXPECT_LT(Clock::now() - start, kQuick);
        GTEST_SKIP() << "ALSA has no usable \"null\" device here";
    }
    EXPECT_EQ(result, PlayResult::kPlayed);
    EXPECT_EQ(player.PlayDefault({}), PlayResult::kPlayed);

    std::stop_source stop;
    stop.request_stop();
    EXPECT_EQ(player.PlayFile(file, stop.get_token()), PlayResult::kStopped);
}

TEST_F(SoundPlayerTest, WithoutADeviceNothingPlaysAndNothingWaits) {
    const fs::path file = WriteTone("tone.wav", 8000, 8000);
    AlsaSoundPlayer player("kv_no_such_device");
    const auto start = Clock::now();
    EXPECT_EQ(player.PlayFile(file, {}), PlayResult::kNoDevice);
    EXPECT_EQ(player.PlayDefault({}), PlayResult::kNoDevice);
    EXPECT_LT(Clock::now() - start, kQuick);
}

TEST_F(SoundPlayerTest, WhatIsNotASoundFileIsRefusedBeforeAnyDeviceIsOpened) {
    const fs::path files[] = {
        folder_ / "missing.wav",
        WriteText("text.wav", "RIFF but not really a sound file\n"),
        WriteText("empty.wav", ""),
        folder_,
    };
    AlsaSoundPlayer player("kv_no_such_device");
    for (const fs::path& file : files) {
        SCOPED_TRACE(file);
        EXPECT_EQ(player.PlayFile(file, {}), PlayResult::kBadFile);
    }
}

class SilentPlayer final : public platform::SoundPlayer {
  public:
    PlayResult PlayFile(const fs::path&, std::stop_token) override { return PlayResult::kPlayed; }
    PlayResult PlayDefault(std::stop_token) override { return PlayResult::kPlayed; }
};

TEST(SoundPlayerSelection, AnInstalledPlayerIsUsedUntilNullRestoresTheSoundCard) {
    const auto silent = std::make_shared<SilentPlayer>();
    EXPECT_EQ(platform::SetSoundPlayer(silent), nullptr);
    EXPECT_EQ(platform::CurrentSoundPlayer(), silent);
    EXPECT_EQ(platform::SetSoundPlayer(nullptr), silent);
    EXPECT_NE(dynamic_cast<AlsaSoundPlayer*>(platform::CurrentSoundPlayer().get()), nullptr);
}

}  // namespace
