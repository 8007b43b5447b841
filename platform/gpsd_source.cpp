#include "platform/gpsd_source.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>

#include <cerrno>
#include <string>
#include <string_view>
#include <thread>

namespace platform {
namespace {

using Clock = std::chrono::steady_clock;

// gpsd greets every client with its version report.
constexpr std::string_view kGreeting = R"({"class":"VERSION")";
constexpr std::string_view kWatchCommand = "?WATCH={\"enable\":true,\"nmea\":true}\n";
constexpr std::size_t kLongestGreeting = 1024;

int PollTimeout(Clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

UniqueFd ConnectLocal(std::uint16_t port) {
    UniqueFd socket(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (!socket) return {};
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    // A connection to the loopback address is made or refused at once.
    if (::connect(socket.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        return {};
    }
    return socket;
}

// The first line the server sends, within the time limit.
std::string ReadFirstLine(int socket, Clock::time_point deadline) {
    std::string line;
    while (line.size() < kLongestGreeting) {
        pollfd entry{socket, POLLIN, 0};
        if (::poll(&entry, 1, PollTimeout(deadline)) <= 0) break;
        char c = 0;
        if (::recv(socket, &c, 1, 0) != 1) break;
        if (c == '\n') return line;
        line.push_back(c);
    }
    return {};
}

bool SendAll(int socket, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t sent = ::send(socket, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (sent < 0 && errno == EINTR) continue;
        if (sent <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(sent));
    }
    return true;
}

}  // namespace

std::unique_ptr<GpsdSource> GpsdSource::Connect(std::uint16_t port,
                                                std::chrono::milliseconds timeout) {
    const Clock::time_point deadline = Clock::now() + timeout;
    UniqueFd socket = ConnectLocal(port);
    if (!socket) return nullptr;
    if (!ReadFirstLine(socket.Get(), deadline).starts_with(kGreeting)) return nullptr;
    if (!SendAll(socket.Get(), kWatchCommand)) return nullptr;
    const int flags = ::fcntl(socket.Get(), F_GETFL);
    if (flags < 0 || ::fcntl(socket.Get(), F_SETFL, flags | O_NONBLOCK) != 0) return nullptr;
    return std::unique_ptr<GpsdSource>(new GpsdSource(std::move(socket)));
}

GpsdSource::GpsdSource(UniqueFd socket) : socket_(std::move(socket)) {}

DataWait GpsdSource::WaitForData(std::chrono::milliseconds timeout) {
    const Clock::time_point deadline = Clock::now() + timeout;
    if (!hungUp_) {
        pollfd entry{socket_.Get(), POLLIN | POLLRDHUP, 0};
        const int ready = ::poll(&entry, 1, PollTimeout(deadline));
        if (ready == 0) return DataWait::kTimeout;
        if (ready > 0) {
            const bool closed = (entry.revents & (POLLHUP | POLLRDHUP | POLLERR | POLLNVAL)) != 0;
            if (!closed && (entry.revents & POLLIN) != 0) return DataWait::kData;
            if (QueuedBytes() > 0) return DataWait::kData;
            if (closed) hungUp_ = true;
        }
    }
    std::this_thread::sleep_until(deadline);
    return hungUp_ ? DataWait::kHangUp : DataWait::kTimeout;
}

std::size_t GpsdSource::QueuedBytes() const {
    int queued = 0;
    if (::ioctl(socket_.Get(), FIONREAD, &queued) != 0 || queued < 0) return 0;
    return static_cast<std::size_t>(queued);
}

PortStatus GpsdSource::TakeStatus() {
    return {0, QueuedBytes()};
}

std::size_t GpsdSource::Read(std::span<std::uint8_t> buffer) {
    for (;;) {
        const ssize_t count = ::recv(socket_.Get(), buffer.data(), buffer.size(), 0);
        if (count > 0) return KeepSentences(buffer.first(static_cast<std::size_t>(count)));
        if (count < 0 && errno == EINTR) continue;
        if (count == 0 || errno != EAGAIN) hungUp_ = true;
        return 0;
    }
}

std::size_t GpsdSource::KeepSentences(std::span<std::uint8_t> bytes) {
    std::size_t kept = 0;
    for (const std::uint8_t byte : bytes) {
        if (atLineStart_) inReport_ = byte == '{';
        atLineStart_ = byte == '\n';
        if (!inReport_) bytes[kept++] = byte;
    }
    return kept;
}

int GpsdSource::Write(std::span<const std::uint8_t> /*bytes*/) {
    return 0;
}

int GpsdSource::SetBaudRate(std::uint32_t /*rate*/) {
    return 0;
}

std::optional<unsigned> GpsdSource::ModemLines() {
    return std::nullopt;
}

bool GpsdSource::SetDtr(bool /*on*/) {
    return false;
}

bool GpsdSource::SetRts(bool /*on*/) {
    return false;
}

void GpsdSource::Purge() {
    std::uint8_t discard[512];
    while (::recv(socket_.Get(), discard, sizeof discard, MSG_DONTWAIT) > 0) {
    }
}

}  // namespace platform
