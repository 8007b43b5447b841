#include "mapdata/jpeg_error_jump.h"

namespace mapdata {
namespace {

void DropJpegMessage(j_common_ptr /*info*/) {}

}  // namespace

jpeg_error_mgr* JpegErrorsThatJump(JpegErrorJump& errors) {
    jpeg_error_mgr* base = jpeg_std_error(&errors.base);
    errors.base.error_exit = JumpOnJpegError;
    errors.base.output_message = DropJpegMessage;
    return base;
}

void JumpOnJpegError(j_common_ptr info) {
    std::longjmp(reinterpret_cast<JpegErrorJump*>(info->err)->jump, 1);
}

}  // namespace mapdata
