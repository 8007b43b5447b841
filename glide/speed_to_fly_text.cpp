#include "glide/speed_to_fly_text.h"

#include <mutex>
#include <string>
#include <utility>

#include "core/settings_values.h"
#include "glide/speed_to_fly.h"
#include "platform/numbers.h"
#include "texts/display_texts.h"
#include "texts/display_units.h"

namespace glide {
namespace {

std::mutex g_sourceMutex;
SpeedToFlyCourseSource g_source;

std::optional<SpeedToFlyCourses> Courses() {
    SpeedToFlyCourseSource source;
    {
        const std::lock_guard lock(g_sourceMutex);
        source = g_source;
    }
    if (!source) return std::nullopt;
    return source();
}

std::wstring FormatSpeedText(float speed, bool windAllowedFor) {
    if (!(speed >= 1.0F)) return L"v: ---";
    const DisplayUnit unit = CurrentSpeedUnit();
    std::wstring text = platform::FormatC(L"v:%01.0f%ls", static_cast<double>(speed * unit.factor),
                                          std::wstring(unit.name).c_str());
    if (windAllowedFor) text[1] = L'>';
    return text;
}

}  // namespace

void SetSpeedToFlyCourseSource(SpeedToFlyCourseSource source) {
    const std::lock_guard lock(g_sourceMutex);
    g_source = std::move(source);
}

bool SpeedToFlyCourseSourceInstalled() {
    const std::lock_guard lock(g_sourceMutex);
    return static_cast<bool>(g_source);
}

void SpeedToFlyText(float macCready) {
    const auto courses = Courses();
    if (!courses) return;
    const GlideContext context = CurrentGlideContext();
    const bool windCorrection = core::g_windCorrection != 0;

    if (!courses->autoDetect) {
        const float speed =
            courses->course
                ? SpeedToFlyForCourse(context, *courses->course, macCready, windCorrection).speed
                : SpeedToFlyForCourse(context, 0.0, macCready, false).speed;
        StfSpeed = speed;
        SpeedToFlyValueText.Set(FormatSpeedText(speed, context.wind.valid && windCorrection));
        return;
    }
    if (courses->twoLegs) {
        StfNextLegSpeed =
            SpeedToFlyForCourse(context, courses->nextLegCourse, macCready, windCorrection).speed;
    }
    if (courses->course) {
        StfSpeed = SpeedToFlyForCourse(context, *courses->course, macCready, windCorrection).speed;
    }
}

}  // namespace glide
