#include "map/map_module.h"

#include <algorithm>

#include "map/map_draw_math.h"
#include "map/map_icon_table.h"
#include "map/map_painter.h"
#include "platform/gui/resource_bundle.h"
#include "platform/settings_store.h"

namespace map {

void InitMapModule() {
    g_showGotoLine = platform::AppSettings().GetInt("Settings", "ShowGOTOline", 1) != 0 ? 1 : 0;
}
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
