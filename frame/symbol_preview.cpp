#include "frame/symbol_preview.h"

#include "mapdata/map_element_draw.h"
#include "platform/canvas.h"

namespace frame {

platform::Image SymbolPreview(const map::MapDrawingTables* tables, int symbolNumber,
                              platform::Colour background, int size) {
    if (tables == nullptr || symbolNumber < 1) return {};
    platform::Canvas canvas(size, size);
    canvas.FillRect({0, 0, size, size}, platform::Brush::Solid(background));
    if (!mapdata::DrawMapSymbol(canvas, tables->symbols, symbolNumber, {size / 2, size / 2}))
        return {};
    return canvas.Pixels().Clone();
}

}  // namespace frame
