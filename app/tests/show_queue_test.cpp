#include "app/show_queue.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>

namespace {

app::ShowQueueFlagArray AllOn() {
    app::ShowQueueFlagArray flags;
    flags.fill(1);
    return flags;
}

TEST(ShowQueue, FlagZeroIsBitTenAndFlagTenBitZero) {
    app::ShowQueueFlagArray flags{};
    flags[0] = 1;
    EXPECT_EQ(app::PackShowQueue(flags), 0x400u);
    flags = {};
    flags[10] = 2;  // any value above 0 counts
    flags[11] = 1;  // beyond the cycle: not stored
    EXPECT_EQ(app::PackShowQueue(flags), 0x1u);
    EXPECT_EQ(app::PackShowQueue(AllOn()), 0x7FFu);

    app::UnpackShowQueue(0x401, flags);
    EXPECT_EQ(flags[0], 1);
    EXPECT_EQ(flags[10], 1);
    EXPECT_EQ(flags[5], 0);
}

TEST(ShowQueue, LoadsTheStoredMaskAndNeverLeavesTheCycleEmpty) {
    struct Case {
        std::optional<std::uint32_t> stored;
        std::uint32_t flagsAfter;   // packed
        std::uint32_t storedAfter;  // what the store holds then (0: nothing)
    };
    const Case cases[] = {
        {std::nullopt, 0x7FF, 0},  // the flags as they were
        {0x400, 0x400, 0x400},    {0x7FF, 0x7FF, 0x7FF},
        {0x1, 0x1, 0x1},          {0x800, 0x400, 0x400},  // beyond the cycle only: counts as none
        {0, 0x400, 0x400},  // none: flag 0, stored for the next start too
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored.value_or(0xFFFF));
        platform::SettingsStore store{std::filesystem::path()};
        if (c.stored) store.WriteInt("Options\\Display", "ShowQueue", *c.stored);
        app::ShowQueueFlagArray flags = AllOn();
        app::LoadShowQueue(store, flags);
        EXPECT_EQ(app::PackShowQueue(flags), c.flagsAfter);
        EXPECT_EQ(store.GetInt("Options\\Display", "ShowQueue", 0), c.storedAfter);
    }
}

}  // namespace
