#pragma once
// A remembered list of texts in a settings section: values "Entry0",
// "Entry1", ... The list ends at the first absent or empty entry, and a
// saved list writes an empty entry after its last, so entries left from a
// longer list are never read back.

#include <string>
#include <string_view>
#include <vector>

#include "platform/settings_store.h"

namespace core {

std::vector<std::wstring> LoadHistory(const platform::SettingsStore& settings,
                                      std::string_view section);
void SaveHistory(platform::SettingsStore& settings, std::string_view section,
                 const std::vector<std::wstring>& entries);
// Puts text first (once) and saves the list; nothing for an empty text.
void AddToHistory(platform::SettingsStore& settings, std::string_view section,
                  std::wstring_view text);

}  // namespace core
