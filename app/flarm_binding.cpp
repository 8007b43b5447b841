#include "app/flarm_binding.h"

#include <optional>
#include <span>
#include <string_view>
#include <utility>

#include "gps/gps_port.h"
#include "platform/message_box.h"
#include "resources/ids/strings.h"
#include "services/string_resources.h"

namespace app {
namespace {

constexpr std::string_view kFlarmSettingsSection = "Settings";
using ids::kIdsFlarmCaption;
using ids::kIdsFlarmRejected;

// A logger type whose second byte is below this cannot take declarations.
constexpr int kFirstDeclaringLoggerType = 0x2100;

int WriteFlarmBytesToGps(const unsigned char* bytes, unsigned count) {
    if (bytes == nullptr || count == 0) return 0;
    return gps::WriteToGps(std::span(bytes, count)) ? static_cast<int>(count) : 0;
}

// The seven entry points FLARM support needs; nothing when one is missing.
std::optional<core::FlarmEntryPoints> LookUpEntryPoints(const platform::DynamicLibrary& library) {
    core::FlarmEntryPoints e;
    e.getDllVersion = library.Symbol<GetDLLversionFn>("GetDLLversion");
    e.getFlarmObject = library.Symbol<GetFLARMobjectFn>("GetFLARMobject");
    e.setSoundPaths = library.Symbol<SetSoundPathsFn>("SetSoundPaths");
    e.terminateThreads = library.Symbol<TerminateThreadsFn>("TerminateThreads");
    e.transferData = library.Symbol<TransferDataFn>("TransferData");
    e.createTcasWindow = library.Symbol<CreateTCASwindowFn>("CreateTCASwindow");
    e.closeWindow = library.Symbol<CloseWindowFn>("CloseWindow");
    if (e.getDllVersion == nullptr || e.getFlarmObject == nullptr || e.setSoundPaths == nullptr ||
        e.terminateThreads == nullptr || e.transferData == nullptr ||
        e.createTcasWindow == nullptr || e.closeWindow == nullptr) {
        return std::nullopt;
    }
    return e;
}

// The logger entry points and type, kept only when the type can declare.
void LookUpLogger(const platform::DynamicLibrary& library, core::FlarmEntryPoints& e) {
    e.declareTaskToLogger = library.Symbol<DeclareTaskToLoggerFn>("DeclareTaskToLogger");
    if (e.declareTaskToLogger != nullptr) {
        e.getLoggerType = library.Symbol<GetLoggerTypeFn>("GetLoggerType");
        if (e.getLoggerType != nullptr) e.loggerType = e.getLoggerType();
    }
    if ((e.loggerType & 0xFF00) < kFirstDeclaringLoggerType) {
        e.declareTaskToLogger = nullptr;
        e.getLoggerType = nullptr;
        e.loggerType = 0;
    }
}

FlarmBinding Reject() {
    platform::ShowMessageBox(nullptr, core::LoadResourceString(kIdsFlarmRejected),
                             core::LoadResourceString(kIdsFlarmCaption),
                             platform::mb::kIconHand | platform::mb::kTopmost);
    return FlarmBinding::kRejected;
}

}  // namespace

FlarmSettings ReadFlarmSettings(const platform::SettingsStore& store) {
    const FlarmSettings builtIn;
    const auto read = [&store](std::string_view name, std::int32_t value) {
        return static_cast<std::int32_t>(
            store.GetInt(kFlarmSettingsSection, name, static_cast<std::uint32_t>(value)));
    };
    return {read("FLARMsounds", builtIn.sounds), read("FLARMshowTCAS", builtIn.showTcas),
            read("FLARMclimb", builtIn.climb)};
}

FlarmBinding BindFlarmLibrary(platform::DynamicLibrary library, const FlarmSettings& settings,
                              FlarmGpsPortWriter writeGpsPort) {
    UnbindFlarmLibrary();
    if (!library.IsOpen()) return FlarmBinding::kAbsent;
    core::g_hFlarmLibrary = std::move(library);

    auto entryPoints = LookUpEntryPoints(core::g_hFlarmLibrary);
    if (!entryPoints || entryPoints->getDllVersion() != core::kFlarmLibraryVersion) return Reject();
    // Without an object there is nothing to tell the library through.
    CFLARMobject* object = entryPoints->getFlarmObject(nullptr);
    if (object == nullptr) return Reject();

    object->writeGpsPort = writeGpsPort;
    object->sounds = settings.sounds;
    object->showTcas = settings.showTcas;
    object->climb = settings.climb;
    LookUpLogger(core::g_hFlarmLibrary, *entryPoints);
    core::g_flarm = *entryPoints;
    g_pFlarmObject.store(object, std::memory_order_release);
    return FlarmBinding::kBound;
}

FlarmBinding BindFlarmLibrary() {
    return BindFlarmLibrary(platform::DynamicLibrary::OpenBesideExecutable(core::kFlarmLibraryFile),
                            ReadFlarmSettings(platform::AppSettings()), &WriteFlarmBytesToGps);
}

void UnbindFlarmLibrary() {
    g_pFlarmObject.store(nullptr, std::memory_order_release);
    core::g_flarm = {};
    core::g_hFlarmLibrary.Close();
}

void TransferToFlarm(int type, const char* text, float trueCourse, float windCorrectionAngle,
                     int /*reserved*/) {
    if (!FlarmPresent() || core::g_flarm.transferData == nullptr) return;
    core::g_flarm.transferData(type, text, trueCourse, windCorrectionAngle, nullptr);
}

}  // namespace app
