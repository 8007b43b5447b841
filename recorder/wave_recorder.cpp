#include "recorder/wave_recorder.h"

#include <span>

#include "platform/thread_priority.h"

namespace recorder {
namespace {

using std::chrono::steady_clock;

constexpr int kReadStepMs = 100;  // the stop flag is seen within one step

bool DeviceAbsent(int result) {
    return result == mm::kNoDriver || result == mm::kBadDeviceId;
}

}  // namespace

CWaveRecorder::~CWaveRecorder() {
    // A thread still running here is given the time it needs to see the
    // stop flag: it is never left running on a destroyed object.
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    if (source_ != nullptr) source_->Close();
}

bool CWaveRecorder::Open() {
    if (IsOpen() || thread_.joinable()) return false;
    stop_ = false;
    auto source = MakeCaptureSource();
    const int result = source->Open(Format());
    if (result != 0) {
        // No sound device means silence, not an error to show.
        const bool quiet = Quiet();
        if (DeviceAbsent(result)) SetQuiet(true);
        ReportError(result);
        SetQuiet(quiet);
        AppendStep(" InOpen");
        return false;
    }
    source_ = std::move(source);
    lastStart_ = steady_clock::now().time_since_epoch().count();
    exitCode_ = 0;
    running_ = true;
    thread_ = std::thread(&CWaveRecorder::CaptureThread, this);
    return true;
}

bool CWaveRecorder::Start() {
    if (!IsOpen() || stop_.load()) return false;
    if (const int result = source_->Start(); result != 0) {
        ReportError(result);
        AppendStep(" InStart");
        return false;
    }
    Requeue();
    return true;
}

void CWaveRecorder::Requeue() {
    lastStart_ = steady_clock::now().time_since_epoch().count();
}

void CWaveRecorder::Stop() {
    stop_ = true;
}

bool CWaveRecorder::Close(std::uint32_t timeoutMs) {
    stop_ = true;
    const auto deadline = steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (running_.load() && steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    if (running_.load()) return false;
    if (thread_.joinable()) thread_.join();
    if (source_ != nullptr) {
        source_->Close();
        source_.reset();
    }
    return true;
}

bool CWaveRecorder::FillBlock() {
    std::size_t filled = 0;
    std::optional<steady_clock::time_point> told;
    while (!stop_.load()) {
        const int got = source_->Read(std::span(buffer_).subspan(filled), kReadStepMs);
        if (stop_.load()) return false;
        if (got < 0) std::this_thread::sleep_for(std::chrono::milliseconds(kReadStepMs));
        if (got > 0) filled += static_cast<std::size_t>(got);
        if (filled >= buffer_.size()) {
            bytesRecorded_ = filled;
            return true;
        }
        const auto now = steady_clock::now();
        const steady_clock::time_point started{steady_clock::duration(lastStart_.load())};
        if (!told && now - started > watchdog_.notify) {
            OnCaptureStalled();
            told = now;
        } else if (told && now - *told > watchdog_.giveUp) {
            exitCode_ = kCaptureGaveUp;
            return false;
        }
    }
    return false;
}

void CWaveRecorder::CaptureThread() {
    platform::LowerThisThreadPriority(1);
    while (!buffer_.empty() && FillBlock())
        OnWaveData();
    if (exitCode_.load() == 0) exitCode_ = kCaptureStopped;
    running_ = false;
}

}  // namespace recorder
