#include "glide/polar.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>
#include <string>

#include "glide/polar_file.h"
#include "platform/message_box.h"
#include "platform/numbers.h"
#include "platform/settings_store.h"
#include "resources/ids/strings_files.h"
#include "services/string_resources.h"

namespace glide {
namespace {

constexpr const char* kPolars = "Settings\\Polars";
constexpr const char* kVario = "Settings\\Vario";
// The start-up message around the polar file's name.
using ids::kIdsPolarFitFailedBefore;
using ids::kIdsPolarFitFailedAfter;

PolarSettings& Settings() {
    static PolarSettings settings;
    return settings;
}

void Scale(PolarSettings& s) {
    const float w = s.weightFactor;
    const float b = s.bugsFactor;
    GlidePolar& polar = s.inUse;
    polar.a = s.a0 * w * b;
    polar.b = s.b0 * b;
    polar.c = s.c0 / w * b;
    polar.minimumSpeed = s.minimumSpeedBase * w;
    polar.minimumSpeedSink = s.minimumSpeedSinkBase * w * b;
    polar.bestGlideSpeed = s.bestGlideSpeedBase * w;
}

int ReadPolarInt(std::string_view section, std::string_view name, int defaultValue) {
    return static_cast<std::int32_t>(
        platform::AppSettings().GetInt(section, name, static_cast<std::uint32_t>(defaultValue)));
}

// A number stored as text ("%f"); nothing when it does not read as one.
std::optional<float> ReadNumberText(std::string_view name, std::wstring_view defaultText) {
    const std::wstring text = platform::AppSettings().GetString(kPolars, name, defaultText);
    const auto value = platform::ScanFloat(text);
    if (!value) return std::nullopt;
    return value->value;
}

// "WeightFactor" is the weight ratio; W is its square root. A ratio that is
// not a positive number counts as 1.
float ReadWeightFactor() {
    const float ratio = ReadNumberText("WeightFactor", L"1").value_or(1.0F);
    return ratio > 0.0F && std::isfinite(ratio) ? std::sqrt(ratio) : 1.0F;
}

void TellPolarFailed(const std::wstring& fileName) {
    const std::wstring text = core::LoadResourceString(kIdsPolarFitFailedBefore) + fileName +
                              core::LoadResourceString(kIdsPolarFitFailedAfter);
    platform::ShowMessageBox(nullptr, text, L"",
                             platform::mb::kTopmost | platform::mb::kIconExclamation);
}

}  // namespace

GlidePolar CurrentPolar() {
    const platform::CriticalSectionLock lock(PolarLock);
    return Settings().inUse;
}

PolarSettings CurrentPolarSettings() {
    const platform::CriticalSectionLock lock(PolarLock);
    return Settings();
}

void ChangePolarSettings(const std::function<void(PolarSettings&)>& change) {
    const platform::CriticalSectionLock lock(PolarLock);
    change(Settings());
}

void SetWeightFactor(float weightFactor) {
    ChangePolarSettings([weightFactor](PolarSettings& s) { s.weightFactor = weightFactor; });
}

void SetBugsFactor(float bugsFactor) {
    ChangePolarSettings([bugsFactor](PolarSettings& s) { s.bugsFactor = bugsFactor; });
}

float BugsFactorFromPercent(float percent) {
    return 1.0F / (1.0F - std::clamp(percent, 0.0F, 99.0F) / 100.0F);
}

float BugsPercent(float bugsFactor) {
    return bugsFactor >= 1.0F ? 100.0F - 100.0F / bugsFactor : 0.0F;
}

void ScalePolar() {
    ChangePolarSettings(Scale);
}

void LoadPolarSettings() {
    const PolarSettings held = CurrentPolarSettings();
    const int useBallastSetting =
        ReadPolarInt(kPolars, "UseBallastSetting", held.useBallastSetting);
    const std::wstring fileName = platform::AppSettings().GetString(kPolars, "Filename", L"");
    bool usePolar = ReadPolarInt(kPolars, "UsePolar", 0) != 0;
    ChangePolarSettings([&](PolarSettings& s) {
        s.useBallastSetting = useBallastSetting;
        s.fileName = fileName;
    });

    if (fileName.empty()) {
        usePolar = false;
        ChangePolarSettings([](PolarSettings& s) { s.inUse.valid = false; });
    } else if (!FitPolar(fileName) && usePolar) {
        TellPolarFailed(fileName);
        usePolar = false;
        platform::AppSettings().WriteInt(kPolars, "UsePolar", 0);
    }

    const int ballastPercent = ReadPolarInt(
        kPolars, "BallastRatio", static_cast<int>(std::lround(held.ballastRatio * 100.0F)));
    const float weightFactor = ReadWeightFactor();
    // A glide ratio of 0 or below would divide every altitude by it.
    float glideRatio = ReadNumberText("GlideRatio", L"20").value_or(20.0F);
    if (!(glideRatio > 0.0F)) glideRatio = 20.0F;
    const int averageSeconds = ReadPolarInt(
        kVario, "AvgTime", static_cast<int>(std::lround(held.varioAverageTime * 3600.0F)));
    ChangePolarSettings([&](PolarSettings& s) {
        s.inUse.usePolar = usePolar;
        s.ballastRatio = static_cast<float>(ballastPercent) / 100.0F;
        s.weightFactor = weightFactor;
        s.inUse.glideRatio = glideRatio;
        s.varioAverageTime = static_cast<float>(averageSeconds) / 3600.0F;
        Scale(s);
    });
}

}  // namespace glide
