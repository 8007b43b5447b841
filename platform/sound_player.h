#pragma once
// Plays sound files and the default sound on the sound card.
//
// A player plays one sound to its end on the calling thread and answers
// what happened; it never shows a message and never waits for a device that
// is busy or absent: without a usable device it answers kNoDevice at once,
// and the program runs on in silence. A stop request ends a sound early.
//
// Which player is in use can be changed (SetSoundPlayer): the program uses
// the ALSA player on the default device, tests install a recording fake.

#include <filesystem>
#include <memory>
#include <stop_token>
#include <string>

namespace platform {

enum class PlayResult {
    kPlayed,    // played to its end
    kStopped,   // ended early by a stop request
    kBadFile,   // the file is missing or not a sound file
    kNoDevice,  // no usable sound device, or it failed while playing
};

class SoundPlayer {
  public:
    virtual ~SoundPlayer() = default;
    // Plays a sound file (WAV and the other formats libsndfile reads).
    virtual PlayResult PlayFile(const std::filesystem::path& file, std::stop_token stop) = 0;
    // Plays the short tone that stands for a sound that cannot be had.
    virtual PlayResult PlayDefault(std::stop_token stop) = 0;
};

// Decodes with libsndfile and plays through an ALSA device.
class AlsaSoundPlayer final : public SoundPlayer {
  public:
    // device: an ALSA device name ("default", "null", "hw:0", ...).
    explicit AlsaSoundPlayer(std::string device = "default");

    PlayResult PlayFile(const std::filesystem::path& file, std::stop_token stop) override;
    PlayResult PlayDefault(std::stop_token stop) override;

  private:
    std::string device_;
};

// Installs the player every later sound goes to and returns the one it
// replaces (null for the ALSA player on the default device, which null
// restores). A sound already playing ends on the player it started on.
std::shared_ptr<SoundPlayer> SetSoundPlayer(std::shared_ptr<SoundPlayer> player);

// The player in use.
std::shared_ptr<SoundPlayer> CurrentSoundPlayer();

}  // namespace platform
