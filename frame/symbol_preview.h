#pragma once
// The picture of a map symbol number as the map draws it, for the dialogs
// that let the pilot choose one: the built-in icon, the marker or the user
// symbol of the drawing tables, centred on a square of the background
// colour. No wx; any thread once the tables are made.

#include "map/drawing_tables.h"
#include "platform/drawing_tools.h"
#include "platform/image.h"

namespace frame {

// An empty image when there are no tables or the number has no picture
// (labels and area codes below 1).
platform::Image SymbolPreview(const map::MapDrawingTables* tables, int symbolNumber,
                              platform::Colour background, int size = 32);

}  // namespace frame
