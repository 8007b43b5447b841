#include "gps/port_reader.h"

#include <cerrno>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>

#include "core/settings_values.h"
#include "gps/gps_port.h"
#include "gps/nmea_parse.h"
#include "gps/port_auto_baud.h"
#include "gps/port_dialog_feed.h"
#include "gps/port_events.h"
#include "gps/raw_capture.h"
#include "gps/settings_values.h"
#include "platform/thread_priority.h"
#include "platform/ui_post.h"
#include "services/message_services.h"

namespace gps {
namespace {

// "NMEA_code" of binary-frame instruments.
constexpr int kBinaryFrameCode = 3;
// Communication errors of this class and above purge the port's queues.
constexpr int kFirstPurgedErrorClass = 2;
// The reader runs two priority steps above normal (of 5 nice levels each).
constexpr int kReaderRaisedNice = 10;

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
    // A reader asleep waiting for events is woken for the stop.
    const std::stop_callback wakeForStop(stop, [this] { wake_->Signal(); });
    // Without the right to raise it, it runs as it is, and nobody is told.
    platform::RaiseThisThreadPriority(kReaderRaisedNice);
    SetUpReadTimeouts();
    OpenRawDataLog();
    modemLines_.Start(ReadModemLines(), MillisecondsInMinute());
    while (!stop.stop_requested()) {
        if (lost_) {
            RetryLostPort();
            continue;
        }
        const std::optional<PortWork> work = WaitForWork(stop);
        if (!work || stop.stop_requested()) continue;  // stopped, or the port was lost
        if (TakeBaudStepRequest()) StepBaudRate();
        if (work->status.errors != 0 && core::g_lookAtComErrors.load() != 0 &&
            HandleErrors(work->status.errors)) {
            continue;
        }
        if (work->lines) modemLines_.Look(ReadModemLines(), MillisecondsInMinute(), services_);
        if (work->data) ReadData();
    }
}

void PortReader::SetUpReadTimeouts() {
    using Step = platform::ReadTimeoutsResult::Step;
    const platform::ReadTimeoutsResult result =
        OnPort([](platform::SerialDevice& port) {
            return port.SetReadTimeouts();
        }).value_or(platform::ReadTimeoutsResult{});
    if (result.failed == Step::kNone) return;
    errno = result.error;
    // Not waited for: a box from this thread only queues it for the UI.
    core::ShowLastErrorBox(result.failed == Step::kGet ? L"GetCommTimeoutsError"
                                                       : L"SetCommTimeoutsError");
}

std::shared_ptr<platform::SerialDevice> PortReader::OpenDevice() {
    const platform::CriticalSectionLock lock(GpsPortLock);
    std::shared_ptr<platform::SerialDevice> device = device_.lock();
    if (device != GpsPortDevice()) device.reset();
    return device;
}

bool PortReader::Pause() {
    const std::shared_ptr<platform::SerialDevice> device = OpenDevice();
    // The wait runs outside the lock; the device stays open while it does.
    if (!device) {
        std::this_thread::sleep_for(kReaderPollInterval);
        return false;
    }
    if (device->WaitForData(kReaderPollInterval) != platform::DataWait::kHangUp) return false;
    MarkLost(device);
    return true;
}

void PortReader::MarkLost(const std::shared_ptr<platform::SerialDevice>& device) {
    MarkGpsPortLost(device);
    lost_ = true;
    nextReopen_ = std::chrono::steady_clock::now() + kLostPortRetryInterval;
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

std::optional<PortReader::PortWork> PortReader::WaitForWork(const std::stop_token& stop) {
    // Without a wake event nobody could end an event wait: it polls then.
    if (GpsPortPolling() || !wake_->Valid()) return PollForWork(stop);
    return WaitForEvents(stop);
}

std::optional<PortReader::PortWork> PortReader::PollForWork(const std::stop_token& stop) {
    PortWork work;
    do {
        if (Pause()) return std::nullopt;
        if (stop.stop_requested()) return std::nullopt;
        work.status = OnPort([](platform::SerialDevice& port) {
                          return port.TakeStatus();
                      }).value_or(platform::PortStatus{});
        if (work.status.queued > 0 || work.status.errors != 0) return work;
    } while (!BaudStepRequested() && GpsPortPolling());
    return work;
}

std::optional<PortReader::PortWork> PortReader::WaitForEvents(const std::stop_token& stop) {
    const std::shared_ptr<platform::SerialDevice> device = OpenDevice();
    if (!device) {  // closed under the reader, which is about to be stopped
        std::this_thread::sleep_for(kReaderPollInterval);
        return PortWork{{}, false, false};
    }
    const bool lineEvents = (GpsPortEventMask() & comm_event::kModemLines) != 0;
    const unsigned events = device->WaitForEvents(*wake_, lineEvents);
    if ((events & platform::port_event::kHangUp) != 0) {
        MarkLost(device);
        return std::nullopt;
    }
    if (stop.stop_requested()) return std::nullopt;
    PortWork work{{},
                  lineEvents && (events & platform::port_event::kLines) != 0,
                  (events & platform::port_event::kData) != 0};
    // The driver's error counters wake nobody; they are looked at with every
    // event of the port.
    if (work.lines || work.data) {
        work.status = OnPort([](platform::SerialDevice& port) {
                          return port.TakeStatus();
                      }).value_or(platform::PortStatus{});
    }
    return work;
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
