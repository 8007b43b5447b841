#pragma once
// The OLC options page's values ("Settings\OLC"): the weights of legs 1..6
// in per cent and whether the flight closes at the destination. Legs 7 and
// 8 keep their weights. A change reaches the running optimiser, which
// searches again with the leg count the weights give. Without wx; UI thread
// only.

#include <array>

#include "platform/settings_store.h"

namespace frame {

inline constexpr int kOlcEditedLegs = 6;

struct OlcOptions {
    std::array<int, kOlcEditedLegs> weights{100, 100, 100, 100, 0, 0};  // 0..100
    int toDestination = 0;

    static OlcOptions FromRunning();
    void Apply(platform::SettingsStore& store) const;
};

}  // namespace frame
