#include "recorder/flarm_sounds.h"

namespace recorder {

// The FLARM binding fills this in.
void SetSoundPaths(std::wstring_view /*folder*/) {}

}  // namespace recorder
