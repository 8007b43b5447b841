#include "recorder/task_declaration.h"

#include <mutex>
#include <string>

#include "core/settings_values.h"
#include "nav/destination_queue.h"
#include "nav/task_model.h"
#include "platform/message_box.h"
#include "platform/numbers.h"
#include "platform/settings_store.h"
#include "recorder/settings_values.h"
#include "resources/ids/strings.h"
#include "resources/ids/strings_recorder.h"
#include "services/flight_log.h"
#include "services/string_resources.h"

namespace recorder {
namespace {

std::mutex g_declarationMutex;
LoggerDeclaration g_loggerDeclaration;

bool IgcLogOpen() {
    return core::g_hFlightLog.IsOpen() && core::g_logFormat.load() == 1;
}

void WriteDeclarationEvent(bool declared) {
    const platform::CriticalSectionLock lock(core::LogFileLock);
    if (!IgcLogOpen()) return;
    const platform::SystemTime utc = platform::ToSystemTimeUtc(core::LogNow());
    core::WriteLogLine(platform::FormatC(
        declared ? "E%02d%02d%02dPEV Declared to FAI logger (SysTime)\r\n"
                 : "E%02d%02d%02dPEV Declaration to FAI logger failed (SysTime)\r\n",
        utc.hour, utc.minute, utc.second));
}

using ids::kIdsErrorCaption;
using ids::kIdsFileTypeCaption;
using ids::kIdsNoLog;
using ids::kIdsTextLog;
using ids::kIdsTaskCaption;
using ids::kIdsTooFew;
using ids::kIdsLoggerWithoutLog;

constexpr std::size_t kMinimumPoints = 4;
constexpr std::size_t kFirstDialogLine = 2;  // GPS and PRS are in the H block

int DeclarationBox(unsigned text, unsigned caption, unsigned style) {
    return platform::ShowMessageBox(nullptr, core::LoadResourceString(text),
                                    caption != 0 ? core::LoadResourceString(caption) : L"",
                                    style | platform::mb::kTopmost);
}

// The task choice until a task of at least 4 points is current; null when
// the pilot cancels.
const nav::CTask* ChooseTask(const DeclarationSteps& steps) {
    for (;;) {
        if (steps.selectTask(1) == 2) return nullptr;
        const nav::CTask* task = steps.currentTask();
        if (task != nullptr && task->points.size() >= kMinimumPoints) return task;
        DeclarationBox(kIdsTooFew, kIdsTaskCaption, platform::mb::kIconExclamation);
    }
}

// The log settings a declaration changes.
struct SavedLogSettings {
    int format = core::g_logFormat.load();
    int interval = core::g_logInterval.load();
    int dataOn = core::g_logDataOn.load();

