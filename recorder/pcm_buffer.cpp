#include "recorder/pcm_buffer.h"

#include <new>

#include "platform/message_box.h"
#include "platform/utf.h"

namespace recorder {

std::string_view MmErrorText(int code) {
    switch (code) {
        case 0:
            return "";
        case mm::kBadDeviceId:
            return "Specified device identifier is out of range.";
        case mm::kAllocated:
            return "Specified resource is already allocated.";
        case mm::kNoDriver:
            return "No device driver is present. ";
        case mm::kNoMemory:
            return "Unable to allocate or lock memory. ";
        case mm::kNotSupported:
            return "Specified device is synchronous and does not support pausing. ";
        case mm::kBadFormat:
            return "Attempted to open with an unsupported waveform-audio format.";
        case mm::kStillPlaying:
            return "The buffer pointed to by the pwh parameter is still in the queue.";
        case mm::kUnprepared:
            return "The buffer pointed to by the pwh parameter hasn't been prepared. ";
        case mm::kSync:
            return "The device is synchronous but waveOutOpen was calledwithout using the "
                   "WAVE_ALLOWSYNC flag. ";
        default:
            return "Unspecified error";
    }
}

void CPcmBuffer::SetFormat(std::uint32_t rate, std::uint16_t bits, std::uint16_t channels) {
    format_.formatTag = 1;
    format_.channels = channels;
    format_.samplesPerSecond = rate;
    format_.bitsPerSample = bits;
    format_.blockAlign = static_cast<std::uint16_t>(channels * bits / 8);
    format_.averageBytesPerSecond = rate * channels * bits / 8;
}

bool CPcmBuffer::AllocateBuffer(std::uint32_t ms) {
    buffer_.clear();
    buffer_.shrink_to_fit();
    bytesRecorded_ = 0;
    const std::uint64_t bytes = std::uint64_t{format_.samplesPerSecond} * format_.channels *
                                format_.bitsPerSample * ms / 8000;
    try {
        buffer_.resize(bytes);
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

void CPcmBuffer::ReportError(int code) {
    lastResult_ = code;
    errorText_ = MmErrorText(code);
    if (quiet_) return;
    platform::ShowMessageBox(nullptr, platform::FromUtf8(errorText_), L"MM error",
                             platform::mb::kIconHand | platform::mb::kTopmost);
}

}  // namespace recorder
