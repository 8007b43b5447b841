#include "core/elevation_model.h"

#include <mutex>
#include <utility>

namespace core {
namespace {

std::mutex g_modelMutex;
std::shared_ptr<const ElevationModel> g_model;

}  // namespace

std::shared_ptr<const ElevationModel> CurrentElevationModel() {
    std::lock_guard lock(g_modelMutex);
    return g_model;
}

void SetElevationModel(std::shared_ptr<const ElevationModel> model) {
    std::lock_guard lock(g_modelMutex);
    g_model = std::move(model);
}

}  // namespace core
