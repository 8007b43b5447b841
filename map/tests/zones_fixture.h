#pragma once
// A small text map the loader and export tests share: a town, a circle zone
// with its symbol, a zone without a floor and a red polygon.

namespace map {

inline constexpr char kZonesMap[] =
    "48,0,0,-8,0,0,46,0,0,-6,0,0,10N,0\r\n"
    "47,0,0,-7,0,0,-5,Town\r\n"
    "47,0,0,-7,0,0,-7,;5000,1000F\r\n"
    "47,0,0,-7,0,0,1,@3\r\n"
    "47,30,0,-7,0,0,-7,;5000,0F\r\n"
    "47,25,0,-7,5,0,-2,18,255,0,0,3\r\n"
    "47,25,0,-6,55,0,-1\r\n"
    "47,35,0,-6,55,0,-1\r\n"
    "47,25,0,-7,5,0,-1\r\n";

}  // namespace map
