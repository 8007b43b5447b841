#include "frame/compass_settings.h"

namespace frame {

// The compass options fill this in.
void LoadCompassSettings() {}

}  // namespace frame
