#include "nav/team_code.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <mutex>
#include <numbers>
#include <string_view>
#include <vector>

#include "core/geodesy.h"
#include "resources/ids/strings_wind.h"
#include "services/string_resources.h"

namespace nav {
namespace {

constexpr std::wstring_view kAlphabet = L"0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
constexpr int kBase = 36;
constexpr int kInvalid = -999;
constexpr wchar_t kNoCentreCode[] = L"----";
constexpr wchar_t kUnencodable[] = L"???";
constexpr double kBaseUnitNm = 0.135;
constexpr int kMaxPairs = 10;
constexpr double kCourseSteps = 1296.0;
constexpr double kMetresPerNm = 1852.0;
constexpr double kMaxCentreLatitude = 89.0 * std::numbers::pi / 180.0;
// Grid units (1/36000 degree) per radian.
constexpr double kGridUnits = 36000.0 * 180.0 / std::numbers::pi;
constexpr std::string_view kSection = "Settings\\teamFlight";

int Mod36(long long value) {
    const long long m = value % kBase;
    return static_cast<int>(m < 0 ? m + kBase : m);
}

wchar_t Upper(wchar_t c) {
    return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c;
}

// Groups of two counted from the end, one space between.
std::wstring GroupFromEnd(std::wstring_view code) {
    std::wstring grouped;
    for (std::size_t i = 0; i < code.size(); ++i) {
        if (i > 0 && (code.size() - i) % 2 == 0) grouped += L' ';
        grouped += code[i];
    }
    return grouped;
}

// Ring digits: 0-25 "A"-"Z", 26-35 "0"-"9".
wchar_t RingChar(int n) {
    return n < 26 ? static_cast<wchar_t>(L'A' + n) : static_cast<wchar_t>(L'0' + n - 26);
}
int RingValue(wchar_t c) {
    if (c >= L'A' && c <= L'Z') return c - L'A';
    if (c >= L'0' && c <= L'9') return c - L'0' + 26;
    return kInvalid;
}

bool Finite(double a, double b) {
    return std::isfinite(a) && std::isfinite(b);
}

std::mutex g_coderMutex;
std::shared_ptr<const TeamCoder> g_coder = std::make_shared<const TeamCoder>(TeamSettings{});

}  // namespace

int TeamDigitValue(wchar_t c) {
    const std::size_t at = kAlphabet.find(c);
    return at == std::wstring_view::npos ? kInvalid : static_cast<int>(at);
}

wchar_t TeamDigitChar(int n) {
    return n >= 0 && n < kBase ? kAlphabet[static_cast<std::size_t>(n)] : L'_';
}

int TeamCodeToValue(std::wstring_view text, int shift) {
    long long value = 0;
    long long weight = 1;
    for (std::size_t i = text.size(); i-- > 0;) {
        const int digit = TeamDigitValue(Upper(text[i]));
        if (digit == kInvalid) return kInvalid;
        const int unshifted = Mod36(static_cast<long long>(digit) - shift);
        if (unshifted != 0 && weight > std::numeric_limits<int>::max()) return kInvalid;
        value += unshifted * weight;
        if (value > std::numeric_limits<int>::max()) return kInvalid;
        if (weight <= std::numeric_limits<int>::max()) weight *= kBase;
    }
    return static_cast<int>(value);
}

std::wstring TeamCodeFromValue(int value, int shift) {
    std::wstring digits;
    long long rest = value < 0 ? 0 : value;
    do {
        digits.insert(digits.begin(), TeamDigitChar(Mod36(rest % kBase + shift)));
        rest /= kBase;
    } while (rest > 0);
    return digits;
}

std::wstring CleanTeamCode(std::wstring_view text, std::size_t length) {
    std::wstring clean;
    for (const wchar_t c : text) {
        if (clean.size() >= length) break;
        const wchar_t upper = Upper(c);
        if (TeamDigitValue(upper) != kInvalid) clean += upper;
    }
    return clean;
}

int TeamKeyShift(std::wstring_view key) {
    // Every place but the last is a multiple of 36.
    if (key.empty()) return 0;
    for (const wchar_t c : key) {
        if (TeamDigitValue(Upper(c)) == kInvalid) return kInvalid;
    }
    return TeamDigitValue(Upper(key.back()));
}

TeamCoder::TeamCoder(const TeamSettings& settings) : settings_(settings) {
    shift_ = settings_.encodeInfo == 3 ? Mod36(TeamKeyShift(settings_.lastCode)) : 0;
    if (!HasCentre()) return;
    const auto c = static_cast<long>(40.0 / std::cos(settings_.centerLat));
    columns_[0] = 512 * c;
    columns_[1] = 64 * c;
    columns_[2] = 8 * c;
    columns_[3] = c;
    originX_ = static_cast<long>(-settings_.centerLon * kGridUnits - 4.0 * columns_[0]);
    originY_ = static_cast<long>(settings_.centerLat * kGridUnits - 4.0 * rows_[0]);
}

bool TeamCoder::HasCentre() const {
    const TeamSettings& s = settings_;
    return Finite(s.centerLon, s.centerLat) && s.centerLon != kNoTeamCentre &&
           s.centerLat != kNoTeamCentre && std::fabs(s.centerLat) <= kMaxCentreLatitude &&
           std::fabs(s.centerLon) <= 2.0 * std::numbers::pi;
}

std::wstring TeamCoder::Encode(double lonWest, double latitude) const {
    if (settings_.encodeInfo < 0 || settings_.encodeInfo > 3) return kUnencodable;
    if (!HasCentre() || !Finite(lonWest, latitude) || lonWest == kNoTeamCentre ||
        latitude == kNoTeamCentre) {
        return kNoCentreCode;
    }
    switch (settings_.encodeInfo) {
        case 0:
            return EncodePolar(lonWest, latitude);
        case 2:
            return EncodeGrid(lonWest, latitude);
        default:
            return EncodeBase36(lonWest, latitude);
    }
}

std::optional<TeamPosition> TeamCoder::Decode(std::wstring_view code) const {
    if (!HasCentre() || settings_.encodeInfo < 0 || settings_.encodeInfo > 3) return std::nullopt;
    switch (settings_.encodeInfo) {
        case 0:
            return DecodePolar(code);
        case 2:
            return DecodeGrid(code);
        default:
            return DecodeBase36(code);
    }
}

TeamPosition TeamCoder::From(double course, double distanceNm) const {
    const core::GeodesicDirectResult end = core::g_ellipsoid.GeodesicDirect(
        settings_.centerLat, -settings_.centerLon, course, distanceNm, true);
    return {-end.lonEast, end.latitude};
}

// Ring r of 0.135 nm * 2^grid and angle a in steps of pi/2, or of 1/r
// radians beyond the first ring; pairs least significant first.
std::wstring TeamCoder::EncodePolar(double lonWest, double latitude) const {
    const core::GeodesicInverseResult way = core::g_ellipsoid.GeodesicInverse(
        settings_.centerLat, -settings_.centerLon, latitude, -lonWest, true);
    const double distance = way.valid ? way.distance : 0.0;
    const double course = way.valid ? way.course12 : 0.0;
    const double unit = kBaseUnitNm * std::ldexp(1.0, settings_.grid);
    auto ring = static_cast<long long>(std::floor(distance / unit + 0.5));
    const double step = ring > 1 ? 1.0 / static_cast<double>(ring) : std::numbers::pi / 2.0;
    auto angle = static_cast<long long>(std::floor(course / step + 0.5));
    std::wstring code;
    int pairs = 0;
    do {
        if (pairs == kMaxPairs) return kUnencodable;
        if (pairs == 0 || ring != 0) {
            code += RingChar(static_cast<int>(ring % kBase));
            ring /= kBase;
        }
        code += TeamDigitChar(static_cast<int>(angle % kBase));
        angle /= kBase;
        ++pairs;
    } while (ring != 0 || angle != 0);
    return GroupFromEnd(code);
}

std::optional<TeamPosition> TeamCoder::DecodePolar(std::wstring_view code) const {
    long long ring = 0;
    long long angle = 0;
    long long weight = 1;
    std::size_t i = 0;
    const auto skipSpace = [&] {
        if (i < code.size() && code[i] == L' ') ++i;
    };
    bool any = false;
    while (i < code.size()) {
        skipSpace();
        if (i >= code.size()) break;
        const wchar_t c = Upper(code[i++]);
        skipSpace();
        int angleDigit = 0;
        if (i < code.size()) {
            const int ringDigit = RingValue(c);
            angleDigit = TeamDigitValue(Upper(code[i++]));
            if (ringDigit == kInvalid) return std::nullopt;
            ring += ringDigit * weight;
        } else {
            angleDigit = TeamDigitValue(c);
        }
        if (angleDigit == kInvalid || weight > (1LL << 40)) return std::nullopt;
        angle += angleDigit * weight;
        weight *= kBase;
        any = true;
    }
    if (!any) return std::nullopt;
    const double step = ring > 1 ? 1.0 / static_cast<double>(ring) : std::numbers::pi / 2.0;
    const double distance =
        static_cast<double>(ring) * std::ldexp(1.0, settings_.grid) * kBaseUnitNm;
    return From(step * static_cast<double>(angle), distance);
}

std::wstring TeamCoder::EncodeBase36(double lonWest, double latitude) const {
    const core::GeodesicInverseResult way = core::g_ellipsoid.GeodesicInverse(
        settings_.centerLat, -settings_.centerLon, latitude, -lonWest, true);
    if (!way.valid) return kNoCentreCode;
    const double degrees = way.course12 * 180.0 / std::numbers::pi;
    std::wstring course =
        TeamCodeFromValue(static_cast<int>(degrees * kCourseSteps / 360.0), shift_);
    // Padded with the shifted zero, so that the decoder's un-shifting reads 0.
    if (course.size() < 2) course.insert(course.begin(), TeamDigitChar(shift_));
    const double metres = way.distance * kMetresPerNm;
    if (!(metres / 100.0 < std::numeric_limits<int>::max())) return kUnencodable;
    const std::wstring distance = TeamCodeFromValue(static_cast<int>(metres / 100.0), shift_);
    return GroupFromEnd(course + distance);
}

std::optional<TeamPosition> TeamCoder::DecodeBase36(std::wstring_view text) const {
    const std::wstring code = CleanTeamCode(text, text.size());
    if (code.size() < 3) return std::nullopt;
    const int course = TeamCodeToValue(std::wstring_view(code).substr(0, 2), shift_);
    const int distance = TeamCodeToValue(std::wstring_view(code).substr(2), shift_);
    if (course < 0 || distance < 0) return std::nullopt;
    const double degrees = course * 360.0 / kCourseSteps;
    return From(degrees * std::numbers::pi / 180.0, distance * 100.0 / kMetresPerNm);
}

std::wstring TeamCoder::EncodeGrid(double lonWest, double latitude) const {
    const double fx = -lonWest * kGridUnits - static_cast<double>(originX_);
    const double fy = latitude * kGridUnits - static_cast<double>(originY_);
    if (fx < 0.0 || fy < 0.0 || fx > 1e12 || fy > 1e12) return kUnencodable;
    auto x = static_cast<long long>(fx);
    auto y = static_cast<long long>(fy);
    wchar_t letters[4];
    long long numbers[4];
    for (int level = 0; level < 4; ++level) {
        letters[level] = static_cast<wchar_t>(L'A' + x / columns_[level]);
        numbers[level] = 1 + y / rows_[level];
        x %= columns_[level];
        y %= rows_[level];
    }
    // A number of two digits or a letter past Z would not decode.
    if (numbers[0] > 9 || letters[0] > L'Z') return kUnencodable;
    std::wstring code;
    for (int level = 0; level < 4; ++level) {
        if (level > 0) code += L' ';
        code += letters[level];
        code += static_cast<wchar_t>(L'0' + numbers[level]);
    }
    return code;
}

std::optional<TeamPosition> TeamCoder::DecodeGrid(std::wstring_view code) const {
    std::size_t i = 0;
    const auto skipSpaces = [&] {
        while (i < code.size() && code[i] == L' ')
            ++i;
    };
    skipSpaces();
    if (i >= code.size() || code[i] == L'?') return std::nullopt;
    long long x = 0;
    long long y = 0;
    for (int level = 0; level < 4 && i < code.size(); ++level) {
        skipSpaces();
        if (i >= code.size()) break;
        const wchar_t letter = Upper(code[i++]);
        skipSpaces();
        if (letter < L'A' || letter > L'Z' || i >= code.size()) return std::nullopt;
        const wchar_t digit = code[i++];
        if (digit < L'0' || digit > L'9') return std::nullopt;
        skipSpaces();
        x += columns_[level] * (letter - L'A');
        y += rows_[level] * (digit - L'1');
    }
    return TeamPosition{-static_cast<double>(x + originX_) / kGridUnits,
                        static_cast<double>(y + originY_) / kGridUnits};
}

std::shared_ptr<const TeamCoder> CurrentTeamCoder() {
    const std::lock_guard lock(g_coderMutex);
    return g_coder;
}

void SetTeamSettings(const TeamSettings& settings) {
    auto coder = std::make_shared<const TeamCoder>(settings);
    const std::lock_guard lock(g_coderMutex);
    g_coder = std::move(coder);
}

TeamSettings ReadTeamSettings(const platform::SettingsStore& store, const TeamSettings& defaults) {
    TeamSettings s = defaults;
    const auto readInt = [&](std::string_view name, int current) {
        return static_cast<int>(store.GetInt(kSection, name, static_cast<std::uint32_t>(current)));
    };
    const auto readDouble = [&](std::string_view name, double current) {
        const auto bytes = store.GetBinary(kSection, name);
        if (!bytes || bytes->size() != sizeof(double)) return current;
        double value = 0.0;
        std::memcpy(&value, bytes->data(), sizeof value);
        return value;
    };
    s.encodeInfo = readInt("encodeInfo", s.encodeInfo);
    s.grid = readInt("grid", s.grid);
    s.enable = readInt("enable", s.enable);
    s.lastCode = store.GetString(kSection, "lastCode", std::wstring_view(s.lastCode));
    s.wptName = store.GetString(kSection, "wptName", std::wstring_view(s.wptName));
    s.centerLon = readDouble("centerLon", s.centerLon);
    s.centerLat = readDouble("centerLat", s.centerLat);
    return s;
}

void WriteTeamSettings(platform::SettingsStore& store, const TeamSettings& settings) {
    const auto writeDouble = [&](std::string_view name, double value) {
        std::vector<std::uint8_t> bytes(sizeof value);
        std::memcpy(bytes.data(), &value, sizeof value);
        store.WriteBinary(kSection, name, bytes);
    };
    store.WriteInt(kSection, "encodeInfo", static_cast<std::uint32_t>(settings.encodeInfo));
    store.WriteInt(kSection, "grid", static_cast<std::uint32_t>(settings.grid));
    store.WriteInt(kSection, "enable", static_cast<std::uint32_t>(settings.enable));
    store.WriteString(kSection, "lastCode", std::wstring_view(settings.lastCode));
    store.WriteString(kSection, "wptName", std::wstring_view(settings.wptName));
    writeDouble("centerLon", settings.centerLon);
    writeDouble("centerLat", settings.centerLat);
}

void LoadTeamSettings() {
    TeamSettings defaults = CurrentTeamCoder()->Settings();
    if (const std::wstring name = core::LoadResourceString(ids::kIdsTeamDefaultName); !name.empty())
        defaults.wptName = name;
    SetTeamSettings(ReadTeamSettings(platform::AppSettings(), defaults));
}

std::wstring ComputeOwnTeamCode(double lonWest, double latitude) {
    return CurrentTeamCoder()->Encode(lonWest, latitude);
}

std::optional<CWaypointEntry> TeamCodeToPosition(std::wstring_view code) {
    const std::optional<TeamPosition> position = CurrentTeamCoder()->Decode(code);
    if (!position) return std::nullopt;
    WaypointRecord record(position->latitude, position->longitude, false);
    record.altitude = kNoAltitude;
    record.name.Assign(code, kEnteredNameLength);
    return CWaypointEntry(record, 0, MapExtension{});
}

}  // namespace nav
