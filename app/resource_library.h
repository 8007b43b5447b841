#pragma once
// Finding the resource bundle at start-up.

#include <functional>
#include <optional>
#include <string>

#include "platform/dynamic_library.h"

namespace app {

// Opens a library by file name (the program's folder first, then the normal
// search); the result is not open when it cannot be loaded.
using LibraryOpener = std::function<platform::DynamicLibrary(const std::string& fileName)>;

// Tries "KOR^VANresDLL.dll", then "KOR_VANresDLL.dll", each accepted only at
// version 1.3.3 (any revision). A name that loads but is not accepted is
// unloaded and "<name> is corrupt or too old" is shown; a first name that
// does not load shows nothing; when the second does not load, "Cannot find
// KOR_VANresDLL.dll" is shown. The accepted library, or nothing when
// start-up has to end.
std::optional<platform::DynamicLibrary> LoadResourceLibrary(const LibraryOpener& open);

// The same from beside the program.
std::optional<platform::DynamicLibrary> LoadResourceLibrary();

}  // namespace app
