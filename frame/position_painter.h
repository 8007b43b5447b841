#pragma once
// Painting the position page's fields onto a canvas, from a snapshot of the
// display texts. The snapshot is taken on the UI thread under
// glide::DisplayTextLock, so that the texts of one paint belong together and
// no text is read while the fix-processing thread writes it; the drawing
// itself needs no lock and no window (tests and the benchmark draw without
// a display).

#include <string>

#include "frame/position_page_model.h"
#include "platform/canvas.h"

namespace frame {

// The six fonts of the page, from the font height B ("baseSize") and the
// face name ("Family", at most 31 characters), all weight 900.
struct PositionFonts {
    platform::Font profileLabel;  // B - 4, written upwards
    platform::Font field;         // B - 4
    platform::Font cell;          // B - 4
    platform::Font panel;         // B - 2: the glide panel's line
    platform::Font destination;   // B - 1
    platform::Font large;         // B
};
PositionFonts MakePositionFonts(int baseSize, std::wstring_view faceName);

// The texts of one paint.
struct PositionTexts {
    std::wstring longitude, latitude, blank;
    std::wstring time, flightTime;
    std::wstring task, taskVariant, leg;
    std::wstring groundSpeed, altitudeCell, cycling;
    std::wstring vario, macCready, wind, instrument;
    std::wstring drift, ownTeamCode;
    std::wstring destinationPrefix, destinationNumber, destinationName;
    std::wstring requiredGlide, destinationLine;
    // The altitude edit's two lines.
    std::wstring editTop, editSecond;
};

// How the lines are painted.
struct PositionPaint {
    ViewMode mode = ViewMode::kFields;
    int topMode = 0;     // after the fall-backs
    int secondMode = 0;  // after the fall-backs
    bool thermalMode = false;
    wchar_t macCreadyMark = 0;  // 'a', 'B' or none
    wchar_t windMark = 0;       // 'S', 'C', 'T' or none
    bool destinationExists = false;
    bool fixReceived = false;
};

// The display text behind a cycling index (0-10); the clearance text for 6.
std::wstring CyclingText(int index);

// Copies the texts the paint needs under glide::DisplayTextLock. Besides
// the modes it needs the task variant (which statistic the task line shows)
// and, in the altitude edit, the edit's toggles and lines.
struct PositionTextRequest {
    PositionModes modes;
    bool editFirstStatistic = false;
    bool editStartTime = false;
    float macCreadyShown = 0.0F;  // MacCready in the vario unit
    std::wstring taskDistanceLine;  // the edit mode's top line, made by the caller
    std::wstring startTime;  // "%0.0lfh%02.0f" once started, empty before
};
PositionTexts TakePositionTexts(const PositionTextRequest& request);

// The edit mode's top line: the task label, the task distance in the
// distance unit with one decimal, and the unit's name.
std::wstring EditTopLine(std::wstring_view label, double distanceShown, std::wstring_view unitName);
// The time since the start point was passed (fix times in hours), rounded
// to the minute, as "%0.0lfh%02.0f"; empty until the fix time is past it.
std::wstring TimeSinceStartText(double fixHours, double startHours);

// The edit mode's second line from its parts.
std::wstring EditSecondLine(const PositionTextRequest& request, std::wstring_view firstStatistic,
                            std::wstring_view thirdStatistic);

// Paints the fields (view modes 0 and 1) over the whole canvas, white first.
void PaintPositionFields(platform::Canvas& canvas, const PositionLayout& layout,
                         const PositionPaint& paint, const PositionTexts& texts,
                         const PositionFonts& fonts);

}  // namespace frame
