#include "core/settings_values.h"

#include <array>

namespace core {

std::wstring_view DistanceUnitName(int unit) {
    static constexpr std::array<std::wstring_view, kMaxUnitDist + 1> kNames{L"M ", L"N ", L"km",
                                                                            L"??"};
    return unit >= 0 && unit <= kMaxUnitDist ? kNames[static_cast<std::size_t>(unit)] : kNames[0];
}

}  // namespace core
