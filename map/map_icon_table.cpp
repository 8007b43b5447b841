#include "map/map_icon_table.h"

#include "core/bitmap_stretch.h"

namespace map {
namespace {

MapIconTable& Table() {
    static MapIconTable table;
    return table;
}

}  // namespace

MapIconTable MakeMapIconTable(const IconSource& icons, int size) {
    MapIconTable table;
    for (int i = 0; i < kMapIconCount; ++i) {
        const int id = kMapIconIds[static_cast<std::size_t>(i)];
        if (id == 0) continue;
        platform::Image icon = icons(static_cast<unsigned>(id));
        if (icon.Empty()) continue;
        core::StretchIcon(icon, size, size);
        table[static_cast<std::size_t>(i)] = std::move(icon);
    }
    return table;
}

int MapIconSize(int screenResolution) {
    return kMapIconCellSize * (screenResolution + 1);
}

const MapIconTable& MapIcons() {
    return Table();
}

void SetMapIcons(MapIconTable table) {
    Table() = std::move(table);
}

}  // namespace map
