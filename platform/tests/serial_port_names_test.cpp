#include "platform/serial_port_names.h"

#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace platform {
namespace {

using Kind = PortTarget::Kind;

TEST(MapPortName, StoredNamesMapToDevicesOrTheGpsService) {
    const struct {
        std::wstring name;
        PortTarget target;
    } cases[] = {
        {L"COM1:", {Kind::kDevice, "/dev/ttyS0"}},
        {L"COM1", {Kind::kDevice, "/dev/ttyS0"}},
        {L"com2:", {Kind::kDevice, "/dev/ttyS1"}},
        {L"COM12", {Kind::kDevice, "/dev/ttyS11"}},
        {L"\\\\.\\COM12", {Kind::kDevice, "/dev/ttyS11"}},
        {L"/dev/ttyUSB0", {Kind::kDevice, "/dev/ttyUSB0"}},
        {L"/dev/serial/by-id/usb-GPS_Receiver-if00",
         {Kind::kDevice, "/dev/serial/by-id/usb-GPS_Receiver-if00"}},
        {L"#gpsAPI", {Kind::kGpsd, {}}},
        // Not a port number: taken as written, and fails to open.
        {L"COM0:", {Kind::kDevice, "COM0:"}},
        {L"COM", {Kind::kDevice, "COM"}},
        {L"COM1x", {Kind::kDevice, "COM1x"}},
        {L"@gps-0", {Kind::kDevice, "@gps-0"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(MapPortName(c.name), c.target) << std::string(c.name.begin(), c.name.end());
    }
}

class PortListTest : public ::testing::Test {
  protected:
    void SetUp() override {
        root = std::filesystem::path(::testing::TempDir()) /
               ("kv_port_list_" + std::to_string(::getpid()));
        std::filesystem::remove_all(root);
        std::filesystem::create_directories(root / "by-id");
    }
    void TearDown() override { std::filesystem::remove_all(root); }

    // A /sys/class/tty entry; with a device link unless deviceless, with a
    // "type" file when type is given.
    void Tty(const std::string& name, bool withDevice, int type = -1) {
        const auto entry = root / "tty" / name;
        std::filesystem::create_directories(entry);
        if (withDevice) std::filesystem::create_directory(entry / "device");
        if (type >= 0) std::ofstream(entry / "type") << type << "\n";
    }

    std::filesystem::path root;
};

TEST_F(PortListTest, ListsPresentDevicesInOrderThenStableNamesThenTheGpsService) {
    Tty("ttyS0", true, 4);  // a UART
    Tty("ttyS1", true, 0);  // a slot without one
    Tty("ttyS10", true, 4);
    Tty("ttyS2", true, 4);
    Tty("ttyUSB0", true);
    Tty("ttyACM0", true);
    Tty("tty1", false);     // a console
    Tty("ttyUSB9", false);  // gone
    Tty("ttyUSBx", true);   // not a numbered device
    std::ofstream(root / "by-id" / "usb-GPS-if00");

    const std::vector<std::wstring> expected{
        L"/dev/ttyS0",   L"/dev/ttyS2",   L"/dev/ttyS10",
        L"/dev/ttyUSB0", L"/dev/ttyACM0", (root / "by-id" / "usb-GPS-if00").wstring(),
        L"#gpsAPI"};
    EXPECT_EQ(ListSerialPorts(root / "tty", root / "by-id", "/dev"), expected);
}

TEST_F(PortListTest, WithoutDevicesOnlyTheGpsServiceIsOffered) {
    EXPECT_EQ(ListSerialPorts(root / "none", root / "none", "/dev"),
              std::vector<std::wstring>{L"#gpsAPI"});
}

}  // namespace
}  // namespace platform
