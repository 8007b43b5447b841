#include "recorder/flight_log_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <mutex>
#include <string_view>
#include <thread>

#include "gps/flight_log_records.h"
#include "platform/message_box.h"
#include "platform/numbers.h"
#include "platform/settings_store.h"
#include "platform/sys_error.h"
#include "platform/unique_fd.h"
#include "recorder/engine_noise_sensor.h"
#include "recorder/igc_header.h"
#include "recorder/igc_records.h"
#include "recorder/log_file_name.h"
#include "recorder/settings_values.h"
#include "resources/ids/strings.h"
#include "resources/ids/strings_recorder.h"
#include "services/flarm_library.h"
#include "services/flight_log.h"
#include "services/module_services.h"
#include "services/string_resources.h"

namespace recorder {
namespace {

constexpr char kLogging[] = "Options\\Logging";
constexpr char kIgcHeaders[] = "IGCHeaders";
using ids::kIdsFileCannotBeOpened;
using ids::kIdsCreateFailedCaption;
using ids::kIdsExistingLogCaption;
using ids::kIdsExistingLog;
using ids::kIdsSystemErrorCaption;
using ids::kIdsCloseOpenLog;
using ids::kIdsDiskSpaceCaption;
using ids::kIdsDiskSpace;

constexpr int kFormatText = 0;
constexpr int kFormatIgc = 1;
constexpr int kLogDataOnAltitude = 4;
// A failed write of the closing records is tried again this long, so that
// closing the program still ends within a few seconds.
constexpr auto kClosingRecordsRetryTime = std::chrono::milliseconds(2000);
constexpr auto kClosingRecordsRetryInterval = std::chrono::milliseconds(100);

constexpr char kTextLogHeader[] = "KOR_VAN WinCE log data\r\n";
constexpr char kTextLogColumns[] =
    "Type, Time [hrs], Latitude [deg], Longitude [deg], Altitude [ft], Press.Alt.[ft], Speed "
    "[kts], Track true [deg], Track mag. [deg], Compass hdg, TAS [kts], wind[kts], windDir\r\n";
constexpr char kTextLogUtmColumns[] =
    "Type, Time [hrs], Northing, Zone, Easting, Altitude [ft], Press.Alt.[ft], Speed [kts], "
    "Track true [deg], Track mag. [deg], Compass hdg, TAS [kts], wind[kts], windDir\r\n";

std::mutex g_hooksMutex;
LogSaveDialog g_saveDialog;
MapPaintModeHook g_paintModeHook;

void SetMapPaintMode(int mode) {
    MapPaintModeHook hook;
    {
        const std::lock_guard lock(g_hooksMutex);
        hook = g_paintModeHook;
    }
    if (hook) hook(mode);
}

std::optional<LogSaveAnswer> AskForFile(const LogSaveRequest& request) {
    LogSaveDialog dialog;
    {
        const std::lock_guard lock(g_hooksMutex);
        dialog = g_saveDialog;
    }
    return dialog ? dialog(request) : std::nullopt;
}

// Sets the map's paint mode back and asks for a redraw on every return.
class PaintModeScope {
  public:
    explicit PaintModeScope(int restore) : restore_(restore) { SetMapPaintMode(1); }
    ~PaintModeScope() { SetMapPaintMode(restore_); }
    PaintModeScope(const PaintModeScope&) = delete;
    PaintModeScope& operator=(const PaintModeScope&) = delete;

