#include "recorder/engine_noise_level.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

namespace recorder {

int EnlSettleValue(int filterSetting) {
    return std::max(10000 / std::max(filterSetting, 1), 10);
}

float EnlFilterCoefficient(int rate, int settle) {
    return static_cast<float>(1.0 /
                              (std::exp(10000.0 / (static_cast<double>(rate) * settle)) - 1.0));
}

EnlSettings ParseEnlSettings(std::string_view text, EnlSettings settings) {
    const std::string copy(text);
    int t = 0;
    int p = 0;
    int c = 0;
    // %d reads the same in every locale; only digits and signs are taken.
    const int count = std::sscanf(copy.c_str(), "%d%*c%d%*c%d", &t, &p, &c);
    if (count >= 2) settings.twoStage = p > 0 ? 1 : 0;
    if (count >= 1 && t > 0) settings.settle = EnlSettleValue(t);
    settings.restartLimit = count == 3 && c > 0 ? c : -1;
    return settings;
}

std::optional<std::uint16_t> EnlBlockLevel(std::span<const std::uint8_t> samples, int rate,
                                           int settle, bool twoStage, float k) {
    const long long count = static_cast<long long>(samples.size());
    const long long skip = rate / 3;
    const long long settleSamples =
        std::min<long long>(static_cast<long long>(settle) * rate / 2000, count - skip);
    // At least one filtered sample past the settling must be seen.
    if (count <= skip + settleSamples + 1) return std::nullopt;
    const double kd = k;
    double y1 = 128.0;
    double y = 128.0;
    double low = 255.0;
    double high = 0.0;
    for (long long i = skip; i < count; ++i) {
        const double x = samples[static_cast<std::size_t>(i)];
        if (twoStage) {
            y1 = (y1 * kd + x) / (kd + 1.0);
            y = (y * kd + y1) / (kd + 1.0);
        } else {
            y = (y * kd + x) / (kd + 1.0);
        }
        if (i - skip > settleSamples) {
            low = std::min(low, y);
            high = std::max(high, y);
        }
    }
    const int level = static_cast<int>((high - low) * 1000.0 / 256.0);
    return static_cast<std::uint16_t>(level < 0 || level > kEnlMaxLevel ? kEnlMaxLevel : level);
}

}  // namespace recorder
