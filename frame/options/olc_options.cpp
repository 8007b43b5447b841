#include "frame/options/olc_options.h"

#include <cstdint>
#include <string>

#include "nav/olc_settings.h"

namespace frame {

OlcOptions OlcOptions::FromRunning() {
    const nav::OlcWeights running = nav::CurrentOlcWeights();
    OlcOptions o;
    for (std::size_t leg = 0; leg < o.weights.size(); ++leg) o.weights[leg] = running[leg];
    o.toDestination = nav::g_olcToDestination;
    return o;
}

void OlcOptions::Apply(platform::SettingsStore& store) const {
    nav::OlcWeights all = nav::CurrentOlcWeights();
    bool changed = (toDestination != 0) != (nav::g_olcToDestination != 0);
    for (std::size_t leg = 0; leg < weights.size(); ++leg) {
        changed = changed || all[leg] != weights[leg];
        all[leg] = weights[leg];
    }
    constexpr char kOlc[] = "Settings\\OLC";
    store.WriteInt(kOlc, "toDestination", static_cast<std::uint32_t>(toDestination));
    for (std::size_t leg = 0; leg < all.size(); ++leg) {
        const std::string name = "leg" + std::to_string(leg + 1) + "w";
        store.WriteInt(kOlc, name, static_cast<std::uint32_t>(all[leg]));
    }
    if (changed) nav::ApplyOlcSettings(all, toDestination != 0);
}

}  // namespace frame
