#pragma once
// The texts of the IGC log's header: the logger id of the A record and the
// pilot and glider texts of the H records.

#include <array>
#include <string>

#include "core/settings_values.h"

namespace recorder {

// Start-up keeps MakeLoggerIdFromOwner's result here.
inline core::SharedText g_strLoggerId{L"000"};

// The logger id made from the owner's name; "000" when there is none.
std::wstring MakeLoggerIdFromOwner();

// The header texts ("IGCHeaders"), filled by the main window at start-up.
enum IgcHeaderText {
    kIgcPilot,             // "PLT", at most 78 characters
    kIgcGliderId,          // "GID", at most 30 each from here
    kIgcGliderType,        // "GTY"
    kIgcFlightType,        // "FTY"
    kIgcCompetitionClass,  // "CCL"
    kIgcCompetitionId,     // "CID"
    kIgcSpare,             // always "Unknown"
    kIgcHeaderTextCount
};
inline std::array<core::SharedText, kIgcHeaderTextCount> g_igcHeaderTexts;

}  // namespace recorder
