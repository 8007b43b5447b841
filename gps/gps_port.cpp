#include "gps/gps_port.h"

#include <atomic>
#include <cerrno>
#include <mutex>
#include <utility>

#include "gps/port_auto_baud.h"
#include "gps/port_dialog_feed.h"
#include "gps/port_events.h"
#include "gps/port_properties.h"
#include "gps/port_reader.h"
#include "gps/port_services.h"
#include "gps/settings_values.h"
#include "platform/gpsd_source.h"
#include "platform/message_box.h"
#include "platform/sys_error.h"
#include "platform/ui_post.h"
#include "platform/worker_thread.h"
#include "resources/ids/strings_files.h"
#include "resources/ids/strings_gps_port.h"
#include "services/message_services.h"
#include "services/string_resources.h"

namespace gps {
namespace {

using platform::SerialPort;

// The failed-open message: its text and caption.
using ids::kIdsPortOpenFailed;
using ids::kIdsPortOpenFailedCaption;

// Under GpsPortLock.
std::shared_ptr<platform::SerialDevice> g_device;
std::wstring g_portName;
std::wstring g_baudText = L"4800";

std::atomic<bool> g_dataSeen{false};
std::atomic<GpsLink> g_link{GpsLink::kUp};

// The link strings of the resource bundle.
using ids::kIdsGpsLost;
using ids::kIdsGpsBack;

// Opening and closing are serialised; the reader and the opener belong to
// them. Re-entrant: a message loop run during an open may close the port.
std::recursive_mutex g_openCloseMutex;
GpsDeviceOpener g_opener;
// Declared last: at exit it goes (stopping a reader still running) before
// the state above.
platform::WorkerThread g_reader;

void ShowPortOpenFailed(std::wstring_view detail) {
    std::wstring text = core::LoadResourceString(kIdsPortOpenFailed);
    if (!detail.empty()) text.append(L"\r\n").append(detail);
    platform::ShowMessageBox(nullptr, text, core::LoadResourceString(kIdsPortOpenFailedCaption),
                             platform::mb::kIconHand | platform::mb::kTopmost);
}

void ReportOpenFailure(const GpsDeviceOpenResult& result) {
    switch (result.failedStep) {
        case SerialPort::OpenStep::kOpen:
            ShowPortOpenFailed(platform::SystemErrorText(result.error));
            return;
        case SerialPort::OpenStep::kGetState:
        case SerialPort::OpenStep::kSetState:
            errno = result.error;
            core::ShowLastErrorBox(result.failedStep == SerialPort::OpenStep::kGetState
                                       ? L"GetCommStateError"
                                       : L"SetCommStateError");
            ShowPortOpenFailed({});
            return;
    }
}

void ReportPropertiesFailure(int error, std::wstring_view caption) {
    errno = error;
    core::ShowLastErrorBox(caption);
    ShowPortOpenFailed({});
}

// Changes the link; the main window tells the pilot of a lost or returned
// port, once per change, and the port dialog, when open, shows the state.
void SetGpsLink(GpsLink link) {
    if (g_link.exchange(link) == link) return;
    if (link != GpsLink::kUp) {
        platform::PostWindowMessage(platform::kMainFrameWindow, platform::WM_APP_GPSLINK, 0,
                                    link == GpsLink::kLost ? 1 : 2);
    }
    bool tellDialog = false;
    std::uint32_t rate = 0;
    {
        const platform::CriticalSectionLock lock(GpsPortLock);
        tellDialog = GpsPortDialogOpen();
        rate = g_baudRate.load();
    }
    if (tellDialog) {
        platform::PostWindowMessage(platform::kGpsPortDialogWindow, platform::WM_APP_PORTSTATUS, 0,
                                    static_cast<std::intptr_t>(rate));
    }
}

// The sensor box is powered through DTR and RTS and wants them low.
void ApplyModemLineRule(platform::SerialDevice& device, PortReaderServices& services) {
    const bool linesOn = !services.SensorBoxLoaded();
    device.SetDtr(linesOn);
    device.SetRts(linesOn);
}

GpsDeviceOpenResult OpenByName(const std::wstring& portName) {
    return (g_opener ? g_opener : OpenGpsDevice)(platform::MapPortName(portName),
                                                  g_baudRate.load());
}

void CloseLocked() {
    // The stop wakes a reader asleep in its wait; the limit runs on the
    // steady clock, so a clock set meanwhile neither cuts it short nor
    // stretches it.
    g_reader.Stop(kReaderStopLimitMs);
    SetGpsReaderWake(nullptr);
    g_link = GpsLink::kUp;
    const platform::CriticalSectionLock lock(GpsPortLock);
    if (g_device) {
        g_device->SetDtr(false);
        g_device->SetRts(false);
    }
    // A reader that overran its limit may still hold the device for one
    // wait; the descriptor closes when it lets go.
    g_device.reset();
    g_dataSeen = false;
}

void StartReader(std::shared_ptr<platform::SerialDevice> device, const std::wstring& portName) {
    PortReaderServices& services = CurrentPortReaderServices();
    SetGpsPortEventMask();
    ApplyModemLineRule(*device, services);
    {
        const platform::CriticalSectionLock lock(GpsPortLock);
        g_device = device;
        g_portName = portName;
    }
    services.SetLoggerToNmeaMode();
    // Every reader starts polling; only clearing the polling flag later
    // makes it wait for events.
    g_noEventsRS232 = 1;
    SetGpsPortPolling(true);
    // A receiver that sends nothing usable starts the baud search 4.5 s on.
    ArmAutoBaud();
    auto reader = std::make_shared<PortReader>(device, CurrentGpsInputHandlers(), services);
    SetGpsReaderWake(reader->Wake());
    g_reader.Start([reader](std::stop_token stop) { reader->CommThreadProc(stop); });
}

}  // namespace

GpsDeviceOpenResult OpenGpsDevice(const platform::PortTarget& target, std::uint32_t baudRate) {
    if (target.kind == platform::PortTarget::Kind::kGpsd) {
        std::unique_ptr<platform::SerialDevice> source = platform::GpsdSource::Connect();
        const int error = source ? 0 : ECONNREFUSED;
        return {std::move(source), SerialPort::OpenStep::kOpen, error};
    }
    SerialPort::OpenResult opened = SerialPort::Open(target.device, baudRate);
    return {std::move(opened.port), opened.failedStep, opened.error};
}

void SetGpsDeviceOpener(GpsDeviceOpener opener) {
    const std::lock_guard serial(g_openCloseMutex);
    g_opener = std::move(opener);
}

bool OpenGpsPort(std::wstring_view name) {
    std::unique_lock serial(g_openCloseMutex);
    CloseLocked();
    const std::wstring portName(name.empty() ? kDefaultGpsPortName : name);
    const platform::PortTarget target = platform::MapPortName(portName);
    GpsDeviceOpenResult opened = OpenByName(portName);
    if (!opened.device) {
        serial.unlock();  // a box may run a message loop
        if (target.kind != platform::PortTarget::Kind::kGpsd) ReportOpenFailure(opened);
        return false;
    }
    using Failed = PortPropertiesOutcome::Failed;
    const PortPropertiesOutcome properties = RecordGpsPortProperties(*opened.device);
    if (properties.failed == Failed::kFirst) {
        opened.device.reset();  // closes the port
        serial.unlock();
        ReportPropertiesFailure(properties.error, L"GetCommPropertiesError");
        return false;
    }
    StartReader(std::move(opened.device), portName);
    serial.unlock();
    // The port is open and stays so.
    if (properties.failed == Failed::kSecond) {
        ReportPropertiesFailure(properties.error, L"GetCommPropError on set");
    }
    return true;
}

int CloseGpsPort() {
    const std::lock_guard serial(g_openCloseMutex);
    CloseLocked();
    return 1;
}

bool SetGpsPortBaud(std::uint32_t rate) {
    bool applied = false;
    std::uint32_t inForce = 0;
    bool tellDialog = false;
    {
        const platform::CriticalSectionLock lock(GpsPortLock);
        applied = g_device && g_device->SetBaudRate(rate) == 0;
        if (applied) {
            g_baudRate = rate;
            g_baudText = std::to_wstring(rate);
        }
        inForce = g_baudRate.load();
        tellDialog = GpsPortDialogOpen();
    }
    if (tellDialog) {
        platform::PostWindowMessage(platform::kGpsPortDialogWindow, platform::WM_APP_PORTSTATUS, 0,
                                    static_cast<std::intptr_t>(inForce));
    }
    return applied;
}

bool WriteToGps(std::span<const std::uint8_t> bytes) {
    int error = 0;
    {
        const platform::CriticalSectionLock lock(GpsPortLock);
        if (!g_device) return false;
        error = g_device->Write(bytes);
    }
    if (error != 0) {
        platform::PostWindowMessage(platform::kMainFrameWindow, platform::WM_APP_LOGWRITEERROR, 0,
                                    error);
    }
    return error == 0;
}

void DrainGpsPort() {
    const platform::CriticalSectionLock lock(GpsPortLock);
    if (g_device) g_device->Drain();
}

bool WriteGpsPortByte(std::uint8_t byte) {
    return WriteToGps(std::span(&byte, 1));
}

bool GpsPortOpen() {
    const platform::CriticalSectionLock lock(GpsPortLock);
    return g_device != nullptr;
}

bool GpsPortDataSeen() {
    return g_dataSeen.load();
}

void MarkGpsDataSeen() {
    g_dataSeen = true;
}

std::wstring GpsPortName() {
    const platform::CriticalSectionLock lock(GpsPortLock);
    return g_portName;
}

std::wstring GpsPortBaudText() {
    const platform::CriticalSectionLock lock(GpsPortLock);
    return g_baudText;
}

void SetGpsPortBaudText(std::wstring_view text) {
    const platform::CriticalSectionLock lock(GpsPortLock);
    g_baudText = text;
}

std::shared_ptr<platform::SerialDevice> GpsPortDevice() {
    const platform::CriticalSectionLock lock(GpsPortLock);
    return g_device;
}

GpsLink CurrentGpsLink() {
    return g_link.load();
}

std::wstring GpsLinkText() {
    switch (g_link.load()) {
        case GpsLink::kUp:
            break;
        case GpsLink::kLost:
            return core::LoadResourceString(kIdsGpsLost);
        case GpsLink::kBack:
            return core::LoadResourceString(kIdsGpsBack);
    }
    return {};
}

void MarkGpsPortLost(const std::shared_ptr<platform::SerialDevice>& lost) {
    {
        const platform::CriticalSectionLock lock(GpsPortLock);
        if (!lost || g_device != lost) return;
    }
    SetGpsLink(GpsLink::kLost);
}

std::shared_ptr<platform::SerialDevice> ReopenLostGpsPort(
    const std::shared_ptr<platform::SerialDevice>& lost) {
    // An open or close in progress decides for itself (and may be waiting
    // for this reader to stop).
    const std::unique_lock serial(g_openCloseMutex, std::try_to_lock);
    if (!serial.owns_lock()) return nullptr;
    std::wstring portName;
    {
        const platform::CriticalSectionLock lock(GpsPortLock);
        if (!lost || g_device != lost) return nullptr;
        portName = g_portName;
    }
    GpsDeviceOpenResult opened = OpenByName(portName);
    if (!opened.device) return nullptr;
    std::shared_ptr<platform::SerialDevice> device = std::move(opened.device);
    ApplyModemLineRule(*device, CurrentPortReaderServices());
    {
        const platform::CriticalSectionLock lock(GpsPortLock);
        g_device = device;
    }
    SetGpsLink(GpsLink::kBack);
    return device;
}

}  // namespace gps