  private:
    int restore_;
};

int Box(unsigned text, std::wstring_view caption, unsigned style) {
    return platform::ShowMessageBox(nullptr, core::LoadResourceString(text), caption,
                                    style | platform::mb::kTopmost);
}

std::filesystem::path LogFolder() {
    return platform::AppSettings().GetString(kLogging, "Directory",
                                             std::wstring_view(core::g_documentsFolder));
}

std::wstring ProposedName(int format) {
    const platform::SystemTime local = platform::ToSystemTimeLocal(core::LogNow());
    const std::string prefix = format == kFormatIgc ? IgcLogNamePrefix(local, g_strLoggerId.Get())
                                                    : TextLogNamePrefix(local);
    const std::string name = ProposeLogName(LogFolder(), prefix);
    return {name.begin(), name.end()};
}

// Free bytes for the user on the folder's volume, in KB; nothing when the
// volume cannot be asked.
std::optional<unsigned long long> FreeKilobytes(const std::filesystem::path& folder) {
    struct statvfs volume {};
    if (::statvfs(folder.c_str(), &volume) != 0) return std::nullopt;
    return static_cast<unsigned long long>(volume.f_bavail) * volume.f_frsize / 1024;
}

void WarnAboutFreeSpace(const std::filesystem::path& folder) {
    const int threshold = g_diskWarning.load();
    const std::optional<unsigned long long> free = FreeKilobytes(folder);
    if (!free || threshold <= 0 || static_cast<unsigned long long>(threshold) <= *free) return;
    std::wstring text = core::LoadResourceString(kIdsDiskSpace);
    if (const std::size_t at = text.find(L"%d"); at != std::wstring::npos)
        text.replace(at, 2, std::to_wstring(threshold));
    platform::ShowMessageBox(nullptr, text, core::LoadResourceString(kIdsDiskSpaceCaption),
                             platform::mb::kIconInformation | platform::mb::kTopmost);
}

IgcHeaderValues ReadIgcHeaderValues() {
    const platform::SettingsStore& settings = platform::AppSettings();
    const auto text = [&settings](const char* name) {
        return settings.GetString(kIgcHeaders, name, std::wstring_view(L"UNKNOWN"));
    };
    IgcHeaderValues values;
    values.fxa = static_cast<int>(settings.GetInt(kIgcHeaders, "FXA", 10));
    values.pilot = text("PLT");
    values.gliderType = text("GTY");
    values.gliderId = text("GID");
    values.datumValue = static_cast<int>(settings.GetInt(kIgcHeaders, "DTMval", 100));
    values.datumName = settings.GetString(kIgcHeaders, "DTMstr", std::wstring_view(L"WGS-84"));
    values.programVersion = core::GetProgramVersionText();
    values.gpsText = text("FTY");
    values.pressureSensor = text("PRS");
    return values;
}

// The A and date lines; with the H block, the I record and the program's
// L records unless a declaration writes them. Under LogFileLock.
void WriteIgcHeader(int declarationMode) {
    const std::string aRecord = IgcARecord(g_strLoggerId.Get());
    core::StartIgcSecurity();
    core::WriteLogLine(aRecord);
    const off_t offset = ::lseek(core::g_hFlightLog.Fd(), 0, SEEK_CUR);
    core::g_dateHeaderOffset = offset;
    // The receiver's date when it has one; it replaces the local one with
    // the first logged fix in any case.
    if (const std::uint32_t gps = gps::g_loggedGpsDate.load(); gps != 0) {
        core::WriteLogLine(IgcDateHeader(static_cast<int>(gps & 0xFF),
                                         static_cast<int>((gps >> 8) & 0xFF),
                                         static_cast<int>(gps >> 16)));
    } else {
        const platform::SystemTime local = platform::ToSystemTimeLocal(core::LogNow());
        core::WriteLogLine(IgcDateHeader(local.day, local.month, local.year));
    }
    if (declarationMode != 0) return;
    WriteIgcHeaderRecords();
    core::WriteLogLine(IgcIRecord(g_bEnlOn.load()));
    if (g_bEnlOn.load()) {
        core::WriteLogLine(platform::FormatC("LXKV ENL FT-%d P-%d\r\n", g_enlSettleValue.load(),
                                             g_enlTwoStage.load()));
    }
    if (FlarmClimbDisplay() != 0) core::WriteLogLine("LXKV FLARM CLIMB RATE DISPLAY ENABLED\r\n");
}

void WriteTextLogHeader() {
    core::WriteLogLine(kTextLogHeader);
    core::WriteLogLine(core::g_useUtm.load() != 0 ? kTextLogUtmColumns : kTextLogColumns);
}

// The format the dialog's filter chose: text logs, IGC logs, or as before.
int FormatOfFilter(int filterIndex) {
    if (filterIndex == 1) return kFormatText;
    if (filterIndex == 2) return kFormatIgc;
    return core::g_logFormat.load();
}

void TakeFormatFromFilter(int filterIndex) {
    core::g_logFormat = FormatOfFilter(filterIndex);
    platform::AppSettings().WriteInt(kLogging, "LogFormat",
                                     static_cast<std::uint32_t>(core::g_logFormat.load()));
}

// The pilot's answer to an existing file: empty it (yes) or append (no).
void AskAboutExistingContent(int fd) {
    struct stat status {};
    if (::fstat(fd, &status) != 0 || status.st_size == 0) return;
    const int answer = Box(kIdsExistingLog, core::LoadResourceString(kIdsExistingLogCaption),
                           platform::mb::kYesNo | platform::mb::kIconQuestion);
    // A failed truncation leaves the old content: the log then appends.
    if (answer == platform::kIdYes) (void)::ftruncate(fd, 0);
}

}  // namespace

void SetLogSaveDialog(LogSaveDialog dialog) {
    const std::lock_guard lock(g_hooksMutex);
    g_saveDialog = std::move(dialog);
}

bool MapPaintModeHookInstalled() {
    const std::lock_guard lock(g_hooksMutex);
    return static_cast<bool>(g_paintModeHook);
}

void SetMapPaintModeHook(MapPaintModeHook hook) {
    const std::lock_guard lock(g_hooksMutex);
    g_paintModeHook = std::move(hook);
}

LogStart StartFlightLog(int restoreMapFlag, int declarationMode) {
    const PaintModeScope paintMode(restoreMapFlag);
    const int format = core::g_logFormat.load();
    const std::wstring name = ProposedName(format);
    g_strLogName.Set(name);
    g_strLogPath.Set((LogFolder() / name).wstring());

    const std::wstring extension = format == kFormatIgc ? L"igc" : L"gps";
    const std::wstring offered = name + L"." + extension;
    const std::optional<LogSaveAnswer> answer =
        AskForFile({L"GPS Data log", LogFolder(), offered, extension, format + 1});
    if (!answer) {
        if (core::g_hFlightLog.IsOpen() &&
            platform::ShowMessageBox(
                nullptr, core::LoadResourceString(kIdsCloseOpenLog), L"KOR_VAN Win32",
                platform::mb::kYesNo | platform::mb::kIconQuestion | platform::mb::kTopmost) ==
                platform::kIdYes) {
            CloseFlightLog();
        }
        return LogStart::kCancelled;
    }
    CloseFlightLog();
    const bool igc = FormatOfFilter(answer->filterIndex) == kFormatIgc;
    const std::filesystem::path path = LogPathForFormat(answer->path, offered, igc);
    g_strLogPath.Set(path.wstring());
    const std::filesystem::path folder = path.parent_path();
    platform::AppSettings().WriteString(kLogging, "Directory", (folder / "").wstring());

    platform::UniqueFd fd(::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644));
    if (!fd.Valid()) {
        Box(kIdsFileCannotBeOpened, core::LoadResourceString(kIdsCreateFailedCaption),
            platform::mb::kIconHand);
        return LogStart::kNotCreated;
    }
    WarnAboutFreeSpace(folder);
    AskAboutExistingContent(fd.Get());
    ::lseek(fd.Get(), 0, SEEK_END);
    {
        const platform::CriticalSectionLock lock(core::LogFileLock);
        TakeFormatFromFilter(answer->filterIndex);
        core::ClearSerialErrorCounts();
        core::g_dateHeaderOffset = -1;
        core::g_hFlightLog.Attach(std::move(fd));
        if (core::g_logFormat.load() == kFormatIgc) {
            if (core::g_logDataOn.load() != kLogDataOnAltitude) core::g_logDataOn = 1;
            platform::AppSettings().WriteInt(kLogging, "LogDataOn",
                                             static_cast<std::uint32_t>(core::g_logDataOn.load()));
            WriteIgcHeader(declarationMode);
            // The first logged fix is preceded by the satellites in use.
            gps::g_bSatellitesForNewLog = true;
        } else {
            WriteTextLogHeader();
        }
    }
    if (declarationMode == 0 && core::g_logInterval.load() == 0) core::g_logInterval = 2;
    return LogStart::kOpened;
}

