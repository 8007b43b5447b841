// The drawing tables and the symbol, track colour and cursor list readers.
#include "mapdata/map_symbols.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <system_error>

#include "platform/paths.h"

namespace mapdata {

namespace {

// The lines of a text, each with whether it ended with CR or LF.
struct Line {
    std::string text;
    bool ended = false;
};

// The line starting at `at`, up to the next CR or LF (consumed).
Line NextLine(std::string_view text, std::size_t& at) {
    Line line;
    const std::size_t end = text.find_first_of("\r\n", at);
    if (end == std::string_view::npos) {
        line.text = std::string(text.substr(at));
        at = text.size();
        return line;
    }
    line.text = std::string(text.substr(at, end - at));
    line.ended = true;
    at = end + 1;
    return line;
}

Rgb TopLeftColour(const CDib& dib) {
    const platform::Image image = dib.ToImage();
    if (image.Empty()) return {};
    const std::uint32_t argb = image.Pixel(0, 0);
    return {static_cast<std::uint8_t>(argb >> 16), static_cast<std::uint8_t>(argb >> 8),
            static_cast<std::uint8_t>(argb)};
}

std::optional<CDib> LoadBitmap(const std::filesystem::path& base, const std::string& name) {
    CDib dib;
    if (name.empty() || !dib.LoadQuietly(platform::ResolveDataFilePath((base / name).string())))
        return std::nullopt;
    return dib;
}

}  // namespace

std::array<MapPen, 49> MakeMapPenTable(int thinWidth, int wideWidth) {
    std::array<MapPen, 49> pens{};
    for (std::size_t i = 0; i < 16; ++i) {
        pens[i] = {kMapPalette[i], thinWidth, false};
        pens[16 + i] = {kMapPalette[i], 1, true};
        pens[32 + i] = {kMapPalette[i], wideWidth, false};
    }
    const Rgb green = kMapPalette[8];
    pens[48] = {{static_cast<std::uint8_t>(255 - green.red),
                 static_cast<std::uint8_t>(255 - green.green),
                 static_cast<std::uint8_t>(255 - green.blue)},
                2 * wideWidth,
                false};
    return pens;
}

std::optional<std::filesystem::path> FindListFile(const std::filesystem::path& documents,
                                                  std::string_view name) {
    const std::filesystem::path folders[] = {documents / kProgramDocumentsSubfolder, documents,
                                             "/", "."};
    for (const auto& folder : folders) {
        const std::filesystem::path found = platform::FindCaseInsensitive(folder, name);
        if (found.empty()) continue;
        std::ifstream probe(found, std::ios::binary);
        std::error_code error;
        if (probe && std::filesystem::is_regular_file(found, error)) return found;
    }
    return std::nullopt;
}

std::vector<SymbolListEntry> ParseSymbolList(std::string_view text) {
    std::vector<SymbolListEntry> entries;
    std::size_t at = 0;
    const Line first = NextLine(text, at);
    int count = 0;
    if (std::sscanf(first.text.c_str(), "%d", &count) != 1) return entries;
    for (int i = 0; i < count; ++i) {
        at = text.find_first_not_of("\r\n \t", at);
        if (at == std::string_view::npos) break;
        const Line line = NextLine(text, at);
        if (!line.ended) break;
        SymbolListEntry entry;
        char name[256] = {};
        int colour = 1;
        if (std::sscanf(line.text.c_str(), "%d%*c%255s", &colour, name) == 2) {
            entry.colourIndex = colour;
            entry.file = name;
        } else {
            entry.file = line.text;
        }
        entries.push_back(std::move(entry));
    }
    return entries;
}

std::vector<UserSymbol> LoadUserSymbols(std::string_view text, const std::filesystem::path& base) {
    std::vector<UserSymbol> symbols;
    for (const SymbolListEntry& entry : ParseSymbolList(text)) {
        if (static_cast<int>(symbols.size()) >= kMaxUserSymbols) break;
        std::optional<CDib> bitmap = LoadBitmap(base, entry.file);
        if (!bitmap) continue;
        const auto palette = PaletteColour(entry.colourIndex);
        const Rgb transparent = palette ? *palette : TopLeftColour(*bitmap);
        symbols.push_back({std::move(*bitmap), transparent});
    }
    return symbols;
}

std::array<Rgb, kTrackColourCount> ReadTrackColours(std::string_view text,
                                                    std::array<Rgb, kTrackColourCount> colours) {
    std::size_t at = text.find('\n');
    at = at == std::string_view::npos ? text.size() : at + 1;
    for (std::size_t i = 0; i < colours.size(); ++i) {
        Rgb previous = i == 0 ? colours[0] : colours[i - 1];
        int rgb[3] = {previous.red, previous.green, previous.blue};
        if (at < text.size()) {
            const std::size_t end = text.find('\n', at);
            const std::size_t stop = end == std::string_view::npos ? text.size() : end + 1;
            const std::string line(text.substr(at, stop - at));
            at = stop;
            std::sscanf(line.c_str(), "%d%*c%d%*c%d", &rgb[0], &rgb[1], &rgb[2]);
        }
        colours[i] = {static_cast<std::uint8_t>(rgb[0] & 255),
                      static_cast<std::uint8_t>(rgb[1] & 255),
                      static_cast<std::uint8_t>(rgb[2] & 255)};
    }
    return colours;
}

CursorImages LoadCursorImages(std::string_view text, const std::filesystem::path& base) {
    CursorImages cursors;
    std::size_t at = 0;
    const std::size_t firstEnd = text.find('\n');
    if (text.substr(0, 7) != "KOR_VAN" || firstEnd == std::string_view::npos) return cursors;
    at = firstEnd + 1;
    const std::size_t secondEnd = text.find('\n', at);
    const std::string second(text.substr(at, secondEnd == std::string_view::npos ? std::string_view::npos : secondEnd - at));
    int size = 0;
    if (std::sscanf(second.c_str(), "%d", &size) != 1 || size != kCursorImageSize ||
        secondEnd == std::string_view::npos)
        return cursors;
    at = secondEnd + 1;
    while (at < text.size()) {
        const std::size_t end = text.find('\n', at);
        if (end == std::string_view::npos) break;
        std::string name(text.substr(at, end - at));
        at = end + 1;
        std::erase(name, '\r');
        std::optional<CDib> bitmap = LoadBitmap(base, name);
        if (!bitmap) break;
        const Rgb transparent = TopLeftColour(*bitmap);
        cursors.images.push_back({std::move(*bitmap), transparent});
    }
    if (cursors.images.size() > 8)
        cursors.angleStep = 360.0F / static_cast<float>(cursors.images.size());
    return cursors;
}

SymbolChoice ResolveSymbol(int number, int userSymbols, int markerIcons) {
    markerIcons = std::min(markerIcons, 40 - 16);
    if (number < 0) {
        int k = -number - 10;
        if (k > markerIcons || k < 0) k = 0;
        return {SymbolChoice::Kind::kIcon, 16 + k};
    }
    if (number <= kLastBuiltInSymbol) return {SymbolChoice::Kind::kIcon, number};
    if (number <= kLastBuiltInSymbol + userSymbols)
        return {SymbolChoice::Kind::kUser, number - kLastBuiltInSymbol - 1};
    return {SymbolChoice::Kind::kIcon, 0};
}

}  // namespace mapdata
