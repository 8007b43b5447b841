// Reads arbitrary bytes as the six DAFIF files of a folder and converts
// every airspace in a world-wide box: nothing may crash, the map ends with
// a whole line, and no more airspaces are written than the parent files hold.
// The files are the input's parts between form feeds, in the order
// BDRY_PAR, SUAS_PAR, BDRY, SUAS, BDRY_CTRY, SUAS_CTRY; the first byte
// chooses a few options.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "tools/tandrel/conversion.h"

namespace {

using fuzz::Check;

class QuietPrompts final : public tandrel::ConversionPrompts {
  public:
    void Tell(std::string_view, std::string_view, std::optional<int>) override {}
    bool Ask(std::string_view, std::string_view) override { return true; }
    void Progress(std::string_view) override {}
};

std::vector<std::string_view> Parts(std::string_view input) {
    std::vector<std::string_view> parts;
    while (parts.size() < 5) {
        const std::size_t cut = input.find('\f');
        if (cut == std::string_view::npos) break;
        parts.push_back(input.substr(0, cut));
        input.remove_prefix(cut + 1);
    }
    parts.push_back(input);
    parts.resize(6);
    return parts;
}

tandrel::TandrelOptions WorldOptions(std::uint8_t choice) {
    tandrel::TandrelOptions o;
    o.north = 90;
    o.south = 90;
    o.southNS = 1;
    o.east = 180;
    o.west = 180;
    o.eastEW = 0;
    o.strict = (choice & 1U) != 0;
    o.useAnd = (choice & 2U) != 0;
    o.fill = (choice & 4U) != 0;
    o.zeroAgl = static_cast<tandrel::ZeroAgl>((choice >> 3U) % 3U);
    if ((choice & 0x20U) != 0) o.country = "ED";
    for (int id = tandrel::kFirstClassBox; id <= tandrel::kLastSpecialBox; ++id) o.SetBox(id, true);
    return o;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::string_view input(reinterpret_cast<const char*>(data) + 1, size - 1);
    const std::vector<std::string_view> parts = Parts(input);
    tandrel::DafifFiles files;
    std::optional<tandrel::DafifFile>* slots[] = {
        &files.controlParents,   &files.specialParents,    &files.controlSegments,
        &files.specialSegments,  &files.controlCountries,  &files.specialCountries};
    for (std::size_t i = 0; i < 6; ++i) *slots[i] = tandrel::DafifFile::FromText(std::string(parts[i]));

    QuietPrompts prompts;
    tandrel::ConversionResult result;
    const tandrel::TandrelOptions options = WorldOptions(data[0]);
    const std::vector<std::string> problems = tandrel::CheckDafifFiles(options, files);
    const std::string map = tandrel::BuildMap(options, {&files, "1"}, prompts, result);
    Check(map.empty() || map.back() == '\n');
    const std::size_t parents =
        files.controlParents->RecordCount() + files.specialParents->RecordCount();
    Check(result.written <= parents);
    Check(result.unsafe.size() <= result.written);
    Check(result.dropped.size() + result.written <= parents);
    // Parent files without records are always told.
    Check(parents > 0 || problems.size() >= 2);
    return 0;
}
