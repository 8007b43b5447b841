#include "nav/waypoint_line_parser.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>

#include "core/angles.h"
#include "core/utm.h"
#include "platform/ddx_text.h"

namespace nav {
namespace {

using core::kRadiansPerDegree;
// Latitudes in degrees above this are UTM eastings instead.
constexpr double kUtmMarker = 361.0;
constexpr int kMaxUtmZone = 60;

bool IsLineBlank(wchar_t c) {
    return c == L' ' || c == L'\t';
}

// The blanks that number conversions skip.
bool IsScanBlank(wchar_t c) {
    return c == L' ' || (c >= L'\t' && c <= L'\r');
}

// c is the capital letter, its small letter, or the full-width form of either.
bool IsLetter(wchar_t c, wchar_t capital) {
    return MatchesAscii(c, capital) ||
           MatchesAscii(c, static_cast<wchar_t>(capital + (L'a' - L'A')));
}

std::size_t SkipBlanksFrom(std::wstring_view text, std::size_t i) {
    while (i < text.size() && IsLineBlank(text[i]))
        ++i;
    return i;
}

void FoldInto(std::wstring& out, std::wstring_view text) {
    out.assign(text);
    platform::FoldFullWidth(out);
}

// The text with full-width forms read as ASCII: the text itself when it has
// none (the usual case, which costs no copy), else its folded copy in out.
std::wstring_view FoldedInto(std::wstring& out, std::wstring_view text) {
    const bool plain = std::none_of(text.begin(), text.end(),
                                    [](wchar_t c) { return c >= 0xFF01 && c <= 0xFF5E; });
    if (plain) return text;
    FoldInto(out, text);
    return out;
}

std::wstring_view StripLineEnd(std::wstring_view line) {
    while (!line.empty() && (line.back() == L'\n' || line.back() == L'\r'))
        line.remove_suffix(1);
    return line;
}

// Whether a "%lf" conversion finds a number at the start of the (folded)
// text: after blanks and a sign, a digit or a '.' followed by one.
bool StartsWithNumber(std::wstring_view text) {
    std::size_t i = 0;
    while (i < text.size() && IsScanBlank(text[i]))
        ++i;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) ++i;
    const auto digit = [&](std::size_t at) {
        return at < text.size() && text[at] >= L'0' && text[at] <= L'9';
    };
    return digit(i) || (i < text.size() && text[i] == L'.' && digit(i + 1));
}

std::size_t FindComma(std::wstring_view text, std::size_t from = 0) {
    for (std::size_t i = from; i < text.size(); ++i) {
        if (MatchesAscii(text[i], L',')) return i;
    }
    return std::wstring_view::npos;
}

// Reads folded text the way the C runtime's scanf conversions do: numbers
// skip blanks first, characters are taken as they come. A conversion that
// fails leaves its target and the position alone.
class Scanner {
  public:
    explicit Scanner(std::wstring_view text) : text_(text) {}

    // "%lf"; minus tells whether the number's text began with '-'.
    bool Number(double& value, bool* minus = nullptr) {
        const auto scanned = platform::ScanDouble(text_.substr(pos_));
        if (!scanned) return false;
        if (minus != nullptr) {
            const auto digits = std::find_if_not(text_.begin() + static_cast<std::ptrdiff_t>(pos_),
                                                 text_.end(), IsScanBlank);
            *minus = *digits == L'-';
        }
        value = scanned->value;
        pos_ += scanned->length;
        return true;
    }
    // "%f": read as a double, then narrowed; beyond the range of a float is
    // no number.
    bool Float(float& value) {
        const auto scanned = platform::ScanDouble(text_.substr(pos_));
        if (!scanned || std::fabs(scanned->value) > std::numeric_limits<float>::max()) return false;
        value = static_cast<float>(scanned->value);
        pos_ += scanned->length;
        return true;
    }
    // "%c".
    bool Char(wchar_t& c) {
        if (pos_ >= text_.size()) return false;
        c = text_[pos_++];
        return true;
    }
    // "%*c".
    bool Skip() {
        wchar_t ignored = 0;
        return Char(ignored);
    }

