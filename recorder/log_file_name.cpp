#include "recorder/log_file_name.h"

#include <algorithm>
#include <cctype>
#include <system_error>
#include <vector>

#include "platform/numbers.h"

namespace recorder {
namespace {

char DateCharacter(int value) {
    return static_cast<char>(value < 10 ? '0' + value : 'A' + (value - 10));
}

std::string Lower(std::string_view text) {
    std::string lower(text);
    std::ranges::transform(lower, lower.begin(),
                           [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower;
}

// The lower-case names of the folder's entries; none when it cannot be read.
std::vector<std::string> FolderNames(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    std::error_code error;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error)) {
        names.push_back(Lower(it->path().filename().string()));
    }
    return names;
}

// "stem" itself or "stem.<anything>".
bool HasStem(std::string_view name, std::string_view stem) {
    return name.starts_with(stem) && (name.size() == stem.size() || name[stem.size()] == '.');
}

}  // namespace

std::string IgcLogNamePrefix(const platform::SystemTime& local, std::wstring_view loggerId) {
    std::string prefix;
    prefix += DateCharacter(local.year % 10);
    prefix += DateCharacter(local.month);
    prefix += DateCharacter(local.day);
    prefix += 'X';
    for (std::size_t i = 0; i < 3; ++i)
        prefix += i < loggerId.size() ? static_cast<char>(loggerId[i] & 0xFF) : '0';
    return prefix;
}

std::string TextLogNamePrefix(const platform::SystemTime& local) {
    return platform::FormatC("%02d%02d%02d-", local.year % 100, local.month, local.day);
}

char LogIndexCharacter(int n) {
    if (n < 10) return static_cast<char>('0' + std::max(n, 0));
    return static_cast<char>('A' + std::min(n - 10, 'Z' - 'A'));
}

std::string ProposeLogName(const std::filesystem::path& folder, std::string_view prefix) {
    const std::vector<std::string> names = FolderNames(folder);
    const std::string lowerPrefix = Lower(prefix);
    int n = 1 + static_cast<int>(std::ranges::count_if(
                    names, [&](const std::string& name) { return name.starts_with(lowerPrefix); }));
    const auto taken = [&](char index) {
        const std::string stem = lowerPrefix + Lower(std::string(1, index));
        return std::ranges::any_of(names,
                                   [&](const std::string& name) { return HasStem(name, stem); });
    };
    while (LogIndexCharacter(n) != 'Z' && taken(LogIndexCharacter(n)))
        ++n;
    return std::string(prefix) + LogIndexCharacter(n);
}

std::filesystem::path LogPathForFormat(const std::filesystem::path& chosen,
                                       const std::filesystem::path& offered, bool igc) {
    const wchar_t* extension = igc ? L".igc" : L".gps";
    std::filesystem::path path = chosen;
    if (!path.filename().has_extension()) return path += extension;
    if (path.filename() == offered.filename()) path.replace_extension(extension);
    return path;
}

}  // namespace recorder
