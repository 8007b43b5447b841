#include "glide/lifecycle.h"

#include <string>

#include "core/settings_values.h"
#include "glide/modem_event_labels.h"
#include "glide/wind_estimation.h"
#include "glide/wind_history.h"
#include "platform/settings_store.h"
#include "resources/ids/strings_navigation.h"
#include "services/string_resources.h"
#include "texts/display_texts.h"

namespace glide {
namespace {

// The words whose first letters make the destination and glide prefixes.
using ids::kIdsToWord;
using ids::kIdsAtWord;
using ids::kIdsGlideWord;

}  // namespace

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

void InitDisplayTexts() {
    ResetDisplayTexts();
    const std::wstring to = core::LoadResourceString(kIdsToWord);
    ToPrefixText.Overwrite(0, to.substr(0, 2), 2);
    DestinationPrefixText.Overwrite(0, to.substr(0, 2), 2);
    ArrivedPrefixText.Overwrite(0, core::LoadResourceString(kIdsAtWord).substr(0, 2), 2);
    OlcDistanceText.Set(L"D: 0" + std::wstring(core::DistanceUnitName(core::g_unitDist.load())));
    const std::wstring glide = core::LoadResourceString(kIdsGlideWord);
    GlidePrefixText.Set(glide.substr(0, 1) + L":");
    LoadModemEventLabels(platform::AppSettings());
}

}  // namespace glide
