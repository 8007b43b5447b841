#pragma once
// The wind settings' start-up.

namespace frame {

// Reads how and when the wind is estimated.
void LoadWindSettings();

}  // namespace frame
