#include "gps/compass_settings.h"

#include <atomic>
#include <string_view>

#include "core/settings_reader.h"
#include "gps/settings_values.h"

namespace gps {
namespace {

constexpr std::string_view kCompass = "Settings\\Compass";

// Replaces the value by the stored number times factor; a value that is
// not stored (its default text is empty) keeps what it holds.
void ReadReal(const core::SettingsReader& reader, std::string_view name, std::atomic<float>& value,
              float factor = 1.0F) {
    constexpr float kNotStored = -1.0e30F;
    const float stored = reader.Float(kCompass, name, "", kNotStored);
    if (stored != kNotStored) value = stored * factor;
}

}  // namespace

void LoadCompassSettings() {
    const core::SettingsReader reader(platform::AppSettings());
    ReadReal(reader, "SpeedMaximum", gps::g_speedMaximum);
    ReadReal(reader, "SpeedMinimum", gps::g_speedMinimum);
    ReadReal(reader, "SpeedTolerance", gps::g_speedTolerance, 3600.0F);
    ReadReal(reader, "TurnTolerance", gps::g_turnTolerance, 3600.0F);
    ReadReal(reader, "Correction", gps::g_correction);
    gps::g_hcHdgTrue = reader.Int(kCompass, "HCHDGtrue", 1);
}

}  // namespace gps
