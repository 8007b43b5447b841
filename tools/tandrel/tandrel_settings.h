#pragma once
// The options Tandrel keeps between runs, in the settings store's sections
// "Boundaries", "Altitudes" and "Options" (numbers as C-locale text where
// the store has always held text). Options the dialog does not keep (the
// airspace boxes, Strict, the zero-AGL choice, the output file) are left as
// they are.

#include <filesystem>

#include "platform/settings_store.h"
#include "tools/tandrel/conversion.h"

namespace tandrel {

void LoadOptions(const platform::SettingsStore& store, TandrelOptions& options);
// Writes every kept option; false when the store could not be written.
bool SaveOptions(platform::SettingsStore& store, const TandrelOptions& options);

// Options\DafifFolder: the folder chosen when the default one lacked a file.
std::filesystem::path LoadDafifFolder(const platform::SettingsStore& store);
bool SaveDafifFolder(platform::SettingsStore& store, const std::filesystem::path& folder);

}  // namespace tandrel
