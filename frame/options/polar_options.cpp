#include "frame/options/polar_options.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>

#include "core/settings_values.h"
#include "glide/polar.h"
#include "glide/polar_file.h"
#include "glide/settings_values.h"
#include "glide/speed_to_fly_text.h"
#include "gps/nav_fix.h"
#include "platform/message_box.h"
#include "platform/numbers.h"
#include "resources/ids/strings_files.h"
#include "resources/ids/strings_options.h"
#include "services/string_resources.h"

namespace frame {
namespace {

constexpr char kPolars[] = "Settings\\Polars";
using ids::kIdsNoPolarFileCaption;
using ids::kIdsNoPolarFile;
using ids::kIdsPolarFitFailedBefore;
using ids::kIdsPolarFitFailedAfter;

constexpr unsigned kBoxStyle = platform::mb::kOk | platform::mb::kIconExclamation | platform::mb::kTopmost;

float RoundPolarTo(float value, float step) {
    return std::floor(value / step + 0.5F) * step;
}

bool FileExists(const std::wstring& name) {
    std::error_code error;
    return !name.empty() && std::filesystem::is_regular_file(std::filesystem::path(name), error);
}

}  // namespace

PolarOptions PolarOptions::FromRunning() {
    const glide::PolarSettings s = glide::CurrentPolarSettings();
    PolarOptions o;
    o.fileName = s.fileName;
    o.usePolar = s.inUse.usePolar && !s.fileName.empty() ? 1 : 0;
    o.glideRatio = s.inUse.glideRatio;
    o.weightFactor = RoundPolarTo(s.weightFactor * s.weightFactor, 0.01F);
    o.averageSeconds = static_cast<int>(std::lround(s.varioAverageTime * 3600.0F));
    o.useBallastSetting = s.useBallastSetting;
    o.bugsPercent = static_cast<int>(std::lround(glide::BugsPercent(s.bugsFactor)));
    o.ballastPercent = std::round(s.ballastRatio * 100.0F);
    return o;
}

void PolarOptions::Apply(platform::SettingsStore& store, ViewLink& views) const {
    const PolarOptions shown = FromRunning();
    const glide::PolarSettings running = glide::CurrentPolarSettings();

    int selected = usePolar;
    std::wstring name = fileName;
    if (!FileExists(name)) {
        if (selected != 0) {
            platform::ShowMessageBox(nullptr, core::LoadResourceString(kIdsNoPolarFile),
                                     core::LoadResourceString(kIdsNoPolarFileCaption), kBoxStyle);
        }
        selected = 0;
        name.clear();
    }
    // Every apply fits again: the file may have been edited since.
    const bool fitted = glide::FitPolar(name);
    if (!fitted && selected != 0) {
        platform::ShowMessageBox(nullptr,
                                 core::LoadResourceString(kIdsPolarFitFailedBefore) + name +
                                     core::LoadResourceString(kIdsPolarFitFailedAfter),
                                 L"", kBoxStyle);
    }
    const bool inUse = fitted && selected != 0;

    const float ballast = ballastPercent != shown.ballastPercent ? ballastPercent / 100.0F : running.ballastRatio;
    const float averageHours = averageSeconds != shown.averageSeconds ? static_cast<float>(averageSeconds) / 3600.0F
                                                                      : running.varioAverageTime;
    const float bugs = bugsPercent != shown.bugsPercent ? glide::BugsFactorFromPercent(static_cast<float>(bugsPercent))
                                                        : running.bugsFactor;
    const float ratio = glideRatio != shown.glideRatio ? glideRatio : running.inUse.glideRatio;
    float weight = running.weightFactor;
    const bool instrumentBallast =
        useBallastSetting != 0 && gps::CurrentNav()->ballastFromInstrument;
    if (!instrumentBallast && weightFactor != shown.weightFactor) weight = std::sqrt(weightFactor);

    glide::ChangePolarSettings([&](glide::PolarSettings& s) {
        s.fileName = name;
        s.inUse.usePolar = inUse;
        s.useBallastSetting = useBallastSetting;
        s.ballastRatio = ballast;
        s.varioAverageTime = averageHours;
        s.bugsFactor = bugs;
        s.inUse.glideRatio = ratio;
        s.weightFactor = weight;
    });
    glide::ScalePolar();

    store.WriteInt("Settings\\Vario", "AvgTime", static_cast<std::uint32_t>(static_cast<int>(averageHours * 3600.0F + 0.5F)));
    store.WriteString(kPolars, "Filename", name);
    store.WriteInt(kPolars, "BallastRatio", static_cast<std::uint32_t>(static_cast<int>(ballast * 100.0F + 0.5F)));
    store.WriteInt(kPolars, "UsePolar", inUse ? 1U : 0U);
    store.WriteInt(kPolars, "UseBallastSetting", static_cast<std::uint32_t>(useBallastSetting));
    store.WriteString(kPolars, "GlideRatio", platform::FormatC("%2.1f", static_cast<double>(ratio)));
    store.WriteString(kPolars, "WeightFactor", platform::FormatC("%3.2f", static_cast<double>(weight * weight)));

    if (views.GlideModeIndicator() != 5) {
        views.SetGlideModeIndicator(!inUse ? 7 : (glide::g_useConstantGlideSpeed != 0 ? 8 : 6));
    }
    glide::SpeedToFlyText(core::g_macCready);
}

int StepBugs(int percent, int steps) {
    return std::clamp(percent + 5 * steps, 0, 80);
}

}  // namespace frame
