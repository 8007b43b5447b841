#include "gps/port_reader.h"

#include <mutex>
#include <optional>
#include <thread>
#include <utility>

#include "core/settings_values.h"
#include "gps/gps_port.h"
#include "gps/nmea_parse.h"
#include "gps/port_auto_baud.h"
#include "gps/port_dialog_feed.h"
#include "gps/raw_capture.h"
#include "gps/settings_values.h"
#include "platform/ui_post.h"

namespace gps {
namespace {

// "NMEA_code" of binary-frame instruments.
constexpr int kBinaryFrameCode = 3;
// Communication errors of this class and above purge the port's queues.
constexpr int kFirstPurgedErrorClass = 2;

std::mutex g_handlersMutex;
GpsInputHandlers g_handlers;

}  // namespace

GpsInputHandlers DefaultGpsInputHandlers(std::function<void()> acceptedFix) {
    return {
        [acceptedFix](std::span<char> line) {
            const NmeaLineResult result = HandleNmeaLine(line);
            if (result.accepted && acceptedFix) acceptedFix();
            return result;
        },
        [acceptedFix](const BinaryFrame& frame) {
            if (ParseBinaryFrame(frame) != 0 && acceptedFix) acceptedFix();
        },
    };
}

void SetGpsInputHandlers(GpsInputHandlers handlers) {
    const std::lock_guard lock(g_handlersMutex);
    g_handlers = std::move(handlers);
}

GpsInputHandlers CurrentGpsInputHandlers() {
    const std::lock_guard lock(g_handlersMutex);
    GpsInputHandlers standard = DefaultGpsInputHandlers();
    return {g_handlers.line ? g_handlers.line : standard.line,
            g_handlers.frame ? g_handlers.frame : standard.frame};
}

PortReader::PortReader(std::weak_ptr<platform::SerialDevice> device, GpsInputHandlers handlers,
                       PortReaderServices& services)
    : device_(std::move(device)), handlers_(std::move(handlers)), services_(services) {}

template <typename Call>
auto PortReader::OnPort(Call&& call) {
    using Result = decltype(call(std::declval<platform::SerialDevice&>()));
    const platform::CriticalSectionLock lock(GpsPortLock);
    const std::shared_ptr<platform::SerialDevice> open = GpsPortDevice();
    if (!open || open != device_.lock()) return std::optional<Result>{};
    return std::optional<Result>(call(*open));
}

void PortReader::CommThreadProc(std::stop_token stop) {
    // The reader always polls.
    g_noEventsRS232 = 1;
    OpenRawDataLog();
    modemLines_.Start(ReadModemLines(), MillisecondsInMinute());
    while (!stop.stop_requested()) {
        if (lost_) {
            RetryLostPort();
            continue;
        }
        const std::optional<platform::PortStatus> status = WaitForWork(stop);
        if (!status || stop.stop_requested()) continue;  // stopped, or the port was lost
        if (TakeBaudStepRequest()) StepBaudRate();
        if (status->errors != 0 && core::g_lookAtComErrors.load() != 0 &&
            HandleErrors(status->errors)) {
            continue;
        }
        modemLines_.Look(ReadModemLines(), MillisecondsInMinute(), services_);
        ReadData();
    }
}

bool PortReader::Pause() {
    std::shared_ptr<platform::SerialDevice> device;
    {
        const platform::CriticalSectionLock lock(GpsPortLock);
        device = device_.lock();
        if (device != GpsPortDevice()) device.reset();
    }
    // The wait runs outside the lock; the device stays open while it does.
    if (!device) {
        std::this_thread::sleep_for(kReaderPollInterval);
        return false;
    }
    if (device->WaitForData(kReaderPollInterval) != platform::DataWait::kHangUp) return false;
    MarkGpsPortLost(device);
    return true;
}

void PortReader::RetryLostPort() {
    const auto now = std::chrono::steady_clock::now();
    if (now < nextReopen_) {
        std::this_thread::sleep_for(kReaderPollInterval);
        return;
    }
    nextReopen_ = now + kLostPortRetryInterval;
    std::shared_ptr<platform::SerialDevice> device = ReopenLostGpsPort(device_.lock());
    if (!device) return;
    // A new start: nothing of the lost port's last sentence or frame is kept.
    device_ = device;
    lost_ = false;
    lines_ = LineAssembler{};
    frames_ = BinaryFrameAssembler{};
    modemLines_.Start(ReadModemLines(), MillisecondsInMinute());
}

std::optional<platform::PortStatus> PortReader::WaitForWork(const std::stop_token& stop) {
    platform::PortStatus status;
    do {
        if (Pause()) {
            lost_ = true;
            nextReopen_ = std::chrono::steady_clock::now() + kLostPortRetryInterval;
            return std::nullopt;
        }
        if (stop.stop_requested()) return std::nullopt;
        status = OnPort([](platform::SerialDevice& port) {
                     return port.TakeStatus();
                 }).value_or(platform::PortStatus{});
        if (status.queued > 0 || status.errors != 0) return status;
    } while (!BaudStepRequested());
    return status;
}

void PortReader::StepBaudRate() {
    SetGpsPortBaud(AdvanceAutoBaudRate());
    ArmAutoBaud();
}

bool PortReader::HandleErrors(std::uint32_t errors) {
    const int errorClass = errors_.Record(errors, g_autoBaud.load() != 0, services_);
    if (errorClass < kFirstPurgedErrorClass) return false;
    OnPort([](platform::SerialDevice& port) {
        port.Purge();
        return true;
    });
    return true;
}

std::optional<unsigned> PortReader::ReadModemLines() {
    return OnPort([](platform::SerialDevice& port) { return port.ModemLines(); })
        .value_or(std::nullopt);
}

void PortReader::ReadData() {
    std::size_t count = 0;
    bool tellDialog = false;
    {
        const platform::CriticalSectionLock lock(GpsPortLock);
        count =
            OnPort([this](platform::SerialDevice& port) { return port.Read(chunk_); }).value_or(0);
        tellDialog = count > 0 && FeedGpsPortDialog(std::span(chunk_.data(), count));
    }
    if (tellDialog) {
        platform::PostWindowMessage(platform::kGpsPortDialogWindow, platform::WM_APP_SERIALDATA,
                                    count);
    }
    if (count > 0) HandleBytes(std::span(chunk_.data(), count));
}

void PortReader::HandleBytes(std::span<const std::uint8_t> bytes) {
    MarkGpsDataSeen();
    WriteRawData(bytes);
    if (g_nmeaCode.load() == kBinaryFrameCode) {
        // A frame that checks shows the rate is right, as a sentence does.
        frames_.Push(bytes, [this](const BinaryFrame& frame) {
            ArmAutoBaud();
            handlers_.frame(frame);
        });
        return;
    }
    lines_.Push(bytes, [this](std::span<char> line) {
        if (handlers_.line(line).type != SentenceType::kNone) ArmAutoBaud();
    });
}

}  // namespace gps
