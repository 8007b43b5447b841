#include "nav/new_waypoint_model.h"

#include <algorithm>
#include <cmath>
#include <cwctype>
#include <utility>
#include <vector>

#include "core/angles.h"
#include "core/elevation_model.h"
#include "nav/waypoint_edit.h"
#include "nav/waypoint_list.h"
#include "platform/message_box.h"
#include "platform/numbers.h"
#include "resources/ids/strings_task_dialogs.h"
#include "services/string_resources.h"

namespace nav {
namespace {

using core::kRadiansPerDegree;
constexpr unsigned kQuestion =
    platform::mb::kYesNo | platform::mb::kIconQuestion | platform::mb::kTopmost;
constexpr unsigned kStop = platform::mb::kOk | platform::mb::kIconHand | platform::mb::kTopmost;
// The waypoint file refused the new or changed waypoint.

int Ask(unsigned captionId, unsigned textId, unsigned style) {
    return platform::ShowMessageBox(nullptr, core::LoadResourceString(textId),
                                    core::LoadResourceString(captionId), style);
}

bool IsComma(wchar_t c) {
    return c == L',' || c == L'\xFF0C';
}

std::wstring_view SkipBlanks(std::wstring_view text) {
    const auto first = text.find_first_not_of(L" \t");
    return first == std::wstring_view::npos ? std::wstring_view{} : text.substr(first);
}

// "%f" at pos: the value, pos moved past it; nothing when none is there.
std::optional<float> ScanFloatAt(std::wstring_view text, std::size_t& pos) {
    const auto scanned = platform::ScanFloat(text.substr(pos));
    if (!scanned) return std::nullopt;
    pos += scanned->length;
    return scanned->value;
}

std::vector<std::wstring_view> SplitLines(std::wstring_view text) {
    std::vector<std::wstring_view> lines;
    std::size_t start = 0;
    while (start <= text.size()) {
        const auto end = text.find(L'\n', start);
        std::wstring_view line = text.substr(
            start, end == std::wstring_view::npos ? std::wstring_view::npos : end - start);
        if (!line.empty() && line.back() == L'\r') line.remove_suffix(1);
        lines.push_back(line);
        if (end == std::wstring_view::npos) break;
        start = end + 1;
    }
    return lines;
}

}  // namespace

NameAndExtension ParseNameField(std::wstring_view text) {
    NameAndExtension result;
    const auto comma = std::find_if(text.begin(), text.end(), IsComma);
    const std::wstring_view name = text.substr(0, static_cast<std::size_t>(comma - text.begin()));
    result.name = std::wstring(name.substr(0, kEnteredNameLength));
    if (comma == text.end()) return result;
    const std::wstring_view rest = text.substr(static_cast<std::size_t>(comma - text.begin()) + 1);
    // "%f%c%f%*c%f%*c%f%*c%f": e0, separator, e1, e2, e4, e5.
    std::array<float, 5> values{};
    wchar_t separator = 0;
    int assigned = 0;
    std::size_t pos = 0;
    for (int field = 0; field < 5; ++field) {
        if (field >= 1) {
            if (pos >= rest.size()) break;
            if (field == 1) {
                separator = rest[pos];
                ++assigned;
            }
            ++pos;
        }
        const auto value = ScanFloatAt(rest, pos);
        if (!value) break;
        values[static_cast<std::size_t>(field)] = *value;
        ++assigned;
    }
    MapExtension& e = result.extension;
    e[0] = values[0];
    if (assigned >= 4) {
        e[1] = values[1];
        e[2] = values[2];
    }
    if (assigned >= 6) {
        e[4] = values[3];
        e[5] = values[4];
    }
    if (assigned >= 2 && separator == L'^') e[3] = 1.0F;
    return result;
}

std::wstring ExtensionText(const MapExtension& e) {
    if (e[3] != 0.0F) {
        return platform::FormatC(L", %0.0f^%0.0f,%0.0f", static_cast<double>(e[0]),
                                 static_cast<double>(e[1]), static_cast<double>(e[2]));
    }
    return platform::FormatC(L", %0.0f,%0.0f,%0.0f", static_cast<double>(e[0]),
                             static_cast<double>(e[1]), static_cast<double>(e[2]));
}

CommentAndAttachments ParseCommentField(std::wstring_view text) {
    CommentAndAttachments result;
    std::vector<std::wstring_view> kept;
    for (std::wstring_view line : SplitLines(SkipBlanks(text))) {
        if (line.size() >= 2 && line[0] == L'#' && (line[1] == L'i' || line[1] == L'I')) {
            result.image = std::wstring(SkipBlanks(line.substr(2)));
        } else if (line.size() >= 2 && line[0] == L'#' && (line[1] == L's' || line[1] == L'S')) {
            result.sound = std::wstring(SkipBlanks(line.substr(2)));
        } else {
            kept.push_back(line);
        }
    }
    while (!kept.empty() && kept.back().empty())
        kept.pop_back();
    for (std::size_t i = 0; i < kept.size(); ++i) {
        if (i > 0) result.comment += L"\r\n";
        result.comment += kept[i];
    }
    if (!result.comment.empty() && result.comment.back() == L'\\') result.comment.pop_back();
    return result;
}

std::wstring FormatMapPointLines(double latDeg, double lonWestDeg, int code, int pen,
                                 std::wstring_view name, std::wstring_view comment) {
    if (code < 1 && !(code <= -4 && code >= -7)) {
        return pen != 0 ? platform::FormatC(L"%09.7lf,0,0,%09.7lf,0,0,%0d,%0d\r\n", latDeg,
                                            lonWestDeg, code, pen)
                        : platform::FormatC(L"%09.7lf,0,0,%09.7lf,0,0,%0d\r\n", latDeg, lonWestDeg,
                                            code);
    }
    const std::wstring nameText(name);
    if (comment.empty()) {
        return platform::FormatC(L"%09.7lf,0,0,%09.7lf,0,0,%0d,%ls\r\n", latDeg, lonWestDeg, code,
                                 nameText.c_str());
    }
    return platform::FormatC(L"%09.7lf,0,0,%09.7lf,0,0,%0d,\\%ls\r\n", latDeg, lonWestDeg, code,
                             nameText.c_str()) +
           std::wstring(comment) + L"\r\n\r\n";
}

DmsFields SplitDegrees(double degrees) {
    // Whole tenths of a second first, so the seconds never show 60 and an
    // unchanged position reads back as it was.
    const long long tenths = std::llround(degrees * 36000.0);
    const long long minutes = tenths % 36000;
    return {static_cast<double>(tenths / 36000), static_cast<double>(minutes / 600),
            static_cast<double>(minutes % 600) / 10.0};
}

int StepMapCode(int code, int step, int symbols) {
    int next = code + (step >= 0 ? 1 : -1);
    while (next == 0 || (next <= -8 && next >= -10))
        next += step >= 0 ? 1 : -1;
    return std::clamp(next, -7, std::max(symbols, 1));
}

NewWaypointModel::NewWaypointModel(bool metres, bool mapPointMode)
    : metres_(metres), mapPointMode_(mapPointMode) {}

void NewWaypointModel::FillFrom(const WaypointRecord& record, const MapExtension* extension) {
    const double lat = record.latitude / kRadiansPerDegree;
    const double lon = record.longitude / kRadiansPerDegree;  // positive west
    fields.northSouth = lat < 0.0 ? 1 : 0;
    fields.eastWest = lon < 0.0 ? 0 : 1;
    const DmsFields la = SplitDegrees(std::fabs(lat));
    const DmsFields lo = SplitDegrees(std::fabs(lon));
    fields.latDegrees = la.degrees;
    fields.latMinutes = la.minutes;
    fields.latSeconds = la.seconds;
    fields.lonDegrees = lo.degrees;
    fields.lonMinutes = lo.minutes;
    fields.lonSeconds = lo.seconds;
    const std::wstring name(record.name.View());
    if (mapPointMode_) {
        // The altitude travels in the name: "^<alt>M^" or "^<alt>^".
        if (record.altitudeKnown) {
            fields.name = metres_
                              ? platform::FormatC(L"^%.0fM^", record.altitude / kFeetPerMetre)
                              : platform::FormatC(L"^%.0f^", static_cast<double>(record.altitude));
        }
        fields.name += name;
    } else {
        fields.altitude = !record.altitudeKnown ? -1.0F
                          : metres_
                              ? std::round(record.altitude / static_cast<float>(kFeetPerMetre))
                              : std::round(record.altitude);
        fields.name = name;
        if (extension != nullptr && (*extension)[0] > 0.0F)
            fields.name += ExtensionText(*extension);
        fields.marker = record.HasMarker() ? 1 : 0;
    }
    fields.comment = record.attachments.comment;
    if (!record.attachments.image.empty()) fields.comment += L"\r\n#i" + record.attachments.image;
    if (!record.attachments.sound.empty()) fields.comment += L"\r\n#s" + record.attachments.sound;
}

bool NewWaypointModel::ConfirmAltitude() {
    initialPosition_ = false;
    if (mapPointMode_ || fields.altitude > -1000.0F) return true;
    if (Ask(ids::kIdsStartupPositionCaption, ids::kIdsStartupPositionQuestion, kQuestion) !=
        platform::kIdYes)
        return false;
    initialPosition_ = true;
    return true;
}

EnteredPosition EnteredDegrees(const NewWaypointFields& f) {
    double latitude = f.latDegrees + (f.latMinutes + f.latSeconds / 60.0) / 60.0;
    double lonWest = f.lonDegrees + (f.lonMinutes + f.lonSeconds / 60.0) / 60.0;
    if (lonWest == 180.0) lonWest = 179.99999999;
    if (latitude == 90.0) latitude = 89.99999999;
    if (f.eastWest == 0) lonWest = -lonWest;
    if (f.northSouth == 1) latitude = -latitude;
    return {latitude, lonWest};
}

std::optional<int> NewWaypointModel::CheckPosition(double& latitude, double& lonWest) const {
    const EnteredPosition entered = EnteredDegrees(fields);
    latitude = entered.latitude;
    lonWest = entered.lonWest;
    if (std::fabs(latitude) > 90.0) {
        Ask(ids::kIdsLatitudeCaption, ids::kIdsLatitudeRange, kStop);
        return kLatitudeDegreesEdit;
    }
    if (std::fabs(lonWest) > 180.0) {
        Ask(ids::kIdsLongitudeCaption, ids::kIdsLongitudeRange, kStop);
        return kLongitudeDegreesEdit;
    }
    if (mapPointMode_ && fields.mapCode == 0) {
        Ask(ids::kIdsMapCodeCaption, ids::kIdsMapCodeZero, kStop);
        return kAltitudeEdit;
    }
    return std::nullopt;
}

NewWaypointResult NewWaypointModel::Accept(CWaypointFile& file, platform::SettingsStore& store) {
    const std::wstring_view typed = SkipBlanks(fields.name);
    const bool commentedOut = !typed.empty() && typed.front() == L';';
    if (editingMapRecord && fields.mapCode < 0 && fields.mapCode != -5 && !commentedOut)
        return {NewWaypointOutcome::kNothingWritten};
    if (!mapPointMode_ && fields.altitude == -1.0F &&
        Ask(ids::kIdsNoAltitudeCaption, ids::kIdsNoAltitudeQuestion, kQuestion) == platform::kIdYes)
        return {NewWaypointOutcome::kRefused, kAltitudeEdit};

    double latitude = 0.0;
    double lonWest = 0.0;
    if (const auto focus = CheckPosition(latitude, lonWest))
        return {NewWaypointOutcome::kRefused, *focus};
    store.WriteInt("Settings", "NorthSouth", static_cast<std::uint32_t>(fields.northSouth));
    store.WriteInt("Settings", "EastWest", static_cast<std::uint32_t>(fields.eastWest));

    const auto named = std::find_if_not(fields.name.begin(), fields.name.end(), [](wchar_t c) {
        return c == L' ' || c == L'\t' || IsComma(c);
    });
    const bool nameless = named == fields.name.end();
    const bool codeWithoutName = mapPointMode_ && fields.mapCode >= -10 && fields.mapCode <= 0;
    if (nameless && !codeWithoutName) {
        Ask(ids::kIdsNameCaption, ids::kIdsNameMissing, kStop);
        return {NewWaypointOutcome::kRefused, kNameEdit};
    }
    if (mapPointMode_ && !commentedOut && fields.mapCode < -10) {
        Ask(ids::kIdsNameCaption, ids::kIdsMapCodeName, kStop);
        return {NewWaypointOutcome::kRefused, kNameEdit};
    }

    if (initialPosition_) {
        store.WriteString("Options\\Miscellaneous", "InitLatitude",
                          platform::FormatC("%.6lf", latitude));
        store.WriteString("Options\\Miscellaneous", "InitLongitude",
                          platform::FormatC("%.6lf", lonWest));
        return {NewWaypointOutcome::kInitialPosition};
    }
    return mapPointMode_ ? AcceptMapPoint(latitude, lonWest)
                         : AcceptWaypoint(file, latitude, lonWest);
}

NewWaypointResult NewWaypointModel::AcceptMapPoint(double latitude, double lonWest) {
    const CommentAndAttachments comment = ParseCommentField(fields.comment);
    const std::shared_ptr<MapPointFile> map = GetMapPointFile();
    if (map == nullptr || !map->Writable()) return {NewWaypointOutcome::kNothingWritten};
    const std::wstring name(SkipBlanks(fields.name));
    if (!map->Append(FormatMapPointLines(latitude, lonWest, fields.mapCode, fields.pen, name,
                                         comment.comment))) {
        return {NewWaypointOutcome::kRefused, kNameEdit};
    }
    if (fields.mapCode >= 1 || fields.mapCode == -5) {
        WaypointRecord record(latitude, lonWest, true);
        record.name.Assign(name, kEnteredNameLength);
        map->MakeElement(record, fields.mapCode, fields.pen);
    }
    return {NewWaypointOutcome::kMapPoint};
}

NewWaypointResult NewWaypointModel::AcceptWaypoint(CWaypointFile& file, double latitude,
                                                   double lonWest) {
    const NameAndExtension named = ParseNameField(fields.name);
    if (!named.name.empty() && named.name.front() == L';') {
        // A name commented out is neither written nor listed; an edited
        // waypoint renamed so is taken out of the file and the list.
        if (editIndex >= 0 && !DeleteWaypointEntry(file, editIndex))
            return {NewWaypointOutcome::kRefused, kNameEdit};
        return {NewWaypointOutcome::kNothingWritten};
    }
    WaypointRecord record(latitude, lonWest, true);
    record.name.Assign(named.name, kEnteredNameLength);
    const CommentAndAttachments comment = ParseCommentField(fields.comment);
    record.attachments.comment = comment.comment;
    record.attachments.image = comment.image;
    record.attachments.sound = comment.sound;
    record.altitudeKnown = fields.altitude != -1.0F;
    if (record.altitudeKnown) {
        record.altitude =
            metres_ ? static_cast<float>(fields.altitude * kFeetPerMetre) : fields.altitude;
    } else {
        record.altitude = kNoAltitude;
        const auto model = core::CurrentElevationModel();
        if (const auto elevation =
                model ? model->GetElevationAt(record.longitude, record.latitude) : std::nullopt) {
            record.altitude = *elevation;
            record.altitudeKnown = true;
            std::wstring& text = record.attachments.comment;
            text = text.empty() ? std::wstring(L" DEM Alt.") : text + L"; DEM Alt.";
        }
    }
    if (fields.marker != 0 && record.altitudeKnown) record.flags |= kMarkerFlag;

    const std::optional<int> index = editIndex >= 0
                                         ? EditWaypoint(file, editIndex, record, &named.extension)
                                         : AddWaypoint(file, record, &named.extension);
    if (!index) {
        Ask(ids::kIdsNameCaption, ids::kIdsWaypointNotWritten, kStop);
        return {NewWaypointOutcome::kRefused, kNameEdit};
    }
    return {NewWaypointOutcome::kAdded, 0, *index};
}

}  // namespace nav
