#include "gps/port_dialog_feed.h"

#include <algorithm>
#include <array>

#include "gps/gps_port.h"

namespace gps {
namespace {

// Under GpsPortLock, as every piece of port state the dialog reads.
bool g_dialogOpen = false;
std::array<char, kDialogTextLimit> g_text{};
std::size_t g_textLength = 0;

// A long stream without '$' keeps its newest bytes, so the dialog's line
// stays live.
void DropOldestHalf() {
    const std::size_t half = g_text.size() / 2;
    std::copy(g_text.begin() + static_cast<std::ptrdiff_t>(half), g_text.end(), g_text.begin());
    g_textLength -= half;
}

}  // namespace

void SetGpsPortDialogOpen(bool open) {
    const platform::CriticalSectionLock lock(GpsPortLock);
    g_dialogOpen = open;
}

bool GpsPortDialogOpen() {
    const platform::CriticalSectionLock lock(GpsPortLock);
    return g_dialogOpen;
}

std::string GpsPortDialogText() {
    const platform::CriticalSectionLock lock(GpsPortLock);
    return std::string(g_text.data(), g_textLength);
}

bool FeedGpsPortDialog(std::span<const std::uint8_t> bytes) {
    const platform::CriticalSectionLock lock(GpsPortLock);
    if (!g_dialogOpen) return false;
    bool lineEnd = false;
    for (const std::uint8_t byte : bytes) {
        if (byte == '$') {
            g_textLength = 0;
        } else if (byte == '\r' || byte == '\n') {
            lineEnd = true;
        } else {
            if (g_textLength == g_text.size()) DropOldestHalf();
            g_text[g_textLength++] = static_cast<char>(byte);
        }
    }
    return lineEnd;
}

}  // namespace gps