  private:
    std::wstring_view text_;
    std::size_t pos_ = 0;
};

// Degrees, minutes and seconds as one value. Minutes and seconds take the
// sign of the degrees; for degrees of exactly 0 the sign comes from a '-'
// written in the degree field.
double CombineDegrees(double degrees, double minutes, double seconds, bool minus) {
    const double fraction = (seconds / 60.0 + minutes) / 60.0;
    if (degrees == 0.0) return minus ? -fraction : fraction;
    return degrees >= 0.0 ? degrees + fraction : degrees - fraction;
}

bool SetPosition(WaypointRecord& record, double latitude, double lonWest) {
    if (!std::isfinite(latitude) || !std::isfinite(lonWest)) return false;
    record.latitude = latitude;
    record.longitude = lonWest;
    record.ComputeUnitVector();
    return true;
}

void SetNoAltitude(WaypointRecord& record) {
    record.altitude = kNoAltitude;
    record.altitudeKnown = false;
}

// An altitude value with its unit letter (0 when none followed). -1 means
// none; 'M' metres, 'F' feet, anything else as the file's default unit.
void SetAltitude(WaypointRecord& record, float value, wchar_t unit, bool defaultMetres) {
    if (value == kNoAltitude) return SetNoAltitude(record);
    const bool metres = IsLetter(unit, L'M') || (!IsLetter(unit, L'F') && defaultMetres);
    const double feet = metres ? value * kFeetPerMetre : value;
    if (!std::isfinite(static_cast<float>(feet))) return SetNoAltitude(record);
    record.altitude = static_cast<float>(feet);
    record.altitudeKnown = true;
}

// "%f%c", then with map values "%*c%f%c%f%*c%f%*c%f%*c%f" into ext0, the
// separator (ext3 = 1 when it is '^'), ext1, ext2, ext4 and ext5.
void ReadAltitudeField(std::wstring_view text, bool defaultMetres, WaypointRecord& record,
                       MapExtension* ext) {
    Scanner scan(text);
    float value = 0.0F;
    if (!scan.Float(value)) return SetNoAltitude(record);
    wchar_t unit = 0;
    const bool haveUnit = scan.Char(unit);
    SetAltitude(record, value, unit, defaultMetres);
    if (ext == nullptr || !haveUnit) return;
    wchar_t separator = 0;
    if (!scan.Skip() || !scan.Float((*ext)[0]) || !scan.Char(separator)) return;
    if (separator == L'^') (*ext)[3] = 1.0F;
    if (scan.Float((*ext)[1]) && scan.Skip() && scan.Float((*ext)[2]) && scan.Skip() &&
        scan.Float((*ext)[4]) && scan.Skip()) {
        scan.Float((*ext)[5]);
    }
}

// The name part of a decimal or tab line: an optional '^' (the marker), then
// the name after any blanks.
void SetNameAndMarker(WaypointRecord& record, std::wstring_view text) {
    std::size_t i = SkipBlanksFrom(text, 0);
    if (i < text.size() && MatchesAscii(text[i], L'^')) {
        record.flags |= kMarkerFlag;
        i = SkipBlanksFrom(text, i + 1);
    }
    record.name.Assign(text.substr(i), kFileNameLength);
}

bool IsOneOf(std::wstring_view field, wchar_t first, wchar_t second) {
    return !field.empty() && (IsLetter(field.front(), first) || IsLetter(field.front(), second));
}

// The fields of an alternate-layout line. Quotes toggle a quoted state in
// which commas do not separate fields, and read as blanks.
class CommaFields {
  public:
    CommaFields(std::wstring_view line, std::wstring& text, std::vector<char>& quoted)
        : text_(text), quoted_(quoted) {
        text_.assign(line);
        quoted_.assign(line.size(), 0);
        bool inQuotes = false;
        for (std::size_t i = 0; i < text_.size(); ++i) {
            if (MatchesAscii(text_[i], L'"')) {
                inQuotes = !inQuotes;
                text_[i] = L' ';
            }
            quoted_[i] = inQuotes ? 1 : 0;
        }
    }

    std::size_t Cursor() const { return cursor_; }
    std::wstring_view TextFrom(std::size_t at) const {
        return std::wstring_view(text_).substr(std::min(at, text_.size()));
    }

    // The next field, up to a separating comma (any comma when quotes are not
    // honoured); nothing once the line has ended.
    std::optional<std::wstring_view> Next(bool honourQuotes) {
        if (cursor_ > text_.size()) return std::nullopt;
        std::size_t end = cursor_;
        while (end < text_.size() &&
               !(MatchesAscii(text_[end], L',') && (!honourQuotes || !quoted_[end])))
            ++end;
        const std::wstring_view field = std::wstring_view(text_).substr(cursor_, end - cursor_);
        cursor_ = end + 1;
        return field;
    }

  private:
    std::wstring& text_;
    std::vector<char>& quoted_;
    std::size_t cursor_ = 0;
};

std::wstring_view TrimOneBlank(std::wstring_view field, bool leading) {
    if (!field.empty() && field.back() == L' ') field.remove_suffix(1);
    if (leading && !field.empty() && field.front() == L' ') field.remove_prefix(1);
    return field;
}

}  // namespace

