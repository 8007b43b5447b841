#include "mapdata/map_element.h"

#include <algorithm>

#include "core/text_codec.h"
#include "platform/numbers.h"

namespace mapdata {
namespace {

constexpr std::size_t kMaxStringLength = 255;
constexpr float kFeetPerMetre = 3.2808F;

}  // namespace

bool CMapElement::IsVisibleAtScale(float currentScale) const {
    return scale1 == scale2 || (scale1 <= currentScale && currentScale <= scale2);
}

std::size_t CMapElement::SetString(std::wstring_view text, wchar_t delimiter, int which) {
    std::wstring& target = which == 0 ? name : note;
    const std::size_t end = std::min({text.find(delimiter), text.size(), kMaxStringLength});
    target.assign(text.substr(0, end));
    return target.size();
}

std::size_t CMapElement::SetString(std::string_view text, char delimiter, int which) {
    const std::size_t end = std::min({text.find(delimiter), text.size(), kMaxStringLength});
    std::wstring wide;
    wide.reserve(end);
    for (const char c : text.substr(0, end)) {
        wide.push_back(core::DecodeCp1252(static_cast<unsigned char>(c)));
    }
    (which == 0 ? name : note) = std::move(wide);
    return end;
}

bool CMapElement::PassesVerticalTest(const nav::WaypointRecord& fix, float marginBelow,
                                     float marginAbove, float terrain) const {
    if (!fix.altitudeKnown) return true;
    const float altitude = fix.altitude;
    const bool banded = lowerAltitude != upperAltitude;
    if (terrain >= 0.0F) {
        const float aboveGround = altitude - terrain;
        if (limitB >= 0.0F) {
            if (limitB - marginBelow > aboveGround) return false;
        } else if (banded && lowerAltitude - marginBelow > altitude) {
            return false;
        }
        if (limitA > 0.0F) {
            if (!(limitA + marginAbove >= aboveGround)) return false;
        } else if (banded && !(upperAltitude + marginAbove >= altitude)) {
            return false;
        }
        return true;
    }
    if (banded) {
        if (lowerAltitude - marginBelow > altitude) return false;
        if (!(upperAltitude + marginAbove >= altitude)) return false;
    }
    return true;
}

bool ShouldDrawZone(const CMapElement& element, bool showEnlarged) {
    using namespace element_flag;
    const std::uint32_t flags = element.LoadFlags();
    if ((flags & kNotDrawn) != 0) return false;
    if ((flags & (kNotTested | kEnlargedCopy)) == 0) return true;
    return showEnlarged ? (flags & kEnlargedCopy) != 0 : (flags & kNotTested) != 0;
}

std::wstring MapAltitudeLabel(const CMapElement& element, bool inMetres, bool addLineEnd) {
    const float factor = inMetres ? kFeetPerMetre : 1.0F;
    std::wstring text = platform::FormatC(inMetres ? L"Alt: %.0f-%.0fm" : L"Alt: %.0f-%.0fft",
                                          element.lowerAltitude / factor,
                                          element.upperAltitude / factor);
    const float b = element.limitB / factor;
    const float a = element.limitA / factor;
    if (b >= 0.0F && a > 0.0F) {
        text += platform::FormatC(L" (%.0f,%.0f)", b, a);
    } else if (b < 0.0F && a > 0.0F) {
        text += platform::FormatC(L" (--,%.0f)", a);
    } else if (b >= 0.0F && a < 0.0F) {
        text += platform::FormatC(L" (%.0f,--)", b);
    }
    if (addLineEnd) text += L"\r\n";
    return text;
}

}  // namespace mapdata
