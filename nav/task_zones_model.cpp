#include "nav/task_zones_model.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <string>
#include <string_view>

#include "platform/critical_section.h"
#include "platform/numbers.h"
#include "resources/ids/strings_task_dialogs.h"
#include "resources/ids/task_point_dialog.h"
#include "services/shared_locks.h"

namespace nav {
namespace {

constexpr char kZonesSection[] = "Settings\\Task";

// Controls a refusal focuses.
using xrc::task_point_dialog::kCylinderRadius;
using xrc::task_point_dialog::kFinishRadius;
using xrc::task_point_dialog::kHasCylinder;
using xrc::task_point_dialog::kSectorRadius;
using xrc::task_point_dialog::kStartRadius;
using xrc::task_point_dialog::kTurnpoint;

// The smallest start or finish size OK accepts, in the unit shown.
constexpr float kSmallestRadius = 0.01F;

float Round(float value, float step) {
    return std::round(value / step) * step;
}

float ReadRadius(const platform::SettingsStore& store, std::string_view name) {
    const std::string text = store.GetString(kZonesSection, name, std::string_view("0.0"));
    const auto scanned = platform::ScanFloat(text);
    return scanned ? scanned->value : 0.0F;
}

void WriteRadius(platform::SettingsStore& store, std::string_view name, float km) {
    store.WriteString(kZonesSection, name, platform::FormatC("%5.2f", static_cast<double>(km)));
}

int ReadZoneInt(const platform::SettingsStore& store, std::string_view name) {
    return static_cast<int>(store.GetInt(kZonesSection, name, 0));
}

bool HasZone(const CTaskPoint& point) {
    return point.hasCylinder != 0 || point.hasSector != 0;
}

// A zone that OK refuses: no kind, or the kind chosen without a size.
std::optional<ZoneRefusal> CheckZone(const TurnpointZone& zone, int focus) {
    if (zone.hasCylinder == 0 && zone.hasSector == 0) return ZoneRefusal{focus, ids::kIdsZoneError};
    if (zone.hasCylinder != 0 && zone.cylinderRadius <= 0.0F)
        return ZoneRefusal{focus == kTurnpoint ? focus : kCylinderRadius,
                           ids::kIdsZoneError};
    if (zone.hasSector != 0 && zone.sectorRadius <= 0.0F)
        return ZoneRefusal{focus == kTurnpoint ? focus : kSectorRadius,
                           ids::kIdsZoneError};
    return std::nullopt;
}

// The size of a start or finish in km: a cylinder's or sector's radius
// (2 km when it has none), a line's half width (half of 4 km when the task
// has no width).
float ControlPointRadius(const CTaskPoint& point, float lineWidth) {
    if (point.hasCylinder != 0) return point.cylinderRadius < 0.001F ? 2.0F : point.cylinderRadius;
    if (point.hasSector != 0) return point.sectorRadius < 0.001F ? 2.0F : point.sectorRadius;
    return (lineWidth < 0.001F ? 4.0F : lineWidth) / 2.0F;
}

}  // namespace

float ShownDirection(float degrees) {
    const float shown = Round(degrees, 0.1F);
    return shown >= 360.0F ? 0.0F : shown;
}

ZoneSettings ZoneSettings::Read(const platform::SettingsStore& store, bool recorderConnected) {
    ZoneSettings s;
    s.startType = ReadZoneInt(store, "StartIsCylinder");
    s.finishType = ReadZoneInt(store, "FinishIsCylinder");
    s.transferToLogger = recorderConnected ? ReadZoneInt(store, "TransferToLogger") : 0;
    s.tptHasCylinder = ReadZoneInt(store, "TptHasCylinder");
    s.tptHasSector = ReadZoneInt(store, "TptHasSector");
    s.startRadius = ReadRadius(store, "StartRadius");
    s.finishRadius = ReadRadius(store, "FinishRadius");
    s.tptCylinderRadius = ReadRadius(store, "TptCylinderRadius");
    s.tptSectorRadius = ReadRadius(store, "TptSectorRadius");
    return s;
}

void ZoneSettings::Write(platform::SettingsStore& store) const {
    store.WriteInt(kZonesSection, "StartIsCylinder", static_cast<std::uint32_t>(startType));
    store.WriteInt(kZonesSection, "FinishIsCylinder", static_cast<std::uint32_t>(finishType));
    store.WriteInt(kZonesSection, "TransferToLogger", static_cast<std::uint32_t>(transferToLogger));
    store.WriteInt(kZonesSection, "TptHasCylinder", static_cast<std::uint32_t>(tptHasCylinder));
    store.WriteInt(kZonesSection, "TptHasSector", static_cast<std::uint32_t>(tptHasSector));
    WriteRadius(store, "StartRadius", startRadius);
    WriteRadius(store, "FinishRadius", finishRadius);
    WriteRadius(store, "TptCylinderRadius", tptCylinderRadius);
    WriteRadius(store, "TptSectorRadius", tptSectorRadius);
}

TaskZonesModel::TaskZonesModel(CTask& task, const ZoneSettings& stored, float distanceFactor)
    : task_(task), factor_(distanceFactor > 0.0F ? distanceFactor : 1.0F) {
    const platform::CriticalSectionLock lock(core::TaskLock);
    transferToLogger = stored.transferToLogger;
    startType = stored.startType;
    finishType = stored.finishType;
    startRadius = Round(stored.startRadius * factor_, 0.01F);
    finishRadius = Round(stored.finishRadius * factor_, 0.01F);
    common.hasCylinder = stored.tptHasCylinder;
    common.hasSector = stored.tptHasSector;
    common.cylinderRadius = Round(stored.tptCylinderRadius * factor_, 0.01F);
    common.sectorRadius = Round(stored.tptSectorRadius * factor_, 0.01F);

    if (const CTaskPoint* start = task.StartPoint()) {
        startType =
            start->hasCylinder != 0
                ? ((start->role & kRoleEnterCylinderBit) != 0 ? kZoneEnterCylinder : kZoneCylinder)
            : start->hasSector != 0 ? kZoneSector
                                    : kZoneLine;
        startRadius = Round(ControlPointRadius(*start, task.startLineWidth) * factor_, 0.01F);
    }
    if (const CTaskPoint* finish = task.FinishPoint()) {
        finishType = finish->hasCylinder != 0 ? kZoneCylinder
                     : finish->hasSector != 0 ? kZoneSector
                                              : kZoneLine;
        finishRadius = Round(ControlPointRadius(*finish, task.finishLineWidth) * factor_, 0.01F);
    }

    firstTurnpoint_ = 1 + (task.extraStart != 0 ? 1 : 0);
    const int count =
        task.PointCount() - 2 - (task.extraStart != 0 ? 1 : 0) - (task.extraFinish != 0 ? 1 : 0);
    bool anyWithoutZone = false;
    const CTaskPoint* firstWithZone = nullptr;
    for (int i = 0; i < count; ++i) {
        const CTaskPoint& point = *task.points[static_cast<std::size_t>(firstTurnpoint_ + i)];
        turnpoints_.push_back(ShownZone(point));
        if (!HasZone(point)) anyWithoutZone = true;
        if (firstWithZone == nullptr && HasZone(point)) firstWithZone = &point;
    }
    if (firstWithZone != nullptr) {
        common = ShownZone(*firstWithZone);
        common.notCounted = 0;
    }
    // One zone for all unless the turnpoints carry zones of their own that
    // differ, which the pilot would otherwise lose by pressing OK.
    bool allAlike = true;
    for (const TurnpointZone& zone : turnpoints_) {
        TurnpointZone alike = zone;
        alike.notCounted = 0;
        alike.sectorDirection = common.sectorDirection;
        if (!(alike == common)) allAlike = false;
    }
    sameZoneForAll = anyWithoutZone || allAlike ? 1 : 0;
    TakeDirections();
    if (sameZoneForAll != 0) SetSameZoneForAll(true);
    WriteIntoTask();
}

TurnpointZone TaskZonesModel::ShownZone(const CTaskPoint& point) const {
    TurnpointZone zone;
    zone.hasCylinder = point.hasCylinder != 0 ? 1 : 0;
    zone.hasSector = point.hasSector != 0 ? 1 : 0;
    zone.cylinderRadius = Round(point.cylinderRadius * factor_, 0.01F);
    zone.sectorRadius = Round(point.sectorRadius * factor_, 0.01F);
    zone.sectorDirection = ShownDirection(std::max(point.sectorDirection, 0.0F));
    zone.sectorAngle = std::min(Round(point.sectorAngle, 0.1F), 359.0F);
    zone.innerRadius = Round(point.sectorInnerRadius * factor_, 0.01F);
    zone.innerUsed = zone.hasSector != 0 && zone.hasCylinder == 0 && point.sectorInnerRadius > 0.0F;
    zone.sectorMode = point.sectorMode > 0 ? 1 : 0;
    zone.notCounted = point.notCounted != 0 || (point.pointKind & kKindNotCountedBit) != 0;
    return zone;
}

// The start's and the finish's directions; automatic ones (negative) are
// computed on a copy, so the task keeps its own until OK.
void TaskZonesModel::TakeDirections() {
    const CTaskPoint* start = task_.StartPoint();
    const CTaskPoint* finish = task_.FinishPoint();
    if (start == nullptr || finish == nullptr) return;
    if (start->sectorDirection >= 0.0F && finish->sectorDirection >= 0.0F) {
        startDirection = ShownDirection(start->sectorDirection);
        finishDirection = ShownDirection(finish->sectorDirection);
        return;
    }
    CTask copy(task_);
    ComputeSectorDirections(copy);
    startDirection = ShownDirection(copy.StartPoint()->sectorDirection);
    finishDirection = ShownDirection(copy.FinishPoint()->sectorDirection);
}

std::vector<std::wstring> TaskZonesModel::TurnpointNames() const {
    std::vector<std::wstring> names;
    for (int i = 0; i < TurnpointCount(); ++i)
        names.push_back(task_.points[static_cast<std::size_t>(firstTurnpoint_ + i)]->name);
    return names;
}

void TaskZonesModel::StoreTurnpoint(int i, const TurnpointZone& zone) {
    if (i < 0 || i >= TurnpointCount()) return;
    TurnpointZone& stored = turnpoints_[static_cast<std::size_t>(i)];
    const int notCounted = stored.notCounted;
    stored = zone;
    stored.notCounted = notCounted;
}

void TaskZonesModel::SetSameZoneForAll(bool on) {
    sameZoneForAll = on ? 1 : 0;
    if (!on || task_.StartPoint() == nullptr) return;
    CTask copy(task_);
    ComputeSectorDirections(copy);
    startDirection = ShownDirection(copy.StartPoint()->sectorDirection);
    finishDirection = ShownDirection(copy.FinishPoint()->sectorDirection);
    for (int i = 0; i < TurnpointCount(); ++i) {
        turnpoints_[static_cast<std::size_t>(i)].sectorDirection = ShownDirection(
            copy.points[static_cast<std::size_t>(firstTurnpoint_ + i)]->sectorDirection);
    }
}

std::optional<ZoneRefusal> TaskZonesModel::Check() const {
    if (task_.points.empty()) return ZoneRefusal{0, ids::kIdsEmptyTask};
    if (startRadius < kSmallestRadius) return ZoneRefusal{kStartRadius, 0};
    if (finishRadius < kSmallestRadius) return ZoneRefusal{kFinishRadius, 0};
    if (TurnpointCount() < 1) return std::nullopt;
    if (sameZoneForAll != 0) return CheckZone(common, kHasCylinder);
    for (const TurnpointZone& zone : turnpoints_) {
        if (auto refusal = CheckZone(zone, kTurnpoint)) return refusal;
    }
    return std::nullopt;
}

ZoneSettings TaskZonesModel::SettingsToStore() const {
    ZoneSettings s;
    s.startType = startType;
    s.finishType = finishType;
    s.transferToLogger = transferToLogger;
    s.tptHasCylinder = common.hasCylinder;
    s.tptHasSector = common.hasSector;
    s.startRadius = startRadius / factor_;
    s.finishRadius = finishRadius / factor_;
    s.tptCylinderRadius = common.cylinderRadius / factor_;
    s.tptSectorRadius = common.sectorRadius / factor_;
    return s;
}

std::optional<ZoneRefusal> TaskZonesModel::Accept(platform::SettingsStore& store) {
    if (auto refusal = Check()) return refusal;
    SettingsToStore().Write(store);
    const platform::CriticalSectionLock lock(core::TaskLock);
    WriteIntoTask();
    ComputeTaskLegs(task_, false, true, true);
    return std::nullopt;
}

void TaskZonesModel::WriteIntoTask() {
    TaskPoints& points = task_.points;
    if (points.empty()) return;
    const bool extraStart = task_.extraStart != 0 && points.size() > 1;
    CTaskPoint& first = *points.front();
    first.pointKind = kKindControlPoint;
    first.sectorMode = 0;
    first.role = extraStart ? kRoleOrdinary : kRoleStart;
    CTaskPoint& start = extraStart ? *points[1] : first;
    if (extraStart) {
        start.pointKind = kKindControlPoint;
        start.role = kRoleStart;
        start.sectorMode = 0;
    }
    const float startKm = startRadius / factor_;
    start.sectorDirection = startDirection;
    start.sectorRadius = startKm;
    start.lineHalfWidth = 0.0F;
    start.hasCylinder = 0;
    start.hasSector = 0;
    start.sectorAngle = 0.0F;
    start.cylinderRadius = startKm;
    task_.startLineWidth = 0.0F;
    task_.startIsLine = 0;
    switch (startType) {
        case kZoneLine:
            start.cylinderRadius = 0.0F;
            start.lineHalfWidth = startKm;
            task_.startLineWidth = 2.0F * startKm;
            task_.startIsLine = 1;
            break;
        case kZoneSector:
            start.hasSector = 1;
            start.sectorAngle = 90.0F;
            break;
        default:
            start.hasCylinder = 1;
            if (startType == kZoneEnterCylinder) start.role |= kRoleEnterCylinderBit;
            break;
    }

    for (int i = 0; i < TurnpointCount(); ++i) {
        CTaskPoint& point = *points[static_cast<std::size_t>(firstTurnpoint_ + i)];
        const TurnpointZone& own = turnpoints_[static_cast<std::size_t>(i)];
        const TurnpointZone& zone = sameZoneForAll != 0 ? common : own;
        const bool notCounted =
            point.notCounted != 0 || (point.pointKind & kKindNotCountedBit) != 0;
        point.pointKind = kKindTurnpoint + (notCounted ? kKindNotCountedBit : 0);
        point.role = kRoleOrdinary;
        point.lineHalfWidth = 0.0F;
        point.cylinderRadius = zone.cylinderRadius / factor_;
        point.hasCylinder = zone.hasCylinder;
        point.hasSector = zone.hasSector;
        point.sectorRadius = zone.sectorRadius / factor_;
        point.sectorAngle = zone.sectorAngle;
        point.sectorDirection = own.sectorDirection;
        if (sameZoneForAll != 0) {
            point.sectorInnerRadius = 0.0F;
            point.sectorMode = 0;
        } else {
            point.sectorInnerRadius =
                zone.innerUsed != 0 && zone.hasSector != 0 ? zone.innerRadius / factor_ : 0.0F;
            point.sectorMode = zone.sectorMode;
        }
        point.sectorMode = std::max(point.sectorMode, 0);
    }

    CTaskPoint* finish = task_.FinishPoint();
    if (finish == nullptr) finish = points.back().get();
    const float finishKm = finishRadius / factor_;
    finish->pointKind = kKindControlPoint;
    finish->role = kRoleFinish;
    finish->sectorMode = 0;
    finish->sectorDirection = finishDirection;
    finish->sectorRadius = finishKm;
    finish->lineHalfWidth = 0.0F;
    finish->hasCylinder = 0;
    finish->hasSector = 0;
    task_.finishLineWidth = 0.0F;
    task_.finishIsLine = 0;
    switch (finishType) {
        case kZoneCylinder:
            finish->hasCylinder = 1;
            finish->cylinderRadius = finishKm;
            break;
        case kZoneSector:
            finish->hasSector = 1;
            finish->sectorAngle = 90.0F;
            break;
        default:
            finish->cylinderRadius = 0.0F;
            finish->lineHalfWidth = finishKm;
            task_.finishLineWidth = 2.0F * finishKm;
            task_.finishIsLine = 1;
            break;
    }
    if (task_.extraFinish != 0 && points.size() > 1) {
        CTaskPoint& extra = *points.back();
        extra.pointKind = kKindControlPoint;
        extra.role = kRoleOrdinary;
        extra.sectorMode = 0;
    }
}

}  // namespace nav
