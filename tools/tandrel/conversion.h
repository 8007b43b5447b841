#pragma once
// The airspace conversion without its window: the options of the main
// dialog, their checks, the DAFIF folder, and the run that writes the map.
// Questions and messages go through ConversionPrompts, so tests answer them
// and the dialog shows them as boxes. UI thread (Progress may pump events).

#include <array>
#include <cstddef>
#include <cstdint>
#include <ctime>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tools/tandrel/dafif_file.h"
#include "tools/tandrel/resources/ids/tandrel.h"

namespace tandrel {

// Control ids of the check boxes that choose airspaces, as tandrel.xrc
// names them: the classes A..G from kFirstClassBox, then kLastClassBox
// "Other"; the control types from kFirstTypeBox to kLastTypeBox "Other";
// the special-use types from kFirstSpecialBox to kLastSpecialBox "Other".
using xrc::tandrel::kBorderColourEdit;
using xrc::tandrel::kCountryEdit;
using xrc::tandrel::kFirstClassBox;
using xrc::tandrel::kFirstSpecialBox;
using xrc::tandrel::kFirstTypeBox;
using xrc::tandrel::kLastClassBox;
using xrc::tandrel::kLastSpecialBox;
using xrc::tandrel::kLastTypeBox;

enum class ZeroAgl { kInclude = 0, kOnly = 1, kExclude = 2 };

struct TandrelOptions {
    // Boundaries in degrees as typed, with their hemisphere radio indices
    // (0 N or E, 1 S or W).
    double north = 0.0, south = 0.0, east = 0.0, west = 0.0;
    int northNS = 0, southNS = 0, eastEW = 1, westEW = 1;
    std::string country;
    bool strict = false;
    bool skipHigh = true;
    double maxBottom = 18000.0;
    int units = 0;  // kilometres, statute miles, nautical miles
    double topOffset = 0.0;
    double bottomOffset = 0.0;
    int borderColour = 2;
    bool fill = false;
    std::uint32_t fillColour = 0xFFE0E0;
    bool wideBorder = false;
    bool useAnd = true;
    bool noNotes = false;
    ZeroAgl zeroAgl = ZeroAgl::kInclude;
    bool exceptionRemarks = true;
    std::array<bool, kLastSpecialBox - kFirstClassBox + 1> boxes{};  // by control id
    std::filesystem::path output;

    bool Box(int id) const { return boxes[static_cast<std::size_t>(id - kFirstClassBox)]; }
    void SetBox(int id, bool on) { boxes[static_cast<std::size_t>(id - kFirstClassBox)] = on; }
    bool AnyBox(int first, int last) const;

    // Signed degrees, east-positive.
    double SignedNorth() const { return northNS == 1 ? -north : north; }
    double SignedSouth() const { return southNS == 1 ? -south : south; }
    double SignedEast() const { return eastEW == 1 ? -east : east; }
    double SignedWest() const { return westEW == 1 ? -west : west; }
};

struct InputError {
    std::string text;
    std::string caption;
    std::optional<int> focus;  // the control to put the focus on
};

// The checks of the dialog's exchange, after its ranges: trims the country
// code's blanks and upper-cases it, then west >= east, south >= north and
// border colour 0 without fill.
std::optional<InputError> ValidateOptions(TandrelOptions& options);

// The output name as the dialog shows it: "..." and the last 30 characters
// of a path longer than 33.
std::string ShortenedPath(std::string_view path);

// The six DAFIF files of a folder, names matched ignoring case.
struct DafifFiles {
    std::optional<DafifFile> controlParents, specialParents, controlSegments, specialSegments,
        controlCountries, specialCountries;
};
struct DafifOpening {
    DafifFiles files;
    std::string missing;  // the first required file that cannot be opened; empty when none
};
DafifOpening OpenDafifFolder(const std::filesystem::path& folder);
// "File <name>\r\nCannot be opened", shown under "Bad File".
std::string CannotOpenText(std::string_view name);

class ConversionPrompts {
  public:
    virtual ~ConversionPrompts() = default;
    virtual void Tell(std::string_view text, std::string_view caption,
                      std::optional<int> focus) = 0;
    // A Yes/No question; true for Yes.
    virtual bool Ask(std::string_view text, std::string_view caption) = 0;
    // The airspace now read (the dialog shows it and pumps its events).
    virtual void Progress(std::string_view identifier) = 0;
};

struct ConversionResult {
    bool ran = false;            // false when a check stopped it
    std::size_t written = 0;     // airspaces written
    std::vector<std::string> unsafe;  // airspaces with unreadable limits or broken arcs
    std::vector<std::string> dropped;  // chosen airspaces left out: no outline could be read
};

// What is wrong with the DAFIF files of the kinds the options choose (see
// dafif_check.h); empty when nothing is.
std::vector<std::string> CheckDafifFiles(const TandrelOptions& options, const DafifFiles& files);

// Everything the run's comment block needs beside the options.
struct ConversionSources {
    const DafifFiles* files = nullptr;
    std::string versionText;  // the program's module version text
};

// The checks, then the map: damaged DAFIF files are told and converted
// only on Yes; a run that writes no airspace is told and leaves no file.
ConversionResult RunConversion(const TandrelOptions& options, const ConversionSources& sources,
                               ConversionPrompts& prompts);

// The comment block, header and airspace records for the options, without
// the checks (what RunConversion writes when they pass).
std::string BuildMap(const TandrelOptions& options, const ConversionSources& sources,
                     ConversionPrompts& prompts, ConversionResult& result);

// "05-Mar-2024": a file time in UTC, English month names whatever the locale.
std::string FileDate(std::time_t time);

}  // namespace tandrel
