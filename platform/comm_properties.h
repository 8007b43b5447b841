#pragma once
// What a serial port can do, in the 64-byte record the program has always
// stored under "Performance" ("lastCommProp", "setCommProp"): little-endian
// fields in the order and sizes below. Filled from what the terminal
// interface and the driver report; what neither tells stays 0.

#include <array>
#include <cstdint>

namespace platform {

struct CommProperties {
    static constexpr std::uint16_t kPacketLength = 64;
    static constexpr std::uint16_t kPacketVersion = 2;

    // dwServiceMask
    static constexpr std::uint32_t kSerialService = 0x1;
    // dwProvSubType
    static constexpr std::uint32_t kUnspecified = 0x0;
    static constexpr std::uint32_t kRs232 = 0x1;
    // dwMaxBaud and dwSettableBaud: a rate given as a number
    static constexpr std::uint32_t kBaudUser = 0x10000000;

    std::uint16_t wPacketLength = kPacketLength;
    std::uint16_t wPacketVersion = kPacketVersion;
    std::uint32_t dwServiceMask = 0;
    std::uint32_t dwReserved1 = 0;
    std::uint32_t dwMaxTxQueue = 0;  // 0: no maximum known
    std::uint32_t dwMaxRxQueue = 0;
    std::uint32_t dwMaxBaud = 0;
    std::uint32_t dwProvSubType = kUnspecified;
    std::uint32_t dwProvCapabilities = 0;
    std::uint32_t dwSettableParams = 0;
    std::uint32_t dwSettableBaud = 0;
    std::uint16_t wSettableData = 0;
    std::uint16_t wSettableStopParity = 0;
    std::uint32_t dwCurrentTxQueue = 0;
    std::uint32_t dwCurrentRxQueue = 0;
    std::uint32_t dwProvSpec1 = 0;
    std::uint32_t dwProvSpec2 = 0;
    std::uint16_t wcProvChar = 0;

    // The stored record (the last two bytes are padding, 0).
    std::array<std::uint8_t, kPacketLength> Encode() const;

    friend bool operator==(const CommProperties&, const CommProperties&) = default;
};

}  // namespace platform
