#pragma once
// The options Quorlin keeps in its settings store (application name
// "Quorlin"): the chart conversion's options ("E00Options", "colors"), the
// elevation colour table ("colors", "c%d-0".."c%d-2" blue, green, red), the
// thresholds ("colors", "tl0".."tl14"), the missing-value replacement
// ("Settings") and the land-cover colours ("LandCovers"). Numbers stored as
// text use the C form. UI thread.

#include <array>
#include <cstdint>

#include "platform/settings_store.h"
#include "tools/quorlin/elevation_colors.h"

namespace quorlin {

struct E00Options {
    int quadSize = 1;  // the radio index + 1, 1..4
    int riversColor = 6, lakesColor = 6, glaciersColor = 4, otherLakesColor = 8, islandsColor = 11;
    int bndPoly = 1, bndPolyType = 0, lonLatLineType = 9;
    float lonLatLineValue = 99999.0f, bndVal = 0.0f;
    friend bool operator==(const E00Options&, const E00Options&) = default;
};
// What the options page's Reset shows.
E00Options ResetE00Options();

using LandCoverColours = std::array<std::uint32_t, 15>;  // COLORREFs
LandCoverColours DefaultLandCoverColours();

struct QuorlinOptions {
    E00Options e00;
    ColourTable colours = DefaultColourTable();
    Thresholds thresholds = kDefaultThresholds;
    bool replaceMissing = false;
    std::int16_t replaceMissingValue = -2;
    LandCoverColours landCovers = DefaultLandCoverColours();
};

// Reads every kept option; absent keys keep the defaults (colours 15..255
// default to the colour read for 14).
QuorlinOptions LoadQuorlinOptions(const platform::SettingsStore& store);

bool SaveE00Options(platform::SettingsStore& store, const E00Options& options);
bool SaveColour(platform::SettingsStore& store, int index, Bgr colour);
bool SaveThresholds(platform::SettingsStore& store, const Thresholds& thresholds);
Thresholds LoadThresholds(const platform::SettingsStore& store, const Thresholds& current);
bool SaveReplaceMissing(platform::SettingsStore& store, bool on, std::int16_t value);
bool SaveLandCover(platform::SettingsStore& store, int index, std::uint32_t colorref);

}  // namespace quorlin
