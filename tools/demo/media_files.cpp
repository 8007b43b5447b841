// Generated sounds and the waypoint picture.

#include <algorithm>
#include <cmath>
#include <numbers>

#include "tools/demo/demo_files.h"

namespace demo {
namespace {

void Put16(std::string& bytes, unsigned value) {
    bytes += static_cast<char>(value & 0xFF);
    bytes += static_cast<char>((value >> 8) & 0xFF);
}

void Put32(std::string& bytes, unsigned value) {
    Put16(bytes, value & 0xFFFF);
    Put16(bytes, value >> 16);
}

}  // namespace

std::string WavTone(double frequencyHz, double seconds) {
    constexpr unsigned kRate = 22050;
    const auto count = static_cast<unsigned>(seconds * kRate);
    std::string bytes = "RIFF";
    Put32(bytes, 36 + count * 2);
    bytes += "WAVEfmt ";
    Put32(bytes, 16);
    Put16(bytes, 1);  // PCM
    Put16(bytes, 1);  // mono
    Put32(bytes, kRate);
    Put32(bytes, kRate * 2);
    Put16(bytes, 2);
    Put16(bytes, 16);
    bytes += "data";
    Put32(bytes, count * 2);
    for (unsigned i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / kRate;
        // A short fade at both ends keeps the tone from clicking.
        const double fade = std::min({1.0, t / 0.01, (seconds - t) / 0.01});
        const double value = 12000.0 * fade * std::sin(2.0 * std::numbers::pi * frequencyHz * t);
        Put16(bytes, static_cast<unsigned>(static_cast<int>(std::lround(value)) & 0xFFFF));
    }
    return bytes;
}

std::string BmpPicture() {
    constexpr unsigned kWidth = 64;
    constexpr unsigned kHeight = 48;
    constexpr unsigned kRow = kWidth * 3;  // a multiple of 4
    std::string bytes = "BM";
    Put32(bytes, 54 + kRow * kHeight);
    Put32(bytes, 0);
    Put32(bytes, 54);
    Put32(bytes, 40);
    Put32(bytes, kWidth);
    Put32(bytes, kHeight);
    Put16(bytes, 1);
    Put16(bytes, 24);
    Put32(bytes, 0);
    Put32(bytes, kRow * kHeight);
    Put32(bytes, 2835);
    Put32(bytes, 2835);
    Put32(bytes, 0);
    Put32(bytes, 0);
    for (unsigned y = 0; y < kHeight; ++y) {  // bottom row first
        for (unsigned x = 0; x < kWidth; ++x) {
            unsigned r = 135, g = 206, b = 235;  // sky
            if (y < 12) r = 20, g = 60, b = 160;  // sea
            const bool tower = x >= 28 && x < 36 && y >= 12 && y < 40;
            if (tower) r = g = b = 245;
            if (tower && y >= 34) r = 200, g = 30, b = 30;  // red top
            bytes += static_cast<char>(b);
            bytes += static_cast<char>(g);
            bytes += static_cast<char>(r);
        }
    }
    return bytes;
}

}  // namespace demo
