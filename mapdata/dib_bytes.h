#pragma once
// Little-endian reading and writing of the 16- and 32-bit fields of bitmap
// files. Pure functions; any thread.

#include <cstdint>
#include <string>

namespace mapdata {

inline std::uint16_t ReadLe16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}
inline std::uint32_t ReadLe32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}
inline void AppendLe16(std::string& out, std::uint32_t v) {
    out.push_back(static_cast<char>(v & 0xFF));
    out.push_back(static_cast<char>((v >> 8) & 0xFF));
}
inline void AppendLe32(std::string& out, std::uint32_t v) {
    AppendLe16(out, v & 0xFFFF);
    AppendLe16(out, v >> 16);
}

}  // namespace mapdata
