#pragma once
// The program's folder and the libraries loaded from beside it, the user's
// documents folder, and the version texts of the program and its libraries.

#include <optional>
#include <string>
#include <string_view>

#include "platform/dynamic_library.h"

namespace core {

// The folder where the program keeps the user's files, ending in '/'. Set by
// InitDocumentsFolder at start-up, before any worker thread runs; read-only
// after that.
extern std::wstring g_documentsFolder;

// The string resource that names the documents folder when the system
// cannot tell.
inline constexpr unsigned kIdsDocumentsFolder = 2511;

// The folder of the program file, ending in '/'; empty when it cannot be had.
std::wstring GetExeFolder();

// The library of that file name in the program's folder, else the bare name
// through the normal library search; not open when neither loads.
platform::DynamicLibrary LoadLibraryBesideExe(std::wstring_view fileName);

// Sets g_documentsFolder to string resource 2511 (when the string table has
// it), then to the user's documents folder when the system names one.
void InitDocumentsFolder();

// The version the library reports; nothing when it reports none.
std::optional<platform::ModuleVersion> GetModuleFileVersion(const platform::DynamicLibrary& module);

// "major.minor.build.revision", or an empty text when the library reports no
// version.
std::wstring GetModuleVersionText(const platform::DynamicLibrary& module);

// The program's own version and its text.
platform::ModuleVersion GetProgramVersion();
std::wstring GetProgramVersionText();

}  // namespace core
