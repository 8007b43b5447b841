#pragma once
// What the GPS port's reader asks of the rest of the program: the flight
// log, the first fix and its clock, the sensor box and the logger.

#include <span>
#include <string_view>

#include "gps/port_services.h"

namespace app {

class ProgramPortServices final : public gps::PortReaderServices {
  public:
    // Every line under one hold of LogFileLock, so nothing comes between.
    bool AppendLogRecords(std::span<const std::string_view> lines) override;
    bool HaveFix() const override;
    gps::FixClock CurrentFixClock() const override;
    bool SensorBoxLoaded() const override;
    void SetLoggerToNmeaMode() override;
};

}  // namespace app
