#pragma once
// A block of PCM sound samples with its format, and the sound-card errors
// as the pilot is told them.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace recorder {

// Multimedia results a capture reports; 0 is success.
namespace mm {
inline constexpr int kBadDeviceId = 2;
inline constexpr int kAllocated = 4;
inline constexpr int kNoDriver = 6;
inline constexpr int kNoMemory = 7;
inline constexpr int kNotSupported = 8;
inline constexpr int kBadFormat = 32;
inline constexpr int kStillPlaying = 33;
inline constexpr int kUnprepared = 34;
inline constexpr int kSync = 35;
inline constexpr int kUnspecified = 1;
}  // namespace mm

// The text of a multimedia result; "Unspecified error" for unknown ones.
std::string_view MmErrorText(int code);

struct WaveFormat {
    std::uint16_t formatTag = 1;  // PCM
    std::uint16_t channels = 1;
    std::uint32_t samplesPerSecond = 8000;
    std::uint32_t averageBytesPerSecond = 8000;
    std::uint16_t blockAlign = 1;
    std::uint16_t bitsPerSample = 8;
};

class CPcmBuffer {
  public:
    virtual ~CPcmBuffer() = default;

    void SetFormat(std::uint32_t rate, std::uint16_t bits, std::uint16_t channels);
    // A buffer for ms milliseconds in the format; false when it cannot be
    // had.
    bool AllocateBuffer(std::uint32_t ms);
    // Sets the error text of the result and, unless quiet, shows it in an
    // "MM error" box.
    void ReportError(int code);
    // Appends the failing step (" InOpen", " On Close", ...) to the text.
    void AppendStep(std::string_view step) { errorText_ += step; }

    const WaveFormat& Format() const { return format_; }
    const std::string& ErrorText() const { return errorText_; }
    int LastResult() const { return lastResult_; }
    void SetQuiet(bool quiet) { quiet_ = quiet; }
    bool Quiet() const { return quiet_; }

  protected:
    std::vector<std::uint8_t> buffer_;
    std::size_t bytesRecorded_ = 0;

  private:
    WaveFormat format_;
    std::string errorText_;
    int lastResult_ = 0;
    bool quiet_ = false;
};

}  // namespace recorder
