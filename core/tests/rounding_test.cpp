#include "core/rounding.h"

#include <gtest/gtest.h>

#include <vector>

namespace core {
namespace {

TEST(RoundingTest, RoundsHalfUpToTheDecimalsAsked) {
    struct Case {
        float value;
        int decimals;
        float expected;
    };
    for (const Case& c : std::vector<Case>{{-1.25f, 1, -1.2f},
                                           {1.25f, 1, 1.3f},
                                           {2.5f, 0, 3.0f},
                                           {-2.5f, 0, -2.0f},
                                           {-2.6f, 0, -3.0f},
                                           {123.456f, 2, 123.46f},
                                           {1234.0f, -2, 1200.0f},
                                           {0.0f, 3, 0.0f}}) {
        EXPECT_FLOAT_EQ(RoundFloat(c.value, c.decimals), c.expected)
            << c.value << " to " << c.decimals;
    }
}

}  // namespace
}  // namespace core
