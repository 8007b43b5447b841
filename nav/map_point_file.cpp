#include "nav/map_point_file.h"

#include <mutex>
#include <utility>

namespace nav {
namespace {

std::mutex g_mapPointFileMutex;
std::shared_ptr<MapPointFile> g_mapPointFile;

}  // namespace

void SetMapPointFile(std::shared_ptr<MapPointFile> file) {
    const std::lock_guard lock(g_mapPointFileMutex);
    g_mapPointFile = std::move(file);
}

std::shared_ptr<MapPointFile> GetMapPointFile() {
    const std::lock_guard lock(g_mapPointFileMutex);
    return g_mapPointFile;
}

}  // namespace nav
