#include "gps/raw_capture.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <mutex>
#include <vector>

#include "platform/unique_fd.h"
#include "platform/utf.h"
#include "services/module_services.h"

namespace gps {
namespace {

// The file is written by the reader and opened or closed by the options
// page.
std::mutex g_mutex;
platform::UniqueFd g_file;
std::filesystem::path g_path;

std::vector<std::filesystem::path> Candidates() {
    const std::filesystem::path documents = platform::ToUtf8(core::g_documentsFolder);
    const std::filesystem::path name(kRawCaptureFileName);
    return {documents / "KOR_VAN WinCE" / name, documents / name, name};
}

// Captures append to what earlier ones left.
bool OpenFirstCandidate() {
    for (const std::filesystem::path& path : Candidates()) {
        platform::UniqueFd file(
            ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644));
        if (file) {
            g_file = std::move(file);
            g_path = path;
            return true;
        }
    }
    return false;
}

}  // namespace

void OpenRawDataLog() {
    const std::lock_guard lock(g_mutex);
    if (g_bRawDataCapture.load() == 0) {
        g_file.Reset();
        g_path.clear();
        return;
    }
    const bool open = g_file.Valid() || OpenFirstCandidate();
    g_bRawDataCapture.exchange(open ? 1 : 0);
}

void WriteRawData(std::span<const std::uint8_t> bytes) {
    const std::lock_guard lock(g_mutex);
    while (g_file.Valid() && !bytes.empty()) {
        const ssize_t written = ::write(g_file.Get(), bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return;  // a full disk loses capture, never a fix
        bytes = bytes.subspan(static_cast<std::size_t>(written));
    }
}

std::filesystem::path RawDataLogPath() {
    const std::lock_guard lock(g_mutex);
    return g_path;
}

}  // namespace gps
