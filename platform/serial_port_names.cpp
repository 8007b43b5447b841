#include "platform/serial_port_names.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <fstream>
#include <optional>
#include <system_error>
#include <tuple>

#include "platform/utf.h"

namespace platform {
namespace {

wchar_t Upper(wchar_t c) {
    return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c;
}

bool StartsWithIgnoringCase(std::wstring_view text, std::wstring_view prefix) {
    return text.size() >= prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), text.begin(),
                      [](wchar_t a, wchar_t b) { return Upper(a) == Upper(b); });
}

// The n of "COMn" or "COMn:", n from 1.
std::optional<unsigned> ComPortNumber(std::wstring_view name) {
    if (!StartsWithIgnoringCase(name, L"COM")) return std::nullopt;
    name.remove_prefix(3);
    if (!name.empty() && name.back() == L':') name.remove_suffix(1);
    if (name.empty() || name.size() > 3) return std::nullopt;
    unsigned number = 0;
    for (const wchar_t c : name) {
        if (c < L'0' || c > L'9') return std::nullopt;
        number = number * 10 + static_cast<unsigned>(c - L'0');
    }
    if (number == 0) return std::nullopt;
    return number;
}

// The kinds of serial device listed, in the order they are listed.
constexpr std::array<std::string_view, 3> kDevicePrefixes{"ttyS", "ttyUSB", "ttyACM"};

// (kind, number) of a device name such as "ttyUSB3"; nothing for others.
std::optional<std::pair<std::size_t, unsigned>> DeviceOrder(std::string_view name) {
    for (std::size_t kind = 0; kind < kDevicePrefixes.size(); ++kind) {
        const std::string_view prefix = kDevicePrefixes[kind];
        if (!name.starts_with(prefix)) continue;
        const std::string_view digits = name.substr(prefix.size());
        unsigned number = 0;
        const auto [end, error] =
            std::from_chars(digits.data(), digits.data() + digits.size(), number);
        if (error != std::errc{} || end != digits.data() + digits.size()) return std::nullopt;
        return std::pair{kind, number};
    }
    return std::nullopt;
}

// A ttyS entry exists for every possible legacy port; only those with a
// UART behind them (type not 0) are present.
bool UartPresent(const std::filesystem::path& entry) {
    std::ifstream type(entry / "type");
    int value = 0;
    return type >> value && value != 0;
}

bool Present(const std::filesystem::path& entry, std::size_t kind) {
    std::error_code error;
    if (!std::filesystem::exists(entry / "device", error)) return false;
    return kind != 0 || UartPresent(entry);
}

std::vector<std::wstring> DevicesIn(const std::filesystem::path& sysClassTty,
                                    const std::filesystem::path& devFolder) {
    std::vector<std::tuple<std::size_t, unsigned, std::string>> found;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(sysClassTty, error)) {
        const std::string name = entry.path().filename().string();
        const auto order = DeviceOrder(name);
        if (order && Present(entry.path(), order->first)) {
            found.emplace_back(order->first, order->second, name);
        }
    }
    std::sort(found.begin(), found.end());
    std::vector<std::wstring> names;
    for (const auto& [kind, number, name] : found) {
        names.push_back(FromUtf8((devFolder / name).string()));
    }
    return names;
}

std::vector<std::wstring> StableNamesIn(const std::filesystem::path& byIdFolder) {
    std::vector<std::wstring> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(byIdFolder, error)) {
        names.push_back(FromUtf8(entry.path().string()));
    }
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace

PortTarget MapPortName(std::wstring_view name) {
    if (name.empty() || name.front() == L'/') return {PortTarget::Kind::kDevice, ToUtf8(name)};
    if (name.size() == kGpsdPortName.size() && StartsWithIgnoringCase(name, kGpsdPortName)) {
        return {PortTarget::Kind::kGpsd, {}};
    }
    std::wstring_view port = name;
    if (port.starts_with(L"\\\\.\\")) port.remove_prefix(4);
    if (const auto number = ComPortNumber(port)) {
        return {PortTarget::Kind::kDevice, "/dev/ttyS" + std::to_string(*number - 1)};
    }
    return {PortTarget::Kind::kDevice, ToUtf8(name)};
}

std::vector<std::wstring> ListSerialPorts(const std::filesystem::path& sysClassTty,
                                          const std::filesystem::path& byIdFolder,
                                          const std::filesystem::path& devFolder) {
    std::vector<std::wstring> names = DevicesIn(sysClassTty, devFolder);
    for (std::wstring& name : StableNamesIn(byIdFolder))
        names.push_back(std::move(name));
    names.emplace_back(kGpsdPortName);
    return names;
}

std::vector<std::wstring> ListSerialPorts() {
    return ListSerialPorts("/sys/class/tty", "/dev/serial/by-id", "/dev");
}

}  // namespace platform
