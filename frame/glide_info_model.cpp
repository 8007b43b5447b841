#include "frame/glide_info_model.h"

#include <algorithm>
#include <cmath>

#include "glide/polar.h"
#include "platform/numbers.h"

namespace frame {
namespace {

constexpr float kMinWeightSquared = 0.5F;
constexpr float kMaxWeightSquared = 2.5F;
constexpr float kMaxBugsPercent = 60.0F;
constexpr float kMinGlideRatio = 1.0F;
constexpr float kMaxGlideRatio = 100.0F;

// value + d within [low, high], except that a step never moves the value
// against its direction (a value outside the range stays put).
float StepWithin(float value, float d, float low, float high) {
    const float moved = std::clamp(value + d, low, high);
    return d >= 0.0F ? std::max(value, moved) : std::min(value, moved);
}

}  // namespace

int GlideInfoModel::ModeAfter(int mode) {
    const int next = mode + 1;
    return next >= 0 && next < kModes ? next : 0;
}

void GlideInfoModel::Open(int mode, const GlideValues& values, const GlideUnits& units) {
    mode_ = mode >= 0 && mode < kModes ? mode : 0;
    values_ = values;
    units_ = units;
    switch (mode_) {
        case 0: step_ = units.unitVario == 1 ? 0.1F / 0.5145F : 0.2F; break;
        case 1: step_ = 1.0F; break;
        case 2: step_ = 0.05F; break;
        case 3: step_ = 5.0F; break;
        default: step_ = 1.0F; break;
    }
    Reshow();
}

void GlideInfoModel::Reshow() {
    switch (mode_) {
        case 0: shown_ = values_.manualMacCready * units_.varioFactor; break;
        case 1: shown_ = values_.windSpeed * units_.speedFactor; break;
        case 2: shown_ = values_.weightFactor * values_.weightFactor; break;
        case 3: shown_ = glide::BugsPercent(values_.bugsFactor); break;
        default: shown_ = values_.glideRatio; break;
    }
}

unsigned GlideInfoModel::StepSelectedValue(int delta) {
    const float d = static_cast<float>(delta) * step_;
    unsigned change = kGlideNoChange;
    switch (mode_) {
        case 0:
            values_.manualMacCready = StepWithin(values_.manualMacCready, d, 0.0F, HUGE_VALF);
            change = kGlideMacCready;
            break;
        case 1:
            values_.windSpeed = StepWithin(values_.windSpeed, d, 0.0F, HUGE_VALF);
            windChanged_ = true;
            change = kGlideWind;
            break;
        case 2: {
            const float squared = values_.weightFactor * values_.weightFactor;
            const float stepped = StepWithin(squared, d, kMinWeightSquared, kMaxWeightSquared);
            if (stepped != squared) values_.weightFactor = std::sqrt(stepped);
            change = kGlidePolar;
            break;
        }
        case 3: {
            const float percent = glide::BugsPercent(values_.bugsFactor);
            const float stepped = StepWithin(percent, d, 0.0F, kMaxBugsPercent);
            if (stepped != percent) values_.bugsFactor = glide::BugsFactorFromPercent(stepped);
            change = kGlidePolar;
            break;
        }
        default:
            values_.glideRatio = StepWithin(values_.glideRatio, d, kMinGlideRatio, kMaxGlideRatio);
            change = kGlideRatio;
            break;
    }
    Reshow();
    return change;
}

void GlideInfoModel::TurnWind(float degrees) {
    float direction = std::fmod(values_.windDirection + degrees, 360.0F);
    if (direction < 0.0F) direction += 360.0F;
    values_.windDirection = direction;
    windChanged_ = true;
}

unsigned GlideInfoModel::HandleTap(int x, int y) {
    if (x >= 41 && x <= 129) {
        const unsigned format = windChanged_ ? kGlideFormatWind : kGlideNoChange;
        windChanged_ = false;
        return kGlideNextMode | format;
    }
    if (x < 131) return kGlideNoChange;
    if (mode_ == 1) {
        if (y == 21) return kGlideNoChange;
        TurnWind(y < 21 ? 10.0F : -10.0F);
        return kGlideWind;
    }
    if (mode_ == 0 && values_.autoMacCready) {
        values_.autoMacCready = !*values_.autoMacCready;
        return kGlideAutoMacCready;
    }
    return kGlideNoChange;
}

unsigned GlideInfoModel::Close() {
    const bool changed = windChanged_;
    windChanged_ = false;
    return changed ? kGlideFormatWind : kGlideNoChange;
}

std::wstring GlideInfoModel::Line() const {
    switch (mode_) {
        case 0:
            if (!values_.autoMacCready) return platform::FormatC(L" MC  %0.1f", shown_);
            return platform::FormatC(*values_.autoMacCready ? L" MC  %0.1f   A" : L" MC  %0.1f   M",
                                     shown_);
        case 1:
            return platform::FormatC(shown_ >= 10.0F ? L"Wnd %0.0f @ %0.0f" : L"Wnd %0.1f @ %0.0f",
                                     shown_, values_.windDirection);
        case 2: return platform::FormatC(L" WGT x %0.2f", shown_);
        case 3: return platform::FormatC(L" BGS %% %0.0f", shown_);
        default: return platform::FormatC(L" L/D  %0.0f", shown_);
    }
}

}  // namespace frame
