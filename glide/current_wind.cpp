#include "glide/current_wind.h"

#include <mutex>

namespace glide {
namespace {

std::mutex g_windMutex;
Wind g_wind;

}  // namespace

Wind CurrentWind() {
    const std::lock_guard lock(g_windMutex);
    return g_wind;
}

void SetCurrentWind(const Wind& wind) {
    const std::lock_guard lock(g_windMutex);
    g_wind = wind;
}

}  // namespace glide
