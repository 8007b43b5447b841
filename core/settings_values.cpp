#include "core/settings_values.h"

#include <array>

namespace core {

std::wstring_view DistanceUnitName(int unit) {
    static constexpr std::array<std::wstring_view, kMaxUnitDist + 1> kNames{L"M ", L"N ", L"km",
                                                                            L"??"};
    return unit >= 0 && unit <= kMaxUnitDist ? kNames[static_cast<std::size_t>(unit)] : kNames[0];
}

float DistanceUnitFactor(int unit) {
    static constexpr std::array<float, kMaxUnitDist + 1> kFactors{0.6215F, 0.53996F, 1.0F,
                                                                  0.53996F};
    return unit >= 0 && unit <= kMaxUnitDist ? kFactors[static_cast<std::size_t>(unit)]
                                             : kFactors[0];
}

}  // namespace core
