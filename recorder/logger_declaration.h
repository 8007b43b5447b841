#pragma once
// Declaring a task to the bound FAI logger: the plain C arguments its
// DeclareTaskToLogger takes, and the call with the GPS port closed around
// it. UI thread.

#include <array>
#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "recorder/logger_abi.h"
#include "services/flarm_library.h"

namespace nav {
class CTask;
}

namespace recorder {

// The fourth number of the resource bundle's version; a type-6 logger is
// handed it instead of the port's rate. Start-up sets it.
inline std::atomic<unsigned> g_loggerBundleRevision{0};

// The arguments of one DeclareTaskToLogger call, holding what its pointers
// point to; neither copied nor moved, so they stay valid.
class LoggerCall {
  public:
    LoggerCall(const nav::CTask& task, int loggerType, int port, std::int32_t rate);
    LoggerCall(const LoggerCall&) = delete;
    LoggerCall& operator=(const LoggerCall&) = delete;

    // Calls the library; nonzero: declared.
    int Call(DeclareTaskToLoggerFn declare);

    int port;
    std::int32_t rate;
    KvLoggerHeader header{};
    std::vector<KvLoggerPoint> points;
    KvLoggerTask task{};
    // For logger kinds 3 and 4 only: 1 for m/s climb, else from the
    // distance unit 3, 0, 2 (statute, nautical, km).
    std::optional<std::int32_t> units;

  private:
    std::array<std::u16string, kKvLoggerTextCount> textStore_;
    KvLoggerTexts texts_{};
};

// The units word for the vario and distance units.
std::int32_t LoggerUnitsWord(int varioUnit, int distUnit);

// The recorder's declaration to the logger (SetLoggerDeclaration): nothing
// unless a logger is bound and "TransferToLogger" ("Settings\Task") is on;
// else, unless the logger's kind is 6, the GPS port is closed around the
// call and opened again a second after it; whether it declared.
std::optional<bool> DeclareToBoundLogger(const nav::CTask& task);

}  // namespace recorder
