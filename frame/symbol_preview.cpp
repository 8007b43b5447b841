#include "frame/symbol_preview.h"

#include <cstddef>

#include "platform/canvas.h"

namespace frame {

platform::Image SymbolPreview(const map::MapDrawingTables* tables, int symbolNumber,
                              platform::Colour background, int size) {
    if (tables == nullptr || symbolNumber < 1) return {};
    const mapdata::MapSymbolImages& symbols = tables->symbols;
    const mapdata::SymbolChoice choice = mapdata::ResolveSymbol(
        symbolNumber, static_cast<int>(symbols.users.size()), symbols.markerIcons);
    platform::Canvas canvas(size, size);
    canvas.FillRect({0, 0, size, size}, platform::Brush::Solid(background));
    const int half = mapdata::kCursorImageSize / 2;
    const int left = size / 2 - half;
    if (choice.kind == mapdata::SymbolChoice::Kind::kUser) {
        const auto& user = symbols.users[static_cast<std::size_t>(choice.index)];
        canvas.TransparentBlit({left, left, left + 2 * half, left + 2 * half}, user.image,
                               {0, 0, 2 * half, 2 * half}, user.transparent);
    } else {
        const platform::Image& icon = symbols.icons[static_cast<std::size_t>(choice.index)];
        if (icon.Empty()) return {};
        canvas.DrawImage({left, left}, icon);
    }
    return canvas.Pixels().Clone();
}

}  // namespace frame
