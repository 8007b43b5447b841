#pragma once
// Communication errors of the GPS port as flight-log records.
//
// Each error word falls into one class: a single kind of error (receive
// overflow, overrun, parity, framing, break, transmit queue full) or, for
// any other word (combinations included), "unknown". Each class writes at
// most kLimit records and then one closing record, so a noisy line cannot
// fill the log. While the baud search runs, receive overflows and framing
// errors are what wrong rates produce and are not written. The limits start
// again when the port is reopened or a new log is started.

#include <array>
#include <cstdint>

#include "gps/port_services.h"

namespace gps {

inline constexpr int kCommErrorClasses = 7;

// 0 receive overflow, 1 overrun, 2 parity, 3 framing, 4 break, 5 transmit
// queue full, 6 anything else.
int CommErrorClass(std::uint32_t errors);

class CommErrorLog {
  public:
    static constexpr int kLimit = 75;

    // Classifies a non-zero error word and writes its record within the
    // class's limit when a flight log is open. Returns the class.
    int Record(std::uint32_t errors, bool autoBaud, PortReaderServices& services);

  private:
    std::array<int, kCommErrorClasses> counters_{};
    unsigned epoch_ = 0;  // the clearing the counters belong to
};

}  // namespace gps
