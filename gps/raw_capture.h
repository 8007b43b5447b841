#pragma once
// The raw capture: everything the GPS port receives, appended unchanged to
// "rawKOR_VANdata##!!.txt" while capturing is switched on (logging options).
// The file is looked for in the documents folder's "KOR_VAN WinCE" folder,
// then in the documents folder, then in the working folder.

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string_view>

namespace gps {

inline constexpr std::string_view kRawCaptureFileName = "rawKOR_VANdata##!!.txt";

// Capturing is on. A failed open switches it off.
inline std::atomic<int> g_bRawDataCapture{0};

// Opens the capture file when capturing is on and it is not open; closes it
// when capturing is off. Leaves g_bRawDataCapture 1 when the file is open, 0
// otherwise.
void OpenRawDataLog();

// Appends bytes when the capture file is open.
void WriteRawData(std::span<const std::uint8_t> bytes);

// The open capture file; empty when none is open.
std::filesystem::path RawDataLogPath();

}  // namespace gps
