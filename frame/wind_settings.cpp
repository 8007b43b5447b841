#include "frame/wind_settings.h"

namespace frame {

// The wind options fill this in.
void LoadWindSettings() {}

}  // namespace frame
