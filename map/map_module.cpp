#include "map/map_module.h"

#include <algorithm>

#include "map/map_draw_math.h"
#include "map/map_icon_table.h"
#include "platform/gui/resource_bundle.h"

namespace map {

void LoadMapIconTable() {
    if (platform::gui::InstalledBundle() == nullptr) return;
    SetMapIcons(MakeMapIconTable(platform::gui::BundleImage, MapIconSize(g_screenResolution.load())));
}
void BuildSinCosTable() { (void)SinCos(); }

void OrderMapDrawingSizes(MapDrawingSizes& sizes) {
    sizes.smallest = std::max(sizes.smallest, 1);
    sizes.middle = std::max(sizes.middle, sizes.smallest + 1);
    sizes.largest = std::max(sizes.largest, sizes.middle + 1);
}

}  // namespace map
