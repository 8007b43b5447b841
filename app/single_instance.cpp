#include "app/single_instance.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <stop_token>
#include <utility>

#include "platform/message_box.h"
#include "platform/paths.h"
#include "platform/unique_fd.h"
#include "resources/ids/strings.h"
#include "services/string_resources.h"

namespace app {
namespace {

using ids::kIdsAlreadyRunningCaption;
using ids::kIdsWindowNotFound;

constexpr std::string_view kRaiseRequest = "raise\n";
// Room for the name in an abstract socket address (its first byte is 0).
constexpr std::size_t kMaxAddress = sizeof(sockaddr_un::sun_path) - 1;

std::uint64_t Fnv1a(std::string_view text) {
    std::uint64_t hash = 0xCBF29CE484222325ULL;
    for (const char c : text) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 0x100000001B3ULL;
    }
    return hash;
}

std::string GuardAddress(std::string_view name, const std::filesystem::path& scope) {
    std::string guard = name.empty() ? platform::ExecutablePath().string() : std::string(name);
    std::replace(guard.begin(), guard.end(), '\\', '/');
    std::string address = guard + ' ' + scope.string();
    if (address.size() > kMaxAddress) {
        std::array<char, 17> hex{};
        std::snprintf(hex.data(), hex.size(), "%016llx",
                      static_cast<unsigned long long>(Fnv1a(scope.string())));
        address = guard.substr(0, kMaxAddress - 17) + ' ' + hex.data();
    }
    return address;
}

// An abstract address: a zero byte, then the name (no terminating zero).
std::pair<sockaddr_un, socklen_t> AbstractAddress(const std::string& name) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path + 1, name.data(), name.size());
    return {address, static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + name.size())};
}

platform::UniqueFd NewSocket() {
    return platform::UniqueFd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
}

bool WaitReadable(int fd, int timeoutMs) {
    pollfd entry{fd, POLLIN, 0};
    int ready = 0;
    do {
        ready = ::poll(&entry, 1, timeoutMs);
    } while (ready < 0 && errno == EINTR);
    return ready > 0;
}

void Answer(int client, const std::function<bool()>& raise) {
    std::array<char, 16> request{};
    if (!WaitReadable(client, 1000)) return;
    const ssize_t length = ::recv(client, request.data(), request.size(), 0);
    if (length <= 0 ||
        std::string_view(request.data(), static_cast<std::size_t>(length)) != kRaiseRequest) {
        return;
    }
    const char answer = raise() ? '1' : '0';
    ::send(client, &answer, 1, MSG_NOSIGNAL);
}

}  // namespace

// The guard's socket and the serving thread's wake-up, shared with that
// thread so that a thread left running never uses closed descriptors.
struct InstanceGuard::Socket {
    platform::UniqueFd listening;
    platform::UniqueFd wake;
};

InstanceGuard::InstanceGuard(std::string_view name, const std::filesystem::path& scope)
    : address_(GuardAddress(name, scope)), socket_(std::make_shared<Socket>()) {
    platform::UniqueFd fd = NewSocket();
    if (!fd) return;
    const auto [address, length] = AbstractAddress(address_);
    if (::bind(fd.Get(), reinterpret_cast<const sockaddr*>(&address), length) != 0) {
        otherRuns_ = errno == EADDRINUSE;
        return;
    }
    if (::listen(fd.Get(), 8) != 0) return;
    socket_->listening = std::move(fd);
}

InstanceGuard::~InstanceGuard() {
    StopServing();
}

bool InstanceGuard::Held() const {
    return socket_->listening.Valid();
}

void InstanceGuard::ServeRaiseRequests(std::function<bool()> raise) {
    if (!Held() || server_.Running()) return;
    socket_->wake.Reset(::eventfd(0, EFD_CLOEXEC));
    if (!socket_->wake) return;
    server_.Start([socket = socket_, raise = std::move(raise)](std::stop_token stop) {
        const std::stop_callback wake(stop, [&socket] {
            const std::uint64_t one = 1;
            [[maybe_unused]] const ssize_t written = ::write(socket->wake.Get(), &one, sizeof one);
        });
        std::array<pollfd, 2> entries{pollfd{socket->listening.Get(), POLLIN, 0},
                                      pollfd{socket->wake.Get(), POLLIN, 0}};
        while (!stop.stop_requested()) {
            if (::poll(entries.data(), entries.size(), -1) < 0) {
                if (errno == EINTR) continue;
                return;
            }
            if ((entries[1].revents & POLLIN) != 0) return;
            if ((entries[0].revents & POLLIN) == 0) continue;
            const platform::UniqueFd client(
                ::accept4(socket->listening.Get(), nullptr, nullptr, SOCK_CLOEXEC));
            if (client) Answer(client.Get(), raise);
        }
    });
}

bool InstanceGuard::StopServing(std::uint32_t timeoutMs) {
    return server_.Stop(timeoutMs);
}

bool InstanceGuard::AskToRaise(std::chrono::milliseconds limit) const {
    const platform::UniqueFd fd = NewSocket();
    if (!fd) return false;
    const auto [address, length] = AbstractAddress(address_);
    if (::connect(fd.Get(), reinterpret_cast<const sockaddr*>(&address), length) != 0) return false;
    if (::send(fd.Get(), kRaiseRequest.data(), kRaiseRequest.size(), MSG_NOSIGNAL) !=
        static_cast<ssize_t>(kRaiseRequest.size())) {
        return false;
    }
    char answer = 0;
    return WaitReadable(fd.Get(), static_cast<int>(limit.count())) &&
           ::recv(fd.Get(), &answer, 1, 0) == 1 && answer == '1';
}

int SingleInstanceGuard(const InstanceGuard& guard) {
    if (!guard.OtherInstanceRuns()) return 0;
    if (!guard.AskToRaise(std::chrono::seconds(5))) {
        platform::ShowMessageBox(nullptr, core::LoadResourceString(kIdsWindowNotFound),
                                 core::LoadResourceString(kIdsAlreadyRunningCaption),
                                 platform::mb::kIconHand | platform::mb::kTopmost);
    }
    return 1;
}

}  // namespace app
