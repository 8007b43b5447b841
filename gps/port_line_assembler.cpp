#include "gps/port_line_assembler.h"

#include <utility>

namespace gps {

void LineAssembler::Store(std::uint8_t byte) {
    if (write_ < kFillLimit) buffer_[write_++] = static_cast<char>(byte);
}

bool LineAssembler::Take(std::uint8_t byte) {
    if (!collecting_) {
        if (byte == '$') {
            buffer_[0] = '$';
            write_ = 1;
            collecting_ = true;
        } else if (byte == '!') {
            buffer_[0] = '$';
            buffer_[1] = buffer_[2] = buffer_[3] = '\0';
            write_ = 4;
            collecting_ = true;
        }
        return false;
    }
    if (byte != '\n') {
        if (pendingCr_) Store('\r');
        pendingCr_ = byte == '\r';
        if (!pendingCr_) Store(byte);
        return false;
    }
    collecting_ = false;
    const bool cr = std::exchange(pendingCr_, false);
    if (write_ >= kFillLimit) return false;
    if (cr) buffer_[write_++] = '\r';  // room is kept for it beyond the limit
    buffer_[write_++] = '\n';
    buffer_[write_] = '\0';
    length_ = write_;
    return true;
}

}  // namespace gps
