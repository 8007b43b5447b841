// The settings file is outside input: a user may edit it, a disk may damage
// it. Parsing must never crash or hang, and whatever it accepts must come
// back unchanged through writing and reading again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/settings_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const platform::SettingsParseResult parsed = platform::ParseSettingsFile(text);
    if (!parsed.sections) return 0;
    const std::string written = platform::FormatSettingsFile(*parsed.sections);
    const platform::SettingsParseResult again = platform::ParseSettingsFile(written);
    if (!again.sections || platform::FormatSettingsFile(*again.sections) != written) std::abort();
    for (const auto& [section, values] : *parsed.sections) {
        for (const auto& [name, value] : values) {
            const auto found = again.sections->find(section);
            if (found == again.sections->end() || found->second.at(name) != value) std::abort();
        }
    }
    return 0;
}
