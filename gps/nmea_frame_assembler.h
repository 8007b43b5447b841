#pragma once
// Cuts the byte stream of a binary-frame instrument into frames: '$', 'w',
// the length byte, then the rest of the frame. Only frames of length 45
// are taken; a frame with another length byte or a wrong checksum is
// dropped and the search for the next frame starts again at the next '$'
// (within the dropped bytes too).

#include <cstdint>
#include <span>

#include "gps/nmea_binary_frame.h"

namespace gps {

class BinaryFrameAssembler {
  public:
    // Takes one received byte. Returns the frame this byte completes when its
    // checksum holds, else null. The frame stays valid until the next call.
    const BinaryFrame* Push(std::uint8_t byte);

    // Takes received bytes, calling onFrame(const BinaryFrame&) for each
    // complete frame in order.
    template <typename OnFrame>
    void Push(std::span<const std::uint8_t> bytes, OnFrame&& onFrame) {
        for (const std::uint8_t byte : bytes) {
            if (const BinaryFrame* frame = Push(byte)) onFrame(*frame);
        }
    }

  private:
    enum class Step { kMore, kComplete, kBroken };
    Step Take(std::uint8_t byte);
    bool ChecksumHolds() const;

    BinaryFrame buffer_{};
    BinaryFrame complete_{};
    std::size_t filled_ = 0;
};

}  // namespace gps
