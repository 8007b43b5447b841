#pragma once
// One running program per user: the first instance holds a guard, a later
// one finds it taken, asks the first to bring its window to the front and
// ends.
//
// The guard is an abstract local socket named after the guard's name and
// the user's settings folder, so each user (and each settings folder) has
// its own; the system releases it when the process ends, however it ends.
// The same socket carries the request to raise the window.

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "platform/worker_thread.h"

namespace app {

inline constexpr std::string_view kInstanceGuardName = "KOR_VAN_WinCE_isRunning";

class InstanceGuard {
  public:
    // Takes the guard `name` (the program file's path when empty; '\'
    // becomes '/') within `scope`, usually the settings folder.
    InstanceGuard(std::string_view name, const std::filesystem::path& scope);
    // Stops serving; the guard itself is released when the process ends.
    ~InstanceGuard();
    InstanceGuard(const InstanceGuard&) = delete;
    InstanceGuard& operator=(const InstanceGuard&) = delete;

    // This process holds the guard.
    bool Held() const;
    // Another process holds it.
    bool OtherInstanceRuns() const { return otherRuns_; }

    // While holding the guard: answers later instances' requests on a thread
    // of its own. raise() runs there for each request and says whether a
    // window was brought to the front.
    void ServeRaiseRequests(std::function<bool()> raise);
    // Ends the serving thread (waiting up to timeoutMs); true when it ended.
    bool StopServing(std::uint32_t timeoutMs = 2000);

    // When another instance holds the guard: asks it to raise its window and
    // waits up to `limit` for the answer; true when it did.
    bool AskToRaise(std::chrono::milliseconds limit) const;

  private:
    struct Socket;
    std::string address_;  // the abstract socket's name, without its leading zero byte
    std::shared_ptr<Socket> socket_;
    bool otherRuns_ = false;
    platform::WorkerThread server_;
};

// The check of start-up: 0 when this is the only instance (or the guard
// could not be taken at all), 1 when another runs; the other has then been
// asked to bring its window to the front, or, when it did not answer that
// it did, the user has been told (string 2053 under caption 2052).
int SingleInstanceGuard(const InstanceGuard& guard);

}  // namespace app
