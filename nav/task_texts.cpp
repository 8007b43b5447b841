#include "nav/task_texts.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "glide/settings_values.h"
#include "texts/display_texts.h"
#include "texts/display_units.h"

namespace nav {
namespace {

constexpr std::size_t kTaskLabel = 0;
constexpr std::size_t kLegLabel = 1;

double ShownValue(float value, float factor) {
    const double shown = double{value} * factor;
    return std::isfinite(shown) ? shown : 0.0;
}

}  // namespace

void WriteTaskTextWithRest(const CTask& task) {
    const glide::DisplayUnit distance = glide::CurrentDistanceUnit();
    const std::wstring label = glide::g_positionTextLabels[kTaskLabel].Get();
    const std::wstring unit(distance.name);
    const float rest = std::max(0.0F, task.totalDistance - task.distanceFlown);
    glide::TaskText.Format(L"%ls: %4.0f%ls %5.0f%ls", label.c_str(),
                           ShownValue(task.distanceFlown, distance.factor), unit.c_str(),
                           ShownValue(rest, distance.factor), unit.c_str());
}

void WriteTaskText(const CTask& task) {
    if (g_taskTextShowsRest.load() != 0) {
        WriteTaskTextWithRest(task);
        return;
    }
    const glide::DisplayUnit distance = glide::CurrentDistanceUnit();
    const glide::DisplayUnit speed = glide::CurrentSpeedUnit();
    const std::wstring label = glide::g_positionTextLabels[kTaskLabel].Get();
    glide::TaskText.Format(
        L"%ls: %4.0f%ls %5.1f%ls", label.c_str(), ShownValue(task.distanceFlown, distance.factor),
        std::wstring(distance.name).c_str(), ShownValue(task.taskSpeed, speed.factor),
        std::wstring(speed.name).c_str());
}

void WriteLegText(const CTaskPoint* target) {
    const std::wstring label = glide::g_positionTextLabels[kLegLabel].Get();
    if (target == nullptr) {
        glide::LegText.Set(label);
        return;
    }
    const glide::DisplayUnit distance = glide::CurrentDistanceUnit();
    const glide::DisplayUnit speed = glide::CurrentSpeedUnit();
    glide::LegText.Format(
        L"%ls: %4.0f%ls %5.1f%ls", label.c_str(),
        ShownValue(target->distanceFlown, distance.factor), std::wstring(distance.name).c_str(),
        ShownValue(target->legSpeed, speed.factor), std::wstring(speed.name).c_str());
}

}  // namespace nav
