#include "recorder/flarm_sounds.h"

#include <string>

#include "services/flarm_library.h"

namespace recorder {

void SetSoundPaths(std::wstring_view folder) {
    if (!FlarmPresent() || core::g_flarm.setSoundPaths == nullptr) return;
    const std::wstring terminated(folder);
    core::g_flarm.setSoundPaths(terminated.c_str());
}

}  // namespace recorder
