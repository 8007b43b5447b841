#pragma once
// Brisvel's reading of the user symbol list "^KOR_VN#^.SLF": looked for as
// "KOR_VAN WinCE/<name>", "<name>", "/<name>" and "<name>" from the current
// folder, names matched ignoring case; its bitmaps load from the folder the
// list was found in. Brisvel reads no track colour or cursor list.

#include <filesystem>
#include <optional>
#include <vector>

#include "mapdata/map_symbols.h"

namespace brisvel {

std::optional<std::filesystem::path> FindSymbolList(const std::filesystem::path& current);
// The user symbols of the list found from `current`; none without a list.
std::vector<mapdata::UserSymbol> ReadSymbolList(const std::filesystem::path& current);

}  // namespace brisvel
