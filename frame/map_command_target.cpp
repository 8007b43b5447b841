#include "frame/map_command_target.h"

#include <utility>

namespace frame {
namespace {

std::shared_ptr<MapCommandTarget> g_target;

}  // namespace

void SetMapCommandTarget(std::shared_ptr<MapCommandTarget> target) {
    g_target = std::move(target);
}

MapCommandTarget& CurrentMapCommandTarget() {
    static MapCommandTarget nothing;
    return g_target != nullptr ? *g_target : nothing;
}

}  // namespace frame