bool IsMetresHeader(std::wstring_view line) {
    constexpr std::wstring_view kHeader = L"ALT[M]";
    const std::size_t start = SkipBlanksFrom(line, 0);
    if (line.size() - start < kHeader.size()) return false;
    for (std::size_t i = 0; i < kHeader.size(); ++i) {
        const wchar_t c = line[start + i];
        const wchar_t h = kHeader[i];
        if (!(h >= L'A' && h <= L'Z' ? IsLetter(c, h) : MatchesAscii(c, h))) return false;
    }
    return true;
}

WaypointLine WaypointLineParser::Parse(std::wstring_view line, bool altitudesInMetres,
                                       WaypointRecord& record, MapExtension* extension) {
    line = StripLineEnd(line);
    record.flags = 0;
    if (line.find(L'\t') != std::wstring_view::npos) {
        return ParseTab(line, altitudesInMetres, record);
    }
    const std::size_t comma = FindComma(line);
    if (comma == std::wstring_view::npos) return {};
    const std::wstring_view rest = FoldedInto(folded_, line.substr(comma + 1));
    if (StartsWithNumber(rest)) {
        // Unless that number is out of range: then it is no number.
        if (const auto decimal = ParseDecimal(line, comma, rest, altitudesInMetres, record, extension)) {
            return *decimal;
        }
    }
    return ParseAlternate(line, record);
}

// rest is the folded text after the name's comma. Nothing when the first
// number cannot be read (the line is no decimal line).
std::optional<WaypointLine> WaypointLineParser::ParseDecimal(std::wstring_view line,
                                                             std::size_t comma,
                                                             std::wstring_view rest,
                                                             bool altitudesInMetres,
                                                             WaypointRecord& record,
                                                             MapExtension* extension) {
    std::size_t i = SkipBlanksFrom(line, 0);
    const bool attachments = i < comma && MatchesAscii(line[i], L'\\');
    if (attachments) ++i;

    Scanner scan(rest);
    std::array<double, 6> v{};
    bool latitudeMinus = false;
    bool longitudeMinus = false;
    for (std::size_t k = 0; k < v.size(); ++k) {
        if (k > 0 && !scan.Skip()) return WaypointLine{};
        bool* minus = k == 0 ? &latitudeMinus : (k == 3 ? &longitudeMinus : nullptr);
        if (!scan.Number(v[k], minus)) {
            if (k == 0) return std::nullopt;
            return WaypointLine{};
        }
    }

    bool placed = false;
    if (v[0] > kUtmMarker) {
        const double zone = std::trunc(v[4]);
        if (!(std::fabs(zone) <= kMaxUtmZone)) return WaypointLine{};
        const auto position =
            core::UTMToLatLon(static_cast<int>(zone), v[3], v[5], core::AngleUnit::kRadians);
        placed = position && SetPosition(record, position->latitude, position->lonWest);
    } else {
        placed =
            SetPosition(record, CombineDegrees(v[0], v[1], v[2], latitudeMinus) * kRadiansPerDegree,
                        CombineDegrees(v[3], v[4], v[5], longitudeMinus) * kRadiansPerDegree);
    }
    if (!placed) return WaypointLine{};

    // The altitude field follows the seventh comma of the line, the sixth
    // after the name.
    std::size_t field = 0;
    for (int count = 0; count < 6 && field != std::wstring_view::npos; ++count) {
        field = rest.find(L',', count == 0 ? 0 : field + 1);
    }
    if (field == std::wstring_view::npos) {
        SetNoAltitude(record);
    } else {
        ReadAltitudeField(rest.substr(field + 1), altitudesInMetres, record,
                          extension);
    }
    SetNameAndMarker(record, line.substr(i, comma - i));
    record.kind = kKindWaypoint;
    return WaypointLine{true, attachments};
}

