#include "platform/comm_properties.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>

namespace platform {
namespace {

// Every field lands at its place in the stored record, little-endian.
TEST(CommPropertiesTest, TheRecordKeepsTheStoredLayout) {
    CommProperties properties;
    properties.wPacketVersion = 0x0102;
    properties.dwServiceMask = 0x03040506;
    properties.dwReserved1 = 0x0708090A;
    properties.dwMaxTxQueue = 0x11;
    properties.dwMaxRxQueue = 0x12;
    properties.dwMaxBaud = 0x13;
    properties.dwProvSubType = 0x14;
    properties.dwProvCapabilities = 0x15;
    properties.dwSettableParams = 0x16;
    properties.dwSettableBaud = 0x17;
    properties.wSettableData = 0x18;
    properties.wSettableStopParity = 0x19;
    properties.dwCurrentTxQueue = 512;
    properties.dwCurrentRxQueue = 8192;
    properties.dwProvSpec1 = 0x1A;
    properties.dwProvSpec2 = 0x1B;
    properties.wcProvChar = 0x1C;
    const auto record = properties.Encode();

    const auto at = [&](std::size_t offset, std::size_t size) {
        std::uint32_t value = 0;
        for (std::size_t i = 0; i < size; ++i)
            value |= static_cast<std::uint32_t>(record[offset + i]) << (8 * i);
        return value;
    };
    struct Field {
        std::size_t offset;
        std::size_t size;
        std::uint32_t value;
    };
    const Field fields[] = {
        {0, 2, 64},    {2, 2, 0x0102},  {4, 4, 0x03040506}, {8, 4, 0x0708090A}, {12, 4, 0x11},
        {16, 4, 0x12}, {20, 4, 0x13},   {24, 4, 0x14},      {28, 4, 0x15},      {32, 4, 0x16},
        {36, 4, 0x17}, {40, 2, 0x18},   {42, 2, 0x19},      {44, 4, 512},       {48, 4, 8192},
        {52, 4, 0x1A}, {56, 4, 0x1B},   {60, 2, 0x1C},      {62, 2, 0},
    };
    for (const Field& field : fields)
        EXPECT_EQ(at(field.offset, field.size), field.value) << "offset " << field.offset;
    EXPECT_EQ(record[4], 0x06);  // little-endian
}

}  // namespace
}  // namespace platform
