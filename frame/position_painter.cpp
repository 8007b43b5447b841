#include "frame/position_painter.h"

#include <cmath>
#include <mutex>

#include "platform/numbers.h"
#include "platform/utf.h"
#include "texts/display_texts.h"

namespace frame {
namespace {

using platform::PixelRect;

constexpr int kFontWeight = 900;
constexpr std::size_t kPainterFaceNameLength = 31;
constexpr int kMarkBox = 15;

void Left(platform::Canvas& canvas, const PixelRect& rect, std::wstring_view text) {
    canvas.DrawText(text, rect, platform::kTextLeft | platform::kTextVCenter);
}

void Right(platform::Canvas& canvas, const PixelRect& rect, std::wstring_view text) {
    canvas.DrawText(text, rect, platform::kTextRight | platform::kTextVCenter);
}

void Cells(platform::Canvas& canvas, const std::array<PixelRect, 3>& cells, const PositionTexts& texts) {
    Left(canvas, cells[0], texts.groundSpeed);
    Right(canvas, cells[1], texts.altitudeCell);
    Right(canvas, cells[2], texts.cycling);
}

void TopLine(platform::Canvas& canvas, const PositionLayout& layout, const PositionPaint& paint,
             const PositionTexts& texts) {
    const PixelRect& line = layout.topLine;
    if (paint.thermalMode) {
        Left(canvas, line, texts.drift);
        Right(canvas, line, texts.blank);
        return;
    }
    if (paint.secondMode == 4) {
        Left(canvas, layout.topLineAlternative, texts.task);
        Right(canvas, layout.topLineAlternative, texts.taskVariant);
        return;
    }
    switch (paint.topMode) {
        case 1:
            Left(canvas, line, texts.time);
            Right(canvas, line, texts.flightTime);
            break;
        case 2:
            Left(canvas, line, texts.task);
            Right(canvas, line, texts.taskVariant);
            break;
        case 3: Cells(canvas, layout.topCells, texts); break;
        case 4: Left(canvas, line, texts.ownTeamCode); break;
        default:
            Left(canvas, line, texts.longitude);
            Left(canvas, layout.topTag, texts.blank);
            Right(canvas, line, texts.latitude);
            break;
    }
}

void Mark(platform::Canvas& canvas, const PixelRect& line, wchar_t mark) {
    if (mark == 0) return;
    const PixelRect box{line.right - kMarkBox, line.top, line.right, line.bottom};
    canvas.DrawText(std::wstring(1, mark), box, platform::kTextCenter | platform::kTextVCenter);
}

void SecondLine(platform::Canvas& canvas, const PositionLayout& layout, const PositionPaint& paint,
                const PositionTexts& texts) {
    const PixelRect& line = layout.secondLine;
    switch (paint.secondMode) {
        case 1: {
            // Without its mark the line ends where the MacCready buttons begin.
            const int right = paint.macCreadyMark == 0 ? layout.macCreadySpin.left - 2
                                                       : line.right - kMarkBox;
            const PixelRect text{line.left, line.top, right, line.bottom};
            Left(canvas, text, texts.vario);
            Right(canvas, text, texts.macCready);
            Mark(canvas, line, paint.macCreadyMark);
            break;
        }
        case 2:
            Left(canvas, line, texts.wind);
            Mark(canvas, line, paint.windMark);
            break;
        case 3: Left(canvas, line, texts.instrument); break;
        case 4: Left(canvas, layout.secondLineAlternative, texts.leg); break;
        default: Cells(canvas, layout.secondCells, texts); break;
    }
}

}  // namespace

PositionFonts MakePositionFonts(int baseSize, std::wstring_view faceName) {
    std::string face = platform::ToUtf8(faceName.substr(0, kPainterFaceNameLength));
    if (face.empty()) face = platform::Font{}.face;
    const auto font = [&](int height, int escapement = 0) {
        return platform::Font{face, height, kFontWeight, escapement};
    };
    return {font(baseSize - 4, 900), font(baseSize - 4), font(baseSize - 4),
            font(baseSize - 2),      font(baseSize - 1), font(baseSize)};
}

std::wstring CyclingText(int index) {
    switch (index) {
        case 1: return glide::AirspeedText.Get();
        case 2: return glide::AirMassStfText.Get();
        case 3: return glide::GroundStfText.Get();
        case 4: return glide::ThermalClimbText.Get();
        case 5: return glide::GlideRatioText.Get();
        case 6: return glide::GroundClearanceText.Get();
        case 7: return glide::FlightLevelText.Get();
        case 8: return glide::DestinationDistanceText.Get();
        case 9: return glide::SpeedToFlyValueText.Get();
        case 10: return glide::TemperatureText.Get();
        default: return glide::AltitudeThousandsText.Get();
    }
}

std::wstring EditTopLine(std::wstring_view label, double distanceShown, std::wstring_view unitName) {
    return std::wstring(label) + platform::FormatC(L":%0.1f", distanceShown) + std::wstring(unitName);
}

std::wstring TimeSinceStartText(double fixHours, double startHours) {
    if (!(fixHours > startHours) || startHours < 0.0) return {};
    const double minutes = std::round((fixHours - startHours) * 60.0);
    return platform::FormatC(L"%0.0lfh%02.0f", std::floor(minutes / 60.0), std::fmod(minutes, 60.0));
}

std::wstring EditSecondLine(const PositionTextRequest& request, std::wstring_view firstStatistic,
                            std::wstring_view thirdStatistic) {
    std::wstring left(thirdStatistic);
    const wchar_t* macCreadyGap = L"    ";
    const wchar_t* statisticGap = L"   ";
    if (request.editStartTime) {
        left = (request.startTime.empty() ? left : request.startTime) + L"T";
        macCreadyGap = request.startTime.empty() ? L"   " : L"  ";
        statisticGap = L"  ";
    }
    if (request.editFirstStatistic) return left + statisticGap + std::wstring(firstStatistic);
    return left + macCreadyGap + platform::FormatC(L"%0.1f", double{request.macCreadyShown});
}

PositionTexts TakePositionTexts(const PositionTextRequest& request) {
    using namespace glide;
    const std::scoped_lock lock(DisplayTextLock);
    PositionTexts texts;
    texts.longitude = LongitudeText.Get();
    texts.latitude = LatitudeText.Get();
    texts.blank = BlankText.Get();
    texts.time = TimeText.Get();
    texts.flightTime = FlightTimeText.Get();
    texts.task = TaskText.Get();
    switch (request.modes.taskVariant) {
        case 1: texts.taskVariant = TaskDistanceText.Get(); break;
        case 2: texts.taskVariant = TaskStatText[3].Get(); break;
        default: texts.taskVariant = TaskStatText[2].Get(); break;
    }
    texts.leg = LegText.Get();
    texts.groundSpeed = GroundSpeedText.Get();
    texts.altitudeCell = TrackText.Get();
    texts.cycling = CyclingText(request.modes.altString);
    texts.vario = VarioText.Get();
    texts.macCready = MacCreadyText.Get();
    texts.wind = WindText.Get();
    texts.instrument = InstrumentText.Get();
    texts.drift = DriftText.Get();
    texts.ownTeamCode = OwnTeamCodeText.Get();
    texts.destinationPrefix = DestinationPrefixText.Get();
    texts.destinationName = DestinationNameText.Get();
    texts.requiredGlide = RequiredGlideText.Get();
    texts.destinationLine = DestinationLineText.Get();
    texts.editTop = request.taskDistanceLine;
    texts.editSecond = EditSecondLine(request, TaskStatText[0].Get(), TaskStatText[2].Get());
    return texts;
}

void PaintPositionFields(platform::Canvas& canvas, const PositionLayout& layout,
                         const PositionPaint& paint, const PositionTexts& texts,
                         const PositionFonts& fonts) {
    canvas.ResetClip();
    canvas.FillRect(canvas.Bounds(), platform::Brush::Solid(platform::kWhite));
    canvas.SetBackgroundMode(platform::BackgroundMode::kTransparent);
    canvas.SetTextColour(platform::kBlack);
    canvas.SetFont(fonts.field);
    if (paint.mode == ViewMode::kAltitudeEdit) {
        Left(canvas, layout.editTopLine, texts.editTop);
        Left(canvas, layout.editSecondLine, texts.editSecond);
        return;
    }
    TopLine(canvas, layout, paint, texts);
    canvas.SetFont(fonts.cell);
    SecondLine(canvas, layout, paint, texts);

    canvas.SetPen(platform::Pen::Solid(platform::kBlack));
    canvas.MoveTo({16, layout.separatorY});
    canvas.LineTo({kPositionLayoutWidth - 10, layout.separatorY});

    if (paint.destinationExists) {
        // A name too long for the line is written smaller rather than cut,
        // down to two thirds of the line's own size.
        const std::wstring destination =
            texts.destinationPrefix + texts.destinationNumber + texts.destinationName;
        platform::Font font = fonts.destination;
        const int smallest = font.height * 2 / 3;
        canvas.SetFont(font);
        while (font.height > smallest &&
               canvas.TextExtent(destination).width > layout.destinationLine.Width()) {
            --font.height;
            canvas.SetFont(font);
        }
        Left(canvas, layout.destinationLine, destination);
    }
    if (paint.fixReceived) {
        canvas.SetFont(fonts.field);
        const PixelRect& glide = layout.glideLine;
        Left(canvas, glide, texts.requiredGlide);
        Right(canvas, PixelRect{layout.glideLineRightPart, glide.top, glide.right, glide.bottom},
              texts.destinationLine);
    }
}

}  // namespace frame
