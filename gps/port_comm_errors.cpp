#include "gps/port_comm_errors.h"

#include <string>
#include <string_view>

#include "platform/serial_device.h"
#include "services/flight_log.h"

namespace gps {
namespace {

namespace ce = platform::comm_error;

constexpr std::array<std::uint32_t, kCommErrorClasses - 1> kSingleErrors{
    ce::kRxOver, ce::kOverrun, ce::kRxParity, ce::kFrame, ce::kBreak, ce::kTxFull};

constexpr std::array<std::string_view, kCommErrorClasses - 1> kRecords{
    "LXKV COMERR-RXOVER\r\n", "LXKV COMERR-OVERRUN\r\n", "LXKV COMERR-RXPARITY\r\n",
    "LXKV COMERR-FRAME\r\n",  "LXKV COMERR-BREAK\r\n",   "LXKV COMERR-TXFULL\r\n"};

constexpr std::array<std::string_view, kCommErrorClasses> kClosingRecords{
    "LXKV RXOVER - LOGGING MAXIMUM EXCEEDED\r\n",   "LXKV OVERRUN - LOGGING MAXIMUM EXCEEDED\r\n",
    "LXKV RXPARITY - LOGGING MAXIMUM EXCEEDED\r\n", "LXKV FRAME - LOGGING MAXIMUM EXCEEDED\r\n",
    "LXKV BREAK - LOGGING MAXIMUM EXCEEDED\r\n",    "LXKV TXFULL - LOGGING MAXIMUM EXCEEDED\r\n",
    "LXKV UNKNOWN - LOGGING MAXIMUM EXCEEDED\r\n"};

constexpr int kUnknown = kCommErrorClasses - 1;

bool WrongRateSymptom(int errorClass) {
    return errorClass == 0 || errorClass == 3;
}

}  // namespace

int CommErrorClass(std::uint32_t errors) {
    for (int i = 0; i < kUnknown; ++i) {
        if (errors == kSingleErrors[static_cast<std::size_t>(i)]) return i;
    }
    return kUnknown;
}

int CommErrorLog::Record(std::uint32_t errors, bool autoBaud, PortReaderServices& services) {
    const unsigned epoch = core::g_serialErrorCountsEpoch.load(std::memory_order_relaxed);
    if (epoch != epoch_) {
        counters_ = {};
        epoch_ = epoch;
    }
    const int errorClass = CommErrorClass(errors);
    if (autoBaud && WrongRateSymptom(errorClass)) return errorClass;
    const auto index = static_cast<std::size_t>(errorClass);
    const std::string unknown = "LXKV COMERR" + std::to_string(errors) + "\r\n";
    std::array<std::string_view, 2> lines;
    std::size_t count = 0;
    int counter = counters_[index];
    if (counter < kLimit) {
        ++counter;
        lines[count++] = errorClass == kUnknown ? std::string_view(unknown) : kRecords[index];
    }
    if (counter == kLimit) {
        ++counter;
        lines[count++] = kClosingRecords[index];
    }
    // The counts grow only with what reached an open log.
    if (count > 0 && services.AppendLogRecords(std::span(lines.data(), count))) {
        counters_[index] = counter;
    }
    return errorClass;
}

}  // namespace gps
