#include "tools/tandrel/conversion.h"

#include <algorithm>
#include <cctype>
#include <numbers>
#include <system_error>

#include "core/geodesy.h"
#include "platform/numbers.h"
#include "platform/paths.h"
#include "platform/whole_file.h"
#include "tools/tandrel/airspace_reader.h"
#include "tools/tandrel/airspace_records.h"
#include "tools/tandrel/dafif_check.h"

namespace tandrel {
namespace {

using platform::FormatC;

constexpr double kStatuteMilesPerNm = 1.151025481665631;
constexpr double kConversionDegree = std::numbers::pi / 180.0;

constexpr std::array<const char*, 8> kClassCaptions{"A", "B", "C", "D", "E", "F", "G", "Other"};
constexpr std::array<const char*, 13> kTypeCaptions{
    "ADA,UDA", "ADIZ", "ARTCC", "ACC",   "BZ",       "CTA,UTA,SRA", "CTLZ,SRZ,MATZ",
    "FIR",     "OCA",  "RADAR", "TCA,MTCA", "UIR",  "Other"};
constexpr std::array<const char*, 7> kSpecialCaptions{
    "Alert", "Danger", "Mil Op Area", "Prohibited", "Restricted", "Warning", "Other"};

std::string Trim(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return std::string(text);
}

template <std::size_t N>
std::string Captions(const TandrelOptions& o, int first, const std::array<const char*, N>& names) {
    std::string joined;
    for (std::size_t i = 0; i < N; ++i) {
        if (!o.Box(first + static_cast<int>(i))) continue;
        if (!joined.empty()) joined += ", ";
        joined += names[i];
    }
    return joined;
}

double DistanceNm(double lat1, double lon1, double lat2, double lon2) {
    return core::g_ellipsoid
        .GeodesicInverse(lat1 * kConversionDegree, lon1 * kConversionDegree,
                         lat2 * kConversionDegree, lon2 * kConversionDegree, true)
        .distance;
}

// "lat,0,0,lon,0,0,..." corners of a box as the header and trailer give them.
std::string BoxRecord(double south, double east, double north, double west, char unit) {
    return FormatC("%.7lf,0,0,%.7lf,0,0,%.7lf,0,0,%.7lf,0,0,10%c,%.1lf\r\n", south, -east, north,
                   -west, unit, DistanceNm(north, east, south, west) * kStatuteMilesPerNm);
}

std::string CommentBlock(const TandrelOptions& o, const ConversionSources& sources,
                         bool countryFilter) {
    const DafifFiles& f = *sources.files;
    const auto date = [](const std::optional<DafifFile>& file) {
        return FileDate(file ? file->Modified() : 0);
    };
    std::string out = FormatC("; Created with Vostrel Version %s\r\n\r\n", sources.versionText.c_str());
    out += ";\tSOURCE: Digital Aeronautical Flight Information Files (DAFIF)\r\n\r\n";
    out += ";\tSUAS_PAR.TXT last modified : " + date(f.specialParents) + "\r\n";
    out += ";\tSUAS.TXT last modified : " + date(f.specialSegments) + "\r\n";
    out += ";\tBDRY_PAR.TXT last modified : " + date(f.controlParents) + "\r\n";
    out += ";\tBDRY.TXT last modified : " + date(f.controlSegments) + "\r\n";
    out += ";\tControl airspace classes selected: " + Captions(o, kFirstClassBox, kClassCaptions) + "\r\n";
    out += ";\tControl airspace types selected: " + Captions(o, kFirstTypeBox, kTypeCaptions) + "\r\n";
    out += o.useAnd ? ";\tTypes and Classes are ANDed\r\n" : ";\tTypes and Classes are ORed\r\n";
    if (countryFilter && f.controlCountries)
        out += ";\tControl airspaces filtered by country code: " + o.country + "\r\n";
    out += ";\tSpecial use airspace types selected: " +
           Captions(o, kFirstSpecialBox, kSpecialCaptions) + "\r\n";
    if (countryFilter && f.specialCountries)
        out += ";\tSpecial use airspaces filtered by country code: " + o.country + "\r\n";
    out += ";\tAirSpaces extending over 180 deg meridian are not included\r\n";
    if (o.skipHigh)
        out += FormatC(";   only airspaces with bottoms below %.0lf ft are included\r\n", o.maxBottom);
    if (!o.exceptionRemarks) out += ";   Class exception remarks not recorded\r\n";
    out += "\r\n;All arcs are shortened at the beginning compared to originals.\r\n"
           ";Preceeding point(or end of previous arc) is the original beginning of an arc.\r\n"
           ";If an arc is the last element of anairspace it is also shortened at the end.\r\n"
           ";In that case, original end is at the following point.\r\n";
    out += ";################# UNOFFICIAL, USE AT YOUR OWN RISK #########################\r\n"
           ";# This file was made from the Digital Aeronautical Flight Information Files\r\n"
           ";# (DAFIF). It is not endorsed by the agency that publishes them.\r\n"
           ";# It must not be used as a primary means of navigation.\r\n"
           ";# It is provided as it is, without any warranty.\r\n"
           ";###############################################################################\r\n";
    out += "\r\n;minLat,minLon,maxLat,maxLon, radius(units),mapscale(stmi)\r\n";
    return out;
}

// One kind of airspace through one pass.
class Pass {
  public:
    Pass(const TandrelOptions& o, const core::GeoBox& user, int number, core::GeoBox& extent,
         const MapStyle& style, ConversionPrompts& prompts, ConversionResult& result, std::string& out)
        : o_(o), user_(user), number_(number), extent_(extent), style_(style), prompts_(prompts),
          result_(result), out_(out) {}

