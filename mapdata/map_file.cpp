#include "mapdata/map_file.h"

#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>
#include <thread>

#include "core/angles.h"
#include "core/utm.h"
#include "core/waypoint_course.h"
#include "mapdata/binary_map_records.h"
#include "mapdata/map_utilities.h"
#include "platform/numbers.h"
#include "platform/utf.h"

namespace mapdata {
namespace {

using core::kRadiansPerDegree;
// The degree factor of the rotation, as the map has always used it.
constexpr double kRotationDegree = 0.017453292;
// A first field of at least this marks the UTM form of a record.
constexpr double kUtmMarker = 361.0;
// Reading options: strip the line end and trailing blanks, skip leading ones.
constexpr int kDataLineOptions = core::TextFile::kStripDelimiter |
                                 core::TextFile::kStripTrailingSpace |
                                 core::TextFile::kSkipLeadingSpace;

// Where the group of three fields that starts at pos ends: after its third
// comma, or at the end of the text.
std::size_t GroupEnd(std::wstring_view text, std::size_t pos) {
    for (int commas = 0; commas < 3; ++commas) {
        const std::size_t comma = text.find(L',', pos);
        if (comma == std::wstring_view::npos) return text.size();
        pos = comma + 1;
    }
    return pos;
}

// "%lf%*c%lf%*c%lf": up to three numbers, each after one skipped character.
int ScanTriple(std::wstring_view text, std::array<double, 3>& values) {
    std::size_t pos = 0;
    for (int i = 0; i < 3; ++i) {
        if (i > 0) {
            if (pos >= text.size()) return i;
            ++pos;  // %*c
        }
        const auto v = platform::ScanDouble(text.substr(pos));
        if (!v) return i;
        values[static_cast<std::size_t>(i)] = v->value;
        pos += v->length;
    }
    return 3;
}

// "%lf%*c%d%*c%lf": northing, zone, easting.
bool ScanUtm(std::wstring_view text, double& northing, int& zone, double& easting) {
    const auto n = platform::ScanDouble(text);
    if (!n) return false;
    std::size_t pos = n->length + 1;
    if (pos > text.size()) return false;
    const auto z = platform::ScanInt(text.substr(pos));
    if (!z) return false;
    pos += z->length + 1;
    if (pos > text.size()) return false;
    const auto e = platform::ScanDouble(text.substr(pos));
    if (!e) return false;
    northing = n->value;
    zone = z->value;
    easting = e->value;
    return true;
}

// One degree/minute/second group in degrees.
std::optional<double> ReadAngle(std::wstring_view group, bool isLongitude) {
    std::array<double, 3> v{};
    if (ScanTriple(group, v) < 3) return std::nullopt;
    double degrees = v[0];
    if (isLongitude && degrees > 180.0) degrees -= 360.0;
    const double fraction = (v[1] + v[2] / 60.0) / 60.0;
    double value = degrees >= 0.0 ? degrees + fraction : degrees - fraction;
    if (degrees == 0.0) {
        const std::wstring_view field = group.substr(0, group.find(L','));
        if (field.find(L'-') != std::wstring_view::npos) value = -value;
    }
    if (!std::isfinite(value)) return std::nullopt;
    return value;
}

// Unit of the last character of a file is a line feed (or the file holds
// no data behind its mark).
bool EndsWithLineFeed(core::TextFile& file) {
    const auto length = file.GetLength();
    if (!length || *length <= file.DataStart()) return true;
    const bool wide = file.GetEncoding() == core::TextEncoding::kUtf16Le ||
                      file.GetEncoding() == core::TextEncoding::kUtf16Be;
    const std::size_t size = wide ? 2 : 1;
    if (*length < file.DataStart() + size) return true;
    std::array<unsigned char, 2> last{};
    if (!file.SetPosition(*length - size) || file.ReadBytes(last.data(), size) != size) return false;
    if (!wide) return last[0] == '\n';
    return file.GetEncoding() == core::TextEncoding::kUtf16Le ? (last[0] == '\n' && last[1] == 0)
                                                              : (last[0] == 0 && last[1] == '\n');
}

class BusyGuard {
  public:
    explicit BusyGuard(std::atomic<int>& count) : count_(count) { ++count_; }
    ~BusyGuard() { --count_; }
    BusyGuard(const BusyGuard&) = delete;
    BusyGuard& operator=(const BusyGuard&) = delete;

