#include "app/data_file_path.h"

#include <array>
#include <filesystem>
#include <system_error>

#include "platform/paths.h"
#include "platform/utf.h"
#include "services/module_services.h"

namespace app {
namespace {

// The file as it is on disk, when it opens for reading.
std::optional<std::filesystem::path> OpenableFile(const std::wstring& candidate) {
    const std::filesystem::path path = platform::ResolveDataFilePath(platform::ToUtf8(candidate));
    const UniqueFile file(std::fopen(path.c_str(), "rb"));
    std::error_code error;
    if (file == nullptr || std::filesystem::is_directory(path, error)) return std::nullopt;
    return path;
}

}  // namespace

std::optional<std::wstring> ResolveDataFilePath(std::wstring_view name) {
    const std::wstring& documents = core::g_documentsFolder;
    const std::array<std::wstring, 3> candidates{documents + L"KOR_VAN WinCE/" + std::wstring(name),
                                                 documents + std::wstring(name),
                                                 std::wstring(name)};
    for (const std::wstring& candidate : candidates) {
        if (const auto path = OpenableFile(candidate)) return platform::FromUtf8(path->string());
    }
    return std::nullopt;
}

}  // namespace app