    void Run(const AirspaceReader& reader, AirspaceKind kind, bool countryFilter) {
        ReadOptions read{countryFilter ? o_.country : std::string(), o_.exceptionRemarks};
        for (std::size_t i = 0; i < reader.Count(); ++i) {
            prompts_.Progress(reader.Identifier(i));
            const CAirspace airspace = reader.Read(i, read);
            if (!Selected(airspace, kind, countryFilter)) continue;
            if (airspace.Segments().empty()) {
                Drop(airspace);
            } else if (Inside(airspace)) {
                Write(airspace);
            }
        }
    }

  private:
    bool Selected(const CAirspace& a, AirspaceKind kind, bool countryFilter) const {
        if (o_.skipHigh && a.bottom >= o_.maxBottom) return false;
        if (countryFilter && !a.countryMatch) return false;
        if (a.MeridianState() != 0) return false;
        if (kind == AirspaceKind::kSpecialUse) return o_.Box(SpecialBox(a));
        const char letter = a.classField.empty() ? '\0' : a.classField.front();
        const int classBox = letter >= 'A' && letter <= 'G' ? kFirstClassBox + (letter - 'A') : kLastClassBox;
        if (o_.zeroAgl == ZeroAgl::kOnly && !a.zeroAgl) return false;
        if (o_.zeroAgl == ZeroAgl::kExclude && a.zeroAgl) return false;
        // Type code n is box kLastClassBox + n; a code beyond the boxes is "Other".
        const int typeBox = a.typeCode >= 0 && a.typeCode <= 13 ? kLastClassBox + a.typeCode : kLastTypeBox;
        if (o_.useAnd) return o_.Box(classBox) && o_.Box(typeBox);
        return o_.Box(classBox) || o_.Box(typeBox);
    }

    static int SpecialBox(const CAirspace& a) {
        constexpr std::string_view kLetters = "ADMPRW";
        const char letter = a.typeField.empty() ? '\0' : a.typeField.front();
        const auto at = letter == '\0' ? std::string_view::npos : kLetters.find(letter);
        return at == std::string_view::npos ? kLastSpecialBox : kFirstSpecialBox + static_cast<int>(at);
    }

