#pragma once
// Drawing map elements (point lists, circles, labels and symbols) onto a
// canvas.
//
// Everything a draw needs comes in the MapDrawContext: the target canvas,
// an optional mask canvas of the same size for patterned fills, a copy of
// the map transform, the font, the line-width setting and the client
// height. Nothing global is read, so the render thread and an export may
// draw at once, each on its own canvases. Scratch point buffers are per
// call.

#include <array>
#include <optional>
#include <vector>

#include "mapdata/arc_points.h"
#include "mapdata/fai_area.h"
#include "mapdata/map_circle_element.h"
#include "mapdata/map_draw_state.h"
#include "mapdata/map_poly_element.h"
#include "mapdata/map_symbols.h"
#include "mapdata/map_text_element.h"
#include "platform/canvas.h"

namespace mapdata {

// The six fill patterns of fill styles 2..7 (a 0 bit is the fill colour).
inline constexpr std::array<platform::PatternRows, 6> kFillPatterns{{
    {0xFF, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF},
    {0xBF, 0xBF, 0xBF, 0xBF, 0xBF, 0xBF, 0xBF, 0xBF},
    {0x7F, 0xBF, 0xDF, 0xEF, 0xF7, 0xFB, 0xFD, 0xFE},
    {0xFE, 0xFD, 0xFB, 0xF7, 0xEF, 0xDF, 0xBF, 0x7F},
    {0xBF, 0x00, 0xBF, 0xBF, 0xBF, 0xBF, 0xBF, 0xBF},
    {0x7E, 0xBD, 0xDB, 0xE7, 0xE7, 0xDB, 0xBD, 0x7E},
}};

// Patterned areas are left out below this client height when drawn
// through a mask.
inline constexpr int kMinimumDrawHeight = 24;

// The symbol images a text element draws: icon slots (0-15 built-in, 16
// and on markers, as numbered by ResolveSymbol) and the user symbols with
// their transparent colours. Read-only while drawing.
struct MapSymbolImages {
    struct User {
        platform::Image image;
        platform::Colour transparent;
    };
    std::array<platform::Image, 41> icons;
    std::vector<User> users;
    int markerIcons = 20;
    int halfSize = kCursorImageSize / 2;
};

struct MapDrawContext {
    platform::Canvas* canvas = nullptr;
    platform::Canvas* mask = nullptr;  // optional, for patterned fills
    MapDrawState state;
    platform::Font font;
    int lineWidth = 1;
    int clientHeight = 480;
    // The extent of "WOWOWO" in font, which lays out the labels: measured
    // once per frame by the render; while empty each label measures it.
    platform::Size labelCell{};
    bool showEnlargedZones = false;
    std::array<MapPen, 49> pens = MakeMapPenTable();
    const MapSymbolImages* symbols = nullptr;  // none: symbols are left out
    // The frame's arcs by shape, kept by the frame's drawer; none: every
    // arc is stepped round.
    ArcShapes* arcShapes = nullptr;
};

// The canvas pen for a pen table number; numbers outside the table give
// pen 0.
platform::Pen MapPenFor(const MapDrawContext& context, int number);

// The patterned brush of a fill style, when its low 4 bits are 2..7.
std::optional<platform::Brush> PatternBrush(std::int32_t fillStyle, platform::Colour colour);

void DrawPolyElement(const CMapPolyElement& element, const MapDrawContext& context);
// The large-triangle region first (when it has points), then the area.
void DrawFaiArea(const CFaiAreaElement& element, const MapDrawContext& context);
void DrawTextElement(const CMapTextElement& element, const MapDrawContext& context);
// The context's label cell, measured on canvas when it holds none.
platform::Size LabelCell(platform::Canvas& canvas, const MapDrawContext& context);
void DrawCircleElement(const CMapCircleElement& element, const MapDrawContext& context);
// The symbol of a symbol number (built-in icon, marker or user symbol)
// centred on a point, as labels and symbols draw it; false when its slot
// holds no icon.
bool DrawMapSymbol(platform::Canvas& canvas, const MapSymbolImages& symbols, int number,
                   platform::Point centre);
// Any element by its kind.
void DrawMapElement(const CMapElement& element, const MapDrawContext& context);

}  // namespace mapdata
