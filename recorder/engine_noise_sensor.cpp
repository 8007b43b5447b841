#include "recorder/engine_noise_sensor.h"

#include <span>
#include <string_view>

#include "platform/ui_post.h"
#include "platform/window_messages.h"
#include "recorder/settings_values.h"
#include "services/flight_log.h"

namespace recorder {
namespace {

constexpr std::uint32_t kRate = 8000;
constexpr std::uint32_t kBlockMs = 2000;
constexpr std::size_t kSettingsBytes = 120;
constexpr std::uint32_t kRestartCloseMs = 150;

}  // namespace

CEngineNoiseSensor g_engineNoiseSensor;

CEngineNoiseSensor::CEngineNoiseSensor() : k_(EnlFilterCoefficient(kRate, settings_.settle)) {
    SetFormat(kRate, 8, 1);
}

CEngineNoiseSensor::~CEngineNoiseSensor() {
    // The capture thread calls into this object: it must have ended before
    // the object goes. It sees the stop flag within one read step.
    while (!Close(kRestartCloseMs)) {
    }
}

bool CEngineNoiseSensor::Start(void* notifyWindow, std::FILE* settingsFile) {
    if (IsOpen()) Close(kRestartCloseMs);
    SetQuiet(false);
    notify_ = notifyWindow;
    SetFormat(kRate, 8, 1);
    if (!AllocateBuffer(kBlockMs)) {
        ReportError(mm::kNoMemory);
        SetQuiet(true);
        return false;
    }
    if (settingsFile != nullptr) {
        char text[kSettingsBytes];
        const std::size_t got = std::fread(text, 1, sizeof text, settingsFile);
        settings_ = ParseEnlSettings(std::string_view(text, got), settings_);
    }
    k_ = EnlFilterCoefficient(kRate, settings_.settle);
    g_enlSettleValue = settings_.settle;
    g_enlTwoStage = settings_.twoStage;
    bool capturing = Open();
    if (capturing && !CWaveRecorder::Start()) {
        Close(kRestartCloseMs);
        capturing = false;
    }
    SetQuiet(true);
    if (capturing) {
        const platform::CriticalSectionLock lock(core::g_enlValue.lock);
        core::g_enlValue.running = true;
    }
    return capturing;
}

void CEngineNoiseSensor::Restart() {
    if (restartCount_ >= settings_.restartLimit) return;
    // A thread that did not end in time keeps the device; the next stall
    // tries again.
    if (!Close(kRestartCloseMs)) return;
    if (Open()) CWaveRecorder::Start();
    ++restartCount_;
}

void CEngineNoiseSensor::OnWaveData() {
    if (Stopping()) return;
    const std::optional<std::uint16_t> level =
        EnlBlockLevel(std::span(buffer_.data(), bytesRecorded_), static_cast<int>(kRate),
                      settings_.settle, settings_.twoStage != 0, k_);
    if (discard_.load() < 0) {
        ++discard_;
        Requeue();
        return;
    }
    // A block too short to measure keeps the last level: reporting the
    // maximum would read as an engine running.
    if (level) {
        const platform::CriticalSectionLock lock(core::g_enlValue.lock);
        core::g_enlValue.value = *level;
    }
    Requeue();
}

void CEngineNoiseSensor::OnCaptureStalled() {
    if (notify_ == nullptr || stallPosted_.exchange(true)) return;
    platform::PostWindowMessage(platform::kMainFrameWindow, platform::MM_WIM_DATA, 0,
                                reinterpret_cast<std::intptr_t>(this));
}

bool StartEngineNoiseSensor(void* notifyWindow, std::FILE* settingsFile) {
    return g_engineNoiseSensor.Start(notifyWindow, settingsFile);
}

void OnEngineNoiseStall(std::uintptr_t wParam, std::intptr_t lParam) {
    if (wParam != 0 || lParam == 0 || !g_bEnlOn.load()) return;
    // The sensor posts its own address; it lives as long as the program.
    auto* sensor = reinterpret_cast<CEngineNoiseSensor*>(lParam);
    {
        const platform::CriticalSectionLock lock(core::LogFileLock);
        if (core::g_hFlightLog.IsOpen()) core::WriteLogLine("LXKV ENL SENSOR RESET\r\n");
    }
    sensor->Restart();
    sensor->StallHandled();
}

}  // namespace recorder
