// The gpsd source against a stand-in server on the loopback address that
// speaks gpsd's side of the socket protocol as scripted by each test.
#include "platform/gpsd_source.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "platform/unique_fd.h"

namespace platform {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

class StandInServer {
  public:
    StandInServer() {
        listener_.Reset(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        auto* raw = reinterpret_cast<sockaddr*>(&address);
        if (::bind(listener_.Get(), raw, length) != 0 || ::listen(listener_.Get(), 1) != 0 ||
            ::getsockname(listener_.Get(), raw, &length) != 0) {
            listener_.Reset();
            return;
        }
        port_ = ntohs(address.sin_port);
    }
    ~StandInServer() {
        if (thread_.joinable()) thread_.join();
    }

    std::uint16_t Port() const { return port_; }

    // Accepts one client, sends greeting, reads what the client sends up to
    // a newline, then sends each chunk of `chunks` a little apart and hangs
    // up.
    void Serve(std::string greeting, std::vector<std::string> chunks) {
        thread_ = std::thread([this, greeting = std::move(greeting), chunks = std::move(chunks)] {
            const UniqueFd client(::accept(listener_.Get(), nullptr, nullptr));
            if (!client) return;
            Send(client.Get(), greeting);
            for (char c = 0; c != '\n' && ::recv(client.Get(), &c, 1, 0) == 1;)
                request_ += c;
            for (const std::string& chunk : chunks) {
                std::this_thread::sleep_for(5ms);
                Send(client.Get(), chunk);
            }
        });
    }

    // What the client asked for (valid once the server has finished).
    std::string Request() {
        if (thread_.joinable()) thread_.join();
        return request_;
    }

  private:
    static void Send(int socket, const std::string& bytes) {
        if (!bytes.empty()) ::send(socket, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    }

    UniqueFd listener_;
    std::uint16_t port_ = 0;
    std::thread thread_;
    std::string request_;
};

constexpr const char* kGreeting =
    R"({"class":"VERSION","release":"3.22","rev":"3.22","proto_major":3,"proto_minor":14})"
    "\r\n";

// Everything the source yields until gpsd hangs up.
std::string ReadUntilHangUp(GpsdSource& source) {
    std::string text;
    const auto deadline = Clock::now() + 5s;
    while (Clock::now() < deadline) {
        const DataWait wait = source.WaitForData(20ms);
        if (wait == DataWait::kHangUp) break;
        if (wait != DataWait::kData) continue;
        std::uint8_t buffer[500];
        const std::size_t n = source.Read(buffer);
        text.append(reinterpret_cast<const char*>(buffer), n);
    }
    return text;
}

TEST(GpsdSource, RelaysSentencesAndDropsReportsSplitAnywhere) {
    StandInServer server;
    ASSERT_NE(server.Port(), 0);
    const std::string rmc =
        "$GPRMC,134749.60,A,4857.88170,N,00705.83929,E,35.9,270.6,281224,,,D*61\r\n";
    const std::string gga =
        "$GPGGA,134749.60,4857.88170,N,00705.83929,E,2,25,1.00,1452.0,M,47.2,M,,*63\r\n";
    server.Serve(kGreeting,
                 {
                     R"({"class":"DEVICES","devices":[{"class":"DEVICE","path":"/dev/pts/1"}]})"
                     "\r\n"
                     R"({"class":"WATCH","enable":true,"nmea":true})"
                     "\r\n" +
                         rmc.substr(0, 20),
                     rmc.substr(20) + R"({"class":"DEV)",
                     R"(ICE","path":"/dev/pts/1","activated":0})"
                     "\r\n" +
                         gga,
                 });

    const auto source = GpsdSource::Connect(server.Port());
    ASSERT_TRUE(source);
    EXPECT_EQ(ReadUntilHangUp(*source), rmc + gga);
    EXPECT_EQ(server.Request(), R"(?WATCH={"enable":true,"nmea":true})"
                                "\n");

    // A gpsd that has gone leaves a source that waits out every wait.
    const auto start = Clock::now();
    EXPECT_EQ(source->WaitForData(20ms), DataWait::kHangUp);
    EXPECT_GE(Clock::now() - start, 15ms);
}

TEST(GpsdSource, AServerThatDoesNotGreetAsGpsdIsNotTaken) {
    StandInServer server;
    ASSERT_NE(server.Port(), 0);
    server.Serve("SSH-2.0-OpenSSH_9.2\r\n", {});
    EXPECT_FALSE(GpsdSource::Connect(server.Port(), 200ms));
}

TEST(GpsdSource, NoServerFailsAtOnce) {
    std::uint16_t port = 0;
    {
        StandInServer closed;  // a port that was free a moment ago
        port = closed.Port();
    }
    const auto start = Clock::now();
    EXPECT_FALSE(GpsdSource::Connect(port));
    EXPECT_LT(Clock::now() - start, 500ms);
}

TEST(GpsdSource, WhatGpsdCannotPassOnIsAcceptedAndIgnored) {
    StandInServer server;
    ASSERT_NE(server.Port(), 0);
    server.Serve(kGreeting, {});
    const auto source = GpsdSource::Connect(server.Port());
    ASSERT_TRUE(source);
    const std::uint8_t command[] = {'$', 'P', '\r', '\n'};
    EXPECT_EQ(source->Write(command), 0);
    EXPECT_EQ(source->SetBaudRate(9600), 0);
    EXPECT_FALSE(source->ModemLines());
    EXPECT_EQ(source->TakeStatus().errors, 0u);
}

}  // namespace
}  // namespace platform
