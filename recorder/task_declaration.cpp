#include "recorder/task_declaration.h"

#include <mutex>
#include <string>

#include "core/flight_log.h"
#include "core/settings_values.h"
#include "nav/destination_queue.h"
#include "nav/task_model.h"
#include "platform/numbers.h"

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

}  // namespace

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
        if (const std::optional<bool> declared = declaration(task)) WriteDeclarationEvent(*declared);
    }
    return 1;
}

}  // namespace recorder