void WriteIgcHeaderRecords() {
    const platform::CriticalSectionLock lock(core::LogFileLock);
    if (!core::g_hFlightLog.IsOpen() || core::g_logFormat.load() != kFormatIgc) return;
    const IgcHeaderValues values = ReadIgcHeaderValues();
    core::g_fxa = std::max(1.0F, static_cast<float>(values.fxa));
    for (const std::string& line : IgcHeaderBlock(values))
        core::WriteLogLine(line);
}

int WriteIgcSecurityRecords() {
    const platform::CriticalSectionLock lock(core::LogFileLock);
    std::string records = platform::FormatC("LXKV KOR_VAN WinCE %s\r\n",
                                            IgcValue(core::GetProgramVersionText()).c_str());
    core::g_igcDigest.Fold(records);
    for (const std::string& line : IgcSecurityLines(core::g_igcDigest))
        records += line;
    // Written whole or not at all. Without them the flight cannot be
    // verified, so a full disk that gets space again meanwhile is tried
    // again for a while; the port reader waits for the lock, so no fix can
    // come between.
    int error = core::AppendToLog(records);
    const auto end = std::chrono::steady_clock::now() + kClosingRecordsRetryTime;
    while (error != 0 && error != EBADF && std::chrono::steady_clock::now() < end) {
        std::this_thread::sleep_for(kClosingRecordsRetryInterval);
        error = core::AppendToLog(records);
    }
    return error;
}

void CloseFlightLog() {
    int error = 0;
    {
        const platform::CriticalSectionLock lock(core::LogFileLock);
        if (!core::g_hFlightLog.IsOpen()) return;
        gps::WriteHeldFixLine();
        if (core::g_logFormat.load() == kFormatIgc) error = WriteIgcSecurityRecords();
        ::fdatasync(core::g_hFlightLog.Fd());
        core::g_hFlightLog.Close();
        core::g_dateHeaderOffset = -1;
    }
    if (error != 0) {
        platform::ShowMessageBox(nullptr, platform::SystemErrorText(error),
                                 core::LoadResourceString(kIdsSystemErrorCaption),
                                 platform::mb::kIconHand | platform::mb::kTopmost);
    }
}

}  // namespace recorder
