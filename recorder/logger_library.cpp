#include "recorder/logger_library.h"

#include <string>
#include <utility>

#include "platform/message_box.h"
#include "recorder/logger_declaration.h"
#include "recorder/task_declaration.h"
#include "resources/ids/strings_recorder.h"
#include "services/string_resources.h"

namespace recorder {
namespace {

using ids::kIdsLoggerTooOld;

// A logger type whose second byte is below this cannot take declarations.
constexpr int kFirstDeclaringVersion = 0x21;

struct LoggerBinding {
    platform::DynamicLibrary library;
    DeclareTaskToLoggerFn declare = nullptr;
    GetLoggerTypeFn getType = nullptr;
    int type = 0;
};

struct SensorBoxBinding {
    platform::DynamicLibrary library;
    SetupFSBFn setup = nullptr;
    GetFSBdllVerFn getVersion = nullptr;
    GetFSBboxFn getBox = nullptr;
    RequestPortValueFn requestPortValue = nullptr;
    DecodeFSBstringFn decodeString = nullptr;
    GetBoxParametersFn getBoxParameters = nullptr;
    std::uint32_t box = 0;
};

LoggerBinding g_logger;
SensorBoxBinding g_sensorBox;
// Read by the GPS reader thread when it opens the port.
std::atomic<bool> g_sensorBoxLoaded{false};

// Clears every entry point before the code behind them goes away.
void ReleaseLogger() {
    g_bLoggerLibraryBound = 0;
    g_logger.declare = nullptr;
    g_logger.getType = nullptr;
    g_logger.type = 0;
    g_logger.library.Close();
}

void ReleaseSensorBox() {
    g_sensorBoxLoaded = false;
    g_sensorBox.setup = nullptr;
    g_sensorBox.getVersion = nullptr;
    g_sensorBox.getBox = nullptr;
    g_sensorBox.requestPortValue = nullptr;
    g_sensorBox.decodeString = nullptr;
    g_sensorBox.getBoxParameters = nullptr;
    g_sensorBox.box = 0;
    g_sensorBox.library.Close();
}

bool FlarmOffersLogger() {
    return core::g_hFlarmLibrary.IsOpen() && core::g_flarm.declareTaskToLogger != nullptr;
}

void UseFlarmLogger() {
    g_logger.declare = core::g_flarm.declareTaskToLogger;
    g_logger.getType = core::g_flarm.getLoggerType;
    g_logger.type = core::g_flarm.loggerType;
}

bool PilotPrefersFlarm(void* frame) {
    return platform::ShowMessageBox(
               frame, L"Do you want to use FLARM as your logger?", L"KOR_VAN WinCE",
               platform::mb::kYesNo | platform::mb::kIconQuestion | platform::mb::kTopmost) ==
           platform::kIdYes;
}

int BindOwnLogger(void* frame) {
    const platform::DynamicLibrary& library = g_logger.library;
    const auto declare = library.Symbol<DeclareTaskToLoggerFn>("DeclareTaskToLogger");
    const auto getType = library.Symbol<GetLoggerTypeFn>("GetLoggerType");
    const int type = getType != nullptr ? getType() : 0;
    if (type == 0) {
        ReleaseLogger();
        return 0;
    }
    if (((type >> 8) & 0xFF) < kFirstDeclaringVersion) {
        ReleaseLogger();
        platform::ShowMessageBox(frame,
                                 L"KorVnFAI.dll " + core::LoadResourceString(kIdsLoggerTooOld), L"",
                                 platform::mb::kIconHand | platform::mb::kTopmost);
        return 0;
    }
    if (declare == nullptr) {
        ReleaseLogger();
        return 0;
    }
    g_logger.declare = declare;
    g_logger.getType = getType;
    g_logger.type = type;
    return g_bLoggerLibraryBound = 1;
}

}  // namespace

int BindLoggerLibrary(platform::DynamicLibrary library, void* frame) {
    FreeLoggerLibrary();
    SetLoggerDeclaration(&DeclareToBoundLogger);
    if (!library.IsOpen()) {
        if (!FlarmOffersLogger()) return 0;
        UseFlarmLogger();
        return g_bLoggerLibraryBound = 1;
    }
    g_logger.library = std::move(library);
    if (FlarmOffersLogger() && PilotPrefersFlarm(frame)) {
        ReleaseLogger();
        UseFlarmLogger();
        return g_bLoggerLibraryBound = 1;
    }
    return BindOwnLogger(frame);
}

int BindLoggerLibrary(void* frame) {
    if (g_logger.library.IsOpen()) return g_logger.declare != nullptr ? 1 : 0;
    return BindLoggerLibrary(platform::DynamicLibrary::OpenBesideExecutable(kLoggerLibraryFile),
                             frame);
}

int BindSensorBoxLibrary(platform::DynamicLibrary library, void* frame) {
    FreeSensorBoxLibrary();
    if (!library.IsOpen()) return 0;
    SensorBoxBinding& b = g_sensorBox;
    b.library = std::move(library);
    b.setup = b.library.Symbol<SetupFSBFn>("SetupFSB");
    if (b.setup == nullptr) {
        ReleaseSensorBox();
        return 0;
    }
    b.getVersion = b.library.Symbol<GetFSBdllVerFn>("GetFSBdllVer");
    b.getBox = b.library.Symbol<GetFSBboxFn>("GetFSBbox");
    b.requestPortValue = b.library.Symbol<RequestPortValueFn>("RequestPortValue");
    b.decodeString = b.library.Symbol<DecodeFSBstringFn>("DecodeFSBstring");
    b.getBoxParameters = b.library.Symbol<GetBoxParametersFn>("GetBoxParameters");
    if (b.getVersion == nullptr) {
        ReleaseSensorBox();
        return 0;
    }
    if (b.getVersion() != kSensorBoxLibraryVersion || b.getBox == nullptr) {
        ReleaseSensorBox();
        platform::ShowMessageBox(frame, L"Improper FSB_DLL.dll version", L"",
                                 platform::mb::kIconHand | platform::mb::kTopmost);
        return 0;
    }
    b.box = b.getBox();
    g_sensorBoxLoaded = true;
    return 1;
}

int BindSensorBoxLibrary(void* frame) {
    if (g_sensorBox.library.IsOpen()) return g_sensorBoxLoaded.load() ? 1 : 0;
    return BindSensorBoxLibrary(
        platform::DynamicLibrary::OpenBesideExecutable(kSensorBoxLibraryFile), frame);
}

bool SensorBoxLoaded() {
    return g_sensorBoxLoaded.load();
}

bool SensorBoxSetupBound() {
    return g_sensorBox.setup != nullptr;
}

std::uint32_t SensorBoxValue() {
    return g_sensorBox.box;
}

int LoggerType() {
    return g_logger.type;
}

DeclareTaskToLoggerFn LoggerDeclareEntryPoint() {
    return g_logger.declare;
}

void FreeLoggerLibrary() {
    ReleaseLogger();
}

void FreeSensorBoxLibrary() {
    ReleaseSensorBox();
}

}  // namespace recorder
