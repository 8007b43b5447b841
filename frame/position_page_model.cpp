#include "frame/position_page_model.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

namespace frame {
namespace {

using platform::Point;
using platform::PixelRect;

constexpr int kModeCount = 5;  // top-line and second-line modes 0-4
constexpr int kRightPart = 50;

bool InBand(const PixelRect& rect, Point at) {
    return at.y >= rect.top && at.y < rect.bottom;
}

}  // namespace

const char* SettingName(PageSetting setting) {
    switch (setting) {
        case PageSetting::kLonLatString: return "LonLatString";
        case PageSetting::kVarioString: return "VarioString";
        case PageSetting::kAltString: return "AltString";
        case PageSetting::kTogString: return "TOGstring";
        case PageSetting::kShowAltitudeDifference: return "ShowAltitudeDifference";
        case PageSetting::kWindCorrection: return "WindCorrection";
        case PageSetting::kAutoSetMacCready: return "autoSetMacCready";
        case PageSetting::kDemProfileSize: return "DEMprofileSize";
        case PageSetting::kGlideDisplayMode: return nullptr;
    }
    return nullptr;
}

PositionPageModel::PositionPageModel(PositionModes modes, SaveSetting save)
    : modes_(modes), save_(std::move(save)), layout_(ComputePositionLayout(rows_)) {
    varioBeforeCircling_ = modes_.varioString;
}

void PositionPageModel::SetRowOrigins(PositionRowOrigins rows) {
    rows_ = rows;
    layout_ = ComputePositionLayout(rows);
}

void PositionPageModel::Change(PageSetting setting, int& field, int value) {
    field = value;
    if (save_) save_(setting, value);
}

int& PositionPageModel::Field(PageSetting setting) {
    switch (setting) {
        case PageSetting::kLonLatString: return modes_.lonLatString;
        case PageSetting::kVarioString: return modes_.varioString;
        case PageSetting::kAltString: return modes_.altString;
        case PageSetting::kTogString: return modes_.togString;
        case PageSetting::kShowAltitudeDifference: return modes_.showAltitudeDifference;
        case PageSetting::kWindCorrection: return modes_.windCorrection;
        case PageSetting::kAutoSetMacCready: return modes_.autoSetMacCready;
        case PageSetting::kDemProfileSize: return modes_.demProfileSize;
        case PageSetting::kGlideDisplayMode: break;
    }
    return modes_.glideDisplayMode;
}

void PositionPageModel::SetMode(PageSetting setting, int value) {
    Change(setting, Field(setting), value);
}

void PositionPageModel::AdoptMode(PageSetting setting, int value) {
    Field(setting) = value;
}

// --- The pointer.

void PositionPageModel::Press(Point at, PageClock time) {
    pressPoint_ = at;
    if (layout_.destinationLine.Contains(at.x, at.y)) {
        pressTime_ = time;
    } else {
        pressTime_.reset();
    }
}

Gesture PositionPageModel::Release(Point at, PageClock time, const PageConditions& conditions) {
    const Point from = pressPoint_;
    const std::optional<PageClock> pressed = std::exchange(pressTime_, std::nullopt);
    const std::optional<PageClock> previous = std::exchange(lastRelease_, time);

    if (mode_ == ViewMode::kAltitudeEdit) {
        // The edit owns the page: only its second line reacts.
        const PixelRect& line = layout_.editSecondLine;
        if (!InBand(line, at)) return Gesture::kNone;
        if (at.x >= line.right - 40) {
            editFirstStatistic_ = !editFirstStatistic_;
        } else if (at.x <= line.right - 45) {
            editStartTime_ = !editStartTime_;
        } else {
            return Gesture::kNone;
        }
        return Gesture::kEditToggled;
    }
    if (mode_ == ViewMode::kProfile && (modes_.demProfileSize == 0 || at.y > layout_.separatorY)) {
        return ProfileTap(at);
    }
    if (const std::optional<Gesture> swipe = Swipe(from, at, conditions)) return *swipe;

    if (pressed && time - *pressed >= kLongPress && layout_.destinationLine.Contains(at.x, at.y)) {
        return Gesture::kShowAttachments;
    }
    const bool soonAfterLast = previous && time - *previous <= kTapInterval;
    if (soonAfterLast || conditions.doubleClickOption) return Gesture::kNone;
    return Gesture::kTap;
}

Gesture PositionPageModel::ProfileTap(Point at) {
    const PixelRect& line = layout_.destinationLine;
    if (line.Contains(at.x, at.y) && at.x > line.left + 2 * line.Width() / 3) {
        SetMode(PageSetting::kDemProfileSize, modes_.demProfileSize == 0 ? 1 : 0);
        return Gesture::kProfileSizeToggled;
    }
    mode_ = ViewMode::kFields;
    return Gesture::kProfileClosed;
}

std::optional<Gesture> PositionPageModel::Swipe(Point from, Point to,
                                                const PageConditions& conditions) const {
    const PixelRect& destination = layout_.destinationLine;
    const int dx = to.x - from.x;
    const int dy = to.y - from.y;
    const int width = destination.Width();

    const int swipeHeight = destination.Height() + layout_.secondLine.Height();
    if (from.y > destination.top - 5 && 7 * std::abs(dy) > 4 * swipeHeight &&
        5 * std::abs(dx) < width) {
        return Gesture::kShowProfile;
    }
    const bool withinWidth = from.x >= destination.left && from.x < destination.right &&
                             to.x >= destination.left && to.x < destination.right;
    const auto upperBand = [&](Point p) {
        return p.y >= layout_.topLine.top && p.y < layout_.secondLine.bottom;
    };
    if (withinWidth && 2 * std::abs(dx) > width && upperBand(from) && upperBand(to)) {
        return Gesture::kOpenGlidePanel;
    }
    if (!destination.Contains(from.x, from.y)) return std::nullopt;
    const bool startsRight = 3 * (from.x - destination.left) > 2 * width;
    const bool startsLeft = 5 * (from.x - destination.left) < 2 * width;
    const bool endsLeft = 5 * (to.x - destination.left) < 2 * width;
    const bool endsRight = 3 * (to.x - destination.left) > 2 * width;
    if (conditions.taskFlown && startsRight && endsLeft) return Gesture::kAskNextPoint;
    if (conditions.destinationEditable && startsLeft && endsRight) {
        return Gesture::kOpenAltitudeEdit;
    }
    return std::nullopt;
}

bool PositionPageModel::DoubleClick(const PageConditions& conditions) {
    if (mode_ == ViewMode::kProfile) {
        mode_ = ViewMode::kFields;
        return false;
    }
    return mode_ == ViewMode::kFields && conditions.doubleClickOption;
}

Gesture PositionPageModel::ReplayKey(int key, const PageConditions& conditions) const {
    if (!conditions.taskFlown) return Gesture::kNone;
    if (key == 15) return Gesture::kAskNextPoint;
    if (key == 19 && conditions.destinationEditable) return Gesture::kOpenAltitudeEdit;
    return Gesture::kNone;
}

// --- The fields.

int PositionPageModel::NextCyclingIndex(int index, const PageConditions& conditions) {
    const int count = kCyclingLastIndex + 1;
    const int start = index >= 0 && index < count ? index : 0;
    for (int k = 1; k <= count; ++k) {
        const int candidate = (start + k) % count;
        if (candidate == kCyclingTemperature && !conditions.temperatureSource) continue;
        if (conditions.showQueue[static_cast<std::size_t>(candidate)] == 0) continue;
        return candidate;
    }
    return 0;
}

void PositionPageModel::AdvanceCyclingOnPaint(const PageConditions& conditions) {
    // Not stored: a paint must not write the settings file.
    if (conditions.altStringCycling) {
        modes_.altString = NextCyclingIndex(modes_.altString, conditions);
    }
}

int PositionPageModel::TopLineMode(const PageConditions& conditions) const {
    int mode = modes_.lonLatString;
    if (mode < 0 || mode >= kModeCount) mode = 0;
    if (mode == 4 && !conditions.teamCodeEnabled) mode = 0;
    if (mode == 2 && !conditions.taskNavigation) mode = 3;
    return mode;
}

int PositionPageModel::SecondLineMode(const PageConditions& conditions) {
    if (conditions.thermalMode) return 1;
    int mode = modes_.varioString;
    if (mode < 0 || mode >= kModeCount) mode = 0;
    if (mode == 3 && !conditions.instrumentData) {
        SetMode(PageSetting::kVarioString, 0);
        mode = 0;
    }
    if (mode == 4 && !conditions.taskNavigation) mode = 0;
    return mode;
}

bool PositionPageModel::TeamButtonWanted(const PageConditions& conditions) const {
    return mode_ == ViewMode::kFields && !conditions.thermalMode && TopLineMode(conditions) == 4;
}

FieldAction PositionPageModel::CycleFieldMode(Point at, const PageConditions& conditions) {
    if (mode_ == ViewMode::kAltitudeEdit) {
        if (at.x != 8) return FieldAction::kNone;
        return at.y < 20 ? FieldAction::kMacCreadyUp : FieldAction::kMacCreadyDown;
    }
    if (mode_ == ViewMode::kProfile && modes_.demProfileSize != 0 && at.y > layout_.separatorY) {
        return FieldAction::kNone;
    }
    if (InBand(layout_.glideLine, at)) return CycleGlideLine(at, conditions);
    if (InBand(layout_.secondLine, at)) return CycleSecondLine(at, conditions);
    if (InBand(layout_.topLine, at)) return CycleTopLine(at, conditions);
    if (InBand(layout_.destinationLine, at)) return CycleDestinationLine(at, conditions);
    return FieldAction::kNone;
}

FieldAction PositionPageModel::CycleGlideLine(Point at, const PageConditions& conditions) {
    const PixelRect& line = layout_.glideLine;
    if (at.x > line.right - kRightPart) {
        SetMode(PageSetting::kShowAltitudeDifference, modes_.showAltitudeDifference == 0 ? 1 : 0);
        return FieldAction::kRepaint;
    }
    if (at.x > 75) {
        const bool macCreadyUsable =
            conditions.usePolar && conditions.finalGlideMcKnown &&
            (conditions.destinationExists ||
             (conditions.taskNavigation && conditions.autodetectPrompt));
        int variant = modes_.glideDisplayMode;
        for (int k = 0; k < 3; ++k) {
            variant = (variant + 1) % 3;
            if (variant == 1 && !macCreadyUsable) continue;
            if (variant == 2 && !conditions.useDemInfo) continue;
            break;
        }
        SetMode(PageSetting::kGlideDisplayMode, variant);
        return FieldAction::kRepaint;
    }
    if (at.x >= 5 && at.x <= 60) {
        if (modes_.glideDisplayMode == 1) return FieldAction::kAskRequiredMacCready;
        if (modes_.glideDisplayMode == 2 && conditions.terrainKnown) {
            return FieldAction::kOpenProfile;
        }
    }
    return FieldAction::kNone;
}

FieldAction PositionPageModel::CycleSecondLine(Point at, const PageConditions& conditions) {
    const PixelRect& line = layout_.secondLine;
    if (at.x < 48) {
        int mode = modes_.varioString;
        for (int k = 0; k < kModeCount; ++k) {
            mode = (mode + 1) % kModeCount;
            if (mode == 3 && !conditions.instrumentData) continue;
            if (mode == 4 && !conditions.taskNavigation) continue;
            break;
        }
        if (mode == 0 && modes_.lonLatString == 3) mode = 1;
        SetMode(PageSetting::kVarioString, mode);
        return FieldAction::kRepaint;
    }
    const int shown = SecondLineMode(conditions);
    if (shown == 2 && conditions.validWind) {
        const int middle = (48 + line.right) / 2;
        return at.x < middle ? FieldAction::kWindHistoryNewer : FieldAction::kWindHistoryOlder;
    }
    if (shown == 1) {
        if (at.x >= line.right - 30 && conditions.autoMacCreadyAvailable) {
            SetMode(PageSetting::kAutoSetMacCready, modes_.autoSetMacCready == 0 ? 1 : 0);
            return FieldAction::kAutoMacCreadyToggled;
        }
        return FieldAction::kNone;
    }
    if (shown == 0) return CycleCells(at, layout_.secondCells, conditions);
    return FieldAction::kNone;
}

FieldAction PositionPageModel::CycleCells(Point at, const std::array<PixelRect, 3>& cells,
                                          const PageConditions& conditions) {
    if (at.x >= cells[2].left) {
        SetMode(PageSetting::kAltString, NextCyclingIndex(modes_.altString, conditions));
        return FieldAction::kRepaint;
    }
    if (at.x >= cells[1].left) {
        int tog = modes_.togString == 0 ? 1 : (modes_.togString == 1 && conditions.headingData ? 2 : 0);
        SetMode(PageSetting::kTogString, tog);
        return FieldAction::kTrackTextChanged;
    }
    return FieldAction::kNone;
}

FieldAction PositionPageModel::CycleTaskLine(Point at, const PixelRect& line) {
    if (at.x > line.right - kRightPart) {
        modes_.taskVariant = (modes_.taskVariant + 1) % 3;
        return FieldAction::kRepaint;
    }
    if (at.x >= line.left + 70) {
        modes_.taskSpeedForm = !modes_.taskSpeedForm;
        return FieldAction::kTaskTextChanged;
    }
    return FieldAction::kNone;
}

FieldAction PositionPageModel::CycleTopLine(Point at, const PageConditions& conditions) {
    const PixelRect& line = layout_.topLine;
    if (conditions.thermalMode) {
        return at.x < line.left + 60 ? FieldAction::kResetDrift : FieldAction::kAdoptComputedWind;
    }
    if (SecondLineMode(conditions) == 4) return CycleTaskLine(at, line);

    int mode = modes_.lonLatString;
    FieldAction action = FieldAction::kRepaint;
    switch (TopLineMode(conditions)) {
        case 1:
            if (at.x > line.right - kRightPart) return FieldAction::kFlightTimeFormat;
            mode = 2;
            break;
        case 2:
            if (at.x >= line.left + 70) return CycleTaskLine(at, line);
            mode = 3;
            break;
        case 3:
            if (at.x >= layout_.topCells[1].left) return CycleCells(at, layout_.topCells, conditions);
            mode = 4;
            break;
        default: mode = TopLineMode(conditions) + 1; break;
    }
    if (mode == 2 && !conditions.taskNavigation) mode = 3;
    if (mode == 3 && modes_.varioString == 0) mode = 4;
    if (mode >= kModeCount) mode = 0;
    SetMode(PageSetting::kLonLatString, mode);
    return action;
}

FieldAction PositionPageModel::CycleDestinationLine(Point at, const PageConditions& conditions) {
    const PixelRect& line = layout_.destinationLine;
    if (at.x <= 45) {
        SetMode(PageSetting::kWindCorrection, modes_.windCorrection == 0 ? 1 : 0);
        return FieldAction::kWindCorrectionToggled;
    }
    if (conditions.taskFlown) return FieldAction::kNextPointChoiceToggled;
    return at.x > (line.left + line.right) / 2 ? FieldAction::kNextWaypoint
                                                : FieldAction::kPreviousWaypoint;
}

// --- View modes.

bool PositionPageModel::TerrainProfileMessage(bool bufferExists) {
    if (mode_ != ViewMode::kProfile) return false;
    if (!bufferExists) {
        mode_ = ViewMode::kFields;
        return false;
    }
    return true;
}

void PositionPageModel::OpenAltitudeEdit() {
    mode_ = ViewMode::kAltitudeEdit;
    editFirstStatistic_ = false;
    editStartTime_ = false;
}

void PositionPageModel::CirclingChanged(bool started, int showWhileCircling) {
    if (started) {
        if (!circling_) varioBeforeCircling_ = modes_.varioString;
        circling_ = true;
        // Shown while circling only: the stored choice stays.
        if (showWhileCircling == 1 || showWhileCircling == 2) modes_.varioString = showWhileCircling;
    } else if (circling_) {
        circling_ = false;
        modes_.varioString = varioBeforeCircling_;
    }
}

float MacCreadyStep(int unitVario) {
    return unitVario == 1 ? 0.1F / 0.5145F : 0.2F;
}

float MacCreadyAfterSpin(float manual, int position, int unitVario) {
    const float value = manual + static_cast<float>(position - kMacCreadySpinRest) * MacCreadyStep(unitVario);
    return std::max(value, 0.0F);
}

wchar_t WindMark(bool instrumentWind, bool circling) {
    if (instrumentWind) return L'S';
    return circling ? L'C' : L'T';
}

}  // namespace frame
