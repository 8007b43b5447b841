#include "fix/display_links.h"

#include <mutex>
#include <utility>

#include "services/sound_queue.h"

namespace gps {
namespace {

constexpr std::uint32_t kSoundWaitMs = 3000;

std::mutex g_linksMutex;

std::shared_ptr<DisplayLinks>& Installed() {
    static std::shared_ptr<DisplayLinks> links = std::make_shared<DisplayLinks>();
    return links;
}

}  // namespace

void DisplayLinks::PlaySound(std::wstring_view file) {
    if (file.empty()) return;
    core::PlaySoundAsync(file, core::SND_FILENAME, &core::SoundLock, kSoundWaitMs);
}

std::shared_ptr<DisplayLinks> SetDisplayLinks(std::shared_ptr<DisplayLinks> links) {
    if (!links) links = std::make_shared<DisplayLinks>();
    const std::lock_guard lock(g_linksMutex);
    return std::exchange(Installed(), std::move(links));
}

std::shared_ptr<DisplayLinks> CurrentDisplayLinks() {
    const std::lock_guard lock(g_linksMutex);
    return Installed();
}

}  // namespace gps
