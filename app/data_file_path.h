#pragma once
// Where the program finds the data files it ships with (sounds and the like).

#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace app {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using UniqueFile = std::unique_ptr<std::FILE, FileCloser>;

// The first of documents folder + "KOR_VAN WinCE/" + name, documents folder
// + name, and name itself (from the working folder) that opens for reading;
// each is also found when only the case of its letters differs. Nothing when
// none opens.
std::optional<std::wstring> ResolveDataFilePath(std::wstring_view name);

}  // namespace app
