#include "gps/nmea_frame_assembler.h"

namespace gps {
namespace {

constexpr std::uint8_t kStart = '$';
constexpr std::uint8_t kMark = 'w';

}  // namespace

BinaryFrameAssembler::Step BinaryFrameAssembler::Take(std::uint8_t byte) {
    switch (filled_) {
        case 0:
            if (byte == kStart) buffer_[filled_++] = byte;
            return Step::kMore;
        case 1:
            if (byte == kMark) {
                buffer_[filled_++] = byte;
            } else if (byte != kStart) {
                filled_ = 0;
            }
            return Step::kMore;
        case 2:
            if (byte == kBinaryFrameLength) {
                buffer_[filled_++] = byte;
            } else {
                filled_ = byte == kStart ? 1 : 0;
            }
            return Step::kMore;
        default:
            buffer_[filled_++] = byte;
            if (filled_ < kBinaryFrameLength) return Step::kMore;
            filled_ = 0;
            return ChecksumHolds() ? Step::kComplete : Step::kBroken;
    }
}

bool BinaryFrameAssembler::ChecksumHolds() const {
    std::uint8_t sum = 0;
    for (std::size_t i = 0; i < kBinaryFrameLength; ++i) {
        if (i != 3) sum ^= buffer_[i];
    }
    return sum == buffer_[3];
}

const BinaryFrame* BinaryFrameAssembler::Push(std::uint8_t byte) {
    switch (Take(byte)) {
        case Step::kMore:
            return nullptr;
        case Step::kComplete:
            complete_ = buffer_;
            return &complete_;
        case Step::kBroken:
            break;
    }
    // Look for a frame start among the dropped bytes. They are one short of
    // a frame, so none of them can complete (or break) one.
    const BinaryFrame dropped = buffer_;
    for (std::size_t i = 1; i < kBinaryFrameLength; ++i)
        Take(dropped[i]);
    return nullptr;
}

}  // namespace gps
