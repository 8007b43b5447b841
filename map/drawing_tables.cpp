#include "map/drawing_tables.h"

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/whole_file.h"

namespace map {
namespace {

std::unique_ptr<const MapDrawingTables> g_tables;

// A list file's text, or nothing when it is not found or cannot be read.
std::optional<std::string> ListFileText(const std::filesystem::path& documents,
                                        std::string_view name, std::filesystem::path& folder) {
    const std::optional<std::filesystem::path> file = mapdata::FindListFile(documents, name);
    if (!file) return std::nullopt;
    std::string text;
    // List files are short; a huge one is not a list file.
    if (platform::ReadWholeFile(*file, text, 1 << 20)) return std::nullopt;
    folder = file->parent_path();
    return text;
}

std::vector<mapdata::MapSymbolImages::User> UserImages(
    const std::vector<mapdata::UserSymbol>& symbols) {
    std::vector<mapdata::MapSymbolImages::User> users;
    users.reserve(symbols.size());
    for (const mapdata::UserSymbol& symbol : symbols)
        users.push_back({symbol.bitmap.ToImage(),
                         {symbol.transparent.red, symbol.transparent.green,
                          symbol.transparent.blue}});
    return users;
}

void LoadSymbolTables(MapDrawingTables& tables, const std::filesystem::path& documents) {
    std::filesystem::path folder;
    if (const auto text = ListFileText(documents, mapdata::kSymbolListFileName, folder))
        tables.symbols.users = UserImages(mapdata::LoadUserSymbols(*text, folder));
    if (const auto text = ListFileText(documents, mapdata::kTrackColourFileName, folder))
        tables.trackColours = mapdata::ReadTrackColours(*text);
    if (const auto text = ListFileText(documents, mapdata::kCursorListFileName, folder)) {
        mapdata::CursorImages cursors = mapdata::LoadCursorImages(*text, folder);
        tables.cursorImages = std::move(cursors.images);
        tables.cursorAngleStep = cursors.angleStep;
    }
}

}  // namespace

std::unique_ptr<const MapDrawingTables> MakeMapDrawingTables(
    const IconSource& icons, const std::filesystem::path& documents) {
    auto tables = std::make_unique<MapDrawingTables>();
    auto& slots = tables->symbols.icons;
    for (std::size_t i = 0; i < mapdata::kBuiltInSymbolIconIds.size(); ++i)
        slots[i] = icons(static_cast<unsigned>(mapdata::kBuiltInSymbolIconIds[i]));
    LoadSymbolTables(*tables, documents);

    constexpr int kFirstMarkerSlot = mapdata::kLastBuiltInSymbol + 1;
    const int markers = std::min(tables->symbols.markerIcons,
                                 static_cast<int>(slots.size()) - 1 - kFirstMarkerSlot);
    tables->symbols.markerIcons = markers;
    slots[kFirstMarkerSlot] = icons(kDefaultMarkerIconId);
    for (int k = 1; k <= markers; ++k)
        slots[static_cast<std::size_t>(kFirstMarkerSlot + k)] =
            icons(kFirstMarkerIconId + static_cast<unsigned>(k - 1));

    for (int k = 0; k < kWindArrows; ++k) {
        tables->savedWindArrows[k] = icons(kFirstWindArrowIconId + static_cast<unsigned>(k));
        tables->windArrows[k] = tables->savedWindArrows[k].Clone();
    }
    tables->singleIcon = icons(kSingleIconId);
    return tables;
}

const MapDrawingTables* DrawingTables() {
    return g_tables.get();
}

int CreateMapGdiResources(const IconSource& icons, const std::filesystem::path& documents) {
    g_tables = MakeMapDrawingTables(icons, documents);
    return 1;
}

void FreeMapGdiResources() {
    g_tables.reset();
}

}  // namespace map
