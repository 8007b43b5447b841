#include "platform/paths.h"

#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <system_error>
#include <vector>

namespace platform {
namespace fs = std::filesystem;

namespace {

bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [&](char x, char y) { return lower(x) == lower(y); });
}

bool Exists(const fs::path& path) {
    std::error_code error;
    return fs::symlink_status(path, error).type() != fs::file_type::not_found && !error;
}

const char* Environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0' ? value : nullptr;
}

// The quoted value of a user-dirs.dirs line, "$HOME/..." or "/...", with the
// home folder put in; nothing for any other form.
std::optional<fs::path> ParseUserDirValue(std::string_view text, const fs::path& home) {
    if (text.empty() || text.front() != '"') return std::nullopt;
    std::string value;
    bool closed = false;
    for (std::size_t i = 1; i < text.size(); ++i) {
        if (text[i] == '"') {
            closed = true;
            break;
        }
        if (text[i] == '\\' && i + 1 < text.size()) ++i;
        value += text[i];
    }
    if (!closed) return std::nullopt;
    constexpr std::string_view kHome = "$HOME";
    if (value.starts_with(kHome)) {
        const std::string_view rest = std::string_view(value).substr(kHome.size());
        if (!rest.empty() && rest.front() != '/') return std::nullopt;
        const fs::path below = fs::path(rest).relative_path();
        return below.empty() ? home : home / below;
    }
    if (value.starts_with('/')) return fs::path(value);
    return std::nullopt;
}

// XDG_DOCUMENTS_DIR as the file sets it (the last assignment counts).
std::optional<fs::path> UserDocumentsDir(const fs::path& home) {
    std::ifstream file(ConfigFolder() / "user-dirs.dirs");
    constexpr std::string_view kName = "XDG_DOCUMENTS_DIR";
    std::optional<fs::path> found;
    for (std::string line; std::getline(file, line);) {
        std::string_view rest = line;
        rest.remove_prefix(std::min(rest.find_first_not_of(" \t"), rest.size()));
        if (!rest.starts_with(kName)) continue;
        rest.remove_prefix(kName.size());
        rest.remove_prefix(std::min(rest.find_first_not_of(" \t"), rest.size()));
        if (!rest.starts_with('=')) continue;
        rest.remove_prefix(1);
        rest.remove_prefix(std::min(rest.find_first_not_of(" \t"), rest.size()));
        if (auto value = ParseUserDirValue(rest, home)) found = std::move(value);
    }
    return found;
}

}  // namespace

fs::path ExecutablePath() {
    std::error_code error;
    fs::path path = fs::read_symlink("/proc/self/exe", error);
    return error ? fs::path() : path;
}

fs::path ExecutableFolder() {
    return ExecutablePath().parent_path();
}

fs::path HomeFolder() {
    if (const char* home = Environment("HOME")) return home;
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* result = nullptr;
    if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &result) == 0 &&
        result != nullptr && result->pw_dir != nullptr) {
        return result->pw_dir;
    }
    return {};
}

fs::path ConfigFolder() {
    const char* configHome = Environment("XDG_CONFIG_HOME");
    if (configHome != nullptr && fs::path(configHome).is_absolute()) return configHome;
    const fs::path home = HomeFolder();
    return (home.empty() ? fs::path("/") : home) / ".config";
}

fs::path DocumentsFolder() {
    const fs::path home = HomeFolder();
    if (auto configured = UserDocumentsDir(home)) return *configured;
    std::error_code error;
    if (fs::path documents = home / "Documents";
        !home.empty() && fs::is_directory(documents, error)) {
        return documents;
    }
    return home;
}

std::string NormalisePath(std::string_view path) {
    std::string result(path);
    std::replace(result.begin(), result.end(), '\\', '/');
    return result;
}

std::wstring NormalisePath(std::wstring_view path) {
    std::wstring result(path);
    std::replace(result.begin(), result.end(), L'\\', L'/');
    return result;
}

fs::path FindCaseInsensitive(const fs::path& folder, std::string_view name) {
    if (name.empty() || name.find('/') != std::string_view::npos) return {};
    if (fs::path exact = folder / name; Exists(exact)) return exact;
    std::error_code error;
    std::optional<std::string> best;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        std::string entry = it->path().filename().string();
        if (EqualIgnoringAsciiCase(entry, name) && (!best || entry < *best))
            best = std::move(entry);
    }
    return best ? folder / *best : fs::path();
}

fs::path ResolveDataFilePath(std::string_view path) {
    const fs::path written = NormalisePath(path);
    fs::path resolved = written.root_path();
    for (const fs::path& component : written.relative_path()) {
        const std::string name = component.string();
        fs::path next = resolved / component;
        if (name.empty() || name == "." || name == ".." || Exists(next)) {
            resolved = std::move(next);
            continue;
        }
        const fs::path found =
            FindCaseInsensitive(resolved.empty() ? fs::path(".") : resolved, name);
        if (found.empty()) return written;
        resolved /= found.filename();
    }
    return resolved;
}

}  // namespace platform
