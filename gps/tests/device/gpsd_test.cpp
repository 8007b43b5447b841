// "#gpsAPI" against a real gpsd: gpsfake replays a real capture through
// gpsd on a port of its own on the loopback address, the reader takes the
// sentences from gpsd, and what it hands on and what the parser makes of it
// must equal what the same capture gives through a serial port.
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "gps/gps_port.h"
#include "gps/tests/device/reader_harness.h"
#include "platform/gpsd_source.h"
#include "testing/pseudo_terminal.h"
#include "platform/unique_fd.h"
#include "platform/utf.h"

extern char** environ;

namespace gps::testing {
namespace {

using namespace std::chrono_literals;

// Sentences no classifier row takes, sent ahead of the capture while gpsd
// gets ready: gpsd drops what its receiver sends before a client watches.
const std::string kFiller = "$PKVFL,0*5B\r\n";
constexpr int kFillerCount = 3000;

bool IsFiller(const std::string& sentence) {
    return sentence == kFiller;
}

bool GpsfakeInstalled() {
    const char* path = std::getenv("PATH");
    std::string folders = path != nullptr ? path : "/usr/bin:/bin";
    for (std::size_t start = 0; start <= folders.size();) {
        const std::size_t end = std::min(folders.find(':', start), folders.size());
        if (::access((folders.substr(start, end - start) + "/gpsfake").c_str(), X_OK) == 0)
            return true;
        start = end + 1;
    }
    return false;
}

// A port on the loopback address that nothing listens on.
std::uint16_t FreePort() {
    const platform::UniqueFd probe(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    auto* raw = reinterpret_cast<sockaddr*>(&address);
    if (::bind(probe.Get(), raw, length) != 0 || ::getsockname(probe.Get(), raw, &length) != 0) {
        return 0;
    }
    return ntohs(address.sin_port);
}

// gpsfake with its gpsd, in a process group of their own that ends with
// this object.
class Gpsfake {
  public:
    Gpsfake(const std::filesystem::path& log, std::uint16_t port) {
        const std::string portText = std::to_string(port);
        const std::string logText = log.string();
        std::vector<const char*> arguments{
            "gpsfake", "-1", "-q", "-P", portText.c_str(), "-c", "0.001", logText.c_str(), nullptr};
        posix_spawnattr_t attributes;
        posix_spawnattr_init(&attributes);
        posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
        posix_spawnattr_setpgroup(&attributes, 0);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        if (::posix_spawnp(&pid_, "gpsfake", &actions, &attributes,
                           const_cast<char* const*>(arguments.data()), environ) != 0) {
            pid_ = -1;
        }
        posix_spawn_file_actions_destroy(&actions);
        posix_spawnattr_destroy(&attributes);
    }
    // gpsd ends on SIGTERM; gpsfake itself may not, and is then killed.
    ~Gpsfake() {
        if (pid_ <= 0) return;
        ::kill(-pid_, SIGTERM);
        int status = 0;
        for (int wait = 0; wait < 30; ++wait) {
            if (::waitpid(pid_, &status, WNOHANG) == pid_) return;
            std::this_thread::sleep_for(100ms);
        }
        ::kill(-pid_, SIGKILL);
        ::waitpid(pid_, &status, 0);
    }
    bool Started() const { return pid_ > 0; }

  private:
    pid_t pid_ = -1;
};

class GpsdTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!GpsfakeInstalled()) GTEST_SKIP() << "gpsfake is not installed (Debian gpsd-clients)";
        ResetSentenceParser();
        g_baudRate = 4800;
    }
    void TearDown() override {
        CloseGpsPort();
        SetGpsInputHandlers({});
        SetGpsDeviceOpener(nullptr);
        std::filesystem::remove(logFile);
    }

    // The capture with the filler ahead, as gpsfake's log file.
    void WriteLog(const std::vector<std::string>& capture) {
        logFile = std::filesystem::path(::testing::TempDir()) /
                  ("kv_gpsd_replay_" + std::to_string(::getpid()) + ".nmea");
        std::ofstream log(logFile, std::ios::binary);
        for (int i = 0; i < kFillerCount; ++i)
            log << kFiller;
        for (const std::string& sentence : capture)
            log << sentence;
    }

    std::filesystem::path logFile;
};

TEST_F(GpsdTest, TheCaptureThroughGpsdGivesWhatItGivesThroughASerialPort) {
    const std::vector<std::string> capture = CaptureSentences();
    ASSERT_GT(capture.size(), 4000u);
    WriteLog(capture);
    const std::uint16_t port = FreePort();
    ASSERT_NE(port, 0);

    SetGpsDeviceOpener([port](const platform::PortTarget& target, std::uint32_t rate) {
        if (target.kind != platform::PortTarget::Kind::kGpsd) return OpenGpsDevice(target, rate);
        return GpsDeviceOpenResult{platform::GpsdSource::Connect(port)};
    });
    SentenceRecorder viaGpsd;
    SetGpsInputHandlers(viaGpsd.Handlers());
    const Gpsfake gpsfake(logFile, port);
    ASSERT_TRUE(gpsfake.Started());
    bool opened = false;
    for (int attempt = 0; attempt < 200 && !opened; ++attempt) {
        opened = OpenGpsPort(L"#gpsAPI");
        if (!opened) std::this_thread::sleep_for(50ms);
    }
    ASSERT_TRUE(opened) << "gpsd did not answer on port " << port;

    // Everything up to the capture's last sentence: the filler may be cut
    // short at its start, the capture must be whole.
    const auto captured = [&] {
        std::vector<std::string> sentences;
        std::ranges::copy_if(viaGpsd.Sentences(), std::back_inserter(sentences),
                             [](const std::string& s) { return !IsFiller(s); });
        return sentences;
    };
    const auto deadline = std::chrono::steady_clock::now() + 45s;
    while (captured().size() < capture.size() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(100ms);
    }
    CloseGpsPort();
    const std::vector<std::string> sentences = viaGpsd.Sentences();
    ASSERT_TRUE(IsFiller(sentences.front())) << "the reader came too late for the capture's start";
    EXPECT_EQ(captured(), capture);

    ResetSentenceParser();
    SentenceRecorder viaPort;
    SetGpsInputHandlers(viaPort.Handlers());
    test_support::PseudoTerminal pty;
    ASSERT_TRUE(OpenGpsPort(platform::FromUtf8(pty.Path())));
    for (const std::string& sentence : capture)
        pty.Send(sentence);
    ASSERT_TRUE(viaPort.WaitForSentences(capture.size(), 30s));
    CloseGpsPort();

    EXPECT_EQ(viaPort.Sentences(), capture);
    EXPECT_EQ(viaGpsd.Fixes(), viaPort.Fixes());
    EXPECT_GT(viaPort.Fixes().size(), 400u);
}

}  // namespace
}  // namespace gps::testing
