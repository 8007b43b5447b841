#include "nav/waypoint_file_open.h"

#include <mutex>
#include <utility>

#include "nav/waypoint_loader.h"
#include "platform/settings_store.h"

namespace nav {
namespace {

std::mutex& ChooserMutex() {
    static std::mutex mutex;
    return mutex;
}

WaypointFileChooser& Chooser() {
    static WaypointFileChooser chooser;
    return chooser;
}

std::optional<std::wstring> Choose(bool openMode, const std::wstring& current) {
    WaypointFileChooser chooser;
    {
        const std::lock_guard lock(ChooserMutex());
        chooser = Chooser();
    }
    if (!chooser) return std::nullopt;
    return chooser(openMode, current);
}

}  // namespace

void SetWaypointFileChooser(WaypointFileChooser chooser) {
    const std::lock_guard lock(ChooserMutex());
    Chooser() = std::move(chooser);
}

bool WaypointFileChooserInstalled() {
    const std::lock_guard lock(ChooserMutex());
    return static_cast<bool>(Chooser());
}

int OpenWaypointFile(CWaypointFile& file, std::wstring& path, bool openMode, bool noDialog,
                     bool useThread) {
    if (!noDialog) {
        const auto chosen = Choose(openMode, g_waypointFileName.Get());
        if (!chosen) return 0;
        path = *chosen;
    }
    g_waypointLoader.Stop(platform::WorkerThread::kDefaultStopLimitMs);

    const bool opened = file.OpenWaypoints(path);
    g_waypointFileName.Set(path);
    platform::AppSettings().WriteString("Settings", "WaypointFile", std::wstring_view(path));
    if (!opened) return 1;

    ClearPublishedWaypoints();
    if (useThread) {
        g_waypointLoader.Start(file.GetFullPath());
    } else {
        LoadWaypoints(file);
    }
    return 1;
}

bool EnsureWaypointFileOpen(CWaypointFile& file) {
    if (g_waypointLoader.Running()) return false;
    if (!file.IsOpen()) {
        std::wstring path = g_waypointFileName.Get();
        OpenWaypointFile(file, path, true, false, false);
    }
    return file.IsOpen();
}

void CloseWaypoints(std::uint32_t timeoutMs) {
    g_waypointLoader.Stop(timeoutMs);
    g_waypointFile.Close();
    ClearPublishedWaypoints();
}

}  // namespace nav
