#include "app/show_queue.h"

namespace app {
namespace {

constexpr std::uint32_t BitOf(int flag) {
    return 1U << (kShowQueueModes - 1 - flag);
}

}  // namespace

std::uint32_t PackShowQueue(const ShowQueueFlagArray& flags) {
    std::uint32_t mask = 0;
    for (int i = 0; i < kShowQueueModes; ++i) {
        if (flags[static_cast<std::size_t>(i)] > 0) mask |= BitOf(i);
    }
    return mask;
}

void UnpackShowQueue(std::uint32_t mask, ShowQueueFlagArray& flags) {
    for (int i = 0; i < kShowQueueModes; ++i) {
        flags[static_cast<std::size_t>(i)] = (mask & BitOf(i)) != 0 ? 1 : 0;
    }
}

void LoadShowQueue(platform::SettingsStore& store, ShowQueueFlagArray& flags) {
    const std::uint32_t mask = store.GetInt("Options\\Display", "ShowQueue", PackShowQueue(flags));
    UnpackShowQueue(mask, flags);
    if (PackShowQueue(flags) == 0) {
        flags[0] = 1;
        store.WriteInt("Options\\Display", "ShowQueue", BitOf(0));
    }
}

}  // namespace app
