#pragma once
// libjpeg reports a fatal error by calling error_exit, which must not
// return. These errors jump back to the caller's setjmp(errors.jump)
// instead of ending the process, and its messages are dropped.

#include <csetjmp>
#include <cstdio>

// jpeglib.h needs size_t and FILE declared first.
#include <jpeglib.h>

namespace mapdata {

struct JpegErrorJump {
    jpeg_error_mgr base;
    std::jmp_buf jump;
};

// Fills errors and returns what the codec's err field takes.
jpeg_error_mgr* JpegErrorsThatJump(JpegErrorJump& errors);

// Jumps back to the setjmp of the codec's errors (as its own errors do).
[[noreturn]] void JumpOnJpegError(j_common_ptr info);

}  // namespace mapdata
