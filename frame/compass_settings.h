#pragma once
// The compass settings' start-up.

namespace frame {

// Reads the heading-input settings and their limits.
void LoadCompassSettings();

}  // namespace frame
