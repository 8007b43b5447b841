#pragma once
// Sound capture in blocks on a capture thread of its own, with a watchdog
// for a sound card that stops delivering. Open, Start, Stop and Close run
// on the UI thread; the data handler runs on the capture thread.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <thread>

#include "recorder/capture_source.h"
#include "recorder/pcm_buffer.h"

namespace recorder {

// How long the capture thread waits for a block before it tells the
// notification window, and then for a block before it ends.
struct WatchdogTimes {
    std::chrono::milliseconds notify{4000};
    std::chrono::milliseconds giveUp{2000};
};

// The capture thread's exit codes.
inline constexpr int kCaptureStopped = 81;
inline constexpr int kCaptureGaveUp = -81;

class CWaveRecorder : public CPcmBuffer {
  public:
    CWaveRecorder() = default;
    ~CWaveRecorder() override;
    CWaveRecorder(const CWaveRecorder&) = delete;
    CWaveRecorder& operator=(const CWaveRecorder&) = delete;

    // Opens the capture device in the buffer's format and starts the
    // capture thread; false when already open or the device cannot be
    // opened (the error reported with " InOpen").
    bool Open();
    // Starts capturing into the buffer and notes the time.
    bool Start();
    // Stops capturing.
    void Stop();
    // Stops the capture thread, waiting at most timeoutMs for it, then
    // closes the device. False, leaving the device open, when the thread
    // did not end in time.
    bool Close(std::uint32_t timeoutMs);
    bool IsOpen() const { return source_ != nullptr; }

    // The capture thread is running.
    bool CaptureRunning() const { return running_.load(); }
    // How the last capture thread ended (kCaptureStopped, kCaptureGaveUp);
    // 0 while it runs or before the first.
    int CaptureExitCode() const { return exitCode_.load(); }

    void SetWatchdogTimes(WatchdogTimes times) { watchdog_ = times; }

  protected:
    // A block has been filled (bytesRecorded_ of buffer_); capture thread.
    virtual void OnWaveData() = 0;
    // Nothing has come for the watchdog's first time; capture thread.
    virtual void OnCaptureStalled() = 0;
    bool Stopping() const { return stop_.load(); }
    // Notes that the block was handed back for the next one.
    void Requeue();

  private:
    void CaptureThread();
    // Reads until the block is full; false when the thread is to end.
    bool FillBlock();

    std::unique_ptr<CaptureSource> source_;
    std::thread thread_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> running_{false};
    std::atomic<int> exitCode_{0};
    std::atomic<std::chrono::steady_clock::rep> lastStart_{0};
    WatchdogTimes watchdog_;
};

}  // namespace recorder
