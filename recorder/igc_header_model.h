#pragma once
// What the IGC header dialog shows and stores, apart from its window: the
// values read from the settings ("IGCHeaders") when it opens, their checks,
// and on OK the stored values, the header lines of the declaration and the
// texts handed to an external logger. UI thread.

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "recorder/igc_header.h"

namespace platform {
class SettingsStore;
}

namespace recorder {

// The history section of each kind's value box; none for SIT and SEC.
std::string_view KindHistorySection(HeaderKind kind);

struct IgcHeaderModel {
    static constexpr int kMinFxa = 1;
    static constexpr int kMaxFxa = 1000;

    int datumIndex = 0;  // into the one datum "WGS-84"
    int fxa = 10;
    std::wstring pilot, gliderId, gliderType;
    // GPS, PRS, CID, CCL, SIT, SEC; the phrase is never stored.
    std::array<std::wstring, 6> kindValues;
    std::wstring phrase, confirmation;

    // The values as stored; also writes the kinds' long names and the
    // pressure sensors' first history entry "None" when there is none.
    static IgcHeaderModel Load(platform::SettingsStore& settings);

    enum class Problem { kNone, kFxaRange, kPhraseMismatch, kPhraseTooShort };
    Problem Check() const;

    // Stores the values, adds the names to their histories, refreshes the
    // external logger's texts and returns the header line of every kind in
    // the list's order (empty for an empty value). utcMilliseconds seeds
    // the security line.
    std::vector<std::wstring> Accept(platform::SettingsStore& settings, int utcMilliseconds) const;
};

}  // namespace recorder
