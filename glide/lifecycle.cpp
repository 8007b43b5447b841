#include "glide/lifecycle.h"

namespace glide {

// The team code, the display texts and the wind estimator fill these in;
// until then their built-in values stand.
void LoadTeamSettings() {}
void InitDisplayTexts() {}
void SetWindEstimatorWindow(platform::WindowId /*window*/) {}
void LoadWindEstimatorSettings() {}
void SaveWindEstimatorSettings() {}
void FreeWindResults() {}

}  // namespace glide
