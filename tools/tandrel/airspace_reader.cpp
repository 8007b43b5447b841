#include "tools/tandrel/airspace_reader.h"

#include <cmath>

#include "platform/numbers.h"

namespace tandrel {
namespace {

// Field counts and positions of the DAFIF files.
constexpr std::size_t kControlParentFieldCount = 18;
constexpr std::size_t kSpecialParentFieldCount = 18;
constexpr std::size_t kControlSegmentFieldCount = 28;
constexpr std::size_t kSpecialSegmentFieldCount = 29;
constexpr std::size_t kCountryFields = 8;

// " " and the field when a number starts it.
std::string ShownLimit(std::string_view field) {
    const auto number = platform::ScanDouble(field);
    if (!number || !std::isfinite(number->value)) return {};
    std::string shown(1, ' ');
    shown += field;
    return shown;
}

const char* SpecialUseWord(char type) {
    switch (type) {
        case 'A': return "\\ALERT";
        case 'D': return "\\DANGER";
        case 'M': return "\\MOA";
        case 'P': return "\\PROHIBITED";
        case 'R': return "\\RESTRICTED";
        case 'T': return "\\TEMPORARY";
        case 'W': return "\\WARNING";
        default: return "\\OTHER";
    }
}

}  // namespace

AirspaceReader::AirspaceReader(AirspaceKind kind, const DafifFile& parents,
                               const DafifFile& segments, const DafifFile* countries)
    : kind_(kind),
      parents_(parents),
      segments_(
          segments,
          kind == AirspaceKind::kControl ? kControlSegmentFieldCount : kSpecialSegmentFieldCount,
          kind == AirspaceKind::kSpecialUse) {
    if (countries != nullptr) countries_.emplace(*countries, kCountryFields, kind == AirspaceKind::kSpecialUse);
}

std::string AirspaceReader::Identifier(std::size_t index) const {
    return Kept(SplitFields(parents_.Record(index), 1)[0], 15);
}

void AirspaceReader::ReadParent(CAirspace& a, std::size_t index, const ReadOptions& options) const {
    const bool control = kind_ == AirspaceKind::kControl;
    const auto f = SplitFields(parents_.Record(index),
                               control ? kControlParentFieldCount : kSpecialParentFieldCount);
    a.identifier = Kept(f[0], 15);
    if (control) {
        const auto type = platform::ScanInt(Kept(f[1], 7));
        a.typeCode = type ? type->value : 12;
        a.name = Kept(f[2], 63);
        a.classField = Kept(f[10], 7);
        a.SetLimits(ParseAltitude(Kept(f[15], 15)), ParseAltitude(Kept(f[14], 15)));
    } else {
        a.sector = Kept(f[1], 7);
        a.typeField = Kept(f[2], 7);
        a.name = Kept(f[3], 63);
        a.SetLimits(ParseAltitude(Kept(f[13], 15)), ParseAltitude(Kept(f[12], 15)));
    }
    if (a.name.empty()) a.name = a.identifier;

    // A backslash breaks the label's lines on the map.
    if (control) {
        if (a.classField.empty()) a.classField = "?";
        a.label = a.name + " \\(CLASS " + a.classField + ")";
        a.label += ShownLimit(Kept(f[8], 15)) + ShownLimit(Kept(f[9], 15));
        const std::string flag = Kept(f[11], 7);
        if (options.exceptionRemarks && flag.starts_with('Y')) a.label += "\\" + Kept(f[12], 127);
    } else {
        a.label = a.name + SpecialUseWord(a.typeField.empty() ? '\0' : a.typeField.front());
        a.label += ShownLimit(Kept(f[9], 15)) + ShownLimit(Kept(f[10], 15));
        const std::string more = Kept(f[14], 63);
        if (!more.empty()) a.label += "\\" + more;
    }
}

bool AirspaceReader::MatchesCountry(const std::string& key, const std::string& code) const {
    const std::size_t first = kind_ == AirspaceKind::kControl ? 2 : 3;
    for (const auto& line : countries_->Find(key)) {
        for (std::size_t i = first; i <= 6; ++i) {
            const std::string country = Kept(line[i], 15);
            if (country.empty()) break;
            if (country == code) return true;
        }
    }
    return false;
}

CAirspace AirspaceReader::Read(std::size_t index, const ReadOptions& options) const {
    CAirspace airspace(kind_);
    ReadParent(airspace, index, options);
    const std::string key = AirspaceKey(airspace.identifier, airspace.sector);
    const std::size_t shift = kind_ == AirspaceKind::kSpecialUse ? 1 : 0;
    for (const auto& f : segments_.Find(key)) {
        airspace.AddBoundaryLine({Kept(f[5 + shift], 7), Kept(f[8 + shift], 15),
                                  Kept(f[10 + shift], 15), Kept(f[12 + shift], 15),
                                  Kept(f[14 + shift], 15), Kept(f[16 + shift], 15),
                                  Kept(f[18 + shift], 15), Kept(f[19 + shift], 7)});
    }
    if (countries_ && !options.countryCode.empty())
        airspace.countryMatch = MatchesCountry(key, options.countryCode);
    return airspace;
}

}  // namespace tandrel