    void Restore() const {
        core::g_logFormat = format;
        core::g_logInterval = interval;
        core::g_logDataOn = dataOn;
    }
};

enum class DeclarationLog { kOpen, kNone, kAbandoned };

// Opens the declaration's IGC log, asking again while a text log is
// chosen.
DeclarationLog OpenDeclarationLog(const DeclarationSteps& steps, const SavedLogSettings& saved) {
    for (;;) {
        core::g_logInterval = 0;  // no fixes while the declaration is written
        core::g_logFormat = 1;
        if (steps.startLog() != LogStart::kOpened) {
            saved.Restore();
            if (!steps.toLogger) return DeclarationLog::kAbandoned;
            CloseFlightLog();
            DeclarationBox(kIdsLoggerWithoutLog, 0, platform::mb::kIconInformation);
            return DeclarationLog::kNone;
        }
        if (!core::g_hFlightLog.IsOpen()) {
            saved.Restore();
            DeclarationBox(kIdsNoLog, kIdsErrorCaption, platform::mb::kIconHand);
            return DeclarationLog::kAbandoned;
        }
        if (core::g_logFormat.load() == 1) return DeclarationLog::kOpen;
        DeclarationBox(kIdsTextLog, kIdsFileTypeCaption, platform::mb::kIconHand);
    }
}

// The H block, the dialog's own lines (header lines of the observer, "HO",
// and of the pilot, "HP", stay out of the digest), the I and L records.
void WriteDeclarationHeader(const std::vector<std::wstring>& lines) {
    const platform::CriticalSectionLock lock(core::LogFileLock);
    if (!core::g_hFlightLog.IsOpen()) return;
    platform::AppSettings().WriteInt("Options\\Logging", "LogFormat", 1);
    WriteIgcHeaderRecords();
    for (std::size_t i = kFirstDialogLine; i < lines.size(); ++i) {
        if (lines[i].size() <= 2) continue;
        const bool digested = lines[i][1] != L'O' && lines[i][1] != L'P';
        core::WriteLogLine(IgcValue(lines[i]), digested);
    }
    core::WriteLogLine(IgcIRecord(g_bEnlOn.load()));
    if (g_bEnlOn.load()) {
        core::WriteLogLine(platform::FormatC("LXKV ENL FT-%d P-%d\r\n", g_enlSettleValue.load(),
                                             g_enlTwoStage.load()));
    }
}

void WritePreferredName() {
    const platform::CriticalSectionLock lock(core::LogFileLock);
    const std::wstring name = g_strLogName.Get();
    if (!core::g_hFlightLog.IsOpen() || name.empty()) return;
    core::WriteLogLine("LXKV Preferred file name: " + IgcValue(name) + "\r\n");
}

}  // namespace

void DeclareTask(const DeclarationSteps& steps) {
    const SavedLogSettings saved;
    if (ChooseTask(steps) == nullptr) return;
    const std::optional<std::vector<std::wstring>> lines = steps.headerDialog();
    if (!lines) return;
    const DeclarationLog log = OpenDeclarationLog(steps, saved);
    if (log == DeclarationLog::kAbandoned) return;
    if (log == DeclarationLog::kOpen) WriteDeclarationHeader(*lines);
    if (const nav::CTask* task = steps.currentTask()) WriteTaskDeclaration(*task, 0);
    while (!steps.confirm()) {
        if (steps.selectTask(0) != 1) continue;
        if (const nav::CTask* task = steps.currentTask()) WriteTaskDeclaration(*task, 0);
    }
    WritePreferredName();
    core::g_logInterval = saved.interval != 0 ? saved.interval : 1;
}

std::vector<DeclaredPoint> DeclaredPointsOf(const nav::CTask& task) {
    std::vector<DeclaredPoint> points;
    for (const std::unique_ptr<nav::CTaskPoint>& point : task.points) {
        DeclaredPoint declared;
        declared.name = point->name;
        declared.latitude = point->latitude;
        declared.lonWest = point->longitude;
        declared.hasSector = point->hasSector != 0;
        declared.cylinderRadiusKm = point->cylinderRadius;
        declared.sectorRadiusKm = point->sectorRadius;
        declared.innerRadiusKm = point->sectorInnerRadius;
        declared.sectorAngleDeg = point->sectorAngle;
        declared.sectorDirectionDeg = point->sectorDirection;
        points.push_back(std::move(declared));
    }
    return points;
}

int LoggerPortNumber(std::wstring_view deviceName) {
    while (!deviceName.empty() && (deviceName.back() < L'0' || deviceName.back() > L'9'))
        deviceName.remove_suffix(1);
    std::size_t start = deviceName.size();
    while (start > 0 && deviceName[start - 1] >= L'0' && deviceName[start - 1] <= L'9')
        --start;
    int number = 0;
    for (const wchar_t c : deviceName.substr(start)) {
        if (number > 9999) break;
        number = number * 10 + (c - L'0');
    }
    return number;
}

void SetLoggerDeclaration(LoggerDeclaration declaration) {
    const std::lock_guard lock(g_declarationMutex);
    g_loggerDeclaration = std::move(declaration);
}

int WriteTaskDeclaration(const nav::CTask& task, int force) {
    if (nav::g_taskNavigationActive.load() == 0 && force == 0) return 0;
    {
        const platform::CriticalSectionLock lock(core::LogFileLock);
        if (IgcLogOpen()) {
            const std::vector<DeclaredPoint> points = DeclaredPointsOf(task);
            const platform::SystemTime utc = platform::ToSystemTimeUtc(core::LogNow());
            const std::vector<std::string> lines = IgcCRecords(points, utc, g_nDeclarations + 1);
            if (!lines.empty()) ++g_nDeclarations;
            for (const std::string& line : lines)
                core::WriteLogLine(line);
        }
    }
    LoggerDeclaration declaration;
    {
        const std::lock_guard lock(g_declarationMutex);
        declaration = g_loggerDeclaration;
    }
    if (declaration) {
        if (const std::optional<bool> declared = declaration(task))
            WriteDeclarationEvent(*declared);
    }
    return 1;
}

}  // namespace recorder
