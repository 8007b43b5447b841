#pragma once
// The map's icon table: the buttons' icons by index (map_input_logic.h's
// kMapIconIds), drawn at 32 x 32 and scaled for the display at start-up.

#include <array>

#include "map/drawing_tables.h"
#include "map/map_input_logic.h"
#include "platform/image.h"

namespace map {

using MapIconTable = std::array<platform::Image, kMapIconCount>;

// The table from the icon source, each icon scaled to size x size; entries
// 10 and 11, and icons the source lacks, stay empty.
MapIconTable MakeMapIconTable(const IconSource& icons, int size);

// The size the icons are shown at for the screen-resolution class.
int MapIconSize(int screenResolution);

// The table start-up loaded (empty entries before). UI thread.
const MapIconTable& MapIcons();
void SetMapIcons(MapIconTable table);

}  // namespace map
