#pragma once
// The program's own folder, the user's documents folder, and file names read
// from data files written on other systems: those separate folders with '\'
// and do not care about case.

#include <filesystem>
#include <string>
#include <string_view>

namespace platform {

// The running program file (/proc/self/exe); empty when it cannot be had.
std::filesystem::path ExecutablePath();

// The folder that holds the program file; empty when it cannot be had.
std::filesystem::path ExecutableFolder();

// The user's documents folder, found as xdg-user-dir DOCUMENTS finds it:
// XDG_DOCUMENTS_DIR from $XDG_CONFIG_HOME/user-dirs.dirs ($HOME/.config when
// unset), else $HOME/Documents when that folder exists, else $HOME.
std::filesystem::path DocumentsFolder();

// The home folder: $HOME, else the password database's entry; empty when
// neither gives one.
std::filesystem::path HomeFolder();

// The user's configuration folder: $XDG_CONFIG_HOME when it is an absolute
// path (a relative one is invalid and ignored), else $HOME/.config.
std::filesystem::path ConfigFolder();

// Turns every '\' into '/'.
std::string NormalisePath(std::string_view path);
std::wstring NormalisePath(std::wstring_view path);

// The entry of folder named name. When no entry has exactly that name, the
// one whose name matches ignoring ASCII case (the first in byte order when
// several do); empty when none matches.
std::filesystem::path FindCaseInsensitive(const std::filesystem::path& folder,
                                          std::string_view name);

// The existing file that a name from a data file means: '\' is taken as a
// separator and each component that does not exist as written is looked up
// ignoring case. When some component cannot be found, the normalised path
// as written is returned (and opening it fails as usual).
std::filesystem::path ResolveDataFilePath(std::string_view path);

}  // namespace platform
