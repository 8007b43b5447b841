#include "services/module_services.h"

#include "platform/paths.h"
#include "platform/utf.h"
#include "services/string_resources.h"

// The build defines the program's version (the project version and its
// revision number).
#if !defined(KV_VERSION_MAJOR) || !defined(KV_VERSION_MINOR) || !defined(KV_VERSION_BUILD) || \
    !defined(KV_VERSION_REVISION)
#error \
    "KV_VERSION_MAJOR, KV_VERSION_MINOR, KV_VERSION_BUILD and KV_VERSION_REVISION must be defined"
#endif

namespace core {

std::wstring g_documentsFolder = L"/My Documents/";

namespace {

std::wstring WithTrailingSlash(std::wstring folder) {
    if (!folder.ends_with(L'/')) folder += L'/';
    return folder;
}

std::wstring VersionText(const platform::ModuleVersion& version) {
    return std::to_wstring(version.major) + L'.' + std::to_wstring(version.minor) + L'.' +
           std::to_wstring(version.build) + L'.' + std::to_wstring(version.revision);
}

}  // namespace

std::wstring GetExeFolder() {
    const auto folder = platform::ExecutableFolder();
    return folder.empty() ? std::wstring() : WithTrailingSlash(platform::FromUtf8(folder.string()));
}

platform::DynamicLibrary LoadLibraryBesideExe(std::wstring_view fileName) {
    return platform::DynamicLibrary::OpenBesideExecutable(platform::ToUtf8(fileName));
}

void InitDocumentsFolder() {
    // An empty text would turn every document name into a name relative to
    // the working folder: keep the folder we have instead.
    if (const std::wstring fromTable = LoadResourceString(kIdsDocumentsFolder);
        !fromTable.empty()) {
        g_documentsFolder = WithTrailingSlash(platform::NormalisePath(fromTable));
    }
    if (const auto documents = platform::DocumentsFolder(); !documents.empty()) {
        g_documentsFolder = WithTrailingSlash(platform::FromUtf8(documents.string()));
    }
}

std::optional<platform::ModuleVersion> GetModuleFileVersion(
    const platform::DynamicLibrary& module) {
    return module.Version();
}

std::wstring GetModuleVersionText(const platform::DynamicLibrary& module) {
    const auto version = GetModuleFileVersion(module);
    return version ? VersionText(*version) : std::wstring();
}

platform::ModuleVersion GetProgramVersion() {
    return {KV_VERSION_MAJOR, KV_VERSION_MINOR, KV_VERSION_BUILD, KV_VERSION_REVISION};
}

std::wstring GetProgramVersionText() {
    return VersionText(GetProgramVersion());
}

}  // namespace core
