#include "core/history_list.h"

#include <algorithm>

namespace core {
namespace {

std::string EntryName(std::size_t i) {
    return "Entry" + std::to_string(i);
}

}  // namespace

std::vector<std::wstring> LoadHistory(const platform::SettingsStore& settings,
                                      std::string_view section) {
    std::vector<std::wstring> entries;
    for (std::size_t i = 0;; ++i) {
        std::wstring entry = settings.GetString(section, EntryName(i), std::wstring_view());
        if (entry.empty()) break;
        entries.push_back(std::move(entry));
    }
    return entries;
}

void SaveHistory(platform::SettingsStore& settings, std::string_view section,
                 const std::vector<std::wstring>& entries) {
    std::size_t i = 0;
    for (const std::wstring& entry : entries)
        settings.WriteString(section, EntryName(i++), std::wstring_view(entry));
    settings.WriteString(section, EntryName(i), std::wstring_view());
}

void AddToHistory(platform::SettingsStore& settings, std::string_view section,
                  std::wstring_view text) {
    if (text.empty() || section.empty()) return;
    std::vector<std::wstring> entries = LoadHistory(settings, section);
    std::erase(entries, std::wstring(text));
    entries.insert(entries.begin(), std::wstring(text));
    SaveHistory(settings, section, entries);
}

}  // namespace core
