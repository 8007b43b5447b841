// The line watch's helper thread, with a pipe standing in for the driver:
// a byte written is a line change, and the wait blocks in read() as the
// driver's does, so the interrupt for the close is the real one.
#include "platform/modem_line_watch.h"

#include <poll.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <optional>

#include "platform/unique_fd.h"

namespace platform {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

bool SignalledWithin(const WakeEvent& event, std::chrono::milliseconds limit) {
    pollfd entry{event.Fd(), POLLIN, 0};
    return ::poll(&entry, 1, static_cast<int>(limit.count())) == 1 && event.Take();
}

class PipeDriver {
  public:
    PipeDriver() {
        int fds[2];
        if (::pipe(fds) == 0) {
            in_.Reset(fds[0]);
            out_.Reset(fds[1]);
        }
    }
    int Wait() const {
        char change = 0;
        const ssize_t count = ::read(in_.Get(), &change, 1);
        if (count == 1) return 0;
        if (count == 0) errno = EIO;  // the port is gone
        return -1;
    }
    void Change() const { static_cast<void>(::write(out_.Get(), "x", 1)); }
    void Unplug() { out_.Reset(); }

  private:
    UniqueFd in_;
    UniqueFd out_;
};

TEST(ModemLineWatchTest, EachChangeSignalsAndTheCloseInterruptsTheWait) {
    PipeDriver driver;
    const WakeEvent changed;
    std::optional<ModemLineWatch> watch;
    watch.emplace([&] { return driver.Wait(); }, changed);
    for (int change = 0; change < 3; ++change) {
        driver.Change();
        EXPECT_TRUE(SignalledWithin(changed, 1s)) << change;
    }
    EXPECT_FALSE(SignalledWithin(changed, 20ms));
    EXPECT_TRUE(watch->Supported());

    // The helper sleeps in read(); only the interrupt can end it.
    const auto start = Clock::now();
    watch.reset();
    EXPECT_LT(Clock::now() - start, 100ms);
}

TEST(ModemLineWatchTest, ARefusingOrVanishingDriverEndsTheWatch) {
    const WakeEvent changed;
    const ModemLineWatch refused(
        [] {
            errno = ENOTTY;
            return -1;
        },
        changed);
    PipeDriver driver;
    const ModemLineWatch vanishing([&] { return driver.Wait(); }, changed);
    driver.Unplug();
    const auto deadline = Clock::now() + 1s;
    while ((refused.Supported() || vanishing.Supported()) && Clock::now() < deadline)
        std::this_thread::sleep_for(1ms);
    EXPECT_FALSE(refused.Supported());
    EXPECT_FALSE(vanishing.Supported());
    EXPECT_FALSE(changed.Take());
}

}  // namespace
}  // namespace platform
