#include "map/map_input_logic.h"

#include <cstdlib>

namespace map {

bool IconButtonDebounce::AcceptPress(SteadyMs now) {
    if (now - lastPress_ <= debounceMs_) return false;
    lastPress_ = now;
    return true;
}

bool HoldPress::Release(SteadyMs now) {
    if (!pressedAt_) return false;
    const SteadyMs held = now - *pressedAt_;
    pressedAt_.reset();
    return held > kHoldMs;
}

std::optional<PixelSize> FitToSize(PixelSize picture, PixelSize wanted) {
    if (picture.height == 0 || wanted.height == 0) return std::nullopt;
    const float pictureRatio = static_cast<float>(picture.width) / static_cast<float>(picture.height);
    const float boxRatio = static_cast<float>(wanted.width) / static_cast<float>(wanted.height);
    PixelSize fitted = wanted;
    if (pictureRatio > boxRatio)
        fitted.height = static_cast<int>(static_cast<float>(wanted.height) * boxRatio / pictureRatio);
    if (boxRatio > pictureRatio)
        fitted.width = static_cast<int>(static_cast<float>(wanted.width) * pictureRatio / boxRatio);
    return fitted;
}

bool IsTap(PixelPoint down, PixelPoint up) {
    if (down == kNoPress) return true;
    const long dx = down.x - up.x;
    const long dy = down.y - up.y;
    return dx * dx + dy * dy <= kTapSquaredDistance;
}

namespace {

unsigned EncodeAxis(int d) {
    return static_cast<unsigned>(std::abs(d)) * 2U + (d < 0 ? 1U : 0U);
}

int DecodeAxis(unsigned word) {
    const int magnitude = static_cast<int>(word / 2U);
    return (word & 1U) != 0 ? -magnitude : magnitude;
}

}  // namespace

std::intptr_t EncodePan(int dx, int dy) {
    const auto low = EncodeAxis(dx) & 0xFFFFU;
    const auto high = EncodeAxis(dy) & 0xFFFFU;
    return static_cast<std::intptr_t>(static_cast<std::uint32_t>(low | (high << 16U)));
}

PixelPoint DecodePan(std::intptr_t lParam) {
    const auto bits = static_cast<std::uint32_t>(lParam);
    return {DecodeAxis(bits & 0xFFFFU), DecodeAxis(bits >> 16U)};
}

std::optional<PixelPoint> PanCentre(int key, std::intptr_t lParam, int clientWidth,
                                    int clientHeight) {
    PixelPoint shift;
    switch (key) {
        case kKeyLeft: shift.x = clientWidth / 2; break;
        case kKeyUp: shift.y = clientHeight / 2; break;
        case kKeyRight: shift.x = -(clientWidth / 2); break;
        case kKeyDown: shift.y = -(clientHeight / 2); break;
        case kKeyDrag: shift = DecodePan(lParam); break;
        default: return std::nullopt;
    }
    return PixelPoint{(clientWidth + 24) / 2 + shift.x, clientHeight / 2 + shift.y};
}

std::optional<int> PickRowAt(int y, int rowHeight, int rowCount) {
    if (y < 0 || rowHeight <= 0) return std::nullopt;
    const int row = y / rowHeight;
    if (row >= rowCount) return std::nullopt;
    return row;
}

std::wstring PickValueSample(bool showDifference, bool showDifferenceInGoto, int altitudeUnit) {
    constexpr int kMetresUnit = 2;
    const bool signedValue = showDifference && showDifferenceInGoto;
    if (altitudeUnit == kMetresUnit) return signedValue ? L" +8989m" : L" 8989m";
    return signedValue ? L" +89.9km" : L" 89.9km";
}

int PickValueColumnWidth(int sampleWidth) {
    return static_cast<int>(static_cast<double>(sampleWidth) * 1.15);
}

}  // namespace map
