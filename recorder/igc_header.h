#pragma once
// The texts of the IGC log's header: the logger id of the A record and the
// file name, the texts handed to an external FAI logger, and the header
// dialog's lines (kind lines and the official observer's security line).
// The functions are pure unless they say they read the settings store.

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "core/settings_values.h"

namespace recorder {

// Start-up keeps MakeLoggerIdFromOwner's result here.
inline core::SharedText g_strLoggerId{L"000"};

// The logger id made from the owner's name: "Owner" of the settings store's
// section "ControlPanel\Owner", read as bytes; "000" when there is none.
std::wstring MakeLoggerIdFromOwner();
// The same from the bytes themselves (at most 8190 are used).
std::wstring LoggerIdFromOwnerBytes(std::span<const std::uint8_t> owner);

// The header texts for an FAI logger's declaration ("IGCHeaders"), filled
// by the main window at start-up and again by the header dialog's OK.
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

// The header dialog's kinds, in the order of its list.
enum class HeaderKind { kGps, kPrs, kCid, kCcl, kSit, kSec };
inline constexpr std::array<std::string_view, 6> kHeaderKindCodes{"GPS", "PRS", "CID",
                                                                  "CCL", "SIT", "SEC"};

// The header line of one kind's value (not SEC): empty for an empty value;
// "HFGPS: value" for GPS; otherwise "HF" + code + long name + ": " + value,
// the long name "UNKNOWN" when none is stored. With CR LF.
std::wstring KindHeaderLine(HeaderKind kind, std::wstring_view value,
                            std::optional<std::wstring_view> longName);

// The security phrase is refused when the two entries differ, or when it
// is not empty but shorter than 8 characters without its trailing blanks.
enum class PhraseCheck { kAccepted, kMismatch, kTooShort };
PhraseCheck CheckSecurityPhrase(std::wstring_view phrase, std::wstring_view confirmation);

// The official observer's line "HFSECOOSECURITYPHRASE: 16..." made from the
// phrase and the milliseconds of the UTC time (0..999), with CR LF; empty
// for an empty phrase.
std::wstring SecurityLine(std::wstring_view phrase, int milliseconds);

}  // namespace recorder
