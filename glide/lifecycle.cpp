#include "glide/lifecycle.h"

#include "glide/wind_estimation.h"
#include "glide/wind_history.h"
#include "platform/settings_store.h"

namespace glide {

// The display texts fill this in; until then their built-in values stand.
void InitDisplayTexts() {}

void SetWindEstimatorWindow(platform::WindowId window) {
    g_windEstimator.SetNotifyWindow(window);
}

void LoadWindEstimatorSettings() {
    g_windEstimator.LoadSettings(platform::AppSettings());
}

void SaveWindEstimatorSettings() {
    g_windEstimator.StopFits();
    g_windEstimator.SaveSettings(platform::AppSettings());
}

void FreeWindResults() {
    ClearWindHistory();
}

}  // namespace glide
