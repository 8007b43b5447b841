#include "nav/waypoint_line_format.h"

#include <numbers>
#include <string_view>

#include "platform/numbers.h"

namespace nav {
namespace {

constexpr double kFormatDegreesPerRadian = 180.0 / std::numbers::pi;

// Text that must stay on one line: line ends dropped. A name also loses its
// commas (it ends at the first one) and its TABs become blanks (a TAB makes
// a line a tab-layout line).
std::wstring OneFormatLine(std::wstring_view text, bool asName = false) {
    std::wstring line;
    line.reserve(text.size());
    for (const wchar_t c : text) {
        const bool comma = c == L',' || c == 0xFF0C;
        if (c == L'\r' || c == L'\n' || (asName && comma)) continue;
        line += asName && c == L'\t' ? L' ' : c;
    }
    return line;
}

// The comment as one line: a CR LF with more text after it becomes '\',
// other line-end characters are dropped.
std::wstring CommentLine(std::wstring_view comment) {
    std::wstring line;
    for (std::size_t i = 0; i < comment.size(); ++i) {
        const wchar_t c = comment[i];
        if (c == L'\r' && i + 2 < comment.size() && comment[i + 1] == L'\n') {
            line += L'\\';
            ++i;
        } else if (c != L'\r' && c != L'\n') {
            line += c;
        }
    }
    return line;
}

std::wstring PositionAndAltitude(const WaypointRecord& record, const MapExtension* extension,
                                 bool altitudeInMetres, bool fileInMetres) {
    const double lat = record.latitude * kFormatDegreesPerRadian;
    const double lon = record.longitude * kFormatDegreesPerRadian;
    const bool withMap = extension != nullptr && (*extension)[0] > 0.0F;
    const MapExtension e = withMap ? *extension : MapExtension{};
    const wchar_t separator = e[3] == 1.0F ? L'^' : L',';

    if (!record.altitudeKnown) {
        if (!withMap) return platform::FormatC(L",%09.7lf,0,0,%09.7lf,0,0\r\n", lat, lon);
        return platform::FormatC(L",%09.7lf,0,0,%09.7lf,0,0,-1, %0.0f,%0.1f,%0.1f,%0.1f,%0.1f\r\n",
                                 lat, lon, double{e[0]}, double{e[1]}, double{e[2]}, double{e[4]},
                                 double{e[5]});
    }
    const double altitude = altitudeInMetres ? record.altitude / kFeetPerMetre : record.altitude;
    const wchar_t* unit = altitudeInMetres ? L"M" : (fileInMetres ? L"F" : L"");
    if (!withMap) {
        return platform::FormatC(L",%09.7lf,0,0,%09.7lf,0,0,%01.0f%ls\r\n", lat, lon, altitude,
                                 unit);
    }
    return platform::FormatC(
        L",%09.7lf,0,0,%09.7lf,0,0,%01.0f%ls, %0.0f%lc%0.1f,%0.1f,%0.1f,%0.1f\r\n", lat, lon,
        altitude, unit, double{e[0]}, separator, double{e[1]}, double{e[2]}, double{e[4]},
        double{e[5]});
}

}  // namespace

std::wstring FormatWaypointLines(const WaypointRecord& record, const MapExtension* extension,
                                 bool altitudeInMetres, bool fileInMetres) {
    const WaypointAttachments& attachments = record.attachments;
    std::wstring text;
    if (attachments.HasStrings()) text += L'\\';
    if (record.HasMarker() && record.altitudeKnown) text += L'^';
    text += OneFormatLine(record.name.View(), true);
    text += PositionAndAltitude(record, extension, altitudeInMetres, fileInMetres);
    if (!attachments.comment.empty()) {
        text += CommentLine(attachments.comment);
        text += L"\r\n";
    }
    if (!attachments.image.empty()) text += L";#i" + OneFormatLine(attachments.image) + L"\r\n";
    if (!attachments.sound.empty()) text += L";#s" + OneFormatLine(attachments.sound) + L"\r\n";
    return text;
}

}  // namespace nav