WaypointLine WaypointLineParser::ParseTab(std::wstring_view line, bool altitudesInMetres,
                                          WaypointRecord& record) {
    constexpr std::size_t kMinTabs = 8;
    constexpr std::size_t kMaxFields = 16;
    std::array<std::wstring_view, kMaxFields> fields;
    std::array<std::size_t, kMaxFields> starts{};
    std::size_t count = 0;
    std::size_t start = 0;
    while (count < kMaxFields) {
        const std::size_t tab = line.find(L'\t', start);
        starts[count] = start;
        fields[count++] = line.substr(start, tab == std::wstring_view::npos ? tab : tab - start);
        if (tab == std::wstring_view::npos) break;
        start = tab + 1;
    }
    if (std::count(line.begin(), line.end(), L'\t') < static_cast<std::ptrdiff_t>(kMinTabs)) {
        return {};
    }

    // Layout A has a leading field before the name.
    const bool layoutA = IsOneOf(fields[2], L'N', L'S') && IsOneOf(fields[8], L'E', L'W');
    const std::size_t nameField = layoutA ? 1 : 0;
    const std::size_t firstNumber = layoutA ? 2 : 1;
    const std::size_t altitudeField = layoutA ? 14 : 13;

    FoldInto(folded_, line.substr(starts[firstNumber]));
    Scanner scan(folded_);
    wchar_t latitudeLetter = 0;
    wchar_t longitudeLetter = 0;
    std::array<double, 6> v{};
    std::array<bool, 6> minus{};
    double ignored = 0.0;
    const bool complete =
        scan.Char(latitudeLetter) && scan.Skip() && scan.Number(v[0], &minus[0]) && scan.Skip() &&
        scan.Number(v[1]) && scan.Skip() && scan.Number(v[2]) && scan.Skip() &&
        scan.Number(ignored) && scan.Skip() && scan.Number(ignored) && scan.Skip() &&
        scan.Char(longitudeLetter) && scan.Skip() && scan.Number(v[3], &minus[3]) && scan.Skip() &&
        scan.Number(v[4]) && scan.Skip() && scan.Number(v[5]);
    if (!complete) return {};

    double latitude = CombineDegrees(v[0], v[1], v[2], minus[0]);
    double longitude = CombineDegrees(v[3], v[4], v[5], minus[3]);
    if (IsLetter(latitudeLetter, L'S')) latitude = -std::fabs(latitude);
    if (IsLetter(longitudeLetter, L'E')) longitude = -std::fabs(longitude);
    if (!SetPosition(record, latitude * kRadiansPerDegree, longitude * kRadiansPerDegree)) {
        return {};
    }

    if (altitudeField < count) {
        FoldInto(folded_, fields[altitudeField]);
        ReadAltitudeField(folded_, altitudesInMetres, record, nullptr);
    } else {
        SetNoAltitude(record);
    }
    SetNameAndMarker(record, fields[nameField]);
    record.kind = kKindWaypoint;
    return {true, false};
}

WaypointLine WaypointLineParser::ParseAlternate(std::wstring_view line, WaypointRecord& record) {
    CommaFields fields(line, fields_, quoted_);
    if (!fields.Next(true)) return {};  // the first field is not used

    // A position field reads as a number and the character after it (which
    // may be the comma that ends the field): the value and that character.
    struct Position {
        double value;
        wchar_t letter;
    };
    const auto nextPosition = [&]() -> std::optional<Position> {
        for (;;) {
            const std::size_t start = fields.Cursor();
            const auto field = fields.Next(true);
            if (!field) return std::nullopt;
            FoldInto(folded_, fields.TextFrom(start).substr(0, field->size() + 1));
            Scanner scan(folded_);
            Position position{0.0, 0};
            if (scan.Number(position.value) && scan.Char(position.letter)) return position;
        }
    };
    // DDMM.mm (or DDDMM.mm) to degrees.
    const auto degrees = [](double value) {
        const double whole = std::floor(value / 100.0);
        return whole + (value - 100.0 * whole) / 60.0;
    };

    const auto latitude = nextPosition();
    if (!latitude) return {};
    const auto longitude = nextPosition();
    if (!longitude) return {};
    const auto name = fields.Next(true);
    if (!name) return {};

    double latitudeDeg = degrees(latitude->value);
    if (IsLetter(latitude->letter, L'S')) latitudeDeg = -latitudeDeg;
    double longitudeDeg = degrees(longitude->value);
    if (!IsLetter(longitude->letter, L'W')) longitudeDeg = -longitudeDeg;
    if (!SetPosition(record, latitudeDeg * kRadiansPerDegree, longitudeDeg * kRadiansPerDegree)) {
        return {};
    }
    record.name.Assign(TrimOneBlank(*name, true), kFileNameLength);
    record.kind = kKindAlternate;
    SetNoAltitude(record);

    if (const auto comment = fields.Next(true)) {
        std::wstring_view text = TrimOneBlank(*comment, false);
        text.remove_prefix(SkipBlanksFrom(text, 0));
        if (!text.empty()) record.attachments.SetComment(text);
    } else {
        return {true, false};
    }
    if (!fields.Next(false)) return {true, false};

    const std::size_t altitudeStart = fields.Cursor();
    const auto altitudeField = fields.Next(true);
    if (!altitudeField) return {true, false};
    FoldInto(folded_, fields.TextFrom(altitudeStart).substr(0, altitudeField->size() + 1));
    Scanner scan(folded_);
    float altitude = 0.0F;
    if (scan.Float(altitude)) {
        wchar_t unit = 0;
        scan.Char(unit);
        SetAltitude(record, altitude, IsLetter(unit, L'M') ? L'M' : L'F', false);
    }

    if (const auto style = fields.Next(true)) {
        if (std::any_of(style->begin(), style->end(),
                        [](wchar_t c) { return IsLetter(c, L'L'); })) {
            record.flags = kMarkerFlag;
        }
    }
    return {true, false};
}

}  // namespace nav