  private:
    std::atomic<int>& count_;
};

}  // namespace

ParsedCoordinates ParseCoordinates(std::wstring_view text) {
    ParsedCoordinates out;
    const std::size_t latEnd = GroupEnd(text, 0);
    if (text.empty() || latEnd >= text.size()) return out;  // the longitude is missing
    const std::size_t lonEnd = GroupEnd(text, latEnd);
    out.consumed = lonEnd;
    out.result = CoordinateResult::kNotThreeNumbers;

    const std::wstring_view latGroup = text.substr(0, latEnd);
    const std::wstring_view lonGroup = text.substr(latEnd, lonEnd - latEnd);
    const auto first = platform::ScanDouble(latGroup);
    if (first && first->value >= kUtmMarker) {
        double northing = 0.0;
        double easting = 0.0;
        int zone = 0;
        if (!ScanUtm(lonGroup, northing, zone, easting)) return out;
        const auto p = core::UTMToLatLon(zone, northing, easting, core::AngleUnit::kRadians);
        if (!p || !std::isfinite(p->latitude) || !std::isfinite(p->lonWest)) return out;
        out.latitude = p->latitude;
        out.lonWest = p->lonWest;
    } else {
        const auto lat = ReadAngle(latGroup, false);
        const auto lon = ReadAngle(lonGroup, true);
        if (!lat || !lon) return out;
        out.latitude = *lat * kRadiansPerDegree;
        out.lonWest = *lon * kRadiansPerDegree;
    }
    out.result = CoordinateResult::kParsed;
    return out;
}

float CornerDistanceMiles(const nav::WaypointRecord& corner1, const nav::WaypointRecord& corner2) {
    return nav::CourseAndDistance(corner1, corner2) / kKmPerMile;
}

CMapFile::CMapFile() { SetRotation(0.0, true); }

ChooseResult CMapFile::ChooseMapFile(std::wstring_view path, bool mustExist,
                                     const MapFileChoice& choice) {
    std::wstring name(path);
    if (name.empty()) {
        if (!choice.chooser) return ChooseResult::kCancelled;
        auto chosen = choice.chooser();
        if (!chosen || chosen->empty()) return ChooseResult::kCancelled;
        name = std::move(*chosen);
    }
    if (IsOpen()) Close();
    readOnly_ = false;
    const core::OpenMode mode = mustExist ? core::OpenMode::kReadWrite : core::OpenMode::kReadWriteCreate;
    if (!Open(name, mode, true)) {
        const int error = errno;
        if (error == EACCES || error == EROFS) {
            if (!Open(name, core::OpenMode::kRead)) return ChooseResult::kOpenFailed;
            readOnly_ = true;
        } else {
            Open(name, mode);  // shows the reason
            return ChooseResult::kOpenFailed;
        }
    }
    const auto length = GetLength();
    if (length && *length == 0) {
        if (!choice.haveFix || readOnly_) {
            Close();
            if (!readOnly_) ::unlink(platform::ToUtf8(GetFullPath()).c_str());
            return ChooseResult::kEmptyWithoutFix;
        }
        if (!WriteDefaultHeader(choice.position, choice.mapRadius, choice.earthRadiusInUnit)) {
            Close();
            return ChooseResult::kOpenFailed;
        }
    }
    return ChooseResult::kOpened;
}

bool CMapFile::Reopen() {
    const std::wstring path = GetFullPath();
    if (IsOpen()) Close();
    recordsEnd = 0;
    if (!Open(path, readOnly_ ? core::OpenMode::kRead : core::OpenMode::kReadWrite)) return false;
    if (ReadHeader() != HeaderResult::kRead) return false;
    if (binary_) {
        const auto length = GetLength();
        std::array<unsigned char, 4> marker{};
        if (length && *length >= dataStart + 4 && SetPosition(*length - 4) &&
            ReadBytes(marker.data(), 4) == 4 &&
            marker == std::array<unsigned char, 4>{0xFF, 0xFF, 0xFF, 0xFF}) {
            recordsEnd = *length - 4;
        }
    }
    return true;
}

bool CMapFile::DetectBinarySignature() {
    std::array<unsigned char, 6> head{};
    if (!SetPosition(0) || ReadBytes(head.data(), head.size()) != head.size()) return false;
    if (head[0] != ';' || head[1] != 0xFB || head[2] <= 0xFA || head[3] <= 0xFA ||
        head[4] != 'K' || head[5] != 'O') {
        return false;
    }
    version_ = (head[2] - 0xFB) * 5 + (head[3] - 0xFB);
    return true;
}

HeaderResult CMapFile::ReadHeader() {
    binary_ = DetectBinarySignature();
    if (binary_) {
        // The signature line is a comment; the header line is one byte per
        // character.
        SetEncoding(core::TextEncoding::kAnsi);
        SetDataStart(0);
    } else {
        version_ = 0;
    }
    ClearEndOfFile();
    if (!SetPosition(DataStart())) return HeaderResult::kUnreadable;
    const auto line = ReadNextDataLine(L'\n', L';', kDataLineOptions);
    if (!line) return HeaderResult::kUnreadable;
    headerText_.assign(line->substr(0, kHeaderTextLimit));
    dataStart = GetPosition();

    std::wstring text = headerText_;
    FoldFullWidthText(text);
    const std::wstring_view view(text);
    const ParsedCoordinates first = ParseCoordinates(view);
    if (first.result != CoordinateResult::kParsed) return HeaderResult::kUnreadable;
    const ParsedCoordinates second = ParseCoordinates(view.substr(first.consumed));
    if (second.result != CoordinateResult::kParsed) return HeaderResult::kUnreadable;

    nav::WaypointRecord corner1(first.latitude, first.lonWest, false);
    nav::WaypointRecord corner2(second.latitude, second.lonWest, false);
    cornerDistance_ = CornerDistanceMiles(corner1, corner2);
    scale_ = cornerDistance_;
    nav::WaypointRecord centre((first.latitude + second.latitude) / 2,
                               (first.lonWest + second.lonWest) / 2, false);
    SetCenter(centre);
    Project(corner1, corner1X_, corner1Y_);
    Project(corner2, corner2X_, corner2Y_);

    // The radius with its unit letter, then the scale, after the 12th comma.
    const std::size_t radiusAt = first.consumed + second.consumed;
    if (radiusAt >= view.size() || view[radiusAt - 1] != L',') return HeaderResult::kRefused;
    const std::wstring_view rest = view.substr(radiusAt);
    const auto radius = platform::ScanFloat(rest);
    if (!radius) return HeaderResult::kRefused;
    // Corners that coincide leave no map to show (and divide by zero later).
    if (!(cornerDistance_ > 0.0F) || !std::isfinite(cornerDistance_)) return HeaderResult::kRefused;
    std::size_t pos = radius->length;
    wchar_t letter = 0;
    float headerScale = 0.0F;
    if (pos < rest.size()) {
        letter = rest[pos];
        pos += 2;  // the letter and one skipped character
        if (pos <= rest.size()) {
            const auto scale = platform::ScanFloat(rest.substr(pos));
            if (scale) headerScale = scale->value;
        }
    }
    hasScale_ = true;
    headerScale_ = headerScale > 0.0F ? headerScale : cornerDistance_;
    scale_ = headerScale_;
    switch (letter) {
        case L'K':
        case L'k':
            unitLetter_ = L'K';
            unitFactor_ = 1.0F / kKmPerMile;
            break;
        case L'N':
        case L'n':
            unitLetter_ = L'N';
            unitFactor_ = kKmPerNm / kKmPerMile;
            break;
        default:
            unitLetter_ = L'M';
            unitFactor_ = 1.0F;
    }
    headerRadius_ = radius->value * unitFactor_;
    return HeaderResult::kRead;
}

void CMapFile::SetCenter(const nav::WaypointRecord& centre) {
    centre_ = centre;
    const double c = std::sqrt(std::max(0.0, 1.0 - centre.z * centre.z));
    if (c > 1e-12) {
        eastX_ = centre.y / c;
        eastY_ = -centre.x / c;
    } else {  // a pole: the axes of its longitude
        eastX_ = -std::sin(centre.longitude);
        eastY_ = -std::cos(centre.longitude);
    }
    north_ = {centre.z * eastY_, -centre.z * eastX_, c};
}

void CMapFile::ProjectExact(const nav::WaypointRecord& p, double& x, double& y) const {
    const double d = centre_.x * p.x + centre_.y * p.y + centre_.z * p.z;
    const double u = (eastX_ * p.x + eastY_ * p.y) / d;
    const double v = (north_.x * p.x + north_.y * p.y + north_.z * p.z) / d;
    x = rotation_[0] * u + rotation_[1] * v;
    y = rotation_[2] * u + rotation_[3] * v;
}

void CMapFile::Project(const nav::WaypointRecord& p, float& x, float& y) const {
    double dx = 0.0;
    double dy = 0.0;
    ProjectExact(p, dx, dy);
    x = static_cast<float>(dx);
    y = static_cast<float>(dy);
}

void CMapFile::SetRotation(double angle, bool inDegrees) {
    rotationAngle_ = inDegrees ? angle * kRotationDegree : angle;
    const auto c = static_cast<float>(std::cos(rotationAngle_));
    const auto s = static_cast<float>(std::sin(rotationAngle_));
    rotation_[0] = c;
    rotation_[1] = s;
    rotation_[2] = -s;
    rotation_[3] = c;
}

void CMapFile::SetBoundsAround(nav::WaypointRecord centre, double dx, double dy,
                               nav::WaypointRecord& corner1, nav::WaypointRecord& corner2,
                               bool recentre) {
    if (recentre) centre.ComputeUnitVector();
    SetCenter(centre);
    const auto corner = [&](double sign, nav::WaypointRecord& out) {
        double stretch = 1.0;
        double x = 0.0;
        double y = 0.0;
        double z = 0.0;
        for (int attempt = 0; attempt < 2; ++attempt) {
            x = centre.x + sign * stretch * (dx * eastX_ + dy * north_.x);
            y = centre.y + sign * stretch * (dx * eastY_ + dy * north_.y);
            z = centre.z + sign * stretch * dy * north_.z;
            if (x != 0.0 || y != 0.0) break;
            stretch = 1.05;
        }
        const double norm = std::sqrt(x * x + y * y + z * z);
        x /= norm;
        y /= norm;
        z /= norm;
        out.latitude = std::asin(std::clamp(z, -1.0, 1.0));
        const double h = std::sqrt(x * x + y * y);
        double lon = h > 0.0 ? std::acos(std::clamp(x / h, -1.0, 1.0)) : 0.0;
        if (y > 0.0) lon = -lon;
        out.longitude = lon;
        out.ComputeUnitVector();
    };
    corner(-1.0, corner1);
    corner(1.0, corner2);
    cornerDistance_ = CornerDistanceMiles(corner1, corner2);
    scale_ = cornerDistance_;
    headerScale_ = cornerDistance_;
    hasScale_ = true;
    Project(corner1, corner1X_, corner1Y_);
    Project(corner2, corner2X_, corner2Y_);
}

MapDrawState CMapFile::DrawState(float cx, float cy, float k) const {
    MapDrawState s;
    s.centre = {centre_.x, centre_.y, centre_.z};
    s.eastX = eastX_;
    s.eastY = eastY_;
    s.north = north_;
    s.r00 = rotation_[0];
    s.r01 = rotation_[1];
    s.r10 = rotation_[2];
    s.r11 = rotation_[3];
    s.cx = cx;
    s.cy = cy;
    s.k = k;
    s.scale = scale_;
    s.rotation = static_cast<float>(rotationAngle_);
    return s;
}

bool CMapFile::WriteDefaultHeader(const nav::WaypointRecord& position, double mapRadius,
                                  double earthRadiusInUnit) {
    const double angle = mapRadius / earthRadiusInUnit;
    nav::WaypointRecord corner1;
    nav::WaypointRecord corner2;
    SetBoundsAround(position, angle, angle, corner1, corner2, true);
    const double deg = 1.0 / kRadiansPerDegree;
    const std::wstring line =
        platform::FormatC(L"%05.3lf,0,0,%05.3lf,0,0,%05.3lf,0,0,%05.3lf,0,0,10M,%04.2f\r\n",
                          corner1.latitude * deg, corner1.longitude * deg, corner2.latitude * deg,
                          corner2.longitude * deg, static_cast<double>(scale_));
    return WriteLine(line);
}

bool CMapFile::WritePointRecord(const nav::WaypointRecord& position) {
    if (!IsOpen() || readOnly_) return false;
    if (binary_ && recordsEnd == 0) return false;  // the end marker was never found
    const BusyGuard busy(busyCount_);
    const std::int32_t code = nextPointCode_ - 1;
    const bool written =
        binary_ ? AppendBinaryRecord(position, code) : AppendTextRecord(position, code);
    if (written) nextPointCode_ = code;
    return written;
}

bool CMapFile::AppendTextRecord(const nav::WaypointRecord& position, std::int32_t code) {
    const double deg = 1.0 / kRadiansPerDegree;
    return AppendLines(platform::FormatC(L"%09.7lf, 0, 0,%09.7lf, 0, 0, %d\r\n",
                                         position.latitude * deg, position.longitude * deg, code));
}

bool CMapFile::AppendLines(std::wstring_view lines) {
    core::TextFile out;
    if (!out.Open(GetFullPath(), core::OpenMode::kReadWrite)) return false;
    out.SetEncoding(GetEncoding());
    out.SetDataStart(DataStart());
    std::wstring text = EndsWithLineFeed(out) ? L"" : L"\r\n";
    text += lines;
    return out.SeekToEnd() && out.WriteLine(text) && out.Close();
}

bool CMapFile::AppendTextLines(std::wstring_view lines) {
    if (!IsOpen() || readOnly_ || binary_) return false;
    const BusyGuard busy(busyCount_);
    return AppendLines(lines);
}

bool CMapFile::AppendBinaryRecord(const nav::WaypointRecord& position, std::int32_t code) {
    core::TextFile out;
    if (!out.Open(GetFullPath(), core::OpenMode::kReadWrite)) return false;
    // Only ever over the end marker the read found, or at the end of a map
    // that ended without one.
    const std::uint64_t end = recordsEnd;
    std::array<unsigned char, 4> marker{};
    if (!out.SetPosition(end)) return false;
    const std::size_t got = out.ReadBytes(marker.data(), 4);
    const bool atMarker = got == 4 && marker == std::array<unsigned char, 4>{0xFF, 0xFF, 0xFF, 0xFF};
    if (!atMarker && !(got == 0 && out.GetLength() == end)) return false;
    BinaryWriter writer;
    writer.Word(static_cast<std::uint32_t>(ElementKind::kText));
    WriteTextRecord(writer, PointMarkerElement(position, code, {}, 0.0F, 0.0F));
    const std::uint64_t newEnd = end + writer.Data().size();
    writer.Word(kBinaryEndMarker);
    if (!out.SetPosition(end) ||
        !out.WriteBytes(writer.Data().data(), writer.Data().size()) || !out.Close()) {
        return false;
    }
    recordsEnd = newEnd;
    return true;
}

std::optional<RecordAt> CMapFile::ReadRecordAt(std::uint64_t offset) {
    if (!IsOpen()) return std::nullopt;
    WaitWhileBusy();
    ClearEndOfFile();
    if (!SetPosition(offset)) return std::nullopt;
    RecordAt out;
    std::wstring line;
    for (;;) {
        const auto read = ReadNextDataLine(L'\n', L';', core::TextFile::kStripDelimiter |
                                                            core::TextFile::kSkipLeadingSpace);
        if (!read) return std::nullopt;
        const wchar_t first = FoldFullWidthChar(read->front());
        if (first == L'*' || first == L'?') continue;
        line.assign(*read);
        break;
    }
    out.lineStart = LineStart();
    out.nextOffset = GetPosition();
    if (!line.empty() && line.back() == L'\r') line.pop_back();
    std::wstring folded = line;
    FoldFullWidthText(folded);
    const ParsedCoordinates c = ParseCoordinates(folded);
    if (c.result != CoordinateResult::kParsed || c.consumed >= folded.size()) return std::nullopt;
    const auto code = platform::ScanInt(std::wstring_view(folded).substr(c.consumed));
    if (!code) return std::nullopt;
    out.record = nav::WaypointRecord(c.latitude, c.lonWest, false);
    out.code = code->value;
    if (out.code < 1) return out;
    const std::size_t comma = folded.find(L',', c.consumed + code->length);
    if (comma == std::wstring::npos) return std::nullopt;
    if (comma + 1 < folded.size() && folded[comma + 1] == L'\\') {
        const auto noteLine = ReadLine(L'\n', core::TextFile::kStripDelimiter |
                                                  core::TextFile::kStripTrailingSpace);
        if (noteLine && !noteLine->empty()) out.note.assign(*noteLine);
        out.nextOffset = GetPosition();  // the note line belongs to the record
    }
    return out;
}

void CMapFile::CopyProjection(const CMapFile& other) {
    centre_ = other.centre_;
    corner1X_ = other.corner1X_;
    corner1Y_ = other.corner1Y_;
    corner2X_ = other.corner2X_;
    corner2Y_ = other.corner2Y_;
    scale_ = other.scale_;
    north_ = other.north_;
    eastX_ = other.eastX_;
    eastY_ = other.eastY_;
    rotation_ = other.rotation_;
    rotationAngle_ = other.rotationAngle_;
}

void CMapFile::CopyFrom(const CMapFile& other) {
    CopyProjection(other);
    unitLetter_ = other.unitLetter_;
    unitFactor_ = other.unitFactor_;
    hasScale_ = other.hasScale_;
    headerScale_ = other.headerScale_;
    headerRadius_ = other.headerRadius_;
    busyCount_ = other.busyCount_.load();
    nextPointCode_ = other.nextPointCode_;
}

void CMapFile::WaitWhileBusy() const {
    while (busyCount_.load() != 0) std::this_thread::sleep_for(std::chrono::milliseconds(10));
}

CMapTextElement PointMarkerElement(const nav::WaypointRecord& position, std::int32_t code,
                                   std::wstring text, float scale1, float scale2) {
    CMapTextElement e;
    e.longitude = position.longitude;
    e.latitude = position.latitude;
    e.position = {static_cast<float>(position.x), static_cast<float>(position.y),
                  static_cast<float>(position.z)};
    e.kindCode = code;
    e.text = std::move(text);
    e.scale1 = scale1;
    e.scale2 = scale2;
    return e;
}

}  // namespace mapdata