    bool Inside(const CAirspace& a) const {
        if (number_ == 0) return a.Box().Intersects(user_);
        return !a.Box().Intersects(user_) && a.Box().Intersects(extent_);
    }

    void Write(const CAirspace& a) {
        std::string records;
        WriteMap(a, style_, records);
        if (records.empty()) return Drop(a);
        out_ += ";\r\n";
        if (a.unreadableLimit || a.brokenArcs > 0) {
            out_ += "; " + a.identifier + ":";
            if (a.unreadableLimit) out_ += " a limit could not be read: floor at the surface, ceiling unlimited;";
            if (a.brokenArcs > 0) out_ += " an arc centred on its own point is drawn straight;";
            out_ += "\r\n";
            result_.unsafe.push_back(a.identifier);
        }
        out_ += records;
        ++result_.written;
        if (number_ == 0) extent_.Extend(a.Box());
    }

    void Drop(const CAirspace& a) {
        auto& dropped = result_.dropped;
        if (std::find(dropped.begin(), dropped.end(), a.identifier) == dropped.end()) dropped.push_back(a.identifier);
    }

    const TandrelOptions& o_;
    const core::GeoBox& user_;
    int number_;
    core::GeoBox& extent_;
    const MapStyle& style_;
    ConversionPrompts& prompts_;
    ConversionResult& result_;
    std::string& out_;
};

// The checks before a run, in the dialog's order; false when one stops it.
bool CheckSelection(const TandrelOptions& o, const DafifFiles& files, ConversionPrompts& prompts) {
    if (o.country.size() == 1) {
        prompts.Tell("Country code has to have none or more than one character", "Name error",
                     kCountryEdit);
        return false;
    }
    const bool classes = o.AnyBox(kFirstClassBox, kLastClassBox);
    const bool types = o.AnyBox(kFirstTypeBox, kLastTypeBox);
    const bool special = o.AnyBox(kFirstSpecialBox, kLastSpecialBox);
    if (!o.country.empty() && ((special && !files.specialCountries) ||
                               ((classes || types) && !files.controlCountries))) {
        if (!prompts.Ask("You selected country code but BDRY_CTRY.TXT and/or SUAS_CTRY.TXT file is "
                         "missing\r\n Do you want to continue?",
                         "Selection problem"))
            return false;
    }
    if (!classes && !types && !special) {
        prompts.Tell("You need to choose air spaces to write", "Selection error", std::nullopt);
        return false;
    }
    if (o.useAnd && types && !classes &&
        !prompts.Ask("You selected a TYPE , but not CLASS of control air spaces to write\r\n Do you "
                     "want to continue?",
                     "Selection problem"))
        return false;
    if (o.useAnd && classes && !types &&
        !prompts.Ask("You selected a CLASS , but not TYPE of control air spaces to write\r\n Do you "
                     "want to continue?",
                     "Selection problem"))
        return false;
    if (o.output.empty()) {
        prompts.Tell("Output file name has not been set", "Name error", std::nullopt);
        return false;
    }
    std::error_code error;
    if (std::filesystem::exists(o.output, error) &&
        !prompts.Ask("Output file already exists.\r\n Do you want to OVERWRITE it?", "File exists"))
        return false;
    return true;
}

}  // namespace

bool TandrelOptions::AnyBox(int first, int last) const {
    for (int id = first; id <= last; ++id)
        if (Box(id)) return true;
    return false;
}

std::optional<InputError> ValidateOptions(TandrelOptions& o) {
    o.country = Trim(o.country);
    std::transform(o.country.begin(), o.country.end(), o.country.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    if (o.SignedWest() >= o.SignedEast())
        return InputError{"Incompatible east-west boundaries", "Input Error", std::nullopt};
    if (o.SignedSouth() >= o.SignedNorth())
        return InputError{"Incompatible north-south boundaries", "Input Error", std::nullopt};
    if (o.borderColour == 0 && !o.fill)
        return InputError{"If you do not fill shapes, you cannot use line color 0", "Input Error",
                          kBorderColourEdit};
    return std::nullopt;
}

std::string ShortenedPath(std::string_view path) {
    if (path.size() <= 33) return std::string(path);
    return "..." + std::string(path.substr(path.size() - 30));
}

std::string CannotOpenText(std::string_view name) {
    return "File " + std::string(name) + "\r\nCannot be opened";
}

DafifOpening OpenDafifFolder(const std::filesystem::path& folder) {
    DafifOpening opening;
    const auto open = [&](const char* name, std::optional<DafifFile>& file, bool required) {
        const auto path = platform::FindCaseInsensitive(folder, name);
        if (!path.empty()) file = DafifFile::Open(path);
        if (!file && required && opening.missing.empty()) opening.missing = name;
    };
    DafifFiles& f = opening.files;
    open("BDRY_PAR.TXT", f.controlParents, true);
    open("SUAS_PAR.TXT", f.specialParents, true);
    open("BDRY.TXT", f.controlSegments, true);
    open("SUAS.TXT", f.specialSegments, true);
    open("BDRY_CTRY.TXT", f.controlCountries, false);
    open("SUAS_CTRY.TXT", f.specialCountries, false);
    return opening;
}

std::string FileDate(std::time_t time) {
    static constexpr std::array<const char*, 12> kMonths{"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    std::tm utc{};
    if (::gmtime_r(&time, &utc) == nullptr) return "00-Jan-1970";
    return FormatC("%02d-%s-%d", utc.tm_mday, kMonths[static_cast<std::size_t>(utc.tm_mon)],
                   utc.tm_year + 1900);
}

std::string BuildMap(const TandrelOptions& o, const ConversionSources& sources,
                     ConversionPrompts& prompts, ConversionResult& result) {
    static constexpr std::array<double, 3> kUnitFactors{1.852, kStatuteMilesPerNm, 1.0};
    static constexpr std::array<char, 3> kUnitLetters{'K', 'M', 'N'};
    const auto unit = static_cast<std::size_t>(std::clamp(o.units, 0, 2));
    const DafifFiles& f = *sources.files;
    const bool countryFilter = o.country.size() >= 2;

    std::string out = CommentBlock(o, sources, countryFilter);
    out += BoxRecord(o.SignedSouth(), o.SignedEast(), o.SignedNorth(), o.SignedWest(), kUnitLetters[unit]);
    out += FormatC("; AGL to MSL zone ALTITUDE OFFSETS used  [ft] TOP: %.0lf, BOTTOM: %.lf\r\n",
                   o.topOffset, o.bottomOffset);

    MapStyle style{o.borderColour, o.fill,           o.fillColour, o.wideBorder, kUnitFactors[unit],
                   o.topOffset,    o.bottomOffset, o.noNotes};
    core::GeoBox user;
    user.Extend(core::GeoPoint{o.SignedSouth(), o.SignedWest()});
    user.Extend(core::GeoPoint{o.SignedNorth(), o.SignedEast()});

    const auto* controlCountries = countryFilter && f.controlCountries ? &*f.controlCountries : nullptr;
    const auto* specialCountries = countryFilter && f.specialCountries ? &*f.specialCountries : nullptr;
    const AirspaceReader control(AirspaceKind::kControl, *f.controlParents, *f.controlSegments,
                                 controlCountries);
    const AirspaceReader special(AirspaceKind::kSpecialUse, *f.specialParents, *f.specialSegments,
                                 specialCountries);
    core::GeoBox extent;
    for (int number = 0; number < (o.strict ? 1 : 2); ++number) {
        if (number == 1 && (result.written == 0 || !ReachesBeyond(extent, user))) break;
        Pass pass(o, user, number, extent, style, prompts, result, out);
        pass.Run(control, AirspaceKind::kControl, controlCountries != nullptr);
        pass.Run(special, AirspaceKind::kSpecialUse, specialCountries != nullptr);
    }
    if (result.written > 0) {
        out += "\r\n;airspace boundaries limits as written to file\r\n"
               "; minLat,minLon,maxLat,maxLon, radius(units),mapscale(stmi)\r\n";
        out += "; " + BoxRecord(extent.south, extent.east, extent.north, extent.west,
                                kUnitLetters[unit]);
        out += o.strict ? "; User airspace boundaries not extended\r\n"
                        : ";some airspaces may extend beyond these edges\r\n";
    }
    return out;
}

std::vector<std::string> CheckDafifFiles(const TandrelOptions& o, const DafifFiles& f) {
    std::vector<std::string> problems;
    const bool countryFilter = o.country.size() >= 2;
    const auto check = [&](const std::optional<DafifFile>& file, const char* name, std::size_t fields) {
        if (!file) return;
        for (std::string& problem : DafifFileProblems(*file, name, fields)) problems.push_back(std::move(problem));
    };
    if (o.AnyBox(kFirstClassBox, kLastClassBox) || o.AnyBox(kFirstTypeBox, kLastTypeBox)) {
        check(f.controlParents, "BDRY_PAR.TXT", kControlParentFields);
        check(f.controlSegments, "BDRY.TXT", kControlSegmentFields);
        if (countryFilter) check(f.controlCountries, "BDRY_CTRY.TXT", kControlCountryFields);
    }
    if (o.AnyBox(kFirstSpecialBox, kLastSpecialBox)) {
        check(f.specialParents, "SUAS_PAR.TXT", kSpecialParentFields);
        check(f.specialSegments, "SUAS.TXT", kSpecialSegmentFields);
        if (countryFilter) check(f.specialCountries, "SUAS_CTRY.TXT", kSpecialCountryFields);
    }
    return problems;
}

namespace {

std::string Joined(const std::vector<std::string>& items, const char* separator) {
    std::string text;
    for (const auto& item : items) text += (text.empty() ? "" : separator) + item;
    return text;
}

// The airspaces that need a pilot's eye, in one box after the run.
void TellUnsafe(const ConversionResult& result, ConversionPrompts& prompts) {
    std::string text;
    if (!result.unsafe.empty()) {
        text = "These airspaces have a limit that could not be read (written with the floor "
               "at the surface and the ceiling unlimited) or an arc centred on one of its "
               "points (written as a straight line):\r\n" + Joined(result.unsafe, ", ");
    }
    if (!result.dropped.empty()) {
        if (!text.empty()) text += "\r\n\r\n";
        text += "These airspaces were left out: their outline could not be read:\r\n" + Joined(result.dropped, ", ");
    }
    if (!text.empty()) prompts.Tell(text, "Airspace warning", std::nullopt);
}

}  // namespace

ConversionResult RunConversion(const TandrelOptions& o, const ConversionSources& sources,
                               ConversionPrompts& prompts) {
    ConversionResult result;
    if (!CheckSelection(o, *sources.files, prompts)) return result;
    if (const auto problems = CheckDafifFiles(o, *sources.files);
        !problems.empty() && !prompts.Ask(Joined(problems, "\r\n") +
                                              "\r\n\r\nThe map would miss the airspaces of these files or lines."
                                              "\r\n Do you want to continue?",
                                          "Damaged DAFIF files")) {
        return result;
    }
    const std::string map = BuildMap(o, sources, prompts, result);
    if (result.written == 0) {
        prompts.Tell("No airspace that you selected lies within the boundaries.\r\nNo map was written to " +
                         o.output.string(),
                     "Nothing to write", std::nullopt);
        TellUnsafe(result, prompts);
        return result;
    }
    if (platform::ReplaceWholeFile(o.output, map)) {
        prompts.Tell("Cannot open file " + o.output.string(), "Bad Output File", std::nullopt);
        return result;
    }
    result.ran = true;
    TellUnsafe(result, prompts);
    return result;
}

}  // namespace tandrel
