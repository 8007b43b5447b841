#include "gps/port_line_assembler.h"

namespace gps {

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
        if (write_ < kFillLimit) buffer_[write_++] = static_cast<char>(byte);
        return false;
    }
    collecting_ = false;
    if (write_ >= kFillLimit) return false;
    buffer_[write_++] = '\n';
    buffer_[write_] = '\0';
    length_ = write_;
    return true;
}

}  // namespace gps
