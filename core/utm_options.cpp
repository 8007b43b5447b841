#include "core/utm_options.h"

#include "platform/numbers.h"

namespace core {

UtmOptions UtmOptions::FromRunning() {
    const UtmParameters p = GetUtmParameters();
    return {p.CenterScaleFactor(), p.Eccentricity(), p.InverseFlattening(), p.SemiMajorAxis()};
}

void UtmOptions::Apply(platform::SettingsStore& store) const {
    SetUtmParameters(UtmParameters(centerScaleFactor, eccentricity, inverseFlattening, semiMajorAxis));
    constexpr char kSection[] = "Options\\UTM";
    store.WriteString(kSection, "CenterScaleFactor", platform::FormatC("%lf", centerScaleFactor));
    // Six decimals would cut the eccentricity and flattening that the
    // conversion uses on the next start; they keep the digits they have.
    store.WriteString(kSection, "Eccentricity", platform::FormatC("%.12lf", eccentricity));
    store.WriteString(kSection, "InverseFlattening",
                      platform::FormatC("%.9lf", inverseFlattening));
    store.WriteString(kSection, "SemiMajorAxis", platform::FormatC("%lf", semiMajorAxis));
}

}  // namespace core
