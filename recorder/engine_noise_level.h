#pragma once
// The engine-noise level of a block of sound: the spread of the low-pass
// filtered samples after the start of the block has been skipped and the
// filter has settled. Pure functions.

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace recorder {

inline constexpr int kEnlMaxLevel = 999;

// The filter and restart settings of "ENLset.txt".
struct EnlSettings {
    int settle = 100;      // n
    int twoStage = 1;      // 1: two filter stages
    int restartLimit = 2;  // -1: no restarts
};

// n for a filter setting T: 10000 / max(T, 1), at least 10.
int EnlSettleValue(int filterSetting);

// k = 1 / (e^(10000 / (rate * n)) - 1).
float EnlFilterCoefficient(int rate, int settle);

// Reads "T,P,C" ("%d%*c%d%*c%d", C locale) over `settings`: the filter
// only with T > 0, the two-stage flag (P > 0) with at least two numbers,
// and the restart limit C with all three and C > 0, else -1.
EnlSettings ParseEnlSettings(std::string_view text, EnlSettings settings = {});

// The level (0..999) of one block of unsigned 8-bit samples at rate;
// nothing when the block is too short to measure.
std::optional<std::uint16_t> EnlBlockLevel(std::span<const std::uint8_t> samples, int rate,
                                           int settle, bool twoStage, float k);

}  // namespace recorder
