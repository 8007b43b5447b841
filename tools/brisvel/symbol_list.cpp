#include "tools/brisvel/symbol_list.h"

#include <fstream>
#include <iterator>
#include <string>
#include <system_error>

#include "platform/paths.h"

namespace brisvel {

std::optional<std::filesystem::path> FindSymbolList(const std::filesystem::path& current) {
    const std::filesystem::path folders[] = {current / mapdata::kProgramDocumentsSubfolder, current, "/", current};
    for (const auto& folder : folders) {
        const std::filesystem::path found = platform::FindCaseInsensitive(folder, mapdata::kSymbolListFileName);
        std::error_code error;
        if (!found.empty() && std::filesystem::is_regular_file(found, error)) return found;
    }
    return std::nullopt;
}

std::vector<mapdata::UserSymbol> ReadSymbolList(const std::filesystem::path& current) {
    const auto list = FindSymbolList(current);
    if (!list) return {};
    std::ifstream in(*list, std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    return mapdata::LoadUserSymbols(text, list->parent_path());
}

}  // namespace brisvel
