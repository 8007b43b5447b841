#pragma once
// The FLARM library's sounds.

#include <string_view>

namespace recorder {

// Tells the FLARM library where its sound files are (a folder ending in
// '/'); nothing while FLARM support is off.
void SetSoundPaths(std::wstring_view folder);

}  // namespace recorder
